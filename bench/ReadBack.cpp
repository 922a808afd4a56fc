// What the verified upload adds to a 1 MiB memory upload: the SHA-256 of the bytes as sent, the
// synced record line, and the read-back of the synced file from the disk. Divided by the pacing
// bound of the 1 MiB read-out, which every such upload takes at least, so the ratio is the most
// the check can add to an upload's time.
#include "Measurements.h"

#include "support/ModuleFiles.h"
#include "common/Statistics.h"
#include "common/UploadBytes.h"
#include "module/UploadReadBack.h"
#include "module/UploadRecord.h"

#include <QCryptographicHash>
#include <QFile>

#include <chrono>
#include <cmath>

#include <unistd.h>

namespace bench {

namespace {

constexpr qsizetype kUploadBytes = 1024 * 1024;
constexpr int kRepetitions = 7;

bool writeSynced(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush()
           && ::fsync(file.handle()) == 0;
}

} // namespace

void measureReadBack(BenchRun& run)
{
    std::mt19937 random(11);
    const QByteArray stored = textStreamBytes(moduleData(kUploadBytes, random));
    const QString file = run.sandbox.work() + QStringLiteral("/readback.csv");
    if (!writeSynced(file, stored)) {
        run.table.note(QStringLiteral("Read-back check: %1 cannot be written").arg(file));
        return;
    }
    QFile memory(file);
    if (!memory.open(QIODevice::ReadWrite)) {
        run.table.note(QStringLiteral("Read-back check: %1 cannot be opened").arg(file));
        return;
    }
    std::vector<double> seconds;
    for (int i = 0; i < kRepetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        UploadRecordEntry upload;
        upload.time = QDateTime::currentDateTimeUtc();
        upload.nodeId = 5;
        upload.length = stored.size();
        upload.sha256 = QCryptographicHash::hash(stored, QCryptographicHash::Sha256);
        if (!AppendUploadRecord(file, memory.handle(), upload) ||
            !ReadBackMatches(memory.handle(), 0, stored.size(), upload.sha256)) {
            run.table.note(QStringLiteral("Read-back check: the record or the read-back of %1 failed").arg(file));
            return;
        }
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double blocks = std::ceil(double(kUploadBytes) / 255);
    const double bound = blocks * 0.010;
    run.table.add({QStringLiteral("Read-back check of a 1 MiB upload (median of %1)").arg(kRepetitions),
                   formatSeconds(median(seconds)),
                   QStringLiteral("pacing bound of its read-out %1 blocks × 10 ms = %2").arg(blocks).arg(formatSeconds(bound)),
                   median(seconds) / bound});
}

} // namespace bench
