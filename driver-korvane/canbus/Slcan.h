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
// Longer than any line of the protocol (30 characters for an extended frame with a time stamp):
// such a line is garbage and is dropped whole.
constexpr qsizetype kMaxLine = 64;

// "tIIILDD..." followed by CR, for a frame with an 11-bit identifier.
QByteArray encode(const CanFrame& frame);

// A "t" line (without its CR), with or without the 4-digit time stamp some adapters append;
// upper- and lower-case hex alike. Extended and remote frames, which the module never sends, and
// malformed lines (an identifier above 0x7FF, a length above 8, digits missing, odd or not hex)
// give nothing.
std::optional<CanFrame> decode(const QByteArray& line);

// The "Sn" command for a bit rate, if the protocol has one for it.
std::optional<QByteArray> bitrateCommand(uint32_t bitrate);
// The bit rate an "Sn" command selects, if it is one of ours.
std::optional<uint32_t> commandBitrate(const QByteArray& command);

struct Reply {
    bool refused = false; // BEL
    QByteArray line;      // a CR-ended line without its CR
};

// Takes every complete reply from the front of `buffer`, leaving an unfinished line there.
// Over-long lines give no reply.
std::vector<Reply> takeReplies(QByteArray& buffer);

// Drops everything before `lineStart`, the start of an unfinished line, and caps that line at
// kMaxLine + 1 bytes so garbage without line ends cannot grow the buffer.
void keepUnfinishedLine(QByteArray& buffer, qsizetype lineStart);

} // namespace korvane::slcan
