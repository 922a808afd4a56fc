#include "widgets/VrClassesText.h"

void TVrTextOutline::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrTextOutline>(Source, [this](const TVrTextOutline& s) {
        SetColor(s.Color());
        SetVisible(s.Visible());
        SetWidth(s.Width());
    });
}

void TVrFont3D::Assign(const TVrPersistent* Source)
{
    AssignFrom<TVrFont3D>(Source, [this](const TVrFont3D& s) {
        SetStyle(s.Style());
        SetHighlightColor(s.HighlightColor());
        SetShadowColor(s.ShadowColor());
        SetHighlightDepth(s.HighlightDepth());
        SetShadowDepth(s.ShadowDepth());
    });
}

void TVrFont3D::Paint(TVrCanvas& Canvas, const TRect& Rect, const QString& Text, std::uint32_t Format) const
{
    const TColor textColor = Canvas.Font.Color;
    Canvas.Brush.Style = TVrBrushStyle::Clear;
    const auto draw = [&](TColor color, int d) {
        TRect r = Rect;
        r.Offset(d, d);
        Canvas.Font.Color = color;
        Canvas.DrawText(Text, r, Format);
    };
    switch (FStyle) {
    case f3dRaised:
        draw(FShadowColor, FShadowDepth);
        draw(FHighlightColor, -FHighlightDepth);
        break;
    case f3dSunken:
        draw(FHighlightColor, FHighlightDepth);
        draw(FShadowColor, -FShadowDepth);
        break;
    case f3dShadow:
        draw(FShadowColor, FShadowDepth);
        break;
    case f3dNone:
        break;
    }
    draw(textColor, 0);
}
