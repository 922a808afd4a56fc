// The numbered module parameters: numbers, access types, directions, the settings' order and
// defaults, and value tables: one table for the tool and the simulated module alike. Data only;
// the operations that use it are main-window routines.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace driver {

namespace ModuleParameter {
// Passed to the driver as an unsigned 16-bit value; converts implicitly to uint16_t.
enum Number : uint16_t {
    MemoryMode = 3,
    Delimiter = 4,
    FixedLength = 5,
    ModuleTime = 6,
    ModuleDate = 7,
    TimeFormat = 8,
    DateFormat = 9,
    AutoTimeStamp = 10,
    Baud = 11,
    NodeId = 12,
    EraseCommand = 13,
    MemoryData = 14,
    ReadoutStart = 15,
    BlankStatus = 16,
    ConfigurationData = 17,
    OverwriteMode = 18,
    ReadoutLength = 19,
    DeviceMode = 21,
};
} // namespace ModuleParameter

enum class AccessType { U8, U32, Array };
enum class Direction { Read, Write, ReadWrite };

// The main window's copy of the ten settings parameters, in this order.
struct ModuleSettings {
    uint8_t NodeId = 0;
    uint32_t Baud = 0;
    uint8_t MemoryMode = 0;
    uint8_t Delimiter = 0;
    uint8_t FixedLength = 0;
    uint8_t TimeFormat = 0;
    uint8_t DateFormat = 0;
    uint8_t AutoTimeStamp = 0;
    uint8_t OverwriteMode = 0;
    uint8_t DeviceMode = 0;
    bool operator==(const ModuleSettings&) const = default;
};

struct ParameterInfo {
    ModuleParameter::Number number;
    std::string_view name;
    AccessType type;
    Direction direction;
    // Settings only: the field of ModuleSettings (u8Field or u32Field, by type) and the value a
    // new module has.
    uint8_t ModuleSettings::*u8Field = nullptr;
    uint32_t ModuleSettings::*u32Field = nullptr;
    uint32_t defaultValue = 0;

    constexpr bool IsSetting() const { return u8Field != nullptr || u32Field != nullptr; }
};

// Every parameter the tool exchanges: first the ten settings in the order in which they are read
// and stored, then the others by number. The first nine settings decide success; the last
// (DeviceMode) is read as 0 when the module does not answer and stored with its result ignored.
inline constexpr std::array<ParameterInfo, 18> ParameterTable{{
    {ModuleParameter::NodeId, "NodeId", AccessType::U8, Direction::ReadWrite, &ModuleSettings::NodeId, nullptr, 5},
    {ModuleParameter::Baud, "Baud", AccessType::U32, Direction::ReadWrite, nullptr, &ModuleSettings::Baud, 250000},
    {ModuleParameter::MemoryMode, "MemoryMode", AccessType::U8, Direction::ReadWrite, &ModuleSettings::MemoryMode, nullptr, 1},
    {ModuleParameter::Delimiter, "Delimiter", AccessType::U8, Direction::ReadWrite, &ModuleSettings::Delimiter, nullptr, 10},
    {ModuleParameter::FixedLength, "FixedLength", AccessType::U8, Direction::ReadWrite, &ModuleSettings::FixedLength, nullptr, 0},
    {ModuleParameter::TimeFormat, "TimeFormat", AccessType::U8, Direction::ReadWrite, &ModuleSettings::TimeFormat, nullptr, 0},
    {ModuleParameter::DateFormat, "DateFormat", AccessType::U8, Direction::ReadWrite, &ModuleSettings::DateFormat, nullptr, 1},
    {ModuleParameter::AutoTimeStamp, "AutoTimeStamp", AccessType::U8, Direction::ReadWrite, &ModuleSettings::AutoTimeStamp, nullptr, 2},
    {ModuleParameter::OverwriteMode, "OverwriteMode", AccessType::U8, Direction::ReadWrite, &ModuleSettings::OverwriteMode, nullptr, 0},
    {ModuleParameter::DeviceMode, "DeviceMode", AccessType::U8, Direction::ReadWrite, &ModuleSettings::DeviceMode, nullptr, 0},
    {ModuleParameter::ModuleTime, "ModuleTime", AccessType::Array, Direction::ReadWrite},
    {ModuleParameter::ModuleDate, "ModuleDate", AccessType::Array, Direction::ReadWrite},
    {ModuleParameter::EraseCommand, "EraseCommand", AccessType::U32, Direction::Write},
    {ModuleParameter::MemoryData, "MemoryData", AccessType::Array, Direction::Read},
    {ModuleParameter::ReadoutStart, "ReadoutStart", AccessType::U8, Direction::Write},
    {ModuleParameter::BlankStatus, "BlankStatus", AccessType::U8, Direction::Read},
    {ModuleParameter::ConfigurationData, "ConfigurationData", AccessType::Array, Direction::Read},
    {ModuleParameter::ReadoutLength, "ReadoutLength", AccessType::U32, Direction::Read},
}};

// The table entry of a number, or nullptr for a number the tool never exchanges.
const ParameterInfo* FindParameter(uint16_t number);

// The settings, in the order in which they are read and stored.
inline constexpr size_t SettingsCount =
    size_t(std::count_if(ParameterTable.begin(), ParameterTable.end(), [](const ParameterInfo& p) { return p.IsSetting(); }));
inline constexpr std::span<const ParameterInfo, SettingsCount> SettingsOrder{ParameterTable.data(), SettingsCount};
static_assert(std::all_of(SettingsOrder.begin(), SettingsOrder.end(), [](const ParameterInfo& p) { return p.IsSetting(); }),
              "the settings come first in ParameterTable");


// Written to EraseCommand; the only value ever written there.
inline constexpr uint32_t EraseCommandValue = 0x44332211;
// Wait after a successful erase command before anything else is exchanged.
inline constexpr uint32_t EraseWaitMs = 5000;
// Written to ReadoutStart immediately before each memory read-out.
inline constexpr uint8_t ReadoutStartValue = 1;

// Bit rates of Baud: list position, text shown, value in bit/s.
struct BitRate {
    int position;
    std::string_view text;
    uint32_t value;
};
inline constexpr std::array<BitRate, 8> BitRates{{
    {0, "10k", 10000},
    {1, "20k", 20000},
    {2, "50k", 50000},
    {3, "100k", 100000},
    {4, "125k", 125000},
    {5, "250k", 250000},
    {6, "500k", 500000},
    {7, "1M", 1000000},
}};
// The list position of a bit rate, or nothing when the value is not one of the eight.
std::optional<int> BitRatePosition(uint32_t bitsPerSecond);

// Texts of AutoTimeStamp values 1..12 (StampFormats[value - 1]); 0 means off.
inline constexpr std::array<std::string_view, 12> StampFormats{{
    "yyyy/mm/dd hh:mm::ss",
    "mm/dd/yyyy hh:mm:ss",
    "yyyymmdd hhmmss",
    "mmddyyyy hhmmss",
    "yyyymmddhhmmss",
    "mmddyyyyhhmmss",
    "hh:mm:ss yyyy/mm/dd",
    "hh:mm:ss mm/dd/yyyy",
    "hhmmss yyyymmdd",
    "hhmmss mmddyyyy",
    "hhmmssyyyymmdd",
    "hhmmssmmddyyyy",
}};
// The text of a stamp format, or nothing for 0 (off) and values above 12.
std::optional<std::string_view> StampFormatText(uint8_t value);

// Texts indexed by the parameter's value.
inline constexpr std::array<std::string_view, 2> TimeFormats{{"hh:mm:ss", "hhmmss"}};
inline constexpr std::array<std::string_view, 4> DateFormats{{"yyyy/mm/dd", "mm/dd/yyyy", "yyyymmdd", "mmddyyyy"}};
inline constexpr std::array<std::string_view, 2> MemoryModes{{"Fixed", "Delimeter"}};
inline constexpr std::array<std::string_view, 2> DeviceModes{{"MemModule", "CAN Data/Fault Logger"}};

// Lengths of the clock texts: "00:00:00" and "00/00/0000".
inline constexpr uint8_t ModuleTimeLength = 8;
inline constexpr uint8_t ModuleDateLength = 10;

} // namespace driver
