#include "module/UploadRecord.h"

#include "module/UploadFileSystem.h"
#include "module/UploadReadBack.h"
#include "module/UploadRecordColumns.h"
#include "platform/FileName.h"

#include <QList>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond any number of uploads into one file; a larger file is not a record of ours.
constexpr qint64 LargestRecord = 64 * 1024 * 1024;
// A header of far more columns than ours is no header of ours.
constexpr qsizetype LongestHeader = 4096;

// The column names of the record open as `fd`, from its first line.
std::optional<QByteArrayList> HeaderOf(int fd)
{
    QByteArray text(LongestHeader, '\0');
    const ssize_t got = ::pread(fd, text.data(), size_t(text.size()), 0);
    const qsizetype end = got > 0 ? text.left(got).indexOf('\n') : -1;
    QString fault;
    return end < 0 ? std::nullopt : uploadrecord::ParseHeader(text.left(end), fault);
}

}  // namespace

QString UploadRecordName(const QString& memoryFile)
{
    return memoryFile + QStringLiteral(".uploads");
}

bool AppendUploadRecord(const QString& memoryFile, int memory, const UploadRecordEntry& entry)
{
    const QString name = UploadRecordName(memoryFile);
    // Non-blocking and no link followed: a FIFO or a link of that name must neither hold the upload
    // up nor lead its line elsewhere; both are refused below.
    const int fd = ::open(platform::FileNameBytes(name).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat status {}, owner {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::fstat(memory, &owner) != 0 ||
        (status.st_size > 0 && status.st_uid != owner.st_uid)) {
        ::close(fd);
        return false;
    }
    const bool created = status.st_size == 0;
    const QByteArray header = uploadrecord::NewHeader();
    // An existing record keeps its own columns.
    QString unused;
    const auto names = created ? uploadrecord::ParseHeader(header.chopped(1), unused) : HeaderOf(fd);
    if (!names) {
        ::close(fd);
        return false;
    }
    const QByteArray text = (created ? header : QByteArray()) + uploadrecord::FormatLine(*names, entry);
    bool stored = (!created || uploadfs::GiveOwnerOf(fd, owner.st_uid, owner.st_gid)) &&
                  uploadfs::WriteAll(fd, text.constData(), size_t(text.size())) && ::fsync(fd) == 0;
    if (!stored && ::ftruncate(fd, status.st_size) == 0)
        ::fsync(fd);
    stored = ::close(fd) == 0 && stored;
    return stored && (!created || uploadfs::SyncFolderOf(platform::FileNameBytes(name).toStdString()));
}

namespace {

std::optional<std::vector<UploadRecordEntry>> ParseUploadRecord(const QByteArray& text, const QString& name, QString& error)
{
    const auto fail = [&](qsizetype line, const QString& fault) {
        error = QStringLiteral("%1, line %2: %3").arg(name).arg(line).arg(fault);
        return std::nullopt;
    };
    const qsizetype headerEnd = text.indexOf('\n');
    QString fault;
    const auto names = headerEnd < 0 || headerEnd > LongestHeader
                           ? std::nullopt
                           : uploadrecord::ParseHeader(text.left(headerEnd), fault);
    if (!names)
        return fail(1, fault.isEmpty() ? QStringLiteral("not an upload record header") : fault);
    if (!text.endsWith('\n'))
        return fail(text.count('\n') + 1, QStringLiteral("the line is cut off"));

    std::vector<UploadRecordEntry> entries;
    const QByteArray body = text.sliced(headerEnd + 1);
    const QList<QByteArray> lines = body.isEmpty() ? QList<QByteArray>() : body.chopped(1).split('\n');
    qint64 end = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto entry = uploadrecord::ParseLine(*names, lines[i], fault);
        if (!entry)
            return fail(i + 2, fault);
        // Uploads are appended: each starts where the ones before it have ended or later.
        if (entry->offset < end)
            return fail(i + 2, QStringLiteral("the upload starts inside the one before"));
        end = entry->offset + entry->length;
        entries.push_back(*entry);
    }
    return entries;
}

QString TooLarge(const QString& name)
{
    return QStringLiteral("%1 is larger than %2 MiB, more than any upload record").arg(name).arg(LargestRecord >> 20);
}

}  // namespace

std::optional<std::vector<UploadRecordEntry>> CheckUploadRecord(const QString& memoryFile, int memory, QString& problem)
{
    const QString name = UploadRecordName(memoryFile);
    const int fd = ::open(platform::FileNameBytes(name).constData(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return std::vector<UploadRecordEntry>{};
    if (fd < 0) {
        problem = errno == ELOOP ? QStringLiteral("the upload record %1 is a symbolic link").arg(name)
                                 : QStringLiteral("the upload record %1 cannot be opened: %2")
                                       .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    struct stat status {}, owner {};
    QByteArray text;
    if (::fstat(fd, &status) != 0 || ::fstat(memory, &owner) != 0 || !S_ISREG(status.st_mode))
        problem = QStringLiteral("the upload record %1 is no regular file").arg(name);
    else if (status.st_uid != owner.st_uid)
        problem = QStringLiteral("the upload record %1 belongs to another user than the memory file").arg(name);
    else if (status.st_size > LargestRecord)
        problem = TooLarge(name);
    else {
        text.resize(qsizetype(status.st_size));
        if (!uploadfs::ReadAll(fd, text.data(), size_t(text.size()), 0))
            problem = QStringLiteral("the upload record %1 cannot be read").arg(name);
        // A record whose last line lost only its line feed is whole again with it.
        else if (!text.isEmpty() && !text.endsWith('\n')) {
            if (uploadfs::WriteAll(fd, "\n", 1) && ::fsync(fd) == 0)
                text += '\n';
            else
                problem = QStringLiteral("the upload record %1 cannot be written").arg(name);
        }
    }
    ::close(fd);
    if (!problem.isEmpty())
        return std::nullopt;
    auto entries = ParseUploadRecord(text, name, problem);
    if (!entries)
        return std::nullopt;
    // Only the last upload is read back: its bytes are at most one upload's, and they show that
    // the record belongs to this very file (not to one that was rotated away).
    if (!entries->empty()) {
        const UploadRecordEntry& last = entries->back();
        const auto sha256 = last.offset + last.length <= owner.st_size
                                ? Sha256OfFileRange(memory, last.offset, last.length)
                                : std::nullopt;
        if (sha256 != last.sha256) {
            problem = QStringLiteral("the memory file does not hold the last upload of its record %1 (see korvane --verify)").arg(name);
            return std::nullopt;
        }
    }
    return entries;
}

std::optional<std::vector<UploadRecordEntry>> ReadUploadRecord(const QString& memoryFile, QString& error)
{
    const QString name = UploadRecordName(memoryFile);
    const int fd = ::open(platform::FileNameBytes(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    QByteArray text;
    if (fd < 0 && errno == ENOENT)
        error = QStringLiteral("%1 does not exist").arg(name);
    else if (fd < 0)
        error = QStringLiteral("%1 cannot be read: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    else if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        error = QStringLiteral("%1 is not an upload record").arg(name);
    else if (status.st_size > LargestRecord)
        error = TooLarge(name);
    else {
        text.resize(qsizetype(status.st_size));
        if (!uploadfs::ReadAll(fd, text.data(), size_t(text.size()), 0))
            error = QStringLiteral("%1 cannot be read: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (fd >= 0)
        ::close(fd);
    if (!error.isEmpty())
        return std::nullopt;
    return ParseUploadRecord(text, name, error);
}
