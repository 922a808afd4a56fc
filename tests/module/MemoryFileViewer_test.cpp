// The viewer of a memory file: its index cuts records exactly as the records command does, in
// every form the module cuts and stamps them, across the blocks it reads; and its window shows
// the uploads, filters by text and time, and never changes the file.
#include "module/MemoryRecords.h"
#include "module/UploadRecord.h"
#include "viewer/MemoryFileIndex.h"
#include "viewer/MemoryFileViewer.h"
#include "viewer/RecordTableModel.h"
#include "viewer/TimelineWidget.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <numeric>

#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray Lines(int count, int firstMinute = 10)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "03/05/2026 08:" + QByteArray::number(firstMinute + i % 40) + ":00,181,8,20 03 " + QByteArray::number(i) + "\r\n";
    return lines;
}

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<MemoryFileIndex> Indexed(const QString& path, const RecordFormat& format)
{
    const std::atomic<bool> cancel{false};
    QString fault;
    auto index = MemoryFileIndex::Build(path, format, cancel, {}, fault);
    EXPECT_TRUE(index) << fault.toStdString();
    return index;
}

TEST(MemoryFileIndex, CutsEveryFormAsTheRecordsCommandDoes)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath("mem.csv");
    const qsizetype block = 1 << 20;
    // A CR LF across the first blocks' border, a stamp across the second's.
    QByteArray crossing = QByteArray(block - 1, 'x') + "\r\n" + QByteArray(block - 6, 'y') + "\r\n" + Lines(3);
    const std::pair<QByteArray, RecordFormat> cases[] = {
        {Lines(50) + "03/05/2026 09:00:00,last without its line end", RecordFormat{1, '\n', 0, 0, 1, std::nullopt}},
        {"a\r\nb;c;;d", RecordFormat{1, ';', 0, 0, 0, 0}},
        {"x\r\r\ny\rz", RecordFormat{1, '\r', 0, 0, 0, 0}},
        // A stored line feed's CR as the last byte of the indexer's first read, not a delimiter.
        {"a\r" + QByteArray((1 << 18) - 3, 'q') + "\r\ntail\r", RecordFormat{1, '\r', 0, 0, 0, 0}},
        {"ab\r\ncdefg\r\nhi", RecordFormat{0, '\n', 4, 0, 0, 0}},
        {"20260305 081000 first\r\n20260305 081001 second\r\n", RecordFormat{1, '\n', 0, 0, 0, 3}},
        {crossing, RecordFormat{1, '\n', 0, 0, 1, 2}},
        // Large enough to be cut on two threads, the halfway byte among CRs that are and are not delimiters.
        {(QByteArray("a\r\n") + QByteArray(60, 'b') + "\r").repeated(36000), RecordFormat{1, '\r', 0, 0, 0, 0}},
        {{}, RecordFormat{}},
    };
    for (const auto& [stored, format] : cases) {
        Put(path, stored);
        const auto index = Indexed(path, format);
        ASSERT_TRUE(index);
        const QByteArray moduleBytes = ModuleBytes(stored);
        const RecordFormat complete = CompleteFormat(format, moduleBytes);
        EXPECT_EQ(index->Uploads().at(0).format, complete);
        const std::vector<MemoryRecord> expected = CutRecords(moduleBytes, complete, 0);
        ASSERT_EQ(index->Records().size(), expected.size()) << stored.left(40).constData();
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        for (size_t i = 0; i < expected.size(); ++i) {
            const IndexedRecord& record = index->Records()[i];
            const RecordContent content = ReadRecord(fd, record, complete, 1 << 21);
            EXPECT_EQ(content.bytes, expected[i].bytes) << "record " << i;
            EXPECT_EQ(content.text, PrintableText(expected[i].text)) << "record " << i;
            EXPECT_EQ(record.stamp == IndexedRecord::NoStamp ? std::optional<QDateTime>() : StampReader::LocalTime(record.stamp),
                      expected[i].stamp)
                << "record " << i;
        }
        ::close(fd);
    }
}

class MemoryFileViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Upload(Lines(40), 0);
        Upload("Korvane configuration\r\nNodeId=5\r\n" + Lines(20, 30), 33);
    }

    // Appends an upload and its line in the record, as an upload does.
    void Upload(const QByteArray& stored, qint64 head)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        UploadRecordEntry entry;
        entry.time = QDateTime(QDate(2026, 3, 5), QTime(9, 0), Qt::UTC);
        entry.nodeId = 5;
        entry.offset = file.size();
        entry.length = stored.size();
        entry.sha256 = QCryptographicHash::hash(stored, QCryptographicHash::Sha256);
        entry.serialNumber = 0x1E240;
        entry.format = {1, '\n', 0, 0, 1, 2};
        entry.configHeadLength = head;
        ASSERT_EQ(file.write(stored), stored.size());
        file.flush();
        ASSERT_TRUE(AppendUploadRecord(path, file.handle(), entry));
    }

    // Lets the window's workers finish and hand over their results.
    static void Settle(MemoryFileViewer& viewer)
    {
        const QDeadlineTimer deadline(10000);
        do
            QTest::qWait(20);
        while ((viewer.Busy() || viewer.Status()->text().endsWith(QLatin1String("..."))) && !deadline.hasExpired());
        QTest::qWait(20);
    }

    static QString Cell(QTableView* view, int row, int column)
    {
        return view->model()->index(row, column).data().toString();
    }

    QTemporaryDir folder;
    QString path = folder.filePath("mem.csv");
};

TEST_F(MemoryFileViewerTest, ShowsTheUploadsFiltersByTextAndTimeAndChangesNothing)
{
    const QByteArray bytes = Contents(path), record = Contents(path + ".uploads");
    MemoryFileViewer viewer(path, {});
    viewer.show();
    Settle(viewer);

    QTableWidget* uploads = viewer.UploadList();
    ASSERT_EQ(uploads->rowCount(), 2);
    EXPECT_EQ(uploads->item(1, 2)->text(), "0x0001E240");
    EXPECT_EQ(uploads->item(0, 4)->text(), "ok");
    EXPECT_EQ(uploads->item(1, 4)->text(), "ok");
    QTableView* table = viewer.RecordTable();
    ASSERT_EQ(table->model()->rowCount(), 61); // 40, the configuration record, 20
    EXPECT_EQ(Cell(table, 40, RecordTableModel::RecordColumn), "configuration");
    EXPECT_EQ(Cell(table, 41, RecordTableModel::RecordColumn), "1");
    EXPECT_EQ(Cell(table, 0, RecordTableModel::TextColumn), "181,8,20 03 0");
    const QString localTime = Cell(table, 0, RecordTableModel::TimeColumn);
    EXPECT_TRUE(localTime.startsWith("2026-03-05T08:10:00")) << localTime.toStdString();
    viewer.UtcSwitch()->setChecked(true);
    EXPECT_EQ(Cell(table, 0, RecordTableModel::TimeColumn),
              QDateTime(QDate(2026, 3, 5), QTime(8, 10)).toUTC().toString(Qt::ISODate));

    const std::vector<int>& counts = viewer.Timeline()->Counts();
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0), 60);
    EXPECT_EQ(viewer.Timeline()->Interval(), 60);

    // One minute of the timeline: the records stamped in it, of both uploads.
    const QDateTime minute(QDate(2026, 3, 5), QTime(8, 31));
    const qint64 from = minute.toSecsSinceEpoch() + minute.offsetFromUtc();
    emit viewer.Timeline()->RangeChosen(from, from + 60);
    Settle(viewer);
    EXPECT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(Cell(table, 1, RecordTableModel::UploadColumn), "2");

    // The filter follows the typing once it pauses.
    viewer.FilterEdit()->setText("03 21");
    QTest::qWait(400);
    Settle(viewer);
    EXPECT_EQ(table->model()->rowCount(), 1);

    // Only the second upload, every time, no text.
    viewer.FilterEdit()->clear();
    emit viewer.Timeline()->RangeChosen(IndexedRecord::NoStamp, IndexedRecord::NoStamp);
    uploads->selectRow(1);
    QTest::qWait(400);
    Settle(viewer);
    EXPECT_EQ(table->model()->rowCount(), 21);

    EXPECT_EQ(Contents(path), bytes);
    EXPECT_EQ(Contents(path + ".uploads"), record);
}

}  // namespace
