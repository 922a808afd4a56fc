#include "viewer/MemoryFileIndex.h"

#include "module/MemoryRecords.h"
#include "module/RecordedMemoryFile.h"
#include "module/UploadFileSystem.h"
#include "platform/FileName.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include <unistd.h>

namespace {

// Small enough that a block, the records cut from it and the kernel's copy into it stay in a core's
// cache: a block of 1 MiB made that copy cost half as much again as reading the file alone.
constexpr qsizetype BlockSize = 1 << 18;
constexpr int MemoryModeFixed = 0;
// Enough of an upload's first records to guess the stamp form from.
constexpr qsizetype GuessBytes = 4096;

// The stored bytes of one upload, a block at a time; a byte outside the block is read alone.
class StoredBytes
{
public:
    StoredBytes(int fd, qint64 end) : fd_(fd), end_(end), block_(BlockSize, Qt::Uninitialized) {}

    qint64 End() const { return end_; }
    bool Failed() const { return failed_; }

    // The block holding `offset`: its bytes from there, and how many.
    const char* From(qint64 offset, qint64& available)
    {
        if (offset < start_ || offset >= start_ + filled_)
            Load(offset);
        available = start_ + filled_ - offset;
        return block_.constData() + (offset - start_);
    }

    bool StartsAt(qint64 offset) const { return start_ == offset && filled_ > 0; }
    void MoveTo(qint64 offset) { Load(offset); }

    char At(qint64 offset)
    {
        if (offset >= start_ && offset < start_ + filled_)
            return block_[offset - start_];
        char byte = 0;
        failed_ |= !uploadfs::ReadAll(fd_, &byte, 1, offset);
        return byte;
    }

    // The first byte from `at` on that ends a record: the delimiter, but for a CR that stores the
    // first half of a module's line feed (a line feed stored as CR LF). End() when there is none.
    qint64 NextDelimiter(qint64 at, char delimiter)
    {
        while (at < end_ && !failed_) {
            qint64 available = 0;
            const char* from = From(at, available);
            const void* found = std::memchr(from, delimiter, size_t(available));
            if (!found) {
                at += available;
                continue;
            }
            const qint64 hit = at + (static_cast<const char*>(found) - from);
            if (delimiter != '\r' || hit + 1 >= end_ || At(hit + 1) != '\n')
                return hit;
            at = hit + 1;
        }
        return end_;
    }

    // `count` bytes from `offset`, from the block, which moves there when they fit into one.
    const char* Span(qint64 offset, qsizetype count, QByteArray& spare)
    {
        if ((offset < start_ || offset + count > start_ + filled_) && count <= BlockSize && offset + count <= end_)
            Load(offset);
        if (offset >= start_ && offset + count <= start_ + filled_)
            return block_.constData() + (offset - start_);
        spare.resize(count);
        failed_ |= !uploadfs::ReadAll(fd_, spare.data(), size_t(count), offset);
        return spare.constData();
    }

private:
    void Load(qint64 offset)
    {
        start_ = offset;
        filled_ = std::min<qint64>(BlockSize, end_ - offset);
        if (!uploadfs::ReadAll(fd_, block_.data(), size_t(filled_), offset)) {
            failed_ = true;
            filled_ = 0;
        }
    }

    int fd_;
    qint64 end_;
    QByteArray block_;
    qint64 start_ = 0;
    qint64 filled_ = 0;
    bool failed_ = false;
};

// One thread's cutting. Each on a cache line of its own: two threads appending to lists whose ends
// shared a line spent more on handing it back and forth than on the cutting.
class alignas(64) Indexer
{
public:
    Indexer(int fd, const std::atomic<bool>& cancel) : fd_(fd), cancel_(cancel) {}

    IndexedRecordList& Records() { return records_; }

    // The records of one upload from `begin` (after its configuration record) to `end`.
    bool Cut(qint32 upload, qint64 begin, qint64 end, const RecordFormat& format)
    {
        StoredBytes bytes(fd_, end);
        StampReader stamps(format);
        stamps_ = &stamps;
        upload_ = upload;
        if (*format.memoryMode == MemoryModeFixed && *format.fixedLength > 0)
            CutFixed(bytes, begin, *format.fixedLength);
        else
            CutDelimited(bytes, begin, char(*format.delimiter));
        stamps_ = nullptr;
        return !bytes.Failed() && !cancel_;
    }

private:
    // `head`: the record's first stored bytes, `readable` of them (more than the record may hold).
    void Add(qint64 start, qint64 end, const char* head, qint64 readable)
    {
        IndexedRecord record{start, IndexedRecord::NoStamp, quint32(std::min<qint64>(end - start, UINT32_MAX)), upload_};
        // A stamp holds digits and separators only: a stored line end in it fails to read, as it should.
        if (stamps_->Length() > 0 && end - start >= stamps_->Length())
            record.stamp = stamps_->Read(head, readable).value_or(IndexedRecord::NoStamp);
        records_.push_back(record);
    }

    void Add(StoredBytes& bytes, qint64 start, qint64 end)
    {
        const qsizetype stamp = std::min<qint64>(end - start, stamps_->Length());
        Add(start, end, stamp > 0 ? bytes.Span(start, stamp, spare_) : nullptr, stamp);
    }

    // The records that end in the `size` bytes of a block at `first`; how many bytes they took.
    // `last`: the block ends the upload, so a CR at its end is no half of a line feed.
    qint64 CutInBlock(const char* block, qint64 size, qint64 first, char delimiter, bool last)
    {
        qint64 start = 0;
        for (qint64 at = 0; at < size;) {
            const void* found = std::memchr(block + at, delimiter, size_t(size - at));
            if (!found)
                break;
            const qint64 hit = static_cast<const char*>(found) - block;
            if (delimiter == '\r') {
                if (hit + 1 == size && !last)
                    break;
                if (hit + 1 < size && block[hit + 1] == '\n') {
                    at = hit + 1;
                    continue;
                }
            }
            // A line feed delimiter ends the record before the CR stored with it.
            const qint64 end = delimiter == '\n' && hit > start && block[hit - 1] == '\r' ? hit - 1 : hit;
            Add(first + start, first + end, block + start, size - start);
            start = at = hit + 1;
        }
        return start;
    }

    void CutDelimited(StoredBytes& bytes, qint64 begin, char delimiter)
    {
        qint64 start = begin;
        while (start < bytes.End() && !cancel_ && !bytes.Failed()) {
            qint64 available = 0;
            const char* block = bytes.From(start, available);
            const bool last = start + available == bytes.End();
            const qint64 taken = CutInBlock(block, available, start, delimiter, last);
            start += taken;
            if (taken > 0 || bytes.Failed())
                continue;
            if (last)
                break;
            if (!bytes.StartsAt(start)) {
                bytes.MoveTo(start);  // the record begun near the block's end, whole in the next
                continue;
            }
            // A record longer than a block.
            const qint64 hit = bytes.NextDelimiter(start, delimiter);
            if (hit >= bytes.End())
                break;
            const qint64 end = delimiter == '\n' && hit > start && bytes.At(hit - 1) == '\r' ? hit - 1 : hit;
            Add(bytes, start, end);
            start = hit + 1;
        }
        if (start < bytes.End() && !bytes.Failed())
            Add(bytes, start, bytes.End());
    }

    void CutFixed(StoredBytes& bytes, qint64 begin, int length)
    {
        for (qint64 at = begin; at < bytes.End() && !cancel_ && !bytes.Failed();) {
            const qint64 start = at;
            for (int count = 0; count < length && at < bytes.End(); ++count)
                at += bytes.At(at) == '\r' && at + 1 < bytes.End() && bytes.At(at + 1) == '\n' ? 2 : 1;
            Add(bytes, start, at);
        }
    }

    IndexedRecordList records_;
    int fd_;
    const std::atomic<bool>& cancel_;
    StampReader* stamps_ = nullptr;
    QByteArray spare_;
    qint32 upload_ = 0;
};

// Where a large delimited upload may be cut in two for two threads: just after the first byte from
// its middle on that certainly ends a record (a CR that stores half of a line feed does not);
// nothing for a fixed length, whose records are found only by counting from the start.
std::optional<qint64> Halfway(int fd, qint64 begin, qint64 end, const RecordFormat& format)
{
    if ((*format.memoryMode == MemoryModeFixed && *format.fixedLength > 0) || end - begin < 2 * BlockSize)
        return std::nullopt;
    StoredBytes bytes(fd, end);
    const qint64 hit = bytes.NextDelimiter(begin + (end - begin) / 2, char(*format.delimiter));
    return hit + 1 < end ? std::optional<qint64>(hit + 1) : std::nullopt;
}

QByteArray ReadRange(int fd, qint64 offset, qint64 length)
{
    QByteArray bytes(qsizetype(std::max<qint64>(length, 0)), Qt::Uninitialized);
    if (!bytes.isEmpty() && !uploadfs::ReadAll(fd, bytes.data(), size_t(bytes.size()), offset))
        return {};
    return bytes;
}

}  // namespace

std::optional<MemoryFileIndex> MemoryFileIndex::Build(const QString& memoryFile, const RecordFormat& unrecordedFormat,
                                                      const std::atomic<bool>& cancel,
                                                      const std::function<void(int)>& progress, QString& fault)
{
    const RecordedMemoryFile file(memoryFile, stderr);
    if (!file.Fault().isEmpty()) {
        fault = file.Fault();
        return std::nullopt;
    }
    MemoryFileIndex index;
    if (::access(platform::FileNameBytes(UploadRecordName(memoryFile)).constData(), F_OK) == 0) {
        const auto recorded = ReadUploadRecord(memoryFile, fault);
        if (!recorded)
            return std::nullopt;
        for (const UploadRecordEntry& entry : *recorded)
            index.uploads_.push_back({entry, true, entry.format});
    } else {
        UploadRecordEntry whole;
        whole.length = file.Size();
        whole.format = unrecordedFormat;
        index.uploads_.push_back({whole, false, unrecordedFormat});
    }

    // Room for short records up front: a million records are not moved again and again.
    const auto roomFor = [](qint64 bytes) { return size_t(bytes / 32 + 16); };
    // `first` holds what it cut since the last upload cut on two.
    Indexer first(file.Descriptor(), cancel), second(file.Descriptor(), cancel);
    first.Records().reserve(roomFor(file.Size()));
    for (size_t i = 0; i < index.uploads_.size(); ++i) {
        IndexedUpload& upload = index.uploads_[i];
        // A record may name more than the file still holds: its rows end where the file does.
        const qint64 begin = std::min(upload.entry.offset, file.Size());
        const qint64 end = std::min(upload.entry.offset + upload.entry.length, file.Size());
        const qint64 head = std::min(begin + upload.entry.configHeadLength, end);
        upload.firstRecord = qint64(index.records_.size() + first.Records().size());
        upload.head = head > begin;
        if (upload.head)
            first.Records().push_back({begin, IndexedRecord::NoStamp, quint32(head - begin), qint32(i)});
        upload.format = CompleteFormat(upload.entry.format, ModuleBytes(ReadRange(file.Descriptor(), head,
                                                                                  std::min(GuessBytes, end - head))));
        // A large upload is cut on both cores: the second half into a list of its own, kept after the first.
        const std::optional<qint64> halfway = Halfway(file.Descriptor(), head, end, upload.format);
        bool secondCut = true;
        std::thread secondThread;
        if (halfway) {
            second.Records().reserve(roomFor(end - *halfway));
            secondThread = std::thread([&] { secondCut = second.Cut(qint32(i), *halfway, end, upload.format); });
        }
        const bool firstCut = first.Cut(qint32(i), head, halfway.value_or(end), upload.format);
        if (secondThread.joinable()) {
            secondThread.join();
            index.records_.Append(std::move(first.Records()));
            index.records_.Append(std::move(second.Records()));
            first.Records().reserve(roomFor(file.Size() - end));
        }
        if (!firstCut || !secondCut) {
            fault = cancel ? QStringLiteral("cancelled") : QStringLiteral("the file cannot be read");
            return std::nullopt;
        }
        upload.records = qint64(index.records_.size() + first.Records().size()) - upload.firstRecord;
        if (progress && file.Size() > 0)
            progress(int(end * 1000 / file.Size()));
    }
    index.records_.Append(std::move(first.Records()));
    return index;
}

const IndexedRecord& IndexedRecords::operator[](size_t at) const
{
    const size_t part = size_t(std::upper_bound(firsts_.begin(), firsts_.end(), at) - firsts_.begin()) - 1;
    return parts_[part][at - firsts_[part]];
}

void IndexedRecords::Append(IndexedRecordList&& records)
{
    if (!records.empty()) {
        firsts_.push_back(size_);
        size_ += records.size();
        parts_.push_back(std::move(records));
    }
    records.clear();
}

qint64 MemoryFileIndex::NumberOf(size_t at) const
{
    const IndexedUpload& upload = uploads_[size_t(records_[at].upload)];
    return qint64(at) - upload.firstRecord + (upload.head ? 0 : 1);
}

std::vector<qint32> MemoryFileIndex::Select(int fd, const Filter& filter, const std::atomic<bool>& cancel) const
{
    std::vector<qint32> rows;
    const bool timed = filter.from != IndexedRecord::NoStamp || filter.to != IndexedRecord::NoStamp;
    const QByteArray text = filter.text.toLower();
    qint64 end = 0;
    for (const IndexedUpload& upload : uploads_)
        end = std::max(end, upload.entry.offset + upload.entry.length);
    StoredBytes file(fd, end);
    QByteArray spare;
    for (size_t i = 0; i < records_.size() && !cancel; ++i) {
        const IndexedRecord& record = records_[i];
        if (size_t(record.upload) >= filter.uploads.size() || !filter.uploads[size_t(record.upload)])
            continue;
        if (timed && (record.stamp == IndexedRecord::NoStamp || (filter.from != IndexedRecord::NoStamp && record.stamp < filter.from)
                      || (filter.to != IndexedRecord::NoStamp && record.stamp >= filter.to)))
            continue;
        if (!text.isEmpty()) {
            // Records follow each other in the file, so one block serves many of them.
            const char* stored = file.Span(record.offset, record.length, spare);
            if (!PrintableText(ModuleBytes(QByteArray(stored, record.length))).toLower().contains(text))
                continue;
        }
        rows.push_back(qint32(i));
    }
    return rows;
}

RecordContent ReadRecord(int fd, const IndexedRecord& record, const RecordFormat& format, qsizetype limit)
{
    RecordContent content;
    content.bytes = ModuleBytes(ReadRange(fd, record.offset, std::min<qint64>(record.length, limit)));
    const qsizetype stampLength = StampReader(format).Length();
    content.text = PrintableText(record.stamp == IndexedRecord::NoStamp ? content.bytes
                                                                         : TextAfterStamp(content.bytes, stampLength));
    return content;
}
