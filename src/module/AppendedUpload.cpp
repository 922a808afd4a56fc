// The memory file: a whole upload or nothing at its end, one upload at a time.
//
// The blocks gather in a hidden stage file beside the memory file. Its first line names the
// memory file's length before the upload and a state: R while blocks are read (the memory file
// is untouched), A while the stage is appended to it. The stage goes only after the memory file
// holds the whole upload and is synced. So whatever moment a kill comes, the next upload into that
// file finds either nothing, a stage in state R (dropped), or one in state A, whose cut-off append
// it takes back off the memory file before it starts.
#include "module/UploadFile.h"
#include "module/UploadFileSystem.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view StageSuffix = ".upload";
constexpr std::string_view StageMagic = "korvane upload ";
// "korvane upload R 00000000000000001234\n"
constexpr std::size_t StateOffset = StageMagic.size();
constexpr std::size_t HeaderSize = StageMagic.size() + 2 + 20 + 1;

std::string StageHeader(char state, off_t start)
{
    char header[HeaderSize + 1];
    std::snprintf(header, sizeof header, "%.*s%c %020lld\n", int(StageMagic.size()), StageMagic.data(), state,
                  static_cast<long long>(start));
    return std::string(header, HeaderSize);
}

// Takes a leftover of a killed upload away; a stage in state A first takes its (possibly
// cut-off) append back off the memory file. False when the stage cannot be removed.
bool CleanUpLeftover(const std::string& stageName, int target)
{
    const int stage = ::open(stageName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (stage < 0)
        return errno == ENOENT;
    std::array<char, HeaderSize> header{};
    const ssize_t got = ::pread(stage, header.data(), header.size(), 0);
    ::close(stage);
    const std::string_view text(header.data(), got > 0 ? std::size_t(got) : 0);
    if (!text.empty() && !std::string_view(StageMagic).starts_with(text.substr(0, StageMagic.size())))
        return false;  // not ours: leave it alone
    if (text.size() == HeaderSize && text[StateOffset] == 'A') {
        const off_t start = std::strtoll(header.data() + StateOffset + 2, nullptr, 10);
        struct stat status {};
        if (::fstat(target, &status) != 0)
            return false;
        if (status.st_size > start && (::ftruncate(target, start) != 0 || ::fsync(target) != 0))
            return false;
    }
    return ::unlink(stageName.c_str()) == 0 && uploadfs::SyncFolderOf(stageName);
}

class AppendedUpload final : public UploadFile
{
public:
    AppendedUpload(const std::string& name, int target, bool regular, bool created)
        : UploadFile(name, target, !regular), target_(target), created_(created)
    {
        start_ = regular ? ::lseek(target, 0, SEEK_END) : 0;
    }

    // Gathers the blocks in a stage file; without one (a folder that takes no new file) they go
    // straight to the memory file, which a failure then cuts back to its length before.
    void Stage()
    {
        const std::string stageName = uploadfs::HiddenSibling(Name(), std::string(StageSuffix));
        const bool cleaned = CleanUpLeftover(stageName, target_);
        start_ = ::lseek(target_, 0, SEEK_END);  // a cut-off append may just have gone
        if (!cleaned)
            return;
        const int stage = ::open(stageName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (stage < 0)
            return;
        const std::string header = StageHeader('R', start_);
        if (!uploadfs::WriteAll(stage, header.data(), header.size())) {
            ::close(stage);
            ::unlink(stageName.c_str());
            return;
        }
        stageName_ = stageName;
        descriptor_ = stage;
    }

    ~AppendedUpload() override
    {
        if (!closed_)
            RollBack();
        if (target_ != descriptor_)
            ::close(target_);
    }

    qint64 StartOffset() const override { return start_; }

    bool Close() override
    {
        if (closed_)
            return !Failed();
        closed_ = true;
        if (Failed() || (!stageName_.empty() && !Append()) || !SyncDescriptor(target_)) {
            RollBack();
            return false;
        }
        return RemoveStage();
    }

private:
    bool Append()
    {
        const int stage = descriptor_;
        appendStarted_ = true;
        if (!Check(uploadfs::WriteAll(stage, "A", 1, StateOffset)) || !SyncDescriptor(stage))
            return false;
        std::array<char, 65536> buffer{};
        off_t from = HeaderSize;
        off_t to = start_;
        for (;;) {
            const ssize_t got = ::pread(stage, buffer.data(), buffer.size(), from);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return Check(got == 0);
            if (!Check(uploadfs::WriteAll(target_, buffer.data(), std::size_t(got), to)))
                return false;
            from += got;
            to += got;
        }
    }

    // The memory file as it was; a file written through keeps what reached it.
    void RollBack()
    {
        closed_ = true;
        if (!WritesThrough() && (stageName_.empty() || appendStarted_)) {
            if (::ftruncate(target_, start_) == 0)
                ::fsync(target_);
        }
        RemoveStage();
        // A file this upload created goes again, unless the name has meanwhile been given to another.
        struct stat named {}, ours {};
        if (created_ && ::stat(Name().c_str(), &named) == 0 && ::fstat(target_, &ours) == 0 &&
            named.st_ino == ours.st_ino && named.st_dev == ours.st_dev)
            ::unlink(Name().c_str());
    }

    bool RemoveStage()
    {
        if (stageName_.empty())
            return !Failed();
        const std::string stageName = std::exchange(stageName_, {});
        ::close(TakeDescriptor());
        descriptor_ = target_;
        return Check(::unlink(stageName.c_str()) == 0) && Check(uploadfs::SyncFolderOf(stageName)) && !Failed();
    }

    int target_;
    off_t start_ = 0;
    std::string stageName_;  // empty: the blocks go straight to the memory file
    bool created_;
    bool appendStarted_ = false;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<UploadFile> UploadFile::OpenForAppend(const std::string& name, OpenFailure* failure)
{
    OpenFailure ignored;
    OpenFailure& result = failure ? *failure : ignored;
    result = OpenFailure::CannotOpen;
    if (name.empty())
        return nullptr;
    int target = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const bool created = target >= 0;
    if (!created && errno == EEXIST)
        target = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
    if (target < 0)
        return nullptr;
    const bool regular = uploadfs::IsRegularDescriptor(target);
    if (regular && ::flock(target, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? OpenFailure::Busy : OpenFailure::CannotOpen;
        ::close(target);
        return nullptr;
    }
    auto file = std::make_unique<AppendedUpload>(name, target, regular, created);
    if (regular)
        file->Stage();
    result = OpenFailure::None;
    return file;
}
