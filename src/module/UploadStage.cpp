#include "module/UploadStage.h"

#include "module/UploadFileSystem.h"
#include "platform/FileName.h"


#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace uploadstage {

namespace {

constexpr std::string_view Magic = "korvane upload ";
constexpr std::size_t StateOffset = Magic.size();

struct Header {
    char state = 0;  // R, r, A or a
    off_t start = 0;
    bool appending() const { return state == 'A' || state == 'a'; }
    bool created() const { return state == 'r' || state == 'a'; }
};

std::string Format(char state, off_t start)
{
    char text[HeaderSize + 1];
    std::snprintf(text, sizeof text, "%.*s%c %020lld\n", int(Magic.size()), Magic.data(), state,
                  static_cast<long long>(start));
    return std::string(text, HeaderSize);
}

std::optional<Header> Parse(int stage)
{
    std::array<char, HeaderSize> text{};
    if (!uploadfs::ReadAll(stage, text.data(), text.size(), 0))
        return std::nullopt;
    const std::string_view line(text.data(), text.size());
    if (!line.starts_with(Magic) || std::string_view("RrAa").find(line[StateOffset]) == std::string_view::npos ||
        line[StateOffset + 1] != ' ' || line.back() != '\n')
        return std::nullopt;
    Header header{line[StateOffset], 0};
    for (char digit : line.substr(StateOffset + 2, 20)) {
        if (digit < '0' || digit > '9' || header.start > (off_t(1) << 56))
            return std::nullopt;
        header.start = header.start * 10 + (digit - '0');
    }
    return header;
}

QString Named(const std::string& name)
{
    return platform::FileNameFromBytes(name.c_str());
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool Remove(const std::string& stageName)
{
    return ::unlink(stageName.c_str()) == 0 && uploadfs::SyncFolderOf(stageName);
}

}  // namespace

std::string SetAside(const std::string& stageName)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "-kept-%Y%m%dT%H%M%SZ", std::gmtime(&now));
    const std::string kept = stageName + stamp;
    if (::renameat2(AT_FDCWD, stageName.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0 &&
        uploadfs::SyncFolderOf(kept))
        return kept;
    return {};
}

std::string NameFor(const std::string& memoryFile)
{
    return uploadfs::HiddenSibling(memoryFile, Suffix);
}

int Create(const std::string& stageName, const struct stat& memoryFile, bool created, off_t start, QString& reason)
{
    // Non-blocking and no link followed: whatever else sits at the name is refused, not waited on.
    const int stage = ::open(stageName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (stage < 0) {
        reason = QStringLiteral("cannot create the stage file %1: %2").arg(Named(stageName), SystemReason(errno));
        return -1;
    }
    const std::string header = Format(created ? 'r' : 'R', start);
    // Held while the upload lives (before the header is there): a stage that no one holds is a leftover.
    if (!uploadfs::LockWhole(stage, F_WRLCK, true) || !uploadfs::GiveOwnerOf(stage, memoryFile.st_uid, memoryFile.st_gid) ||
        !uploadfs::WriteAll(stage, header.data(), header.size())) {
        reason = QStringLiteral("cannot write the stage file %1: %2").arg(Named(stageName), SystemReason(errno));
        ::unlink(stageName.c_str());
        ::close(stage);
        return -1;
    }
    return stage;
}

bool MarkAppending(int stage, bool created, off_t start)
{
    const std::string header = Format(created ? 'a' : 'A', start);
    return uploadfs::WriteAll(stage, header.data(), header.size(), 0) && ::fsync(stage) == 0;
}

QString Recover(const std::string& stageName, int memoryFile, const RecordedEnd& recorded)
{
    const int stage = ::open(stageName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (stage < 0 && errno == ENOENT)
        return {};
    const QString name = Named(stageName);
    if (stage < 0)
        return errno == ELOOP ? QStringLiteral("the stage file %1 is a symbolic link; it was left where it is").arg(name)
                              : QStringLiteral("the stage file %1 cannot be read: %2").arg(name, SystemReason(errno));
    if (!uploadfs::LockWhole(stage, F_RDLCK)) {
        ::close(stage);
        return QStringLiteral("the stage file %1 is another upload's, which is still running").arg(name);
    }
    struct stat status {}, memory {};
    const bool read = ::fstat(stage, &status) == 0 && ::fstat(memoryFile, &memory) == 0;
    const std::optional<Header> header = read && S_ISREG(status.st_mode) ? Parse(stage) : std::nullopt;
    QString problem;
    if (!read || !S_ISREG(status.st_mode))
        problem = QStringLiteral("%1 is in the way of the stage file: it is no regular file; it was left where it is").arg(name);
    else if (status.st_uid != memory.st_uid || status.st_nlink != 1)
        problem = QStringLiteral("the stage file %1 is not this upload's: it belongs to another user or has another link; it was left where it is").arg(name);
    else if (!header)
        problem = QStringLiteral("the stage file %1 is not a stage of an upload; it was left where it is").arg(name);
    if (!problem.isEmpty() || !header) {
        ::close(stage);
        return problem;
    }

    const Header found = *header;
    const off_t tail = memory.st_size - found.start;
    const off_t staged = status.st_size - HeaderSize;
    QString unmatched;
    if (found.appending() && tail > 0) {
        const bool wasRecorded = recorded.offset == found.start && recorded.length == staged && tail >= staged;
        if (!wasRecorded) {
            // Only a copy of this very stage may be taken back: never bytes that someone else wrote.
            if (tail > staged || !uploadfs::SameBytes(memoryFile, found.start, stage, HeaderSize, tail))
                unmatched = QStringLiteral("the stage file %1 of an earlier upload does not match the end of the memory file").arg(name);
            else if (::ftruncate(memoryFile, found.start) != 0 || ::fsync(memoryFile) != 0)
                unmatched = QStringLiteral("the cut-off copy of the stage file %1 cannot be taken back off the memory file: %2")
                                .arg(name, SystemReason(errno));
        }
    }
    ::close(stage);
    if (!unmatched.isEmpty()) {
        const std::string kept = SetAside(stageName);
        return kept.empty() ? QStringLiteral("%1; it was left where it is, and so was the memory file").arg(unmatched)
                            : QStringLiteral("%1; it was kept as %2, and the memory file was left as it is").arg(unmatched, Named(kept));
    }
    if (!Remove(stageName))
        return QStringLiteral("the stage file %1 of an earlier upload cannot be removed: %2").arg(name, SystemReason(errno));
    return {};
}

void SweepFolder(const std::string& folder)
{
    DIR* entries = ::opendir(folder.c_str());
    if (!entries)
        return;
    const std::string prefix = folder == "/" ? "/" : folder + "/";
    constexpr std::string_view suffix(Suffix);
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view stageFile(entry->d_name);
        if (stageFile.size() <= suffix.size() + 1 || stageFile.front() != '.' || !stageFile.ends_with(suffix))
            continue;
        const std::string stageName = prefix + std::string(stageFile);
        const std::string memoryName = prefix + std::string(stageFile.substr(1, stageFile.size() - 1 - suffix.size()));
        const int stage = ::open(stageName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const int memory = ::open(memoryName.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const bool noMemory = memory < 0 && errno == ENOENT;
        struct stat stageStatus {}, memoryStatus {};
        // Ours only: the running user's regular stage of a new file still in its read-out (the
        // module kept everything), held by no upload, and beside it the running user's memory file,
        // empty and held by no upload, or none (killed before the new file got its name).
        const bool stageOurs = stage >= 0 && ::fstat(stage, &stageStatus) == 0 && S_ISREG(stageStatus.st_mode) &&
                               stageStatus.st_nlink == 1 && stageStatus.st_uid == ::geteuid() &&
                               uploadfs::LockWhole(stage, F_RDLCK);
        const bool memoryOurs = memory >= 0 && ::fstat(memory, &memoryStatus) == 0 && S_ISREG(memoryStatus.st_mode) &&
                                memoryStatus.st_uid == ::geteuid() && memoryStatus.st_size == 0 &&
                                uploadfs::LockWhole(memory, F_WRLCK);
        if (stageOurs && (noMemory || memoryOurs)) {
            const std::optional<Header> header = Parse(stage);
            if (header && header->state == 'r' && (noMemory || ::unlink(memoryName.c_str()) == 0))
                Remove(stageName);
        }
        if (stage >= 0)
            ::close(stage);
        if (memory >= 0)
            ::close(memory);
    }
    ::closedir(entries);
}

}  // namespace uploadstage
