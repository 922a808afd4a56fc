#include "module/MemoryRecords.h"

#include <QString>

#include <array>

namespace {

constexpr int MemoryModeFixed = 0;
constexpr int DelimiterLineFeed = '\n';

// The stamp forms the module's AutoTimeStamp setting names (1-12), in QDateTime's notation.
constexpr std::array<const char*, 12> StampForms{
    "yyyy/MM/dd HH:mm:ss", "MM/dd/yyyy HH:mm:ss", "yyyyMMdd HHmmss", "MMddyyyy HHmmss",
    "yyyyMMddHHmmss",      "MMddyyyyHHmmss",      "HH:mm:ss yyyy/MM/dd", "HH:mm:ss MM/dd/yyyy",
    "HHmmss yyyyMMdd",     "HHmmss MMddyyyy",     "HHmmssyyyyMMdd",  "HHmmssMMddyyyy",
};
// Without an automatic stamp a record may still begin with the date and time in the module's
// DateFormat (0-3) and TimeFormat (0-1).
constexpr std::array<const char*, 4> DateForms{"yyyy/MM/dd", "MM/dd/yyyy", "yyyyMMdd", "MMddyyyy"};
constexpr std::array<const char*, 2> TimeForms{"HH:mm:ss", "HHmmss"};

QString StampForm(const RecordFormat& format)
{
    const int stamp = format.autoTimeStamp.value_or(0);
    if (stamp >= 1 && stamp <= int(StampForms.size()))
        return QLatin1String(StampForms[size_t(stamp - 1)]);
    const int date = format.dateFormat.value_or(-1), time = format.timeFormat.value_or(-1);
    if (stamp == 0 && date >= 0 && date < int(DateForms.size()) && time >= 0 && time < int(TimeForms.size()))
        return QLatin1String(DateForms[size_t(date)]) + u' ' + QLatin1String(TimeForms[size_t(time)]);
    return {};
}

bool IsSeparator(char byte)
{
    return byte == ',' || byte == ';' || byte == ' ' || byte == '\t';
}

MemoryRecord Record(const QByteArray& bytes, qint64 offset, const RecordFormat& format)
{
    MemoryRecord record{offset, bytes, std::nullopt, bytes, false};
    qsizetype length = 0;
    record.stamp = ReadStamp(bytes, format, length);
    if (record.stamp)
        record.text = bytes.sliced(length + (length < bytes.size() && IsSeparator(bytes[length]) ? 1 : 0));
    return record;
}

}  // namespace

QByteArray ModuleBytes(const QByteArray& stored)
{
    return QByteArray(stored).replace("\r\n", "\n");
}

std::optional<QDateTime> ReadStamp(const QByteArray& record, const RecordFormat& format, qsizetype& length)
{
    const QString form = StampForm(format);
    // Every form is of fixed width: digits and separators, one character each.
    length = form.size();
    if (form.isEmpty() || record.size() < length)
        return std::nullopt;
    const QDateTime stamp = QDateTime::fromString(QString::fromLatin1(record.left(length)), form);
    if (!stamp.isValid())
        return std::nullopt;
    return stamp;
}

RecordFormat CompleteFormat(const RecordFormat& format, const QByteArray& moduleBytes)
{
    RecordFormat complete = format;
    complete.memoryMode = format.memoryMode.value_or(1);
    complete.delimiter = format.delimiter.value_or(DelimiterLineFeed);
    complete.fixedLength = format.fixedLength.value_or(0);
    if (format.autoTimeStamp)
        return complete;
    complete.autoTimeStamp = 0;
    const QByteArray first = moduleBytes.left(moduleBytes.indexOf(char(*complete.delimiter)));
    for (int stamp = 1; stamp <= int(StampForms.size()); ++stamp) {
        RecordFormat candidate = complete;
        candidate.autoTimeStamp = stamp;
        qsizetype length = 0;
        // Digits alone can read as more than one form: a plausible year decides.
        const auto read = ReadStamp(first, candidate, length);
        if (read && read->date().year() >= 1970 && read->date().year() < 2100)
            return candidate;
    }
    return complete;
}

std::vector<MemoryRecord> CutRecords(const QByteArray& moduleBytes, const RecordFormat& format, qsizetype headLength)
{
    std::vector<MemoryRecord> records;
    headLength = std::min(headLength, moduleBytes.size());
    if (headLength > 0)
        records.push_back({0, moduleBytes.left(headLength), std::nullopt, moduleBytes.left(headLength), true});
    const bool fixed = *format.memoryMode == MemoryModeFixed && *format.fixedLength > 0;
    const char delimiter = char(*format.delimiter);
    for (qsizetype at = headLength; at < moduleBytes.size();) {
        qsizetype end = fixed ? std::min(at + *format.fixedLength, moduleBytes.size()) : moduleBytes.indexOf(delimiter, at);
        if (end < 0)
            end = moduleBytes.size();
        records.push_back(Record(moduleBytes.sliced(at, end - at), at, format));
        at = fixed ? end : end + 1;
    }
    return records;
}
