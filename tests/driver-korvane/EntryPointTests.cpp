// The C interface as the tool meets it: names, handles, masking, configuration round trip.
#include "ModuleConnection.h"

#include <QFile>

using testsupport::SimulatedModule;

TEST(EntryPoints, EveryEntryPointResolvesByName)
{
    ASSERT_NE(library().handle, nullptr);
    EXPECT_EQ(library().missing, 0);
}

TEST(EntryPoints, TheOnesTheToolNeverCallsAnswerZero)
{
    const KorvaneLibrary& k = library();
    uint32_t value = 7;
    char text[256] = {};
    EXPECT_EQ(k.GetErrorString(1, text), 0);
    EXPECT_EQ(k.Download_Firmware(1, "x"), 0);
    EXPECT_EQ(k.Upload_Firmware(1, "x"), 0);
    EXPECT_EQ(k.Set_Active_Sector(1, 0), 0);
    EXPECT_EQ(k.Get_Active_Sector(1, &value), 0);
    EXPECT_EQ(k.Set_Boot_Sector(1, 0), 0);
    EXPECT_EQ(k.Get_Boot_Sector(1, &value), 0);
    EXPECT_EQ(k.Erase_Sector(1, 0), 0);
    EXPECT_EQ(k.Execute_Firmware(1), 0);
    EXPECT_EQ(k.Get_Mode(1, &value), 0);
    EXPECT_EQ(k.Get_Sector_Checksum(1, 0, &value), 0);
    EXPECT_EQ(k.Set_Sector_Checksum(1, 0, 0), 0);
    EXPECT_EQ(k.Get_Sector_Size(1, 0, &value), 0);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(text[0], 0);
}

TEST(EntryPoints, TheModuleSaysWhoItIs)
{
    SimulatedModule module(R"({"identity": {"serial_number": 3054, "revision": 196609, "device_name": "Bay 3 logger", "software_version": ""}})");
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    const KorvaneLibrary& k = library();
    uint32_t value = 0;
    char text[256];
    EXPECT_EQ(k.Get_Serial_Number(connection.handle, &value), 1);
    EXPECT_EQ(value, 3054u);
    EXPECT_EQ(k.Get_Revision_Number(connection.handle, &value), 1);
    EXPECT_EQ(value, 0x00030001u);
    EXPECT_EQ(k.Get_Product_Name(connection.handle, text), 12);
    EXPECT_STREQ(text, "Bay 3 logger");
    EXPECT_GT(k.Hardware_Version(connection.handle, text), 0);
    EXPECT_EQ(k.Firmware_Version(connection.handle, text), 0); // empty: nothing to show
    EXPECT_EQ(k.DLL_Version(&value), 1);
    EXPECT_NE(value, 0u);
    // Without an interface there is no module to ask, and the reason says so.
    EXPECT_EQ(k.Get_Vendor_Id(connection.handle + 1, &value), 0);
    EXPECT_GT(k.GetErrorString(0, text), 0);
    EXPECT_STREQ(text, ("no interface is open with handle " + std::to_string(connection.handle + 1)).c_str());
}

TEST(EntryPoints, HandlesAreNonZeroAndDieWithCloseCard)
{
    SimulatedModule module;
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    EXPECT_NE(connection.handle, 0u);
    uint8_t value = 0;
    EXPECT_TRUE(connection.getU8(12, value));
    EXPECT_EQ(library().CloseCard(connection.handle), 1);
    EXPECT_FALSE(connection.getU8(12, value));
    EXPECT_EQ(library().CloseCard(connection.handle), 0);
    EXPECT_EQ(library().CloseCard(0), 0);
    connection.opened = 0;
}

TEST(EntryPoints, NumbersAreMaskedTo16BitsAndValuesTo8Bits)
{
    SimulatedModule module(R"({"settings": {"NodeId": 9}})");
    ModuleConnection connection;
    uint8_t value = 0;
    ASSERT_TRUE(connection.getU8(0xABCD0000u + 12, value));
    EXPECT_EQ(value, 9);
    ASSERT_TRUE(connection.setU8(0x00010003u, 0x1234501u)); // parameter 3, value 1
    EXPECT_EQ(module.setting("MemoryMode"), 1u);
    ASSERT_TRUE(connection.setU8(3, 0x100));
    EXPECT_EQ(module.setting("MemoryMode"), 0u);
    // The count of an array counts in its low 8 bits: 0x108 sends eight characters.
    const QByteArray time = "11:22:33";
    EXPECT_TRUE(library().Parameter_Set_ARRAY(connection.handle, 6, 0x108, reinterpret_cast<const uint8_t*>(time.data())));
    EXPECT_EQ(module.moduleClock().time().hour(), 11);
}

TEST(EntryPoints, SixteenBitAccessorsExchangeTwoBytes)
{
    SimulatedModule module(R"({"settings": {"NodeId": 9}})");
    ModuleConnection connection;
    uint16_t value = 77;
    // No parameter is 16 bits wide: the module's one byte is not taken as two, and two are refused.
    EXPECT_EQ(library().Parameter_Get_USIGN16(connection.handle, 12, &value), 0);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(library().Parameter_Set_USIGN16(connection.handle, 12, 10), 0);
    EXPECT_EQ(module.setting("NodeId"), 9u);
}

TEST(EntryPoints, NullPointersAnswerZero)
{
    SimulatedModule module;
    ModuleConnection connection;
    uint8_t count = 0;
    uint8_t buffer[256];
    EXPECT_EQ(library().Parameter_Get_USIGN8(connection.handle, 12, nullptr), 0);
    EXPECT_EQ(library().Parameter_Get_ARRAY(connection.handle, 17, nullptr, buffer), 0);
    EXPECT_EQ(library().Parameter_Get_ARRAY(connection.handle, 17, &count, nullptr), 0);
    EXPECT_EQ(library().Parameter_Set_ARRAY(connection.handle, 6, 8, nullptr), 0);
    EXPECT_EQ(library().OpenInterface(nullptr, connection.block.data()), 0);
    EXPECT_EQ(library().ReadConfiguration(nullptr, connection.block.data()), 0);
    EXPECT_EQ(library().HardwareConfigurationWindow(nullptr), 0);
}

TEST(EntryPoints, ConnectionTypeLandsInBytes12To15)
{
    SimulatedModule module("{}", SimulatedModule::Rs232);
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    ASSERT_EQ(library().ReadConfiguration(SimulatedModule::registryPath(), block.data()), 1);
    EXPECT_EQ(block[12] | block[13] << 8 | block[14] << 16 | block[15] << 24, 1);
}

TEST(EntryPoints, SavedConfigurationReadsBackTheSame)
{
    SimulatedModule module("{}", SimulatedModule::Rs232);
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> first{}, second{};
    ASSERT_EQ(library().ReadConfiguration(SimulatedModule::registryPath(), first.data()), 1);
    first[8] = 42; // node-ID
    first[24] = 0x80; // serial line rate 9600, kept also for the simulated module
    first[25] = 0x25;
    first[26] = 0;
    const char* other = "\\Software\\Velmora\\Round Trip\\";
    ASSERT_EQ(library().SaveConfiguration(other, first.data()), 1);
    ASSERT_EQ(library().ReadConfiguration(other, second.data()), 1);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velmora/Round Trip/interface.ini"));
}

TEST(EntryPoints, NothingSavedMeansTheSimulatedModuleWithItsDefaultStateFile)
{
    const QString defaultState = qEnvironmentVariable("XDG_DATA_HOME") + "/Velmora/CANopen Quillfen App/module-state.json";
    QFile::remove(defaultState);
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    ASSERT_TRUE(QFile::exists(defaultState));
    // The demo module: a data logger with a few hundred records in its memory.
    uint8_t blank = 1, mode = 0;
    ASSERT_TRUE(connection.getU8(16, blank));
    EXPECT_EQ(blank, 0);
    ASSERT_TRUE(connection.getU8(21, mode));
    EXPECT_EQ(mode, 1);
    ASSERT_TRUE(connection.setU8(15, 1));
    QByteArray memory, block;
    while (connection.getArray(14, block) && !block.isEmpty())
        memory += block;
    EXPECT_GE(memory.count('\n'), 200);
    EXPECT_TRUE(memory.endsWith('\n'));
}

TEST(EntryPoints, UnreadableConfigurationKeepsTheInterfaceShut)
{
    SimulatedModule module;
    {
        QFile ini(module.interfaceIniPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[interface]\ntransport=simulated\nnode_id=300\n");
    }
    testing::internal::CaptureStderr();
    ModuleConnection connection;
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(connection.opened);
    EXPECT_EQ(connection.error, EINVAL);
    EXPECT_NE(messages.find("node_id"), std::string::npos) << messages;
}
