#include "app/CommandLine.h"

#include "app/RecordsCommand.h"
#include "app/VerifyCommand.h"

#include <array>
#include <cstdio>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

namespace {

struct FlagOption
{
    const char* word;
    bool CommandLineOptions::*flag;
};

constexpr std::array<FlagOption, 11> FlagOptions{{
    {"/auto", &CommandLineOptions::Auto},
    {"/a", &CommandLineOptions::Auto},
    {"/silent", &CommandLineOptions::Silent},
    {"/s", &CommandLineOptions::Silent},
    {"/erase", &CommandLineOptions::Erase},
    {"/e", &CommandLineOptions::Erase},
    {"/config", &CommandLineOptions::Config},
    {"/c", &CommandLineOptions::Config},
    {"beep", &CommandLineOptions::Beep},
    {"exit", &CommandLineOptions::Exit},
    {"--utc", &CommandLineOptions::Utc},
}};

struct FileOption
{
    const char* word;
    std::optional<QString> CommandLineOptions::*name;
};

constexpr std::array<FileOption, 2> FileOptions{{
    {"/fm", &CommandLineOptions::MemoryFile},
    {"/fc", &CommandLineOptions::ConfigFile},
}};

int PrintUsage(const CommandLineOptions&);
int PrintVersion(const CommandLineOptions&);
int Verify(const CommandLineOptions& options);
int Records(const CommandLineOptions& options);

constexpr std::array<ToolCommand, 4> ToolCommands{{
    {"--help", "-h", nullptr, "show this help and end", &PrintUsage},
    {"--version", nullptr, nullptr, "show the version and end", &PrintVersion},
    {"--verify", nullptr, "MEMORY-FILE", "check every upload recorded in MEMORY-FILE.uploads against the file and end\n"
     "                   (exit code 0: all intact, 1: something differs, 2: no readable record)", &Verify},
    {"--records", nullptr, "MEMORY-FILE", "write the records the module logged in MEMORY-FILE as CSV, times with their\n"
     "                   offset from UTC (with --utc: in UTC), and end (exit code 0; 1: an upload differs\n"
     "                   from its record; 2: the file or its record cannot be read)", &Records},
}};

int PrintUsage(const CommandLineOptions&)
{
    std::fputs("Usage: korvane [/auto|/a] [/silent|/s] [/erase|/e] [/config|/c] [/fm MEMORY-FILE] [/fc CONFIG-FILE]\n"
               "               [beep] [exit]\n"
               "Maintenance tool for the Korvane CANopen clock and memory module; without options it opens its window.\n"
               "\n"
               "  /auto, /a        unattended run: connect, upload the memory, then the configuration (/config),\n"
               "                   erase the module (/erase, only after a complete upload), end\n"
               "  /silent, /s      no window and no progress dialog\n"
               "  /erase, /e       erase the module's memory at the end of an unattended run\n"
               "  /config, /c      also upload the configuration record\n"
               "  /fm MEMORY-FILE  the memory file, appended to (default MemFile_YYYY_MM_DD.csv or FaultLog_...)\n"
               "  /fc CONFIG-FILE  the configuration file, replaced (default ConfigFile_YYYY_MM_DD.csv or FaultConfig_...)\n"
               "  beep             a one-second beep at start\n"
               "  exit             end at once\n",
               stdout);
    for (const ToolCommand& command : ToolCommands) {
        QString words = QLatin1String(command.word);
        if (command.shortWord)
            words += QLatin1String(", ") + QLatin1String(command.shortWord);
        if (command.argument)
            words += QLatin1Char(' ') + QLatin1String(command.argument);
        std::printf("  %-16s %s\n", words.toLocal8Bit().constData(), command.help);
    }
    std::fputs("\n"
               "Options are whole words in any letter case. An unattended run prints one line on standard output:\n"
               "  N Bytes Uploaded\n"
               "  Upload Failed! (step: connect|memory|configuration|erase)\n"
               "and ends with the byte count N of the last upload as exit code (at most 254; 255: an unexpected\n"
               "error). Reasons for a failure go to standard error.\n",
               stdout);
    return 0;
}

int PrintVersion(const CommandLineOptions&)
{
    std::printf("korvane %s\n", KORVANE_VERSION);
    return 0;
}

int Verify(const CommandLineOptions& options)
{
    if (!options.CommandArgument.isEmpty())
        return VerifyUploads(options.CommandArgument, stdout, stderr);
    std::fputs("usage: korvane --verify MEMORY-FILE\n", stderr);
    return 2;
}

int Records(const CommandLineOptions& options)
{
    if (!options.CommandArgument.isEmpty())
        return ExportRecords(options.CommandArgument, options.Utc, stdout, stderr);
    std::fputs("usage: korvane --records MEMORY-FILE [--utc]\n", stderr);
    return 2;
}

bool LooksLikeAnOption(const QString& argument)
{
    return argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-'));
}

// The argument after position i, consumed: as typed, empty when there is none.
QString TakeNext(const QStringList& arguments, qsizetype& i)
{
    ++i;
    return i < arguments.size() ? arguments[i] : QString();
}

}  // namespace

CommandLineOptions ParseCommandLine(const QStringList& arguments)
{
    CommandLineOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString word = arguments[i].toLower();
        bool known = false;
        for (const FlagOption& option : FlagOptions)
            if (word == QLatin1String(option.word)) {
                options.*option.flag = true;
                known = true;
            }
        for (const FileOption& option : FileOptions)
            if (word == QLatin1String(option.word)) {
                // The name is taken as typed and is never read as an option.
                options.*option.name = TakeNext(arguments, i);
                known = true;
            }
        for (const ToolCommand& command : ToolCommands)
            if (word == QLatin1String(command.word) || (command.shortWord && word == QLatin1String(command.shortWord))) {
                const QString argument = command.argument ? TakeNext(arguments, i) : QString();
                if (!options.Command) {
                    options.Command = &command;
                    options.CommandArgument = argument;
                }
                known = true;
            }
        if (!known && LooksLikeAnOption(arguments[i]))
            options.Ignored.append(arguments[i]);
    }
    return options;
}

QStringList TypedArguments(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}
