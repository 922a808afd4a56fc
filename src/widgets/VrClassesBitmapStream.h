// Reading and writing the pieces of a bitmap-list stream. Every read checks what it is given
// before it allocates, and raises EVrException for a stream that ends early or is corrupt.
#pragma once

#include <QImage>

#include <cstdint>

class QIODevice;

namespace VrBitmapStream {

std::uint32_t ReadUInt32(QIODevice& stream);
void WriteUInt32(QIODevice& stream, std::uint32_t value);

// The image count, refused when negative or larger than the rest of the stream could hold.
std::int32_t ReadBitmapCount(QIODevice& stream);

// One Windows bitmap file, found by the total size in its file header; answered as RGB32.
QImage ReadBitmap(QIODevice& stream);
// The Windows bitmap file of bitmap; a bitmap that cannot be encoded (a null one) raises.
QByteArray EncodeBitmap(const QImage& bitmap);
void WriteBytes(QIODevice& stream, const QByteArray& bytes);

} // namespace VrBitmapStream
