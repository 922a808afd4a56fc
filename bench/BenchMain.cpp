// `make bench`: runs every measurement once, prints the table and writes it, with the date and
// the machine, to the Markdown file given by --markdown.
//
//   korvane_bench [--markdown FILE] [--only readout|wire|readback|stall|sdo|startup|idle|drawing|statefile|viewer|scan]...
#include "Measurements.h"

#include "support/ModuleFiles.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QSysInfo>
#include <benchmark/benchmark.h>

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>

namespace {

struct Measurement {
    const char* name;
    void (*run)(bench::BenchRun&);
};

const Measurement kMeasurements[] = {
    {"drawing", bench::measureDrawing},   {"sdo", bench::measureSdoLatency}, {"startup", bench::measureStartup},
    {"idle", bench::measureIdleCpu},      {"readout", bench::measureReadout},
    {"wire", bench::measureTimedReadout}, {"readback", bench::measureReadBack},
    {"stall", bench::measureUiStall},     {"statefile", bench::measureStateFileMemory},
    {"viewer", bench::measureViewer},     {"scan", bench::measureScan},
};

QString cpuModel()
{
    const auto info = testsupport::readFile(QStringLiteral("/proc/cpuinfo"));
    for (const QByteArray& line : info.value_or(QByteArray()).split('\n'))
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QSysInfo::currentCpuArchitecture();
}

QString machine()
{
    utsname system{};
    uname(&system);
    const auto load = testsupport::readFile(QStringLiteral("/proc/loadavg")).value_or(QByteArray()).split(' ');
    return QStringLiteral("%1, %2 logical CPUs, %3 %4, Qt %5; load average %6 at the start")
        .arg(cpuModel())
        .arg(sysconf(_SC_NPROCESSORS_ONLN))
        .arg(QString::fromLatin1(system.sysname), QString::fromLatin1(system.release), QString::fromLatin1(qVersion()),
             QString::fromLatin1(load.value(0)));
}

QString markdownPage(const bench::ResultTable& table, const QString& started, const QString& machine)
{
    return QStringLiteral(
               "# Benchmarks\n\n"
               "Measured by `make bench` on %1.\n\n"
               "Machine: %2.\n\n"
               "Timings on a shared machine are noisy, so every figure is divided by a reference "
               "measured in the same run; compare the ratios, not the times.\n\n")
               .arg(started, machine)
        + table.markdown()
        + QStringLiteral(
            "\nHow the figures are taken:\n\n"
            "- Read-out: `UploadMemory` of the tool, automatic and silent, from a module holding "
            "1 MiB, into a file checked byte for byte afterwards. The bound is the pacing of the "
            "read-out: one block of at most 255 bytes per pass of 10 ms. Over virtualcan and the "
            "serial line the module is `korvane-module-sim`, a process of its own.\n"
            "- Read-back check: what a verified upload adds after its data is synced (the SHA-256 "
            "of the bytes as sent, the synced record line, the range dropped from the page cache "
            "and read back), for a 1 MiB upload, against the pacing bound of its read-out.\n"
            "- SDO latency: single parameter reads through the driver binding and the loaded driver "
            "library, after a warm-up. The reference is one bare frame there and back on the same "
            "transport: between two stations of the in-memory bus; between one of the library's "
            "channels and a device answering from its own event loop on one virtualcan bus; one "
            "frame's line of the serial protocol through a pseudo-terminal, echoed by a thread on "
            "the other side. A ratio near 1 is one frame round trip; below 1, the reference peer "
            "was the slower one.\n"
            "- Over virtualcan, Qt's plugin carries the frames over loopback TCP. Both ends' sockets "
            "(children of the CAN device) are given TCP_NODELAY and re-armed TCP_QUICKACK after every "
            "batch received, so no frame waits for a delayed acknowledgement (up to 40 ms before).\n"
            "- Timed bus: the state's `\"bus\": {\"timing\": \"wire\", \"answer_latency_us\": 200}`; "
            "the reference is the wire time of every frame the read-out needs (arming, length, every "
            "block and the empty one, their stuff bits counted from their content) plus the module's "
            "answer latencies, behind the serial adapter also each line's time at 115200 Bd in its "
            "direction, with the tool answering at once; or the pacing bound, whichever is larger.\n"
            "- Start-up: from the process start to the first paint of the main window (offscreen, "
            "seen by a preloaded probe), and the whole run with the argument `exit`; both programs "
            "run alternately in the same sandbox.\n"
            "- UI stall: the longest the user-interface thread goes without running its event loop "
            "(seen by a 5 ms timer on it) while `UploadMemory` reads out 1 MiB from the simulated "
            "module with its progress window shown; a user feels every such gap as a frozen window.\n"
            "- Viewer: `MemoryFileIndex::Build` of a 64 MiB memory file of 51-byte stamped records, "
            "both it and the reference read from the page cache; the stall is seen by a 5 ms timer on the "
            "window's thread from the viewer's start to its first rows.\n"
            "- Idle CPU: the tool connected to the simulated module with its window shown, "
            "left alone for 10 s.\n"
            "- Drawing: Google Benchmark, median of 5 repetitions.\n");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QString markdownFile;
    QStringList only;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--markdown") && i + 1 < argc)
            markdownFile = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[++i]));
        else if (argument == QLatin1String("--only") && i + 1 < argc)
            only << QString::fromLocal8Bit(argv[++i]);
        else {
            std::cerr << "usage: korvane_bench [--markdown FILE] [--only readout|wire|readback|stall|sdo|startup|idle|drawing|statefile|viewer|scan]...\n";
            return 2;
        }
    }
    const QString started = QDateTime::currentDateTime().toString(Qt::ISODate);
    const QString machineText = machine();
    const testsupport::Sandbox sandbox(testsupport::makeTemporaryRoot("korvane-bench"));
    sandbox.enter();

    int benchmarkArgc = 1;
    benchmark::Initialize(&benchmarkArgc, argv);
    QApplication application(argc, argv);
    bench::ResultTable table;
    bench::BenchRun run{table, sandbox, QCoreApplication::applicationDirPath(),
                        QCoreApplication::applicationDirPath() + QStringLiteral("/../lib")};
    for (const Measurement& measurement : kMeasurements) {
        if (!only.isEmpty() && !only.contains(QLatin1String(measurement.name)))
            continue;
        std::cerr << "measuring " << measurement.name << "...\n";
        measurement.run(run);
    }

    std::cout << table.text().toStdString() << std::flush;
    if (!markdownFile.isEmpty())
        testsupport::writeFile(markdownFile, markdownPage(table, started, machineText).toUtf8());
    QDir(sandbox.root()).removeRecursively();
    return 0;
}
