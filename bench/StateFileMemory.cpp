// Peak memory of reading and writing back a module state file that holds a 100 MiB memory
// (a 200 MiB file), divided by the file's size.
#include "Measurements.h"

#include "support/ChildProcess.h"

#include <QFile>
#include <QRandomGenerator>

#include <chrono>

namespace bench {

namespace {

constexpr qsizetype kMemoryBytes = 100LL * 1024 * 1024;

bool writeStateFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    bool written = file.write("{\n    \"memory_hex\": \"") > 0;
    for (qsizetype done = 0; written && done < kMemoryBytes; done += block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        written = file.write(block.toHex()) == 2 * block.size();
    }
    return written && file.write("\"\n}\n") > 0 && file.flush();
}

} // namespace

void measureStateFileMemory(BenchRun& run)
{
    const QString path = run.sandbox.work() + QStringLiteral("/large-state.json");
    if (!writeStateFile(path)) {
        run.table.note(QStringLiteral("State file: cannot write %1").arg(path));
        return;
    }
    const double fileKiB = double(QFile(path).size()) / 1024;
    testsupport::ChildSpec spec;
    spec.program = (run.binaryFolder + QStringLiteral("/korvane_bench_state_file")).toStdString();
    spec.arguments = {path.toStdString()};
    spec.environment = run.sandbox.childEnvironment();
    testsupport::ChildProcess child(spec);
    const bool ended = child.waitAtMost(std::chrono::minutes(2));
    QFile::remove(path);
    if (!ended || child.exitCode() != 0) {
        run.table.note(QStringLiteral("State file: reading and writing back the 200 MiB state file failed"));
        return;
    }
    run.table.add({QStringLiteral("Peak RSS reading and writing back a 200 MiB state file"),
                   QStringLiteral("%1 MiB").arg(double(child.peakRssKiB()) / 1024, 0, 'f', 1),
                   QStringLiteral("file size %1 MiB").arg(fileKiB / 1024, 0, 'f', 1), double(child.peakRssKiB()) / fileKiB});
}

} // namespace bench
