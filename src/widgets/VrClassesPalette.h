// Two-colour and four-colour palettes. TVrPalette also recolours bitmaps: the LED glyphs are
// drawn in marker colours that ToBMP replaces by the palette's colours.
#pragma once

#include "widgets/VrClassesPersistent.h"
#include "widgets/VrsysutilsTypes.h"

#include <QImage>

class TVrPalette : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(TColor Low READ Low WRITE SetLow)
    Q_PROPERTY(TColor High READ High WRITE SetHigh)

public:
    explicit TVrPalette(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    // Low for an index of 0 or less, High otherwise.
    virtual TColor GetColors(int Index) const;
    // In Bitmap, pixels of ExchangeLow become Low and pixels of ExchangeHigh become High. Both
    // are found in the unchanged bitmap, so a pixel is recoloured at most once; when the two
    // exchange colours are equal, those pixels end as High.
    void ToBMP(QImage& Bitmap, TColor ExchangeLow, TColor ExchangeHigh) const;

    TColor Low() const { return FLow; }
    TColor High() const { return FHigh; }
    void SetLow(TColor v) { SetField(FLow, v); }
    void SetHigh(TColor v) { SetField(FHigh, v); }

private:
    TColor FLow = clGreen;
    TColor FHigh = clLime;
};

class TVrPaletteEx : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(TColor Low1 READ Low1 WRITE SetLow1)
    Q_PROPERTY(TColor High1 READ High1 WRITE SetHigh1)
    Q_PROPERTY(TColor Low2 READ Low2 WRITE SetLow2)
    Q_PROPERTY(TColor High2 READ High2 WRITE SetHigh2)

public:
    explicit TVrPaletteEx(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    TColor Low1() const { return FLow1; }
    TColor High1() const { return FHigh1; }
    TColor Low2() const { return FLow2; }
    TColor High2() const { return FHigh2; }
    void SetLow1(TColor v) { SetField(FLow1, v); }
    void SetHigh1(TColor v) { SetField(FHigh1, v); }
    void SetLow2(TColor v) { SetField(FLow2, v); }
    void SetHigh2(TColor v) { SetField(FHigh2, v); }

private:
    TColor FLow1 = clGreen;
    TColor FLow2 = clBlack;
    TColor FHigh1 = clLime;
    TColor FHigh2 = clBlack;
};
