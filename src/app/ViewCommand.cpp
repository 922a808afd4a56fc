#include "app/ViewCommand.h"

#include "app/KorvaneApplication.h"
#include "app/Translations.h"
#include "platform/Display.h"
#include "viewer/MemoryFileViewer.h"

#include <cstdio>

int ViewMemoryFile(const QString& memoryFile)
{
    const platform::DisplayChoice display = platform::ChooseDisplay();
    KorvaneApplication application("korvane", display.platform);
    if (!platform::HasDisplay()) {
        std::fprintf(stderr, "korvane: %s: the viewer needs a desktop; korvane --records writes the records as CSV\n",
                     display.whyNone.c_str());
        return 2;
    }
    InstallTranslations();
    auto* viewer = new MemoryFileViewer(memoryFile, {});
    viewer->show();
    return application.exec();
}
