// Read-out of 1 MiB through the tool's own upload (the pacing worker, the driver library, the
// file), timed around UploadMemory and divided by the pacing bound: one 255-byte block per
// 10 ms pass; on a bus that takes real time divided by that or the wire time of its frames,
// whichever is larger; and the longest stall of the user-interface thread during such an upload.
#include "Measurements.h"

#include "app/FileNameEdit.h"
#include "Transports.h"
#include "WireReference.h"
#include "app/TForm_Korvane.h"
#include "support/ModuleFiles.h"
#include "common/UploadBytes.h"
#include "config/Transports.h"
#include "simulator/ModuleParameters.h"

#include <QFile>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace bench {

namespace {

constexpr qsizetype kReadoutBytes = 1024 * 1024;
constexpr double kBlockBytes = 255;
constexpr double kPassSeconds = 0.010;
constexpr uint32_t kAnswerLatencyUs = 200;
constexpr uint32_t kLineRate = 115200; // the module simulator's and the interface's default

korvane::module::ModuleState megabyteModule()
{
    std::mt19937 random(7);
    korvane::module::ModuleState state = testsupport::blankModule();
    state.memory = moduleData(kReadoutBytes, random);
    return state;
}

// The tool's UploadMemory, automatic, from `state` (holding 1 MiB) over `kind`; `silent` as the
// option of that name; `starting` runs just before UploadMemory. The seconds it took, or nothing
// (with a note) when it did not deliver every byte: such a read-out is no measurement of one.
std::optional<double> uploadMegabyte(BenchRun& run, TransportKind kind, const korvane::module::ModuleState& state,
                                     bool silent, const std::function<void()>& starting = {})
{
    const QString transport = transportName(kind);
    const auto peer = openTransport(run, kind, state);
    if (!peer)
        return std::nullopt;
    const QString file = run.sandbox.work() + QStringLiteral("/readout.csv");
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".uploads")); // the record of the last run's upload, which no longer matches

    TForm_Korvane window;
    window.AutoMode = true;
    window.SilentMode = silent;
    if (!window.ConnectModule()) {
        run.table.note(QStringLiteral("Read-out over %1: the module could not be connected").arg(transport));
        return std::nullopt;
    }
    window.AdvFileNameEdit_FileName->setText(file);
    if (starting)
        starting();
    const auto start = std::chrono::steady_clock::now();
    const bool uploaded = window.UploadMemory();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    if (!uploaded || window.BytesUploaded != kReadoutBytes || testsupport::readFile(file) != textStreamBytes(state.memory)) {
        run.table.note(QStringLiteral("Read-out over %1: the upload did not deliver the module's 1 MiB (result %2, %3 bytes)")
                           .arg(transport)
                           .arg(uploaded ? QStringLiteral("success") : QStringLiteral("failure"))
                           .arg(window.BytesUploaded) + QStringLiteral(": ") + window.FailureReason);
        return std::nullopt;
    }
    return took.count();
}

const double kBlocks = std::ceil(double(kReadoutBytes) / kBlockBytes);
const double kPacingBound = kBlocks * kPassSeconds;

void readOut(BenchRun& run, TransportKind kind)
{
    const auto took = uploadMegabyte(run, kind, megabyteModule(), true);
    if (!took)
        return;
    run.table.add({QStringLiteral("Read-out of 1 MiB, %1").arg(transportName(kind)), formatSeconds(*took),
                   QStringLiteral("pacing bound %1 blocks × 10 ms = %2").arg(kBlocks).arg(formatSeconds(kPacingBound)),
                   *took / kPacingBound});
}

// The same on a bus that takes real time at `bitRate`, against the wire time of the frames the
// read-out needs (with the line time behind a serial adapter) or the pacing bound, the larger.
void timedReadOut(BenchRun& run, TransportKind kind, uint32_t bitRate)
{
    korvane::module::ModuleState state = megabyteModule();
    state.settings[korvane::module::Baud] = bitRate;
    state.bus = {true, kAnswerLatencyUs};
    const bool serial = kind == TransportKind::SerialLine;
    const uint32_t lineRate = serial ? kLineRate : 0;
    const auto took = uploadMegabyte(run, kind, state, true);
    if (!took)
        return;
    const auto transport = korvane::config::findTransport(serial ? korvane::config::Transport::Serial
                                                                  : korvane::config::Transport::Simulated);
    const double wire = readoutWireSeconds(state, transport->blockSize, lineRate);
    const QString line = serial ? QStringLiteral(" and %1 Bd lines").arg(lineRate) : QString();
    run.table.add({QStringLiteral("Read-out of 1 MiB, %1, timed bus at %2 kbit/s%3").arg(transportName(kind)).arg(bitRate / 1000).arg(line),
                   formatSeconds(*took),
                   QStringLiteral("wire time %1 of its frames (answer latency %2 µs%3), pacing bound %4")
                       .arg(formatSeconds(wire))
                       .arg(kAnswerLatencyUs)
                       .arg(serial ? QStringLiteral(", line time") : QString())
                       .arg(formatSeconds(kPacingBound)),
                   *took / std::max(wire, kPacingBound)});
}

} // namespace

void measureReadout(BenchRun& run)
{
    for (TransportKind kind : kTransports)
        readOut(run, kind);
}

void measureTimedReadout(BenchRun& run)
{
    timedReadOut(run, TransportKind::Simulated, 250000);
    timedReadOut(run, TransportKind::Simulated, 1000000);
    timedReadOut(run, TransportKind::SerialLine, 125000);
}

// How long the user-interface thread goes without its event loop while the progress window of a
// 1 MiB upload is shown: a 5 ms timer on that thread notes each time it runs, and the longest gap
// between two of its runs (the upload's start and end count as runs) is the stall a user feels.
void measureUiStall(BenchRun& run)
{
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ran;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&ran] { ran.push_back(Clock::now()); });
    // From the upload's start: building the window and connecting are no part of it.
    const auto took = uploadMegabyte(run, TransportKind::Simulated, megabyteModule(), false, [&] {
        ran.push_back(Clock::now());
        ticker.start();
    });
    ticker.stop();
    ran.push_back(Clock::now());
    if (!took)
        return;
    std::chrono::duration<double> longest{0};
    for (size_t i = 1; i < ran.size(); ++i)
        longest = std::max<std::chrono::duration<double>>(longest, ran[i] - ran[i - 1]);
    constexpr double kTargetSeconds = 0.050;
    run.table.add({QStringLiteral("UI thread: longest stall during a 1 MiB upload, simulated module"),
                   formatSeconds(longest.count()), QStringLiteral("target %1").arg(formatSeconds(kTargetSeconds)),
                   longest.count() / kTargetSeconds});
}

} // namespace bench
