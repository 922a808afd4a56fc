// The built program run as a script runs it, without a display: arguments in; the upload files,
// the result line, the exit code and what the module holds afterwards out.
#include "ProgramRun.h"
#include "support/SimulatedModule.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QThread>

#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using UnattendedRunTest = ProgramRunTest;

// The lines of standard error that say why a step failed.
QByteArrayList Reasons(const Outcome& run)
{
    QByteArrayList reasons;
    for (const QByteArray& line : run.err.split('\n'))
        if (line.startsWith("korvane: ") && line.contains(" failed: "))
            reasons << line;
    return reasons;
}

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

TEST_F(UnattendedRunTest, WithNothingConfiguredTheSimulatedModuleIsNamedOnStandardError)
{
    const Outcome run = Start({"/auto", "/silent", "/fm", "mem.csv"});

    EXPECT_TRUE(run.out.endsWith(" Bytes Uploaded\n")) << run.out.constData();
    const QByteArray stateFile = qgetenv("XDG_DATA_HOME") + "/Velmora/CANopen Quillfen App/module-state.json";
    EXPECT_TRUE(run.err.contains("korvane: no interface configured: using the built-in simulated module (" + stateFile + ")\n"))
        << run.err.constData();
    EXPECT_EQ(run.err.count("korvane:"), 1) << run.err.constData();
}

TEST_F(UnattendedRunTest, AModuleFailingAfterThreeBlocksKeepsItsDataAndTheFileAsItWas)
{
    const QByteArray memory = LogRecords(40);
    testsupport::SimulatedModule module(State(memory, {{"memory_fail_after_blocks", 3}}));

    const Outcome run = Start({"/auto", "/silent", "/erase", "/config", "/fm", "mem.csv", "/fc", "cfg.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    ASSERT_EQ(Reasons(run).size(), 1) << run.err.constData();
    EXPECT_TRUE(Reasons(run)[0].startsWith("korvane: memory failed: memory file \"mem.csv\": Upload incomplete: a memory "
                                           "block could not be read.")) << run.err.constData();
    // Nothing reached the file, and the exit code says so.
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, AReadOutOfAnotherLengthThanAnnouncedIsKeptButNotErased)
{
    const QByteArray memory = LogRecords(4);
    testsupport::SimulatedModule module(State(memory, {{"readout_length", 100}}));

    EXPECT_EQ(Start({"/auto", "/silent", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Start({"/auto", "/silent", "/erase", "/fm", "mem.csv"}).out, "Upload Failed! (step: erase)\n");

    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory + memory));
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, AKilledUploadLeavesTheFileAsItWasAndTheNextOneCleansUp)
{
    const QByteArray memory = LogRecords(600);  // a read-out of a few seconds
    testsupport::SimulatedModule module(State(memory));
    const QString memoryFile = QDir(dir.path()).filePath("mem.csv");
    const QString stage = QDir(dir.path()).filePath(".mem.csv.upload");
    {
        QFile before(memoryFile);
        ASSERT_TRUE(before.open(QIODevice::WriteOnly));
        before.write("kept\r\n");
    }

    QProcess process;
    Launch(process, {"/auto", "/silent", "/erase", "/fm", "mem.csv"});
    // Killed in the middle of the read-out.
    QDeadlineTimer deadline(60000);
    while (QFileInfo(stage).size() < memory.size() / 3 && !deadline.hasExpired())
        QThread::msleep(5);
    process.kill();
    process.waitForFinished();
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n");
    EXPECT_EQ(Files(), QStringList{"mem.csv"});
    EXPECT_EQ(module.memory(), memory);

    // The next upload finds the leftover and cleans it up; here it stands for one killed while
    // it appended: the file holds a cut-off copy of the start of the leftover's data.
    {
        QFile leftover(stage);
        ASSERT_TRUE(leftover.open(QIODevice::ReadWrite));
        const QByteArray header = leftover.readLine();
        const QByteArray staged = leftover.read(1000);
        leftover.seek(15);  // its state: from "reading" to "appending"
        leftover.write("A");
        QFile cutOff(memoryFile);
        ASSERT_TRUE(cutOff.open(QIODevice::Append));
        cutOff.write(staged.left(700));
    }
    const Outcome run = Start({"/auto", "/silent", "/erase", "/fm", "mem.csv"});
    EXPECT_EQ(run.out, QByteArray::number(memory.size()) + " Bytes Uploaded\n") << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n" + AsTextFile(memory));
    EXPECT_FALSE(QFile::exists(stage));
    EXPECT_TRUE(module.memory().isEmpty());
}

TEST_F(UnattendedRunTest, ASecondUploadIntoAFileBeingWrittenFailsAtOnce)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    QFile held(QDir(dir.path()).filePath("mem.csv"));
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    held.write("kept\r\n");
    held.flush();
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(held.handle(), F_OFD_SETLK, &lock), 0);  // as an upload in another process holds it

    const Outcome run = Start({"/auto", "/silent", "/erase", "/fm", "mem.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(run.err.contains("another upload is writing it")) << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n");
    EXPECT_EQ(module.memory(), memory);

    // Whoever may only read the file cannot hold uploads up with a lock of that kind.
    held.close();
    QFile reader(QDir(dir.path()).filePath("mem.csv"));
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(reader.handle(), LOCK_EX), 0);
    EXPECT_EQ(Start({"/auto", "/silent", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
}

TEST_F(UnattendedRunTest, AModuleRefusingTheEraseIsAFailedRun)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory, {{"write", QJsonArray{13}}}));

    const Outcome run = Start({"/a", "/s", "/e", "/fm", "mem.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: erase)\n");
    EXPECT_EQ(Reasons(run), QByteArrayList{"korvane: erase failed: the module refused the erase command: parameter 13: "
                                           "the module aborted the transfer: 0x06060000 access failed due to a hardware error"});
    EXPECT_EQ(run.exitCode, memory.size()) << run.err.constData();
    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory));
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, AnEraseThatCannotBeStoredOnAFullDiskIsAFailedRunThatLosesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a tiny file system needs root (CI runs as root)";
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    // The state file's folder becomes a tiny disk, filled up; the upload files stay on a roomy one.
    const QString disk = QFileInfo(module.statePath()).absolutePath();
    ASSERT_EQ(std::system(("mount -t tmpfs -o size=64k tmpfs '" + disk + "'").toLocal8Bit().constData()), 0);
    const auto unmount = qScopeGuard([&] { std::system(("umount '" + disk + "'").toLocal8Bit().constData()); });
    module.setState(QJsonDocument(State(memory)).toJson());
    const QByteArray stateBefore = module.rawState();
    QFile filler(disk + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    filler.write(QByteArray(128 * 1024, 'x'));
    filler.close();

    const Outcome run = Start({"/auto", "/silent", "/erase", "/fm", "mem.csv"});

    EXPECT_EQ(run.out, "Upload Failed! (step: erase)\n");
    EXPECT_EQ(run.exitCode, memory.size()) << run.err.constData();
    EXPECT_EQ(Reasons(run), QByteArrayList{"korvane: erase failed: the module refused the erase command: parameter 13: "
                                           "the module aborted the transfer: 0x08000020 data cannot be transferred or stored"});
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.constData();
    EXPECT_EQ(module.rawState(), stateBefore);
    EXPECT_EQ(Contents("mem.csv"), AsTextFile(memory));
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
    ASSERT_EQ(Reasons(run).size(), 1);
    EXPECT_TRUE(Reasons(run)[0].startsWith("korvane: connect failed: Cannot Open Interface")) << run.err.constData();
    // The box's text, then the library's reason.
    EXPECT_TRUE(run.err.contains("Error: Cannot Open Interface: the simulated module does not answer (fault in "))
        << run.err.constData();
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(UnattendedRunTest, ATrailingFileOptionFailsTheMemoryStep)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    const Outcome run = Start({"/auto", "/silent", "/erase", "/fm"});
    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_EQ(Reasons(run), QByteArrayList{"korvane: memory failed: cannot open the memory file \"\": no file name given"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(UnattendedRunTest, AFileThatCannotBeOpenedIsNamedWithTheSystemsReason)
{
    testsupport::SimulatedModule module(State(LogRecords(2)));
    const Outcome memory = Start({"/a", "/s", "/fm", "/no/such/dir/m.csv"});
    EXPECT_EQ(memory.out, "Upload Failed! (step: memory)\n");
    EXPECT_EQ(Reasons(memory),
              QByteArrayList{"korvane: memory failed: cannot open the memory file \"/no/such/dir/m.csv\": No such file or directory"});

    const Outcome configuration = Start({"/a", "/s", "/c", "/fm", "m.csv", "/fc", "/no/such/dir/c.csv"});
    EXPECT_EQ(configuration.out, "Upload Failed! (step: configuration)\n");
    EXPECT_EQ(Reasons(configuration), QByteArrayList{"korvane: configuration failed: cannot open the configuration "
                                                     "file \"/no/such/dir/c.csv\": No such file or directory"});
}

TEST_F(UnattendedRunTest, TheScheduledUploadScriptKeepsTheFilesInItsFolderAndEndsWithTheToolsStatus)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    QProcessEnvironment program;
    program.insert("KORVANE", KORVANE_EXECUTABLE);

    // Without the default /erase, whose wait for the module takes five seconds.
    const Outcome done = Run(UPLOAD_SCRIPT, {Path("uploads"), "/config"}, program);
    EXPECT_EQ(done.exitCode, 0) << done.err.constData();
    EXPECT_TRUE(done.out.endsWith(" " + QByteArray::number(Record.size()) + " Bytes Uploaded\n")) << done.out.constData();
    EXPECT_EQ(QDir(Path("uploads")).entryList({"*.csv"}, QDir::Files).size(), 2);
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(module.memory(), memory);

    module.setState(QJsonDocument(State(memory, {{"open", "fail"}})).toJson());
    const Outcome failed = Run(UPLOAD_SCRIPT, {Path("uploads")}, program);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.out.isEmpty());
    EXPECT_TRUE(failed.err.contains(" Upload Failed! (step: connect)\n")) << failed.err.constData();
    EXPECT_EQ(Run(UPLOAD_SCRIPT, {Path("uploads"), "--eras"}, program).exitCode, 2);
}

TEST_F(UnattendedRunTest, BeepAndExitEndAtOnceWithoutAnyOutput)
{
    testsupport::SimulatedModule module(State("abc"));
    const Outcome run = Start({"beep", "exit"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(Files().isEmpty());
}

}  // namespace
