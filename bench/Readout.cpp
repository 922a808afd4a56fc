// Read-out of 1 MiB through the tool's own upload (the pacing worker, the driver library, the
// file), timed around UploadMemory and divided by the pacing bound: one 255-byte block per
// 10 ms pass.
#include "Measurements.h"

#include "app/FileNameEdit.h"
#include "Transports.h"
#include "app/TForm_Korvane.h"
#include "common/ModuleFiles.h"
#include "common/UploadBytes.h"

#include <QFile>

#include <chrono>
#include <cmath>

namespace bench {

namespace {

constexpr qsizetype kReadoutBytes = 1024 * 1024;
constexpr double kBlockBytes = 255;
constexpr double kPassSeconds = 0.010;

void readOut(BenchRun& run, TransportKind kind)
{
    const QString transport = transportName(kind);
    std::mt19937 random(7);
    korvane::module::ModuleState state = blankModule();
    state.memory = moduleData(kReadoutBytes, random);
    const auto peer = openTransport(run, kind, state);
    if (!peer)
        return;
    const QString file = run.sandbox.work() + QStringLiteral("/readout.csv");
    QFile::remove(file);

    TForm_Korvane window;
    window.AutoMode = true;
    window.SilentMode = true;
    if (!window.ConnectModule()) {
        run.table.note(QStringLiteral("Read-out over %1: the module could not be connected").arg(transport));
        return;
    }
    window.AdvFileNameEdit_FileName->setText(file);
    const auto start = std::chrono::steady_clock::now();
    const bool uploaded = window.UploadMemory();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    // A read-out that did not deliver every byte is no measurement of one.
    if (!uploaded || window.BytesUploaded != kReadoutBytes || readFile(file) != textStreamBytes(state.memory)) {
        run.table.note(QStringLiteral("Read-out over %1: the upload did not deliver the module's 1 MiB (result %2, %3 bytes)")
                           .arg(transport)
                           .arg(uploaded ? QStringLiteral("success") : QStringLiteral("failure"))
                           .arg(window.BytesUploaded));
        return;
    }
    const double blocks = std::ceil(double(kReadoutBytes) / kBlockBytes);
    const double bound = blocks * kPassSeconds;
    run.table.add({QStringLiteral("Read-out of 1 MiB, %1").arg(transport), formatSeconds(took.count()),
                   QStringLiteral("pacing bound %1 blocks × 10 ms = %2").arg(blocks).arg(formatSeconds(bound)),
                   took.count() / bound});
}

} // namespace

void measureReadout(BenchRun& run)
{
    for (TransportKind kind : kTransports)
        readOut(run, kind);
}

} // namespace bench
