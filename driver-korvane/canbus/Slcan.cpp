#include "canbus/Slcan.h"

namespace korvane::slcan {

namespace {

std::optional<uint32_t> hex(const QByteArray& text)
{
    bool ok = false;
    const uint32_t value = text.toUInt(&ok, 16);
    if (!ok || text.startsWith('+') || text.startsWith('-') || text.contains(' '))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray encode(const CanFrame& frame)
{
    QByteArray line = "t" + QByteArray::number(frame.id & 0x7FF, 16).rightJustified(3, '0').toUpper()
                    + QByteArray::number(frame.length);
    for (int i = 0; i < frame.length; ++i)
        line += QByteArray::number(frame.data[size_t(i)], 16).rightJustified(2, '0').toUpper();
    return line + kDone;
}

std::optional<CanFrame> decode(const QByteArray& line)
{
    if (line.size() < 5 || line[0] != 't')
        return std::nullopt;
    const auto id = hex(line.mid(1, 3));
    const char digit = line[4];
    if (!id || digit < '0' || digit > '8')
        return std::nullopt;
    CanFrame frame;
    frame.id = *id;
    frame.length = uint8_t(digit - '0');
    const qsizetype dataEnd = 5 + 2 * frame.length;
    if (line.size() != dataEnd && line.size() != dataEnd + 4)
        return std::nullopt;
    if (line.size() == dataEnd + 4 && !hex(line.mid(dataEnd, 4)))
        return std::nullopt;
    for (int i = 0; i < frame.length; ++i) {
        const auto byte = hex(line.mid(5 + 2 * i, 2));
        if (!byte)
            return std::nullopt;
        frame.data[size_t(i)] = uint8_t(*byte);
    }
    return frame;
}

std::optional<QByteArray> bitrateCommand(uint32_t bitrate)
{
    // S7 is 800k on some adapters and 750k on others; no rate of ours needs it.
    switch (bitrate) {
    case 10000: return QByteArray("S0");
    case 20000: return QByteArray("S1");
    case 50000: return QByteArray("S2");
    case 100000: return QByteArray("S3");
    case 125000: return QByteArray("S4");
    case 250000: return QByteArray("S5");
    case 500000: return QByteArray("S6");
    case 1000000: return QByteArray("S8");
    default: return std::nullopt;
    }
}

std::vector<Reply> takeReplies(QByteArray& buffer)
{
    std::vector<Reply> replies;
    QByteArray line;
    qsizetype consumed = 0;
    for (qsizetype i = 0; i < buffer.size(); ++i) {
        const char c = buffer[i];
        if (c == kRefused) {
            replies.push_back({true, {}});
            line.clear(); // nothing sensible precedes a BEL on the same line
            consumed = i + 1;
        } else if (c == kDone) {
            replies.push_back({false, line});
            line.clear();
            consumed = i + 1;
        } else if (c != '\n') {
            line += c;
        }
    }
    buffer.remove(0, consumed);
    return replies;
}

} // namespace korvane::slcan
