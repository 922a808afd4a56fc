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

// Who the module says it is (CiA 301's identity objects) and how often it says it is there.
struct ModuleIdentity {
    uint32_t vendorId = 0x00000A17;
    uint32_t productCode = 0x00004D31;
    uint32_t revision = 0x00010000; // major in bits 16-31, minor in 0-15
    uint32_t serialNumber = 0x0001E240;
    QByteArray deviceName = "Korvane RTC/Memory Module";
    QByteArray hardwareVersion = "HW 1.0";
    QByteArray softwareVersion = "FW 2.03 (simulated)";
    uint16_t heartbeatMs = 1000; // 0: no heartbeat
    bool operator==(const ModuleIdentity&) const = default;
};

// How the module's bus takes time; by default frames take none, so tests stay fast.
struct BusTiming {
    bool wire = false;            // each frame takes its bits' time at the module's bit rate
    uint32_t answerLatencyUs = 0; // from the end of a request to the start of the answer
};

struct ModuleState {
    std::map<uint16_t, uint32_t> settings; // by parameter number, all ten present
    bool clockSet = false;                 // false: the module runs on the PC clock
    int64_t clockOffsetMs = 0;             // module clock = PC clock + offset
    QByteArray memory;
    std::optional<QByteArray> configuration; // absent: built from the settings
    ModuleFaults faults;
    ModuleIdentity identity;
    BusTiming bus;
};

// Reads the state file's JSON; a clock given as time and date becomes an offset from `now`.
// On a fault answers nothing and says what is wrong in `error`.
std::optional<ModuleState> parseModuleState(QByteArray json, const QDateTime& now, QString& error);

// The JSON written back: the memory always as "memory_hex", the clock as "offset_seconds" (to the millisecond).
QByteArray serializeModuleState(const ModuleState& state);

} // namespace korvane::module
