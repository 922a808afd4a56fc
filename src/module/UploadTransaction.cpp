#include "module/UploadTransaction.h"

#include "module/UploadFileSystem.h"
#include "module/UploadReadBack.h"
#include "module/UploadStage.h"
#include "module/UploadTarget.h"
#include "platform/FileName.h"


#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The longest name in the folder that the stage and the record still fit beside.
bool NamesFit(const std::string& name)
{
    const long longest = ::pathconf(uploadfs::FolderOf(name).c_str(), _PC_NAME_MAX);
    const std::size_t limit = longest > 0 ? std::size_t(longest) : NAME_MAX;
    return uploadfs::BaseName(name).size() + 8 <= limit;  // ".<name>.upload", "<name>.uploads"
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

UploadTransaction::Begun UploadTransaction::Begin(const std::string& name, const UploadRecordEntry& record)
{
    Begun begun;
    uploadtarget::Opened target = uploadtarget::Open(name);
    if (target.descriptor < 0) {
        begun.reason = target.reason;
        return begun;
    }
    std::unique_ptr<UploadTransaction> upload(
        new UploadTransaction(name, target.descriptor, target.status, target.created, record));
    if (target.regular()) {
        if (!uploadfs::LockWhole(target.descriptor, F_WRLCK)) {
            begun.busy = errno == EAGAIN || errno == EACCES;
            begun.reason = begun.busy ? QStringLiteral("another upload is writing it") : SystemReason(errno);
            // The file is another upload's now: not even a new one is removed.
            upload->created_ = false;
            upload->closed_ = true;
            return begun;
        }
        begun.reason = upload->Prepare();
        if (!begun.reason.isEmpty())
            return begun;
    }
    begun.upload = std::move(upload);
    return begun;
}

UploadTransaction::UploadTransaction(const std::string& name, int target, const struct stat& status, bool created,
                                     const UploadRecordEntry& record)
    : UploadFile(name, target, !S_ISREG(status.st_mode)), target_(target), status_(status), created_(created),
      record_(record)
{
}

// Everything that keeps a regular file's upload sound, before a single block is read.
QString UploadTransaction::Prepare()
{
    closed_ = true;  // until the stage is there, dropping the upload only removes a new file
    if (!NamesFit(Name()))
        return QStringLiteral("name too long: the stage file and the upload record do not fit beside it");
    uploadstage::SweepFolder(uploadfs::FolderOf(Name()));
    const QString memoryName = platform::FileNameFromBytes(Name().c_str());
    QString problem;
    const auto entries = CheckUploadRecord(memoryName, target_, problem);
    if (!entries)
        return problem;
    uploadstage::RecordedEnd recorded;
    if (!entries->empty())
        recorded = {entries->back().offset, entries->back().length};
    const std::string stageName = uploadstage::NameFor(Name());
    problem = uploadstage::Recover(stageName, target_, recorded);
    if (!problem.isEmpty())
        return problem;
    start_ = ::lseek(target_, 0, SEEK_END);
    const int stage = uploadstage::Create(stageName, status_, created_, start_, problem);
    if (stage < 0)
        return problem;
    stageName_ = stageName;
    descriptor_ = stage;
    closed_ = false;
    return {};
}

UploadTransaction::~UploadTransaction()
{
    if (!closed_ || created_)
        RollBack();
    if (target_ != descriptor_)
        ::close(target_);
}

QString UploadTransaction::EraseRefusal() const
{
    if (!WritesThrough())
        return {};
    if (S_ISFIFO(status_.st_mode) || S_ISSOCK(status_.st_mode))
        return QStringLiteral("the data went to a pipe, not to a disk");
    return QStringLiteral("the data went to a device, not to a disk");
}

bool UploadTransaction::Fails(const QString& problem)
{
    if (problem_.isEmpty())
        problem_ = problem;
    RollBack();
    return false;
}

bool UploadTransaction::Close()
{
    if (closed_)
        return problem_.isEmpty() && !Failed();
    if (Failed())
        return Fails({});
    if (WritesThrough()) {
        closed_ = true;
        return SyncDescriptor(target_);
    }
    // At the end as it is now: bytes another program appended meanwhile stay before the upload.
    const int stage = descriptor_;
    start_ = ::lseek(target_, 0, SEEK_END);
    appendStarted_ = true;
    if (!Check(start_ >= 0 && uploadstage::MarkAppending(stage, created_, start_)))
        return Fails({});
    std::array<char, 65536> buffer{};
    for (off_t from = uploadstage::HeaderSize, to = start_;;) {
        const ssize_t got = ::pread(stage, buffer.data(), buffer.size(), from);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        if (!Check(got > 0) || !Check(uploadfs::WriteAll(target_, buffer.data(), std::size_t(got), to)))
            return Fails({});
        from += got;
        to += got;
    }
    if (!SyncDescriptor(target_))
        return Fails({});
    struct stat now {};
    if (::fstat(target_, &now) != 0 || now.st_size != start_ + WrittenBytes())
        return Fails(QStringLiteral("another program wrote to the memory file during the upload"));
    if (!ReadBackMatches(target_, start_, WrittenBytes(), WrittenSha256()))
        return Fails(QStringLiteral("the file does not hold what the module sent"));
    UploadRecordEntry entry = record_;
    entry.time = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    entry.offset = start_;
    entry.length = WrittenBytes();
    entry.sha256 = WrittenSha256();
    const QString memoryName = platform::FileNameFromBytes(Name().c_str());
    if (!AppendUploadRecord(memoryName, target_, entry))
        return Fails(QStringLiteral("the upload record %1 cannot be written").arg(UploadRecordName(memoryName)));
    // Recorded: the upload is whole. A stage that cannot be removed now is cleared by the next
    // upload, which finds this upload as the record's last.
    closed_ = true;
    created_ = false;
    RemoveStage();
    return true;
}

// The memory file as it was; a file written through keeps what reached it.
void UploadTransaction::RollBack()
{
    closed_ = true;
    struct stat now {};
    // Only what this upload appended is taken back, never bytes that another program added after.
    if (appendStarted_ && ::fstat(target_, &now) == 0 && now.st_size <= start_ + WrittenBytes() &&
        ::ftruncate(target_, start_) == 0)
        ::fsync(target_);
    RemoveStage();
    // A file this upload created goes again while it is empty, unless the name has meanwhile been
    // given to another.
    struct stat named {};
    if (created_ && ::fstat(target_, &now) == 0 && now.st_size == 0 && ::stat(Name().c_str(), &named) == 0 &&
        named.st_ino == now.st_ino && named.st_dev == now.st_dev)
        ::unlink(Name().c_str());
    created_ = false;
}

void UploadTransaction::RemoveStage()
{
    if (stageName_.empty())
        return;
    const std::string stageName = std::exchange(stageName_, {});
    ::close(TakeDescriptor());
    descriptor_ = target_;
    if (::unlink(stageName.c_str()) == 0)
        uploadfs::SyncFolderOf(stageName);
}
