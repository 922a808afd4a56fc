// Reading the command line: whole words, any letter case, file names as typed.
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
