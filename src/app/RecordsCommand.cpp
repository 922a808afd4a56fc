#include "app/RecordsCommand.h"

#include "module/RecordedMemoryFile.h"
#include "module/MemoryRecords.h"
#include "platform/FileName.h"

#include <QString>

#include <unistd.h>

namespace {

QByteArray CsvText(const QByteArray& bytes)
{
    QByteArray text = PrintableText(bytes);
    if (text.contains(',') || text.contains('"'))
        text = '"' + text.replace("\"", "\"\"") + '"';
    return text;
}

QByteArray IsoTime(const std::optional<QDateTime>& stamp, bool utc)
{
    if (!stamp)
        return {};
    const QDateTime shown = utc ? stamp->toUTC() : stamp->toOffsetFromUtc(stamp->offsetFromUtc());
    return shown.toString(Qt::ISODate).toLatin1();
}

QByteArray Rows(int number, const QByteArray& stored, const UploadRecordEntry& upload, bool utc)
{
    const QByteArray moduleBytes = ModuleBytes(stored);
    const qsizetype head = ModuleBytes(stored.left(qsizetype(upload.configHeadLength))).size();
    const RecordFormat format = CompleteFormat(upload.format, moduleBytes.sliced(head));
    QByteArray rows;
    int count = 0;
    for (const MemoryRecord& record : CutRecords(moduleBytes, format, head))
        if (!record.configuration)
            rows += QByteArray::number(number) + ',' + QByteArray::number(++count) + ',' + IsoTime(record.stamp, utc)
                    + ',' + CsvText(record.text) + '\n';
    return rows;
}

}  // namespace

int ExportRecords(const QString& memoryFile, bool utc, std::FILE* out, std::FILE* err)
{
    const RecordedMemoryFile file(memoryFile, err);
    if (!file.Fault().isEmpty()) {
        PrintLine(err, QStringLiteral("Cannot read %1: %2").arg(memoryFile, file.Fault()));
        return 2;
    }
    QString error;
    std::vector<UploadRecordEntry> uploads;
    if (::access(platform::FileNameBytes(UploadRecordName(memoryFile)).constData(), F_OK) != 0) {
        PrintLine(err, QStringLiteral("%1 has no upload record: its records are read as one upload of lines").arg(memoryFile));
        uploads.push_back({});
        uploads.back().length = file.Size();
    } else if (const auto recorded = ReadUploadRecord(memoryFile, error)) {
        uploads = *recorded;
    } else {
        PrintLine(err, QStringLiteral("Cannot read %1: %2").arg(memoryFile, error));
        return 2;
    }
    int exitCode = 0;
    std::fputs("upload,record,time,text\n", out);
    for (size_t i = 0; i < uploads.size(); ++i) {
        const UploadRecordEntry& upload = uploads[i];
        const QString difference = upload.sha256.isEmpty() ? QString() : file.Difference(upload);
        if (!difference.isEmpty()) {
            PrintLine(err, QStringLiteral("%1: upload %2 does not verify: %3").arg(memoryFile).arg(i + 1).arg(difference));
            exitCode = 1;
        }
        const QByteArray rows = Rows(int(i + 1), file.Bytes(upload), upload, utc);
        std::fwrite(rows.constData(), 1, size_t(rows.size()), out);
    }
    std::fflush(out);
    return exitCode;
}
