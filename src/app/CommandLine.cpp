#include "app/CommandLine.h"

#include <array>

namespace {

struct FlagOption
{
    const char* word;
    bool CommandLineOptions::*flag;
};

constexpr std::array<FlagOption, 10> FlagOptions{{
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

}  // namespace

CommandLineOptions ParseCommandLine(const QStringList& arguments)
{
    CommandLineOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString word = arguments[i].toLower();
        for (const FlagOption& option : FlagOptions)
            if (word == QLatin1String(option.word))
                options.*option.flag = true;
        for (const FileOption& option : FileOptions)
            if (word == QLatin1String(option.word)) {
                // The name is taken as typed and is never read as an option.
                options.*option.name = i + 1 < arguments.size() ? arguments[i + 1] : QString();
                ++i;
            }
    }
    return options;
}
