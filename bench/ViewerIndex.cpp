// The viewer of a 64 MiB memory file: building its index divided by reading the file once in
// 1 MiB blocks, both from the page cache; and the longest time the window's event loop waits
// while the viewer indexes the file, divided by the 50 ms a person notices.
#include "Measurements.h"

#include "common/Statistics.h"
#include "viewer/MemoryFileIndex.h"
#include "viewer/MemoryFileViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTimer>

#include <chrono>

#include <fcntl.h>
#include <unistd.h>

namespace bench {

namespace {

constexpr qsizetype kFileBytes = 64LL * 1024 * 1024;
constexpr int kRepetitions = 25;
constexpr double kNoticedStall = 0.050;

bool writeMemoryFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block;
    for (int i = 0; block.size() < (1 << 20); ++i)
        block += "03/05/2026 08:" + QByteArray::number(10 + i % 50) + ":" + QByteArray::number(10 + i % 49)
                 + ",181,8,20 03 00 00 00 00 10 27\r\n";
    for (qsizetype written = 0; written < kFileBytes; written += block.size())
        if (file.write(block) != block.size())
            return false;
    return file.flush();
}

double secondsToReadOnce(const QString& path)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    QByteArray block(1 << 20, Qt::Uninitialized);
    while (::read(fd, block.data(), size_t(block.size())) > 0) {
    }
    ::close(fd);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double secondsToIndex(const QString& path, qsizetype& records)
{
    const std::atomic<bool> cancel{false};
    QString fault;
    const auto start = std::chrono::steady_clock::now();
    const auto index = MemoryFileIndex::Build(path, RecordFormat{}, cancel, {}, fault);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    records = index ? qsizetype(index->Records().size()) : 0;
    return seconds;
}

// The longest gap between the ticks of a 5 ms timer from the viewer's start to its first rows.
double longestStall(const QString& path)
{
    auto* viewer = new MemoryFileViewer(path, {});
    viewer->show();
    // The window's first paint is its making, not the indexing.
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.nsecsElapsed() - last);
        last = clock.nsecsElapsed();
    });
    tick.start(5);
    while (clock.elapsed() < 60000 && (viewer->Busy() || viewer->RecordTable()->model()->rowCount() == 0))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    delete viewer;
    return double(longest) / 1e9;
}

} // namespace

void measureViewer(BenchRun& run)
{
    const QString path = run.sandbox.work() + QStringLiteral("/viewer.csv");
    if (!writeMemoryFile(path)) {
        run.table.note(QStringLiteral("Viewer: %1 cannot be written").arg(path));
        return;
    }
    secondsToReadOnce(path); // into the page cache
    std::vector<double> reads, indexes;
    qsizetype records = 0;
    for (int i = 0; i < kRepetitions; ++i) {
        reads.push_back(secondsToReadOnce(path));
        indexes.push_back(secondsToIndex(path, records));
    }
    run.table.add({QStringLiteral("Viewer: indexing a 64 MiB memory file (%1 records), median of %2").arg(records).arg(kRepetitions),
                   formatSeconds(median(indexes)), QStringLiteral("reading it once in 1 MiB blocks %1").arg(formatSeconds(median(reads))),
                   median(indexes) / median(reads)});
    const double stall = longestStall(path);
    run.table.add({QStringLiteral("Viewer: longest stall of the window while it indexes the 64 MiB file"), formatSeconds(stall),
                   QStringLiteral("noticeable %1").arg(formatSeconds(kNoticedStall)), stall / kNoticedStall});
    QFile::remove(path);
}

} // namespace bench
