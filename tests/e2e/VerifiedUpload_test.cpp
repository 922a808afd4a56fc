// Uploads read back before the module is erased, and checked against their record later with
// "korvane --verify FILE".
#include "ProgramRun.h"
#include "support/SimulatedModule.h"

#include <QJsonArray>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class VerifiedUploadTest : public ProgramRunTest
{
protected:
    Outcome Verify() { return Start({"--verify", "mem.csv"}); }

    void Put(const QString& name, const QByteArray& bytes)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
};

TEST_F(VerifiedUploadTest, TwoCleanUploadsVerifyAndEveryDamageIsReported)
{
    const QByteArray memory = LogRecords(30);
    testsupport::SimulatedModule module(State(memory));
    for (int upload = 0; upload < 2; ++upload)
        ASSERT_EQ(Start({"/a", "/s", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    const QByteArray stored = Contents("mem.csv");
    ASSERT_EQ(stored, AsTextFile(memory + memory));
    const QByteArray record = Contents("mem.csv.uploads");
    EXPECT_EQ(record.count('\n'), 3) << record.constData();

    const Outcome clean = Verify();
    EXPECT_EQ(clean.exitCode, 0) << clean.out.constData() << clean.err.constData();
    const QByteArray length = QByteArray::number(stored.size() / 2);
    EXPECT_TRUE(clean.out.contains(": " + length + " bytes from byte 0: ok\n")) << clean.out.constData();
    EXPECT_TRUE(clean.out.contains(": " + length + " bytes from byte " + length + ": ok\n")) << clean.out.constData();
    EXPECT_TRUE(clean.out.endsWith("mem.csv: 2 uploads recorded, 2 ok, 0 differ\n")) << clean.out.constData();

    QByteArray changed = stored;
    changed[changed.size() - 10] = '#';
    Put("mem.csv", changed);
    const Outcome changedByte = Verify();
    EXPECT_EQ(changedByte.exitCode, 1);
    EXPECT_TRUE(changedByte.out.contains("from byte 0: ok\n")) << changedByte.out.constData();
    EXPECT_TRUE(changedByte.out.contains("differs: its bytes do not have the recorded SHA-256")) << changedByte.out.constData();

    Put("mem.csv", stored.left(stored.size() - 1));
    const Outcome truncated = Verify();
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_TRUE(truncated.out.contains("differs: the file ends at byte " + QByteArray::number(stored.size() - 1)
                                       + ", inside this upload"))
        << truncated.out.constData();

    Put("mem.csv", stored + "a stray line\r\n");
    const Outcome stray = Verify();
    EXPECT_EQ(stray.exitCode, 1);
    EXPECT_TRUE(stray.out.contains("(14 bytes) belong to no recorded upload")) << stray.out.constData();

    Put("mem.csv", stored);
    QByteArrayList lines = record.split('\n');
    QByteArrayList fields = lines[2].split(',');
    fields[5][0] = 'x';  // the SHA-256 of the second upload
    lines[2] = fields.join(',');
    const QByteArray damaged = lines.join('\n');
    Put("mem.csv.uploads", damaged);
    const Outcome badRecord = Verify();
    EXPECT_EQ(badRecord.exitCode, 2);
    EXPECT_TRUE(badRecord.out.isEmpty());
    EXPECT_TRUE(badRecord.err.contains("mem.csv.uploads, line 3: the SHA-256")) << badRecord.err.constData();

    QFile::remove(Path("mem.csv.uploads"));
    const Outcome missing = Verify();
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("mem.csv.uploads does not exist")) << missing.err.constData();
    EXPECT_EQ(Start({"--verify"}).exitCode, 2);
    // Verifying never touched the module.
    EXPECT_EQ(module.memory(), memory);
}

TEST_F(VerifiedUploadTest, AnUploadThatDoesNotReadBackAsSentIsNeitherRecordedNorErased)
{
    const QByteArray memory = LogRecords(30);
    testsupport::SimulatedModule module(State(memory));
    Put("mem.csv", "an earlier upload\r\n");
    QProcessEnvironment changeOnDisk;
    changeOnDisk.insert("LD_PRELOAD", KORVANE_CHANGE_BEFORE_READ_BACK);
    // The preloaded layer comes before a sanitizer's runtime.
    changeOnDisk.insert("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0");

    const Outcome run = Start({"/a", "/s", "/e", "/fm", "mem.csv"}, changeOnDisk);

    EXPECT_EQ(run.out, "Upload Failed! (step: memory)\n");
    EXPECT_TRUE(run.err.contains("the file does not hold what the module sent")) << run.err.constData();
    EXPECT_EQ(module.memory(), memory);
    EXPECT_EQ(Contents("mem.csv"), "an earlier upload\r\n");
    EXPECT_EQ(Contents("mem.csv.uploads"), "<missing>");
}

TEST_F(VerifiedUploadTest, AMemoryFileThatIsNoRegularFileGetsNoRecord)
{
    const QByteArray memory = LogRecords(2);
    testsupport::SimulatedModule module(State(memory));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("mem.fifo")).constData(), 0600), 0);
    // A reader keeps the FIFO open; the pipe takes the few bytes without being drained.
    const int reader = ::open(QFile::encodeName(Path("mem.fifo")).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    const Outcome run = Start({"/a", "/s", "/fm", "mem.fifo"});
    ::close(reader);

    EXPECT_EQ(run.out, QByteArray::number(memory.size()) + " Bytes Uploaded\n") << run.err.constData();
    EXPECT_FALSE(QFile::exists(Path("mem.fifo.uploads")));

    // Verifying one never waits for a writer to open it.
    Put("mem.fifo.uploads", "utc_time,node_id,device_mode,offset,length,sha256\n2026-03-05T08:10:00Z,5,0,0,0,"
                            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n");
    const Outcome verify = Start({"--verify", "mem.fifo"});
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_TRUE(verify.out.contains("differs: the file cannot be read: not a regular file")) << verify.out.constData();
}

}  // namespace

namespace {

// A module whose settings cannot be read still uploads; its record names the node the upload
// came from and leaves the record format unknown, and stays one that verifies and takes more.
TEST_F(VerifiedUploadTest, AnUploadAfterAFailedSettingsReadKeepsItsRecordSound)
{
    const QByteArray memory = LogRecords(10);
    testsupport::SimulatedModule module(State(memory, {{"read", QJsonArray{18}}}));
    for (int upload = 0; upload < 2; ++upload)
        ASSERT_EQ(Start({"/a", "/s", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    const QByteArrayList line = Contents("mem.csv.uploads").split('\n').value(2).split(',');
    EXPECT_EQ(line.value(1), "5");
    EXPECT_EQ(line.value(10), "") << "memory_mode";
    EXPECT_EQ(Verify().exitCode, 0);
}

TEST_F(VerifiedUploadTest, RecordsGivesEachLoggedFrameWithItsTimeAlsoFromAnEarlierRecord)
{
    const QByteArray memory = LogRecords(30);
    testsupport::SimulatedModule module(State(memory));
    for (int upload = 0; upload < 2; ++upload)
        ASSERT_EQ(Start({"/a", "/s", "/fm", "mem.csv"}).out, QByteArray::number(memory.size()) + " Bytes Uploaded\n");
    QProcessEnvironment berlin;
    berlin.insert("TZ", "CET-1");
    const auto rows = [&](const QStringList& options, int exitCode) {
        const Outcome run = Start(QStringList{"--records", "mem.csv"} + options, berlin);
        EXPECT_EQ(run.exitCode, exitCode) << run.err.constData();
        return run.out.split('\n');
    };

    const QByteArrayList local = rows({}, 0);
    ASSERT_EQ(local.size(), 62);  // the header, 30 records of each upload, the end
    EXPECT_EQ(local[0], "upload,record,time,text");
    EXPECT_EQ(local[1], "1,1,2026-03-05T08:10:00+01:00,\"181,8,20 03 00 00 00 00 10 27\"");
    EXPECT_EQ(local[60], "2,30,2026-03-05T08:39:00+01:00,\"181,8,20 03 00 00 00 00 10 27\"");
    EXPECT_EQ(rows({"--utc"}, 0)[1], "1,1,2026-03-05T07:10:00Z,\"181,8,20 03 00 00 00 00 10 27\"");

    // A record of the earlier version, with its six columns only: the form of the stamps is found.
    QByteArrayList record = Contents("mem.csv.uploads").split('\n');
    for (QByteArray& line : record)
        line = line.split(',').mid(0, 6).join(',');
    Put("mem.csv.uploads", record.join('\n'));
    EXPECT_EQ(Verify().exitCode, 0);
    EXPECT_EQ(rows({}, 0), local);

    // A changed upload is said, and its records are still there.
    QByteArray changed = Contents("mem.csv");
    changed[changed.size() - 3] = '#';
    Put("mem.csv", changed);
    const QByteArrayList damaged = rows({}, 1);
    EXPECT_EQ(damaged.size(), 62);
    EXPECT_EQ(Start({"--records", "missing.csv"}).exitCode, 2);
}

}  // namespace
