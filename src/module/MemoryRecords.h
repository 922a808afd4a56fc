// The records in an upload of the memory file, cut as the module cut them (at its delimiter byte
// or every fixed number of bytes), with the time stamp at the start of each read in the form the
// module's settings name. Only reads: the memory file keeps exactly the bytes the module sent.
#pragma once

#include "module/UploadRecord.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>
#include <vector>

struct MemoryRecord
{
    qint64 offset = 0;          // in the upload's bytes as the module sent them (line ends as sent)
    QByteArray bytes;           // the whole record, its delimiter left out
    std::optional<QDateTime> stamp;  // local time; empty when the record starts with none
    QByteArray text;            // the record after its stamp and the one separator that follows it
    bool configuration = false; // the configuration record at the head of the upload, no record
};

// The module's bytes of an upload as the file stores them: every line feed as carriage return
// plus line feed, undone.
QByteArray ModuleBytes(const QByteArray& stored);

// A format with every setting known: what the record says, and for what it does not, lines of
// text with the first stamp form that reads the upload's first record.
RecordFormat CompleteFormat(const RecordFormat& format, const QByteArray& moduleBytes);

// The stamp at the start of `record` in the form `format` names, and its length in bytes.
std::optional<QDateTime> ReadStamp(const QByteArray& record, const RecordFormat& format, qsizetype& length);

// The records of one upload's module bytes; `headLength`: the module bytes of a configuration
// record before them. `format` must be complete.
std::vector<MemoryRecord> CutRecords(const QByteArray& moduleBytes, const RecordFormat& format, qsizetype headLength);
