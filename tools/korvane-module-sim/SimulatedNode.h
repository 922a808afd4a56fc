// The simulated modules on one bus: each its object dictionary behind an SDO server on its own
// node-ID, with its boot-up and heartbeat frames, logging each frame when asked.
#pragma once

#include "simulator/ModuleNode.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

class SimulatedNode : public QObject {
public:
    using ToBus = std::function<void(const korvane::CanFrame&)>;

    SimulatedNode(korvane::module::ModuleState state, const QString& statePath, std::optional<uint8_t> node,
                  bool verbose, ToBus& toBus);

    uint8_t nodeId() const { return node_.nodeId(); }
    void offerBlockUpload(bool offered) { node_.offerBlockUpload(offered); }
    // Boot-up, then heartbeats at the state's period.
    void start();
    void handle(const korvane::CanFrame& frame);

private:
    void log(const char* direction, const korvane::CanFrame& frame) const;

    bool verbose_;
    ToBus& toBus_;
    korvane::module::ModuleNode node_;
    QTimer* heartbeat_;
};

class SimulatedNodes {
public:
    // Where the modules' frames go; set before the first frame arrives.
    void setBus(SimulatedNode::ToBus toBus) { toBus_ = std::move(toBus); }
    SimulatedNode::ToBus& bus() { return toBus_; }

    void add(std::unique_ptr<SimulatedNode> node) { nodes_.push_back(std::move(node)); }
    // Once the bus carries frames.
    void start();
    // Every frame seen on the bus.
    void handle(const korvane::CanFrame& frame);

private:
    SimulatedNode::ToBus toBus_;
    std::vector<std::unique_ptr<SimulatedNode>> nodes_;
};
