// A CAN adapter reached through a Qt Serial Bus plugin (socketcan, virtualcan, vendor plugins).
// The device lives in a thread of its own with its own event loop, so waiting for a frame never
// runs the caller's events: no timer of the tool fires in the middle of an exchange. The two
// threads share only what mutex_ guards; an eventfd wakes the device thread for frames to send
// and for the stop, so no Qt object or call crosses between them. The thread is a plain
// std::thread running a QEventLoop, so every hand-over between the threads is one the C++
// runtime (and ThreadSanitizer) can see.
#pragma once

#include "canbus/CanChannel.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QCanBusDevice;
class QEventLoop;
class QObject;

namespace korvane {

class QtCanChannel : public CanChannel {
public:
    // `bitrate` is handed to plugins that set it themselves; socketcan and virtualcan take it
    // from the system. Only node reports (see CanFrame.h) are kept.
    // `connectTimeout` bounds open().
    QtCanChannel(const QString& plugin, const QString& device, uint32_t bitrate,
                 std::chrono::milliseconds connectTimeout = std::chrono::milliseconds(3000));
    ~QtCanChannel() override;

    bool open() override;
    bool send(const CanFrame& frame) override;
    // Full while kQueueLimit frames wait for the device thread or for room in the adapter.
    OfferStatus offer(const CanFrame& frame) override;
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override;
    BusState busState() override;

private:
    enum class State { Opening, Open, Failed };
    static constexpr size_t kQueueLimit = 16;

    // Run in the device thread.
    void run();
    void start();
    void onWake();
    void onState();
    void onError();
    void onFrames();
    void fail(const QString& reason, int errorCode);
    // The controller's word on the bus, where the plugin has one; else what error frames said.
    void noteBusStatus(bool errorFrameSaysOff);

    QString plugin_;
    QString deviceName_;
    uint32_t bitrate_;
    std::chrono::milliseconds connectTimeout_;
    std::thread thread_;
    int wake_ = -1;                   // eventfd: frames to send, or stop
    QEventLoop* loop_ = nullptr;      // these three: created, used and deleted in thread_ only
    QObject* context_ = nullptr;
    QCanBusDevice* device_ = nullptr; // child of context_

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Opening;
    BusState busState_ = BusState::Unknown;
    std::deque<CanFrame> frames_;   // received, for receive()
    std::deque<CanFrame> outgoing_; // for the device thread to write
    bool stopping_ = false;
};

} // namespace korvane
