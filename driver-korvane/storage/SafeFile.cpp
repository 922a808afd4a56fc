#include "storage/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::storage {

namespace {

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

// Closes on every path out; the result of an explicit close() is what counts for writes.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool close()
    {
        const int closing = fd;
        fd = -1;
        return ::close(closing) == 0;
    }
};

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

// The file a replacement must land on: a symlink is followed to its target.
bool replacementTarget(const QByteArray& path, QByteArray& target, mode_t& mode, bool& exists, QString& error)
{
    target = path;
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) {
        exists = false;
        return errno == ENOENT || (error = systemError(errno), false);
    }
    if (S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.constData(), resolved) || ::stat(resolved, &status) != 0) {
            error = QStringLiteral("cannot follow the symlink: ") + systemError(errno);
            return false;
        }
        target = resolved;
    }
    if (!S_ISREG(status.st_mode)) {
        error = QStringLiteral("it is %1, not a regular file").arg(QLatin1String(kindOf(status.st_mode)));
        return false;
    }
    exists = true;
    mode = status.st_mode & 07777;
    return true;
}

bool syncFolder(const QByteArray& folder)
{
    Descriptor dir{::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return dir.fd >= 0 && ::fsync(dir.fd) == 0 && dir.close();
}

} // namespace

ReadResult readRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    Descriptor file{::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        error = QStringLiteral("cannot open %1: %2").arg(path, errno == ELOOP ? QStringLiteral("a symlink loop") : systemError(errno));
        return ReadResult::Refused;
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        error = QStringLiteral("cannot read %1: %2").arg(path, systemError(errno));
        return ReadResult::Refused;
    }
    if (!S_ISREG(status.st_mode)) {
        error = QStringLiteral("%1 is %2, not a regular file").arg(path, QLatin1String(kindOf(status.st_mode)));
        return ReadResult::Refused;
    }
    const QString tooLarge = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
    if (status.st_size > maxBytes) {
        error = tooLarge;
        return ReadResult::Refused;
    }
    bytes.resize(qsizetype(status.st_size) + 1); // one byte more shows a file that grew meanwhile
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = QStringLiteral("cannot read %1: %2").arg(path, systemError(errno));
            return ReadResult::Refused;
        }
        if (got == 0)
            break;
        filled += got;
        if (filled == bytes.size() && filled <= maxBytes)
            bytes.resize(std::min<qint64>(maxBytes + 1, filled * 2));
    }
    if (filled > maxBytes) {
        error = tooLarge;
        return ReadResult::Refused;
    }
    bytes.resize(filled);
    return ReadResult::Read;
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QByteArray target;
    mode_t mode = 0;
    bool exists = false;
    QString reason;
    if (!replacementTarget(QFile::encodeName(path), target, mode, exists, reason)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    const QByteArray base = QFile::encodeName(QFileInfo(QFile::decodeName(target)).fileName());
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; file.fd < 0 && attempt < 100; ++attempt) {
        temporary = folder + "/." + base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Mode 0666 lets the umask decide for a new file, as for any other file the user creates.
        file.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST)
            break;
    }
    const bool created = file.fd >= 0;
    bool written = file.fd >= 0 && (!exists || ::fchmod(file.fd, mode) == 0) && writeAll(file.fd, bytes)
                   && ::fsync(file.fd) == 0 && file.close();
    int code = errno;
    if (written && ::rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        code = errno;
    }
    if (!written) {
        if (created)
            ::unlink(temporary.constData());
        error = QStringLiteral("cannot write %1: %2").arg(path, systemError(code));
        return false;
    }
    if (!syncFolder(folder)) {
        error = QStringLiteral("cannot write %1: the folder was not synced: %2").arg(path, systemError(errno));
        return false;
    }
    return true;
}

} // namespace korvane::storage
