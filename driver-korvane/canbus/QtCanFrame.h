// Our frames to and from Qt Serial Bus frames, for whatever sits on a Qt CAN plugin.
#pragma once

#include "canbus/CanFrame.h"

#include <QCanBusFrame>

#include <algorithm>
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

} // namespace korvane
