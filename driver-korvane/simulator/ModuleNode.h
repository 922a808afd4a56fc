// The simulated module on a bus: its object dictionary behind an SDO server on one node-ID,
// keeping every change in its state file. The built-in module and korvane-module-sim are both one.
// Like a real module it takes its node-ID and bit rate from its settings when it starts: a NodeId
// or Baud stored later counts from the next start.
#pragma once

#include "sdo/SdoServer.h"
#include "simulator/SimulatedModule.h"

#include <chrono>
#include <functional>
#include <optional>

namespace korvane::module {

// The bit rate the module's frames take their time at, 0 when they take none.
uint32_t wireBitRate(const ModuleState& state);

class ModuleNode {
public:
    using Send = std::function<void(const CanFrame&)>;
    using Complain = std::function<void(const QString&)>;

    // `complain` hears why a change could not be kept (the module then refuses it). `node`
    // overrides the state's NodeId.
    ModuleNode(ModuleState state, const QString& statePath, Send send, Complain complain,
               std::optional<uint8_t> node = std::nullopt);

    // The node-ID the state starts a module on: its NodeId, or the default for one of no use.
    static uint8_t startingNodeId(const ModuleState& state);
    // The bit rate it starts on: its Baud, or the default for one that is not a bit rate.
    static uint32_t startingBitRate(const ModuleState& state);

    uint8_t nodeId() const { return node_; }
    void offerBlockUpload(bool offered) { server_.offerBlockUpload(offered); }

    // The boot-up frame, once the module is on the bus.
    void bootUp();
    // The heartbeat period from the state; zero: none.
    std::chrono::milliseconds heartbeatPeriod() const;
    void heartbeat();

    // Every frame seen on the bus.
    void handle(const CanFrame& frame) { server_.handle(frame); }

private:
    uint8_t node_;
    Send send_;
    SimulatedModule module_;
    sdo::SdoServer server_;
};

} // namespace korvane::module
