// The configuration upload: the record replaces the file only when it was read and written.
#include "MemoryUploadFixture.h"

#include <QScopeGuard>

#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QJsonObject WithConfiguration(const QByteArray& record, const QJsonObject& faults = {})
{
    QJsonObject state = ModuleState(LogRecords(3), faults);
    state.insert("configuration", QString::fromLatin1(record));
    return state;
}

class ConfigurationUploadTest : public ModuleOperationTest
{
};

TEST_F(ConfigurationUploadTest, WritesTheRecordAloneAndCountsIt)
{
    const QByteArray record = "NodeId=5\nBaud=250000\nMode=MemModule\n";
    Connect(WithConfiguration(record));
    Put(Path("cfg.csv"), "an older, longer record that must disappear entirely\r\n");
    form->BytesUploaded = 999;

    EXPECT_TRUE(form->UploadConfiguration());
    EXPECT_TRUE(form->UploadConfiguration());

    EXPECT_EQ(Contents(Path("cfg.csv")), AsTextFile(record));
    EXPECT_EQ(form->BytesUploaded, uint32_t(record.size()));
    const Box result = Ok(QString("%1 Bytes Uploaded").arg(record.size()), "Success");
    EXPECT_EQ(boxes.Calls(), (std::vector<Box>{result, result}));
    EXPECT_EQ(OperationText(), "Operation: Uploading ConfigFile");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"cfg.csv"});
}

TEST_F(ConfigurationUploadTest, AnEmptyRecordGivesAnEmptyFile)
{
    Connect(WithConfiguration(""));
    Put(Path("cfg.csv"), "old");
    EXPECT_TRUE(form->UploadConfiguration());
    EXPECT_EQ(Contents(Path("cfg.csv")), "");
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("0 Bytes Uploaded", "Success")});
}

TEST_F(ConfigurationUploadTest, AFailedReadKeepsTheOldFileAndIsNoSuccess)
{
    Connect(WithConfiguration("new", QJsonObject{{"read", QJsonArray{17}}}));
    Put(Path("cfg.csv"), "old record\r\n");
    form->BytesUploaded = 999;

    EXPECT_FALSE(form->UploadConfiguration());

    EXPECT_EQ(Contents(Path("cfg.csv")), "old record\r\n");
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot read the configuration!", "Error")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"cfg.csv"});

    boxes.ClearCalls();
    form->AutoMode = true;
    EXPECT_FALSE(form->UploadConfiguration());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(Contents(Path("cfg.csv")), "old record\r\n");
}

TEST_F(ConfigurationUploadTest, AFileThatCannotBeOpenedIsSaidAndKeepsTheCount)
{
    Connect(WithConfiguration("record"));
    form->BytesUploaded = 42;
    for (const QString& name : {Path("missing/cfg.csv"), dir.path(), QString()}) {
        boxes.ClearCalls();
        form->AdvFileNameEdit_Config->setText(name);
        EXPECT_FALSE(form->UploadConfiguration());
        EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot open file " + name, "Error")}) << name.toStdString();
        EXPECT_EQ(form->BytesUploaded, 42u);
    }
}

TEST_F(ConfigurationUploadTest, ARegularFileIsReplacedKeepingItsModeAndAnythingElseIsWrittenThrough)
{
    Connect(WithConfiguration("record\n"));
    Put(Path("cfg.csv"), "old");
    ASSERT_EQ(::chmod(Path("cfg.csv").toLocal8Bit().constData(), 0640), 0);
    EXPECT_TRUE(form->UploadConfiguration());
    struct stat status {};
    ASSERT_EQ(::stat(Path("cfg.csv").toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    // A FIFO stays a FIFO and its reader gets the record.
    const QByteArray fifo = Path("fifo").toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    form->AdvFileNameEdit_Config->setText(Path("fifo"));
    EXPECT_TRUE(form->UploadConfiguration());
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 8);
    EXPECT_STREQ(received, "record\r\n");
    ::close(reader);
    ASSERT_EQ(::stat(fifo.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // A device that takes nothing is a failure.
    boxes.ClearCalls();
    form->AdvFileNameEdit_Config->setText("/dev/full");
    EXPECT_FALSE(form->UploadConfiguration());
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot write file /dev/full", "Error")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{"cfg.csv", "fifo"}));
}

TEST_F(ConfigurationUploadTest, AWritableFileInAReadOnlyFolderIsRewrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a read-only folder holding a writable file is made with mounts, which need root";
    Connect(WithConfiguration("record\n"));
    const QString folder = Path("read-only");
    const QString file = folder + "/cfg.csv";
    Put(Path("outside.csv"), "an older, longer record");
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto run = [](const QString& command) { return std::system(command.toLocal8Bit().constData()); };
    ASSERT_EQ(run("mount -t tmpfs -o size=64k tmpfs " + folder), 0);
    const auto unmount = qScopeGuard([&] { run("umount " + file + "; umount " + folder); });
    Put(file, "");
    ASSERT_EQ(run("mount --bind " + Path("outside.csv") + " " + file + " && mount -o remount,ro " + folder), 0);
    form->AdvFileNameEdit_Config->setText(file);

    EXPECT_TRUE(form->UploadConfiguration());

    EXPECT_EQ(Contents(Path("outside.csv")), "record\r\n");
}

TEST_F(ConfigurationUploadTest, TheMemoryFileIsNeverReplacedByTheRecord)
{
    Connect(WithConfiguration("record\n"));
    Put(Path("mem.csv"), "uploaded memory\r\n");
    form->BytesUploaded = 42;
    form->AdvFileNameEdit_Config->setText(Path("mem.csv"));

    EXPECT_FALSE(form->UploadConfiguration());
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot write the configuration into the memory file " + Path("mem.csv"), "Error")});

    // Another spelling of the same file is the same file; the automatic sequence is told by the result.
    boxes.ClearCalls();
    form->AutoMode = true;
    form->AdvFileNameEdit_Config->setText(dir.path() + "/./mem.csv");
    EXPECT_FALSE(form->UploadConfiguration());
    EXPECT_TRUE(boxes.Calls().empty());

    EXPECT_EQ(Contents(Path("mem.csv")), "uploaded memory\r\n");
    EXPECT_EQ(form->BytesUploaded, 42u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"mem.csv"});
}

TEST_F(ConfigurationUploadTest, AutoModeSaysNothingAndWithoutAConnectionNothingHappens)
{
    Connect(WithConfiguration("record\n"));
    form->AutoMode = true;
    EXPECT_TRUE(form->UploadConfiguration());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(Contents(Path("cfg.csv")), "record\r\n");

    form->DisconnectModule();
    QFile::remove(Path("cfg.csv"));
    EXPECT_FALSE(form->UploadConfiguration());
    EXPECT_FALSE(QFile::exists(Path("cfg.csv")));
    EXPECT_EQ(OperationText(), "Operation: Uploading ConfigFile");
}

}  // namespace
