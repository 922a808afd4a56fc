// A memory file and its upload record as the commands that read them later see them: open for
// reading and held shared against uploads, so that one under way is waited for instead of being
// taken for stray bytes.
#pragma once

#include "module/UploadRecord.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

class RecordedMemoryFile
{
public:
    // Says on `err` when it waits for an upload. A FIFO of that name does not hold it up.
    RecordedMemoryFile(const QString& name, std::FILE* err);
    ~RecordedMemoryFile();
    RecordedMemoryFile(const RecordedMemoryFile&) = delete;
    RecordedMemoryFile& operator=(const RecordedMemoryFile&) = delete;

    const QString& Fault() const { return fault_; }  // why it cannot be read; empty when it can
    qint64 Size() const { return size_; }
    int Descriptor() const { return fd_; }

    // Empty when the upload is intact, else what differs.
    QString Difference(const UploadRecordEntry& upload) const;
    // The bytes of the upload that the file holds; fewer where it ends early.
    QByteArray Bytes(const UploadRecordEntry& upload) const;

private:
    int fd_;
    qint64 size_ = 0;
    QString fault_;
};

void PrintLine(std::FILE* stream, const QString& line);
