// An upload file on the PC: the module's bytes stored as a text stream. Every line-feed byte is
// stored as carriage return plus line feed on every platform; all other bytes are unchanged.
// Every write, sync, close and rename is checked; the first failure is kept with its errno, so
// that a caller never empties the module while the data is not safely on disk.
//
// The memory file is an UploadTransaction; the configuration file is rewritten by OpenForRewrite.
// Anything but a regular file (a FIFO, a terminal, /dev/stdout into a pipe, /dev/null) is written
// through as it comes.
#pragma once

#include <QCryptographicHash>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class UploadFile
{
public:
    // The configuration file ("w+"): a regular file (or the file a symbolic link points to) is
    // written under a hidden unique name in its folder and put in place by Close(), keeping the
    // earlier file's permissions; in a folder that takes no new file it is rewritten in place by
    // Close(). Anything else is opened and written through. Empty when it cannot be opened.
    static std::unique_ptr<UploadFile> OpenForRewrite(const std::string& name);

    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    // A file that was not closed with Close() is dropped: a regular file stays as it was.
    virtual ~UploadFile();

    // Hands the bytes to the system at once. Answers false, now and for every later call, once
    // anything has failed.
    bool Write(const std::uint8_t* bytes, std::size_t count);

    // Puts everything written in place and syncs it to the disk; on failure the file stays as it
    // was (unless it is written through). Answers whether every step succeeded.
    virtual bool Close() = 0;

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }  // the errno of the first failure
    // Not a regular file: what was written before a failure has reached it.
    bool WritesThrough() const { return writesThrough_; }
    const std::string& Name() const { return name_; }

    // What Write was given, as stored (line ends converted): its length and SHA-256.
    qint64 WrittenBytes() const { return writtenBytes_; }
    QByteArray WrittenSha256() const { return writtenSha256_.result(); }

protected:
    UploadFile(std::string name, int descriptor, bool writesThrough);
    bool Fail(int error);
    bool Check(bool succeeded);  // Fail(errno) when it did not succeed
    // Flushes the written bytes to the disk; a pipe or a device, which cannot be synced, counts
    // as synced once it took the bytes.
    bool SyncDescriptor(int descriptor);
    int TakeDescriptor();  // closes nothing: the caller owns it now

    int descriptor_;  // where Write puts the bytes

private:
    std::string name_;
    bool writesThrough_;
    int error_ = 0;
    qint64 writtenBytes_ = 0;
    QCryptographicHash writtenSha256_{QCryptographicHash::Sha256};
};
