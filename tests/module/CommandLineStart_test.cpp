// The window's start from the command line: the options reach the window, and "/auto" starts
// the automatic run.
#include "MemoryUploadFixture.h"

#include "app/CommandLine.h"
#include "app/CommandLineStart.h"
#include "app/TThread_Auto.h"

namespace {

class CommandLineStartTest : public ModuleOperationTest
{
protected:
    void Start(const QStringList& arguments)
    {
        module.emplace(ModuleState(LogRecords(3)));
        form = std::make_unique<TForm_Korvane>();
        StartFromCommandLine(*form, ParseCommandLine(arguments));
    }
};

TEST_F(CommandLineStartTest, NoArgumentsShowTheWindowAndRunNothing)
{
    Start({});
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->AutoMode || form->SilentMode || form->EraseRequested || form->ConfigRequested);
    EXPECT_FALSE(form->AutoWorker);
    EXPECT_TRUE(services.Beeps().empty());
}

TEST_F(CommandLineStartTest, SilentAloneHidesAndMinimisesTheWindowAndRunsNothing)
{
    Start({"/S"});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(form->SilentMode);
    EXPECT_FALSE(form->AutoWorker);
    EXPECT_FALSE(form->Connected);
}

TEST_F(CommandLineStartTest, GivenFileNamesSurviveTheConnect)
{
    Start({"/fc", "Cfg.CSV", "/FM", "Mem.CSV", "/E", "/config"});
    ASSERT_TRUE(form->ConnectModule());
    EXPECT_EQ(form->AdvFileNameEdit_FileName->text(), "Mem.CSV");
    EXPECT_EQ(form->AdvFileNameEdit_Config->text(), "Cfg.CSV");
    EXPECT_TRUE(form->MemoryFileGiven && form->ConfigFileGiven);
    EXPECT_TRUE(form->EraseRequested && form->ConfigRequested);
    EXPECT_FALSE(form->AutoMode);
}

TEST_F(CommandLineStartTest, BeepSoundsOnceForOneSecondAtOneKilohertz)
{
    Start({"beep", "BEEP"});
    EXPECT_EQ(services.Beeps(), (std::vector<platform::FakeServices::BeepCall>{{1000, 1000}}));
}

TEST_F(CommandLineStartTest, AutoStartsTheSequenceWhichRunsToItsEnd)
{
    Start({"/a", "/s", "/fm", Path("mem.csv")});
    ASSERT_TRUE(form->AutoWorker);
    EXPECT_TRUE(form->AutoMode);
    EXPECT_TRUE(form->AutoWorker->Started());

    ::testing::internal::CaptureStdout();
    form->AutoWorker->WaitFor();
    const std::string out = ::testing::internal::GetCapturedStdout();

    const QByteArray memory = LogRecords(3);
    EXPECT_EQ(out, QString("%1 Bytes Uploaded\n").arg(memory.size()).toStdString());
    EXPECT_EQ(Contents(Path("mem.csv")), AsTextFile(memory));
    EXPECT_EQ(form->AutoState, 4);
}

}  // namespace
