#include "app/ViewCommand.h"

#include "app/KorvaneApplication.h"
#include "app/Translations.h"
#include "contract/StandardError.h"
#include "platform/Display.h"
#include "viewer/MemoryFileViewer.h"

int ViewMemoryFile(const QString& memoryFile)
{
    const platform::DisplayChoice display = platform::ChooseDisplay();
    KorvaneApplication application("korvane", display.platform);
    if (!platform::HasDisplay()) {
        contract::ReportLine(display.whyNone + ": the viewer needs a desktop; korvane --records writes the records as CSV");
        return 2;
    }
    InstallTranslations();
    auto* viewer = new MemoryFileViewer(memoryFile, {});
    viewer->show();
    return application.exec();
}
