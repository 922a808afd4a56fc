#include "module/UploadReadBack.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

std::optional<QByteArray> Sha256OfFileRange(int fd, qint64 offset, qint64 length)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(size_t{1} << 16);
    while (length > 0) {
        const ssize_t got = ::pread(fd, buffer.data(), size_t(std::min<qint64>(length, qint64(buffer.size()))), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        hash.addData(QByteArrayView(buffer.data(), got));
        offset += got;
        length -= got;
    }
    return hash.result();
}

bool ReadBackMatches(int fd, qint64 offset, qint64 length, const QByteArray& sha256)
{
    // Clean pages only: the caller has synced them. Where this is not honoured, the cache is read.
    ::posix_fadvise(fd, offset, length, POSIX_FADV_DONTNEED);
    return Sha256OfFileRange(fd, offset, length) == sha256;
}
