#include "simulator/SimulatedChannel.h"

#include "contract/KorvaneApi.h"
#include "contract/StandardError.h"
#include "simulator/StateFile.h"

#include <cerrno>

namespace korvane::module {

SimulatedChannel::SimulatedChannel(const QString& statePath, uint32_t bitrate)
    : statePath_(statePath.isEmpty() ? defaultStateFile() : statePath)
    , defaultFile_(statePath.isEmpty())
    , bitrate_(bitrate)
    , tool_(bus_.attach())
    , moduleStation_(bus_.attach())
{
}

bool SimulatedChannel::open()
{
    OpenFailure failure;
    auto state = loadStateFile(statePath_, defaultFile_, QDateTime::currentDateTime(), failure);
    if (!state)
        return setError(failure.message, failure.errorCode);
    switch (state->faults.open) {
    case ModuleFaults::Open::Fail:
        return setError(QStringLiteral("the simulated module does not answer (fault in %1)").arg(statePath_), EIO);
    case ModuleFaults::Open::WrongMode:
        return setError(QStringLiteral("the interface is not in the needed mode (fault in %1)").arg(statePath_),
                        int(KORVANE_ERROR_WRONG_MODE));
    case ModuleFaults::Open::None: break;
    }
    moduleStation_.setHandler([this](const CanFrame& frame) {
        if (module_)
            module_->handle(frame);
    });
    module_.reset();
    if (ModuleNode::startingBitRate(*state) != bitrate_)
        return true;
    bus_.setTiming(wireBitRate(*state), std::chrono::microseconds(state->bus.answerLatencyUs));
    module_ = std::make_unique<ModuleNode>(
        std::move(*state), statePath_, [this](const CanFrame& frame) { moduleStation_.send(frame); },
        [](const QString& error) {
            contract::ReportLine(QString(QStringLiteral("the simulated module cannot keep its state: ") + error).toStdString());
        });
    module_->bootUp();
    nextHeartbeat_ = std::chrono::steady_clock::now() + module_->heartbeatPeriod();
    return true;
}

ReceiveStatus SimulatedChannel::receive(CanFrame& frame, std::chrono::milliseconds timeout)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + timeout;
    for (;;) {
        const auto now = steady_clock::now();
        const bool beating = module_ && module_->heartbeatPeriod() > milliseconds(0);
        if (beating && now >= nextHeartbeat_) {
            module_->heartbeat();
            // Missed periods are skipped, as a module does not make up for beats nobody heard.
            nextHeartbeat_ = now + module_->heartbeatPeriod();
        }
        const auto until = beating ? std::min(deadline, nextHeartbeat_) : deadline;
        const ReceiveStatus status = tool_.receive(frame, std::max(duration_cast<milliseconds>(until - now), milliseconds(0)));
        if (status != ReceiveStatus::TimedOut || steady_clock::now() >= deadline)
            return status;
    }
}

} // namespace korvane::module
