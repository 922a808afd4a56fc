// Where every record of a memory file is, built in one pass over the file and kept small (no
// record's bytes), so that a file of many megabytes is shown at once and read a row at a time.
#pragma once

#include "module/UploadRecord.h"
#include "platform/LargeArrays.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

struct IndexedRecord
{
    static constexpr qint64 NoStamp = std::numeric_limits<qint64>::min();

    // Small, as there are millions: the number within its upload follows from its place.
    qint64 offset = 0;      // in the file, where its stored bytes begin
    qint64 stamp = NoStamp; // StampReader's seconds
    quint32 length = 0;     // its stored bytes, the delimiter left out
    qint32 upload = 0;      // its upload, by position in the record
};

// Millions of records: in large pages, whose first touch costs far less than that of small ones.
using IndexedRecordList = std::vector<IndexedRecord, platform::LargeArrayAllocator<IndexedRecord>>;

// The records of an index in file order, kept as the lists they were cut into: an upload cut on
// two threads leaves two, and joining them would copy and fault in tens of megabytes once more.
class IndexedRecords
{
public:
    size_t size() const { return size_; }
    const IndexedRecord& operator[](size_t at) const;
    void Append(IndexedRecordList&& records);  // they follow those already held

private:
    std::vector<IndexedRecordList> parts_;
    std::vector<size_t> firsts_;  // the position of each part's first record
    size_t size_ = 0;
};

struct IndexedUpload
{
    UploadRecordEntry entry;  // as recorded; for a file without a record its whole length
    bool recorded = false;
    RecordFormat format;      // complete: what the record says, the rest guessed
    qint64 firstRecord = 0;   // its records in the index, configuration record included
    qint64 records = 0;
    bool head = false;        // the first is a configuration record
};

class MemoryFileIndex
{
public:
    // Indexes `memoryFile` and its record; `unrecordedFormat` is what a file without a record is
    // read with (what it leaves unknown is guessed). `progress` gets the share done, 0 to 1000;
    // `cancel` ends the work early (nothing then). On a fault nothing, and why in `fault`.
    static std::optional<MemoryFileIndex> Build(const QString& memoryFile, const RecordFormat& unrecordedFormat,
                                                const std::atomic<bool>& cancel,
                                                const std::function<void(int)>& progress, QString& fault);

    const std::vector<IndexedUpload>& Uploads() const { return uploads_; }
    const IndexedRecords& Records() const { return records_; }
    // The number of Records()[at] within its upload, from 1; 0 for a configuration record.
    qint64 NumberOf(size_t at) const;

    struct Filter {
        std::vector<bool> uploads;  // which uploads' records count
        QByteArray text;            // in the record's readable text, any letter case; empty: any
        qint64 from = IndexedRecord::NoStamp, to = IndexedRecord::NoStamp;  // stamps in [from, to)
    };
    // The records that pass, by position in Records(); reads the file open as `fd` for a text.
    std::vector<qint32> Select(int fd, const Filter& filter, const std::atomic<bool>& cancel) const;

private:
    std::vector<IndexedUpload> uploads_;
    IndexedRecords records_;
};

// One record as the module logged it, read from the open memory file: its module bytes (at most
// `limit`), and its text after the stamp in a form a person can read.
struct RecordContent
{
    QByteArray bytes;
    QByteArray text;
};
RecordContent ReadRecord(int fd, const IndexedRecord& record, const RecordFormat& format, qsizetype limit = 65536);
