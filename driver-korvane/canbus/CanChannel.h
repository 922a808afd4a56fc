// One station's access to a CAN bus. Protocol code sees only this, so the simulated module's
// in-memory bus, Qt Serial Bus plugins and serial-line adapters are interchangeable under it.
#pragma once

#include "canbus/CanFrame.h"

#include <chrono>

namespace korvane {

enum class ReceiveStatus { Received, TimedOut, Failed };

class CanChannel {
public:
    virtual ~CanChannel() = default;

    // False when the frame could not be handed to the bus (adapter lost).
    virtual bool send(const CanFrame& frame) = 0;

    // Waits up to `timeout` for the next frame. Failed: the adapter is gone, waiting is pointless.
    virtual ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) = 0;
};

} // namespace korvane
