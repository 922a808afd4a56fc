// The upload-file writer: text-stream line ends, append and rewrite, and failures that must not
// pass unnoticed.
#include "module/UploadTransaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class UploadFileTest : public ::testing::Test
{
protected:
    std::string Path(const char* name) const { return QDir(dir.path()).filePath(name).toStdString(); }

    static QByteArray Contents(const std::string& path)
    {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void Put(const std::string& path, const QByteArray& bytes)
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // An upload into the memory file; empty when it cannot begin.
    static std::unique_ptr<UploadTransaction> Append(const std::string& name, bool* busy = nullptr)
    {
        UploadRecordEntry record;
        record.nodeId = 5;
        UploadTransaction::Begun begun = UploadTransaction::Begin(name, record);
        if (busy)
            *busy = begun.busy;
        return std::move(begun.upload);
    }

    static bool Write(UploadFile& file, const QByteArray& bytes)
    {
        return file.Write(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
    }

    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
};

TEST_F(UploadFileTest, StoresLineFeedsAsCarriageReturnLineFeedAndEveryOtherByteUnchanged)
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    QByteArray expected = all;
    expected.replace("\n", "\r\n");

    auto file = Append(Path("mem.csv"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(Write(*file, all));
    EXPECT_TRUE(Write(*file, "\n\n\r\r\n"));
    EXPECT_TRUE(Write(*file, ""));
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(Contents(Path("mem.csv")), expected + "\r\n\r\n\r\r\r\n");
}

TEST_F(UploadFileTest, AppendAddsAWholeUploadOrNothingAndOneAtATime)
{
    auto first = Append(Path("mem.csv"));
    ASSERT_TRUE(first);
    Write(*first, "one\n");
    EXPECT_EQ(Contents(Path("mem.csv")), "");
    bool busy = false;
    EXPECT_FALSE(Append(Path("mem.csv"), &busy));
    EXPECT_TRUE(busy);
    EXPECT_TRUE(first->Close());
    EXPECT_EQ(Contents(Path("mem.csv")), "one\r\n");
    first.reset();

    auto dropped = Append(Path("mem.csv"));
    ASSERT_TRUE(dropped);
    Write(*dropped, "half");
    dropped.reset();
    EXPECT_EQ(Contents(Path("mem.csv")), "one\r\n");

    auto second = Append(Path("mem.csv"), &busy);
    ASSERT_TRUE(second);
    EXPECT_FALSE(busy);
    Write(*second, "two");
    EXPECT_TRUE(second->Close());
    EXPECT_EQ(Contents(Path("mem.csv")), "one\r\ntwo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"mem.csv", "mem.csv.uploads"}));
}

TEST_F(UploadFileTest, NamesThatCannotBeOpenedGiveNoFile)
{
    Put(Path("plain"), "x");
    QDir(dir.path()).mkdir("folder");
    for (const std::string& name : {std::string(), Path("missing/mem.csv"), Path("folder"), Path("plain/x")}) {
        EXPECT_FALSE(Append(name)) << name;
        EXPECT_FALSE(UploadFile::OpenForRewrite(name)) << name;
    }
    EXPECT_EQ(Contents(Path("plain")), "x");
}

TEST_F(UploadFileTest, AFailedWriteIsReportedAndSticks)
{
    // Every write to /dev/full fails with "no space left on device" when it is flushed.
    auto file = Append("/dev/full");
    ASSERT_TRUE(file);
    EXPECT_FALSE(Write(*file, "data"));
    EXPECT_TRUE(file->Failed());
    EXPECT_FALSE(Write(*file, ""));
    EXPECT_FALSE(file->Close());
    EXPECT_TRUE(file->WritesThrough());
}

TEST_F(UploadFileTest, RewriteReplacesTheOldFileOnlyWhenClosed)
{
    Put(Path("cfg.csv"), "old record");
    auto file = UploadFile::OpenForRewrite(Path("cfg.csv"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(Write(*file, "new\nrecord"));
    EXPECT_EQ(Contents(Path("cfg.csv")), "old record");
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(Contents(Path("cfg.csv")), "new\r\nrecord");
    EXPECT_EQ(Entries(), QStringList{"cfg.csv"});
}

TEST_F(UploadFileTest, ADroppedRewriteKeepsTheOldFileAndLeavesNoTemporary)
{
    Put(Path("cfg.csv"), "old record");
    {
        auto file = UploadFile::OpenForRewrite(Path("cfg.csv"));
        ASSERT_TRUE(file);
        Write(*file, "half");
    }
    EXPECT_EQ(Contents(Path("cfg.csv")), "old record");
    EXPECT_EQ(Entries(), QStringList{"cfg.csv"});

    {
        auto file = UploadFile::OpenForRewrite(Path("new.csv"));
        ASSERT_TRUE(file);
    }
    EXPECT_EQ(Entries(), QStringList{"cfg.csv"});
}

TEST_F(UploadFileTest, RewriteOfAnEmptyRecordLeavesAnEmptyFile)
{
    Put(Path("cfg.csv"), "old record");
    Put(Path("cfg.csv.part"), "left behind by someone else");
    auto file = UploadFile::OpenForRewrite(Path("cfg.csv"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(Contents(Path("cfg.csv")), "");
    EXPECT_EQ(Contents(Path("cfg.csv.part")), "left behind by someone else");
}

TEST_F(UploadFileTest, RewriteThroughASymbolicLinkChangesTheFileItPointsTo)
{
    Put(Path("real.csv"), "old");
    ASSERT_TRUE(QFile::link(QString::fromStdString(Path("real.csv")), QString::fromStdString(Path("link.csv"))));
    auto file = UploadFile::OpenForRewrite(Path("link.csv"));
    ASSERT_TRUE(file);
    Write(*file, "new");
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(Contents(Path("real.csv")), "new");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("link.csv"))).isSymLink());
}

}  // namespace
