#include "app/TForm_Korvane.h"

#include "app/CommandLine.h"
#include "app/CommandLinePlatform.h"
#include "app/FileNameEdit.h"
#include "app/TThread_Auto.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"

#include <QCoreApplication>

#include <array>
#include <cstdio>

using platform::MessageBoxButtons;

void AutoWorkerDeleter::operator()(TThread_Auto* worker) const
{
    delete worker;
}

namespace {

enum AutoStates { ConnectState, MemoryState, ConfigurationState, EraseState, FinishState };

// Names of the steps in the result line, by state.
constexpr std::array<const char*, FinishState> StepNames{"connect", "memory", "configuration", "erase"};

// The one line a script reads; nothing else of the tool goes to standard output.
void PrintResultLine(const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Ends the message loop as soon as it runs, without closing the main window.
void QuitWhenTheLoopRuns()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

}  // namespace

void TForm_Korvane::FormCreate()
{
    AutoMode = false;
    SilentMode = false;

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    CommandLineOptions options;
    if (!arguments.isEmpty()) {
        options = ParseCommandLine(arguments);
        if (options.ConfigFile) {
            AdvFileNameEdit_Config->setText(*options.ConfigFile);
            ConfigFileGiven = true;
        }
        if (options.MemoryFile) {
            AdvFileNameEdit_FileName->setText(*options.MemoryFile);
            MemoryFileGiven = true;
        }
        if (options.Beep)
            platform::Beep(1000, 1000);
        if (options.Exit)
            QuitWhenTheLoopRuns();
        if (options.Auto) {
            AutoMode = true;
            AutoWorker.reset(new TThread_Auto([this] { AutoStep(); }));
        }
        SilentMode = options.Silent;
        EraseRequested = options.Erase;
        ConfigRequested = options.Config;
    }

    if (SilentMode) {
        setWindowState(Qt::WindowMinimized);
        setVisible(false);
    } else {
        setVisible(true);
    }
    if (AutoWorker && !AutoWorker->Started())
        AutoWorker->Start();

    // A window that nobody can see would wait for ever.
    if (StartedWithoutDisplay() && !AutoWorker && !options.Exit) {
        platform::MessageBox(QStringLiteral("No display: start on a desktop for the window, or with /auto for an "
                                            "unattended upload."),
                             QStringLiteral("Error"), MessageBoxButtons::OK);
        QuitWhenTheLoopRuns();
    }
}

void TForm_Korvane::AutoStep()
{
    bool succeeded = true;
    switch (AutoState) {
    case ConnectState:
        succeeded = ConnectModule();
        break;
    case MemoryState:
        succeeded = UploadMemory();
        break;
    case ConfigurationState:
        // With "/config" the configuration's count replaces the memory's from here on.
        succeeded = !ConfigRequested || UploadConfiguration();
        break;
    case EraseState:
        succeeded = BytesUploaded == 0 || !EraseRequested || EraseMemory();
        break;
    default:
        break;
    }

    if (AutoState >= FinishState) {
        PrintResultLine(QStringLiteral("%1 Bytes Uploaded").arg(BytesUploaded));
        if (!SilentMode)
            platform::MessageBox(QStringLiteral("%1 Bytes Uploaded").arg(BytesUploaded), QStringLiteral("Success"),
                                 MessageBoxButtons::OK);
        SetOperationText(QStringLiteral("Operation: Complete"));
    } else if (!succeeded) {
        PrintResultLine(QStringLiteral("Upload Failed! (step: %1)").arg(QLatin1String(StepNames[AutoState])));
        if (!SilentMode)
            platform::MessageBox(QStringLiteral("Upload Failed!"), QStringLiteral("Error"), MessageBoxButtons::OK);
        SetOperationText(QStringLiteral("Operation: Failed"));
    } else {
        ++AutoState;
        return;
    }

    if (AutoWorker)
        AutoWorker->Terminate();
    close();
    // A hidden window that closes does not end the message loop by itself.
    QCoreApplication::quit();
}
