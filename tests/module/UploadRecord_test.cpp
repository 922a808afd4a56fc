// The upload record beside a memory file and the read-back of an upload from the disk.
#include "module/UploadReadBack.h"
#include "module/UploadRecord.h"
#include "module/MemoryRecords.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>

#include <sys/stat.h>

namespace {

class UploadRecordTest : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }

    // The memory file the record belongs to, open as an upload holds it.
    int Memory(const QString& name)
    {
        memory_.setFileName(name);
        EXPECT_TRUE(memory_.open(QIODevice::ReadWrite));
        return memory_.handle();
    }

    static UploadRecordEntry Entry(qint64 offset, const QByteArray& bytes)
    {
        UploadRecordEntry entry;
        entry.time = QDateTime(QDate(2026, 3, 5), QTime(8, 10), Qt::UTC);
        entry.nodeId = 5;
        entry.deviceMode = 1;
        entry.offset = offset;
        entry.length = bytes.size();
        entry.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        return entry;
    }

    QTemporaryDir dir;
    QFile memory_;
};

TEST_F(UploadRecordTest, EachUploadAddsOneLineThatReadsBackAsWritten)
{
    const QString memory = Path("mem.csv");
    const int fd = Memory(memory);
    std::vector<UploadRecordEntry> entries{Entry(0, "first\r\n"), Entry(7, ""), Entry(7, "second")};
    entries[2].serialNumber = 0xDEADBEEF;
    entries[2].revision = 0x10002;
    entries[2].format = {1, 10, 0, 0, 1, 2};
    entries[2].configHeadLength = 44;
    entries[2].clockOffsetSeconds = -2.4;
    for (const UploadRecordEntry& entry : entries)
        ASSERT_TRUE(AppendUploadRecord(memory, fd, entry));

    QString error;
    EXPECT_EQ(ReadUploadRecord(memory, error), entries) << error.toStdString();
    QFile record(UploadRecordName(memory));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    // A header, then one line per upload.
    const QByteArray text = record.readAll();
    EXPECT_EQ(text.count('\n'), 4);
    EXPECT_TRUE(text.endsWith(",0xDEADBEEF,,,0x00010002,1,10,0,0,1,2,44,-2.400\n")) << text.constData();
}

TEST_F(UploadRecordTest, ARecordOfAnEarlierVersionKeepsItsColumnsAndUnknownColumnsAreIgnored)
{
    const QString memory = Path("mem.csv");
    const int fd = Memory(memory);
    QFile record(UploadRecordName(memory));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("utc_time,node_id,note,device_mode,offset,length,sha256\n"
                 "2026-03-05T08:10:00Z,5,kept,1,0,0,e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n");
    record.close();
    UploadRecordEntry later = Entry(0, "");
    later.serialNumber = 7;
    ASSERT_TRUE(AppendUploadRecord(memory, fd, later));

    QString error;
    const auto entries = ReadUploadRecord(memory, error);
    ASSERT_TRUE(entries) << error.toStdString();
    later.serialNumber.reset();  // the record has no column for it
    EXPECT_EQ(*entries, (std::vector<UploadRecordEntry>{Entry(0, ""), later}));

    ASSERT_TRUE(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
    record.write("utc_time,node_id,device_mode,offset,length\n");
    record.close();
    EXPECT_FALSE(ReadUploadRecord(memory, error));
    EXPECT_TRUE(error.contains("the column sha256 is missing")) << error.toStdString();
}

TEST_F(UploadRecordTest, ARecordThatCannotBeWrittenFailsAndIsNeverAFifoOrFolder)
{
    const QString memory = Path("mem.csv");
    const int fd = Memory(memory);
    ASSERT_EQ(::mkfifo(QFile::encodeName(UploadRecordName(memory)).constData(), 0600), 0);
    EXPECT_FALSE(AppendUploadRecord(memory, fd, Entry(0, "x")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("other.csv.uploads"));
    EXPECT_FALSE(AppendUploadRecord(Path("other.csv"), fd, Entry(0, "x")));
    EXPECT_FALSE(AppendUploadRecord(Path("missing/mem.csv"), fd, Entry(0, "x")));
    QString error;
    EXPECT_FALSE(ReadUploadRecord(Path("missing/mem.csv"), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(UploadRecordTest, ReadBackSeesEveryByteThatChangedOnTheDisk)
{
    const QString name = Path("mem.csv");
    QByteArray bytes(100000, 'a');
    bytes[99999] = 'b';
    const QByteArray head = "earlier upload\r\n";
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(head + bytes);
    file.close();
    const UploadRecordEntry upload = Entry(head.size(), bytes);
    const int fd = Memory(name);

    EXPECT_TRUE(ReadBackMatches(fd, upload.offset, upload.length, upload.sha256));
    EXPECT_FALSE(ReadBackMatches(fd, upload.offset, upload.length + 1, upload.sha256));
    EXPECT_FALSE(ReadBackMatches(-1, upload.offset, upload.length, upload.sha256));

    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(upload.offset + 99999);
    file.write("a");
    file.close();
    EXPECT_FALSE(ReadBackMatches(fd, upload.offset, upload.length, upload.sha256));
}

}  // namespace

namespace {

// Every stamp form the module can be set to, and a fixed-length memory, read back as logged.
TEST(MemoryRecordsTest, EachStampFormAndAFixedLengthMemoryParse)
{
    const QDateTime logged(QDate(2026, 3, 5), QTime(8, 10, 7));
    const std::array<const char*, 12> stamps{"2026/03/05 08:10:07", "03/05/2026 08:10:07", "20260305 081007",
                                             "03052026 081007",     "20260305081007",      "03052026081007",
                                             "08:10:07 2026/03/05", "08:10:07 03/05/2026", "081007 20260305",
                                             "081007 03052026",     "08100720260305",      "08100703052026"};
    for (int form = 1; form <= 12; ++form) {
        const QByteArray record = QByteArray(stamps[size_t(form - 1)]) + ",0x181,8,AB";
        RecordFormat format{0, 10, int(record.size()), 0, 0, form};
        const auto records = CutRecords(record + record + "tail", format, 0);
        ASSERT_EQ(records.size(), 3u) << form;
        EXPECT_EQ(records[1].offset, record.size());
        EXPECT_EQ(records[1].stamp, logged) << form;
        EXPECT_EQ(records[1].text, "0x181,8,AB") << form;
        EXPECT_FALSE(records[2].stamp) << "a record that does not parse is kept raw";
        EXPECT_EQ(records[2].text, "tail");
        // Without a format of its own, the upload's first record tells the form.
        EXPECT_EQ(CompleteFormat(RecordFormat{}, record + '\n').autoTimeStamp, form) << form;
    }
}

TEST(MemoryRecordsTest, AReaderGivesEachStampWhatAFreshReaderGivesWhateverItReadBefore)
{
    const RecordFormat format{1, '\n', 0, 0, 0, 2};
    // The same date again, after a bad time, an impossible date twice, and a date it read before.
    const char* stamps[] = {"03/05/2026 08:10:07", "03/05/2026 08:10:61", "03/05/2026 08:10:08",
                            "02/30/2026 08:10:09", "02/30/2026 08:10:09", "02/28/2026 23:59:59",
                            "03/05/2026 00:00:00", "03/05/2O26 00:00:00", "03/05/2026 23:59:59"};
    StampReader reader(format);
    for (const char* stamp : stamps)
        EXPECT_EQ(reader.Read(stamp, 19), StampReader(format).Read(stamp, 19)) << stamp;
}

}  // namespace
