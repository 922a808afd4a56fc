// Uploads into folders that try to fool them: planted or stale stage files, FIFOs, links, foreign
// writers, records that cannot be extended, signals and kills between the steps. In every case
// no byte of an earlier upload is lost and the module is not erased unless its data is on disk.
#include "ProgramRun.h"
#include "support/SimulatedModule.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QThread>

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class HostileFolderTest : public ProgramRunTest
{
protected:
    // An unattended upload with erase into mem.csv.
    Outcome Upload(const QProcessEnvironment& extra = {}) { return Start({"/a", "/s", "/e", "/fm", "mem.csv"}, extra); }

    void Put(const QString& name, const QByteArray& bytes)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // mem.csv holding one recorded upload of `memory`, which the module keeps.
    QByteArray EarlierUpload(const QByteArray& memory)
    {
        EXPECT_EQ(Start({"/a", "/s", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
        return Contents("mem.csv");
    }

    // The environment that loads the fault layer with its `settings` (variables and values).
    static QProcessEnvironment Fault(std::initializer_list<std::pair<QString, QString>> settings)
    {
        QProcessEnvironment fault;
        fault.insert("LD_PRELOAD", KORVANE_SIGNAL_AT_OPEN);
        fault.insert("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        for (const auto& [name, value] : settings)
            fault.insert(name, value);
        return fault;
    }

    // The environment that gives the tool `signal` when it opens a file named ...`suffix` to write.
    static QProcessEnvironment SignalAtOpen(const char* suffix, int signal)
    {
        return Fault({{"KORVANE_SIGNAL_AT_OPEN", suffix}, {"KORVANE_SIGNAL", QString::number(signal)}});
    }

    // Waits until the running upload has staged `bytes`.
    void WaitForStage(qint64 bytes)
    {
        QDeadlineTimer deadline(60000);
        while (QFileInfo(Path(".mem.csv.upload")).size() < bytes && !deadline.hasExpired())
            QThread::msleep(5);
    }

    // An upload into the FIFO `fifo` while `reader` (a program and its arguments) reads it. The test
    // holds a read end until the reader has the FIFO open, so that the tool finds a reader at once.
    Outcome UploadReadBy(const QStringList& arguments, QProcess& reader, const QStringList& program, const QString& fifo)
    {
        const int hold = ::open(QFile::encodeName(Path(fifo)).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        EXPECT_GE(hold, 0);
        reader.setWorkingDirectory(dir.path());
        reader.start(program.front(), program.mid(1));
        EXPECT_TRUE(reader.waitForStarted());
        QProcess upload;
        Launch(upload, arguments);
        const QByteArray target = QFile::encodeName(QFileInfo(Path(fifo)).canonicalFilePath());
        const QByteArray fds = "/proc/" + QByteArray::number(reader.processId()) + "/fd/";
        bool opened = false;
        // A reader that has ended already had it open.
        for (QDeadlineTimer deadline(30000); !opened && !deadline.hasExpired(); QThread::msleep(5)) {
            opened = reader.waitForFinished(0) || reader.state() == QProcess::NotRunning;
            for (int fd = 0; fd < 16 && !opened; ++fd) {
                char link[4096];
                const ssize_t length = ::readlink(fds + QByteArray::number(fd), link, sizeof link);
                opened = length > 0 && QByteArray(link, length) == target;
            }
        }
        EXPECT_TRUE(opened) << "the reader did not open the FIFO";
        ::close(hold);
        const Outcome run = Finish(upload);
        reader.waitForFinished();
        return run;
    }

    static bool Failed(const Outcome& run) { return run.out == "Upload Failed! (step: memory)\n"; }

    const QByteArray memory = LogRecords(20);
};

TEST_F(HostileFolderTest, APlantedOrStaleStageFileNeverCutsEarlierUploadsAway)
{
    testsupport::SimulatedModule module(State(memory));
    const QByteArray earlier = EarlierUpload(memory);
    Put(".mem.csv.upload", "korvane upload A 00000000000000000000\n");

    const Outcome planted = Upload();
    EXPECT_TRUE(Failed(planted)) << planted.err.constData();
    EXPECT_TRUE(planted.err.contains("does not match the end of the memory file; it was kept as")) << planted.err.constData();
    EXPECT_EQ(Contents("mem.csv"), earlier);
    EXPECT_EQ(module.memory(), memory);
    // Set aside, it holds up no later upload; the file then verifies whole.
    EXPECT_EQ(QDir(dir.path()).entryList({".mem.csv.upload-kept-*"}, QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(Upload().out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Contents("mem.csv"), earlier + AsTextFile(memory));
    EXPECT_EQ(Start({"--verify", "mem.csv"}).exitCode, 0);
}

TEST_F(HostileFolderTest, AForeignEntryAtTheStageNameStopsTheUploadBeforeTheReadOut)
{
    testsupport::SimulatedModule module(State(memory));
    Put("mem.csv", "kept\r\n");
    const QString stage = Path(".mem.csv.upload");
    const auto plant = [&](const char* kind) {
        QDir(dir.path()).rmdir(".mem.csv.upload");
        QFile::remove(stage);
        if (qstrcmp(kind, "folder") == 0)
            return QDir(dir.path()).mkdir(".mem.csv.upload");
        if (qstrcmp(kind, "link") == 0)
            return QFile::link(Path("elsewhere"), stage);
        if (qstrcmp(kind, "fifo") == 0)  // opening one must not wait for a writer
            return ::mkfifo(QFile::encodeName(stage).constData(), 0600) == 0;
        Put(".mem.csv.upload", "somebody's notes\n");
        return true;
    };
    for (const char* kind : {"folder", "link", "fifo", "garbage"}) {
        ASSERT_TRUE(plant(kind)) << kind;
        const Outcome run = Upload();
        EXPECT_TRUE(Failed(run)) << kind << run.err.constData();
        EXPECT_TRUE(run.err.contains(".mem.csv.upload")) << kind << run.err.constData();
        EXPECT_EQ(Contents("mem.csv"), "kept\r\n") << kind;
        EXPECT_EQ(module.memory(), memory) << kind;
    }

    // No name left for the stage and the record: refused, never written unstaged.
    const QByteArray longName = QByteArray(250, 'm');
    const Outcome tooLong = Start({"/a", "/s", "/e", "/fm", longName});
    EXPECT_EQ(tooLong.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(tooLong.err.contains("name too long")) << tooLong.err.constData();
    EXPECT_FALSE(QFile::exists(Path(longName)));
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(HostileFolderTest, APipeGetsTheDataButTheModuleIsNeverErasedAfterIt)
{
    const QByteArray large = LogRecords(1500);  // more than a pipe holds
    testsupport::SimulatedModule module(State(large));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("mem.fifo")).constData(), 0600), 0);
    const QStringList arguments{"/a", "/s", "/e", "/fm", "mem.fifo"};

    const Outcome unread = Start(arguments);
    EXPECT_EQ(unread.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(unread.err.contains("no program is reading the pipe")) << unread.err.constData();

    QProcess reader;
    const Outcome read = UploadReadBy(arguments, reader, {"cat", "mem.fifo"}, "mem.fifo");
    EXPECT_EQ(read.out, "Upload Failed! (step: erase)\n");
    EXPECT_TRUE(read.err.contains("erase failed: the data went to a pipe, not to a disk")) << read.err.constData();
    EXPECT_EQ(reader.readAllStandardOutput(), AsTextFile(large));

    const Outcome stopped = UploadReadBy(arguments, reader, {"head", "-c", "100", "mem.fifo"}, "mem.fifo");
    EXPECT_EQ(stopped.out, "Upload Failed! (step: memory)\n") << stopped.err.constData();
    EXPECT_EQ(module.memory(), large);
}

TEST_F(HostileFolderTest, AKillBeforeTheRecordLineLeavesNoUnrecordedCopyForTheNextUploadToDuplicate)
{
    testsupport::SimulatedModule module(State(memory));
    Put("mem.csv", "kept\r\n");

    // Killed once the record line is synced, before the stage goes: the upload stands as recorded.
    const Outcome recorded =
        Start({"/a", "/s", "/fm", "mem.csv"},
              Fault({{"KORVANE_SIGNAL_AT_UNLINK", ".mem.csv.upload"}, {"KORVANE_SIGNAL", QString::number(SIGKILL)}}));
    EXPECT_EQ(recorded.exitCode, -1);
    const Outcome verifyRecorded = Start({"--verify", "mem.csv"});
    EXPECT_EQ(verifyRecorded.exitCode, 0) << verifyRecorded.out.constData();

    const Outcome killed = Upload(SignalAtOpen("mem.csv.uploads", SIGKILL));
    EXPECT_EQ(killed.exitCode, -1);
    EXPECT_EQ(module.memory(), memory);

    EXPECT_EQ(Upload().out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n" + AsTextFile(memory) + AsTextFile(memory));
    const Outcome verify = Start({"--verify", "mem.csv"});
    EXPECT_EQ(verify.exitCode, 0) << verify.out.constData();
}

TEST_F(HostileFolderTest, AnotherProgramsAppendDuringTheCommitIsNeverOverwrittenNorLeftUnaccounted)
{
    testsupport::SimulatedModule module(State(memory));
    const QByteArray earlier = EarlierUpload(memory);
    const QByteArray record = Contents("mem.csv.uploads");
    const QByteArray line = "another program's line\r\n";
    const auto appendAt = [&](const char* moment) {
        return Fault({{"KORVANE_APPEND_TO", "/mem.csv"}, {"KORVANE_APPEND_AT", moment}, {"KORVANE_APPEND", line}});
    };

    // Its line comes just before the upload's bytes: they land after it and are taken back off.
    const Outcome before = Upload(appendAt("write"));
    EXPECT_TRUE(Failed(before)) << before.err.constData();
    EXPECT_TRUE(before.err.contains("another program wrote to the memory file during the upload")) << before.err.constData();
    EXPECT_EQ(Contents("mem.csv"), earlier + line);

    // Just after them: they cannot be taken back from under the line, so their stage stays beside.
    const Outcome after = Upload(appendAt("fsync"));
    EXPECT_TRUE(Failed(after)) << after.err.constData();
    EXPECT_EQ(Contents("mem.csv"), earlier + line + AsTextFile(memory) + line);
    EXPECT_EQ(QDir(dir.path()).entryList({".mem.csv.upload-kept-*"}, QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(Contents("mem.csv.uploads"), record);
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(HostileFolderTest, TheRecordAndTheMemoryFileAreNeverReachedThroughAnotherUsersLink)
{
    testsupport::SimulatedModule module(State(memory));
    Put("victim", "someone else's file\n");
    ASSERT_TRUE(QFile::link(Path("victim"), Path("mem.csv.uploads")));
    EXPECT_TRUE(Failed(Upload()));
    EXPECT_EQ(Contents("victim"), "someone else's file\n");
    EXPECT_EQ(module.memory(), memory);

    if (::geteuid() != 0)
        GTEST_SKIP() << "a link of another user in a shared folder needs root to make";
    ASSERT_TRUE(QDir(dir.path()).mkdir("shared"));
    ::chmod(QFile::encodeName(Path("shared")).constData(), 01777);
    ASSERT_TRUE(QFile::link(Path("victim"), Path("shared/mem.csv")));
    ASSERT_EQ(::lchown(QFile::encodeName(Path("shared/mem.csv")).constData(), 65534, 65534), 0);
    const Outcome run = Start({"/a", "/s", "/e", "/fm", "shared/mem.csv"});
    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(run.err.contains("symbolic link of another user")) << run.err.constData();
    EXPECT_EQ(Contents("victim"), "someone else's file\n");
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(HostileFolderTest, ARecordIsExtendedOnlyWhenItIsSoundAndBelongsToTheMemoryFile)
{
    testsupport::SimulatedModule module(State(memory));
    const QByteArray earlier = EarlierUpload(memory);
    const QByteArray record = Contents("mem.csv.uploads");

    // Only the final line feed lost: it is put back, and the record keeps verifying.
    Put("mem.csv.uploads", record.chopped(1));
    EXPECT_EQ(Start({"/a", "/s", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Start({"--verify", "mem.csv"}).exitCode, 0);

    Put("mem.csv.uploads", "garbage\n");
    EXPECT_TRUE(Failed(Upload()));
    EXPECT_EQ(module.memory(), memory);

    // The memory file rotated away, its record left behind.
    Put("mem.csv.uploads", record);
    ASSERT_TRUE(QFile::rename(Path("mem.csv"), Path("mem.csv.1")));
    const Outcome rotated = Upload();
    EXPECT_TRUE(Failed(rotated));
    EXPECT_TRUE(rotated.err.contains("does not hold the last upload of its record")) << rotated.err.constData();
    EXPECT_FALSE(QFile::exists(Path("mem.csv")));
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(HostileFolderTest, BytesAnotherProgramAppendsDuringTheReadOutAreKept)
{
    const QByteArray large = LogRecords(300);
    testsupport::SimulatedModule module(State(large));
    Put("mem.csv", "kept\r\n");
    QProcess upload;
    Launch(upload, {"/a", "/s", "/fm", "mem.csv"});
    WaitForStage(1000);
    {
        QFile other(Path("mem.csv"));
        ASSERT_TRUE(other.open(QIODevice::Append));
        other.write("another program's line\r\n");
    }
    EXPECT_EQ(Finish(upload).out, QByteArray::number(large.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(Contents("mem.csv"), "kept\r\nanother program's line\r\n" + AsTextFile(large));
}

TEST_F(HostileFolderTest, TerminatingAnUploadBlockedInAFullPipeEndsItWithItsResult)
{
    const QByteArray large = LogRecords(1500);
    testsupport::SimulatedModule module(State(large));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("mem.fifo")).constData(), 0600), 0);
    // A reader that never reads: the pipe fills and the tool's write blocks.
    const int reader = ::open(QFile::encodeName(Path("mem.fifo")).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    QProcess upload;
    Launch(upload, {"/a", "/s", "/e", "/fm", "mem.fifo"});
    // Full once the bytes in the pipe stop growing.
    int queued = 0, before = -1;
    QDeadlineTimer deadline(60000);
    while ((queued < 32768 || queued != before) && !deadline.hasExpired()) {
        before = queued;
        QThread::msleep(300);
        ::ioctl(reader, FIONREAD, &queued);
    }
    ::kill(pid_t(upload.processId()), SIGTERM);
    const Outcome run = Finish(upload);
    ::close(reader);

    EXPECT_EQ(upload.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(run.err.contains("(interrupted by SIGTERM)")) << run.err.constData();
    EXPECT_EQ(module.memory(), large);
}

TEST_F(HostileFolderTest, ASignalAlwaysGivesTheResultLineAndARecordedUploadCounts)
{
    const QByteArray large = LogRecords(300);
    testsupport::SimulatedModule module(State(large));
    Put("mem.csv", "kept\r\n");
    QProcess upload;
    Launch(upload, {"/a", "/s", "/e", "/fm", "mem.csv"});
    WaitForStage(1000);
    ::kill(pid_t(upload.processId()), SIGTERM);
    const Outcome reading = Finish(upload);
    EXPECT_EQ(reading.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(reading.err.contains("korvane: memory failed: memory file \"mem.csv\": Upload cancelled")) << reading.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n");

    // A signal while the upload is recorded: the commit completes and is reported, nothing is erased.
    const Outcome committing = Upload(SignalAtOpen("mem.csv.uploads", SIGINT));
    EXPECT_EQ(committing.out, QByteArray::number(large.size()) + " Bytes Uploaded\n");
    EXPECT_TRUE(committing.err.contains("interrupted by SIGINT after the memory step")) << committing.err.constData();
    EXPECT_EQ(Contents("mem.csv"), "kept\r\n" + AsTextFile(large));
    EXPECT_EQ(module.memory(), large);
    EXPECT_EQ(Start({"--verify", "mem.csv"}).exitCode, 0);
}

TEST_F(HostileFolderTest, AKilledUploadIntoANewFileLeavesNothingForTheNextRunToFind)
{
    const QByteArray large = LogRecords(300);
    testsupport::SimulatedModule module(State(large));
    Put("mine-empty.csv", "");
    QProcess upload;
    Launch(upload, {"/a", "/s", "/fm", "mem.csv"});
    WaitForStage(1000);
    upload.kill();
    upload.waitForFinished();
    ASSERT_TRUE(QFile::exists(Path("mem.csv")));
    // Killed before the stage of a new file is made: the file never had its name.
    EXPECT_EQ(Start({"/a", "/s", "/fm", "new.csv"}, SignalAtOpen(".new.csv.upload", SIGKILL)).exitCode, -1);

    EXPECT_EQ(Start({"/a", "/s", "/fm", "other.csv"}).out, QByteArray::number(large.size()) + " Bytes Uploaded\n");
    EXPECT_EQ(QDir(dir.path()).entryList({"*.csv*", ".*.upload*"}, QDir::Files | QDir::Hidden),
              (QStringList{"mine-empty.csv", "other.csv", "other.csv.uploads"}));
}

TEST_F(HostileFolderTest, VerifyWaitsForAnUploadAndRefusesRecordsOutOfRange)
{
    testsupport::SimulatedModule module(State(memory));
    EarlierUpload(memory);
    const QByteArray record = Contents("mem.csv.uploads");

    QFile held(Path("mem.csv"));
    ASSERT_TRUE(held.open(QIODevice::ReadWrite));
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(held.handle(), F_OFD_SETLK, &lock), 0);  // as an upload holds it
    QProcess verify;
    Launch(verify, {"--verify", "mem.csv"});
    verify.setReadChannel(QProcess::StandardError);
    ASSERT_TRUE(verify.waitForReadyRead(30000));
    held.close();
    const Outcome waited = Finish(verify);
    EXPECT_TRUE(waited.err.contains("waiting for the upload into it to end")) << waited.err.constData();
    EXPECT_EQ(waited.exitCode, 0) << waited.out.constData();

    const QByteArray line = record.sliced(record.indexOf('\n') + 1);
    const QByteArray header = record.left(record.indexOf('\n') + 1);
    for (const auto& [from, to] : {std::pair{",5,0,", ",0,0,"}, std::pair{",5,0,", ",5,7,"}}) {
        Put("mem.csv.uploads", header + QByteArray(line).replace(from, to));
        EXPECT_EQ(Start({"--verify", "mem.csv"}).exitCode, 2) << to;
    }
    QFile large(Path("mem.csv.uploads"));
    ASSERT_TRUE(large.open(QIODevice::ReadWrite));
    ASSERT_TRUE(large.resize(65 << 20));  // sparse
    const Outcome tooLarge = Start({"--verify", "mem.csv"});
    EXPECT_EQ(tooLarge.exitCode, 2);
    EXPECT_TRUE(tooLarge.err.contains("is larger than 64 MiB")) << tooLarge.err.constData();
}

TEST_F(HostileFolderTest, ARootRunKeepsTheOwnerAndGroupOfTheFilesItReplaces)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to make";
    testsupport::SimulatedModule module(State(memory));
    for (const QString& file : {module.statePath(), module.interfaceIniPath()})
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 65534, 65534), 0) << file.toStdString();
    Put("p.dcf", "[2005]\nParameterValue=40\n");
    const Outcome run = Start({"/a", "/s", "/settings", "p.dcf", "/fm", "mem.csv"});
    EXPECT_EQ(run.out, QByteArray::number(memory.size()) + " Bytes Uploaded\n") << run.err.constData();
    EXPECT_EQ(module.setting("FixedLength"), 40u);
    for (const QString& file : {module.statePath(), module.interfaceIniPath()}) {
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u) << file.toStdString();
        EXPECT_EQ(status.st_gid, 65534u) << file.toStdString();
    }
}

}  // namespace
