// A bus inside one process: every frame one station sends reaches every other station, either
// queued for receive() or handed to the station's handler (a server answering in place). As on a
// real bus, all stations see the frames in one order: a frame sent while another is being
// delivered waits until that one has reached everybody.
#pragma once

#include "canbus/CanChannel.h"
#include "canbus/WireTime.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace korvane {

class InMemoryBus {
public:
    class Station : public CanChannel {
    public:
        bool open() override { return true; }
        bool send(const CanFrame& frame) override;
        ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override;

        // Frames for this station go to `handler` on the delivering thread instead of the queue.
        // Set it before the station takes part in any traffic.
        void setHandler(std::function<void(const CanFrame&)> handler);

    private:
        friend class InMemoryBus;
        explicit Station(InMemoryBus& bus) : bus_(bus) {}
        // `arrived`: when the frame's last bit has reached the station.
        void deliver(const CanFrame& frame, wire::Clock::time_point arrived);

        struct Queued {
            CanFrame frame;
            wire::Clock::time_point arrived;
        };

        InMemoryBus& bus_;
        std::mutex mutex_;
        std::condition_variable arrived_;
        std::deque<Queued> queue_;
        std::function<void(const CanFrame&)> handler_;
        bool answers_ = false; // has a handler, sends only in answer to what it is handed
    };

    // The station lives as long as the bus.
    Station& attach();

    // From now on each frame takes its time on the wire at `bitRate` (0: none), one frame at a
    // time, and a station with a handler answers `answerLatency` after the end of the frame it
    // was handed. Set it before any traffic.
    void setTiming(uint32_t bitRate, std::chrono::microseconds answerLatency);

private:
    void broadcast(const Station& sender, const CanFrame& frame);

    struct Pending {
        const Station* sender;
        CanFrame frame;
        wire::Clock::time_point notBefore;
    };

    std::mutex mutex_;
    std::vector<std::unique_ptr<Station>> stations_;
    std::deque<Pending> pending_;
    bool delivering_ = false;
    bool timed_ = false;
    uint32_t bitRate_ = 0;
    std::chrono::microseconds answerLatency_{0};
    wire::Schedule schedule_;
    wire::Clock::time_point lastEnd_{}; // of the frame being delivered
};

} // namespace korvane
