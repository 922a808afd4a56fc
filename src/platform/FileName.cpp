#include "platform/FileName.h"

namespace platform {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[i], 0 when there is none.
qsizetype ValidSequence(QByteArrayView bytes, qsizetype i, char32_t& codePoint)
{
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(i);
    qsizetype length = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (qsizetype k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < smallest || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

QString FileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t codePoint = lead;
        const qsizetype length = lead < 0x80 ? 1 : ValidSequence(bytes, i, codePoint);
        if (length == 0) {
            name.append(QChar(char16_t(EscapeBase + lead)));
            ++i;
            continue;
        }
        name.append(QString::fromUcs4(&codePoint, 1));
        i += length;
    }
    return name;
}

QByteArray FileNameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;  // start of the run of text not yet converted
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool escape = unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF
                            && !(i > 0 && name[i - 1].isHighSurrogate());
        if (!escape)
            continue;
        bytes += QStringView(name).sliced(from, i - from).toUtf8();
        bytes += char(unit - EscapeBase);
        from = i + 1;
    }
    bytes += QStringView(name).sliced(from).toUtf8();
    return bytes;
}

}  // namespace platform
