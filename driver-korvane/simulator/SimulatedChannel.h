// The built-in simulated module as a channel: an in-memory bus of its own with the module on it,
// its state read from the state file when the channel opens: that is the module's start, when it
// takes its node-ID and bit rate from its settings and says so with a boot-up frame. Its
// heartbeats are sent while the tool waits for frames, when they are due. A module starting on
// another bit rate than the interface's is not heard, and hears nothing.
#pragma once

#include "canbus/InMemoryBus.h"
#include "simulator/ModuleNode.h"

#include <memory>

namespace korvane::module {

class SimulatedChannel : public CanChannel {
public:
    // An empty `statePath` is the default file, made from the demo module on first use.
    SimulatedChannel(const QString& statePath, uint32_t bitrate);

    bool open() override;
    bool send(const CanFrame& frame) override { return tool_.send(frame); }
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override;

    QString notice() const override { return QStringLiteral("using the built-in simulated module (%1)").arg(statePath_); }

private:
    QString statePath_;
    bool defaultFile_;
    uint32_t bitrate_;
    std::chrono::steady_clock::time_point nextHeartbeat_;
    InMemoryBus bus_;
    InMemoryBus::Station& tool_;
    InMemoryBus::Station& moduleStation_;
    std::unique_ptr<ModuleNode> module_;
};

} // namespace korvane::module
