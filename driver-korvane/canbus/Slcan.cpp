#include "canbus/Slcan.h"

namespace korvane::slcan {

namespace {

constexpr uint32_t kMaxStandardId = 0x7FF;

// `count` hex digits of either case from `from` on; nothing else (no sign, blank or "0x").
bool hexDigits(const QByteArray& line, qsizetype from, qsizetype count, uint32_t& value)
{
    value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = line[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                               : -1;
        if (digit < 0)
            return false;
        value = value * 16 + uint32_t(digit);
    }
    return true;
}

} // namespace

QByteArray encode(const CanFrame& frame)
{
    QByteArray line = "t" + QByteArray::number(frame.id & kMaxStandardId, 16).rightJustified(3, '0').toUpper()
                    + QByteArray::number(frame.length);
    for (int i = 0; i < frame.length; ++i)
        line += QByteArray::number(frame.data[size_t(i)], 16).rightJustified(2, '0').toUpper();
    return line + kDone;
}

std::optional<CanFrame> decode(const QByteArray& line)
{
    uint32_t id = 0;
    if (line.size() < 5 || line[0] != 't' || !hexDigits(line, 1, 3, id) || id > kMaxStandardId)
        return std::nullopt;
    const char digit = line[4];
    if (digit < '0' || digit > '8')
        return std::nullopt;
    CanFrame frame;
    frame.id = id;
    frame.length = uint8_t(digit - '0');
    const qsizetype dataEnd = 5 + 2 * frame.length;
    uint32_t value = 0;
    if (line.size() != dataEnd && !(line.size() == dataEnd + 4 && hexDigits(line, dataEnd, 4, value)))
        return std::nullopt;
    for (int i = 0; i < frame.length; ++i) {
        if (!hexDigits(line, 5 + 2 * i, 2, value))
            return std::nullopt;
        frame.data[size_t(i)] = uint8_t(value);
    }
    return frame;
}

namespace {

// S7 is 800k on some adapters and 750k on others; no rate of ours needs it.
struct RateCommand {
    uint32_t bitrate;
    const char* command;
};
constexpr RateCommand kRateCommands[] = {
    {10000, "S0"}, {20000, "S1"}, {50000, "S2"}, {100000, "S3"},
    {125000, "S4"}, {250000, "S5"}, {500000, "S6"}, {1000000, "S8"},
};

} // namespace

std::optional<QByteArray> bitrateCommand(uint32_t bitrate)
{
    for (const RateCommand& rate : kRateCommands)
        if (rate.bitrate == bitrate)
            return QByteArray(rate.command);
    return std::nullopt;
}

std::optional<uint32_t> commandBitrate(const QByteArray& command)
{
    for (const RateCommand& rate : kRateCommands)
        if (command == rate.command)
            return rate.bitrate;
    return std::nullopt;
}

std::vector<Reply> takeReplies(QByteArray& buffer)
{
    std::vector<Reply> replies;
    QByteArray line;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < buffer.size(); ++i) {
        const char c = buffer[i];
        if (c == kRefused) {
            replies.push_back({true, {}}); // nothing sensible precedes a BEL on the same line
        } else if (c == kDone) {
            if (i - lineStart <= kMaxLine)
                replies.push_back({false, line});
        } else {
            if (c != '\n' && i - lineStart < kMaxLine)
                line += c;
            continue;
        }
        line.clear();
        lineStart = i + 1;
    }
    keepUnfinishedLine(buffer, lineStart);
    return replies;
}

void keepUnfinishedLine(QByteArray& buffer, qsizetype lineStart)
{
    // An over-long line stays over-long, but no longer: it is dropped when its end comes.
    if (buffer.size() - lineStart > kMaxLine + 1)
        buffer.truncate(lineStart + kMaxLine + 1);
    buffer.remove(0, lineStart);
}

} // namespace korvane::slcan
