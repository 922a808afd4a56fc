// The simulated module on a bus: its object dictionary behind an SDO server on one node-ID,
// keeping every change in its state file. The built-in module and korvane-module-sim are both one.
#pragma once

#include "sdo/SdoServer.h"
#include "simulator/SimulatedModule.h"

#include <functional>

namespace korvane::module {

class ModuleNode {
public:
    using Send = std::function<void(const CanFrame&)>;
    using Complain = std::function<void(const QString&)>;

    // `complain` hears why a change could not be kept (the module then refuses it).
    ModuleNode(ModuleState state, const QString& statePath, uint8_t node, Send send, Complain complain);

    void offerBlockUpload(bool offered) { server_.offerBlockUpload(offered); }

    // Every frame seen on the bus.
    void handle(const CanFrame& frame) { server_.handle(frame); }

private:
    SimulatedModule module_;
    sdo::SdoServer server_;
};

} // namespace korvane::module
