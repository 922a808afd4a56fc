// Why a run failed, below the box's text: message boxes are written to standard error as
// "Caption: text: reason" (or "Caption: text! reason"), and the memory file stays as it was.
#include "ProgramRun.h"
#include "support/SimulatedModule.h"

#include <QJsonArray>

namespace {

class ReasonsTest : public ProgramRunTest
{
protected:
    // "korvane /auto /fm mem.csv", boxes shown (on standard error), into a file that holds a line.
    Outcome Run()
    {
        QFile kept(Path("mem.csv"));
        EXPECT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write("kept\n") == 5);
        kept.close();
        return Start({"/auto", "/fm", "mem.csv"});
    }
};

TEST_F(ReasonsTest, ARefusedInterfaceIniIsNamedWithItsLineAndFault)
{
    testsupport::SimulatedModule module;
    QFile ini(module.interfaceIniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray text = ini.readAll();
    ini.close();
    const qsizetype at = text.indexOf("node_id=");
    ASSERT_GE(at, 0);
    text.insert(at + 8, '+');
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(text) == text.size());
    ini.close();
    const int line = int(text.left(at).count('\n')) + 1;

    const Outcome run = Run();

    const QByteArray reason = "the interface configuration is unusable: " + module.interfaceIniPath().toUtf8()
                            + " line " + QByteArray::number(line) + ": node_id must be a number from 1 to 127, not \"+5\"";
    EXPECT_TRUE(run.err.contains("Error: Cannot Open Interface: " + reason + "\n")) << run.err.constData();
    EXPECT_EQ(run.out, "Upload Failed! (step: connect)\n");
    EXPECT_EQ(Contents("mem.csv"), "kept\n");
}

TEST_F(ReasonsTest, AModuleAbortingTheMemoryReadIsNamedWithTheAbortCode)
{
    testsupport::SimulatedModule module(State(LogRecords(20), {{"read", QJsonArray{14}}}));

    const Outcome run = Run();

    EXPECT_TRUE(run.err.contains("Error: Upload Failed! memory file \"mem.csv\": Upload incomplete: a memory block could "
                                 "not be read. The file was left as it was and the module memory was not cleared. "
                                 "parameter 14: the module aborted the transfer: 0x06020000 object does not exist\n"))
        << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\n");
    EXPECT_EQ(module.memory(), LogRecords(20));
}

} // namespace

TEST_F(ReasonsTest, AStoredNodeIdMovesTheModuleAndTheConnectNamesWhereItAnswers)
{
    QJsonObject state = State(LogRecords(3));
    state.insert("identity", QJsonObject{{"serial_number", 0xBEE}});
    testsupport::SimulatedModule module(state);
    const auto ini = [&] {
        QFile file(module.interfaceIniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray configured = ini();
    QFile profile(Path("node9.dcf"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly) && profile.write("[DeviceComissioning]\nNodeID=9\n") > 0);
    profile.close();
    // The module keeps answering at node-ID 5 until its next start.
    const Outcome stored = Start({"/a", "/s", "/settings", "node9.dcf", "/fm", "first.csv"});
    EXPECT_TRUE(stored.out.endsWith(" Bytes Uploaded\n")) << stored.err.constData();
    ASSERT_EQ(module.setting("NodeId"), 9u);

    const Outcome moved = Run();
    EXPECT_TRUE(moved.err.contains("Error: Settings cannot be read! parameter 12: no answer from node-ID 5 within 500 ms; "
                                   "a module answers at node-ID 9\n"))
        << moved.err.constData();
    EXPECT_EQ(moved.out, "Upload Failed! (step: memory)\n");
    EXPECT_EQ(Contents("mem.csv"), "kept\n");

    for (const char* wrong : {"0", "128", "+9", "nine"}) {
        const Outcome refused = Start({"/a", "/s", "/node", wrong, "/fm", "mem.csv"});
        EXPECT_EQ(refused.out, "Upload Failed! (step: connect)\n") << wrong;
        EXPECT_TRUE(refused.err.contains(QByteArray("korvane: connect failed: /node needs a node-ID from 1 to 127, not \"")
                                         + wrong + "\"\n"))
            << refused.err.constData();
    }
    const Outcome there = Start({"/a", "/s", "/node", "9", "/fm", "mem.csv"});
    EXPECT_EQ(there.out, QByteArray::number(LogRecords(3).size()) + " Bytes Uploaded\n") << there.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\n" + AsTextFile(LogRecords(3)));
    const QList<QByteArray> record = Contents("mem.csv.uploads").split('\n');
    ASSERT_GE(record.size(), 2);
    EXPECT_EQ(record[1].split(',').value(1), "9") << record[1].constData();
    // serial_number, vendor_id, product_code, revision, as the module says them
    EXPECT_TRUE(record[1].contains(",0x00000BEE,0x00000A17,0x00004D31,0x00010000,")) << record[1].constData();
    EXPECT_EQ(ini(), configured);
}
