#include "widgets/VrClassesBitmaps.h"

#include "widgets/VrClassesBitmapStream.h"

#include <QFile>

#include <algorithm>

void TVrGlyphs::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrGlyphs>(Source, [this](const TVrGlyphs& s) {
        SetBitmap(s.Bitmap());
        SetNumGlyphs(s.NumGlyphs());
    });
}

void TVrGlyphs::SetBitmap(const QImage& b)
{
    FBitmap = b;
    Changed();
}


TVrBitmaps::~TVrBitmaps()
{
    OnChange = nullptr;
    Clear();
}

void TVrBitmaps::Assign(const TVrPersistent* Source)
{
    if (!Source) {
        Clear();
        return;
    }
    const auto* source = dynamic_cast<const TVrBitmaps*>(Source);
    if (!source || source == this)
        return;
    Batch([&] {
        Clear();
        for (const auto& bitmap : source->FItems)
            Add(*bitmap);
    });
}

void TVrBitmaps::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EVrException(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

QImage* TVrBitmaps::Bitmaps(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].get();
}

void TVrBitmaps::SetBitmaps(int Index, const QImage& Bitmap)
{
    *Bitmaps(Index) = Bitmap;
    Changed();
}

int TVrBitmaps::Add(const QImage& Bitmap)
{
    FItems.push_back(std::make_unique<QImage>(Bitmap));
    Changed();
    return Count() - 1;
}

void TVrBitmaps::Insert(int Index, const QImage& Bitmap)
{
    if (Index != Count())
        CheckIndex(Index);
    FItems.insert(FItems.begin() + Index, std::make_unique<QImage>(Bitmap));
    Changed();
}

void TVrBitmaps::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TVrBitmaps::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[static_cast<std::size_t>(Index1)], FItems[static_cast<std::size_t>(Index2)]);
    Changed();
}

void TVrBitmaps::Move(int CurIndex, int NewIndex)
{
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    auto item = std::move(FItems[static_cast<std::size_t>(CurIndex)]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(item));
    Changed();
}

int TVrBitmaps::IndexOf(const QImage* Bitmap) const
{
    const auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& p) { return p.get() == Bitmap; });
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TVrBitmaps::Clear()
{
    Batch([&] { FItems.clear(); });
    Changed();
}

void TVrBitmaps::LoadFromStream(QIODevice& Stream)
{
    if (VrBitmapStream::ReadUInt32(Stream) != StreamSignature)
        throw EVrException(QStringLiteral("Invalid file format"));
    const qint32 count = VrBitmapStream::ReadBitmapCount(Stream);
    for (qint32 i = 0; i < count; ++i)
        Add(VrBitmapStream::ReadBitmap(Stream));
}

void TVrBitmaps::SaveToStream(QIODevice& Stream) const
{
    // Every image is encoded before anything is written, so a failure leaves no partial stream.
    std::vector<QByteArray> files;
    for (const auto& bitmap : FItems)
        files.push_back(VrBitmapStream::EncodeBitmap(*bitmap));
    VrBitmapStream::WriteUInt32(Stream, StreamSignature);
    VrBitmapStream::WriteUInt32(Stream, static_cast<std::uint32_t>(Count()));
    for (const auto& file : files)
        VrBitmapStream::WriteBytes(Stream, file);
}

void TVrBitmaps::LoadFromFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVrException(QStringLiteral("Cannot open file \"%1\": %2").arg(FileName, file.errorString()));
    Batch([&] { LoadFromStream(file); });
}

void TVrBitmaps::SaveToFile(const QString& FileName) const
{
    QFile file(FileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EVrException(QStringLiteral("Cannot create file \"%1\": %2").arg(FileName, file.errorString()));
    SaveToStream(file);
    if (!file.flush())
        throw EVrException(QStringLiteral("Cannot write file \"%1\": %2").arg(FileName, file.errorString()));
}

void TVrBitmaps::ReadData(QIODevice& Stream)
{
    Batch([&] {
        Clear();
        LoadFromStream(Stream);
    });
}

void TVrBitmaps::WriteData(QIODevice& Stream)
{
    Batch([&] { SaveToStream(Stream); });
}
