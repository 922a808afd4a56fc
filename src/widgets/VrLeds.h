// LED indicators: TVrLed shows a two-frame glyph, recoloured from its palette, beside a
// one-line caption; TVrUserLed is a rectangle filled with a vertical gradient.
#pragma once

#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"

enum TVrLedType : std::uint8_t { ltRounded, ltRectangle, ltLargeRect, ltCustom };

class TVrCustomLed : public TVrGraphicImageControl
{
    Q_OBJECT

public:
    explicit TVrCustomLed(QWidget* AOwner = nullptr);

    // Rebuilds the working glyph: the built-in glyph of LedType recoloured from the palette
    // (maroon marks Low, red marks High), or Glyphs unchanged for ltCustom.
    virtual void LoadBitmaps();

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TVrLedType LedType() const { return FLedType; }
    void SetLedType(TVrLedType Value);
    TVrImageTextLayout Layout() const { return FLayout; }
    void SetLayout(TVrImageTextLayout Value);
    std::int32_t Margin() const { return FMargin; }
    void SetMargin(std::int32_t Value);
    std::int32_t Spacing() const { return FSpacing; }
    void SetSpacing(std::int32_t Value);
    TVrPalette* Palette() const { return FPalette; }
    void SetPalette(TVrPalette* Value);
    const QImage& Glyphs() const { return FGlyphs; }
    void SetGlyphs(const QImage& Value);

    // Room for one glyph frame and the caption, as Layout, Margin and Spacing place them.
    QSize minimumSizeHint() const override;

    // The two-frame glyph actually drawn, and where the last paint placed glyph and caption.
    const QImage& GlyphBitmap() const { return FGlyphBitmap; }
    TRect ImageRect() const { return FImageRect; }
    TRect TextRect() const { return FTextRect; }

    TNotifyEvent OnChange;

protected:
    // Fired by SetActive only.
    virtual void Changed();
    void CalcPaintParams();
    void Paint() override;
    void FontChanged() override;
    void TextChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void PaletteModified(QObject* Sender);
    // The glyph at the device's pixel ratio, scaled once per glyph and ratio.
    const QImage& DeviceGlyph(qreal scale);
    void GlyphsChanged();

    TVrLedType FLedType = ltRounded;
    TVrPalette* FPalette;
    bool FActive = false;
    std::int32_t FSpacing = 5;
    std::int32_t FMargin = -1;
    TVrImageTextLayout FLayout = ImageLeft;
    QImage FGlyphs;
    TRect FImageRect;
    TRect FTextRect;
    QImage FGlyphBitmap;
    QImage FDeviceGlyph;
    qint64 FDeviceGlyphSource = 0;
};

class TVrLed : public TVrCustomLed
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive RESET ResetActive)
    Q_PROPERTY(TVrPalette* Palette READ Palette WRITE SetPalette)
    Q_PROPERTY(TVrLedType LedType READ LedType WRITE SetLedType RESET ResetLedType)
    Q_PROPERTY(TVrImageTextLayout Layout READ Layout WRITE SetLayout RESET ResetLayout)
    Q_PROPERTY(std::int32_t Margin READ Margin WRITE SetMargin RESET ResetMargin)
    Q_PROPERTY(std::int32_t Spacing READ Spacing WRITE SetSpacing RESET ResetSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent RESET ResetTransparent)
    Q_PROPERTY(QImage Glyphs READ Glyphs WRITE SetGlyphs)

public:
    explicit TVrLed(QWidget* AOwner = nullptr) : TVrCustomLed(AOwner) {}

private:
    // Properties with a stream default reset to it.
    void ResetActive() { SetActive(false); }
    void ResetLedType() { SetLedType(ltRounded); }
    void ResetLayout() { SetLayout(ImageLeft); }
    void ResetMargin() { SetMargin(-1); }
    void ResetSpacing() { SetSpacing(5); }
    void ResetTransparent() { SetTransparent(false); }
};

using TVrUserLedDrawEvent = std::function<void(QObject* Sender, TVrCanvas& Canvas, TRect Rect)>;

class TVrUserLed : public TVrGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(TVrBevel* Bevel READ Bevel WRITE SetBevel)
    Q_PROPERTY(TVrPaletteEx* PaletteEx READ PaletteEx WRITE SetPaletteEx)
    Q_PROPERTY(bool Active READ Active WRITE SetActive RESET ResetActive)
    Q_PROPERTY(TColor OutlineColor READ OutlineColor WRITE SetOutlineColor RESET ResetOutlineColor)
    Q_PROPERTY(std::int32_t OutlineWidth READ OutlineWidth WRITE SetOutlineWidth RESET ResetOutlineWidth)
    Q_PROPERTY(TVrDrawStyle DrawStyle READ DrawStyle WRITE SetDrawStyle RESET ResetDrawStyle)

public:
    explicit TVrUserLed(QWidget* AOwner = nullptr);

    QSize sizeHint() const override { return {10, 20}; }
    // The outline and the bevel with one pixel of the gradient inside.
    QSize minimumSizeHint() const override;

    TVrBevel* Bevel() const { return FBevel; }
    void SetBevel(TVrBevel* Value) { FBevel->Assign(Value); }
    TVrPaletteEx* PaletteEx() const { return FPaletteEx; }
    void SetPaletteEx(TVrPaletteEx* Value) { FPaletteEx->Assign(Value); }
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor Value);
    std::int32_t OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(std::int32_t Value);
    TVrDrawStyle DrawStyle() const { return FDrawStyle; }
    void SetDrawStyle(TVrDrawStyle Value);

    TNotifyEvent OnChange;
    TVrUserLedDrawEvent OnDraw;

protected:
    virtual void Change();
    void Paint() override;

private:
    void ResetActive() { SetActive(false); }
    void ResetOutlineColor() { SetOutlineColor(clBlack); }
    void ResetOutlineWidth() { SetOutlineWidth(0); }
    void ResetDrawStyle() { SetDrawStyle(dsNormal); }

    TVrBevel* FBevel;
    TVrPaletteEx* FPaletteEx;
    bool FActive = false;
    TColor FOutlineColor = clBlack;
    std::int32_t FOutlineWidth = 0;
    TVrDrawStyle FDrawStyle = dsNormal;
};
