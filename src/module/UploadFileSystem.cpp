#include "module/UploadFileSystem.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace uploadfs {

bool WriteAll(int descriptor, const char* bytes, std::size_t count, off_t offset)
{
    while (count > 0) {
        const ssize_t written = offset < 0 ? ::write(descriptor, bytes, count) : ::pwrite(descriptor, bytes, count, offset);
        if (written < 0 && errno == EINTR)
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

std::string FolderOf(const std::string& name)
{
    const auto slash = name.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : name.substr(0, slash);
}

std::string HiddenSibling(const std::string& name, const std::string& suffix)
{
    const auto slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    return folder + "." + file + suffix;
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

}  // namespace uploadfs
