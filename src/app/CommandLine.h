// The command line of the tool: whole-word options, letter case ignored, "/fm" and "/fc" taking
// the next argument as typed. Arguments that match no option are ignored.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLineOptions;

// A command of the tool itself ("--help"): answered at once, before any window or module, and
// the end of the process.
struct ToolCommand
{
    const char* word;       // the long form
    const char* shortWord;  // or nullptr
    const char* argument;   // the name of the argument it takes, or nullptr
    const char* help;       // its line in the usage
    int (*run)(const CommandLineOptions& options);  // prints its answer; answers the exit code
};

struct CommandLineOptions
{
    bool Auto = false;     // "/auto", "/a"
    bool Silent = false;   // "/silent", "/s"
    bool Erase = false;    // "/erase", "/e"
    bool Config = false;   // "/config", "/c"
    bool Beep = false;     // "beep"
    bool Exit = false;     // "exit"
    bool Utc = false;      // "--utc": times of --records in UTC
    std::optional<QString> MemoryFile;  // "/fm NAME"; empty when nothing follows
    std::optional<QString> ConfigFile;  // "/fc NAME"; empty when nothing follows
    const ToolCommand* Command = nullptr;  // the first command given
    QString CommandArgument;
    QStringList Ignored;  // arguments that look like options ("/atuo", "-auto") but are none

    bool operator==(const CommandLineOptions&) const = default;
};

// arguments: without the program name. Giving an option twice has the effect of giving it once;
// of two file names for the same file, the later one counts.
CommandLineOptions ParseCommandLine(const QStringList& arguments);

// The arguments as the user typed them, without the program name.
QStringList TypedArguments(int argc, const char* const* argv);
