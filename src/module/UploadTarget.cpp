#include "module/UploadTarget.h"

#include "module/UploadFileSystem.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace uploadtarget {

namespace {

Opened Fail(const QString& reason, int descriptor = -1)
{
    if (descriptor >= 0)
        ::close(descriptor);
    Opened opened;
    opened.reason = reason;
    return opened;
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Which links may be followed at the name: in a folder that all users share (sticky and writable
// by all) only one of the user running the tool, the rule the kernel applies with
// fs.protected_symlinks=1. None: O_NOFOLLOW, so that a link planted after the look fails too.
enum class Links { Follow, DoNotFollow, Refuse };

Links LinksAt(const std::string& name)
{
    struct stat folder {}, link {};
    const bool shared = ::stat(uploadfs::FolderOf(name).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) &&
                        (folder.st_mode & S_IWOTH);
    if (!shared)
        return Links::Follow;
    if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return Links::DoNotFollow;
    return link.st_uid == ::geteuid() ? Links::Follow : Links::Refuse;
}

Opened OpenThrough(const std::string& name, int noFollow)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow);
    if (fd < 0)
        return Fail(errno == ENXIO ? QStringLiteral("no program is reading the pipe") : SystemReason(errno));
    Opened opened;
    if (::fstat(fd, &opened.status) != 0 || S_ISREG(opened.status.st_mode))
        return Fail(QStringLiteral("the file changed while it was opened"), fd);
    // Blocking from here: a full pipe waits for its reader (or a cancel signal).
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    opened.descriptor = fd;
    return opened;
}

}  // namespace

Opened Open(const std::string& name)
{
    if (name.empty())
        return Fail(QStringLiteral("no file name given"));
    const Links links = LinksAt(name);
    if (links == Links::Refuse)
        return Fail(QStringLiteral("it is a symbolic link of another user in a folder that all users share"));
    const int noFollow = links == Links::DoNotFollow ? O_NOFOLLOW : 0;
    struct stat named {};
    if (::stat(name.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
        return OpenThrough(name, noFollow);

    Opened opened;
    struct stat entry {};
    int fd = -1;
    // A new file is made without a name, which it gets once its stage is there: a kill before that
    // leaves nothing behind.
    if (::lstat(name.c_str(), &entry) != 0 && errno == ENOENT)
        fd = ::open(uploadfs::FolderOf(name).c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0666);
    opened.unnamed = fd >= 0;
    if (fd < 0)
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    opened.created = fd >= 0;
    if (fd < 0 && errno == EEXIST)
        fd = ::open(name.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow);
    if (fd < 0)
        return Fail(errno == ELOOP && noFollow ? QStringLiteral("it is a symbolic link of another user in a folder that all users share")
                                               : SystemReason(errno));
    if (::fstat(fd, &opened.status) != 0 || !S_ISREG(opened.status.st_mode)) {
        // Swapped for something else since the look above: take it as what it is now.
        ::close(fd);
        return OpenThrough(name, noFollow);
    }
    opened.descriptor = fd;
    return opened;
}

bool Name(int descriptor, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 && uploadfs::SyncFolderOf(name);
}

}  // namespace uploadtarget
