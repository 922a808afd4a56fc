#include "simulator/ModuleState.h"

#include "simulator/MemoryHexValue.h"
#include "simulator/ModuleClock.h"
#include "simulator/ModuleParameters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace korvane::module {

namespace {

// Thrown inside the parser only, caught by parseModuleState.
struct Fault {
    QString text;
};

[[noreturn]] void fault(const QString& text) { throw Fault{text}; }

void onlyKeys(const QJsonObject& object, const QString& where, std::initializer_list<const char*> keys)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::none_of(keys.begin(), keys.end(), [&](const char* key) { return it.key() == QLatin1String(key); }))
            fault(QStringLiteral("unknown key \"%1\"%2").arg(it.key(), where));
    }
}

int64_t integer(const QJsonValue& value, const QString& name, int64_t low, int64_t high)
{
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(number) != number || number < double(low) || number > double(high))
        fault(QStringLiteral("%1 must be an integer from %2 to %3").arg(name).arg(low).arg(high));
    return int64_t(number);
}

// Seconds, whole or fractional, as milliseconds.
int64_t milliseconds(const QJsonValue& value, const QString& name, int64_t limitSeconds)
{
    const double seconds = value.toDouble(std::nan(""));
    if (!value.isDouble() || !(std::abs(seconds) <= double(limitSeconds)))
        fault(QStringLiteral("%1 must be a number of seconds from %2 to %3").arg(name).arg(-limitSeconds).arg(limitSeconds));
    return std::llround(seconds * 1000);
}

QByteArray text(const QJsonValue& value, const QString& name)
{
    if (!value.isString())
        fault(QStringLiteral("%1 must be a text").arg(name));
    return value.toString().toUtf8();
}

QJsonObject object(const QJsonValue& value, const QString& name)
{
    if (!value.isObject())
        fault(QStringLiteral("%1 must be an object").arg(name));
    return value.toObject();
}

void readSettings(const QJsonObject& json, ModuleState& state)
{
    for (const Setting& setting : kSettings)
        state.settings[setting.number] = setting.defaultValue;
    if (!json.contains(QLatin1String("settings")))
        return;
    const QJsonObject settings = object(json[QLatin1String("settings")], QStringLiteral("\"settings\""));
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        const auto known = std::find_if(kSettings.begin(), kSettings.end(), [&](const Setting& s) {
            return it.key() == QLatin1String(s.name.data(), qsizetype(s.name.size()));
        });
        if (known == kSettings.end())
            fault(QStringLiteral("unknown setting \"%1\"").arg(it.key()));
        const int64_t high = known->size == 1 ? 0xFF : 0xFFFFFFFF;
        state.settings[known->number] = uint32_t(integer(it.value(), QStringLiteral("setting \"%1\"").arg(it.key()), 0, high));
    }
}

void readClock(const QJsonObject& json, const QDateTime& now, ModuleState& state)
{
    if (!json.contains(QLatin1String("clock")))
        return;
    const QJsonObject clock = object(json[QLatin1String("clock")], QStringLiteral("\"clock\""));
    onlyKeys(clock, QStringLiteral(" in \"clock\""), {"time", "date", "offset_seconds"});
    state.clockSet = true;
    if (clock.contains(QLatin1String("offset_seconds"))) {
        if (clock.contains(QLatin1String("time")) || clock.contains(QLatin1String("date")))
            fault(QStringLiteral("\"clock\" takes either \"offset_seconds\" or \"time\" and \"date\""));
        // About 9000 years either way: far enough for any date the module can show.
        constexpr int64_t limit = 300'000'000'000;
        state.clockOffsetMs = milliseconds(clock[QLatin1String("offset_seconds")], QStringLiteral("clock \"offset_seconds\""), limit);
        return;
    }
    const auto time = parseModuleTime(text(clock[QLatin1String("time")], QStringLiteral("clock \"time\"")));
    if (!time)
        fault(QStringLiteral("clock \"time\" must be a time of day \"hh:mm:ss\""));
    const auto date = parseModuleDate(text(clock[QLatin1String("date")], QStringLiteral("clock \"date\"")));
    if (!date)
        fault(QStringLiteral("clock \"date\" must be a date \"mm/dd/yyyy\""));
    state.clockOffsetMs = clockOffset(now, QDateTime(*date, *time));
}

void readMemory(const QJsonObject& json, std::optional<QByteArray>& taken, ModuleState& state)
{
    const bool plain = json.contains(QLatin1String("memory"));
    const bool hex = json.contains(QLatin1String("memory_hex"));
    if (plain && hex)
        fault(QStringLiteral("give either \"memory\" or \"memory_hex\", not both"));
    if (plain)
        state.memory = text(json[QLatin1String("memory")], QStringLiteral("\"memory\""));
    if (hex && taken && json[QLatin1String("memory_hex")] == QLatin1String("")) {
        state.memory = std::move(*taken);
    } else if (hex) {
        const QByteArray digits = text(json[QLatin1String("memory_hex")], QStringLiteral("\"memory_hex\""));
        const bool valid = digits.size() % 2 == 0 && std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
        });
        if (!valid)
            fault(QStringLiteral("\"memory_hex\" must be pairs of hexadecimal digits"));
        state.memory = QByteArray::fromHex(digits);
    }
}

std::set<uint16_t> parameterList(const QJsonValue& value, const QString& name)
{
    if (!value.isArray())
        fault(QStringLiteral("%1 must be a list of parameter numbers").arg(name));
    std::set<uint16_t> numbers;
    for (const QJsonValue& number : value.toArray())
        numbers.insert(uint16_t(integer(number, name + QStringLiteral(" entries"), 0, 0xFFFF)));
    return numbers;
}

void readFaults(const QJsonObject& json, ModuleState& state)
{
    if (!json.contains(QLatin1String("faults")))
        return;
    const QJsonObject faults = object(json[QLatin1String("faults")], QStringLiteral("\"faults\""));
    onlyKeys(faults, QStringLiteral(" in \"faults\""), {"open", "read", "write", "memory_fail_after_blocks", "readout_length", "write_latency_ms"});
    ModuleFaults& f = state.faults;
    if (faults.contains(QLatin1String("open"))) {
        const QJsonValue open = faults[QLatin1String("open")];
        if (open == QLatin1String("fail"))
            f.open = ModuleFaults::Open::Fail;
        else if (open == QLatin1String("wrong-mode"))
            f.open = ModuleFaults::Open::WrongMode;
        else
            fault(QStringLiteral("faults \"open\" must be \"fail\" or \"wrong-mode\""));
    }
    if (faults.contains(QLatin1String("read")))
        f.read = parameterList(faults[QLatin1String("read")], QStringLiteral("faults \"read\""));
    if (faults.contains(QLatin1String("write")))
        f.write = parameterList(faults[QLatin1String("write")], QStringLiteral("faults \"write\""));
    if (faults.contains(QLatin1String("memory_fail_after_blocks")))
        f.memoryFailAfterBlocks = uint32_t(integer(faults[QLatin1String("memory_fail_after_blocks")],
                                                   QStringLiteral("faults \"memory_fail_after_blocks\""), 0, 0xFFFFFFFF));
    if (faults.contains(QLatin1String("readout_length")))
        f.readoutLength = uint32_t(integer(faults[QLatin1String("readout_length")],
                                           QStringLiteral("faults \"readout_length\""), 0, 0xFFFFFFFF));
    if (faults.contains(QLatin1String("write_latency_ms")))
        f.writeLatencyMs = uint32_t(integer(faults[QLatin1String("write_latency_ms")],
                                            QStringLiteral("faults \"write_latency_ms\""), 0, 10000));
}

void readIdentity(const QJsonObject& json, ModuleState& state)
{
    if (!json.contains(QLatin1String("identity")))
        return;
    const QJsonObject identity = object(json[QLatin1String("identity")], QStringLiteral("\"identity\""));
    onlyKeys(identity, QStringLiteral(" in \"identity\""), {"vendor_id", "product_code", "revision", "serial_number",
                                                           "device_name", "hardware_version", "software_version", "heartbeat_ms"});
    ModuleIdentity& id = state.identity;
    const auto number = [&](const char* key, uint32_t& field, int64_t high) {
        if (identity.contains(QLatin1String(key)))
            field = uint32_t(integer(identity[QLatin1String(key)], QStringLiteral("identity \"%1\"").arg(QLatin1String(key)), 0, high));
    };
    const auto string = [&](const char* key, QByteArray& field) {
        if (!identity.contains(QLatin1String(key)))
            return;
        field = text(identity[QLatin1String(key)], QStringLiteral("identity \"%1\"").arg(QLatin1String(key)));
        if (field.size() > qsizetype(kMaxArray))
            fault(QStringLiteral("identity \"%1\" must be at most %2 bytes").arg(QLatin1String(key)).arg(kMaxArray));
    };
    number("vendor_id", id.vendorId, 0xFFFFFFFF);
    number("product_code", id.productCode, 0xFFFFFFFF);
    number("revision", id.revision, 0xFFFFFFFF);
    number("serial_number", id.serialNumber, 0xFFFFFFFF);
    uint32_t heartbeat = id.heartbeatMs;
    number("heartbeat_ms", heartbeat, 0xFFFF);
    id.heartbeatMs = uint16_t(heartbeat);
    string("device_name", id.deviceName);
    string("hardware_version", id.hardwareVersion);
    string("software_version", id.softwareVersion);
}

void readBus(const QJsonObject& json, ModuleState& state)
{
    if (!json.contains(QLatin1String("bus")))
        return;
    const QJsonObject bus = object(json[QLatin1String("bus")], QStringLiteral("\"bus\""));
    onlyKeys(bus, QStringLiteral(" in \"bus\""), {"timing", "answer_latency_us"});
    if (bus.contains(QLatin1String("timing"))) {
        const QJsonValue timing = bus[QLatin1String("timing")];
        if (timing != QLatin1String("wire") && timing != QLatin1String("instant"))
            fault(QStringLiteral("bus \"timing\" must be \"wire\" or \"instant\""));
        state.bus.wire = timing == QLatin1String("wire");
    }
    if (bus.contains(QLatin1String("answer_latency_us")))
        state.bus.answerLatencyUs = uint32_t(integer(bus[QLatin1String("answer_latency_us")],
                                                     QStringLiteral("bus \"answer_latency_us\""), 0, 1'000'000));
}

QJsonObject identityJson(const ModuleIdentity& id)
{
    return {{QLatin1String("vendor_id"), qint64(id.vendorId)},
            {QLatin1String("product_code"), qint64(id.productCode)},
            {QLatin1String("revision"), qint64(id.revision)},
            {QLatin1String("serial_number"), qint64(id.serialNumber)},
            {QLatin1String("device_name"), QString::fromUtf8(id.deviceName)},
            {QLatin1String("hardware_version"), QString::fromUtf8(id.hardwareVersion)},
            {QLatin1String("software_version"), QString::fromUtf8(id.softwareVersion)},
            {QLatin1String("heartbeat_ms"), int(id.heartbeatMs)}};
}

QJsonArray numbers(const std::set<uint16_t>& parameters)
{
    QJsonArray list;
    for (uint16_t number : parameters)
        list.append(number);
    return list;
}

} // namespace

std::optional<ModuleState> parseModuleState(QByteArray json, const QDateTime& now, QString& error)
{
    std::optional<QByteArray> memory = takeMemoryHex(json);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON (%1 at byte %2)").arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("the top level must be a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    try {
        onlyKeys(root, QString(), {"settings", "clock", "memory", "memory_hex", "configuration", "faults", "identity", "bus"});
        ModuleState state;
        readSettings(root, state);
        readClock(root, now, state);
        readMemory(root, memory, state);
        if (root.contains(QLatin1String("configuration"))) {
            state.configuration = text(root[QLatin1String("configuration")], QStringLiteral("\"configuration\""));
            if (state.configuration->size() > qsizetype(kMaxArray))
                fault(QStringLiteral("\"configuration\" must be at most %1 bytes").arg(kMaxArray));
        }
        readFaults(root, state);
        readIdentity(root, state);
        readBus(root, state);
        return state;
    } catch (const Fault& f) {
        error = f.text;
        return std::nullopt;
    }
}

QByteArray serializeModuleState(const ModuleState& state)
{
    QJsonObject root;
    QJsonObject settings;
    for (const Setting& setting : kSettings)
        settings[QLatin1String(setting.name.data(), qsizetype(setting.name.size()))] = qint64(state.settings.at(setting.number));
    root[QLatin1String("settings")] = settings;
    if (state.clockSet)
        root[QLatin1String("clock")] = QJsonObject{{QLatin1String("offset_seconds"), double(state.clockOffsetMs) / 1000}};
    root[QLatin1String("memory_hex")] = QString();
    if (state.configuration)
        root[QLatin1String("configuration")] = QString::fromUtf8(*state.configuration);

    const ModuleFaults& f = state.faults;
    QJsonObject faults;
    if (f.open != ModuleFaults::Open::None)
        faults[QLatin1String("open")] = f.open == ModuleFaults::Open::Fail ? QLatin1String("fail") : QLatin1String("wrong-mode");
    if (!f.read.empty())
        faults[QLatin1String("read")] = numbers(f.read);
    if (!f.write.empty())
        faults[QLatin1String("write")] = numbers(f.write);
    if (f.memoryFailAfterBlocks)
        faults[QLatin1String("memory_fail_after_blocks")] = qint64(*f.memoryFailAfterBlocks);
    if (f.readoutLength)
        faults[QLatin1String("readout_length")] = qint64(*f.readoutLength);
    if (f.writeLatencyMs)
        faults[QLatin1String("write_latency_ms")] = qint64(f.writeLatencyMs);
    if (!faults.isEmpty())
        root[QLatin1String("faults")] = faults;
    // Only a module of its own kind says who it is in the file; the demo's identity is the default.
    if (state.identity != ModuleIdentity{})
        root[QLatin1String("identity")] = identityJson(state.identity);
    if (state.bus.wire || state.bus.answerLatencyUs)
        root[QLatin1String("bus")] = QJsonObject{
            {QLatin1String("timing"), state.bus.wire ? QLatin1String("wire") : QLatin1String("instant")},
            {QLatin1String("answer_latency_us"), qint64(state.bus.answerLatencyUs)}};
    return putMemoryHex(QJsonDocument(root).toJson(QJsonDocument::Indented), state.memory);
}

} // namespace korvane::module
