#include "app/SaveSettingsCommand.h"

#include "app/KorvaneApplication.h"
#include "app/TForm_Korvane.h"
#include "contract/StandardError.h"

#include <QString>

int SaveSettingsFromModule(const QString& fileName)
{
    // Offscreen: the window is never shown, and every box goes to standard error.
    KorvaneApplication application("korvane", "offscreen");
    TForm_Korvane window;
    window.SilentMode = true;
    // A failed connect has said why already, in its box's line.
    if (!window.ConnectModule())
        return 1;
    const bool saved = window.SaveSettingsProfile(fileName);
    if (!saved)
        contract::ReportLine(("the settings were not saved: " + window.FailureReason).toLocal8Bit().toStdString());
    window.DisconnectModule();
    return saved ? 0 : 1;
}
