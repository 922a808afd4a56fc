// The built-in simulated module: an SDO server in this process, on an in-memory bus of its own,
// answering on the configured node-ID and keeping its state in the state file.
#pragma once

#include "api/Interface.h"
#include "canbus/InMemoryBus.h"
#include "simulator/SimulatedModule.h"
#include "sdo/SdoServer.h"

namespace korvane::api {

class SimulatedInterface : public Interface {
public:
    static std::unique_ptr<Interface> open(const config::InterfaceConfig& config, OpenFailure& failure);

    SimulatedInterface(module::ModuleState state, const QString& statePath, const config::InterfaceConfig& config);

protected:
    sdo::SdoClient& client() override { return client_; }

private:
    InMemoryBus bus_;
    InMemoryBus::Station& toolStation_;
    InMemoryBus::Station& moduleStation_;
    module::SimulatedModule module_;
    sdo::SdoServer server_;
    sdo::SdoClient client_;
};

} // namespace korvane::api
