// Start-up and the whole "exit" run of the tool, each divided by the same for a bare Qt Widgets
// window built beside it (tab widget with two pages, a button, an edit, a status bar), and the peak memory of the two. Both run offscreen in the
// sandbox, in alternation, so that load on the machine falls on both alike.
#include "Measurements.h"

#include "support/ChildProcess.h"
#include "support/ModuleFiles.h"
#include "common/Statistics.h"

#include <QFile>

#include <chrono>

namespace bench {

namespace {

constexpr int kRounds = 9;
// Far longer than either program needs; a run that takes longer is a failure, not a figure.
constexpr std::chrono::seconds kLongestRun{30};

struct Program {
    QString label;
    std::string path;
    // For the run to the first paint: the tool starts its window on the offscreen platform only
    // with "exit", which it still paints before its loop ends.
    std::vector<std::string> shownArguments;
};

struct Figures {
    std::vector<double> shown;    // seconds from start to the main window painted
    std::vector<double> exitRun;  // seconds of the whole run with "exit"
    std::vector<double> peakRss;  // KiB, of the "exit" runs
    bool failed = false;
};

testsupport::ChildSpec childSpec(const BenchRun& run, const Program& program)
{
    testsupport::ChildSpec spec;
    spec.program = program.path;
    spec.environment = run.sandbox.childEnvironment();
    spec.environment.push_back("QT_QPA_PLATFORM=offscreen");
    spec.workingFolder = run.sandbox.work().toStdString();
    return spec;
}

// The show probe, preloaded, writes the moment of the first paint of a main window (on the
// monotonic clock this process reads too) and ends the program.
std::optional<double> secondsToShown(const BenchRun& run, const Program& program)
{
    const QString stamp = run.sandbox.root() + QStringLiteral("/shown");
    QFile::remove(stamp);
    testsupport::ChildSpec spec = childSpec(run, program);
    spec.arguments = program.shownArguments;
    spec.environment.push_back("LD_PRELOAD=" + (run.libraryFolder + QStringLiteral("/libkorvane_show_probe.so")).toStdString());
    spec.environment.push_back("KORVANE_SHOW_PROBE=" + stamp.toStdString());
    testsupport::ChildProcess child(spec);
    const bool ended = child.waitAtMost(kLongestRun);
    const auto written = testsupport::readFile(stamp);
    if (!ended || child.exitCode() != 0 || !written)
        return std::nullopt;
    const std::chrono::nanoseconds shownAt(written->trimmed().toLongLong());
    const std::chrono::duration<double> took = std::chrono::steady_clock::time_point(shownAt) - child.startedAt();
    return took.count();
}

void exitRun(const BenchRun& run, const Program& program, Figures& figures)
{
    testsupport::ChildSpec spec = childSpec(run, program);
    spec.arguments = {"exit"};
    testsupport::ChildProcess child(spec);
    if (!child.waitAtMost(kLongestRun) || child.exitCode() != 0) {
        figures.failed = true;
        return;
    }
    figures.exitRun.push_back(std::chrono::duration<double>(child.elapsed()).count());
    figures.peakRss.push_back(double(child.peakRssKiB()));
}

void measure(const BenchRun& run, const Program& program, Figures& figures)
{
    if (const auto shown = secondsToShown(run, program))
        figures.shown.push_back(*shown);
    else
        figures.failed = true;
    exitRun(run, program, figures);
}

void addRatio(BenchRun& run, const QString& what, const std::vector<double>& tool, const std::vector<double>& reference,
              const QString& referenceName, bool memory)
{
    const auto show = [memory](double value) {
        return memory ? QStringLiteral("%1 MiB").arg(value / 1024, 0, 'f', 1) : formatSeconds(value);
    };
    run.table.add({what, show(median(tool)), referenceName + u' ' + show(median(reference)), median(tool) / median(reference)});
}

} // namespace

void measureStartup(BenchRun& run)
{
    testsupport::installModule(run.sandbox, testsupport::blankModule()); // an interactive start opens nothing, but reads the configuration
    const Program tool{QStringLiteral("korvane"), (run.binaryFolder + QStringLiteral("/korvane")).toStdString(), {"exit"}};
    const QString reference = QStringLiteral("bare Qt Widgets window");
    const Program bare{reference, (run.binaryFolder + QStringLiteral("/korvane_bench_bare_window")).toStdString(), {}};
    Figures toolFigures, bareFigures;
    for (int round = 0; round < kRounds && !toolFigures.failed && !bareFigures.failed; ++round) {
        measure(run, tool, toolFigures);
        measure(run, bare, bareFigures);
    }
    if (toolFigures.failed || bareFigures.failed) {
        run.table.note(QStringLiteral("Start-up: a run of %1 did not end normally within %2 s")
                           .arg(toolFigures.failed ? tool.label : bare.label)
                           .arg(kLongestRun.count()));
        return;
    }
    addRatio(run, QStringLiteral("Start-up to main window shown (offscreen), median of %1").arg(kRounds),
             toolFigures.shown, bareFigures.shown, reference, false);
    addRatio(run, QStringLiteral("Whole \"exit\" run, median of %1").arg(kRounds), toolFigures.exitRun,
             bareFigures.exitRun, reference, false);
    addRatio(run, QStringLiteral("Peak RSS of the \"exit\" run"), toolFigures.peakRss, bareFigures.peakRss,
             reference, true);
}

} // namespace bench
