// A bus inside one process: every frame one station sends reaches every other station, either
// queued for receive() or handed to the station's handler (a server answering in place). As on a
// real bus, all stations see the frames in one order: a frame sent while another is being
// delivered waits until that one has reached everybody.
#pragma once

#include "canbus/CanChannel.h"

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
        void deliver(const CanFrame& frame);

        InMemoryBus& bus_;
        std::mutex mutex_;
        std::condition_variable arrived_;
        std::deque<CanFrame> queue_;
        std::function<void(const CanFrame&)> handler_;
    };

    // The station lives as long as the bus.
    Station& attach();

private:
    void broadcast(const Station& sender, const CanFrame& frame);

    struct Pending {
        const Station* sender;
        CanFrame frame;
    };

    std::mutex mutex_;
    std::vector<std::unique_ptr<Station>> stations_;
    std::deque<Pending> pending_;
    bool delivering_ = false;
};

} // namespace korvane
