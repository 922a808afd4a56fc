// A control's bevel: from the outside in, a border, the outer outline/bevel/outline and space,
// then the same layers for the inner side.
#pragma once

#include "widgets/VrClassesPersistent.h"
#include "widgets/VrsysutilsCanvas.h"
#include "widgets/VrsysutilsTypes.h"

enum TVrBevelStyle : std::uint8_t { bsNone, bsLowered, bsRaised };
enum TVrBevelOutlineStyle : std::uint8_t { osOuter, osInner, osNone };

class TVrBevel : public TVrPersistent
{
    Q_OBJECT
    Q_PROPERTY(std::int32_t BorderWidth READ BorderWidth WRITE SetBorderWidth RESET ResetBorderWidth)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor RESET ResetBorderColor)
    Q_PROPERTY(TColor InnerShadow READ InnerShadow WRITE SetInnerShadow)
    Q_PROPERTY(TColor InnerHighlight READ InnerHighlight WRITE SetInnerHighlight)
    Q_PROPERTY(std::int32_t InnerWidth READ InnerWidth WRITE SetInnerWidth)
    Q_PROPERTY(TVrBevelStyle InnerStyle READ InnerStyle WRITE SetInnerStyle)
    Q_PROPERTY(TVrBevelOutlineStyle InnerOutline READ InnerOutline WRITE SetInnerOutline RESET ResetInnerOutline)
    Q_PROPERTY(std::int32_t InnerSpace READ InnerSpace WRITE SetInnerSpace)
    Q_PROPERTY(TColor InnerColor READ InnerColor WRITE SetInnerColor)
    Q_PROPERTY(TColor OuterShadow READ OuterShadow WRITE SetOuterShadow)
    Q_PROPERTY(TColor OuterHighlight READ OuterHighlight WRITE SetOuterHighlight)
    Q_PROPERTY(std::int32_t OuterWidth READ OuterWidth WRITE SetOuterWidth RESET ResetOuterWidth)
    Q_PROPERTY(TVrBevelStyle OuterStyle READ OuterStyle WRITE SetOuterStyle)
    Q_PROPERTY(TVrBevelOutlineStyle OuterOutline READ OuterOutline WRITE SetOuterOutline)
    Q_PROPERTY(std::int32_t OuterSpace READ OuterSpace WRITE SetOuterSpace RESET ResetOuterSpace)
    Q_PROPERTY(TColor OuterColor READ OuterColor WRITE SetOuterColor RESET ResetOuterColor)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible RESET ResetVisible)

public:
    explicit TVrBevel(QObject* parent = nullptr) : TVrPersistent(parent) {}

    void Assign(const TVrPersistent* Source) override;

    // Shrinks Rect to the area inside the bevel: the rectangle that Paint leaves.
    void GetVisibleArea(TRect& Rect) const;
    // Draws the layers from the outside in and leaves Rect as the area inside the bevel.
    void Paint(TVrCanvas& Canvas, TRect& Rect) const;

    std::int32_t BorderWidth() const { return FBorderWidth; }
    TColor BorderColor() const { return FBorderColor; }
    TColor InnerShadow() const { return FInnerShadow; }
    TColor InnerHighlight() const { return FInnerHighlight; }
    std::int32_t InnerWidth() const { return FInnerWidth; }
    TVrBevelStyle InnerStyle() const { return FInnerStyle; }
    TVrBevelOutlineStyle InnerOutline() const { return FInnerOutline; }
    std::int32_t InnerSpace() const { return FInnerSpace; }
    TColor InnerColor() const { return FInnerColor; }
    TColor OuterShadow() const { return FOuterShadow; }
    TColor OuterHighlight() const { return FOuterHighlight; }
    std::int32_t OuterWidth() const { return FOuterWidth; }
    TVrBevelStyle OuterStyle() const { return FOuterStyle; }
    TVrBevelOutlineStyle OuterOutline() const { return FOuterOutline; }
    std::int32_t OuterSpace() const { return FOuterSpace; }
    TColor OuterColor() const { return FOuterColor; }
    bool Visible() const { return FVisible; }

    void SetBorderWidth(std::int32_t v) { SetField(FBorderWidth, v); }
    void SetBorderColor(TColor v) { SetField(FBorderColor, v); }
    void SetInnerShadow(TColor v) { SetField(FInnerShadow, v); }
    void SetInnerHighlight(TColor v) { SetField(FInnerHighlight, v); }
    void SetInnerWidth(std::int32_t v) { SetField(FInnerWidth, v); }
    void SetInnerStyle(TVrBevelStyle v) { SetField(FInnerStyle, v); }
    void SetInnerOutline(TVrBevelOutlineStyle v) { SetField(FInnerOutline, v); }
    void SetInnerSpace(std::int32_t v) { SetField(FInnerSpace, v); }
    void SetInnerColor(TColor v) { SetField(FInnerColor, v); }
    void SetOuterShadow(TColor v) { SetField(FOuterShadow, v); }
    void SetOuterHighlight(TColor v) { SetField(FOuterHighlight, v); }
    void SetOuterWidth(std::int32_t v) { SetField(FOuterWidth, v); }
    void SetOuterStyle(TVrBevelStyle v) { SetField(FOuterStyle, v); }
    void SetOuterOutline(TVrBevelOutlineStyle v) { SetField(FOuterOutline, v); }
    void SetOuterSpace(std::int32_t v) { SetField(FOuterSpace, v); }
    void SetOuterColor(TColor v) { SetField(FOuterColor, v); }
    void SetVisible(bool v) { SetField(FVisible, v); }

private:
    // Properties with a stream default reset to it; the others are always stored.
    void ResetBorderWidth() { SetBorderWidth(0); }
    void ResetBorderColor() { SetBorderColor(clBtnFace); }
    void ResetInnerOutline() { SetInnerOutline(osNone); }
    void ResetOuterWidth() { SetOuterWidth(1); }
    void ResetOuterSpace() { SetOuterSpace(0); }
    void ResetOuterColor() { SetOuterColor(clBtnFace); }
    void ResetVisible() { SetVisible(true); }

    std::int32_t FBorderWidth = 0;
    TColor FBorderColor = clBtnFace;
    TColor FInnerShadow = clBtnShadow;
    TColor FInnerHighlight = clBtnHighlight;
    std::int32_t FInnerWidth = 1;
    TVrBevelStyle FInnerStyle = bsLowered;
    TVrBevelOutlineStyle FInnerOutline = osNone;
    std::int32_t FInnerSpace = 1;
    TColor FInnerColor = clBtnFace;
    TColor FOuterShadow = clBtnShadow;
    TColor FOuterHighlight = clBtnHighlight;
    std::int32_t FOuterWidth = 1;
    TVrBevelStyle FOuterStyle = bsRaised;
    TVrBevelOutlineStyle FOuterOutline = osOuter;
    std::int32_t FOuterSpace = 0;
    TColor FOuterColor = clBtnFace;
    bool FVisible = true;
};
