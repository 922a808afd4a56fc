// Reading the command line: whole words, any letter case, file names as typed; the GNU forms.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, NoArgumentsGiveAnInteractiveStart)
{
    EXPECT_EQ(ParseCommandLine({}), CommandLineOptions{});
}

TEST(CommandLine, OptionsAreWholeWordsInAnyLetterCase)
{
    const CommandLineOptions options = ParseCommandLine({"/AUTO", "/Silent", "/e", "/CoNfIg", "BEEP", "Exit"});
    EXPECT_TRUE(options.Auto);
    EXPECT_TRUE(options.Silent);
    EXPECT_TRUE(options.Erase);
    EXPECT_TRUE(options.Config);
    EXPECT_TRUE(options.Beep);
    EXPECT_TRUE(options.Exit);
    EXPECT_FALSE(options.MemoryFile);
    EXPECT_FALSE(options.ConfigFile);

    const CommandLineOptions shortForms = ParseCommandLine({"/a", "/S", "/E", "/c"});
    EXPECT_TRUE(shortForms.Auto && shortForms.Silent && shortForms.Erase && shortForms.Config);
}

TEST(CommandLine, NearMissesMatchNothingAndThoseLookingLikeOptionsAreNamed)
{
    CommandLineOptions expected;
    expected.Ignored = QStringList{"/autox", "-auto", "/au", "/silent=1", "/exit", "/f", "/fmx", "-help"};
    EXPECT_EQ(ParseCommandLine({"/autox", "-auto", "auto", "/au", "/silent=1", " /s", "beeps", "/exit", "/f", "/fmx",
                                "\\a", "", "-help"}),
              expected);
}

TEST(CommandLine, FileNamesAreTakenAsTypedAndNeverReadAsOptions)
{
    const CommandLineOptions options = ParseCommandLine({"/FM", "Data/MemFile.CSV", "/fc", "/AUTO"});
    EXPECT_EQ(options.MemoryFile, QString("Data/MemFile.CSV"));
    EXPECT_EQ(options.ConfigFile, QString("/AUTO"));
    EXPECT_FALSE(options.Auto);
}

TEST(CommandLine, ATrailingFileOptionGivesAnEmptyName)
{
    const CommandLineOptions options = ParseCommandLine({"/auto", "/fm"});
    EXPECT_TRUE(options.Auto);
    ASSERT_TRUE(options.MemoryFile);
    EXPECT_TRUE(options.MemoryFile->isEmpty());
    EXPECT_FALSE(options.ConfigFile);
}

TEST(CommandLine, RepeatedOptionsCountOnceAndTheLaterFileNameWins)
{
    const CommandLineOptions options = ParseCommandLine({"/fm", "a.csv", "beep", "/a", "/auto", "BEEP", "/fm", "b.csv"});
    EXPECT_EQ(options.MemoryFile, QString("b.csv"));
    EXPECT_TRUE(options.Beep);
    EXPECT_TRUE(options.Auto);
}

}  // namespace

TEST(CommandLine, GnuFormsMeanTheSameAndAskForConventionalStatuses)
{
    const CommandLineOptions gnu = ParseCommandLine({"-ae", "--SILENT", "--memory-file=m.csv", "--config-file", "-c.csv", "-c"});
    EXPECT_TRUE(gnu.Auto && gnu.Erase && gnu.Silent && gnu.Config && gnu.Conventional);
    EXPECT_EQ(gnu.MemoryFile, QString("m.csv"));
    EXPECT_EQ(gnu.ConfigFile, QString("-c.csv"));
    EXPECT_TRUE(gnu.UsageError.isEmpty()) << gnu.UsageError.toStdString();

    // Words and commands alone keep the byte count; "--" ends the options in either form.
    EXPECT_FALSE(ParseCommandLine({"/a", "--utc", "beep", "--", "-a"}).Conventional);
    EXPECT_EQ(ParseCommandLine({"-a", "--", "/e"}).UsageError, "unexpected argument \"/e\"");
    EXPECT_EQ(ParseCommandLine({"--auto", "-auto"}).UsageError, "unknown option \"-auto\"");
    EXPECT_EQ(ParseCommandLine({"--auto=yes"}).UsageError, "option \"--auto\" takes no value");
    EXPECT_EQ(ParseCommandLine({"/a", "--memory-file="}).UsageError, "option \"--memory-file\" needs a MEMORY-FILE");
}
