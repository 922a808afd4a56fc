// The built-in simulated module as a channel: an in-memory bus of its own with the module on it,
// answering on the configured node-ID, its state read from the state file when the channel opens.
#pragma once

#include "canbus/InMemoryBus.h"
#include "simulator/ModuleNode.h"

#include <memory>

namespace korvane::module {

class SimulatedChannel : public CanChannel {
public:
    // An empty `statePath` is the default file, made from the demo module on first use.
    SimulatedChannel(const QString& statePath, uint8_t node);

    bool open() override;
    bool send(const CanFrame& frame) override { return tool_.send(frame); }
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override
    {
        return tool_.receive(frame, timeout);
    }

    QString notice() const override { return QStringLiteral("using the built-in simulated module (%1)").arg(statePath_); }

private:
    QString statePath_;
    bool defaultFile_;
    uint8_t node_;
    InMemoryBus bus_;
    InMemoryBus::Station& tool_;
    InMemoryBus::Station& moduleStation_;
    std::unique_ptr<ModuleNode> module_;
};

} // namespace korvane::module
