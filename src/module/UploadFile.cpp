#include "module/UploadFile.h"

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool SyncToDisk(std::FILE* stream)
{
#if defined(_WIN32)
    return _commit(_fileno(stream)) == 0;
#else
    // A pipe or a device cannot be synced; what was flushed to it has been delivered.
    return fsync(fileno(stream)) == 0 || errno == EINVAL;
#endif
}

// The file a rewrite finally replaces: through a symbolic link, the file it points to, as
// writing to the link would change that file.
fs::path RewriteTarget(const std::string& name)
{
    std::error_code error;
    const fs::path path(name);
    if (fs::is_symlink(path, error)) {
        const fs::path target = fs::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

// Creates a file that did not exist before, next to the final one, so the rename stays on one
// file system.
std::FILE* CreateTemporary(const fs::path& target, std::string& temporaryName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName = target.string() + ".part" + (attempt ? std::to_string(attempt) : "");
        if (std::FILE* stream = std::fopen(temporaryName.c_str(), "wbx"))
            return stream;
        if (errno != EEXIST)
            break;
    }
    temporaryName.clear();
    return nullptr;
}

}  // namespace

std::unique_ptr<UploadFile> UploadFile::OpenForAppend(const std::string& name)
{
    if (name.empty())
        return nullptr;
    // Binary mode: the line ends are converted here, the same on every platform.
    std::FILE* stream = std::fopen(name.c_str(), "ab");
    if (!stream)
        return nullptr;
    std::fseek(stream, 0, SEEK_END);
    return std::unique_ptr<UploadFile>(new UploadFile(stream, name, {}, {}));
}

std::unique_ptr<UploadFile> UploadFile::OpenForRewrite(const std::string& name)
{
    if (name.empty())
        return nullptr;
    const fs::path target = RewriteTarget(name);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status)) {
        // An existing file must be one that "w+" could have opened; this probe changes nothing.
        std::FILE* probe = std::fopen(target.string().c_str(), "r+b");
        if (!probe)
            return nullptr;
        std::fclose(probe);
    }
    std::string temporaryName;
    std::FILE* stream = CreateTemporary(target, temporaryName);
    if (!stream)
        return nullptr;
    if (fs::exists(status))
        fs::permissions(temporaryName, status.permissions(), error);
    return std::unique_ptr<UploadFile>(new UploadFile(stream, name, target.string(), temporaryName));
}

UploadFile::UploadFile(std::FILE* stream, std::string name, std::string target,
                       std::string temporaryName)
    : stream_(stream), name_(std::move(name)), target_(std::move(target)),
      temporaryName_(std::move(temporaryName))
{
}

UploadFile::~UploadFile()
{
    if (stream_)
        std::fclose(stream_);
    if (!temporaryName_.empty())
        std::remove(temporaryName_.c_str());
}

bool UploadFile::Fail()
{
    failed_ = true;
    return false;
}

bool UploadFile::Write(const std::uint8_t* bytes, std::size_t count)
{
    if (failed_ || !stream_)
        return Fail();
    std::string text;
    text.reserve(count + count / 8);
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] == '\n')
            text += '\r';
        text += static_cast<char>(bytes[i]);
    }
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        return Fail();
    if (std::fflush(stream_) != 0)
        return Fail();
    return true;
}

bool UploadFile::Sync()
{
    if (failed_ || !stream_)
        return Fail();
    if (std::fflush(stream_) != 0 || !SyncToDisk(stream_))
        return Fail();
    return true;
}

bool UploadFile::Close()
{
    if (!stream_)
        return !failed_;
    Sync();
    if (std::fclose(stream_) != 0)
        Fail();
    stream_ = nullptr;
    if (temporaryName_.empty() || failed_)
        return !failed_;
    std::error_code error;
    fs::rename(temporaryName_, target_, error);
    if (error)
        return Fail();
    temporaryName_.clear();
    return true;
}
