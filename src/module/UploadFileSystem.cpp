#include "module/UploadFileSystem.h"

#include "platform/CancelSignals.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace uploadfs {

bool WriteAll(int descriptor, const char* bytes, std::size_t count, off_t offset)
{
    while (count > 0) {
        const ssize_t written = offset < 0 ? ::write(descriptor, bytes, count) : ::pwrite(descriptor, bytes, count, offset);
        if (written < 0 && errno == EINTR && !platform::CancelSignals::Raised())
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes += written;
        count -= std::size_t(written);
        if (offset >= 0)
            offset += written;
    }
    return true;
}

bool ReadAll(int descriptor, char* bytes, std::size_t count, off_t offset)
{
    while (count > 0) {
        const ssize_t got = ::pread(descriptor, bytes, count, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        count -= std::size_t(got);
        offset += got;
    }
    return true;
}

bool SameBytes(int a, off_t fromA, int b, off_t fromB, off_t count)
{
    std::array<char, 65536> left{}, right{};
    while (count > 0) {
        const std::size_t chunk = std::size_t(std::min<off_t>(count, off_t(left.size())));
        if (!ReadAll(a, left.data(), chunk, fromA) || !ReadAll(b, right.data(), chunk, fromB) ||
            !std::equal(left.begin(), left.begin() + chunk, right.begin()))
            return false;
        fromA += off_t(chunk);
        fromB += off_t(chunk);
        count -= off_t(chunk);
    }
    return true;
}

std::string FolderOf(const std::string& name)
{
    const auto slash = name.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : name.substr(0, slash);
}

std::string BaseName(const std::string& name)
{
    const auto slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string HiddenSibling(const std::string& name, const std::string& suffix)
{
    const std::string file = BaseName(name);
    return name.substr(0, name.size() - file.size()) + "." + file + suffix;
}

bool SyncFolderOf(const std::string& name)
{
    const int folder = ::open(FolderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
    ::close(folder);
    return synced;
}

bool IsRegularDescriptor(int descriptor)
{
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

bool LockWhole(int descriptor, short type, bool wait)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    while (::fcntl(descriptor, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0)
        if (errno != EINTR || platform::CancelSignals::Raised())
            return false;
    return true;
}

bool GiveOwnerOf(int descriptor, uid_t owner, gid_t group)
{
    return ::geteuid() != 0 || ::fchown(descriptor, owner, group) == 0;
}

}  // namespace uploadfs
