#include "widgets/VrClassesPalette.h"

#include "widgets/Vrsysutils.h"

void TVrPalette::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrPalette>(Source, [this](const TVrPalette& s) {
        SetLow(s.Low());
        SetHigh(s.High());
    });
}

TColor TVrPalette::GetColors(int Index) const
{
    return Index <= 0 ? FLow : FHigh;
}

// One pass over the pixels instead of two masks and two masked paints: each pixel is compared with
// both exchange colours as it was on entry, so it changes at most once and High wins a tie.
void TVrPalette::ToBMP(QImage& Bitmap, TColor ExchangeLow, TColor ExchangeHigh) const
{
    constexpr QRgb opaque = 0xFF000000u, colourBits = 0x00FFFFFFu;
    Bitmap = std::move(Bitmap).convertToFormat(QImage::Format_RGB32);
    const QRgb fromLow = ColorToRgb(ExchangeLow) & colourBits, fromHigh = ColorToRgb(ExchangeHigh) & colourBits;
    const QRgb toLow = opaque | ColorToRgb(FLow), toHigh = opaque | ColorToRgb(FHigh);
    const int width = Bitmap.width();
    for (int y = 0; y < Bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(Bitmap.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x] & colourBits;
            line[x] = pixel == fromHigh ? toHigh : pixel == fromLow ? toLow : line[x];
        }
    }
}

void TVrPaletteEx::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrPaletteEx>(Source, [this](const TVrPaletteEx& s) {
        SetLow1(s.Low1());
        SetHigh1(s.High1());
        SetLow2(s.Low2());
        SetHigh2(s.High2());
    });
}
