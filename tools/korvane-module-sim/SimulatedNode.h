// The simulated module on a bus: its object dictionary behind an SDO server, logging each frame
// when asked.
#pragma once

#include "simulator/ModuleNode.h"

#include <functional>

class SimulatedNode {
public:
    using ToBus = std::function<void(const korvane::CanFrame&)>;

    SimulatedNode(korvane::module::ModuleState state, const QString& statePath, uint8_t node, bool verbose);

    // Where the module's answers go; set before the first frame arrives.
    void setBus(ToBus toBus) { toBus_ = std::move(toBus); }
    void offerBlockUpload(bool offered) { node_.offerBlockUpload(offered); }

    // Every frame seen on the bus.
    void handle(const korvane::CanFrame& frame);

private:
    void log(const char* direction, const korvane::CanFrame& frame) const;

    bool verbose_;
    ToBus toBus_;
    korvane::module::ModuleNode node_;
};
