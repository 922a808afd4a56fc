// `make soak`: hundreds of automatic runs of the built tool against simulated modules with random
// faults, then uploads killed with SIGKILL or cancelled with SIGTERM at random moments. After
// every run the invariant is checked; the summary gives runs, faults injected, bytes checked and
// bytes lost.
//
//   korvane_soak --tool PATH [--runs N] [--kills N] [--cancels N] [--parallel P] [--seed S]
#include "support/ChildProcess.h"
#include "support/ModuleFiles.h"
#include "common/Statistics.h"
#include "soak/Check.h"
#include "soak/RecordCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <csignal>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <thread>

#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Options {
    std::string tool;
    int runs = 320;
    int kills = 60;
    int cancels = 60;
    int parallel = 6;
    unsigned seed = std::random_device{}();
};

struct Totals {
    int runs = 0;
    int killed = 0;
    int faults = 0;
    std::map<soak::Fault, int> faultsByKind;
    qsizetype bytesChecked = 0;
    qsizetype bytesLost = 0;
    int failedRuns = 0;
    std::vector<double> quietRunSeconds; // runs without erase: start-up plus a short read-out
};

struct ActiveRun {
    soak::Scenario scenario;
    testsupport::Sandbox sandbox;
    std::unique_ptr<testsupport::ChildProcess> child;
    Clock::time_point deadline;
    bool hung = false;
    bool appended = false;  // kForeignLine, by "another program"
};

void writeBefore(const testsupport::Sandbox& sandbox, const QString& name, const std::optional<QByteArray>& bytes)
{
    if (bytes && !QDir::isAbsolutePath(name))
        testsupport::writeFile(sandbox.work() + u'/' + name, *bytes);
}

class Soak {
public:
    Soak(Options options, QString root) : options_(std::move(options)), root_(std::move(root)) {}

    void run(std::deque<soak::Scenario> queue)
    {
        while (!queue.empty() || !active_.empty()) {
            while (!queue.empty() && int(active_.size()) < options_.parallel) {
                start(std::move(queue.front()));
                queue.pop_front();
            }
            for (auto it = active_.begin(); it != active_.end();) {
                if (watch(**it)) {
                    finish(**it);
                    it = active_.erase(it);
                } else {
                    ++it;
                }
            }
            std::this_thread::sleep_for(5ms);
        }
    }

    const Totals& totals() const { return totals_; }

private:
    void start(soak::Scenario scenario)
    {
        const QString folder = root_ + QStringLiteral("/run-%1").arg(scenario.number, 4, 10, QLatin1Char('0'));
        auto run = std::make_unique<ActiveRun>(ActiveRun{std::move(scenario), testsupport::Sandbox(folder), nullptr, {}});
        const soak::Scenario& s = run->scenario;
        testsupport::installModule(run->sandbox, s.module);
        writeBefore(run->sandbox, s.memoryFile, s.memoryFileBefore);
        writeBefore(run->sandbox, s.configurationFile, s.configurationFileBefore);
        const QString memoryFile = run->sandbox.work() + u'/' + s.memoryFile;
        if (s.has(soak::Fault::PlantedStage))
            testsupport::writeFile(run->sandbox.work() + QStringLiteral("/.") + s.memoryFile + QStringLiteral(".upload"),
                                   soak::kPlantedStage);
        if (s.has(soak::Fault::FifoWithoutReader))
            ::mkfifo(QFile::encodeName(memoryFile).constData(), 0600);
        testsupport::ChildSpec spec;
        spec.program = options_.tool;
        for (const QString& argument : s.arguments())
            spec.arguments.push_back(argument.toStdString());
        spec.environment = run->sandbox.childEnvironment();
        spec.workingFolder = run->sandbox.work().toStdString();
        spec.stdoutPath = (run->sandbox.root() + QStringLiteral("/stdout")).toStdString();
        spec.stderrPath = (run->sandbox.root() + QStringLiteral("/stderr")).toStdString();
        spec.fileSizeLimit = s.fileSizeLimit;
        // Generous: start-up, a slow read-out on a loaded machine, the 5 s wait of the erase.
        run->deadline = Clock::now() + 30s + std::chrono::milliseconds(s.module.memory.size() / 255 * 40);
        run->child = std::make_unique<testsupport::ChildProcess>(spec);
        active_.push_back(std::move(run));
    }

    // True once the run has ended; kills it at its moment, or when it hangs.
    bool watch(ActiveRun& run)
    {
        if (run.child->poll())
            return true;
        const auto& appendAfter = run.scenario.appendAfter;
        if (appendAfter && !run.appended && run.child->elapsed() >= *appendAfter) {
            QFile memory(run.sandbox.work() + u'/' + run.scenario.memoryFile);
            run.appended = memory.open(QIODevice::Append) && memory.write(soak::kForeignLine) > 0;
        }
        const auto& killAfter = run.scenario.killAfter;
        if ((killAfter && run.child->elapsed() >= *killAfter) || Clock::now() > run.deadline) {
            run.hung = !killAfter;
            run.child->kill(killAfter && run.scenario.cancel ? SIGTERM : SIGKILL);
            run.child->wait();
            return true;
        }
        return false;
    }

    void finish(ActiveRun& run)
    {
        const soak::Scenario& s = run.scenario;
        soak::RunResult result;
        result.killed = s.killAfter.has_value() && run.child->signal() == (s.cancel ? SIGTERM : SIGKILL);
        result.hung = run.hung;
        result.exited = run.child->exited();
        result.exitCode = run.child->exitCode();
        result.signal = run.child->signal();
        result.standardOutput = testsupport::readFile(run.sandbox.root() + QStringLiteral("/stdout")).value_or(QByteArray());
        result.foreignAppended = run.appended;
        soak::Verdict verdict = soak::check(s, run.sandbox, result);
        if (!result.hung)
            soak::checkUploadRecord(s, run.sandbox, options_.tool, result.killed, result.foreignAppended, verdict);

        ++totals_.runs;
        totals_.killed += result.killed;
        totals_.faults += int(s.faults.size());
        for (soak::Fault fault : s.faults)
            ++totals_.faultsByKind[fault];
        totals_.bytesChecked += verdict.bytesChecked;
        totals_.bytesLost += verdict.bytesLost;
        if (!s.killAfter && result.exited && !s.expectation().moduleEmptied)
            totals_.quietRunSeconds.push_back(std::chrono::duration<double>(run.child->elapsed()).count());

        if (verdict.problems.isEmpty()) {
            QDir(run.sandbox.root()).removeRecursively();
        } else {
            ++totals_.failedRuns;
            const auto errors = testsupport::readFile(run.sandbox.root() + QStringLiteral("/stderr")).value_or(QByteArray());
            std::cerr << "FAILED " << s.describe().toStdString() << "\n  " << verdict.problems.join(QStringLiteral("\n  ")).toStdString()
                      << "\n  standard error: " << errors.trimmed().right(400).toStdString() << "\n  kept in "
                      << run.sandbox.root().toStdString() << "\n";
        }
        if (totals_.runs % 50 == 0)
            std::cerr << totals_.runs << " runs done\n";
    }

    Options options_;
    QString root_;
    std::vector<std::unique_ptr<ActiveRun>> active_;
    Totals totals_;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--tool")
            options.tool = QFileInfo(QString::fromStdString(value)).absoluteFilePath().toStdString(); // runs start elsewhere
        else if (name == "--runs")
            options.runs = std::stoi(value);
        else if (name == "--kills")
            options.kills = std::stoi(value);
        else if (name == "--cancels")
            options.cancels = std::stoi(value);
        else if (name == "--parallel")
            options.parallel = std::max(1, std::stoi(value));
        else if (name == "--seed")
            options.seed = unsigned(std::stoul(value));
        else
            throw std::invalid_argument("unknown option " + name);
    }
    if (options.tool.empty() || argc % 2 == 0)
        throw std::invalid_argument("usage: korvane_soak --tool PATH [--runs N] [--kills N] [--cancels N] [--parallel P] [--seed S]");
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 2;
    }
    const QString root = testsupport::makeTemporaryRoot("korvane-soak");
    std::mt19937 random(options.seed);
    std::cerr << "soak: seed " << options.seed << ", folders under " << root.toStdString() << "\n";

    Soak soak(options, root);
    std::deque<soak::Scenario> automatic;
    for (int i = 1; i <= options.runs; ++i)
        automatic.push_back(soak::automaticRun(i, random));
    soak.run(std::move(automatic));

    const auto startUp = std::chrono::milliseconds(int64_t(bench::median(soak.totals().quietRunSeconds) * 1000));
    std::deque<soak::Scenario> killed;
    for (int i = 1; i <= options.kills; ++i)
        killed.push_back(soak::killedRun(options.runs + i, random, startUp));
    for (int i = 1; i <= options.cancels; ++i)
        killed.push_back(soak::killedRun(options.runs + options.kills + i, random, startUp, true));
    soak.run(std::move(killed));

    const Totals& totals = soak.totals();
    std::cout << "Soak (seed " << options.seed << "): " << options.runs << " automatic runs with random faults, "
              << options.kills << " uploads killed and " << options.cancels << " cancelled (SIGTERM) at random moments\n"
              << "  runs:               " << totals.runs << " (" << totals.killed << " killed while running)\n"
              << "  faults injected:    " << totals.faults << "\n";
    for (const auto& [fault, count] : totals.faultsByKind)
        std::cout << "    " << soak::faultName(fault) << ": " << count << "\n";
    std::cout << "  bytes checked:      " << totals.bytesChecked << "\n"
              << "  bytes lost:         " << totals.bytesLost << "\n"
              << "  runs with problems: " << totals.failedRuns << "\n";
    if (totals.failedRuns == 0)
        QDir(root).removeRecursively();
    return totals.bytesLost == 0 && totals.failedRuns == 0 ? 0 : 1;
}
