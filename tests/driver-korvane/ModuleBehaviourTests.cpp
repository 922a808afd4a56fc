// Every parameter of the simulated module as the tool sees it through the entry points.
#include "ModuleConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <unistd.h>

using testsupport::SimulatedModule;

namespace {

QByteArray readOut(const ModuleConnection& connection, int* blocks = nullptr)
{
    QByteArray memory, block;
    int count = 0;
    while (connection.getArray(14, block) && !block.isEmpty()) {
        EXPECT_LE(block.size(), 255);
        memory += block;
        ++count;
    }
    if (blocks)
        *blocks = count;
    return memory;
}

QByteArray lines(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "03/05/2026 12:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + ",181,8,00 11 22 33 44 55 66 77\n";
    return text;
}

} // namespace

TEST(ModuleSettings, TheTenSettingsReadAsStored)
{
    SimulatedModule module(R"({"settings": {"NodeId":7,"Baud":125000,"MemoryMode":0,"Delimiter":13,
        "FixedLength":64,"TimeFormat":1,"DateFormat":3,"AutoTimeStamp":12,"OverwriteMode":1,"DeviceMode":1}})");
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    uint32_t baud = 0;
    ASSERT_TRUE(connection.getU32(11, baud));
    EXPECT_EQ(baud, 125000u);
    const std::pair<int, int> expected[] = {{12, 7}, {3, 0}, {4, 13}, {5, 64}, {8, 1}, {9, 3}, {10, 12}, {18, 1}, {21, 1}};
    for (auto [number, value] : expected) {
        uint8_t read = 0xEE;
        ASSERT_TRUE(connection.getU8(number, read)) << number;
        EXPECT_EQ(read, value) << number;
    }
}

TEST(ModuleSettings, WrittenSettingsAreKeptForTheNextRun)
{
    SimulatedModule module(R"({"memory": "abc"})");
    {
        ModuleConnection connection;
        EXPECT_TRUE(connection.setU8(12, 33));
        EXPECT_TRUE(connection.setU32(11, 500000));
        EXPECT_TRUE(connection.setU8(21, 1));
        EXPECT_TRUE(connection.setU8(10, 0));
        uint8_t stillHere = 0; // a new node-ID counts from the module's next start
        EXPECT_TRUE(connection.getU8(12, stillHere));
        EXPECT_EQ(stillHere, 33);
    }
    EXPECT_EQ(module.setting("NodeId"), 33u);
    EXPECT_EQ(module.setting("Baud"), 500000u);
    EXPECT_EQ(module.setting("DeviceMode"), 1u);
    EXPECT_EQ(module.setting("AutoTimeStamp"), 0u);
    EXPECT_EQ(module.memory(), "abc");
    module.configureNode(33);
    uint8_t node = 0;
    {
        ModuleConnection atTheOldRate; // the new Baud counts from the next start too
        EXPECT_FALSE(atTheOldRate.getU8(12, node));
    }
    module.configureBitRate(500000);
    ModuleConnection again;
    ASSERT_TRUE(again.getU8(12, node));
    EXPECT_EQ(node, 33);
}

TEST(ModuleSettings, WrongWidthIsRefused)
{
    SimulatedModule module;
    ModuleConnection connection;
    uint8_t narrow = 0;
    uint32_t wide = 0;
    EXPECT_FALSE(connection.getU8(11, narrow)); // Baud is four bytes
    EXPECT_FALSE(connection.getU32(12, wide));  // NodeId is one
    EXPECT_FALSE(connection.setU32(12, 5));
    EXPECT_FALSE(connection.setU8(11, 5));
    EXPECT_EQ(module.setting("Baud"), 250000u);
}

TEST(ModuleSettings, ParametersTheModuleLacksOrOnlyReadsOrOnlyTakes)
{
    SimulatedModule module(R"({"memory": "x"})");
    ModuleConnection connection;
    uint8_t value = 0;
    uint32_t wide = 0;
    for (uint32_t absent : {0u, 1u, 2u, 20u, 22u, 0x3FFFu, 0xFFFFu})
        EXPECT_FALSE(connection.getU8(absent, value)) << absent;
    EXPECT_FALSE(connection.getU32(13, wide)); // write-only
    EXPECT_FALSE(connection.getU8(15, value));
    EXPECT_FALSE(connection.setU8(16, 1));     // read-only
    EXPECT_FALSE(connection.setU32(19, 1));
    EXPECT_FALSE(connection.setArray(14, "abc"));
    EXPECT_FALSE(connection.setArray(17, "abc"));
    EXPECT_EQ(module.memory(), "x");
}

TEST(ModuleClock, ReadsTheClockTheStateGives)
{
    SimulatedModule module(R"({"clock": {"time": "12:00:00", "date": "03/05/2026"}})");
    ModuleConnection connection;
    QByteArray time, date;
    ASSERT_TRUE(connection.getArray(6, time));
    ASSERT_TRUE(connection.getArray(7, date));
    EXPECT_EQ(time.size(), 8);
    EXPECT_TRUE(time.startsWith("12:00:0")) << time.constData(); // a second may tick meanwhile
    EXPECT_EQ(date, "03/05/2026");
}

TEST(ModuleClock, WithoutClockTheModuleFollowsThePc)
{
    SimulatedModule module;
    ModuleConnection connection;
    QByteArray date;
    ASSERT_TRUE(connection.getArray(7, date));
    const QDate today = QDate::currentDate();
    EXPECT_TRUE(date == today.toString("MM/dd/yyyy").toLatin1() || date == today.addDays(-1).toString("MM/dd/yyyy").toLatin1());
}

TEST(ModuleClock, SettingTimeAndDateMovesTheClockAndIsKept)
{
    SimulatedModule module;
    {
        ModuleConnection connection;
        ASSERT_TRUE(connection.setArray(6, "23:59:30"));
        ASSERT_TRUE(connection.setArray(7, "02/28/2027"));
        QByteArray date;
        ASSERT_TRUE(connection.getArray(7, date));
        EXPECT_TRUE(date == "02/28/2027" || date == "03/01/2027") << date.constData();
    }
    ASSERT_TRUE(module.clock().contains("offset_seconds"));
    const QDateTime clock = module.moduleClock();
    EXPECT_LE(std::abs(clock.secsTo(QDateTime(QDate(2027, 2, 28), QTime(23, 59, 30)))), 5);
}

TEST(ModuleClock, TextsThatAreNoTimeOrDateAreRefused)
{
    SimulatedModule module(R"({"clock": {"time": "10:00:00", "date": "01/01/2030"}})");
    ModuleConnection connection;
    for (const char* time : {"99:00:00", "24:00:00", "12:60:00", "12:00:60", "12:00", "12:00:000", "12-00-00", " 1:00:00", "ab:cd:ef", ""})
        EXPECT_FALSE(connection.setArray(6, time)) << time;
    for (const char* date : {"13/01/2026", "00/10/2026", "02/30/2026", "01/32/2026", "01/01/0000", "1/1/2026", "2026/01/01", "01-01-2026", ""})
        EXPECT_FALSE(connection.setArray(7, date)) << date;
    // Nothing changed, so nothing was written back.
    EXPECT_EQ(module.clock()["time"].toString(), "10:00:00");
    QByteArray date;
    ASSERT_TRUE(connection.getArray(7, date));
    EXPECT_EQ(date, "01/01/2030");
}

TEST(ModuleMemory, ReadOutDeliversBlocksInOrderThenAnEmptyOne)
{
    const QByteArray memory = lines(40); // 2120 bytes
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(memory)}});
    ModuleConnection connection;
    uint8_t blank = 9;
    ASSERT_TRUE(connection.getU8(16, blank));
    EXPECT_EQ(blank, 0);
    EXPECT_TRUE(connection.setU8(15, 1));
    uint32_t length = 0;
    ASSERT_TRUE(connection.getU32(19, length));
    EXPECT_EQ(length, uint32_t(memory.size()));
    int blocks = 0;
    EXPECT_EQ(readOut(connection, &blocks), memory);
    EXPECT_EQ(blocks, (memory.size() + 254) / 255);
    QByteArray after;
    ASSERT_TRUE(connection.getArray(14, after));
    EXPECT_TRUE(after.isEmpty());
    // A new read-out starts from the beginning; reading does not consume the memory.
    EXPECT_TRUE(connection.setU8(15, 1));
    EXPECT_EQ(readOut(connection), memory);
    EXPECT_EQ(module.memory(), memory);
}

TEST(ModuleMemory, BinaryMemoryTravelsUnchanged)
{
    QByteArray memory;
    for (int i = 0; i < 600; ++i)
        memory += char(i * 7);
    SimulatedModule module(QJsonObject{{"memory_hex", QString::fromLatin1(memory.toHex())}});
    ModuleConnection connection;
    EXPECT_TRUE(connection.setU8(15, 1));
    EXPECT_EQ(readOut(connection), memory);
}

TEST(ModuleMemory, ReadOutNeedsArmingWithOne)
{
    SimulatedModule module(R"({"memory": "data"})");
    ModuleConnection connection;
    QByteArray block;
    EXPECT_FALSE(connection.getArray(14, block));
    EXPECT_FALSE(connection.setU8(15, 2));
    EXPECT_FALSE(connection.getArray(14, block));
    EXPECT_TRUE(connection.setU8(15, 1));
    ASSERT_TRUE(connection.getArray(14, block));
    EXPECT_EQ(block, "data");
}

TEST(ModuleMemory, EraseOnlyWithTheKey)
{
    SimulatedModule module(R"({"memory": "logged"})");
    ModuleConnection connection;
    EXPECT_FALSE(connection.setU32(13, 0x44332210));
    EXPECT_FALSE(connection.setU32(13, 0));
    EXPECT_EQ(module.memory(), "logged");
    EXPECT_TRUE(connection.setU32(13, 0x44332211));
    EXPECT_EQ(module.memory(), "");
    EXPECT_EQ(module.state()["memory_hex"].toString(), "");
    uint8_t blank = 0;
    ASSERT_TRUE(connection.getU8(16, blank));
    EXPECT_NE(blank, 0);
    EXPECT_TRUE(connection.setU8(15, 1));
    uint32_t length = 99;
    ASSERT_TRUE(connection.getU32(19, length));
    EXPECT_EQ(length, 0u);
    QByteArray block = "x";
    ASSERT_TRUE(connection.getArray(14, block));
    EXPECT_TRUE(block.isEmpty());
}

TEST(ModuleConfiguration, RecordIsBuiltFromTheSettings)
{
    SimulatedModule module(R"({"settings": {"NodeId": 17, "Baud": 1000000}})");
    ModuleConnection connection;
    QByteArray record;
    ASSERT_TRUE(connection.getArray(17, record));
    EXPECT_LE(record.size(), 255);
    EXPECT_TRUE(record.contains("NodeId=17\n"));
    EXPECT_TRUE(record.contains("Baud=1000000\n"));
    ASSERT_TRUE(connection.setU8(12, 18));
    ASSERT_TRUE(connection.getArray(17, record));
    EXPECT_TRUE(record.contains("NodeId=18\n"));
}

TEST(ModuleConfiguration, GivenRecordIsHandedOutVerbatim)
{
    SimulatedModule module(R"({"configuration": ""})");
    ModuleConnection connection;
    QByteArray record = "x";
    ASSERT_TRUE(connection.getArray(17, record));
    EXPECT_TRUE(record.isEmpty());
    module.setState(QJsonDocument(QJsonObject{{"configuration", QString(255, 'c')}}).toJson());
    ModuleConnection again;
    ASSERT_TRUE(again.getArray(17, record));
    EXPECT_EQ(record, QByteArray(255, 'c'));
}

TEST(ModuleFaults, OpenFailsAsTheStateSays)
{
    SimulatedModule failing(R"({"faults": {"open": "fail"}})");
    testing::internal::CaptureStderr();
    ModuleConnection first;
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(first.opened);
    EXPECT_NE(first.error, 0);
    EXPECT_NE(uint32_t(first.error), KORVANE_ERROR_WRONG_MODE);

    failing.setState(R"({"faults": {"open": "wrong-mode"}})");
    testing::internal::CaptureStderr();
    ModuleConnection second;
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(second.opened);
    EXPECT_EQ(uint32_t(second.error), KORVANE_ERROR_WRONG_MODE);
}

TEST(ModuleFaults, ReadsAndWritesOfListedParametersFail)
{
    SimulatedModule module(R"({"memory": "m", "faults": {"read": [6, 16], "write": [13, 3]}})");
    ModuleConnection connection;
    QByteArray text;
    uint8_t value = 0;
    EXPECT_FALSE(connection.getArray(6, text));
    EXPECT_TRUE(connection.getArray(7, text));
    EXPECT_FALSE(connection.getU8(16, value));
    EXPECT_TRUE(connection.getU8(3, value));
    EXPECT_FALSE(connection.setU32(13, 0x44332211));
    EXPECT_FALSE(connection.setU8(3, 0));
    EXPECT_TRUE(connection.setU8(4, 0));
    EXPECT_EQ(module.memory(), "m");
    EXPECT_EQ(module.setting("MemoryMode"), 1u);
    // The faults stay in the state written back.
    EXPECT_EQ(module.faults()["write"].toArray(), QJsonArray({3, 13}));
}

TEST(ModuleFaults, MemoryBlocksFailAfterTheGivenCount)
{
    SimulatedModule module(QJsonObject{{"memory", QString::fromLatin1(lines(40))},
                                       {"faults", QJsonObject{{"memory_fail_after_blocks", 3}}}});
    ModuleConnection connection;
    EXPECT_TRUE(connection.setU8(15, 1));
    QByteArray block;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(connection.getArray(14, block)) << i;
    EXPECT_FALSE(connection.getArray(14, block));
    EXPECT_FALSE(connection.getArray(14, block));
}

TEST(ModuleFaults, AnnouncedLengthCanLie)
{
    SimulatedModule module(R"({"memory": "only a few bytes", "faults": {"readout_length": 100}})");
    ModuleConnection connection;
    EXPECT_TRUE(connection.setU8(15, 1));
    uint32_t length = 0;
    ASSERT_TRUE(connection.getU32(19, length));
    EXPECT_EQ(length, 100u);
    EXPECT_EQ(readOut(connection), "only a few bytes");
}

TEST(ModuleStateFile, MalformedFileFailsOpenAndStaysUntouched)
{
    const QByteArray broken = R"({"settings": {"NodeId": "five"}})";
    SimulatedModule module(broken);
    testing::internal::CaptureStderr();
    ModuleConnection connection;
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(connection.opened);
    EXPECT_EQ(connection.error, EINVAL);
    EXPECT_NE(messages.find("NodeId"), std::string::npos) << messages;
    EXPECT_NE(messages.find(module.statePath().toStdString()), std::string::npos) << messages;
    EXPECT_EQ(module.rawState(), broken);
}

TEST(ModuleStateFile, MissingExplicitFileFailsOpen)
{
    SimulatedModule module;
    QFile::remove(module.statePath());
    testing::internal::CaptureStderr();
    ModuleConnection connection;
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(connection.opened);
    EXPECT_EQ(connection.error, ENOENT);
    EXPECT_FALSE(QFile::exists(module.statePath()));
}

TEST(ModuleStateFile, WriteBackReplacesTheFileInOneStep)
{
    SimulatedModule module(R"({"memory": "abc"})");
    const QString witness = QFileInfo(module.statePath()).absolutePath() + "/witness.link";
    QFile::remove(witness);
    ASSERT_EQ(::link(qPrintable(module.statePath()), qPrintable(witness)), 0); // a hard link
    ModuleConnection connection;
    ASSERT_TRUE(connection.setU8(12, 44));
    // A new file took the old one's name; the old one was never written into.
    QFile old(witness);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), R"({"memory": "abc"})");
    EXPECT_EQ(module.setting("NodeId"), 44u);
    const QStringList left = QFileInfo(module.statePath()).dir().entryList(QDir::Files);
    for (const QString& name : left) // no temporary file stays behind
        EXPECT_TRUE(name.endsWith(".json") || name == "witness.link") << name.toStdString();
    QFile::remove(witness);
}

TEST(ModuleStateFile, ChangeThatCannotBeKeptIsRefused)
{
    SimulatedModule module(R"({"memory": "abc"})");
    ModuleConnection connection;
    ASSERT_TRUE(connection.opened);
    const QString folder = QFileInfo(module.statePath()).absolutePath();
    const QString moved = folder + ".away";
    ASSERT_TRUE(QDir().rename(folder, moved));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(connection.setU8(12, 99));
    EXPECT_FALSE(connection.setU32(13, 0x44332211));
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(QDir().rename(moved, folder));
    uint8_t node = 0;
    ASSERT_TRUE(connection.getU8(12, node));
    EXPECT_EQ(node, 5);
    uint8_t blank = 1;
    ASSERT_TRUE(connection.getU8(16, blank));
    EXPECT_EQ(blank, 0);
}
