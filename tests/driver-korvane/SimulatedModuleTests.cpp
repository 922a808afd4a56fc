// The module's clock against a pinned PC clock, and what it keeps when a change cannot be stored.
#include "simulator/ModuleParameters.h"
#include "simulator/SimulatedModule.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::module;

namespace {

sdo::Bytes bytes(const char* text) { return sdo::Bytes(text, text + std::strlen(text)); }
std::string text(const sdo::Bytes& value) { return std::string(value.begin(), value.end()); }

ModuleState defaultState()
{
    ModuleState state;
    for (const Setting& setting : kSettings)
        state.settings[setting.number] = setting.defaultValue;
    return state;
}

struct PinnedModule {
    QDateTime pcNow{QDate(2026, 3, 5), QTime(10, 0, 0)};
    int stored = 0;
    bool storable = true;
    SimulatedModule module{defaultState(),
                           [this](const ModuleState&) { ++stored; return storable; },
                           [this] { return pcNow; }};

    std::string read(uint16_t number)
    {
        sdo::Bytes value;
        EXPECT_EQ(module.read(uint16_t(kFirstIndex + number), 0, value), 0u);
        return text(value);
    }
    uint32_t write(uint16_t number, const char* value) { return module.write(uint16_t(kFirstIndex + number), 0, bytes(value)); }
};

} // namespace

TEST(SimulatedClock, RunsWithThePcClock)
{
    PinnedModule m;
    EXPECT_EQ(m.read(ModuleTime), "10:00:00");
    EXPECT_EQ(m.read(ModuleDate), "03/05/2026");
    m.pcNow = m.pcNow.addSecs(14 * 3600 + 61);
    EXPECT_EQ(m.read(ModuleTime), "00:01:01");
    EXPECT_EQ(m.read(ModuleDate), "03/06/2026");
}

TEST(SimulatedClock, SettingTheTimeKeepsTheDateAndViceVersa)
{
    PinnedModule m;
    EXPECT_EQ(m.write(ModuleTime, "23:30:15"), 0u);
    EXPECT_EQ(m.read(ModuleTime), "23:30:15");
    EXPECT_EQ(m.read(ModuleDate), "03/05/2026");
    EXPECT_EQ(m.write(ModuleDate, "12/31/1999"), 0u);
    EXPECT_EQ(m.read(ModuleTime), "23:30:15");
    EXPECT_EQ(m.read(ModuleDate), "12/31/1999");
    m.pcNow = m.pcNow.addSecs(45);
    EXPECT_EQ(m.read(ModuleTime), "23:31:00");
    m.pcNow = m.pcNow.addSecs(29 * 60);
    EXPECT_EQ(m.read(ModuleDate), "01/01/2000");
    EXPECT_EQ(m.stored, 2);
    EXPECT_TRUE(m.module.state().clockSet);
}

TEST(SimulatedClock, AWrittenTimeStartsItsSecondThen)
{
    PinnedModule m;
    m.pcNow = m.pcNow.addMSecs(700);
    EXPECT_EQ(m.write(ModuleTime, "23:30:15"), 0u);
    EXPECT_EQ(m.write(ModuleDate, "12/31/1999"), 0u); // keeps the phase
    m.pcNow = m.pcNow.addMSecs(999);
    EXPECT_EQ(m.read(ModuleTime), "23:30:15");
    m.pcNow = m.pcNow.addMSecs(1);
    EXPECT_EQ(m.read(ModuleTime), "23:30:16");
}

TEST(SimulatedClock, LeapDayIsADate)
{
    PinnedModule m;
    EXPECT_EQ(m.write(ModuleDate, "02/29/2028"), 0u);
    EXPECT_NE(m.write(ModuleDate, "02/29/2027"), 0u);
    EXPECT_EQ(m.read(ModuleDate), "02/29/2028");
}

TEST(SimulatedClock, RefusedTextsAbortWithoutStoring)
{
    PinnedModule m;
    EXPECT_EQ(m.write(ModuleTime, "99:00:00"), uint32_t(sdo::ValueOutOfRange));
    EXPECT_EQ(m.write(ModuleDate, "13/01/2026"), uint32_t(sdo::ValueOutOfRange));
    EXPECT_EQ(m.stored, 0);
    EXPECT_EQ(m.read(ModuleTime), "10:00:00");
}

TEST(SimulatedStore, ChangeThatCannotBeStoredLeavesTheModuleAsItWas)
{
    PinnedModule m;
    m.storable = false;
    EXPECT_EQ(m.module.write(kFirstIndex + NodeId, 0, {9}), uint32_t(sdo::CannotStore));
    EXPECT_EQ(m.write(ModuleTime, "01:02:03"), uint32_t(sdo::CannotStore));
    sdo::Bytes value;
    ASSERT_EQ(m.module.read(kFirstIndex + NodeId, 0, value), 0u);
    EXPECT_EQ(value, sdo::Bytes{5});
    EXPECT_EQ(m.read(ModuleTime), "10:00:00");
}

TEST(SimulatedStore, ReadingAndArmingStoreNothing)
{
    PinnedModule m;
    m.read(NodeId);
    m.read(ConfigurationData);
    EXPECT_EQ(m.module.write(kFirstIndex + ReadoutStart, 0, {1}), 0u);
    EXPECT_EQ(m.stored, 0);
}

TEST(SimulatedObjects, SubIndexOtherThanZeroDoesNotExist)
{
    PinnedModule m;
    sdo::Bytes value;
    EXPECT_EQ(m.module.read(kFirstIndex + NodeId, 1, value), uint32_t(sdo::NoSuchSubIndex));
    EXPECT_EQ(m.module.write(kFirstIndex + NodeId, 1, {1}), uint32_t(sdo::NoSuchSubIndex));
    EXPECT_EQ(m.module.read(0x1002, 0, value), uint32_t(sdo::NoSuchObject));
}

TEST(SimulatedObjects, TheDeviceObjectsOnlyRead)
{
    PinnedModule m;
    sdo::Bytes value;
    EXPECT_EQ(m.module.read(0x1018, 0, value), 0u);
    EXPECT_EQ(value, sdo::Bytes{4});
    EXPECT_EQ(m.module.read(0x1018, 4, value), 0u);
    EXPECT_EQ(value, sdo::littleEndian(ModuleIdentity{}.serialNumber, 4));
    EXPECT_EQ(m.module.read(0x1008, 0, value), 0u);
    EXPECT_EQ(text(value), ModuleIdentity{}.deviceName.toStdString());
    EXPECT_EQ(m.module.read(0x1018, 5, value), uint32_t(sdo::NoSuchSubIndex));
    EXPECT_EQ(m.module.write(0x1017, 0, {0, 0}), uint32_t(sdo::WriteOfReadOnly));
    EXPECT_EQ(m.module.write(0x1018, 4, {1, 2, 3, 4}), uint32_t(sdo::WriteOfReadOnly));
    EXPECT_EQ(m.module.write(0x1FFF, 0, {1}), uint32_t(sdo::NoSuchObject));
    EXPECT_EQ(m.stored, 0);
}
