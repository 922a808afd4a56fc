#include "module/RecordedMemoryFile.h"

#include "module/UploadFileSystem.h"
#include "module/UploadReadBack.h"
#include "platform/FileName.h"


#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void PrintLine(std::FILE* stream, const QString& line)
{
    std::fputs(platform::FileNameBytes(line + u'\n').constData(), stream);
}

RecordedMemoryFile::RecordedMemoryFile(const QString& name, std::FILE* err)
    : fd_(::open(platform::FileNameBytes(name).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
{
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0)
        fault_ = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(status.st_mode))
        fault_ = QStringLiteral("not a regular file");
    else if (!uploadfs::LockWhole(fd_, F_RDLCK)) {
        PrintLine(err, QStringLiteral("%1: waiting for the upload into it to end").arg(name));
        if (!uploadfs::LockWhole(fd_, F_RDLCK, true))
            fault_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (fault_.isEmpty() && ::fstat(fd_, &status) == 0)
        size_ = status.st_size;
}

RecordedMemoryFile::~RecordedMemoryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString RecordedMemoryFile::Difference(const UploadRecordEntry& upload) const
{
    if (!fault_.isEmpty())
        return QStringLiteral("the file cannot be read: %1").arg(fault_);
    if (upload.offset + upload.length > size_)
        return QStringLiteral("the file ends at byte %1, %2 this upload")
            .arg(size_)
            .arg(size_ <= upload.offset ? QStringLiteral("before") : QStringLiteral("inside"));
    const auto sha256 = Sha256OfFileRange(fd_, upload.offset, upload.length);
    if (!sha256)
        return QStringLiteral("its bytes cannot be read");
    if (*sha256 != upload.sha256)
        return QStringLiteral("its bytes do not have the recorded SHA-256");
    return {};
}

QByteArray RecordedMemoryFile::Bytes(const UploadRecordEntry& upload) const
{
    const qint64 length = std::clamp<qint64>(size_ - upload.offset, 0, upload.length);
    QByteArray bytes(qsizetype(length), '\0');
    if (length > 0 && !uploadfs::ReadAll(fd_, bytes.data(), size_t(length), upload.offset))
        return {};
    return bytes;
}
