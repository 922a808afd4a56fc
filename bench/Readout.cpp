// Read-out of 1 MiB through the tool's own upload (the pacing worker, the driver library, the
// file), timed around UploadMemory and divided by the pacing bound: one 255-byte block per
// 10 ms pass; and the longest stall of the user-interface thread during such an upload.
#include "Measurements.h"

#include "app/FileNameEdit.h"
#include "Transports.h"
#include "app/TForm_Korvane.h"
#include "support/ModuleFiles.h"
#include "common/UploadBytes.h"

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

// The tool's UploadMemory, automatic, from a module holding 1 MiB over `kind`; `silent` as the
// option of that name; `starting` runs just before UploadMemory. The seconds it took, or nothing (with a note) when it did not deliver
// every byte: such a read-out is no measurement of one.
std::optional<double> uploadMegabyte(BenchRun& run, TransportKind kind, bool silent,
                                     const std::function<void()>& starting = {})
{
    const QString transport = transportName(kind);
    std::mt19937 random(7);
    korvane::module::ModuleState state = testsupport::blankModule();
    state.memory = moduleData(kReadoutBytes, random);
    const auto peer = openTransport(run, kind, state);
    if (!peer)
        return std::nullopt;
    const QString file = run.sandbox.work() + QStringLiteral("/readout.csv");
    QFile::remove(file);

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
                           .arg(window.BytesUploaded));
        return std::nullopt;
    }
    return took.count();
}

void readOut(BenchRun& run, TransportKind kind)
{
    const auto took = uploadMegabyte(run, kind, true);
    if (!took)
        return;
    const double blocks = std::ceil(double(kReadoutBytes) / kBlockBytes);
    const double bound = blocks * kPassSeconds;
    run.table.add({QStringLiteral("Read-out of 1 MiB, %1").arg(transportName(kind)), formatSeconds(*took),
                   QStringLiteral("pacing bound %1 blocks × 10 ms = %2").arg(blocks).arg(formatSeconds(bound)),
                   *took / bound});
}

} // namespace

void measureReadout(BenchRun& run)
{
    for (TransportKind kind : kTransports)
        readOut(run, kind);
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
    const auto took = uploadMegabyte(run, TransportKind::Simulated, false, [&] {
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
