#include "module/UploadFile.h"

#include "module/UploadFileSystem.h"

#include <cerrno>

#include <unistd.h>

UploadFile::UploadFile(std::string name, int descriptor, bool writesThrough)
    : descriptor_(descriptor), name_(std::move(name)), writesThrough_(writesThrough)
{
}

UploadFile::~UploadFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool UploadFile::Fail(int error)
{
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    return false;
}

bool UploadFile::Check(bool succeeded)
{
    return succeeded || Fail(errno);
}

bool UploadFile::SyncDescriptor(int descriptor)
{
    return Check(::fsync(descriptor) == 0 || errno == EINVAL);
}

int UploadFile::TakeDescriptor()
{
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

bool UploadFile::Write(const std::uint8_t* bytes, std::size_t count)
{
    if (Failed() || descriptor_ < 0)
        return Fail(EBADF);
    std::string text;
    text.reserve(count + count / 8);
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] == '\n')
            text += '\r';
        text += static_cast<char>(bytes[i]);
    }
    if (!Check(uploadfs::WriteAll(descriptor_, text.data(), text.size())))
        return false;
    writtenBytes_ += qint64(text.size());
    writtenSha256_.addData(QByteArrayView(text.data(), qsizetype(text.size())));
    return true;
}
