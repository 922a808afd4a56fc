// Bitmap containers: a glyph strip of one to four frames, and an owned list of bitmaps with
// its own stream format (signature, count, then one Windows bitmap file after another).
#pragma once

#include "widgets/VrClassesPersistent.h"

#include <QImage>

#include <memory>
#include <vector>

class QIODevice;

class TVrGlyphs : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(QImage Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(std::uint8_t NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)

public:
    explicit TVrGlyphs(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    const QImage& Bitmap() const { return FBitmap; }
    // Copies b and notifies, even when b equals the bitmap held.
    void SetBitmap(const QImage& b);
    std::uint8_t NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(std::uint8_t v) { SetField(FNumGlyphs, v); }

private:
    QImage FBitmap;
    std::uint8_t FNumGlyphs = 2;
};

class TVrBitmaps : public TVrPersistent
{
    Q_OBJECT

public:
    static constexpr std::uint32_t StreamSignature = 0x00355462;

    explicit TVrBitmaps(QObject* parent = nullptr) : TVrPersistent(parent) {}
    // Notifies nobody.
    ~TVrBitmaps() override;

    // No source clears the list; a TVrBitmaps source replaces it with copies of its bitmaps;
    // any other source is ignored.
    void Assign(const TVrPersistent* Source) override;

    int Count() const { return static_cast<int>(FItems.size()); }
    // The owned bitmap at Index. Indices outside 0 .. Count - 1 raise EVrException.
    QImage* Bitmaps(int Index) const;
    void SetBitmaps(int Index, const QImage& Bitmap);
    int Add(const QImage& Bitmap);
    void Insert(int Index, const QImage& Bitmap);
    void Delete(int Index);
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // The position of that very bitmap object, or -1.
    int IndexOf(const QImage* Bitmap) const;
    void Clear();

    // Appends the stream's bitmaps. A wrong signature, a bad count, a truncated or undecodable
    // image raises EVrException; bitmaps read before the bad one stay.
    virtual void LoadFromStream(QIODevice& Stream);
    virtual void SaveToStream(QIODevice& Stream) const;
    // Appends the file's bitmaps with one notification.
    virtual void LoadFromFile(const QString& FileName);
    virtual void SaveToFile(const QString& FileName) const;

    // The raw-data property "Bitmaps" of a form file: written only when there are bitmaps,
    // and read back as a replacement of the list.
    bool HasData() const { return !FItems.empty(); }
    void ReadData(QIODevice& Stream);
    void WriteData(QIODevice& Stream);

private:
    void CheckIndex(int Index) const;

    std::vector<std::unique_ptr<QImage>> FItems;
};
