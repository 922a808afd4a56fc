// Process start and end: the main window, the two dialogs created but not shown, the message loop,
// and the byte count of the last upload as exit code.
#include "app/CommandLinePlatform.h"
#include "app/ExitCode.h"
#include "app/KorvaneApplication.h"
#include "app/TAboutBox.h"
#include "app/TForm_Korvane.h"
#include "app/VerifyCommand.h"
#include "module/SetTimeDate.h"

#include <QFile>

#include <cstdio>
#include <cstring>

namespace {
// A binding the window did not close: "exit" ends the message loop without closing the window,
// and then the connection is neither closed nor the driver unloaded. Held here, reachable to the
// end, so that the window's destruction does not do either.
driver::DriverBinding* bindingLeftOpen = nullptr;
} // namespace

int main(int argc, char** argv)
{
    // Checks files only: no driver library and no window.
    if (argc >= 2 && std::strcmp(argv[1], "--verify") == 0) {
        if (argc == 3)
            return VerifyUploads(QFile::decodeName(argv[2]), stdout, stderr);
        std::fputs("usage: korvane --verify MEMORY-FILE\n", stderr);
        return 2;
    }
    int exitCode = EscapedErrorExitCode;
    UseOffscreenPlatformWithoutDisplay();
    KorvaneApplication application(argc, argv);
    try {
        TForm_Korvane window;
        window.FormCreate();
        Form_SetTimeDate = new TForm_SetTimeDate;
        AboutBox = new TAboutBox;
        application.exec();
        bindingLeftOpen = window.Driver.release();
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
