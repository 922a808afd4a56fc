// The module's parameters as the simulated module serves them: parameter N is object 0x2000 + N,
// sub-index 0, on the module's node-ID.
#pragma once

#include "contract/ModuleParameters.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane::module {

constexpr uint16_t kFirstIndex = 0x2000;
// Parameters live in the manufacturer-specific area 0x2000-0x5FFF.
constexpr uint16_t kLastIndex = 0x5FFF;

// The same table the tool uses, so the two sides cannot drift apart.
using Parameter = driver::ModuleParameter::Number;
using namespace driver::ModuleParameter;

constexpr uint32_t kEraseKey = driver::EraseCommandValue;
constexpr size_t kMaxArray = 255;

struct Setting {
    std::string_view name;
    uint16_t number;
    uint8_t size;          // bytes on the bus: 1 for u8, 4 for u32
    uint32_t defaultValue;
};

// The settings as the module keeps them, in the tool's order and with their defaults, from the
// one parameter table.
constexpr auto kSettings = [] {
    std::array<Setting, driver::SettingsCount> settings{};
    for (size_t i = 0; i < settings.size(); ++i) {
        const driver::ParameterInfo& info = driver::SettingsOrder[i];
        settings[i] = {info.name, info.number, uint8_t(info.type == driver::AccessType::U32 ? 4 : 1), info.defaultValue};
    }
    return settings;
}();

constexpr const Setting* findSetting(uint16_t number)
{
    for (const Setting& setting : kSettings)
        if (setting.number == number)
            return &setting;
    return nullptr;
}

// The object index of a parameter number, if that number can be addressed at all.
constexpr std::optional<uint16_t> objectIndex(uint16_t number)
{
    if (number > kLastIndex - kFirstIndex)
        return std::nullopt;
    return uint16_t(kFirstIndex + number);
}

} // namespace korvane::module
