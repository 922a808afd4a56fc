// A serial-line CAN adapter speaking the ASCII protocol, over a serial port or pseudo-terminal.
// Waits are synchronous on the caller's thread and process no events; the port is a plain file
// descriptor, no Qt object, so one thread after another may use the channel.
#pragma once

#include "canbus/CanChannel.h"
#include "canbus/Slcan.h"

#include <deque>

namespace korvane {

class SerialCanChannel : public CanChannel {
public:
    // Only node reports (see CanFrame.h) are kept. A port without a folder is one of /dev.
    SerialCanChannel(const QString& port, int lineRate, uint32_t bitrate);
    ~SerialCanChannel() override;

    // Opens the port and the adapter's CAN channel at the bit rate.
    bool open() override;

    bool send(const CanFrame& frame) override;
    ReceiveStatus receive(CanFrame& frame, std::chrono::milliseconds timeout) override;

private:
    // Sends a command and waits for its answer; nothing means the adapter did not answer.
    std::optional<slcan::Reply> command(const QByteArray& text);
    // Waits up to `timeout` for bytes and sorts them into frames and replies; false: port lost.
    bool pump(std::chrono::milliseconds timeout);
    // The whole text, within the command timeout; false: port lost or stuck.
    bool write(const QByteArray& text);
    // Keeps why the port is gone; false.
    bool lose(const QString& why);
    // Writes a frame's line and follows it until the adapter acknowledges or refuses it.
    bool transmit(const QByteArray& line, std::chrono::steady_clock::time_point firstSent);
    // An acknowledgement or refusal for the oldest frame still waiting for one; false: port lost.
    bool acknowledge(const slcan::Reply& reply);

    // A frame sent and not acknowledged yet: a full transmit queue refuses it, and it goes again
    // until it has waited too long since it was first sent.
    struct Unacknowledged {
        QByteArray line;
        std::chrono::steady_clock::time_point firstSent;
    };

    QString port_;
    int lineRate_;
    uint32_t bitrate_;
    int fd_ = -1;
    bool lost_ = false;
    QByteArray pending_;
    std::deque<CanFrame> frames_;
    std::deque<slcan::Reply> replies_;
    std::deque<Unacknowledged> unacknowledged_;
    bool opened_ = false;
};

} // namespace korvane
