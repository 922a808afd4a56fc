#include "storage/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

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
bool replacementTarget(const QByteArray& path, QByteArray& target, struct stat& status, bool& exists, QString& error)
{
    target = path;
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
    return true;
}

// A writer holds this lock on its temporary from creation to rename, so that a sweep never takes
// the temporary of a replacement still in progress.
bool lockTemporary(int fd)
{
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

constexpr char kTemporaryMark[] = ".replacing-";

// The names replaceFile gives its temporaries: ".<base>.replacing-<base-36 number>".
bool isTemporaryOf(const char* entry, const QByteArray& base)
{
    const qsizetype mark = qsizetype(sizeof kTemporaryMark - 1);
    const qsizetype stem = 1 + base.size() + mark;
    const qsizetype length = qsizetype(std::strlen(entry));
    if (length <= stem || length > stem + 7 || entry[0] != '.'
        || std::memcmp(entry + 1, base.constData(), size_t(base.size())) != 0
        || std::memcmp(entry + 1 + base.size(), kTemporaryMark, size_t(mark)) != 0)
        return false;
    return std::all_of(entry + stem, entry + length, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); });
}

// Temporaries of replacements that a kill interrupted: only the running user's, unlinked
// elsewhere never, and none that a writer still holds.
void sweepTemporaries(const QByteArray& folder, const QByteArray& base)
{
    DIR* entries = ::opendir(folder.constData());
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTemporaryOf(entry->d_name, base))
            continue;
        const QByteArray name = folder + '/' + entry->d_name;
        Descriptor file{::open(name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
        struct stat opened {}, named {};
        if (file.fd >= 0 && ::fstat(file.fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1
            && opened.st_uid == ::geteuid() && lockTemporary(file.fd) && ::lstat(name.constData(), &named) == 0
            && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(name.constData());
    }
    ::closedir(entries);
}

// A replacement keeps the old file's owner and group (a root run must not take a user's file
// over), as far as the system lets this user keep them.
void keepOwner(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, uid_t(-1), old.st_gid);
    }
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

void removeLeftovers(const QString& path)
{
    QByteArray target;
    struct stat status {};
    bool exists = false;
    QString ignored;
    if (!replacementTarget(QFile::encodeName(path), target, status, exists, ignored))
        return;
    const QFileInfo info(QFile::decodeName(target));
    sweepTemporaries(QFile::encodeName(info.absolutePath()), QFile::encodeName(info.fileName()));
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QByteArray target;
    struct stat old {};
    bool exists = false;
    QString reason;
    if (!replacementTarget(QFile::encodeName(path), target, old, exists, reason)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    const QByteArray base = QFile::encodeName(QFileInfo(QFile::decodeName(target)).fileName());
    sweepTemporaries(folder, base);
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; file.fd < 0 && attempt < 100; ++attempt) {
        temporary = folder + "/." + base + kTemporaryMark + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Mode 0666 lets the umask decide for a new file, as for any other file the user creates.
        file.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST)
            break;
        // Taken by a sweep between the creation and the lock: another name. Where the file
        // system has no such locks, sweeps cannot take any temporary either.
        struct stat fresh {};
        const bool locked = file.fd >= 0 && (lockTemporary(file.fd) || (errno != EAGAIN && errno != EACCES));
        if (file.fd >= 0 && !(locked && ::fstat(file.fd, &fresh) == 0 && fresh.st_nlink == 1))
            ::close(std::exchange(file.fd, -1));
    }
    const bool created = file.fd >= 0;
    if (created && exists)
        keepOwner(file.fd, old);
    // The descriptor, and with it the lock, stays open until the rename has taken the temporary.
    bool written = created && (!exists || ::fchmod(file.fd, old.st_mode & 07777) == 0) && writeAll(file.fd, bytes)
                   && ::fsync(file.fd) == 0;
    int code = errno;
    if (written && ::rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        code = errno;
    }
    if (written && !file.close()) {
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
