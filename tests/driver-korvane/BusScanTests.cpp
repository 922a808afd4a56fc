// The scan frame by frame against an adapter whose transmit queue holds a few frames and sends one
// per wait: the pacing, the back-pressure and which answers count.
#include "sdo/BusScan.h"
#include "sdo/SdoProtocol.h"
#include "sdo/StandardObjects.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>
#include <thread>

using namespace korvane;
using namespace std::chrono_literals;

namespace {

// Sends one queued frame per `gap`, as a bus does; on a full queue it answers Full, or, like many
// serial adapters, takes the frame and drops it.
class QueuedAdapter : public CanChannel {
public:
    using Clock = std::chrono::steady_clock;

    size_t capacity = 64;
    bool reportsFull = true;
    std::chrono::microseconds gap{200};
    std::set<uint8_t> modules;   // nodes that answer their request as soon as it is on the bus
    std::vector<uint8_t> onBus;  // the node of every request of 0x1000, as it reached the bus
    int refused = 0;
    int dropped = 0;
    // A frame put on the bus right after the request to the given node, as a slow module's answer.
    std::map<uint8_t, CanFrame> after;

    bool open() override { return true; }
    bool send(const CanFrame& frame) override { return offer(frame) == OfferStatus::Sent; }
    OfferStatus offer(const CanFrame& frame) override
    {
        drain();
        if (queue_.size() >= capacity) {
            if (reportsFull) {
                ++refused;
                return OfferStatus::Full;
            }
            ++dropped;
            return OfferStatus::Sent;
        }
        if (queue_.empty())
            busFree_ = Clock::now() + gap;
        queue_.push_back(frame);
        return OfferStatus::Sent;
    }
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override
    {
        const auto end = Clock::now() + timeout;
        for (;;) {
            drain();
            if (!incoming_.empty()) {
                frame = incoming_.front();
                incoming_.pop_front();
                return ReceiveStatus::Received;
            }
            if (Clock::now() >= end)
                return ReceiveStatus::TimedOut;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    }

    static CanFrame answer(uint8_t node, uint16_t index, uint32_t value)
    {
        CanFrame frame = sdo::frame(sdo::responseId(node), sdo::command::expedited(sdo::InitiateUploadAnswer, 4), index, 0);
        sdo::setWord(frame, value);
        return frame;
    }

private:
    void drain()
    {
        while (!queue_.empty() && Clock::now() >= busFree_) {
            transmit(queue_.front());
            queue_.pop_front();
            busFree_ += gap;
        }
    }

    void transmit(const CanFrame& request)
    {
        const uint8_t node = uint8_t(request.id - sdo::requestId(0));
        if (sdo::indexOf(request) == sdo::object::DeviceType)
            onBus.push_back(node);
        if (modules.count(node)) {
            CanFrame reply = answer(node, sdo::indexOf(request), 0x00020000u + node);
            reply.data[3] = sdo::subIndexOf(request);
            incoming_.push_back(reply);
        }
        if (const auto late = after.find(node); late != after.end())
            incoming_.push_back(late->second);
    }

    std::deque<CanFrame> queue_;
    std::deque<CanFrame> incoming_;
    Clock::time_point busFree_;
};

sdo::ScanSettings quick(size_t depth)
{
    sdo::ScanSettings settings;
    settings.frameGap = std::chrono::microseconds(200);
    settings.listen = 5ms;
    settings.answerWindow = 30ms;
    settings.identityTimeout = 30ms;
    settings.depth = depth;
    return settings;
}

std::vector<uint8_t> everyNode()
{
    std::vector<uint8_t> nodes;
    for (int node = 1; node <= 127; ++node)
        nodes.push_back(uint8_t(node));
    return nodes;
}

} // namespace

TEST(BusScan, NeverMoreRequestsAheadOfTheBusThanTheQueueHolds)
{
    QueuedAdapter adapter;
    adapter.reportsFull = false; // it would drop what does not fit
    adapter.capacity = 4;        // one more than the scan fills: the two clocks are not one
    for (int node = 1; node <= 127; ++node)
        adapter.modules.insert(uint8_t(node));
    QString error;
    const auto found = sdo::scanBus(adapter, quick(3), error);
    ASSERT_TRUE(found) << error.toStdString();
    EXPECT_EQ(adapter.dropped, 0);
    EXPECT_EQ(adapter.onBus, everyNode());
    EXPECT_EQ(found->size(), 127u);
}

TEST(BusScan, AFullQueueIsWaitedForAndLosesNoRequest)
{
    QueuedAdapter adapter;
    adapter.capacity = 2;
    adapter.modules = {5, 9};
    QString error;
    const auto found = sdo::scanBus(adapter, quick(8), error);
    ASSERT_TRUE(found) << error.toStdString();
    EXPECT_GT(adapter.refused, 0);
    EXPECT_EQ(adapter.onBus, everyNode());
    ASSERT_EQ(found->size(), 2u);
    EXPECT_EQ((*found)[0].node, 5);
    EXPECT_EQ((*found)[0].deviceType, 0x00020005u);
    EXPECT_EQ((*found)[1].serialNumber, 0x00020009u);
}

TEST(BusScan, OnlyAnEchoingAnswerFromTheNodesOwnIdCounts)
{
    QueuedAdapter adapter;
    // Node 4 answers late, after the request to 5 is on the bus; 5 stays silent. Node 7 answers
    // with another object's index, 8's frame is a heartbeat only.
    adapter.after[5] = QueuedAdapter::answer(4, sdo::object::DeviceType, 0x44);
    adapter.after[7] = QueuedAdapter::answer(7, 0x2000, 0x77);
    adapter.after[8] = sdo::heartbeatFrame(8, sdo::kPreOperational);
    QString error;
    const auto found = sdo::scanBus(adapter, quick(8), error);
    ASSERT_TRUE(found) << error.toStdString();
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ((*found)[0].node, 4);
    EXPECT_EQ((*found)[0].deviceType, 0x44u);
}
