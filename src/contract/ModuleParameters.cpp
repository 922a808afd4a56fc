#include "contract/ModuleParameters.h"

namespace driver {

const ParameterInfo* FindParameter(uint16_t number)
{
    for (const ParameterInfo& info : ParameterTable) {
        if (info.number == number)
            return &info;
    }
    return nullptr;
}

std::optional<int> BitRatePosition(uint32_t bitsPerSecond)
{
    for (const BitRate& rate : BitRates) {
        if (rate.value == bitsPerSecond)
            return rate.position;
    }
    return std::nullopt;
}

std::optional<std::string_view> StampFormatText(uint8_t value)
{
    if (value == 0 || value > StampFormats.size())
        return std::nullopt;
    return StampFormats[value - 1];
}

} // namespace driver
