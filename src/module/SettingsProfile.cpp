#include "module/SettingsProfile.h"

#include "module/UploadFileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settingsprofile {

namespace {

using driver::ParameterInfo;
using driver::SettingsOrder;

constexpr qint64 LargestProfile = 1 << 20;
constexpr uint16_t FirstObject = 0x2000;
// The Settings page's limit of "Fixed Length:".
constexpr uint32_t LongestFixedRecord = 128;

// Both spellings occur in the files of CANopen tools; compared without letter case.
const QList<QByteArray> CommissioningSections{"devicecomissioning", "devicecommissioning"};

int PositionOf(uint16_t number)
{
    for (size_t i = 0; i < SettingsOrder.size(); ++i)
        if (SettingsOrder[i].number == number)
            return int(i);
    return -1;
}

// Why `value` cannot be this setting's; empty when it can.
QString OutOfRange(const ParameterInfo& setting, uint64_t value)
{
    using namespace driver::ModuleParameter;
    const auto above = [value](size_t count) { return value >= count; };
    bool wrong = false;
    switch (setting.number) {
    case NodeId: wrong = value < 1 || value > 127; break;
    case Baud: wrong = value > 0xFFFFFFFFu || !driver::BitRatePosition(uint32_t(value)); break;
    case MemoryMode: wrong = above(driver::MemoryModes.size()); break;
    case DeviceMode: wrong = above(driver::DeviceModes.size()); break;
    case OverwriteMode: wrong = value > 1; break;
    case TimeFormat: wrong = above(driver::TimeFormats.size()); break;
    case DateFormat: wrong = above(driver::DateFormats.size()); break;
    case AutoTimeStamp: wrong = value > driver::StampFormats.size(); break;
    case FixedLength: wrong = value > LongestFixedRecord; break;
    default: wrong = value > 0xFF; break;
    }
    return wrong ? QStringLiteral("%1 cannot be %2").arg(QLatin1String(setting.name.data(), setting.name.size())).arg(value)
                 : QString();
}

// Decimal, hexadecimal after "0x", octal after a leading 0; nothing but digits.
std::optional<uint32_t> Number(const QByteArray& text)
{
    const bool plain = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x' || c == 'X';
    });
    bool ok = false;
    const qulonglong value = plain ? text.toULongLong(&ok, 0) : 0;
    if (!ok || value > 0xFFFFFFFFull)
        return std::nullopt;
    return uint32_t(value);
}

// An object section's index ("200C", "0x200C"), or nothing for any other section.
std::optional<uint16_t> ObjectIndex(const QByteArray& section)
{
    const QByteArray digits = section.toLower().startsWith("0x") ? section.mid(2) : section;
    bool ok = false;
    const uint value = digits.size() == 4 ? digits.toUInt(&ok, 16) : 0;
    return ok ? std::optional<uint16_t>(uint16_t(value)) : std::nullopt;
}

struct Given {
    uint32_t value;
    int line;
};

class ProfileReader {
public:
    std::optional<Profile> Read(const QByteArray& text, QString& error)
    {
        const QList<QByteArray> lines = text.split('\n');
        for (int i = 0; i < lines.size() && fault_.isEmpty(); ++i) {
            line_ = i + 1;
            Take(lines[i].trimmed());
        }
        if (fault_.isEmpty())
            Combine();
        if (!fault_.isEmpty()) {
            error = fault_;
            return std::nullopt;
        }
        return profile_;
    }

private:
    enum class Section { Other, Commissioning, DeviceInfo, Object };

    void Fail(const QString& what) { fault_ = QStringLiteral("line %1: %2").arg(line_).arg(what); }

    void Take(const QByteArray& line)
    {
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            return;
        if (line.startsWith('[') && line.endsWith(']'))
            return EnterSection(line.mid(1, line.size() - 2).trimmed());
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            return Fail(QStringLiteral("neither a [section] nor a key=value line"));
        if (section_ != Section::Other)
            TakeValue(line.left(equals).trimmed().toLower(), line.mid(equals + 1).trimmed());
    }

    void EnterSection(const QByteArray& name)
    {
        const QByteArray key = name.toLower();
        const std::optional<uint16_t> index = ObjectIndex(name);
        position_ = index && *index >= FirstObject ? PositionOf(uint16_t(*index - FirstObject)) : -1;
        section_ = CommissioningSections.contains(key) ? Section::Commissioning
                   : key == "deviceinfo"               ? Section::DeviceInfo
                   : position_ >= 0                    ? Section::Object
                                                       : Section::Other;
        keys_.clear();
        if (section_ == Section::Other)
            return;
        // One name for both spellings, so that a file with both gives its settings twice.
        const QByteArray kind = section_ == Section::Commissioning ? CommissioningSections[0]
                                : section_ == Section::Object    ? QByteArray::number(FirstObject + SettingsOrder[position_].number, 16)
                                                                 : key;
        if (sections_.contains(kind))
            return Fail(QStringLiteral("the section [%1] is given twice").arg(QString::fromUtf8(name)));
        sections_.append(kind);
    }

    void TakeValue(const QByteArray& key, const QByteArray& value)
    {
        if (keys_.contains(key))
            return Fail(QStringLiteral("%1 is given twice in its section").arg(QString::fromUtf8(key)));
        keys_.append(key);
        if (section_ == Section::Object && key == "parametervalue")
            return Set(objectValues_, position_, value, 1);
        if (section_ == Section::Commissioning && key == "nodeid")
            return Set(commissioned_, PositionOf(driver::ModuleParameter::NodeId), value, 1);
        if (section_ == Section::Commissioning && key == "baudrate")
            return Set(commissioned_, PositionOf(driver::ModuleParameter::Baud), value, 1000);
        if (section_ == Section::DeviceInfo && key == "productnumber") {
            profile_.productCode = Number(value);
            if (!profile_.productCode)
                Fail(QStringLiteral("ProductNumber \"%1\" is no number").arg(QString::fromUtf8(value)));
        }
    }

    void Set(std::array<std::optional<Given>, driver::SettingsCount>& values, int position, const QByteArray& text,
             uint32_t unit)
    {
        const ParameterInfo& setting = SettingsOrder[position];
        const std::optional<uint32_t> number = Number(text);
        if (!number)
            return Fail(QStringLiteral("the value \"%1\" of %2 is no number")
                            .arg(QString::fromUtf8(text), QLatin1String(setting.name.data(), setting.name.size())));
        const uint64_t value = uint64_t(*number) * unit;
        const QString wrong = OutOfRange(setting, value);
        if (!wrong.isEmpty())
            return Fail(wrong);
        values[position] = Given{uint32_t(value), line_};
    }

    // A setting given in the commissioning section and as its object must agree.
    void Combine()
    {
        for (size_t i = 0; i < SettingsOrder.size() && fault_.isEmpty(); ++i) {
            const std::optional<Given>& object = objectValues_[i];
            const std::optional<Given>& commissioned = commissioned_[i];
            if (object && commissioned && object->value != commissioned->value) {
                line_ = commissioned->line;
                Fail(QStringLiteral("%1 is given twice, as %2 here and as %3 on line %4")
                         .arg(QLatin1String(SettingsOrder[i].name.data(), SettingsOrder[i].name.size()))
                         .arg(commissioned->value)
                         .arg(object->value)
                         .arg(object->line));
            }
            const std::optional<Given>& given = object ? object : commissioned;
            if (given)
                profile_.values[i] = given->value;
        }
    }

    Profile profile_;
    std::array<std::optional<Given>, driver::SettingsCount> objectValues_;
    std::array<std::optional<Given>, driver::SettingsCount> commissioned_;
    Section section_ = Section::Other;
    int position_ = -1;
    QList<QByteArray> sections_;
    QList<QByteArray> keys_;
    int line_ = 0;
    QString fault_;
};

QString Hex(uint32_t value, int digits)
{
    return QLatin1String("0x") + QString::number(value, 16).rightJustified(digits, QLatin1Char('0')).toUpper();
}

// "hh:mm" with AM or PM, the hour from 12 to 11 as on a 12-hour clock.
QString CreationTime(const QTime& time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2%3")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM"));
}

QString FromTable(auto table, uint32_t value)
{
    return value < table.size() ? QString::fromLatin1(table[value].data(), table[value].size()) : QString::number(value);
}

} // namespace

driver::ModuleSettings Profile::Over(driver::ModuleSettings settings) const
{
    for (size_t i = 0; i < SettingsOrder.size(); ++i) {
        if (!values[i])
            continue;
        if (SettingsOrder[i].u32Field)
            settings.*SettingsOrder[i].u32Field = *values[i];
        else
            settings.*SettingsOrder[i].u8Field = uint8_t(*values[i]);
    }
    return settings;
}

uint32_t ValueOf(const driver::ModuleSettings& settings, const ParameterInfo& setting)
{
    return setting.u32Field ? settings.*setting.u32Field : settings.*setting.u8Field;
}

QByteArray Write(const driver::ModuleSettings& settings, const ModuleIdentity& identity, const QString& fileName,
                 const QDateTime& created)
{
    QString text;
    const auto line = [&text](const QString& key, const QString& value) { text += key + u'=' + value + QLatin1String("\n"); };
    text += QLatin1String("[FileInfo]\n");
    line(QStringLiteral("FileName"), QFileInfo(fileName).fileName());
    line(QStringLiteral("FileVersion"), QStringLiteral("1"));
    line(QStringLiteral("FileRevision"), QStringLiteral("0"));
    line(QStringLiteral("EDSVersion"), QStringLiteral("4.0"));
    line(QStringLiteral("Description"), QStringLiteral("Settings read from a CANopen clock and memory module"));
    line(QStringLiteral("CreationTime"), CreationTime(created.time()));
    line(QStringLiteral("CreationDate"), created.date().toString(QStringLiteral("MM-dd-yyyy")));
    line(QStringLiteral("CreatedBy"), QStringLiteral("korvane"));

    text += QLatin1String("\n[DeviceInfo]\n");
    if (!identity.productName.isEmpty())
        line(QStringLiteral("ProductName"), identity.productName);
    if (identity.vendorId)
        line(QStringLiteral("VendorNumber"), HexWord(*identity.vendorId));
    if (identity.productCode)
        line(QStringLiteral("ProductNumber"), HexWord(*identity.productCode));
    if (identity.revision)
        line(QStringLiteral("RevisionNumber"), HexWord(*identity.revision));
    for (const char* rate : {"10", "20", "50", "125", "250", "500", "800", "1000"}) {
        const bool supported = driver::BitRatePosition(uint32_t(std::atoi(rate)) * 1000).has_value();
        line(QStringLiteral("BaudRate_%1").arg(QLatin1String(rate)), supported ? QStringLiteral("1") : QStringLiteral("0"));
    }

    text += QLatin1String("\n[DeviceComissioning]\n");
    line(QStringLiteral("NodeID"), QString::number(settings.NodeId));
    line(QStringLiteral("Baudrate"), QString::number(settings.Baud / 1000));

    std::array<const ParameterInfo*, driver::SettingsCount> byIndex;
    std::transform(SettingsOrder.begin(), SettingsOrder.end(), byIndex.begin(), [](const ParameterInfo& p) { return &p; });
    std::sort(byIndex.begin(), byIndex.end(), [](auto a, auto b) { return a->number < b->number; });
    text += QLatin1String("\n[ManufacturerObjects]\n");
    line(QStringLiteral("SupportedObjects"), QString::number(byIndex.size()));
    for (size_t i = 0; i < byIndex.size(); ++i)
        line(QString::number(i + 1), Hex(FirstObject + byIndex[i]->number, 4));
    for (const ParameterInfo* setting : byIndex) {
        text += QStringLiteral("\n[%1]\n").arg(Hex(FirstObject + setting->number, 4).mid(2));
        line(QStringLiteral("ParameterName"), QLatin1String(setting->name.data(), setting->name.size()));
        line(QStringLiteral("ObjectType"), QStringLiteral("0x7"));
        line(QStringLiteral("DataType"), setting->u32Field ? QStringLiteral("0x0007") : QStringLiteral("0x0005"));
        line(QStringLiteral("AccessType"), QStringLiteral("rw"));
        line(QStringLiteral("PDOMapping"), QStringLiteral("0"));
        line(QStringLiteral("ParameterValue"), QString::number(ValueOf(settings, *setting)));
    }
    return text.toUtf8();
}

std::optional<Profile> Parse(const QByteArray& text, QString& error)
{
    return ProfileReader().Read(text, error);
}

std::optional<Profile> Read(const QString& path, QString& error)
{
    const QByteArray name = QFile::encodeName(path);
    // Not blocking on a FIFO, and never a device or a folder.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    QString fault;
    QByteArray text;
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        fault = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!S_ISREG(status.st_mode)) {
        fault = QStringLiteral("it is no regular file");
    } else if (status.st_size > LargestProfile) {
        fault = QStringLiteral("it is larger than 1 MiB, more than any settings profile");
    } else {
        text.resize(qsizetype(status.st_size));
        if (!uploadfs::ReadAll(fd, text.data(), size_t(text.size()), 0))
            fault = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (fd >= 0)
        ::close(fd);
    std::optional<Profile> profile;
    if (fault.isEmpty())
        profile = Parse(text, fault);
    if (!profile)
        error = QStringLiteral("%1: %2").arg(path, fault);
    return profile;
}

QString ShownValue(const ParameterInfo& setting, uint32_t value)
{
    using namespace driver::ModuleParameter;
    switch (setting.number) {
    case Baud: {
        const auto position = driver::BitRatePosition(value);
        return position ? QString::fromLatin1(driver::BitRates[*position].text.data(), driver::BitRates[*position].text.size())
                        : QStringLiteral("%1 bit/s").arg(value);
    }
    case Delimiter: return Hex(value, 2);
    case MemoryMode: return FromTable(driver::MemoryModes, value);
    case TimeFormat: return FromTable(driver::TimeFormats, value);
    case DateFormat: return FromTable(driver::DateFormats, value);
    case DeviceMode: return FromTable(driver::DeviceModes, value);
    case OverwriteMode: return value ? QStringLiteral("on") : QStringLiteral("off");
    case AutoTimeStamp: {
        const auto format = driver::StampFormatText(uint8_t(value));
        return value == 0 ? QStringLiteral("off") : format ? QString::fromLatin1(format->data(), format->size()) : QString::number(value);
    }
    default: return QString::number(value);
    }
}

} // namespace settingsprofile
