// The library's entry points on real buses, with the module simulator as the module: the wire
// format as Qt's canbusutil records it, a serial adapter on a pseudo-terminal, failures to open.
#include "Peers.h"
#include "driver-korvane/ModuleConnection.h"
#include "support/SimulatedModule.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using korvane::config::Transport;
using testsupport::SimulatedModule;

namespace {

QByteArray records(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "03/05/2026 09:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + ",181,8,0F A0 00 00 " +
                QByteArray::number(i % 100).rightJustified(2, '0') + " 00 00 00\n";
    return text;
}

QByteArray readOut(const ModuleConnection& connection)
{
    QByteArray memory, block;
    EXPECT_TRUE(connection.setU8(15, 1));
    while (connection.getArray(14, block) && !block.isEmpty())
        memory += block;
    return memory;
}

// The module on a virtualcan bus of its own that Qt's canbusutil records, the library connected.
struct RecordedBus {
    explicit RecordedBus(const SimulatedModule& module)
        : device(virtualCanDevice(freeTcpPort()))
        , recorder(device)
        , simulator({"--plugin", "virtualcan", "--device", device, module.statePath()})
        , configured((configureAdapter(module.interfaceIniPath(), Transport::Can, device), true))
    {
    }
    QString device;
    BusRecorder recorder;
    ModuleSimulator simulator;
    bool configured;
    ModuleConnection connection;
};

} // namespace

TEST(WireFormat, RecordedFramesFollowTheSdoRules)
{
    REQUIRE_CANBUSUTIL();
    SimulatedModule module(QJsonObject{{"configuration", "ABCDEFGHIJKLMNOPQRST"}, {"memory", QString(40, 'm')}});
    RecordedBus bus(module);
    ASSERT_TRUE(bus.recorder.listening() && bus.connection.opened);
    const ModuleConnection& connection = bus.connection;
    BusRecorder& recorder = bus.recorder;

    uint8_t node = 0;
    EXPECT_TRUE(connection.getU8(12, node));            // expedited u8 read
    EXPECT_TRUE(connection.setU32(11, 500000));         // expedited u32 write
    QByteArray record;
    EXPECT_TRUE(connection.getArray(17, record));       // segmented array read
    EXPECT_EQ(record, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_TRUE(connection.setArray(6, "12:34:56"));    // segmented array write
    EXPECT_FALSE(connection.getU8(99, node));           // abort: no such object
    EXPECT_TRUE(connection.setU8(15, 1));
    EXPECT_TRUE(connection.getArray(14, record));       // block upload
    EXPECT_EQ(record, QByteArray(40, 'm'));

    const std::vector<std::string> expected = {
        "605  40 0C 20 00 00 00 00 00", "585  4F 0C 20 00 05 00 00 00",
        "605  23 0B 20 00 20 A1 07 00", "585  60 0B 20 00 00 00 00 00",
        "605  A4 11 20 00 7F 20 00 00", "585  41 11 20 00 14 00 00 00", // small: the server switches
        "605  60 00 00 00 00 00 00 00", "585  00 41 42 43 44 45 46 47",
        "605  70 00 00 00 00 00 00 00", "585  10 48 49 4A 4B 4C 4D 4E",
        "605  60 00 00 00 00 00 00 00", "585  03 4F 50 51 52 53 54 00",
        "605  21 06 20 00 08 00 00 00", "585  60 06 20 00 00 00 00 00",
        "605  00 31 32 3A 33 34 3A 35", "585  20 00 00 00 00 00 00 00",
        "605  1D 36 00 00 00 00 00 00", "585  30 00 00 00 00 00 00 00",
        "605  40 63 20 00 00 00 00 00", "585  80 63 20 00 00 00 02 06",
        "605  2F 0F 20 00 01 00 00 00", "585  60 0F 20 00 00 00 00 00",
        "605  A4 0E 20 00 7F 20 00 00", "585  C6 0E 20 00 28 00 00 00",
        "605  A3 00 00 00 00 00 00 00",
        "585  01 6D 6D 6D 6D 6D 6D 6D", "585  02 6D 6D 6D 6D 6D 6D 6D", "585  03 6D 6D 6D 6D 6D 6D 6D",
        "585  04 6D 6D 6D 6D 6D 6D 6D", "585  05 6D 6D 6D 6D 6D 6D 6D", "585  86 6D 6D 6D 6D 6D 00 00",
        "605  A2 06 7F 00 00 00 00 00",
    };
    const std::vector<std::string> recorded = recorder.frames(expected.size() + 2);
    ASSERT_GE(recorded.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::string>(recorded.begin(), recorded.begin() + qsizetype(expected.size())), expected);
    // The end of the block upload: unused bytes of the last segment (2) and the CRC, confirmed.
    EXPECT_EQ(recorded[expected.size()].substr(0, 8), "585  C9 ");
    EXPECT_EQ(recorded[expected.size() + 1], "605  A1 00 00 00 00 00 00 00");
}

TEST(WireFormat, TheBlockReadAheadIsWhatTheNextReadReturns)
{
    REQUIRE_CANBUSUTIL();
    const QByteArray memory = records(12).left(600); // blocks of 255, 255 and 90 bytes
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}});
    RecordedBus bus(module);
    ASSERT_TRUE(bus.recorder.listening() && bus.connection.opened);
    const ModuleConnection& connection = bus.connection;
    BusRecorder& recorder = bus.recorder;
    ASSERT_TRUE(connection.setU8(15, 1));
    QByteArray first, second, third;
    ASSERT_TRUE(connection.getArray(14, first));
    ASSERT_TRUE(connection.getArray(14, second));
    // Another call waits for the third block read ahead and drops it: the module has sent it.
    uint8_t blank = 9;
    EXPECT_TRUE(connection.getU8(16, blank));
    ASSERT_TRUE(connection.getArray(14, third));
    EXPECT_EQ(first + second, memory.left(510));
    EXPECT_TRUE(third.isEmpty());
    EXPECT_EQ(module.memory(), memory);

    // The arming; three block uploads of 43, 43 and 19 frames; parameter 16; the empty block.
    const std::vector<std::string> recorded = recorder.frames(113);
    ASSERT_EQ(recorded.size(), 113u);
    std::vector<size_t> memoryReads;
    for (size_t i = 0; i < recorded.size(); ++i)
        if (recorded[i].starts_with("605") && recorded[i].substr(8, 5) == "0E 20")
            memoryReads.push_back(i);
    EXPECT_EQ(memoryReads, (std::vector<size_t>{2, 45, 88, 109})); // each block once
    EXPECT_EQ(recorded[107], "605  40 10 20 00 00 00 00 00");
    QByteArray onTheWire;
    for (size_t i = 48; i < 85; ++i) // the second block's 37 segments: a sequence number, seven bytes
        onTheWire += QByteArray::fromHex(QByteArray::fromStdString(recorded[i].substr(8)));
    EXPECT_EQ(recorded[84].substr(0, 8), "585  A5 "); // the last, holding 3 bytes of 7
    onTheWire.chop(4);
    EXPECT_EQ(second, onTheWire);
}

TEST(WireFormat, SilentModuleGetsATimeoutAbort)
{
    REQUIRE_CANBUSUTIL();
    SimulatedModule module;
    const QString device = virtualCanDevice(freeTcpPort());
    BusRecorder recorder(device);
    ASSERT_TRUE(recorder.listening());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, "--node", "9", module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Can, device, 5, 100);
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    uint8_t value = 0;
    EXPECT_FALSE(connection.getU8(12, value));
    EXPECT_EQ(recorder.frames(2), (std::vector<std::string>{"605  40 0C 20 00 00 00 00 00", "605  80 0C 20 00 00 00 04 05"}));
}

TEST(SerialAdapter, ModuleBehindAPseudoTerminal)
{
    REQUIRE_PSEUDO_TERMINALS();
    const QByteArray memory = records(30);
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}}, SimulatedModule::Usb);
    ModuleSimulator simulator({"--pty", module.statePath()});
    ASSERT_TRUE(simulator.where().startsWith("/dev/"));
    configureAdapter(module.interfaceIniPath(), Transport::Serial, simulator.where());
    {
        std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
        ASSERT_EQ(library().ReadConfiguration(SimulatedModule::registryPath(), block.data()), 1);
        EXPECT_EQ(block[12], 1); // a serial adapter is RS232
    }
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    EXPECT_EQ(readOut(connection), memory);
    EXPECT_TRUE(connection.setU8(18, 1));
    EXPECT_TRUE(connection.setArray(7, "12/24/2030"));
    EXPECT_EQ(module.setting("OverwriteMode"), 1u);
    EXPECT_EQ(module.moduleClock().date(), QDate(2030, 12, 24));
    EXPECT_TRUE(connection.setU32(13, 0x44332211));
    EXPECT_TRUE(module.memory().isEmpty());
}

TEST(SerialAdapter, LostLineFailsTheNextExchange)
{
    REQUIRE_PSEUDO_TERMINALS();
    SimulatedModule module;
    auto simulator = std::make_unique<ModuleSimulator>(QStringList{"--pty", module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Serial, simulator->where(), 5, 60000);
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    uint8_t value = 0;
    ASSERT_TRUE(connection.getU8(12, value));
    simulator->kill();
    EXPECT_FALSE(connection.getU8(12, value)); // at once, not after the minute's timeout
}

TEST(OpenFailures, AdapterInTheWrongModeSetsTheLastError)
{
    REQUIRE_PSEUDO_TERMINALS();
    SimulatedModule module(R"({"faults": {"open": "wrong-mode"}})");
    ModuleSimulator simulator({"--pty", module.statePath()});
    configureAdapter(module.interfaceIniPath(), Transport::Serial, simulator.where());
    testing::internal::CaptureStderr();
    ModuleConnection connection;
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(connection.opened);
    EXPECT_EQ(uint32_t(connection.error), KORVANE_ERROR_WRONG_MODE);
    EXPECT_NE(messages.find("refuses to open"), std::string::npos) << messages;
}

TEST(OpenFailures, MissingAdaptersSayWhy)
{
    SimulatedModule module;
    configureAdapter(module.interfaceIniPath(), Transport::Serial, "/dev/korvane-no-such-port");
    testing::internal::CaptureStderr();
    ModuleConnection serial;
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(serial.opened);
    EXPECT_EQ(serial.error, ENODEV);

    // No such CAN interface (and where the kernel has no CAN at all, no socket either).
    configureAdapter(module.interfaceIniPath(), Transport::Can, "korvane9", 5, 500, "socketcan");
    testing::internal::CaptureStderr();
    ModuleConnection can;
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(can.opened);
    EXPECT_EQ(can.error, ENODEV);
    EXPECT_NE(messages.find("korvane9"), std::string::npos) << messages;
}

// The simulator's own exit statuses, as its man page states them.
TEST(ModuleSimulatorCommand, VersionWrongUsageAndAPortThatCannotBeOpened)
{
    SimulatedModule module;
    const auto run = [](const QStringList& arguments) {
        QProcess simulator;
        simulator.start(QStringLiteral(KORVANE_MODULE_SIM), arguments);
        EXPECT_TRUE(simulator.waitForFinished(30000));
        return std::pair{simulator.exitCode(), simulator.readAllStandardOutput()};
    };
    const auto [versionStatus, version] = run({"--version"});
    EXPECT_EQ(versionStatus, 0);
    EXPECT_TRUE(version.startsWith("korvane-module-sim ")) << version.constData();
    EXPECT_EQ(run({"--no-such-option", module.statePath()}).first, 2);
    EXPECT_EQ(run({"--pty", "--node", "128", module.statePath()}).first, 2);
    EXPECT_EQ(run({"--serial", "/dev/korvane-no-such-port", module.statePath()}).first, 1);
}

// One bus, one bit rate: a module starting at another rate than the first is left off the bus.
TEST(ModuleSimulatorCommand, AModuleAtAnotherBitRateIsNotOnTheBus)
{
    REQUIRE_PSEUDO_TERMINALS();
    SimulatedModule first;
    SimulatedModule faster(R"({"settings": {"NodeId": 9, "Baud": 500000}})");
    ModuleSimulator simulator({"--pty", first.statePath(), faster.statePath()});
    uint8_t node = 0;
    configureAdapter(first.interfaceIniPath(), Transport::Serial, simulator.where(), 9);
    {
        ModuleConnection connection;
        ASSERT_TRUE(connection.opened);
        EXPECT_FALSE(connection.getU8(12, node));
    }
    configureAdapter(first.interfaceIniPath(), Transport::Serial, simulator.where(), 5);
    ModuleConnection connection;
    ASSERT_TRUE(connection.getU8(12, node));
    EXPECT_EQ(node, 5);
}
