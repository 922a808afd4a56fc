#include "config/InterfaceConfig.h"

#include "config/Transports.h"

#include "contract/KorvaneApi.h"
#include "storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace korvane::config {

namespace {

struct TextField {
    int offset;
    int size;
};
constexpr TextField kPluginField{28, 28};
constexpr TextField kDeviceField{56, 64};
constexpr TextField kStateField{120, 180};

void putWord(uint8_t* block, int offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[offset + i] = uint8_t(value >> (8 * i));
}

uint32_t getWord(const uint8_t* block, int offset)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(block[offset + i]) << (8 * i);
    return value;
}

bool putText(uint8_t* block, TextField field, const QString& text, const char* name, QString& error)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() >= field.size) {
        error = QStringLiteral("the %1 \"%2\" is longer than %3 bytes").arg(QLatin1String(name), text).arg(field.size - 1);
        return false;
    }
    std::memset(block + field.offset, 0, size_t(field.size));
    std::memcpy(block + field.offset, bytes.constData(), size_t(bytes.size()));
    return true;
}

QString getText(const uint8_t* block, TextField field)
{
    const auto* begin = reinterpret_cast<const char*>(block + field.offset);
    return QString::fromUtf8(begin, qsizetype(strnlen(begin, size_t(field.size))));
}

// Digits only: no sign, no spaces, no hex; at most ten of them.
bool number(const QString& text, uint32_t low, uint32_t high, uint32_t& value)
{
    if (text.isEmpty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    const qulonglong parsed = text.toULongLong();
    if (parsed < low || parsed > high)
        return false;
    value = uint32_t(parsed);
    return true;
}

template <size_t N>
bool oneOf(const uint32_t (&list)[N], uint32_t value)
{
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

template <size_t N>
QString listed(const uint32_t (&list)[N])
{
    QStringList texts;
    for (uint32_t value : list)
        texts << QString::number(value);
    return texts.join(QStringLiteral(", "));
}

// One "key=value" line of [interface].
bool readKey(const QString& key, const QString& value, const QString& folder, InterfaceConfig& config, QString& error)
{
    auto range = [&](uint32_t low, uint32_t high, uint32_t& field) {
        if (number(value, low, high, field))
            return true;
        error = QStringLiteral("%1 must be a number from %2 to %3, not \"%4\"").arg(key).arg(low).arg(high).arg(value);
        return false;
    };
    auto listedRate = [&](const auto& list, uint32_t& field) {
        if (number(value, 0, UINT32_MAX, field) && oneOf(list, field))
            return true;
        error = QStringLiteral("%1 must be one of %2, not \"%3\"").arg(key, listed(list), value);
        return false;
    };
    if (key == QLatin1String("transport")) {
        if (const TransportInfo* transport = findTransport(value)) {
            config.transport = transport->id;
            return true;
        }
        QStringList names;
        for (const TransportInfo& known : transports())
            names << QLatin1String(known.name);
        const QString last = names.takeLast();
        error = QStringLiteral("transport must be %1 or %2, not \"%3\"").arg(names.join(QStringLiteral(", ")), last, value);
        return false;
    }
    if (key == QLatin1String("connection_type"))
        return range(0, 1, config.connectionType);
    if (key == QLatin1String("node_id"))
        return range(1, 127, config.nodeId);
    if (key == QLatin1String("bitrate"))
        return listedRate(kBitrates, config.bitrate);
    if (key == QLatin1String("sdo_timeout_ms"))
        return range(1, 60000, config.sdoTimeoutMs);
    if (key == QLatin1String("serial_baud"))
        return listedRate(kSerialBauds, config.serialBaud);
    if (key == QLatin1String("plugin"))
        config.plugin = value;
    else if (key == QLatin1String("device"))
        config.device = value;
    else if (key == QLatin1String("module_state"))
        config.moduleState = value.isEmpty() ? value : QDir::cleanPath(QDir(folder).absoluteFilePath(value));
    else {
        error = QStringLiteral("unknown key \"%1\"").arg(key);
        return false;
    }
    return true;
}

// Where a comment starts: a ';' or '#' at the start of the line or after a blank.
qsizetype commentStart(const QString& line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if ((line[i] == u';' || line[i] == u'#') && (i == 0 || line[i - 1] == u' ' || line[i - 1] == u'\t'))
            return i;
    }
    return line.size();
}

// A name or path the file can hold and give back unchanged.
bool writableText(const QString& text)
{
    return text == text.trimmed() && commentStart(text) == text.size()
           && std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

// The line's text, or the reason it is no text at all.
bool decodeLine(QByteArray raw, QString& line, QString& fault)
{
    if (raw.endsWith('\r'))
        raw.chop(1);
    for (const char byte : raw) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            fault = QStringLiteral("binary content (byte 0x%1)").arg(uint(c), 2, 16, QLatin1Char('0'));
            return false;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    line = utf8(raw);
    if (utf8.hasError()) {
        fault = QStringLiteral("not UTF-8 text");
        return false;
    }
    return true;
}

constexpr qint64 kMaxConfigFile = 64 * 1024;

} // namespace

bool validate(const InterfaceConfig& config, QString& error)
{
    const TransportInfo* transport = findTransport(config.transport);
    if (config.nodeId < 1 || config.nodeId > 127)
        error = QStringLiteral("the node-ID must be from 1 to 127, not %1").arg(config.nodeId);
    else if (!oneOf(kBitrates, config.bitrate))
        error = QStringLiteral("the bit rate %1 is not one of %2").arg(config.bitrate).arg(listed(kBitrates));
    else if (config.connectionType > 1)
        error = QStringLiteral("the connection type must be 0 (USB) or 1 (RS232), not %1").arg(config.connectionType);
    else if (config.sdoTimeoutMs < 1 || config.sdoTimeoutMs > 60000)
        error = QStringLiteral("the SDO timeout must be from 1 to 60000 ms, not %1").arg(config.sdoTimeoutMs);
    else if (!oneOf(kSerialBauds, config.serialBaud))
        error = QStringLiteral("the serial line rate %1 is not one of %2").arg(config.serialBaud).arg(listed(kSerialBauds));
    else if (!transport)
        error = QStringLiteral("unknown transport %1").arg(uint32_t(config.transport));
    else if ((transport->rows & PluginRow) && (config.plugin.isEmpty() || config.device.isEmpty()))
        error = QStringLiteral("a CAN adapter needs a plugin and a device");
    else if ((transport->rows & SerialPortRow) && config.device.isEmpty())
        error = QStringLiteral("a serial adapter needs a device (its serial port)");
    else if (!writableText(config.plugin) || !writableText(config.device) || !writableText(config.moduleState))
        error = QStringLiteral("names and paths must be one line without control characters, blanks at either end "
                               "or a ';' or '#' after a blank");
    else if (!config.moduleState.isEmpty() && QDir::isRelativePath(config.moduleState))
        error = QStringLiteral("the module state file must be given with its full path, not \"%1\"").arg(config.moduleState);
    else
        return true;
    return false;
}

void deriveConnectionType(InterfaceConfig& config)
{
    if (const TransportInfo* transport = findTransport(config.transport); transport && transport->connectionType)
        config.connectionType = *transport->connectionType;
}

bool toBlock(const InterfaceConfig& config, uint8_t* block, QString& error)
{
    uint8_t filled[300] = {};
    std::memcpy(filled, block, 4); // the tool's word stays as it is
    putWord(filled, KORVANE_CONFIG_KIND_OFFSET, uint32_t(config.transport));
    putWord(filled, KORVANE_CONFIG_NODE_OFFSET, config.nodeId);
    putWord(filled, 12, config.connectionType);
    putWord(filled, 16, config.bitrate);
    putWord(filled, 20, config.sdoTimeoutMs);
    putWord(filled, 24, config.serialBaud);
    if (!putText(filled, kPluginField, config.plugin, "plugin name", error)
        || !putText(filled, kDeviceField, config.device, "device name", error)
        || !putText(filled, kStateField, config.moduleState, "module state path", error))
        return false;
    std::memcpy(block, filled, sizeof filled);
    return true;
}

InterfaceConfig fromBlock(const uint8_t* block)
{
    InterfaceConfig config;
    config.transport = Transport(getWord(block, KORVANE_CONFIG_KIND_OFFSET));
    if (config.transport == Transport::Unset) {
        // A block nobody filled: the defaults, at the node-ID a caller may have set for one run.
        if (const uint32_t node = getWord(block, KORVANE_CONFIG_NODE_OFFSET))
            config.nodeId = node;
        return config;
    }
    config.nodeId = getWord(block, KORVANE_CONFIG_NODE_OFFSET);
    config.connectionType = getWord(block, 12);
    config.bitrate = getWord(block, 16);
    config.sdoTimeoutMs = getWord(block, 20);
    config.serialBaud = getWord(block, 24);
    config.plugin = getText(block, kPluginField);
    config.device = getText(block, kDeviceField);
    config.moduleState = getText(block, kStateField);
    return config;
}

void markOpened(uint8_t* block, Transport opened)
{
    static_assert(KORVANE_CONFIG_KIND_OFFSET == 4 && KORVANE_KIND_SIMULATED == uint32_t(Transport::Simulated));
    putWord(block, KORVANE_CONFIG_KIND_OFFSET, uint32_t(opened == Transport::Unset ? Transport::Simulated : opened));
}

QString unusableConfiguration(const QString& fault)
{
    const QString words = QStringLiteral("the interface configuration is unusable");
    return fault.isEmpty() ? words : words + QStringLiteral(": ") + fault;
}

void markUnreadable(uint8_t* block)
{
    std::memset(block + 4, 0, 296);
    putWord(block, 4, uint32_t(Transport::Unreadable));
}

QString configFileFor(const QString& registryPath)
{
    // Both separators alike, without a regular expression: compiling one would cost every
    // start of the program the expression engine's time and memory.
    QStringList parts = QString(registryPath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty() || parts.contains(QLatin1String("..")) || parts.contains(QLatin1String(".")))
        return {};
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + u'/' + parts.join(u'/') + QStringLiteral("/interface.ini");
}

bool readConfigFile(const QString& path, InterfaceConfig& config, QString& error)
{
    config = InterfaceConfig{};
    QByteArray text;
    switch (storage::readRegularFile(path, kMaxConfigFile, text, error)) {
    case storage::ReadResult::Missing: config.transport = Transport::Unset; return true;
    case storage::ReadResult::Refused: return false;
    case storage::ReadResult::Read: storage::removeLeftovers(path); break;
    }
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF")) {
        error = path + QStringLiteral(" line 1: UTF-16 text; the file must be UTF-8");
        return false;
    }
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const QString folder = QFileInfo(path).absolutePath();
    bool inSection = false;
    bool sectionSeen = false;
    QStringList keys;
    int lineNumber = 0;
    for (const QByteArray& raw : text.split('\n')) {
        ++lineNumber;
        QString line;
        QString fault;
        if (decodeLine(raw, line, fault)) {
            line = line.left(commentStart(line)).trimmed();
            const qsizetype equals = line.indexOf(u'=');
            if (line.isEmpty())
                continue;
            if (line.startsWith(u'[')) {
                if (line != QLatin1String("[interface]"))
                    fault = QStringLiteral("unknown section %1; the file holds only [interface]").arg(line);
                else if (sectionSeen)
                    fault = QStringLiteral("a second [interface] section");
                inSection = sectionSeen = true;
            } else if (equals < 0) {
                fault = QStringLiteral("expected key=value");
            } else {
                const QString key = line.left(equals).trimmed();
                if (!inSection)
                    fault = QStringLiteral("\"%1\" before the [interface] section").arg(key);
                else if (keys.contains(key))
                    fault = QStringLiteral("\"%1\" given twice").arg(key);
                else if (readKey(key, line.mid(equals + 1).trimmed(), folder, config, fault))
                    keys << key;
            }
        }
        if (!fault.isEmpty()) {
            error = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(fault);
            return false;
        }
    }
    if (!sectionSeen) {
        error = path + QStringLiteral(": no [interface] section");
        return false;
    }
    deriveConnectionType(config);
    if (!validate(config, error)) {
        error = path + QStringLiteral(": ") + error;
        return false;
    }
    return true;
}

bool writeConfigFile(const QString& path, const InterfaceConfig& config, QString& error)
{
    if (!validate(config, error))
        return false;
    QByteArray text = "[interface]\n";
    const TransportInfo* transport = findTransport(config.transport);
    text += QByteArray("transport=") + (transport ? transport->name : "simulated") + '\n';
    text += "connection_type=" + QByteArray::number(config.connectionType) + '\n';
    text += "node_id=" + QByteArray::number(config.nodeId) + '\n';
    text += "bitrate=" + QByteArray::number(config.bitrate) + '\n';
    text += "sdo_timeout_ms=" + QByteArray::number(config.sdoTimeoutMs) + '\n';
    text += "serial_baud=" + QByteArray::number(config.serialBaud) + '\n';
    if (!config.plugin.isEmpty())
        text += "plugin=" + config.plugin.toUtf8() + '\n';
    if (!config.device.isEmpty())
        text += "device=" + config.device.toUtf8() + '\n';
    if (!config.moduleState.isEmpty())
        text += "module_state=" + config.moduleState.toUtf8() + '\n';

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    return storage::replaceFile(path, text, error);
}

} // namespace korvane::config
