// An upload into the memory file, as one transaction: the file gains the whole upload, read back
// from the disk and recorded in "<memory file>.uploads", or nothing, whatever moment the process is
// killed. One upload at a time per file. A regular memory file is never written unstaged: what
// keeps the transaction sound (a stage file, a sound record) is there before the read-out begins,
// or the upload does not begin.
//
// Anything but a regular file (a FIFO, /dev/stdout into a pipe, a device) is written through as
// the blocks come, and the module may not be erased after it: the data is not on a disk.
#pragma once

#include "module/UploadFile.h"
#include "module/UploadRecord.h"

#include <QString>

#include <memory>
#include <string>

#include <sys/stat.h>

class UploadTransaction final : public UploadFile
{
public:
    struct Begun {
        std::unique_ptr<UploadTransaction> upload;  // empty when the upload cannot begin
        bool busy = false;                          // another upload holds the file
        QString reason;                             // why it cannot begin
    };

    // Opens the memory file (creating it when missing) and gets it ready for an upload.
    // `record`: what its record line is to say of the upload beside where, when and its hash.
    static Begun Begin(const std::string& name, const UploadRecordEntry& record);

    ~UploadTransaction() override;  // unclosed: the memory file as it was

    // Appends the upload at the end of the memory file as it is now (never over another writer's
    // bytes), syncs it, reads it back and records it. On failure the memory file is as it was, or
    // its copy stays where another program appended after it (LeftInFile()); Problem() says why.
    bool Close() override;
    const QString& Problem() const { return problem_; }
    // The failed upload's bytes stay in the memory file: not this upload's alone to take back.
    bool LeftInFile() const { return closed_ && appended_ > 0 && !problem_.isEmpty(); }

    // What was written so far is the configuration record at the upload's head, not memory.
    void NoteConfigurationHead() { record_.configHeadLength = WrittenBytes(); }

    // Why the module must not be erased after this upload; empty when it may.
    QString EraseRefusal() const;
    // Where the upload begins in the memory file.
    qint64 StartOffset() const { return start_; }

private:
    UploadTransaction(const std::string& name, int target, const struct stat& status, bool created,
                      const UploadRecordEntry& record);
    QString Prepare();
    bool Append(int stage);
    bool Fails(const QString& problem);
    void RollBack();
    void RemoveStage();

    int target_;
    struct stat status_;  // of the memory file when opened
    bool created_;
    bool unnamed_ = false;  // created without a name, which it gets once its stage is there
    UploadRecordEntry record_;
    off_t start_ = 0;
    std::string stageName_;  // empty: written through
    off_t appended_ = 0;  // bytes of this upload in the memory file, in one piece from start_
    bool split_ = false;  // another program's bytes came between its pieces
    bool closed_ = false;
    QString problem_;
};
