// The state file's format: what it accepts, every fault it rejects, and the form written back.
#include "simulator/ModuleParameters.h"
#include "simulator/ModuleState.h"
#include "simulator/DemoModule.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace korvane::module;

namespace {

const QDateTime kNow(QDate(2026, 3, 5), QTime(10, 0, 0));

std::optional<ModuleState> parse(const QByteArray& json, QString* error = nullptr)
{
    QString reason;
    auto state = parseModuleState(json, kNow, reason);
    if (error)
        *error = reason;
    return state;
}

} // namespace

TEST(StateFormat, EmptyObjectIsTheDefaultModule)
{
    const auto state = parse("{}");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->settings.at(NodeId), 5u);
    EXPECT_EQ(state->settings.at(Baud), 250000u);
    EXPECT_EQ(state->settings.size(), 10u);
    EXPECT_FALSE(state->clockSet);
    EXPECT_TRUE(state->memory.isEmpty());
    EXPECT_FALSE(state->configuration);
    EXPECT_EQ(state->faults.open, ModuleFaults::Open::None);
    EXPECT_FALSE(state->bus.wire);
}

TEST(StateFormat, TheDocumentedExampleIsRead)
{
    const auto state = parse(R"({"settings": {"NodeId":5,"Baud":250000,"MemoryMode":1,"Delimiter":10,"FixedLength":0,
        "TimeFormat":0,"DateFormat":1,"AutoTimeStamp":2,"OverwriteMode":0,"DeviceMode":0},
        "clock": {"time":"12:00:00","date":"03/05/2026"}, "memory": "logged text", "configuration": "record text",
        "faults": {"open": "wrong-mode", "read": [6, 16], "write": [13, 3], "memory_fail_after_blocks": 3,
                   "readout_length": 100}})");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->clockOffsetMs, 2 * 3600 * 1000);
    EXPECT_EQ(state->memory, "logged text");
    EXPECT_EQ(*state->configuration, "record text");
    EXPECT_EQ(state->faults.open, ModuleFaults::Open::WrongMode);
    EXPECT_EQ(state->faults.read, (std::set<uint16_t>{6, 16}));
    EXPECT_EQ(state->faults.write, (std::set<uint16_t>{3, 13}));
    EXPECT_EQ(state->faults.memoryFailAfterBlocks, 3u);
    EXPECT_EQ(state->faults.readoutLength, 100u);
}

TEST(StateFormat, OddButValidValuesAreKept)
{
    // The tool must cope with a module holding values its lists lack.
    const auto state = parse(R"({"settings": {"AutoTimeStamp": 200, "Baud": 4294967295, "DeviceMode": 7}})");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->settings.at(AutoTimeStamp), 200u);
    EXPECT_EQ(state->settings.at(Baud), 4294967295u);
}

TEST(StateFormat, EveryFaultIsNamed)
{
    const std::pair<const char*, const char*> faults[] = {
        {"", "not valid JSON"},
        {"{\"settings\": {}", "not valid JSON"},
        {"[1, 2]", "JSON object"},
        {R"({"setings": {}})", "unknown key \"setings\""},
        {R"({"settings": 5})", "\"settings\" must be an object"},
        {R"({"settings": {"Nodeid": 5}})", "unknown setting \"Nodeid\""},
        {R"({"settings": {"NodeId": "5"}})", "setting \"NodeId\" must be an integer from 0 to 255"},
        {R"({"settings": {"NodeId": 256}})", "setting \"NodeId\" must be an integer from 0 to 255"},
        {R"({"settings": {"NodeId": -1}})", "from 0 to 255"},
        {R"({"settings": {"NodeId": 1.5}})", "from 0 to 255"},
        {R"({"settings": {"Baud": 4294967296}})", "setting \"Baud\" must be an integer from 0 to 4294967295"},
        {R"({"clock": "12:00:00"})", "\"clock\" must be an object"},
        {R"({"clock": {"time": "12:00:00"}})", "clock \"date\" must be a text"},
        {R"({"clock": {"date": "03/05/2026"}})", "clock \"time\" must be a text"},
        {R"({"clock": {"time": "25:00:00", "date": "03/05/2026"}})", "clock \"time\" must be a time of day"},
        {R"({"clock": {"time": "12:00:00", "date": "13/05/2026"}})", "clock \"date\" must be a date"},
        {R"({"clock": {"time": "12:00:00", "date": "03/05/2026", "zone": "UTC"}})", "unknown key \"zone\" in \"clock\""},
        {R"({"clock": {"offset_seconds": 5, "time": "12:00:00"}})", "either \"offset_seconds\" or"},
        {R"({"clock": {"offset_seconds": "5"}})", "clock \"offset_seconds\" must be a number of seconds"},
        {R"({"clock": {"offset_seconds": 1e12}})", "clock \"offset_seconds\" must be a number of seconds"},
        {R"({"memory": 5})", "\"memory\" must be a text"},
        {R"({"memory": "a", "memory_hex": "61"})", "either \"memory\" or \"memory_hex\""},
        {R"({"memory_hex": "616"})", "pairs of hexadecimal digits"},
        {R"({"memory_hex": "6g"})", "pairs of hexadecimal digits"},
        {R"({"memory_hex": "61 62"})", "pairs of hexadecimal digits"},
        {R"({"configuration": ["x"]})", "\"configuration\" must be a text"},
        {"{\"faults\": []}", "\"faults\" must be an object"},
        {R"({"faults": {"opens": "fail"}})", "unknown key \"opens\" in \"faults\""},
        {R"({"faults": {"open": "broken"}})", "faults \"open\" must be \"fail\" or \"wrong-mode\""},
        {R"({"faults": {"read": 6}})", "faults \"read\" must be a list"},
        {R"({"faults": {"write": [13, "3"]}})", "faults \"write\" entries must be an integer"},
        {R"({"faults": {"read": [70000]}})", "faults \"read\" entries must be an integer from 0 to 65535"},
        {R"({"faults": {"memory_fail_after_blocks": -1}})", "faults \"memory_fail_after_blocks\" must be an integer"},
        {R"({"faults": {"readout_length": 1e10}})", "faults \"readout_length\" must be an integer"},
        {R"({"faults": {"write_latency_ms": 60000}})", "faults \"write_latency_ms\" must be an integer from 0 to 10000"},
        {R"({"bus": "wire"})", "\"bus\" must be an object"},
        {R"({"bus": {"timing": "slow"}})", "bus \"timing\" must be \"wire\" or \"instant\""},
        {R"({"bus": {"latency": 5}})", "unknown key \"latency\" in \"bus\""},
        {R"({"bus": {"answer_latency_us": 2000000}})", "bus \"answer_latency_us\" must be an integer from 0 to 1000000"},
        {R"({"identity": 5})", "\"identity\" must be an object"},
        {R"({"identity": {"serial": 5}})", "unknown key \"serial\" in \"identity\""},
        {R"({"identity": {"vendor_id": -1}})", "identity \"vendor_id\" must be an integer from 0 to 4294967295"},
        {R"({"identity": {"heartbeat_ms": 65536}})", "identity \"heartbeat_ms\" must be an integer from 0 to 65535"},
        {R"({"identity": {"device_name": 7}})", "identity \"device_name\" must be a text"},
    };
    for (const auto& [json, message] : faults) {
        QString error;
        EXPECT_FALSE(parse(json, &error)) << json;
        EXPECT_TRUE(error.contains(QString::fromUtf8(message))) << json << " gave: " << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(parse(QJsonDocument(QJsonObject{{"configuration", QString(256, 'c')}}).toJson(), &error));
    EXPECT_TRUE(error.contains("at most 255 bytes")) << error.toStdString();
}

TEST(StateFormat, WrittenBackStateReadsBackEqual)
{
    auto state = parse(R"({"settings": {"NodeId": 9}, "memory": "a\nb\u00e9", "configuration": "cfg",
                           "clock": {"offset_seconds": -86400.125},
                           "faults": {"read": [6], "readout_length": 7, "write_latency_ms": 50},
                           "bus": {"timing": "wire", "answer_latency_us": 200},
                           "identity": {"serial_number": 4294967295, "device_name": "Bay 3", "heartbeat_ms": 0}})");
    ASSERT_TRUE(state);
    const QByteArray written = serializeModuleState(*state);
    const QJsonObject json = QJsonDocument::fromJson(written).object();
    EXPECT_EQ(json["memory_hex"].toString(), QString::fromLatin1(QByteArray("a\nb\xc3\xa9").toHex()));
    EXPECT_FALSE(json.contains("memory"));
    EXPECT_EQ(json["clock"].toObject(), QJsonObject({{"offset_seconds", -86400.125}}));
    const auto again = parse(written);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->settings, state->settings);
    EXPECT_EQ(again->memory, state->memory);
    EXPECT_EQ(again->configuration, state->configuration);
    EXPECT_EQ(again->clockOffsetMs, -86400125);
    EXPECT_EQ(again->faults.writeLatencyMs, 50u);
    EXPECT_EQ(again->faults.read, state->faults.read);
    EXPECT_EQ(again->faults.readoutLength, 7u);
    EXPECT_FALSE(again->faults.memoryFailAfterBlocks);
    EXPECT_TRUE(again->bus.wire);
    EXPECT_EQ(again->bus.answerLatencyUs, 200u);
    EXPECT_EQ(again->identity, state->identity);
    EXPECT_EQ(again->identity.serialNumber, 0xFFFFFFFFu);
    EXPECT_EQ(again->identity.vendorId, ModuleIdentity{}.vendorId);
}

// The memory is read and written beside the JSON parser: whatever surrounds it, the result is
// the parser's.
TEST(StateFormat, TheMemoryIsFoundWhereverTheJsonPutsIt)
{
    const std::pair<const char*, QByteArray> layouts[] = {
        {R"({"faults": {"read": [6], "open": "fail"}, "configuration": "}{\"memory_hex\": \"\"", "memory_hex": "4142"})", "AB"},
        {"{ \"memory_hex\"\n :\t\"4a4B\" }", "JK"},
        {R"({"settings": {"NodeId": 9}, "memory_hex": ""})", ""},
    };
    for (const auto& [json, memory] : layouts) {
        QString error;
        const auto state = parse(json, &error);
        ASSERT_TRUE(state) << json << ": " << error.toStdString();
        EXPECT_EQ(state->memory, memory) << json;
    }
    ModuleState state = *parse("{}");
    state.memory = QByteArray("\0\xff\"memory_hex\": \"\"", 19);
    state.configuration = QByteArray(R"("memory_hex": "")");
    const auto again = parse(serializeModuleState(state));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->memory, state.memory);
    EXPECT_EQ(again->configuration, state.configuration);
}

TEST(StateFormat, ModuleOnThePcClockStaysThere)
{
    const auto state = parse("{}");
    ASSERT_TRUE(state);
    EXPECT_FALSE(QJsonDocument::fromJson(serializeModuleState(*state)).object().contains("clock"));
}

TEST(StateFormat, DemoModuleIsAValidStateWithHundredsOfRecords)
{
    const auto state = parse(demoModuleState());
    ASSERT_TRUE(state);
    const QList<QByteArray> lines = state->memory.split('\n');
    EXPECT_GE(lines.size(), 300);
    EXPECT_TRUE(lines.first().startsWith("03/02/2026 07:30:")) << lines.first().constData();
    EXPECT_EQ(state->settings.at(DeviceMode), 1u);
}
