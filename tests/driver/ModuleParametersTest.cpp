#include "contract/ModuleParameters.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace driver;

TEST(ModuleParameters, TableHoldsEachExchangedNumberOnceWithItsNameAndType)
{
    std::set<uint16_t> numbers;
    for (const ParameterInfo& info : ParameterTable) {
        EXPECT_TRUE(numbers.insert(info.number).second) << info.name;
        EXPECT_EQ(FindParameter(info.number), &info);
    }
    EXPECT_EQ(numbers, (std::set<uint16_t>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21}));
    for (uint16_t never : {0, 1, 2, 20, 22})
        EXPECT_EQ(FindParameter(never), nullptr) << never;

    EXPECT_EQ(FindParameter(12)->name, "NodeId");
    EXPECT_EQ(FindParameter(21)->name, "DeviceMode");
    EXPECT_EQ(FindParameter(ModuleParameter::Baud)->type, AccessType::U32);
    EXPECT_EQ(FindParameter(ModuleParameter::ReadoutLength)->type, AccessType::U32);
    EXPECT_EQ(FindParameter(ModuleParameter::EraseCommand)->type, AccessType::U32);
    EXPECT_EQ(FindParameter(ModuleParameter::EraseCommand)->direction, Direction::Write);
    EXPECT_EQ(FindParameter(ModuleParameter::ReadoutStart)->direction, Direction::Write);
    for (uint16_t array : {6, 7, 14, 17})
        EXPECT_EQ(FindParameter(array)->type, AccessType::Array) << array;
    for (uint16_t readOnly : {14, 16, 17, 19})
        EXPECT_EQ(FindParameter(readOnly)->direction, Direction::Read) << readOnly;
}

TEST(ModuleParameters, SettingsOrderReachesEachFieldOfModuleSettings)
{
    EXPECT_EQ(ModuleSettings{}, (ModuleSettings{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    std::vector<uint16_t> numbers;
    ModuleSettings settings;
    uint32_t next = 1;
    for (const ParameterInfo& entry : SettingsOrder) {
        numbers.push_back(entry.number);
        EXPECT_EQ(entry.type, FindParameter(entry.number)->type);
        EXPECT_EQ(entry.type == AccessType::U32, entry.u32Field != nullptr);
        EXPECT_EQ(entry.type == AccessType::U8, entry.u8Field != nullptr);
        if (entry.u32Field)
            settings.*entry.u32Field = 100000 * next++;
        else
            settings.*entry.u8Field = static_cast<uint8_t>(next++);
    }
    EXPECT_EQ(numbers, (std::vector<uint16_t>{12, 11, 3, 4, 5, 8, 9, 10, 18, 21}));
    EXPECT_EQ(settings, (ModuleSettings{1, 200000, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(ModuleParameters, BitRatesMapBothWays)
{
    for (const BitRate& rate : BitRates)
        EXPECT_EQ(BitRatePosition(rate.value), rate.position) << rate.text;
    EXPECT_EQ(BitRates[7].text, "1M");
    EXPECT_EQ(BitRates[7].value, 1000000u);
    EXPECT_EQ(BitRatePosition(125000), 4);
    EXPECT_EQ(BitRatePosition(0), std::nullopt);
    EXPECT_EQ(BitRatePosition(800000), std::nullopt);
}

TEST(ModuleParameters, StampFormatsCoverOneToTwelve)
{
    EXPECT_EQ(StampFormatText(0), std::nullopt);
    EXPECT_EQ(StampFormatText(1), "yyyy/mm/dd hh:mm::ss");
    EXPECT_EQ(StampFormatText(12), "hhmmssmmddyyyy");
    EXPECT_EQ(StampFormatText(13), std::nullopt);
    EXPECT_EQ(StampFormatText(255), std::nullopt);
}

TEST(ModuleParameters, EraseCommandValue)
{
    EXPECT_EQ(EraseCommandValue, 1144201745u);
}

} // namespace
