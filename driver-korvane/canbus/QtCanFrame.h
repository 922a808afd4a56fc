// Our frames to and from Qt Serial Bus frames, for whatever sits on a Qt CAN plugin.
#pragma once

#include "canbus/CanFrame.h"

#include <QAbstractSocket>
#include <QCanBusDevice>
#include <QCanBusFrame>
#include <QVariant>

#include <algorithm>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <optional>

namespace korvane {

// Only classic data frames with an 11-bit identifier are ours.
inline std::optional<CanFrame> fromQt(const QCanBusFrame& frame)
{
    const QByteArray payload = frame.payload();
    if (frame.frameType() != QCanBusFrame::DataFrame || frame.hasExtendedFrameFormat() || payload.size() > 8)
        return std::nullopt;
    CanFrame f;
    f.id = frame.frameId();
    f.length = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), f.data.begin());
    return f;
}

inline QCanBusFrame toQt(const CanFrame& frame)
{
    return QCanBusFrame(frame.id, QByteArray(reinterpret_cast<const char*>(frame.data.data()), frame.length));
}

// A plugin that carries the bus over TCP (virtualcan) keeps its socket as a child of the device.
// Frames there must not wait for the peer's delayed acknowledgement (up to 40 ms): ours go at
// once without Nagle's algorithm, and what we receive is acknowledged at once, so that the other
// end's next frame is not held back either (the kernel drops that mode again by itself, hence
// after every batch received). A device of another plugin has no such socket.
inline void keepTcpPrompt(QCanBusDevice& device)
{
    for (QAbstractSocket* socket : device.findChildren<QAbstractSocket*>()) {
        if (socket->state() != QAbstractSocket::ConnectedState)
            continue;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const int on = 1;
        ::setsockopt(int(socket->socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    }
}

} // namespace korvane
