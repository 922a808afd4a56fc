#include "app/VerifyCommand.h"

#include "module/RecordedMemoryFile.h"

#include <QString>

#include <algorithm>

int VerifyUploads(const QString& memoryFile, std::FILE* out, std::FILE* err)
{
    const RecordedMemoryFile file(memoryFile, err);
    QString error;
    const auto uploads = ReadUploadRecord(memoryFile, error);
    if (!uploads) {
        PrintLine(err, QStringLiteral("Cannot verify %1: %2").arg(memoryFile, error));
        return 2;
    }
    qsizetype intact = 0;
    qint64 unrecorded = 0;
    // Bytes before the first recorded upload were there before the record began.
    qint64 end = uploads->empty() ? 0 : uploads->front().offset;
    const auto reportUnrecorded = [&](qint64 until) {
        until = std::min(until, file.Size());
        if (until <= end)
            return;
        unrecorded += until - end;
        PrintLine(out, QStringLiteral("bytes %1 to %2 (%3 bytes) belong to no recorded upload")
                           .arg(end)
                           .arg(until - 1)
                           .arg(until - end));
    };
    for (size_t i = 0; i < uploads->size(); ++i) {
        const UploadRecordEntry& upload = (*uploads)[i];
        reportUnrecorded(upload.offset);
        const QString difference = file.Difference(upload);
        intact += difference.isEmpty();
        PrintLine(out, QStringLiteral("upload %1 (%2, node-ID %3, device mode %4): %5 bytes from byte %6: %7")
                           .arg(i + 1)
                           .arg(upload.time.toString(Qt::ISODate))
                           .arg(upload.nodeId)
                           .arg(upload.deviceMode)
                           .arg(upload.length)
                           .arg(upload.offset)
                           .arg(difference.isEmpty() ? QStringLiteral("ok") : QStringLiteral("differs: ") + difference));
        end = upload.offset + upload.length;
    }
    reportUnrecorded(file.Size());

    const qsizetype differing = qsizetype(uploads->size()) - intact;
    QString summary = QStringLiteral("%1: %2 uploads recorded, %3 ok, %4 differ")
                          .arg(memoryFile)
                          .arg(uploads->size())
                          .arg(intact)
                          .arg(differing);
    if (unrecorded > 0)
        summary += QStringLiteral(", %1 bytes in no recorded upload").arg(unrecorded);
    PrintLine(out, summary);
    std::fflush(out);
    return differing == 0 && unrecorded == 0 ? 0 : 1;
}
