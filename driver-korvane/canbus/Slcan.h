// The ASCII protocol of serial-line CAN adapters: commands and frames as text lines ended by CR,
// answered by CR (done) or BEL (refused).
#pragma once

#include "canbus/CanFrame.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace korvane::slcan {

constexpr char kDone = '\r';
constexpr char kRefused = '\a';

// "tIIILDD..." followed by CR, for a frame with an 11-bit identifier.
QByteArray encode(const CanFrame& frame);

// A "t" line (without its CR), with or without the 4-digit time stamp some adapters append;
// upper- and lower-case hex alike. Extended, remote and malformed lines give nothing.
std::optional<CanFrame> decode(const QByteArray& line);

// The "Sn" command for a bit rate, if the protocol has one for it.
std::optional<QByteArray> bitrateCommand(uint32_t bitrate);

struct Reply {
    bool refused = false; // BEL
    QByteArray line;      // a CR-ended line without its CR
};

// Takes every complete reply from the front of `buffer`, leaving an unfinished line there.
std::vector<Reply> takeReplies(QByteArray& buffer);

} // namespace korvane::slcan
