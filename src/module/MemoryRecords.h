// The records in an upload of the memory file, cut as the module cut them (at its delimiter byte
// or every fixed number of bytes), with the time stamp at the start of each read in the form the
// module's settings name. Only reads: the memory file keeps exactly the bytes the module sent.
#pragma once

#include "module/UploadRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <vector>

struct MemoryRecord
{
    qint64 offset = 0;          // in the upload's bytes as the module sent them (line ends as sent)
    QByteArray bytes;           // the whole record, its delimiter left out
    std::optional<QDateTime> stamp;  // local time; empty when the record starts with none
    QByteArray text;            // the record after its stamp and the one separator that follows it
    bool configuration = false; // the configuration record at the head of the upload, no record
};

// A memory mode (0 fixed, 1 delimited) as the user's language names it.
QString MemoryModeText(int mode);

// The module's bytes of an upload as the file stores them: every line feed as carriage return
// plus line feed, undone.
QByteArray ModuleBytes(const QByteArray& stored);

// A format with every setting known: what the record says, and for what it does not, lines of
// text with the first stamp form that reads the upload's first record.
RecordFormat CompleteFormat(const RecordFormat& format, const QByteArray& moduleBytes);

// Reads the stamp at the start of a record in the form a format names: as seconds since 1970 of
// the module's local time counted as if it were UTC, so that millions of records are read
// without a time zone's rules; LocalTime gives the time a person reads. Remembers the last date
// it read, so one reader serves one thread.
class StampReader
{
public:
    explicit StampReader(const RecordFormat& format);
    qsizetype Length() const { return length_; }  // 0: the format names no stamp
    // `size`: how many bytes may be read at `bytes`; the stamp needs Length() of them, and more
    // (the record's own bytes after it) let it read its bytes as three words at once.
    std::optional<qint64> Read(const char* bytes, qsizetype size);
    static QDateTime LocalTime(qint64 seconds);

private:
    static constexpr int Words = 3;  // every form fits into 24 bytes
    // The form read once: where each field's digits are (year, month, day, hour, minute, second).
    struct Field {
        int at = 0, digits = 0;
    };
    int length_ = 0;
    Field fields_[6];
    // Per byte of the three words: the bytes that must be digits (their bits of 0xF0, 0x30 and
    // 0x06), those that must be as they stand, and those of the date.
    quint64 digitHigh_[Words]{}, digitThree_[Words]{}, digitSix_[Words]{};
    quint64 literalMask_[Words]{}, literals_[Words]{}, dateMask_[Words]{};
    // Records follow each other in time: most have the date of the one before, read once.
    quint64 lastDate_[Words]{};
    bool dated_ = false;
    qint64 lastDay_ = 0;  // since 1970
};

// The stamp at the start of `record` in the form `format` names, and its length in bytes.
std::optional<QDateTime> ReadStamp(const QByteArray& record, const RecordFormat& format, qsizetype& length);

// A stamped record's text: what follows its stamp and the one separator after it.
QByteArray TextAfterStamp(const QByteArray& record, qsizetype stampLength);

// The bytes of a record as a person can read them: those that are not printable, and the
// backslash, as \xHH.
QByteArray PrintableText(const QByteArray& bytes);

// The records of one upload's module bytes; `headLength`: the module bytes of a configuration
// record before them. `format` must be complete.
std::vector<MemoryRecord> CutRecords(const QByteArray& moduleBytes, const RecordFormat& format, qsizetype headLength);
