// The command line of the tool, read once against one table of options, which also makes the
// --help text. Two forms of the same options:
// - the words "/auto", "/fm NAME", "beep", ...: whole words in any letter case, "/fm" and "/fc"
//   taking the next argument as typed; arguments that match nothing are ignored (those that look
//   like options are named in a warning), and the exit code is the byte count;
// - GNU-style "-a", "--auto", "--memory-file=NAME", "--" ending the options: a command line that
//   uses a run option in this form has the conventional exit statuses (0 success, 1 failure,
//   2 wrong usage), and there an unknown option or a stray argument is wrong usage.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLineOptions;

// One option. A run option has both forms, a slash word and a GNU name; a command of the tool
// itself (e.g. "--help") has `run`: it is answered at once, before any window or module, and ends
// the process.
struct CommandLineOption
{
    const char* words[2];   // the slash words ("/auto", "/a", "beep"), or nullptr
    char letter;            // the GNU short form "-a", or 0
    const char* name;       // the GNU long form "--auto" without its dashes, or nullptr
    const char* argument;   // the name of the argument it takes, or nullptr
    const char* help;       // its text in --help; "\n" starts another line of it
    bool CommandLineOptions::*flag;
    std::optional<QString> CommandLineOptions::*file;
    int (*run)(const CommandLineOptions& options);  // prints its answer; answers the exit code
};

struct CommandLineOptions
{
    bool Auto = false;
    bool Silent = false;
    bool Erase = false;
    bool Config = false;
    bool Beep = false;
    bool Exit = false;
    bool Utc = false;      // times of --records in UTC
    bool Verbose = false;  // the toolkit's own messages too
    std::optional<QString> MemoryFile;  // empty when "/fm" ends the command line
    std::optional<QString> ConfigFile;
    std::optional<QString> SettingsFile;  // a settings profile stored after the connect
    std::optional<QString> Node;          // the node-ID of this unattended run, as typed
    const CommandLineOption* Command = nullptr;  // the first command given
    QString CommandArgument;
    bool Conventional = false;  // a run option was given in its GNU form
    QString UsageError;         // the first thing wrong; the run does not start
    QStringList Ignored;        // arguments that look like options ("/atuo", "-auto") but are none

    bool operator==(const CommandLineOptions&) const = default;
};

// arguments: without the program name. Giving an option twice has the effect of giving it once;
// of two file names for the same file, the later one counts.
CommandLineOptions ParseCommandLine(const QStringList& arguments);

// The arguments as the user typed them, without the program name; file names keep their bytes
// (platform/FileName.h).
QStringList TypedArguments(int argc, const char* const* argv);
