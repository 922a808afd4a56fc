#include "app/VerifyCommand.h"

#include "module/UploadFileSystem.h"
#include "module/UploadReadBack.h"
#include "module/UploadRecord.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void PrintLine(std::FILE* stream, const QString& line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

// The memory file as verify sees it: open for reading, or why not. It is held shared against
// uploads, so that one under way is waited for instead of being taken for stray bytes.
struct MemoryFile
{
    // Non-blocking: a FIFO of that name must not hold verify up; it is refused below.
    MemoryFile(const QString& name, std::FILE* err)
        : fd(::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
        struct stat status {};
        if (fd < 0 || ::fstat(fd, &status) != 0)
            fault = QString::fromLocal8Bit(std::strerror(errno));
        else if (!S_ISREG(status.st_mode))
            fault = QStringLiteral("not a regular file");
        else if (!uploadfs::LockWhole(fd, F_RDLCK)) {
            PrintLine(err, QStringLiteral("%1: waiting for the upload into it to end").arg(name));
            if (!uploadfs::LockWhole(fd, F_RDLCK, true))
                fault = QString::fromLocal8Bit(std::strerror(errno));
        }
        if (fault.isEmpty() && ::fstat(fd, &status) == 0)
            size = status.st_size;
    }
    ~MemoryFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    int fd;
    qint64 size = 0;
    QString fault;
};

// Empty when the upload is intact, else what differs.
QString Difference(const MemoryFile& file, const UploadRecordEntry& upload)
{
    if (!file.fault.isEmpty())
        return QStringLiteral("the file cannot be read: %1").arg(file.fault);
    if (upload.offset + upload.length > file.size)
        return QStringLiteral("the file ends at byte %1, %2 this upload")
            .arg(file.size)
            .arg(file.size <= upload.offset ? QStringLiteral("before") : QStringLiteral("inside"));
    const auto sha256 = Sha256OfFileRange(file.fd, upload.offset, upload.length);
    if (!sha256)
        return QStringLiteral("its bytes cannot be read");
    if (*sha256 != upload.sha256)
        return QStringLiteral("its bytes do not have the recorded SHA-256");
    return {};
}

}  // namespace

int VerifyUploads(const QString& memoryFile, std::FILE* out, std::FILE* err)
{
    const MemoryFile file(memoryFile, err);
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
        until = std::min(until, file.size);
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
        const QString difference = Difference(file, upload);
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
    reportUnrecorded(file.size);

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
