// The upload record beside a memory file, "<memory file>.uploads": UTF-8 text, a header line
// naming the fields, then one line per upload, so that anyone can check later that the memory
// file still holds every upload as it was stored, and read its records as the module logged them:
//
//   utc_time,node_id,device_mode,offset,length,sha256,serial_number,vendor_id,product_code,revision,
//     memory_mode,delimiter,fixed_length,time_format,date_format,auto_time_stamp,config_head_length,
//     clock_offset_s
//   2026-03-05T08:10:00Z,5,0,0,10412,9f86d081884c7d65...,0x0001E240,...,1,10,0,0,1,2,0,-2.400
//
// Columns are found by the header's names: the first six must be there; the later ones may be
// missing (a record of an earlier version) and columns of unknown names are kept and ignored. A
// line added to an existing record has that record's columns.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The settings a module cut and stamped its records with; each unknown where the record does not say.
struct RecordFormat
{
    std::optional<int> memoryMode, delimiter, fixedLength, timeFormat, dateFormat, autoTimeStamp;

    bool operator==(const RecordFormat&) const = default;
};

struct UploadRecordEntry
{
    QDateTime time;          // UTC, whole seconds
    int nodeId = 0;
    int deviceMode = 0;
    qint64 offset = 0;       // where the upload starts in the memory file
    qint64 length = 0;       // its bytes in the file, line ends as stored
    QByteArray sha256;       // of those bytes, 32 bytes
    // The module's CANopen identity, where it told it.
    std::optional<uint32_t> serialNumber, vendorId, productCode, revision;
    RecordFormat format;
    qint64 configHeadLength = 0;          // the configuration record before the memory, as stored
    std::optional<double> clockOffsetSeconds;  // the module's clock ahead of the PC at connect

    bool operator==(const UploadRecordEntry&) const = default;
};

QString UploadRecordName(const QString& memoryFile);

// Before an upload into the memory file open as `memory`: the record must be one the upload can
// extend soundly. It is opened without following a link, must be a regular file of the memory
// file's owner, readable, and consistent with the memory file (its last upload is there, intact);
// a missing final line feed is added. Empty when there is no record yet; nothing, with the
// reason in `problem`, when the upload must not go on.
std::optional<std::vector<UploadRecordEntry>> CheckUploadRecord(const QString& memoryFile, int memory, QString& problem);

// Appends one line (the header first when the record is new, owned like the memory file open as
// `memory`) and syncs the record and, for a new record, its folder. False when any step failed; a
// line cut short by a failure is removed again, so the record stays readable.
bool AppendUploadRecord(const QString& memoryFile, int memory, const UploadRecordEntry& entry);

// Every upload of the record, in order. Empty, with the reason in `error`, when the record is
// missing, unreadable or not exactly in the form above.
std::optional<std::vector<UploadRecordEntry>> ReadUploadRecord(const QString& memoryFile, QString& error);
