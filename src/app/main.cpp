// Process start and end: the main window, the two dialogs created but not shown, the message loop,
// and the byte count of the last upload as exit code.
#include "app/CommandLinePlatform.h"
#include "app/ExitCode.h"
#include "app/KorvaneApplication.h"
#include "app/TAboutBox.h"
#include "app/TForm_Korvane.h"
#include "module/SetTimeDate.h"

int main(int argc, char** argv)
{
    int exitCode = EscapedErrorExitCode;
    UseOffscreenPlatformWithoutDisplay();
    KorvaneApplication application(argc, argv);
    try {
        TForm_Korvane window;
        window.FormCreate();
        Form_SetTimeDate = new TForm_SetTimeDate;
        AboutBox = new TAboutBox;
        application.exec();
        if (!application.ErrorEscaped())
            exitCode = ExitCodeForBytesUploaded(window.BytesUploaded);
    } catch (const std::exception& error) {
        KorvaneApplication::ReportError(error);
    }
    delete Form_SetTimeDate;
    Form_SetTimeDate = nullptr;
    delete AboutBox;
    AboutBox = nullptr;
    return exitCode;
}
