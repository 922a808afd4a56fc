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

void TVrPalette::ToBMP(QImage& Bitmap, TColor ExchangeLow, TColor ExchangeHigh) const
{
    const QImage original = Bitmap.convertToFormat(QImage::Format_RGB32);
    const QImage lowMask = ColorMask(original, ExchangeLow);
    const QImage highMask = ColorMask(original, ExchangeHigh);
    Bitmap = original;
    TVrCanvas canvas(&Bitmap);
    const TRect whole = BitmapRect(Bitmap);
    canvas.Brush.Color = FLow;
    canvas.MaskCopyBrush(whole, lowMask);
    canvas.Brush.Color = FHigh;
    canvas.MaskCopyBrush(whole, highMask);
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
