#include "module/UploadTransaction.h"

#include "module/UploadFileSystem.h"
#include "module/UploadReadBack.h"
#include "module/UploadStage.h"
#include "module/UploadTarget.h"
#include "platform/FileName.h"


#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
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
    upload->unnamed_ = target.unnamed;
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
    if (unnamed_ && !uploadtarget::Name(target_, Name())) {
        problem = errno == EEXIST ? QStringLiteral("another program created it meanwhile") : SystemReason(errno);
        ::unlink(stageName.c_str());
        ::close(stage);
        return problem;
    }
    unnamed_ = false;
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
    const QString changed = QStringLiteral("another program wrote to the memory file during the upload");
    const int stage = descriptor_;
    struct stat before {};
    if (!Check(::fstat(target_, &before) == 0 && uploadstage::MarkAppending(stage, created_, before.st_size)))
        return Fails({});
    start_ = before.st_size;
    if (!Append(stage))
        return Fails(split_ ? changed : QString());
    // Another program's bytes came first: the stage names where the copy landed, for a recovery.
    if (start_ != before.st_size && !Check(uploadstage::MarkAppending(stage, created_, start_)))
        return Fails({});
    if (!SyncDescriptor(target_))
        return Fails({});
    struct stat now {};
    if (start_ != before.st_size || ::fstat(target_, &now) != 0 || now.st_size != start_ + WrittenBytes())
        return Fails(changed);
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

// With O_APPEND the kernel puts each write at the end as it is then, in one piece: another
// program's appends land before or after it, never under it. The staged upload goes in one write
// where the disk allows; a further piece that does not land right after the first is another
// program's doing.
bool UploadTransaction::Append(int stage)
{
    const off_t length = WrittenBytes();
    if (length == 0)
        return true;
    const int flags = ::fcntl(target_, F_GETFL);
    if (!Check(flags >= 0 && ::fcntl(target_, F_SETFL, flags | O_APPEND) == 0))
        return false;
    const std::size_t mapped = std::size_t(uploadstage::HeaderSize + length);
    void* const map = ::mmap(nullptr, mapped, PROT_READ, MAP_SHARED, stage, 0);
    if (!Check(map != MAP_FAILED)) {
        ::fcntl(target_, F_SETFL, flags);
        return false;
    }
    const char* const bytes = static_cast<const char*>(map) + uploadstage::HeaderSize;
    while (appended_ < length) {
        const ssize_t got = ::write(target_, bytes + appended_, std::size_t(length - appended_));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            Fail(got == 0 ? EIO : errno);
            break;
        }
        const off_t end = ::lseek(target_, 0, SEEK_CUR);
        if (appended_ == 0 && end >= got) {
            start_ = end - got;
        } else if (end < 0 || end - got != start_ + appended_) {
            split_ = true;
            Fail(end < 0 ? errno : EIO);
            break;
        }
        appended_ += got;
    }
    ::munmap(map, mapped);
    ::fcntl(target_, F_SETFL, flags);
    return !Failed();
}

// The memory file as it was; a file written through keeps what reached it.
void UploadTransaction::RollBack()
{
    closed_ = true;
    struct stat now {};
    // This upload's bytes are taken back only when they end the file in the one piece the kernel
    // placed: nothing after them can then be another program's. Otherwise they stay, and so does
    // their stage, set aside, as the account of them.
    if (appended_ > 0 && !split_ && ::fstat(target_, &now) == 0 && now.st_size == start_ + appended_ &&
        ::ftruncate(target_, start_) == 0) {
        appended_ = 0;
        ::fsync(target_);
    }
    if (appended_ > 0 && !stageName_.empty()) {
        const std::string stageName = std::exchange(stageName_, {});
        const std::string kept = uploadstage::SetAside(stageName);
        ::close(TakeDescriptor());
        descriptor_ = target_;
        problem_ = (problem_.isEmpty() ? SystemReason(Error()) : problem_) +
                   QStringLiteral("; the upload's copy at byte %1 stays in the memory file unrecorded, since it is not "
                                  "this upload's alone to take back; its stage file was %2")
                       .arg(start_)
                       .arg(kept.empty() ? QStringLiteral("left as %1").arg(platform::FileNameFromBytes(stageName.c_str()))
                                         : QStringLiteral("kept as %1").arg(platform::FileNameFromBytes(kept.c_str())));
    }
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
    // Removed while its lock is held, so that no other run takes it for a leftover meanwhile.
    if (::unlink(stageName.c_str()) == 0)
        uploadfs::SyncFolderOf(stageName);
    ::close(TakeDescriptor());
    descriptor_ = target_;
}
