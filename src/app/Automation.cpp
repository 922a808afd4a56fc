#include "app/TForm_Korvane.h"

#include "app/TThread_Auto.h"
#include "platform/MessageBox.h"

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

}  // namespace

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
