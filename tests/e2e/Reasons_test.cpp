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

    const QByteArray reason = "the saved interface configuration could not be read: " + module.interfaceIniPath().toUtf8()
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
