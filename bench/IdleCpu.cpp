// CPU time of the tool connected and left alone for 10 s, when only the 1 s clock poll runs,
// divided by the wall time it was measured over.
#include "Measurements.h"

#include "app/TForm_Korvane.h"
#include "support/ModuleFiles.h"

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>

namespace bench {

namespace {

constexpr std::chrono::seconds kIdle{10};

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

void measureIdleCpu(BenchRun& run)
{
    testsupport::installModule(run.sandbox, testsupport::blankModule());
    TForm_Korvane window;
    window.show();
    if (!window.ConnectModule()) {
        run.table.note(QStringLiteral("Idle CPU: the module could not be connected"));
        return;
    }
    QEventLoop idle;
    QTimer::singleShot(kIdle, Qt::PreciseTimer, &idle, &QEventLoop::quit); // a coarse timer may end 5 % early
    const double cpuBefore = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    idle.exec();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double cpu = processCpuSeconds() - cpuBefore;
    if (!window.Connected) {
        run.table.note(QStringLiteral("Idle CPU: the connection was lost while idle"));
        return;
    }
    run.table.add({QStringLiteral("CPU time connected and idle (1 s clock poll)"), formatSeconds(cpu),
                   QStringLiteral("wall time %1").arg(formatSeconds(wall.count())), cpu / wall.count()});
}

} // namespace bench
