#include "widgets/VrClassesBitmapStream.h"

#include "widgets/VrControlsTypes.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <cstdlib>

namespace VrBitmapStream {

namespace {

constexpr qint64 FileHeaderSize = 14;
// The smallest complete file: file header plus the 12-byte core info header.
constexpr qint64 MinFileSize = FileHeaderSize + 12;
// Limits far above any glyph strip; a header beyond them is taken as corrupt.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
constexpr qint64 MaxPixels = 4096 * 4096;

[[noreturn]] void Corrupt()
{
    throw EVrException(QStringLiteral("Invalid bitmap in stream"));
}

[[noreturn]] void EndsEarly()
{
    throw EVrException(QStringLiteral("Bitmap stream ends early"));
}

// Bytes left in a stream of known size; -1 for a sequential stream.
qint64 Remaining(const QIODevice& stream)
{
    return stream.isSequential() ? -1 : stream.size() - stream.pos();
}

QByteArray ReadExactly(QIODevice& stream, qint64 size)
{
    const qint64 left = Remaining(stream);
    if (left >= 0 && size > left)
        EndsEarly();
    QByteArray data = stream.read(size);
    if (data.size() != size)
        EndsEarly();
    return data;
}

template <typename T>
T At(const QByteArray& data, qint64 offset)
{
    return qFromLittleEndian<T>(data.constData() + offset);
}

// The decoder would allocate from the info header's dimensions: they must be sane, and an
// uncompressed image must hold all of its pixel rows.
void CheckInfoHeader(const QByteArray& file)
{
    const qint64 infoSize = At<quint32>(file, FileHeaderSize);
    qint64 width = 0, height = 0, bitCount = 0, compression = 0;
    if (infoSize == 12 && file.size() >= FileHeaderSize + 12) {
        width = At<quint16>(file, 18);
        height = At<quint16>(file, 20);
        bitCount = At<quint16>(file, 24);
    } else if (infoSize >= 40 && file.size() >= FileHeaderSize + infoSize) {
        width = At<qint32>(file, 18);
        height = std::llabs(At<qint32>(file, 22));
        bitCount = At<quint16>(file, 28);
        compression = At<quint32>(file, 30);
    } else {
        Corrupt();
    }
    const qint64 pixelOffset = At<quint32>(file, 10);
    if (pixelOffset < FileHeaderSize + infoSize || pixelOffset > file.size())
        Corrupt();
    if (width <= 0 || height <= 0 || width * height > MaxPixels)
        Corrupt();
    const bool uncompressed = compression == 0 || compression == 3;
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    if (uncompressed && rowBytes * height > file.size() - pixelOffset)
        Corrupt();
}

} // namespace

std::uint32_t ReadUInt32(QIODevice& stream)
{
    return At<quint32>(ReadExactly(stream, 4), 0);
}

void WriteUInt32(QIODevice& stream, std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    WriteBytes(stream, bytes);
}

std::int32_t ReadBitmapCount(QIODevice& stream)
{
    const auto count = static_cast<std::int32_t>(ReadUInt32(stream));
    const qint64 left = Remaining(stream);
    if (count < 0 || (left >= 0 && count > left / MinFileSize))
        throw EVrException(QStringLiteral("Invalid bitmap count %1 in stream").arg(count));
    return count;
}

QImage ReadBitmap(QIODevice& stream)
{
    QByteArray file = ReadExactly(stream, FileHeaderSize);
    const qint64 size = At<quint32>(file, 2);
    if (!file.startsWith("BM") || size < MinFileSize || size > MaxFileSize)
        Corrupt();
    file += ReadExactly(stream, size - FileHeaderSize);
    CheckInfoHeader(file);
    QImage image;
    if (!image.loadFromData(file, "BMP"))
        Corrupt();
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray EncodeBitmap(const QImage& bitmap)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    if (!bitmap.save(&buffer, "BMP"))
        throw EVrException(QStringLiteral("Cannot write bitmap stream: an empty bitmap has no image"));
    return file;
}

void WriteBytes(QIODevice& stream, const QByteArray& bytes)
{
    if (stream.write(bytes) != bytes.size())
        throw EVrException(QStringLiteral("Cannot write bitmap stream: %1").arg(stream.errorString()));
}

} // namespace VrBitmapStream
