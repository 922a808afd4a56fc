#include "simulator/SimulatedChannel.h"

#include "contract/KorvaneApi.h"
#include "contract/StandardError.h"
#include "simulator/StateFile.h"

#include <cerrno>

namespace korvane::module {

SimulatedChannel::SimulatedChannel(const QString& statePath, uint8_t node)
    : statePath_(statePath.isEmpty() ? defaultStateFile() : statePath)
    , defaultFile_(statePath.isEmpty())
    , node_(node)
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
    module_ = std::make_unique<ModuleNode>(
        std::move(*state), statePath_, node_, [this](const CanFrame& frame) { moduleStation_.send(frame); },
        [](const QString& error) {
            contract::ReportLine(QString(QStringLiteral("the simulated module cannot keep its state: ") + error).toStdString());
        });
    moduleStation_.setHandler([this](const CanFrame& frame) { module_->handle(frame); });
    return true;
}

} // namespace korvane::module
