// "korvane --records FILE [--utc]": the records the module logged, from every upload in FILE, as
// CSV on standard output. It reads files only: no driver library, no window, no module.
#pragma once

#include <cstdio>

class QString;

// Writes "upload,record,time,text" and one row per record: the upload's number in the record, the
// record's number within it, its stamp as ISO 8601 with the offset from UTC (Z with `utc`, empty
// without a stamp), its text after the stamp, CSV-quoted where needed, with bytes that are not
// printable (and the backslash) as \xHH. Answers the exit code: 0; 1 when an upload does not verify
// (its records are still written, after a line on `err`); 2 when the file or its record cannot be read.
int ExportRecords(const QString& memoryFile, bool utc, std::FILE* out, std::FILE* err);
