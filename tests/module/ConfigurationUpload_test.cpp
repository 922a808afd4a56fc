// The configuration upload: the record replaces the file only when it was read and written.
#include "MemoryUploadFixture.h"

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
