// One station's access to a CAN bus. Protocol code sees only this, so the simulated module's
// in-memory bus, Qt Serial Bus plugins and serial-line adapters are interchangeable under it.
// The base keeps why the channel could not open or stopped working, so every channel reports
// the reason it already has in one way.
#pragma once

#include "canbus/CanFrame.h"
#include "canbus/OpenFailure.h"

#include <chrono>
#include <mutex>

namespace korvane {

enum class ReceiveStatus { Received, TimedOut, Failed };
// Full: the adapter's transmit queue has no room now (back-pressure): nothing was sent, try again.
enum class OfferStatus { Sent, Full, Failed };

class CanChannel {
public:
    // What the adapter's controller says of the bus. Unknown where the adapter does not tell.
    enum class BusState { Unknown, Active, Off };

    virtual ~CanChannel() = default;

    // Connects to the bus; false, with error() saying why, when it cannot.
    virtual bool open() = 0;

    // False when the frame could not be handed to the bus (adapter lost).
    virtual bool send(const CanFrame& frame) = 0;

    // Like send(), but a full transmit queue answers Full at once instead of waiting for room,
    // so that a sender of many frames can pace itself.
    virtual OfferStatus offer(const CanFrame& frame) { return send(frame) ? OfferStatus::Sent : OfferStatus::Failed; }

    // Waits up to `timeout` for the next frame. Failed: the adapter is gone, waiting is pointless.
    virtual ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) = 0;

    virtual BusState busState() { return BusState::Unknown; }

    // A line for standard error once the channel is open, where there is something to say.
    virtual QString notice() const { return {}; }

    // The first reason the channel failed (an empty message while it works): what came after
    // it is a consequence. Any thread may ask.
    OpenFailure error() const
    {
        std::lock_guard lock(errorMutex_);
        return error_;
    }

protected:
    // False, so that failing paths can end in `return setError(...)`.
    bool setError(const QString& message, int errorCode)
    {
        std::lock_guard lock(errorMutex_);
        if (error_.message.isEmpty())
            error_ = {message, errorCode};
        return false;
    }

private:
    mutable std::mutex errorMutex_;
    OpenFailure error_;
};

} // namespace korvane
