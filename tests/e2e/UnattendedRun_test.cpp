// The built program run as a script runs it, without a display: arguments in; the upload files,
// the result line, the exit code and what the module holds afterwards out.
#include "support/SimulatedModule.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray LogRecords(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += "03/05/2026 08:" + QByteArray::number(10 + i % 50) + ":00,181,8,20 03 00 00 00 00 10 27\n";
    return records;
}

QByteArray AsTextFile(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n");
}

const QByteArray Record = "Korvane configuration\nNodeId=5\nBaud=250000\n";

QJsonObject State(const QByteArray& memory, const QJsonObject& faults = {})
{
    QJsonObject state{{"memory_hex", QString::fromLatin1(memory.toHex())},
                      {"configuration", QString::fromLatin1(Record)}};
    if (!faults.isEmpty())
        state.insert("faults", faults);
    return state;
}

class UnattendedRunTest : public ::testing::Test
{
protected:
    // Runs the program in the test's folder with no display and no platform chosen.
    Outcome Start(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(KORVANE_EXECUTABLE), arguments);
        // Generous: a run that hangs fails here instead of holding up the suite for ever.
        EXPECT_TRUE(process.waitForFinished(120000)) << "the program did not end by itself";
        Outcome run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    QByteArray Contents(const QString& name) const
    {
        QFile file(QDir(dir.path()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList Files() const { return QDir(dir.path()).entryList({"*.csv", "*.CSV"}, QDir::Files); }

    QTemporaryDir dir;
};

TEST_F(UnattendedRunTest, AFullSilentRunLeavesBothFilesAndAnEmptyModule)
{
    const QByteArray memory = LogRecords(40);
    testsupport::SimulatedModule module(State(memory));

    const Outcome run = Start({"/auto", "/silent", "/erase", "/config", "/fm", "mem.csv", "/fc", "cfg.csv"});

    EXPECT_EQ(run.out, QByteArray::number(Record.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(run.exitCode, Record.size()) << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory));
    EXPECT_EQ(Contents("cfg.csv"), AsTextFile(Record));
    EXPECT_TRUE(module.memory().isEmpty());
}

TEST_F(UnattendedRunTest, AModuleFailingAfterThreeBlocksKeepsItsDataAndTheFileWhatWasRead)
{
    const QByteArray memory = LogRecords(40);
    testsupport::SimulatedModule module(State(memory, {{"memory_fail_after_blocks", 3}}));

    const Outcome run = Start({"/auto", "/silent", "/erase", "/config", "/fm", "mem.csv", "/fc", "cfg.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    // The count at the failure, 765, capped for the exit code.
    EXPECT_EQ(run.exitCode, 254) << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory.left(765)));
    EXPECT_EQ(Files(), QStringList{"mem.csv"});
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, AModuleRefusingTheEraseIsAFailedRun)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory, {{"write", QJsonArray{13}}}));

    const Outcome run = Start({"/a", "/s", "/e", "/fm", "mem.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: erase)\n");
    EXPECT_EQ(run.exitCode, memory.size()) << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory));
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, WithoutSilentTheMessagesGoToStandardErrorAndTheDefaultNamesAreUsed)
{
    const QByteArray memory = LogRecords(3);
    ASSERT_LT(memory.size(), 254);
    testsupport::SimulatedModule module(State(memory));

    const Outcome run = Start({"/AUTO"});

    const QByteArray count = QByteArray::number(memory.size());
    EXPECT_EQ(run.out, count + " Bytes Uploaded\n");
    EXPECT_TRUE(run.err.contains("Success: " + count + " Bytes Uploaded\n")) << run.err.constData();
    EXPECT_EQ(run.exitCode, memory.size()) << run.err.constData();
    const QString dated = QDate::currentDate().toString("yyyy_MM_dd");
    // The default name follows the module's device mode.
    const QString name = (module.setting("DeviceMode") == 1 ? "FaultLog_" : "MemFile_") + dated + ".csv";
    EXPECT_EQ(Contents(name), AsTextFile(memory));
    EXPECT_EQ(Files(), QStringList{name});
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, ACountAbove254IsCappedInTheExitCodeButNotInTheResultLine)
{
    const QByteArray memory = LogRecords(30);
    testsupport::SimulatedModule module(State(memory));
    const Outcome run = Start({"/a", "/s", "/FM", "Upload.CSV"});
    EXPECT_EQ(run.out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(run.exitCode, 254) << run.err.constData();
    EXPECT_EQ(Contents("Upload.CSV"), AsTextFile(memory));
}

TEST_F(UnattendedRunTest, AFailedConnectIsSaidAndEndsTheRun)
{
    testsupport::SimulatedModule module(QJsonObject{{"faults", QJsonObject{{"open", "fail"}}}});
    const Outcome run = Start({"/auto", "/silent", "/fm", "mem.csv"});
    EXPECT_EQ(run.out, "Upload Failed! (step: connect)\n");
    EXPECT_TRUE(run.err.contains("Error: Cannot Open Interface\n")) << run.err.constData();
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(UnattendedRunTest, ATrailingFileOptionFailsTheMemoryStep)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    const Outcome run = Start({"/auto", "/silent", "/erase", "/fm"});
    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, BeepAndExitEndAtOnceWithoutAnyOutput)
{
    testsupport::SimulatedModule module(State("abc"));
    const Outcome run = Start({"beep", "exit"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(UnattendedRunTest, WithoutDisplayOrAutomaticRunTheProgramSaysSoAndEnds)
{
    testsupport::SimulatedModule module(State("abc"));
    for (const QStringList& arguments : {QStringList{}, QStringList{"/silent"}}) {
        const Outcome run = Start(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("Error: No display")) << run.err.constData();
    }
    EXPECT_EQ(module.memory(), "abc");
}

}  // namespace
