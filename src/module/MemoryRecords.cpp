#include "module/MemoryRecords.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

constexpr int MemoryModeFixed = 0;
constexpr int DelimiterLineFeed = '\n';

// The stamp forms the module's AutoTimeStamp setting names (1-12): y year, M month, d day, H hour,
// m minute, s second, one digit each.
constexpr std::array<const char*, 12> StampForms{
    "yyyy/MM/dd HH:mm:ss", "MM/dd/yyyy HH:mm:ss", "yyyyMMdd HHmmss", "MMddyyyy HHmmss",
    "yyyyMMddHHmmss",      "MMddyyyyHHmmss",      "HH:mm:ss yyyy/MM/dd", "HH:mm:ss MM/dd/yyyy",
    "HHmmss yyyyMMdd",     "HHmmss MMddyyyy",     "HHmmssyyyyMMdd",  "HHmmssMMddyyyy",
};
// Without an automatic stamp a record may still begin with the date and time in the module's
// DateFormat (0-3) and TimeFormat (0-1).
constexpr std::array<const char*, 4> DateForms{"yyyy/MM/dd", "MM/dd/yyyy", "yyyyMMdd", "MMddyyyy"};
constexpr std::array<const char*, 2> TimeForms{"HH:mm:ss", "HHmmss"};

// In the order of driver::MemoryModes, under the main window's name, where the Settings page shows them.
constexpr std::array<const char*, 2> MemoryModeTexts{
    {QT_TRANSLATE_NOOP("TForm_Korvane", "Fixed"), QT_TRANSLATE_NOOP("TForm_Korvane", "Delimeter")}};

std::string StampForm(const RecordFormat& format)
{
    const int stamp = format.autoTimeStamp.value_or(0);
    if (stamp >= 1 && stamp <= int(StampForms.size()))
        return StampForms[size_t(stamp - 1)];
    const int date = format.dateFormat.value_or(-1), time = format.timeFormat.value_or(-1);
    if (stamp == 0 && date >= 0 && date < int(DateForms.size()) && time >= 0 && time < int(TimeForms.size()))
        return std::string(DateForms[size_t(date)]) + ' ' + TimeForms[size_t(time)];
    return {};
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 DaysFromCivil(qint64 year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = unsigned(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + qint64(dayOfEra) - 719468;
}

bool IsSeparator(char byte)
{
    return byte == ',' || byte == ';' || byte == ' ' || byte == '\t';
}

// The number of `Count` bytes known to be digits; every form has four of the year, two of the rest.
template <int Count>
int Digits(const char* bytes)
{
    int value = 0;
    for (int i = 0; i < Count; ++i)
        value = value * 10 + (bytes[i] & 0x0F);
    return value;
}

MemoryRecord Record(const QByteArray& bytes, qint64 offset, const RecordFormat& format)
{
    MemoryRecord record{offset, bytes, std::nullopt, bytes, false};
    qsizetype length = 0;
    record.stamp = ReadStamp(bytes, format, length);
    if (record.stamp)
        record.text = TextAfterStamp(bytes, length);
    return record;
}

}  // namespace

QString MemoryModeText(int mode)
{
    return QCoreApplication::translate("TForm_Korvane", MemoryModeTexts.at(size_t(mode)));
}

QByteArray ModuleBytes(const QByteArray& stored)
{
    return QByteArray(stored).replace("\r\n", "\n");
}

StampReader::StampReader(const RecordFormat& format)
{
    const std::string form = StampForm(format);
    length_ = int(form.size());
    constexpr std::string_view letters = "yMdHms";
    const auto byteOf = [](int at, quint64 value) { return value << (8 * (at % 8)); };
    for (int i = 0; i < length_; ++i) {
        const size_t field = letters.find(form[size_t(i)]);
        const int word = i / 8;
        if (field == std::string_view::npos) {
            literalMask_[word] |= byteOf(i, 0xFF);
            literals_[word] |= byteOf(i, static_cast<unsigned char>(form[size_t(i)]));
            continue;
        }
        if (fields_[field].digits == 0)
            fields_[field].at = i;
        ++fields_[field].digits;
        digitHigh_[word] |= byteOf(i, 0xF0);
        digitThree_[word] |= byteOf(i, 0x30);
        digitSix_[word] |= byteOf(i, 0x06);
        if (field < 3)
            dateMask_[word] |= byteOf(i, 0xFF);
    }
}

std::optional<qint64> StampReader::Read(const char* bytes, qsizetype size)
{
    // Every form is of fixed width: digits and separators, one byte each.
    if (length_ == 0 || size < length_)
        return std::nullopt;
    char padded[Words * 8] = {};
    if (size < qsizetype(sizeof(padded))) {
        std::memcpy(padded, bytes, size_t(length_));
        bytes = padded;
    }
    quint64 words[Words];
    for (int i = 0; i < Words; ++i)
        words[i] = qFromLittleEndian<quint64>(bytes + 8 * i);
    // A digit is 0x30 to 0x39: its high half is 3, and adding 6 to its low half carries nothing.
    bool valid = true, sameDate = dated_;
    for (int i = 0; i < Words; ++i) {
        const quint64 low = words[i] & (digitHigh_[i] >> 4);
        valid &= (words[i] & literalMask_[i]) == literals_[i] && (words[i] & digitHigh_[i]) == digitThree_[i]
                 && ((low + digitSix_[i]) & digitHigh_[i]) == 0;
        sameDate &= (words[i] & dateMask_[i]) == lastDate_[i];
    }
    if (!valid)
        return std::nullopt;
    if (!sameDate) {
        const int year = Digits<4>(bytes + fields_[0].at), month = Digits<2>(bytes + fields_[1].at),
                  day = Digits<2>(bytes + fields_[2].at);
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        constexpr int daysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (month < 1 || month > 12 || day < 1 || day > daysIn[month - 1] + (month == 2 && leap))
            return std::nullopt;
        lastDay_ = DaysFromCivil(year, unsigned(month), unsigned(day));
        for (int i = 0; i < Words; ++i)
            lastDate_[i] = words[i] & dateMask_[i];
        dated_ = true;
    }
    const int hour = Digits<2>(bytes + fields_[3].at), minute = Digits<2>(bytes + fields_[4].at),
              second = Digits<2>(bytes + fields_[5].at);
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return lastDay_ * 86400 + hour * 3600 + minute * 60 + second;
}

QDateTime StampReader::LocalTime(qint64 seconds)
{
    const QDateTime naive = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return QDateTime(naive.date(), naive.time());
}

std::optional<QDateTime> ReadStamp(const QByteArray& record, const RecordFormat& format, qsizetype& length)
{
    StampReader reader(format);
    length = reader.Length();
    const std::optional<qint64> seconds = reader.Read(record.constData(), record.size());
    if (!seconds)
        return std::nullopt;
    return StampReader::LocalTime(*seconds);
}

QByteArray TextAfterStamp(const QByteArray& record, qsizetype stampLength)
{
    return record.sliced(stampLength + (stampLength < record.size() && IsSeparator(record[stampLength]) ? 1 : 0));
}

QByteArray PrintableText(const QByteArray& bytes)
{
    QByteArray text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x20 || value > 0x7E || byte == '\\')
            text += "\\x" + QByteArray::number(value, 16).rightJustified(2, '0').toUpper();
        else
            text += byte;
    }
    return text;
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
