#include "module/ConfirmedUpload.h"

#include "module/UploadFile.h"
#include "module/UploadReadBack.h"
#include "module/UploadRecord.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The memory file as it was before the upload; the upload still holds the file's lock.
void TakeBack(const QString& name, qint64 start)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::ftruncate(fd, start) == 0)
        ::fsync(fd);
    ::close(fd);
}

}  // namespace

QString ConfirmUpload(const UploadFile& file, uint8_t nodeId, uint8_t deviceMode)
{
    if (file.WritesThrough())
        return {};
    const QString name = QFile::decodeName(file.Name().c_str());
    const UploadRecordEntry upload{QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC), nodeId, deviceMode, file.StartOffset(),
                                   file.WrittenBytes(), file.WrittenSha256()};
    QString reason;
    if (!ReadBackMatches(name, upload.offset, upload.length, upload.sha256))
        reason = QStringLiteral("the file does not hold what the module sent");
    else if (!AppendUploadRecord(name, upload))
        reason = QStringLiteral("the upload record %1 cannot be written").arg(UploadRecordName(name));
    if (!reason.isEmpty())
        TakeBack(name, upload.offset);
    return reason;
}
