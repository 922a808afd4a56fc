// Text styles: an outline around letters, and a raised, sunken or shadowed 3-D text.
#pragma once

#include "widgets/VrClassesPersistent.h"
#include "widgets/VrsysutilsCanvas.h"
#include "widgets/VrsysutilsTypes.h"

enum TVrFont3DStyle : std::uint8_t { f3dNone, f3dRaised, f3dSunken, f3dShadow };

class TVrTextOutline : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor RESET ResetColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible RESET ResetVisible)
    Q_PROPERTY(std::int32_t Width READ Width WRITE SetWidth RESET ResetWidth)

public:
    explicit TVrTextOutline(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    TColor Color() const { return FColor; }
    bool Visible() const { return FVisible; }
    std::int32_t Width() const { return FWidth; }
    void SetColor(TColor v) { SetField(FColor, v); }
    void SetVisible(bool v) { SetField(FVisible, v); }
    void SetWidth(std::int32_t v) { SetField(FWidth, v); }

private:
    // Properties with a stream default reset to it; the others are always stored.
    void ResetColor() { SetColor(clNavy); }
    void ResetVisible() { SetVisible(true); }
    void ResetWidth() { SetWidth(1); }

    TColor FColor = clNavy;
    bool FVisible = true;
    std::int32_t FWidth = 1;
};

class TVrFont3D : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(TVrFont3DStyle Style READ Style WRITE SetStyle RESET ResetStyle)
    Q_PROPERTY(TColor HighlightColor READ HighlightColor WRITE SetHighlightColor RESET ResetHighlightColor)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor RESET ResetShadowColor)
    Q_PROPERTY(std::int32_t HighlightDepth READ HighlightDepth WRITE SetHighlightDepth RESET ResetHighlightDepth)
    Q_PROPERTY(std::int32_t ShadowDepth READ ShadowDepth WRITE SetShadowDepth RESET ResetShadowDepth)

public:
    explicit TVrFont3D(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    // Draws Text into Rect with the caller's DrawText Format and no background: the effect's
    // copies first, then the text in the canvas font colour, which is left as it was.
    void Paint(TVrCanvas& Canvas, const TRect& Rect, const QString& Text, std::uint32_t Format) const;

    TVrFont3DStyle Style() const { return FStyle; }
    TColor HighlightColor() const { return FHighlightColor; }
    TColor ShadowColor() const { return FShadowColor; }
    std::int32_t HighlightDepth() const { return FHighlightDepth; }
    std::int32_t ShadowDepth() const { return FShadowDepth; }
    void SetStyle(TVrFont3DStyle v) { SetField(FStyle, v); }
    void SetHighlightColor(TColor v) { SetField(FHighlightColor, v); }
    void SetShadowColor(TColor v) { SetField(FShadowColor, v); }
    void SetHighlightDepth(std::int32_t v) { SetField(FHighlightDepth, v); }
    void SetShadowDepth(std::int32_t v) { SetField(FShadowDepth, v); }

private:
    // Properties with a stream default reset to it; the others are always stored.
    void ResetStyle() { SetStyle(f3dNone); }
    void ResetHighlightColor() { SetHighlightColor(clBtnHighlight); }
    void ResetShadowColor() { SetShadowColor(clBtnShadow); }
    void ResetHighlightDepth() { SetHighlightDepth(1); }
    void ResetShadowDepth() { SetShadowDepth(1); }

    TVrFont3DStyle FStyle = f3dNone;
    TColor FHighlightColor = clBtnHighlight;
    TColor FShadowColor = clBtnShadow;
    std::int32_t FHighlightDepth = 1;
    std::int32_t FShadowDepth = 1;
};
