#include "module/UploadRecordColumns.h"

#include <array>
#include <functional>
#include <limits>

namespace uploadrecord {

namespace {

// Plain decimal digits only: no sign, no spaces, at most 18 digits so that sums cannot overflow.
std::optional<qint64> Count(const QByteArray& field, qint64 largest)
{
    if (field.isEmpty() || field.size() > 18)
        return std::nullopt;
    for (char digit : field)
        if (digit < '0' || digit > '9')
            return std::nullopt;
    const qint64 value = field.toLongLong();
    return value <= largest ? std::optional<qint64>(value) : std::nullopt;
}

QByteArray Hex32(const std::optional<uint32_t>& value)
{
    return value ? "0x" + QByteArray::number(*value, 16).rightJustified(8, '0').toUpper() : QByteArray();
}

// Empty, or "0x" and eight upper-case hexadecimal digits.
bool ReadHex32(const QByteArray& field, std::optional<uint32_t>& value)
{
    if (field.isEmpty())
        return true;
    bool ok = false;
    const uint32_t number = field.mid(2).toUInt(&ok, 16);
    if (!ok || Hex32(number) != field)
        return false;
    value = number;
    return true;
}

QByteArray Small(const std::optional<int>& value)
{
    return value ? QByteArray::number(*value) : QByteArray();
}

// Empty, or a setting's value 0-255.
bool ReadSmall(const QByteArray& field, std::optional<int>& value)
{
    if (field.isEmpty())
        return true;
    const auto number = Count(field, 255);
    if (number && QByteArray::number(*number) == field)
        value = int(*number);
    return number.has_value();
}

QByteArray Offset(double seconds)
{
    return (seconds >= 0 ? "+" : "") + QByteArray::number(seconds, 'f', 3);
}

struct Column {
    const char* name;
    std::function<QByteArray(const UploadRecordEntry&)> write;
    std::function<bool(const QByteArray&, UploadRecordEntry&)> read;  // false: malformed
    const char* fault;
};

const std::array<Column, 18>& Columns()
{
    static const std::array<Column, 18> columns{{
        {"utc_time", [](const auto& e) { return e.time.toUTC().toString(Qt::ISODate).toLatin1(); },
         [](const QByteArray& f, auto& e) {
             e.time = QDateTime::fromString(QString::fromLatin1(f), Qt::ISODate);
             return e.time.isValid() && e.time.toUTC().toString(Qt::ISODate).toLatin1() == f;
         },
         "the time is not of the form 2026-03-05T08:10:00Z"},
        {"node_id", [](const auto& e) { return QByteArray::number(e.nodeId); },
         [](const QByteArray& f, auto& e) {
             const auto id = Count(f, 127);
             e.nodeId = int(id.value_or(0));
             return e.nodeId > 0;
         },
         "the node-ID is not a number from 1 to 127"},
        {"device_mode", [](const auto& e) { return QByteArray::number(e.deviceMode); },
         [](const QByteArray& f, auto& e) {
             const auto mode = Count(f, 1);
             e.deviceMode = int(mode.value_or(0));
             return mode.has_value();
         },
         "the device mode is not 0 or 1"},
        {"offset", [](const auto& e) { return QByteArray::number(e.offset); },
         [](const QByteArray& f, auto& e) {
             const auto offset = Count(f, std::numeric_limits<qint64>::max());
             e.offset = offset.value_or(0);
             return offset.has_value();
         },
         "the offset is not a plain decimal number"},
        {"length", [](const auto& e) { return QByteArray::number(e.length); },
         [](const QByteArray& f, auto& e) {
             const auto length = Count(f, std::numeric_limits<qint64>::max());
             e.length = length.value_or(0);
             return length.has_value();
         },
         "the length is not a plain decimal number"},
        {"sha256", [](const auto& e) { return e.sha256.toHex(); },
         [](const QByteArray& f, auto& e) {
             e.sha256 = QByteArray::fromHex(f);
             return f.size() == 64 && e.sha256.toHex() == f;
         },
         "the SHA-256 is not 64 lower-case hexadecimal digits"},
        {"serial_number", [](const auto& e) { return Hex32(e.serialNumber); },
         [](const QByteArray& f, auto& e) { return ReadHex32(f, e.serialNumber); }, "the serial number is not of the form 0x0001E240"},
        {"vendor_id", [](const auto& e) { return Hex32(e.vendorId); },
         [](const QByteArray& f, auto& e) { return ReadHex32(f, e.vendorId); }, "the vendor-ID is not of the form 0x0001E240"},
        {"product_code", [](const auto& e) { return Hex32(e.productCode); },
         [](const QByteArray& f, auto& e) { return ReadHex32(f, e.productCode); }, "the product code is not of the form 0x0001E240"},
        {"revision", [](const auto& e) { return Hex32(e.revision); },
         [](const QByteArray& f, auto& e) { return ReadHex32(f, e.revision); }, "the revision is not of the form 0x0001E240"},
        {"memory_mode", [](const auto& e) { return Small(e.format.memoryMode); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.memoryMode); }, "the memory mode is not a number from 0 to 255"},
        {"delimiter", [](const auto& e) { return Small(e.format.delimiter); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.delimiter); }, "the delimiter is not a number from 0 to 255"},
        {"fixed_length", [](const auto& e) { return Small(e.format.fixedLength); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.fixedLength); }, "the fixed length is not a number from 0 to 255"},
        {"time_format", [](const auto& e) { return Small(e.format.timeFormat); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.timeFormat); }, "the time format is not a number from 0 to 255"},
        {"date_format", [](const auto& e) { return Small(e.format.dateFormat); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.dateFormat); }, "the date format is not a number from 0 to 255"},
        {"auto_time_stamp", [](const auto& e) { return Small(e.format.autoTimeStamp); },
         [](const QByteArray& f, auto& e) { return ReadSmall(f, e.format.autoTimeStamp); }, "the time stamp is not a number from 0 to 255"},
        {"config_head_length", [](const auto& e) { return QByteArray::number(e.configHeadLength); },
         [](const QByteArray& f, auto& e) {
             const auto length = Count(f, std::numeric_limits<qint64>::max());
             e.configHeadLength = length.value_or(0);
             return f.isEmpty() || length.has_value();
         },
         "the configuration head length is not a plain decimal number"},
        {"clock_offset_s", [](const auto& e) { return e.clockOffsetSeconds ? Offset(*e.clockOffsetSeconds) : QByteArray(); },
         [](const QByteArray& f, auto& e) {
             bool ok = f.isEmpty();
             if (!ok)
                 e.clockOffsetSeconds = f.toDouble(&ok);
             return ok && (f.isEmpty() || Offset(*e.clockOffsetSeconds) == f);
         },
         "the clock offset is not a signed number of seconds such as -2.400"},
    }};
    return columns;
}

constexpr int RequiredColumns = 6;

}  // namespace

QByteArray NewHeader()
{
    QByteArrayList names;
    for (const Column& column : Columns())
        names << column.name;
    return names.join(',') + '\n';
}

std::optional<QByteArrayList> ParseHeader(const QByteArray& line, QString& fault)
{
    const QByteArrayList names = line.split(',');
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names.indexOf(names[i]) != i) {
            fault = QStringLiteral("the column %1 is named twice").arg(QString::fromUtf8(names[i]));
            return std::nullopt;
        }
    for (int i = 0; i < RequiredColumns; ++i)
        if (!names.contains(Columns()[i].name)) {
            fault = QStringLiteral("not an upload record header: the column %1 is missing").arg(QLatin1String(Columns()[i].name));
            return std::nullopt;
        }
    return names;
}

QByteArray FormatLine(const QByteArrayList& names, const UploadRecordEntry& entry)
{
    QByteArrayList fields;
    for (const QByteArray& name : names) {
        QByteArray value;
        for (const Column& column : Columns())
            if (name == column.name)
                value = column.write(entry);
        fields << value;
    }
    return fields.join(',') + '\n';
}

std::optional<UploadRecordEntry> ParseLine(const QByteArrayList& names, const QByteArray& line, QString& fault)
{
    const QByteArrayList fields = line.split(',');
    if (fields.size() != names.size()) {
        fault = QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(names.size());
        return std::nullopt;
    }
    UploadRecordEntry entry;
    for (const Column& column : Columns()) {
        const qsizetype at = names.indexOf(column.name);
        if (at >= 0 && !column.read(fields[at], entry)) {
            fault = QString::fromLatin1(column.fault);
            return std::nullopt;
        }
    }
    return entry;
}

}  // namespace uploadrecord
