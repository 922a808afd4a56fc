#include "config/InterfaceConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

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

QString transportName(Transport transport)
{
    switch (transport) {
    case Transport::Can: return QStringLiteral("can");
    case Transport::Serial: return QStringLiteral("serial");
    default: return QStringLiteral("simulated");
    }
}

bool number(const QString& text, uint32_t low, uint32_t high, uint32_t& value)
{
    bool ok = false;
    const qulonglong parsed = text.toULongLong(&ok);
    if (!ok || parsed < low || parsed > high)
        return false;
    value = uint32_t(parsed);
    return true;
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
    if (key == QLatin1String("transport")) {
        if (value == QLatin1String("simulated"))
            config.transport = Transport::Simulated;
        else if (value == QLatin1String("can"))
            config.transport = Transport::Can;
        else if (value == QLatin1String("serial"))
            config.transport = Transport::Serial;
        else {
            error = QStringLiteral("transport must be simulated, can or serial, not \"%1\"").arg(value);
            return false;
        }
        return true;
    }
    if (key == QLatin1String("connection_type"))
        return range(0, 1, config.connectionType);
    if (key == QLatin1String("node_id"))
        return range(1, 127, config.nodeId);
    if (key == QLatin1String("bitrate"))
        return range(0, UINT32_MAX, config.bitrate);
    if (key == QLatin1String("sdo_timeout_ms"))
        return range(1, 60000, config.sdoTimeoutMs);
    if (key == QLatin1String("serial_baud"))
        return range(0, UINT32_MAX, config.serialBaud);
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

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

bool validate(const InterfaceConfig& config, QString& error)
{
    if (config.nodeId < 1 || config.nodeId > 127)
        error = QStringLiteral("the node-ID must be from 1 to 127, not %1").arg(config.nodeId);
    else if (std::find(std::begin(kBitrates), std::end(kBitrates), config.bitrate) == std::end(kBitrates))
        error = QStringLiteral("the bit rate %1 is not one of 10000, 20000, 50000, 100000, 125000, 250000, 500000, 1000000")
                    .arg(config.bitrate);
    else if (config.connectionType > 1)
        error = QStringLiteral("the connection type must be 0 (USB) or 1 (RS232), not %1").arg(config.connectionType);
    else if (config.sdoTimeoutMs < 1 || config.sdoTimeoutMs > 60000)
        error = QStringLiteral("the SDO timeout must be from 1 to 60000 ms, not %1").arg(config.sdoTimeoutMs);
    else if (std::find(std::begin(kSerialBauds), std::end(kSerialBauds), config.serialBaud) == std::end(kSerialBauds))
        error = QStringLiteral("the serial line rate %1 is not one of 2400, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600")
                    .arg(config.serialBaud);
    else if (config.transport == Transport::Can && (config.plugin.isEmpty() || config.device.isEmpty()))
        error = QStringLiteral("a CAN adapter needs a plugin and a device");
    else if (config.transport == Transport::Serial && config.device.isEmpty())
        error = QStringLiteral("a serial adapter needs a device (its serial port)");
    else if (hasLineBreak(config.plugin) || hasLineBreak(config.device) || hasLineBreak(config.moduleState))
        error = QStringLiteral("names and paths must be on one line");
    else
        return true;
    return false;
}

void deriveConnectionType(InterfaceConfig& config)
{
    if (config.transport == Transport::Can)
        config.connectionType = 0;
    else if (config.transport == Transport::Serial)
        config.connectionType = 1;
}

bool toBlock(const InterfaceConfig& config, uint8_t* block, QString& error)
{
    uint8_t filled[300] = {};
    std::memcpy(filled, block, 4); // the tool's word stays as it is
    putWord(filled, 4, uint32_t(config.transport));
    putWord(filled, 8, config.nodeId);
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
    config.transport = Transport(getWord(block, 4));
    if (config.transport == Transport::Unset)
        return InterfaceConfig{}; // a block nobody filled: the defaults
    config.nodeId = getWord(block, 8);
    config.connectionType = getWord(block, 12);
    config.bitrate = getWord(block, 16);
    config.sdoTimeoutMs = getWord(block, 20);
    config.serialBaud = getWord(block, 24);
    config.plugin = getText(block, kPluginField);
    config.device = getText(block, kDeviceField);
    config.moduleState = getText(block, kStateField);
    return config;
}

void markUnreadable(uint8_t* block)
{
    std::memset(block + 4, 0, 296);
    putWord(block, 4, uint32_t(Transport::Unreadable));
}

QString configFileFor(const QString& registryPath)
{
    QStringList parts = registryPath.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
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
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    QString section;
    int lineNumber = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        if (section != QLatin1String("interface"))
            continue; // other sections belong to nobody here
        const qsizetype equals = line.indexOf(u'=');
        QString reason;
        if (equals < 0)
            reason = QStringLiteral("expected key=value");
        else if (readKey(line.left(equals).trimmed(), line.mid(equals + 1).trimmed(), folder, config, reason))
            continue;
        error = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(reason);
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
    text += "transport=" + transportName(config.transport).toUtf8() + '\n';
    text += "connection_type=" + QByteArray::number(config.connectionType) + '\n';
    text += "node_id=" + QByteArray::number(config.nodeId) + '\n';
    text += "bitrate=" + QByteArray::number(config.bitrate) + '\n';
    text += "sdo_timeout_ms=" + QByteArray::number(config.sdoTimeoutMs) + '\n';
    if (config.transport == Transport::Serial)
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace korvane::config
