// The automatic sequence: connect, memory, configuration, erase, finish; its messages, status
// texts and result line, and the run that stops before an erase that would lose data.
#include "MemoryUploadFixture.h"

#include "app/TThread_Auto.h"

#include <string>

namespace {

class AutomationTest : public ModuleOperationTest
{
protected:
    // Runs the sequence as "/auto" starts it, to its end; answers what went to standard output.
    std::string Run(bool silent, bool erase, bool config)
    {
        form->AutoMode = true;
        form->SilentMode = silent;
        form->EraseRequested = erase;
        form->ConfigRequested = config;
        form->AutoWorker.reset(new TThread_Auto([this] { form->AutoStep(); }));
        ::testing::internal::CaptureStdout();
        form->AutoWorker->Start();
        form->AutoWorker->WaitFor();
        return ::testing::internal::GetCapturedStdout();
    }

    // The sequence closed the window, which let go of the driver.
    bool Closed() const { return form->Driver == nullptr; }
};

const QByteArray Record = "NodeId=5\nBaud=250000\n";

QJsonObject WithRecord(const QByteArray& memory, const QJsonObject& faults = {})
{
    QJsonObject state = ModuleState(memory, faults);
    state.insert("configuration", QString::fromLatin1(Record));
    return state;
}

TEST_F(AutomationTest, AFullRunUploadsBothFilesErasesAndCountsTheConfiguration)
{
    const QByteArray memory = LogRecords(25);
    Prepare(WithRecord(memory));

    EXPECT_EQ(Run(false, true, true), QString("%1 Bytes Uploaded\n").arg(Record.size()).toStdString());

    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(Contents(Path("cfg.csv")), AsTextFile(Record));
    EXPECT_EQ(form->BytesUploaded, uint32_t(Record.size()));
    EXPECT_TRUE(module->memory().isEmpty());
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok(QString("%1 Bytes Uploaded").arg(Record.size()), "Success")});
    EXPECT_EQ(OperationText(), "Operation: Complete");
    EXPECT_EQ(form->AutoState, 4);
    EXPECT_TRUE(Closed());
}

TEST_F(AutomationTest, ASilentRunWithoutOptionsUploadsTheMemoryOnly)
{
    const QByteArray memory = LogRecords(9);
    Prepare(WithRecord(memory));

    EXPECT_EQ(Run(true, false, false), QString("%1 Bytes Uploaded\n").arg(memory.size()).toStdString());

    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(module->memory(), memory);
    EXPECT_FALSE(QFile::exists(Path("cfg.csv")));
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_TRUE(Closed());
}

TEST_F(AutomationTest, OneFileForMemoryAndConfigurationStopsBeforeTheErase)
{
    const QByteArray memory = LogRecords(12);
    Prepare(WithRecord(memory));
    form->AdvFileNameEdit_Config->setText(Path("mem.csv"));

    EXPECT_EQ(Run(true, true, true), "Upload Failed! (step: configuration)\n");

    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_TRUE(Closed());
}

TEST_F(AutomationTest, TheEraseFollowsTheCountOfTheLastUpload)
{
    // An empty memory is not erased...
    Prepare(WithRecord(""));
    EXPECT_EQ(Run(true, true, false), "0 Bytes Uploaded\n");
    EXPECT_EQ(EraseWaits(), 0);

    // ...unless the configuration's count stands in for it.
    form.reset();
    Prepare(WithRecord(""));
    EXPECT_EQ(Run(true, true, true), QString("%1 Bytes Uploaded\n").arg(Record.size()).toStdString());
    EXPECT_EQ(EraseWaits(), 1);
}

TEST_F(AutomationTest, AnIncompleteUploadStopsBeforeTheErase)
{
    const QByteArray memory = LogRecords(30);
    Prepare(WithRecord(memory, QJsonObject{{"memory_fail_after_blocks", 3}}));

    EXPECT_EQ(Run(false, true, true), "Upload Failed! (step: memory)\n");

    EXPECT_FALSE(QFile::exists(Path("mem.csv")));
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_FALSE(QFile::exists(Path("cfg.csv")));
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Upload Failed!", "Error")});
    EXPECT_EQ(OperationText(), "Operation: Failed");
    EXPECT_EQ(form->AutoState, 1);
    EXPECT_TRUE(Closed());
}

TEST_F(AutomationTest, ARefusedEraseIsAFailure)
{
    const QByteArray memory = LogRecords(4);
    Prepare(WithRecord(memory, QJsonObject{{"write", QJsonArray{13}}}));
    EXPECT_EQ(Run(true, true, false), "Upload Failed! (step: erase)\n");
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(OperationText(), "Operation: Failed");
}

TEST_F(AutomationTest, AnUnreadableConfigurationIsAFailureBeforeTheErase)
{
    const QByteArray memory = LogRecords(4);
    Prepare(WithRecord(memory, QJsonObject{{"read", QJsonArray{17}}}));
    EXPECT_EQ(Run(true, true, true), "Upload Failed! (step: configuration)\n");
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(form->BytesUploaded, 0u);
}

TEST_F(AutomationTest, AFailedConnectIsReportedAfterTheConnectsOwnMessage)
{
    Prepare(QJsonObject{{"faults", QJsonObject{{"open", "fail"}}}});
    EXPECT_EQ(Run(false, true, true), "Upload Failed! (step: connect)\n");
    EXPECT_EQ(boxes.Calls(), (std::vector<Box>{Ok("Cannot Open Interface", "Error"), Ok("Upload Failed!", "Error")}));
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(form->AutoState, 0);
    EXPECT_TRUE(Closed());
}

TEST_F(AutomationTest, AMemoryFileThatCannotBeOpenedFailsTheMemoryStepQuietly)
{
    Prepare(WithRecord("abc"));
    form->AdvFileNameEdit_FileName->setText("");
    EXPECT_EQ(Run(false, false, false), "Upload Failed! (step: memory)\n");
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Upload Failed!", "Error")});
    EXPECT_EQ(module->memory(), "abc");
}

}  // namespace
