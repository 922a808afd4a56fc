// Everything the simulated module keeps between runs, and its JSON form (the state file).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace korvane::module {

struct ModuleFaults {
    enum class Open { None, Fail, WrongMode };
    Open open = Open::None;
    std::set<uint16_t> read;   // parameters whose read is refused
    std::set<uint16_t> write;  // parameters whose write is refused
    std::optional<uint32_t> memoryFailAfterBlocks;
    std::optional<uint32_t> readoutLength;
    uint32_t writeLatencyMs = 0; // how long each write takes, as over a slow bus
};

struct ModuleState {
    std::map<uint16_t, uint32_t> settings; // by parameter number, all ten present
    bool clockSet = false;                 // false: the module runs on the PC clock
    int64_t clockOffsetMs = 0;             // module clock = PC clock + offset
    QByteArray memory;
    std::optional<QByteArray> configuration; // absent: built from the settings
    ModuleFaults faults;
};

// Reads the state file's JSON; a clock given as time and date becomes an offset from `now`.
// On a fault answers nothing and says what is wrong in `error`.
std::optional<ModuleState> parseModuleState(QByteArray json, const QDateTime& now, QString& error);

// The JSON written back: the memory always as "memory_hex", the clock as "offset_seconds" (to the millisecond).
QByteArray serializeModuleState(const ModuleState& state);

} // namespace korvane::module
