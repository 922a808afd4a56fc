// A CAN adapter reached through a Qt Serial Bus plugin (socketcan, virtualcan, vendor plugins).
// The device lives in a thread of its own with its own event loop, so waiting for a frame never
// runs the caller's events: no timer of the tool fires in the middle of an exchange.
#pragma once

#include "canbus/CanChannel.h"
#include "canbus/OpenFailure.h"

#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>

class QCanBusDevice;

namespace korvane {

class QtCanChannel : public CanChannel {
public:
    // `bitrate` is handed to plugins that set it themselves; socketcan and virtualcan take it
    // from the system. Frames with another identifier than `acceptedId` are dropped on arrival.
    QtCanChannel(const QString& plugin, const QString& device, uint32_t bitrate, uint32_t acceptedId);
    ~QtCanChannel() override;

    bool open(std::chrono::milliseconds timeout, OpenFailure& failure);

    bool send(const CanFrame& frame) override;
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override;

private:
    enum class State { Opening, Open, Failed };

    // Runs in the device thread.
    void start();
    void stop();
    void onState();
    void onError();
    void onFrames();
    void fail(const QString& reason, int errorCode);

    QString plugin_;
    QString deviceName_;
    uint32_t bitrate_;
    uint32_t acceptedId_;
    QThread thread_;
    QObject* context_ = nullptr;   // lives in thread_; queued calls go through it
    QCanBusDevice* device_ = nullptr; // touched only in thread_

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Opening;
    OpenFailure failure_;
    std::deque<CanFrame> frames_;
};

} // namespace korvane
