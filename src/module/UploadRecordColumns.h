// The columns of the upload record: each with its name, how its value is written and how it is read.
#pragma once

#include "module/UploadRecord.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace uploadrecord {

// The header of a new record, with its line feed.
QByteArray NewHeader();

// The names of a header line (without its line feed); empty, with the fault, when the columns of
// every record are not all there or a name is there twice.
std::optional<QByteArrayList> ParseHeader(const QByteArray& line, QString& fault);

// One line for `entry` in the columns `names` (unknown names stay empty), with its line feed.
QByteArray FormatLine(const QByteArrayList& names, const UploadRecordEntry& entry);

// The entry of one line in the columns `names`; empty, with the fault, when a value is not in the
// exact form the tool writes, so that a changed character cannot pass unnoticed.
std::optional<UploadRecordEntry> ParseLine(const QByteArrayList& names, const QByteArray& line, QString& fault);

}  // namespace uploadrecord
