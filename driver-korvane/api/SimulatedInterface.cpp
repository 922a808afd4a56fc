#include "api/SimulatedInterface.h"

#include "contract/KorvaneApi.h"
#include "simulator/StateFile.h"

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace korvane::api {

std::unique_ptr<Interface> SimulatedInterface::open(const config::InterfaceConfig& config, OpenFailure& failure)
{
    const bool useDefault = config.moduleState.isEmpty();
    const QString path = useDefault ? module::defaultStateFile() : config.moduleState;
    auto state = module::loadStateFile(path, useDefault, QDateTime::currentDateTime(), failure);
    if (!state)
        return nullptr;
    switch (state->faults.open) {
    case module::ModuleFaults::Open::Fail:
        failure = {QStringLiteral("Korvane: the simulated module does not answer (fault in %1)").arg(path), EIO};
        return nullptr;
    case module::ModuleFaults::Open::WrongMode:
        failure = {QStringLiteral("Korvane: the interface is not in the needed mode (fault in %1)").arg(path),
                   int(KORVANE_ERROR_WRONG_MODE)};
        return nullptr;
    case module::ModuleFaults::Open::None: break;
    }
    // Once per process: an unattended run says it once, a window that reconnects does not repeat it.
    static std::once_flag announced;
    std::call_once(announced, [&] {
        std::fprintf(stderr, "korvane: %susing the built-in simulated module (%s)\n",
                     config.transport == config::Transport::Unset ? "no interface configured: " : "", qPrintable(path));
    });
    return std::make_unique<SimulatedInterface>(std::move(*state), path, config);
}

SimulatedInterface::SimulatedInterface(module::ModuleState state, const QString& statePath,
                                       const config::InterfaceConfig& config)
    : toolStation_(bus_.attach())
    , moduleStation_(bus_.attach())
    , module_(std::move(state),
              [statePath](const module::ModuleState& changed) {
                  QString error;
                  if (module::saveStateFile(statePath, changed, error))
                      return true;
                  std::fprintf(stderr, "Korvane: the simulated module cannot keep its state: %s\n", qPrintable(error));
                  return false;
              })
    , server_(module_, uint8_t(config.nodeId), [this](const CanFrame& frame) { moduleStation_.send(frame); })
    , client_(toolStation_, uint8_t(config.nodeId), std::chrono::milliseconds(config.sdoTimeoutMs))
{
    moduleStation_.setHandler([this](const CanFrame& frame) { server_.handle(frame); });
    client_.setBlockSize(127);
}

} // namespace korvane::api
