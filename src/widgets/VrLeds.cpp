#include "widgets/VrLeds.h"

#include "widgets/VrAccessible.h"
#include "widgets/Vrsysutils.h"

#include <QEvent>

static void InitVrLedsResources()
{
    Q_INIT_RESOURCE(VrLeds);
}

namespace {

QImage LoadGlyphResource(TVrLedType type)
{
    InitVrLedsResources();
    static const char* const suffix[] = {"RND", "RECT", "BIG"};
    return LoadResourceImage(QStringLiteral(":/widgets/LI_%1.bmp").arg(QLatin1String(suffix[type])), "bmp")
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

TVrCustomLed::TVrCustomLed(QWidget* AOwner) : TVrGraphicImageControl(AOwner), FPalette(new TVrPalette(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setGeometry(0, 0, 25, 25);
    SetColor(clBlack);
    SetFontColor(clWhite);
    FPalette->SetLow(clMaroon);
    FPalette->SetHigh(clRed);
    FPalette->OnChange = [this](QObject* sender) { PaletteModified(sender); };
    LoadBitmaps();
    InstallVrAccessibility();
}

void TVrCustomLed::LoadBitmaps()
{
    if (FLedType == ltCustom) {
        FGlyphBitmap = FGlyphs.isNull() ? QImage() : FGlyphs.convertToFormat(QImage::Format_RGB32);
        return;
    }
    // Always from the resource, so recolourings never accumulate.
    FGlyphBitmap = LoadGlyphResource(FLedType);
    FPalette->ToBMP(FGlyphBitmap, clMaroon, clRed);
}

QSize TVrCustomLed::minimumSizeHint() const
{
    return ImageTextExtent(font(), Caption(), cfImageTextLayout[FLayout], FMargin, FSpacing,
                           QSize(FGlyphBitmap.width() / 2, FGlyphBitmap.height()));
}

void TVrCustomLed::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    UpdateControlCanvas();
    NotifyVrStateChange(this);
    Changed();
}

void TVrCustomLed::SetLedType(TVrLedType Value)
{
    if (Value == FLedType)
        return;
    FLedType = Value;
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::SetLayout(TVrImageTextLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    UpdateControlCanvas();
}

void TVrCustomLed::SetMargin(std::int32_t Value)
{
    if (Value == FMargin)
        return;
    FMargin = Value;
    UpdateControlCanvas();
}

void TVrCustomLed::SetSpacing(std::int32_t Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    UpdateControlCanvas();
}

void TVrCustomLed::SetPalette(TVrPalette* Value)
{
    FPalette->Assign(Value);
}

void TVrCustomLed::SetGlyphs(const QImage& Value)
{
    FGlyphs = Value;
    GlyphsChanged();
}

void TVrCustomLed::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TVrCustomLed::PaletteModified(QObject*)
{
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::GlyphsChanged()
{
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::CalcPaintParams()
{
    Canvas().Font = ControlFont();
    const TPoint frame{FGlyphBitmap.width() / 2, FGlyphBitmap.height()};
    TPoint position;
    CalcImageTextLayout(Canvas(), ClientRect(), {0, 0}, Caption(), cfImageTextLayout[FLayout], FMargin, FSpacing,
                        frame, position, FTextRect);
    FImageRect = Bounds(position.x, position.y, frame.x, frame.y);
}

void TVrCustomLed::Paint()
{
    ClearBitmapCanvas();
    CalcPaintParams();
    const int frameWidth = FImageRect.Width();
    const TRect source = Bounds(FActive ? frameWidth : 0, 0, frameWidth, FImageRect.Height());
    TVrCanvas& buffer = GetBitmapCanvas();
    buffer.Brush.Style = TVrBrushStyle::Clear;
    // Glyph pixels of the key colour leave the background showing.
    const TColor key = FLedType == ltCustom ? Color() : clBlack;
    if (!FImageRect.IsEmpty())
        buffer.BrushCopy(FImageRect, DeviceGlyph(buffer.Scale()), source, key);
    buffer.Font = ControlFont();
    TRect text = FTextRect;
    buffer.DrawText(Caption(), text, VrTextFormat::SingleLine | VrTextFormat::VCenter);
    TVrGraphicImageControl::Paint();
}

const QImage& TVrCustomLed::DeviceGlyph(qreal scale)
{
    if (scale == 1.0)
        return FGlyphBitmap;
    if (FDeviceGlyph.devicePixelRatio() != scale || FDeviceGlyphSource != FGlyphBitmap.cacheKey()) {
        FDeviceGlyph = ScalePixelArt(FGlyphBitmap, scale);
        FDeviceGlyphSource = FGlyphBitmap.cacheKey();
    }
    return FDeviceGlyph;
}

void TVrCustomLed::FontChanged()
{
    TVrGraphicImageControl::FontChanged();
    UpdateControlCanvas();
}

void TVrCustomLed::TextChanged()
{
    TVrGraphicImageControl::TextChanged();
    UpdateControlCanvas();
}

void TVrCustomLed::changeEvent(QEvent* event)
{
    TVrGraphicImageControl::changeEvent(event);
    // A new colour scheme: palette entries given as system colours follow it.
    if (event->type() == QEvent::PaletteChange)
        LoadBitmaps();
}

QSize TVrUserLed::minimumSizeHint() const
{
    const int probe = 1000;
    TRect inside{0, 0, probe, probe};
    FBevel->GetVisibleArea(inside);
    const int frame = 2 * std::max(0, FOutlineWidth);
    return {probe - inside.Width() + frame + 1, probe - inside.Height() + frame + 1};
}

TVrUserLed::TVrUserLed(QWidget* AOwner)
    : TVrGraphicControl(AOwner), FBevel(new TVrBevel(this)), FPaletteEx(new TVrPaletteEx(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    SetDoubleClicks(true);
    setGeometry(0, 0, 10, 20);
    FPaletteEx->SetLow1(clMaroon);
    FPaletteEx->SetLow2(clBlack);
    FPaletteEx->SetHigh1(clRed);
    FPaletteEx->SetHigh2(clBlack);
    FPaletteEx->OnChange = [this](QObject*) { UpdateControlCanvas(); };
    FBevel->SetInnerStyle(bsNone);
    FBevel->SetInnerHighlight(clLime);
    FBevel->SetInnerShadow(clGreen);
    FBevel->OnChange = [this](QObject*) { UpdateControlCanvas(); };
}

void TVrUserLed::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    UpdateControlCanvas();
    Change();
}

void TVrUserLed::SetOutlineColor(TColor Value)
{
    if (Value == FOutlineColor)
        return;
    FOutlineColor = Value;
    UpdateControlCanvas();
}

void TVrUserLed::SetOutlineWidth(std::int32_t Value)
{
    if (Value == FOutlineWidth)
        return;
    FOutlineWidth = Value;
    UpdateControlCanvas();
}

void TVrUserLed::SetDrawStyle(TVrDrawStyle Value)
{
    if (Value == FDrawStyle)
        return;
    FDrawStyle = Value;
    UpdateControlCanvas();
}

void TVrUserLed::Change()
{
    if (OnChange)
        OnChange(this);
}

void TVrUserLed::Paint()
{
    if (FDrawStyle == dsOwnerDraw) {
        ClearClientCanvas();
        if (OnDraw)
            OnDraw(this, Canvas(), ClientRect());
        return;
    }
    TRect r = ClientRect();
    if (FOutlineWidth > 0)
        DrawFrame3D(Canvas(), r, FOutlineColor, FOutlineColor, FOutlineWidth);
    FBevel->Paint(Canvas(), r);
    const TColor first = FActive ? FPaletteEx->High1() : FPaletteEx->Low1();
    const TColor second = FActive ? FPaletteEx->High2() : FPaletteEx->Low2();
    DrawGradientExt(Canvas(), r, first, second, cfGradDirection[gdUpDown], 1);
}
