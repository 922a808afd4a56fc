#include "widgets/VrClassesBevel.h"

#include "widgets/Vrsysutils.h"

namespace {

struct BevelSide {
    TVrBevelOutlineStyle outline;
    TVrBevelStyle style;
    std::int32_t width;
    TColor highlight;
    TColor shadow;
    std::int32_t space;
    TColor spaceColor;
};

// Outline line, bevel, outline line, space: the five layers of one side, from the outside in.
void PaintSide(TVrCanvas& canvas, TRect& rect, const BevelSide& side)
{
    if (side.outline == osOuter)
        DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    if (side.style != bsNone) {
        const bool raised = side.style == bsRaised;
        DrawFrame3D(canvas, rect, raised ? side.highlight : side.shadow, raised ? side.shadow : side.highlight,
                    side.width);
    }
    if (side.outline == osInner)
        DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    DrawFrame3D(canvas, rect, side.spaceColor, side.spaceColor, side.space);
}

} // namespace

void TVrBevel::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrBevel>(Source, [this](const TVrBevel& s) {
        SetBorderWidth(s.BorderWidth());
        SetBorderColor(s.BorderColor());
        SetInnerShadow(s.InnerShadow());
        SetInnerHighlight(s.InnerHighlight());
        SetInnerWidth(s.InnerWidth());
        SetInnerStyle(s.InnerStyle());
        SetInnerOutline(s.InnerOutline());
        SetInnerSpace(s.InnerSpace());
        SetInnerColor(s.InnerColor());
        SetOuterShadow(s.OuterShadow());
        SetOuterHighlight(s.OuterHighlight());
        SetOuterWidth(s.OuterWidth());
        SetOuterStyle(s.OuterStyle());
        SetOuterOutline(s.OuterOutline());
        SetOuterSpace(s.OuterSpace());
        SetOuterColor(s.OuterColor());
        SetVisible(s.Visible());
    });
}

void TVrBevel::GetVisibleArea(TRect& Rect) const
{
    if (!FVisible)
        return;
    const std::int32_t inset = FBorderWidth + (FInnerOutline != osNone ? 1 : 0) +
                               (FOuterOutline != osNone ? 1 : 0) + FInnerSpace + FOuterSpace +
                               (FInnerStyle != bsNone ? FInnerWidth : 0) + (FOuterStyle != bsNone ? FOuterWidth : 0);
    Rect.Inflate(-inset, -inset);
}

void TVrBevel::Paint(TVrCanvas& Canvas, TRect& Rect) const
{
    if (!FVisible)
        return;
    if (FBorderWidth != 0)
        DrawFrame3D(Canvas, Rect, FBorderColor, FBorderColor, FBorderWidth);
    PaintSide(Canvas, Rect,
              {FOuterOutline, FOuterStyle, FOuterWidth, FOuterHighlight, FOuterShadow, FOuterSpace, FOuterColor});
    PaintSide(Canvas, Rect,
              {FInnerOutline, FInnerStyle, FInnerWidth, FInnerHighlight, FInnerShadow, FInnerSpace, FInnerColor});
}
