// The bitmap-list stream reader, given any bytes on a seekable or a sequential stream: it loads
// or raises EVrException, nothing else; and what it loaded is saved and loaded back alike.
#include "widgets/VrClassesBitmaps.h"
#include "widgets/VrControlsTypes.h"

#include <QBuffer>

#include <cstdlib>

namespace {

// A stream whose size is unknown to the reader, as a pipe would be.
class SequentialStream : public QIODevice {
public:
    explicit SequentialStream(QByteArray bytes) : bytes_(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min<qint64>(maxSize, bytes_.size() - position_);
        std::copy_n(bytes_.constData() + position_, count, data);
        position_ += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 position_ = 0;
};

void load(TVrBitmaps& bitmaps, QIODevice& stream)
{
    try {
        bitmaps.LoadFromStream(stream);
    } catch (const EVrException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    TVrBitmaps bitmaps;
    if (data[0] & 1) {
        SequentialStream stream(bytes);
        load(bitmaps, stream);
    } else {
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        load(bitmaps, stream);
    }

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    bitmaps.SaveToStream(out);
    out.close();
    out.open(QIODevice::ReadOnly);
    TVrBitmaps reloaded;
    reloaded.LoadFromStream(out); // what we wrote ourselves must load
    if (reloaded.Count() != bitmaps.Count())
        std::abort();
    for (int i = 0; i < bitmaps.Count(); ++i)
        if (*reloaded.Bitmaps(i) != *bitmaps.Bitmaps(i))
            std::abort();
    return 0;
}
