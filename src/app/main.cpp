// Process start and end: the command line as typed, the main window (its dialogs are made when
// opened), the message loop, and the exit code (ExitCode.h).
#include "app/CommandLine.h"
#include "app/CommandLineStart.h"
#include "app/ExitCode.h"
#include "app/KorvaneApplication.h"
#include "app/RunResult.h"
#include "app/TForm_Korvane.h"
#include "app/Translations.h"
#include "contract/StandardError.h"
#include "platform/Display.h"
#include "platform/FileName.h"
#include "platform/ToolkitEnvironment.h"

namespace {
// A binding the window did not close: "exit" ends the message loop without closing the window,
// and then the connection is neither closed nor the driver unloaded. Held here, reachable to the
// end, so that the window's destruction does not do either.
driver::DriverBinding* bindingLeftOpen = nullptr;

// Ignored arguments stay ignored, but a typo in a scheduled job must be visible.
void WarnAboutIgnored(const QStringList& ignored)
{
    for (const QString& argument : ignored)
        contract::ReportLine(
            platform::FileNameBytes("ignoring \"" + argument + "\": not an option (see korvane --help)").toStdString());
}
} // namespace

int main(int argc, char** argv)
{
    runresult::InstallTerminateHandler();
    const QStringList arguments = TypedArguments(argc, argv);
    const CommandLineOptions options = ParseCommandLine(arguments);
    platform::RouteToolkitMessages(options.Verbose || !qEnvironmentVariableIsEmpty("KORVANE_DEBUG"), &contract::ReportLine);
    platform::EnsureRuntimeFolder();
    WarnAboutIgnored(options.Ignored);
    if (!options.UsageError.isEmpty()) {
        contract::ReportLine(platform::FileNameBytes(options.UsageError + " (see korvane --help)").toStdString());
        return UsageExitCode;
    }
    if (options.Command)
        return options.Command->run(options);
    if (options.Conventional)
        UseConventionalExitStatuses();

    const platform::DisplayChoice display = platform::ChooseDisplay();
    KorvaneApplication application(argc > 0 ? argv[0] : "korvane", display.platform);
    if (!platform::HasDisplay() && !options.Auto && !options.Exit) {
        contract::ReportLine(display.whyNone + ": start on a desktop for the window, or with /auto for an unattended upload");
        return UsageExitCode;
    }
    // Without a display nobody reads a window: whatever the run says is for scripts, in English.
    if (platform::HasDisplay())
        InstallTranslations();

    int exitCode = ExitCodeForEscapedError();
    try {
        KeepCommandLine(options);
        TForm_Korvane window("Korvane", nullptr, TForm_Korvane::DriverLoad::AfterFirstPaint);
        window.FormCreate();
        const int loopCode = application.exec();
        // Made now if "exit" ended the loop before the binding was reached.
        bindingLeftOpen = window.Driver.release();
        if (loopCode != EscapedErrorExitCode)
            exitCode = ExitCodeForRun(window.BytesUploaded, runresult::Failed());
    } catch (const std::exception& error) {
        KorvaneApplication::ReportError(error);
    }
    return exitCode;
}
