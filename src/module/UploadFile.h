// An upload file on the PC: the module's bytes stored as a text stream. Every line-feed byte is
// stored as carriage return plus line feed on every platform; all other bytes are unchanged.
// Any failure of a write, flush, sync, close or rename is remembered, so that a caller never
// empties the module while the data is not safely on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class UploadFile
{
public:
    // The memory file: created when missing, its contents kept, written at its end ("a+").
    // Empty when the file cannot be opened.
    static std::unique_ptr<UploadFile> OpenForAppend(const std::string& name);

    // The configuration file ("w+"): written under a temporary name in the same folder and put
    // in place of any earlier file only by a successful Close(). Empty when the file, or an
    // existing file of that name, cannot be opened for writing.
    static std::unique_ptr<UploadFile> OpenForRewrite(const std::string& name);

    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    // Closes the file. A rewrite that was not closed with Close() is dropped and leaves any
    // earlier file as it was.
    ~UploadFile();

    // Writes the bytes and hands them to the system at once: there is no buffering beyond the
    // caller's block. Answers false, now and for every later call, once anything has failed.
    bool Write(const std::uint8_t* bytes, std::size_t count);

    // Flushes and syncs to the disk.
    bool Sync();

    // Syncs and closes; a rewrite then replaces the earlier file. Answers whether every step of
    // the file's life succeeded.
    bool Close();

    bool Failed() const { return failed_; }
    const std::string& Name() const { return name_; }

private:
    UploadFile(std::FILE* stream, std::string name, std::string target, std::string temporaryName);
    bool Fail();

    std::FILE* stream_;
    std::string name_;           // as the caller gave it
    std::string target_;         // what a rewrite replaces; empty for an appended file
    std::string temporaryName_;  // what a rewrite writes until it is closed
    bool failed_ = false;
};
