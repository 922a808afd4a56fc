// The configuration file: replaced whole, or written through when it is no regular file.
#include "module/UploadFile.h"
#include "module/UploadFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind {
    Replace,  // a hidden temporary file renamed over the target
    InPlace,  // the target itself, cut to what was written
    Through,  // not a regular file: opened "w+" and written as it comes
};

// What a rewrite replaces: through a symbolic link, the file it points to, so the link stays.
std::string RewriteTarget(const std::string& name)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(name, error))
        return name;
    const auto target = std::filesystem::weakly_canonical(name, error);
    return error ? name : target.string();
}

// A new file of a unique hidden name beside target, with the permissions a new file gets.
int CreateTemporary(const std::string& target, std::string& temporaryName)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%06x", unsigned(random()) & 0xFFFFFFu);
        temporaryName = uploadfs::HiddenSibling(target, suffix);
        const int descriptor = ::open(temporaryName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

class RewrittenUpload final : public UploadFile
{
public:
    RewrittenUpload(const std::string& name, int descriptor, Kind kind, std::string target = {},
                    std::string temporaryName = {})
        : UploadFile(name, descriptor, kind == Kind::Through), kind_(kind), target_(std::move(target)),
          temporaryName_(std::move(temporaryName))
    {
    }

    ~RewrittenUpload() override
    {
        if (!temporaryName_.empty())
            ::unlink(temporaryName_.c_str());
    }

    bool Close() override
    {
        if (descriptor_ < 0)
            return !Failed();
        if (kind_ == Kind::InPlace && !Failed()) {
            const off_t written = ::lseek(descriptor_, 0, SEEK_CUR);
            Check(written >= 0 && ::ftruncate(descriptor_, written) == 0);
        }
        if (!Failed())
            SyncDescriptor(descriptor_);
        Check(::close(TakeDescriptor()) == 0);
        if (kind_ != Kind::Replace || Failed())
            return !Failed();
        if (!Check(::rename(temporaryName_.c_str(), target_.c_str()) == 0))
            return false;
        temporaryName_.clear();
        return Check(uploadfs::SyncFolderOf(target_));
    }

private:
    Kind kind_;
    std::string target_;
    std::string temporaryName_;  // removed unless the rename took it
};

}  // namespace

std::unique_ptr<UploadFile> UploadFile::OpenForRewrite(const std::string& name)
{
    if (name.empty())
        return nullptr;
    struct stat status {};
    const bool exists = ::stat(name.c_str(), &status) == 0;
    if (!exists && errno != ENOENT)
        return nullptr;
    if (exists && !S_ISREG(status.st_mode)) {
        const int descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        return descriptor < 0 ? nullptr : std::make_unique<RewrittenUpload>(name, descriptor, Kind::Through);
    }

    const std::string target = RewriteTarget(name);
    // An existing file must be one that "w+" could open; this changes nothing in it.
    const int existing = exists ? ::open(target.c_str(), O_WRONLY | O_CLOEXEC) : -1;
    if (exists && existing < 0)
        return nullptr;
    std::string temporaryName;
    const int temporary = CreateTemporary(target, temporaryName);
    if (temporary >= 0) {
        if (exists) {
            ::fchmod(temporary, status.st_mode & 07777);
            [[maybe_unused]] const int owned = ::fchown(temporary, status.st_uid, status.st_gid);
            ::close(existing);
        }
        return std::make_unique<RewrittenUpload>(name, temporary, Kind::Replace, target, temporaryName);
    }
    // A folder that takes no new file: the record is written over the file itself.
    if (existing >= 0)
        return std::make_unique<RewrittenUpload>(name, existing, Kind::InPlace);
    return nullptr;
}
