// The memory upload through the real binding and the simulated module: what lands in the file,
// what the user is told and asked, and that an incomplete upload never empties the module.
#include "MemoryUploadFixture.h"
#include "app/RecordsCommand.h"

#include "module/TForm_Progress.h"

#include <QApplication>
#include <QCheckBox>
#include <QScopeGuard>
#include <QLabel>
#include <QPushButton>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>

#include <unistd.h>

namespace {

// Notes whether any progress dialog was shown.
struct DialogWatch : QObject
{
    DialogWatch() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        shown = shown || (event->type() == QEvent::Show && qobject_cast<TForm_Progress*>(object));
        return false;
    }
    bool shown = false;
};

class MemoryUploadTest : public ModuleOperationTest
{
protected:
    // What the progress dialog shows when the result comes: bar value and byte count.
    void WatchProgressAtResult()
    {
        boxes.WhileOpen([this] {
            if (!progressSeen && form->Form_Progress) {
                progressSeen = true;
                barAtResult = form->Form_Progress->AdvProgress1->value();
                countAtResult = form->Form_Progress->StaticText_BytesRead->text();
                dialogVisible = form->Form_Progress->isVisible();
            }
        });
    }

    bool progressSeen = false;
    bool dialogVisible = false;
    int barAtResult = -1;
    QString countAtResult;
};

TEST_F(MemoryUploadTest, StoresExactlyTheModulesBytesAndOffersToClear)
{
    const QByteArray memory = LogRecords(40);  // several blocks, the last one short
    Connect(ModuleState(memory));
    WatchProgressAtResult();
    DialogWatch watch;
    boxes.Answer(MessageBoxResult::Ok);
    boxes.Answer(MessageBoxResult::No);

    EXPECT_TRUE(form->UploadMemory());

    EXPECT_TRUE(watch.shown);
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(form->BytesUploaded, uint32_t(memory.size()));
    EXPECT_EQ(boxes.Calls(), (std::vector<Box>{Ok(QString("%1 Bytes Uploaded").arg(memory.size()), "Success"),
                                              {"Clear Module Memory", "Question", MessageBoxButtons::YesNo}}));
    EXPECT_TRUE(progressSeen);
    EXPECT_TRUE(dialogVisible);
    EXPECT_EQ(barAtResult, 100);
    EXPECT_EQ(countAtResult, QString::number(memory.size()));
    EXPECT_EQ(form->Form_Progress, nullptr);
    EXPECT_EQ(OperationText(), "Operation: Uploading Memory");
    EXPECT_TRUE(form->Timer_TimeDate->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Answered No: the module keeps its data.
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(EraseWaits(), 0);
}

TEST_F(MemoryUploadTest, YesToTheClearQuestionEmptiesTheModuleAfterTheDataIsOnDisk)
{
    const QByteArray memory = LogRecords(12);
    Connect(ModuleState(memory));
    boxes.Answer(MessageBoxResult::Ok);
    boxes.Answer(MessageBoxResult::Yes);
    QByteArray fileWhenErased;
    services.OnSleep([&](uint32_t ms) {
        if (ms == 5000)
            fileWhenErased = Contents(Path("mem.csv"));
    });

    EXPECT_TRUE(form->UploadMemory());

    EXPECT_EQ(fileWhenErased, AsTextFile(memory));
    EXPECT_EQ(EraseWaits(), 1);
    EXPECT_TRUE(module->memory().isEmpty());
    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[2], Ok("Module Memory Erased!", "Success"));

    // A second upload finds nothing and asks nothing.
    boxes.ClearCalls();
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("0 Bytes Uploaded", "Success")});
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
}

TEST_F(MemoryUploadTest, AClearTheModuleRefusesSaysSoWithoutWaiting)
{
    Connect(ModuleState("data\n", QJsonObject{{"write", QJsonArray{13}}}));
    boxes.Answer(MessageBoxResult::Ok);
    boxes.Answer(MessageBoxResult::Yes);

    EXPECT_TRUE(form->UploadMemory());

    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[2], Ok("Cannot Erase!", "Error"));
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_EQ(module->memory(), "data\n");
}

TEST_F(MemoryUploadTest, AnEmptyModuleGivesAnEmptyFileAndNoQuestion)
{
    Connect(ModuleState(""));
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(Contents(Path("mem.csv")), "");
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("0 Bytes Uploaded", "Success")});
}

TEST_F(MemoryUploadTest, TheConfigurationHeadComesFirstAndIsNotCounted)
{
    const QByteArray memory = LogRecords(3);
    QJsonObject state = ModuleState(memory);
    state.insert("configuration", "NodeId=5\nBaud=250000\n");
    Connect(state);
    form->CheckBox_Append->setChecked(true);

    EXPECT_TRUE(form->UploadMemory());

    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile("NodeId=5\nBaud=250000\n" + memory));
    EXPECT_EQ(form->BytesUploaded, uint32_t(memory.size()));
    ASSERT_FALSE(boxes.Calls().empty());
    EXPECT_EQ(boxes.Calls()[0].text, QString("%1 Bytes Uploaded").arg(memory.size()));

    // The record knows the head, so it is never read as records of the module.
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    EXPECT_EQ(ExportRecords(Path("mem.csv"), true, out, stderr), 0);
    std::fclose(out);
    const QByteArray rows(text, qsizetype(size));
    std::free(text);
    EXPECT_EQ(rows.count('\n'), 4) << rows.constData();
    EXPECT_TRUE(rows.contains("\n1,1,,\"2026/03/05 12:10,0x180,8,01 02")) << rows.constData();
    EXPECT_TRUE(rows.endsWith("\n1,3,,\"2026/03/05 12:12,0x182,8,01 02 03 04 05 06 07 08\"\n")) << rows.constData();
    EXPECT_FALSE(rows.contains("NodeId")) << rows.constData();
}

TEST_F(MemoryUploadTest, AnUnreadableConfigurationHeadIsLeftOut)
{
    Connect(ModuleState("abc", QJsonObject{{"read", QJsonArray{17}}}));
    form->CheckBox_Append->setChecked(true);
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(Contents(Path("mem.csv")), "abc");
}

TEST_F(MemoryUploadTest, TwoUploadsIntoOneFileFollowEachOther)
{
    const QByteArray memory = LogRecords(15);
    Connect(ModuleState(memory));
    Put(Path("mem.csv"), "kept\r\n");
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(Contents(Path("mem.csv")), "kept\r\n" + AsTextFile(memory) + AsTextFile(memory));
    EXPECT_EQ(form->BytesUploaded, uint32_t(memory.size()));
}

TEST_F(MemoryUploadTest, EveryLineFeedBecomesCarriageReturnLineFeedAndNothingElseChanges)
{
    QByteArray memory;
    for (int i = 0; i < 700; ++i)
        memory.append(static_cast<char>(i * 7 % 256));
    memory += "\n\n\r\n\r";
    Connect(ModuleState(memory));
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(form->BytesUploaded, uint32_t(memory.size()));
}

TEST_F(MemoryUploadTest, WithoutAnAnnouncedLengthTheBarStaysAtZeroWhileTheCountRises)
{
    const QByteArray memory = LogRecords(20);
    Connect(ModuleState(memory, QJsonObject{{"readout_length", 0}}));
    WatchProgressAtResult();
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(form->ReadoutTotal, 0u);
    EXPECT_EQ(barAtResult, 0);
    EXPECT_EQ(countAtResult, QString::number(memory.size()));
}

TEST_F(MemoryUploadTest, MoreBytesThanAnnouncedHoldTheBarAtItsTop)
{
    const QByteArray memory = LogRecords(20);
    Connect(ModuleState(memory, QJsonObject{{"readout_length", 100}}));
    WatchProgressAtResult();
    EXPECT_TRUE(form->UploadMemory());
    EXPECT_EQ(form->ReadoutTotal, 100u);
    EXPECT_EQ(barAtResult, 100);
    EXPECT_EQ(countAtResult, QString::number(memory.size()));
    // The file keeps what the module gave, but nothing offers to clear the module.
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(boxes.Calls(),
              std::vector<Box>{Ok(QString("The module announced 100 bytes but sent %1; its memory was not cleared.")
                                      .arg(memory.size()),
                                  "Error")});
    EXPECT_EQ(module->memory(), memory);
}

TEST_F(MemoryUploadTest, CancelStopsAfterTheCurrentBlockWhileTheWindowsStayAlive)
{
    const QByteArray memory = LogRecords(60);
    Connect(ModuleState(memory));
    Put(Path("mem.csv"), "kept\r\n");
    form->show();
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override { count += event->type() == QEvent::Paint; return false; }
    } counter(paints);
    form->installEventFilter(&counter);
    bool modal = false, pollStopped = false;
    uint32_t countAtCancel = 0;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!form->Form_Progress || form->BytesUploaded < 2 * 255 || countAtCancel)
            return;
        modal = QApplication::activeModalWidget() == form->Form_Progress;
        pollStopped = !form->Timer_TimeDate->isActive();
        paints = 0;
        form->update();
        countAtCancel = form->BytesUploaded;
        QTest::mouseClick(form->Form_Progress->Button1, Qt::LeftButton);
    });
    during.start(1);

    EXPECT_FALSE(form->UploadMemory());

    EXPECT_TRUE(modal);
    EXPECT_TRUE(pollStopped);
    EXPECT_GT(paints, 0);
    EXPECT_GT(countAtCancel, 0u);
    EXPECT_EQ(form->BytesUploaded, 0u);  // nothing of it is in the file
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Upload cancelled: the module memory was not cleared.", "Cancelled")});
    EXPECT_EQ(Contents(Path("mem.csv")), "kept\r\n");
    EXPECT_EQ(module->memory(), memory);
    EXPECT_TRUE(form->Timer_TimeDate->isActive());
}

TEST_F(MemoryUploadTest, AFailedBlockReadLeavesTheFileAsItWasAndKeepsTheModuleFull)
{
    const QByteArray memory = LogRecords(30);
    ASSERT_GT(memory.size(), 4 * 255);
    Connect(ModuleState(memory, QJsonObject{{"memory_fail_after_blocks", 3}}));
    Put(Path("mem.csv"), "kept\r\n");
    WatchProgressAtResult();

    EXPECT_FALSE(form->UploadMemory());

    EXPECT_EQ(Contents(Path("mem.csv")), "kept\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mem.csv"});
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(countAtResult, "765");
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Upload incomplete: a memory block could not be read. The file was left "
                                                 "as it was and the module memory was not cleared.",
                                                 "Error")});
    EXPECT_EQ(module->memory(), memory);
    EXPECT_EQ(EraseWaits(), 0);
    EXPECT_TRUE(form->Timer_TimeDate->isActive());

    // A memory file that did not exist before is not left behind empty.
    QFile::remove(Path("mem.csv"));
    EXPECT_FALSE(form->UploadMemory());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(MemoryUploadTest, AFullDiskLeavesTheFileAsItWas)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a tiny file system needs root";
    const QString disk = Path("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    ASSERT_EQ(std::system(("mount -t tmpfs -o size=64k tmpfs " + disk).toLocal8Bit().constData()), 0);
    const auto unmount = qScopeGuard([&] { std::system(("umount " + disk).toLocal8Bit().constData()); });
    const QByteArray memory = LogRecords(1500);  // far more than fits
    Connect(ModuleState(memory));
    form->AdvFileNameEdit_FileName->setText(disk + "/mem.csv");
    Put(disk + "/mem.csv", "kept\r\n");

    EXPECT_FALSE(form->UploadMemory());

    EXPECT_EQ(Contents(disk + "/mem.csv"), "kept\r\n");
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"mem.csv"});
    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Upload incomplete: the disk is full. The file was left as it was and "
                                                 "the module memory was not cleared.",
                                                 "Error")});
    EXPECT_EQ(module->memory(), memory);
}

TEST_F(MemoryUploadTest, AFileThatCannotTakeTheDataMakesTheUploadIncomplete)
{
    const QByteArray memory = LogRecords(5);
    Connect(ModuleState(memory));
    // Every write to this device fails: "no space left on device".
    form->AdvFileNameEdit_FileName->setText("/dev/full");
    EXPECT_FALSE(form->UploadMemory());
    EXPECT_EQ(form->BytesUploaded, 0u);
    EXPECT_EQ(boxes.Calls(),
              std::vector<Box>{Ok("Upload incomplete: the disk is full. The module memory was not cleared.", "Error")});
    EXPECT_EQ(module->memory(), memory);
}

TEST_F(MemoryUploadTest, AnUploadWhoseRecordCannotBeWrittenDoesNotBegin)
{
    const QByteArray memory = LogRecords(5);
    Connect(ModuleState(memory));
    Put(Path("mem.csv"), "earlier\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("mem.csv.uploads"));

    EXPECT_FALSE(form->UploadMemory());

    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot open file " + Path("mem.csv"), "Error")});
    EXPECT_EQ(Contents(Path("mem.csv")), "earlier\r\n");
    EXPECT_EQ(module->memory(), memory);
}

TEST_F(MemoryUploadTest, AFileThatCannotBeOpenedIsSaidAndNothingIsRead)
{
    const QByteArray memory = LogRecords(5);
    Connect(ModuleState(memory));
    const QString name = Path("missing/mem.csv");
    form->AdvFileNameEdit_FileName->setText(name);
    form->BytesUploaded = 77;

    EXPECT_FALSE(form->UploadMemory());

    EXPECT_EQ(boxes.Calls(), std::vector<Box>{Ok("Cannot open file " + name, "Error")});
    EXPECT_EQ(form->BytesUploaded, 77u);
    EXPECT_EQ(OperationText(), "Operation: Uploading Memory");
    EXPECT_FALSE(QFile::exists(name));

    // In AutoMode the automatic sequence reports it; the upload says nothing.
    boxes.ClearCalls();
    form->AutoMode = true;
    form->AdvFileNameEdit_FileName->setText("");
    EXPECT_FALSE(form->UploadMemory());
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(MemoryUploadTest, AutoModeAsksNothingAndSilentModeShowsNoDialog)
{
    const QByteArray memory = LogRecords(8);
    Connect(ModuleState(memory));
    form->AutoMode = true;
    form->SilentMode = true;
    DialogWatch watch;

    EXPECT_TRUE(form->UploadMemory());

    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_FALSE(watch.shown);
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(module->memory(), memory);
}

TEST_F(MemoryUploadTest, WithoutAConnectionNothingIsWritten)
{
    Connect(ModuleState("abc"));
    form->DisconnectModule();
    EXPECT_FALSE(form->UploadMemory());
    EXPECT_FALSE(QFile::exists(Path("mem.csv")));
    EXPECT_EQ(OperationText(), "Operation: Uploading Memory");
    EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
