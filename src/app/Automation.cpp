#include "app/TForm_Korvane.h"

#include "app/ExitCode.h"
#include "app/RunResult.h"
#include "app/TThread_Auto.h"
#include "driver/DriverBinding.h"
#include "contract/StandardError.h"
#include "platform/CancelSignals.h"
#include "platform/FileName.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <array>
#include <exception>
#include <optional>

using platform::MessageBoxButtons;

void AutoWorkerDeleter::operator()(TThread_Auto* worker) const
{
    delete worker;
}

namespace {

enum AutoStates { ConnectState, MemoryState, ConfigurationState, EraseState, FinishState };

// From the first step to the last, an interrupt or terminate signal ends the run after the step
// under way, with its result line and reason.
std::optional<platform::CancelSignals> runSignals;

// Names of the steps in the result line, by state.
constexpr std::array<const char*, FinishState> StepNames{"connect", "memory", "configuration", "erase"};
// A settings profile is stored within the connect state, after the connect, and is a step of its
// own in the result line.
constexpr const char* SettingsStepName = "settings";
// The step under way, as the result line and the reasons name it.
const char* stepUnderWay = StepNames[ConnectState];

// "/node N": the node-ID for this run only, set in the binding's block; interface.ini keeps its own.
bool UseNodeOption(TForm_Korvane& form)
{
    if (!form.NodeOption)
        return true;
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    const uint node = digits.match(*form.NodeOption).hasMatch() ? form.NodeOption->toUInt() : 0;
    if (node < 1 || node > 127) {
        form.FailureReason = QStringLiteral("/node needs a node-ID from 1 to 127, not \"%1\"").arg(*form.NodeOption);
        return false;
    }
    form.Driver->SetNodeId(node);
    return true;
}

bool RunStep(TForm_Korvane& form)
{
    switch (form.AutoState) {
    case ConnectState:
        if (!UseNodeOption(form) || !form.ConnectModule())
            return false;
        if (form.SettingsProfileFile.isEmpty())
            return true;
        stepUnderWay = SettingsStepName;
        runresult::SetStep(stepUnderWay);
        return form.ApplySettingsProfile();
    case MemoryState:
        return form.UploadMemory();
    case ConfigurationState:
        // With "/config" the configuration's count replaces the memory's from here on.
        return !form.ConfigRequested || form.UploadConfiguration();
    case EraseState:
        if (form.BytesUploaded == 0 || !form.EraseRequested)
            return true;
        // A read-out of another length than announced is kept, never erased; so is one that went
        // to a pipe.
        if (!form.EraseRefusal.isEmpty()) {
            form.FailureReason = form.EraseRefusal + QStringLiteral("; it was not erased");
            return false;
        }
        return form.EraseMemory();
    default:
        return true;
    }
}

void SayWhyTheStepFailed(const char* step, QString reason)
{
    reason.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    contract::ReportLine(std::string(step) + " failed: "
                         + (reason.isEmpty() ? std::string("no reason given") : platform::FileNameBytes(reason).toStdString()));
}

// An error escaped the step: the run ends at once as a failure, told only on the standard
// streams, so that nothing waits for a user who may not be there.
void EndRunByError(TForm_Korvane& form, const char* what)
{
    contract::ReportLine(std::string(stepUnderWay) + ": unexpected error: " + what);
    runresult::PrintFailed();
    if (form.AutoWorker)
        form.AutoWorker->Terminate();
    QCoreApplication::exit(EscapedErrorExitCode);
}

}  // namespace

void TForm_Korvane::AutoStep()
{
    if (AutoState == ConnectState) {
        runresult::BeginRun();
        runSignals.emplace();
    }
    if (AutoState < FinishState) {
        stepUnderWay = StepNames[AutoState];
        runresult::SetStep(stepUnderWay);
    }
    FailureReason.clear();
    bool succeeded = true;
    try {
        succeeded = RunStep(*this);
    } catch (const std::exception& error) {
        EndRunByError(*this, error.what());
        return;
    } catch (...) {
        EndRunByError(*this, "unknown error");
        return;
    }

    // A signal ends the run here. What was uploaded and recorded before it counts; nothing more runs.
    const char* interruptedBy = platform::CancelSignals::RaisedName();
    const bool interrupted = *interruptedBy != '\0';
    if (interrupted && succeeded && AutoState < FinishState) {
        if (AutoState == ConnectState) {
            succeeded = false;
            FailureReason = QStringLiteral("interrupted by %1").arg(QLatin1String(interruptedBy));
        } else {
            contract::ReportLine(std::string("interrupted by ") + interruptedBy + " after the " + stepUnderWay
                                 + " step: nothing more was done"
                                 + (AutoState < EraseState ? "; the module was not erased" : ""));
            AutoState = FinishState;
        }
    } else if (interrupted && !succeeded) {
        FailureReason += QStringLiteral(" (interrupted by %1)").arg(QLatin1String(interruptedBy));
    }
    // Nobody is to be waited for once a signal asked the run to end.
    const bool showBoxes = !SilentMode && !interrupted;

    if (AutoState >= FinishState) {
        runresult::PrintSucceeded(BytesUploaded);
        if (showBoxes)
            platform::MessageBox(tr("%1 Bytes Uploaded").arg(BytesUploaded), tr("Success"),
                                 MessageBoxButtons::OK);
        SetOperationText(tr("Operation: Complete"));
    } else if (!succeeded) {
        SayWhyTheStepFailed(stepUnderWay, FailureReason);
        runresult::PrintFailed();
        if (showBoxes)
            platform::MessageBox(tr("Upload Failed!"), tr("Error"), MessageBoxButtons::OK,
                                 FailureReason);
        SetOperationText(tr("Operation: Failed"));
    } else {
        ++AutoState;
        return;
    }

    if (AutoWorker)
        AutoWorker->Terminate();
    close();
    // A hidden window that closes does not end the message loop by itself.
    QCoreApplication::quit();
    runSignals.reset();
    // As the signal would have ended it, once everything is said and closed.
    platform::CancelSignals::EndProcessIfRaised();
}
