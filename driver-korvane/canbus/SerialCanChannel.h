// A serial-line CAN adapter speaking the ASCII protocol, over a serial port or pseudo-terminal.
// Waits are synchronous on the caller's thread and process no events.
#pragma once

#include "canbus/CanChannel.h"
#include "canbus/Slcan.h"

#include <QSerialPort>

#include <deque>

namespace korvane {

class SerialCanChannel : public CanChannel {
public:
    // Only node reports (see CanFrame.h) are kept.
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
    // Also keeps the reason when the port is gone.
    bool lost();

    QSerialPort port_;
    uint32_t bitrate_;
    QByteArray pending_;
    std::deque<CanFrame> frames_;
    std::deque<slcan::Reply> replies_;
    bool opened_ = false;
};

} // namespace korvane
