#include "canbus/InMemoryBus.h"

namespace korvane {

InMemoryBus::Station& InMemoryBus::attach()
{
    std::lock_guard lock(mutex_);
    stations_.push_back(std::unique_ptr<Station>(new Station(*this)));
    return *stations_.back();
}

void InMemoryBus::broadcast(const Station& sender, const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        pending_.push_back({&sender, frame});
        if (delivering_)
            return; // whoever is delivering takes this frame next
        delivering_ = true;
    }
    for (;;) {
        Pending next;
        std::vector<Station*> receivers;
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                delivering_ = false;
                return;
            }
            next = pending_.front();
            pending_.pop_front();
            for (const auto& station : stations_)
                if (station.get() != next.sender)
                    receivers.push_back(station.get());
        }
        // Delivered outside the bus lock: a handler answering in place sends on this bus again.
        for (Station* station : receivers)
            station->deliver(next.frame);
    }
}

bool InMemoryBus::Station::send(const CanFrame& frame)
{
    bus_.broadcast(*this, frame);
    return true;
}

void InMemoryBus::Station::setHandler(std::function<void(const CanFrame&)> handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void InMemoryBus::Station::deliver(const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        if (!handler_) {
            queue_.push_back(frame);
            arrived_.notify_one();
            return;
        }
    }
    // Deliveries on one bus never overlap, so the handler never runs twice at once.
    handler_(frame);
}

ReceiveStatus InMemoryBus::Station::receive(CanFrame& frame, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    // A zero timeout only takes what is queued: waiting on the condition even for no time costs a
    // round of the kernel's timer, tens of microseconds on every SDO transfer.
    const auto queued = [this] { return !queue_.empty(); };
    if (!queued() && (timeout <= std::chrono::milliseconds(0) || !arrived_.wait_for(lock, timeout, queued)))
        return ReceiveStatus::TimedOut;
    frame = queue_.front();
    queue_.pop_front();
    return ReceiveStatus::Received;
}

} // namespace korvane
