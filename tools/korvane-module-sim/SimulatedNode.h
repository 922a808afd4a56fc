// The simulated modules on one bus: each its object dictionary behind an SDO server on its own
// node-ID, with its boot-up and heartbeat frames, logging each frame when asked.
#pragma once

#include "canbus/WireTime.h"
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

// The bus the modules share. With wire timing it tells when each of their frames has crossed it.
class SimulatedNodes {
public:
    // `arrived`: when the frame's last bit reaches the other stations; pass it on then.
    using ToPort = std::function<void(const korvane::CanFrame&, korvane::wire::Clock::time_point arrived)>;

    SimulatedNodes();

    // Where the modules' frames go; set before the first frame arrives.
    void setBus(ToPort toPort) { toPort_ = std::move(toPort); }
    SimulatedNode::ToBus& bus() { return toBus_; }
    // Frames take their time at `bitRate` (0: none); answers start `latency` after the frame
    // they answer.
    void setTiming(uint32_t bitRate, std::chrono::microseconds latency);

    void add(std::unique_ptr<SimulatedNode> node) { nodes_.push_back(std::move(node)); }
    // Once the bus carries frames.
    void start();
    // Every frame seen on the bus, `sent` when its sender put it on the bus.
    void handle(const korvane::CanFrame& frame, korvane::wire::Clock::time_point sent = korvane::wire::Clock::now());

private:
    ToPort toPort_;
    SimulatedNode::ToBus toBus_;
    std::vector<std::unique_ptr<SimulatedNode>> nodes_;
    uint32_t bitRate_ = 0;
    std::chrono::microseconds latency_{0};
    korvane::wire::Schedule schedule_;
    std::optional<korvane::wire::Clock::time_point> answerFrom_; // while the modules answer a frame
};
