#include "simulator/MemoryHexValue.h"

#include <QByteArrayView>

#include <algorithm>

namespace korvane::module {

namespace {

constexpr QByteArrayView kKey = "memory_hex";
constexpr QByteArrayView kEmptyValue = "\"memory_hex\": \"\"";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A scanner of just enough JSON to find the top-level keys; any doubt ends it (-1), and then the
// JSON parser reads the file as it always did.
class Scanner
{
public:
    explicit Scanner(const QByteArray& json) : json_(json) {}

    qsizetype skipBlanks(qsizetype at) const
    {
        while (at < json_.size() && (json_[at] == ' ' || json_[at] == '\t' || json_[at] == '\n' || json_[at] == '\r'))
            ++at;
        return at;
    }

    // From an opening quote to just past the closing one.
    qsizetype endOfString(qsizetype at) const
    {
        for (++at; at < json_.size(); ++at) {
            if (json_[at] == '\\')
                ++at;
            else if (json_[at] == '"')
                return at + 1;
        }
        return -1;
    }

    qsizetype endOfValue(qsizetype at) const
    {
        if (at >= json_.size())
            return -1;
        if (json_[at] == '"')
            return endOfString(at);
        int depth = 0;
        for (; at < json_.size(); ++at) {
            const char c = json_[at];
            if (c == '"') {
                at = endOfString(at);
                if (at < 0)
                    return -1;
                --at;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (depth == 0)
                    return at;
                if (--depth == 0)
                    return at + 1;
            } else if (depth == 0 && (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
                return at;
            }
        }
        return depth == 0 ? at : -1;
    }

    char at(qsizetype index) const { return index >= 0 && index < json_.size() ? json_[index] : '\0'; }

private:
    const QByteArray& json_;
};

std::optional<QByteArray> decode(QByteArrayView digits)
{
    if (digits.size() % 2 != 0)
        return std::nullopt;
    QByteArray bytes(digits.size() / 2, Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = hexDigit(digits[2 * i]), low = hexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out[i] = char(high << 4 | low);
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> takeMemoryHex(QByteArray& json)
{
    const Scanner scan(json);
    qsizetype at = scan.skipBlanks(0);
    if (scan.at(at) != '{')
        return std::nullopt;
    for (at = scan.skipBlanks(at + 1); scan.at(at) == '"'; at = scan.skipBlanks(at + 1)) {
        const qsizetype keyEnd = scan.endOfString(at);
        if (keyEnd < 0)
            return std::nullopt;
        const QByteArrayView key(json.constData() + at + 1, keyEnd - at - 2);
        const qsizetype colon = scan.skipBlanks(keyEnd);
        if (scan.at(colon) != ':')
            return std::nullopt;
        const qsizetype valueStart = scan.skipBlanks(colon + 1);
        const qsizetype valueEnd = scan.endOfValue(valueStart);
        if (valueEnd < 0)
            return std::nullopt;
        if (key == kKey && scan.at(valueStart) == '"') {
            auto bytes = decode(QByteArrayView(json.constData() + valueStart + 1, valueEnd - valueStart - 2));
            if (bytes)
                json.replace(valueStart, valueEnd - valueStart, "\"\"");
            return bytes;
        }
        at = scan.skipBlanks(valueEnd);
        if (scan.at(at) != ',')
            return std::nullopt;
    }
    return std::nullopt;
}

QByteArray putMemoryHex(const QByteArray& json, const QByteArray& memory)
{
    static constexpr char digits[] = "0123456789abcdef";
    const qsizetype place = json.indexOf(kEmptyValue);
    if (place < 0)
        return json;
    const qsizetype split = place + kEmptyValue.size() - 1;
    QByteArray written(json.size() + 2 * memory.size(), Qt::Uninitialized);
    char* out = std::copy_n(json.constData(), split, written.data());
    for (const char byte : memory) {
        *out++ = digits[uchar(byte) >> 4];
        *out++ = digits[uchar(byte) & 0xF];
    }
    std::copy_n(json.constData() + split, json.size() - split, out);
    return written;
}

} // namespace korvane::module
