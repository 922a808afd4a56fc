#include "app/CommandLine.h"

#include "app/RecordsCommand.h"
#include "app/SaveSettingsCommand.h"
#include "app/ScanCommand.h"
#include "app/ViewCommand.h"
#include "app/VerifyCommand.h"
#include "platform/FileName.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

namespace {

using Options = CommandLineOptions;

int PrintUsage(const Options&);
int PrintVersion(const Options&);
int Verify(const Options& options);
int Records(const Options& options);
int SaveSettings(const Options& options);
int Scan(const Options&) { return ScanBus(); }
int View(const Options& options);

// Adding an option is one row here and, for a run option, one field of CommandLineOptions.
constexpr auto OptionTable = std::to_array<CommandLineOption>({
    {{"/auto", "/a"}, 'a', "auto", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "unattended run: connect, upload the memory, then the\n"
                                      "configuration (--config), erase the module (--erase, only\n"
                                      "after a complete upload), end"),
     &Options::Auto, nullptr, nullptr},
    {{"/silent", "/s"}, 's', "silent", nullptr, QT_TRANSLATE_NOOP("CommandLine", "no window and no progress dialog"),
     &Options::Silent, nullptr, nullptr},
    {{"/erase", "/e"}, 'e', "erase", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "erase the module's memory at the end of an unattended run"), &Options::Erase,
     nullptr, nullptr},
    {{"/config", "/c"}, 'c', "config", nullptr, QT_TRANSLATE_NOOP("CommandLine", "also upload the configuration record"),
     &Options::Config, nullptr, nullptr},
    {{"/fm", nullptr}, 0, "memory-file", "MEMORY-FILE",
     QT_TRANSLATE_NOOP("CommandLine", "the memory file, appended to\n"
                                      "(default MemFile_YYYY_MM_DD.csv or FaultLog_...)"),
     nullptr, &Options::MemoryFile, nullptr},
    {{"/fc", nullptr}, 0, "config-file", "CONFIG-FILE",
     QT_TRANSLATE_NOOP("CommandLine", "the configuration file, replaced\n"
                                      "(default ConfigFile_YYYY_MM_DD.csv or FaultConfig_...)"),
     nullptr, &Options::ConfigFile, nullptr},
    {{"/settings", nullptr}, 0, "settings", "PROFILE",
     QT_TRANSLATE_NOOP("CommandLine", "store the settings profile PROFILE (.dcf) after the connect\n"
                                      "and read it back; when that fails nothing is uploaded"),
     nullptr, &Options::SettingsFile, nullptr},
    {{"/node", nullptr}, 0, "node", "N",
     QT_TRANSLATE_NOOP("CommandLine", "talk to the module at node-ID N (1-127) in this unattended\n"
                                      "run; interface.ini keeps its own"),
     nullptr, &Options::Node, nullptr},
    {{"beep", nullptr}, 0, nullptr, nullptr, QT_TRANSLATE_NOOP("CommandLine", "a one-second beep at start"),
     &Options::Beep, nullptr, nullptr},
    {{"exit", nullptr}, 0, nullptr, nullptr, QT_TRANSLATE_NOOP("CommandLine", "end at once"), &Options::Exit, nullptr,
     nullptr},
    {{nullptr, nullptr}, 'h', "help", nullptr, QT_TRANSLATE_NOOP("CommandLine", "show this help and end"), nullptr,
     nullptr, &PrintUsage},
    {{nullptr, nullptr}, 0, "version", nullptr, QT_TRANSLATE_NOOP("CommandLine", "show the version and end"), nullptr,
     nullptr, &PrintVersion},
    {{nullptr, nullptr}, 0, "verify", "MEMORY-FILE",
     QT_TRANSLATE_NOOP("CommandLine", "check every upload recorded in MEMORY-FILE.uploads against\n"
                                      "the file and end (exit status 0: all intact, 1: something\n"
                                      "differs, 2: no readable record)"),
     nullptr, nullptr, &Verify},
    {{nullptr, nullptr}, 0, "scan", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "list the modules on the configured interface's bus as CSV\n"
                                      "and end (exit status 0: a module answered, 1: none did,\n"
                                      "2: the interface cannot be opened)"),
     nullptr, nullptr, &Scan},
    {{nullptr, nullptr}, 0, "records", "MEMORY-FILE",
     QT_TRANSLATE_NOOP("CommandLine", "write the records the module logged in MEMORY-FILE as CSV,\n"
                                      "times with their offset from UTC, and end (exit status 0;\n"
                                      "1: an upload differs from its record; 2: the file or its\n"
                                      "record cannot be read)"),
     nullptr, nullptr, &Records},
    {{nullptr, nullptr}, 0, "view", "MEMORY-FILE",
     QT_TRANSLATE_NOOP("CommandLine", "show the uploads and records of MEMORY-FILE in a window,\n"
                                      "with a filter and a timeline; it only reads the file"),
     nullptr, nullptr, &View},
    {{nullptr, nullptr}, 0, "save-settings", "PROFILE",
     QT_TRANSLATE_NOOP("CommandLine", "save the module's settings into PROFILE (.dcf, replaced\n"
                                      "whole) and end (exit status 0; 1: nothing saved)"),
     nullptr, nullptr, &SaveSettings},
    {{nullptr, nullptr}, 0, "utc", nullptr, QT_TRANSLATE_NOOP("CommandLine", "with --records: the times in UTC"),
     &Options::Utc, nullptr, nullptr},
    {{nullptr, nullptr}, 'v', "verbose", nullptr,
     QT_TRANSLATE_NOOP("CommandLine", "also the toolkit's own messages on standard error\n"
                                      "(as KORVANE_DEBUG=1 does)"),
     &Options::Verbose, nullptr, nullptr},
});

QString Tr(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(platform::FileNameBytes(text).constData(), stream);
}

bool IsRunOption(const CommandLineOption& option)
{
    return option.words[0] && option.name;
}

// "/auto, /a, -a, --auto", "/fm, --memory-file MEMORY-FILE"
QString Forms(const CommandLineOption& option)
{
    QStringList forms;
    for (const char* word : option.words)
        if (word)
            forms << QLatin1String(word);
    if (option.letter)
        forms << QStringLiteral("-") + QLatin1Char(option.letter);
    if (option.name)
        forms << QStringLiteral("--") + QLatin1String(option.name);
    QString text = forms.join(QStringLiteral(", "));
    if (option.argument)
        text += QLatin1Char(' ') + QLatin1String(option.argument);
    return text;
}

int PrintUsage(const Options&)
{
    Print(stdout, Tr("Usage: korvane [OPTION...]\n"
                     "Maintenance tool for the Korvane CANopen clock and memory module; without options it opens "
                     "its window.\n\n"));
    qsizetype column = 0;
    for (const CommandLineOption& option : OptionTable)
        column = std::max(column, Forms(option).size());
    for (const CommandLineOption& option : OptionTable) {
        const QStringList lines = Tr(option.help).split(QLatin1Char('\n'));
        Print(stdout, QStringLiteral("  %1  %2\n").arg(Forms(option), -int(column)).arg(lines.first()));
        for (const QString& line : lines.mid(1))
            Print(stdout, QString(int(column) + 4, QLatin1Char(' ')) + line + QLatin1Char('\n'));
    }
    Print(stdout, Tr("\n"
                     "The words /auto, /fm, beep, ... are whole words in any letter case; the GNU forms beside them "
                     "mean the same,\n"
                     "--memory-file=NAME also, and \"--\" ends the options. An unattended run prints one line on "
                     "standard output:\n"
                     "  N Bytes Uploaded\n"
                     "  Upload Failed! (step: connect|settings|memory|configuration|erase)\n"
                     "Reasons for a failure go to standard error. Exit status of a command line that gives a run "
                     "option in its\n"
                     "GNU form (-a, --auto, --memory-file, ...): 0 success, 1 failure, 2 wrong usage or no display. "
                     "With the\n"
                     "words alone: the byte count N of the last upload (at most 254; 255: an unexpected error; 2 "
                     "also: no display).\n"));
    return 0;
}

int PrintVersion(const Options&)
{
    std::printf("korvane %s\n", KORVANE_VERSION);
    return 0;
}

int Verify(const Options& options)
{
    if (!options.CommandArgument.isEmpty())
        return VerifyUploads(options.CommandArgument, stdout, stderr);
    std::fputs("usage: korvane --verify MEMORY-FILE\n", stderr);
    return 2;
}

int Records(const Options& options)
{
    if (!options.CommandArgument.isEmpty())
        return ExportRecords(options.CommandArgument, options.Utc, stdout, stderr);
    std::fputs("usage: korvane --records MEMORY-FILE [--utc]\n", stderr);
    return 2;
}

int View(const Options& options)
{
    if (!options.CommandArgument.isEmpty())
        return ViewMemoryFile(options.CommandArgument);
    std::fputs("usage: korvane --view MEMORY-FILE\n", stderr);
    return 2;
}

int SaveSettings(const Options& options)
{
    if (!options.CommandArgument.isEmpty())
        return SaveSettingsFromModule(options.CommandArgument);
    std::fputs("usage: korvane --save-settings PROFILE\n", stderr);
    return 2;
}

bool LooksLikeAnOption(const QString& argument)
{
    return argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-'));
}

class Parser
{
public:
    explicit Parser(const QStringList& arguments) : arguments_(arguments) {}

    Options Parse()
    {
        bool optionsEnded = false;
        for (; i_ < arguments_.size(); ++i_) {
            const QString& argument = arguments_[i_];
            if (optionsEnded)
                stray_ << argument;
            else if (argument == QLatin1String("--"))
                optionsEnded = true;
            else if (argument.startsWith(QLatin1String("--")))
                LongOption(argument);
            else if (argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
                if (!ShortOptions(argument))
                    unknown_ << argument;
            } else if (Word(argument)) {
                continue;
            } else if (LooksLikeAnOption(argument)) {
                unknown_ << argument;
            } else {
                stray_ << argument;
            }
        }
        Options options = options_;
        if (!options.Conventional)
            options.Ignored = unknown_;
        else if (options.UsageError.isEmpty() && !unknown_.isEmpty())
            options.UsageError = Tr("unknown option \"%1\"").arg(unknown_.first());
        else if (options.UsageError.isEmpty() && !stray_.isEmpty())
            options.UsageError = Tr("unexpected argument \"%1\"").arg(stray_.first());
        return options;
    }

private:
    void Fail(const QString& error)
    {
        if (options_.UsageError.isEmpty())
            options_.UsageError = error;
    }

    // The argument after the current one, consumed: as typed, also when it begins with "-";
    // nullopt when there is none.
    std::optional<QString> TakeNext()
    {
        if (i_ + 1 >= arguments_.size())
            return std::nullopt;
        return arguments_[++i_];
    }

    void Apply(const CommandLineOption& option, const QString& value, bool gnuForm)
    {
        if (gnuForm && IsRunOption(option))
            options_.Conventional = true;
        if (option.flag)
            options_.*option.flag = true;
        if (option.file)
            options_.*option.file = value;
        if (option.run && !options_.Command) {
            options_.Command = &option;
            options_.CommandArgument = value;
        }
    }

    // "--name", "--name VALUE", "--name=VALUE"
    void LongOption(const QString& argument)
    {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2).toLower();
        for (const CommandLineOption& option : OptionTable) {
            if (!option.name || name != QLatin1String(option.name))
                continue;
            const QString written = QStringLiteral("--") + QLatin1String(option.name);
            if (!option.argument && equals >= 0)
                return Fail(Tr("option \"%1\" takes no value").arg(written));
            std::optional<QString> value;
            if (equals >= 0)
                value = argument.mid(equals + 1);
            else if (option.argument)
                value = TakeNext();
            // A command says itself what is missing.
            if (option.file && value.value_or(QString()).isEmpty()) {
                Apply(option, {}, true);
                return Fail(Tr("option \"%1\" needs a %2").arg(written, QLatin1String(option.argument)));
            }
            return Apply(option, value.value_or(QString()), true);
        }
        unknown_ << argument;
    }

    // "-a", or flags together as in "-ase"; false when a letter is not one of them.
    bool ShortOptions(const QString& argument)
    {
        const QString letters = argument.mid(1).toLower();
        std::vector<const CommandLineOption*> found;
        for (const QChar letter : letters) {
            const CommandLineOption* match = nullptr;
            for (const CommandLineOption& option : OptionTable)
                if (option.letter && letter == QLatin1Char(option.letter) && (letters.size() == 1 || option.flag))
                    match = &option;
            if (!match)
                return false;
            found.push_back(match);
        }
        for (const CommandLineOption* option : found) {
            const std::optional<QString> value = option->argument ? TakeNext() : std::nullopt;
            Apply(*option, value.value_or(QString()), true);
        }
        return true;
    }

    // The slash words and "beep", "exit".
    bool Word(const QString& argument)
    {
        const QString word = argument.toLower();
        for (const CommandLineOption& option : OptionTable)
            for (const char* form : option.words)
                if (form && word == QLatin1String(form)) {
                    // The name is taken as typed and is never read as an option; "/fm" at the end
                    // gives an empty name, which the upload refuses.
                    const QString value = option.argument ? TakeNext().value_or(QString()) : QString();
                    Apply(option, value, false);
                    return true;
                }
        return false;
    }

    const QStringList& arguments_;
    qsizetype i_ = 0;
    Options options_;
    QStringList unknown_;
    QStringList stray_;
};

}  // namespace

CommandLineOptions ParseCommandLine(const QStringList& arguments)
{
    return Parser(arguments).Parse();
}

QStringList TypedArguments(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(platform::FileNameFromBytes(argv[i]));
    return arguments;
}
