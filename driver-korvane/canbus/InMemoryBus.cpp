#include "canbus/InMemoryBus.h"

namespace korvane {

InMemoryBus::Station& InMemoryBus::attach()
{
    std::lock_guard lock(mutex_);
    stations_.push_back(std::unique_ptr<Station>(new Station(*this)));
    return *stations_.back();
}

void InMemoryBus::setTiming(uint32_t bitRate, std::chrono::microseconds answerLatency)
{
    std::lock_guard lock(mutex_);
    timed_ = bitRate != 0 || answerLatency.count() != 0;
    bitRate_ = bitRate;
    answerLatency_ = answerLatency;
}

void InMemoryBus::broadcast(const Station& sender, const CanFrame& frame)
{
    {
        std::lock_guard lock(mutex_);
        // An answering station sends from its handler, while the frame it answers is delivered.
        const auto notBefore = !timed_ ? wire::Clock::time_point{}
                               : sender.answers_ ? lastEnd_ + answerLatency_
                                                 : wire::Clock::now();
        pending_.push_back({&sender, frame, notBefore});
        if (delivering_)
            return; // whoever is delivering takes this frame next
        delivering_ = true;
    }
    for (;;) {
        Pending next;
        std::vector<Station*> receivers;
        wire::Clock::time_point end{};
        {
            std::lock_guard lock(mutex_);
            if (pending_.empty()) {
                delivering_ = false;
                return;
            }
            next = pending_.front();
            pending_.pop_front();
            if (timed_)
                lastEnd_ = end = schedule_.occupy(next.notBefore, wire::frameTime(next.frame, bitRate_));
            for (const auto& station : stations_)
                if (station.get() != next.sender)
                    receivers.push_back(station.get());
        }
        // Delivered outside the bus lock: a handler answering in place sends on this bus again.
        for (Station* station : receivers)
            station->deliver(next.frame, end);
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
    answers_ = bool(handler);
    handler_ = std::move(handler);
}

void InMemoryBus::Station::deliver(const CanFrame& frame, wire::Clock::time_point arrived)
{
    {
        std::lock_guard lock(mutex_);
        if (!handler_) {
            queue_.push_back({frame, arrived});
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
    // A zero timeout only takes what has arrived: waiting on the condition even for no time costs
    // a round of the kernel's timer, tens of microseconds on every SDO transfer.
    const auto deadline = wire::Clock::now() + timeout;
    for (;;) {
        const auto now = wire::Clock::now();
        if (!queue_.empty() && queue_.front().arrived <= now)
            break;
        if (now >= deadline)
            return ReceiveStatus::TimedOut;
        arrived_.wait_until(lock, queue_.empty() ? deadline : std::min(deadline, queue_.front().arrived));
    }
    frame = queue_.front().frame;
    queue_.pop_front();
    return ReceiveStatus::Received;
}

} // namespace korvane
