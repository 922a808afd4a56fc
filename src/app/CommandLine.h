// The command line of the tool: whole-word options, letter case ignored, "/fm" and "/fc" taking
// the next argument as typed. Arguments that match no option are ignored.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLineOptions
{
    bool Auto = false;     // "/auto", "/a"
    bool Silent = false;   // "/silent", "/s"
    bool Erase = false;    // "/erase", "/e"
    bool Config = false;   // "/config", "/c"
    bool Beep = false;     // "beep"
    bool Exit = false;     // "exit"
    std::optional<QString> MemoryFile;  // "/fm NAME"; empty when nothing follows
    std::optional<QString> ConfigFile;  // "/fc NAME"; empty when nothing follows

    bool operator==(const CommandLineOptions&) const = default;
};

// arguments: without the program name. Giving an option twice has the effect of giving it once;
// of two file names for the same file, the later one counts.
CommandLineOptions ParseCommandLine(const QStringList& arguments);
