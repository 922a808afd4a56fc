// Gradients, shapes and 3-D frames.
#include "widgets/Vrsysutils.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A band or line coordinate computed wide, kept inside the 32-bit range.
int Coord(long long value)
{
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void FillBand(TVrCanvas& canvas, long long left, long long top, long long right, long long bottom, TColor color)
{
    canvas.Brush.Color = color;
    canvas.Brush.Style = TVrBrushStyle::Solid;
    canvas.Brush.Bitmap = QImage();
    canvas.FillRect({Coord(left), Coord(top), Coord(right), Coord(bottom)});
}

int RoundedComponent(double value)
{
    return int(std::clamp(std::nearbyint(value), 0.0, 255.0)); // halves to the even neighbour
}

// Cs + (Ce - Cs) * i / N in 32-bit arithmetic (the product wraps), low 8 bits kept. The
// position stays at the start colour when the divisor is 0.
int ComponentAt(int start, int end, long long i, long long n)
{
    if (n == 0)
        return start & 0xFF;
    const auto product = std::int32_t(std::uint32_t(std::int64_t(end - start) * i));
    return int(start + product / std::int32_t(n)) & 0xFF;
}

struct ColorRamp {
    int rs, gs, bs, re, ge, be;

    ColorRamp(TColor start, TColor end)
    {
        const TColor s = Color2RGB(start), e = Color2RGB(end);
        rs = GetRValue(s), gs = GetGValue(s), bs = GetBValue(s);
        re = GetRValue(e), ge = GetGValue(e), be = GetBValue(e);
    }

    TColor At(long long i, long long n) const
    {
        return RGBColor(ComponentAt(rs, re, i, n), ComponentAt(gs, ge, i, n), ComponentAt(bs, be, i, n));
    }
};

void DrawFrameLines(TVrCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width,
                    int bottomLineEndOffset)
{
    canvas.Pen.Width = 1;
    rect.right -= 1;
    rect.bottom -= 1;
    for (int n = 0; n < width; ++n) {
        canvas.Pen.Color = topColor;
        const TPoint upper[] = {{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}};
        canvas.Polyline(upper);
        canvas.Pen.Color = bottomColor;
        const TPoint lower[] = {
            {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left + bottomLineEndOffset, rect.bottom}};
        canvas.Polyline(lower);
        rect.Inflate(-1, -1);
    }
    rect.right += 1;
    rect.bottom += 1;
}

} // namespace

void DrawGradient(TVrCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, int direction, int step)
{
    if (step < 1 || (direction != 0 && direction != 1))
        return;
    const TColor s = Color2RGB(startColor), e = Color2RGB(endColor);
    const double dr = GetRValue(e) - GetRValue(s), dg = GetGValue(e) - GetGValue(s), db = GetBValue(e) - GetBValue(s);
    const long long w = std::max(1, rect.Width()), h = std::max(1, rect.Height());
    const long long n = direction == 0 ? h : w;
    const TRect visible = canvas.ClipRect();
    double r = GetRValue(s), g = GetGValue(s), b = GetBValue(s);
    for (long long i = 0; i <= n; i += step) {
        const long long left = direction == 0 ? rect.left : rect.left + i;
        const long long top = direction == 0 ? rect.top + i : rect.top;
        if ((direction == 0 && top >= visible.bottom) || (direction == 1 && left >= visible.right))
            break; // later bands are out of sight
        const long long right = direction == 0 ? left + w : left + step;
        const long long bottom = direction == 0 ? top + step : top + h;
        FillBand(canvas, left, top, right, bottom, RGBColor(RoundedComponent(r), RoundedComponent(g), RoundedComponent(b)));
        r += dr / n * step;
        g += dg / n * step;
        b += db / n * step;
    }
}

void DrawGradientExt(TVrCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, int style, int step)
{
    if (step < 1)
        return;
    const ColorRamp ramp(startColor, endColor);
    const long long w = rect.Width(), h = rect.Height();
    const long long left = rect.left, top = rect.top;
    switch (style) {
    case 1:
        for (long long i = 0; i < h; i += step)
            FillBand(canvas, left, top + i, left + w, top + i + step, ramp.At(i, h));
        break;
    case 2:
        for (long long i = 0; i <= w; i += step)
            FillBand(canvas, left + i, top, left + i + step, top + h, ramp.At(i, w));
        break;
    case 3:
    case 4: {
        const long long n = w + h;
        canvas.Pen.Width = step;
        for (long long i = 0; i <= n; i += step) {
            canvas.Pen.Color = ramp.At(i, n);
            if (style == 3) {
                canvas.MoveTo(Coord(i), 0);
                canvas.LineTo(-1, Coord(i));
            } else {
                canvas.MoveTo(0, Coord(h - i));
                canvas.LineTo(Coord(i), Coord(h));
            }
        }
        break;
    }
    case 5:
    case 6: {
        const bool down = style == 5;
        const long long m = (down ? h : w) / 2;
        long long offset = 0; // of the band from the rectangle's corner
        auto band = [&](long long i) {
            if (down)
                FillBand(canvas, left, top + offset, left + w, top + offset + step, ramp.At(i, m));
            else
                FillBand(canvas, left + offset, top, left + offset + step, top + h, ramp.At(i, m));
            offset += step;
        };
        long long i = 0;
        for (; i < m; i += step)
            band(i);
        for (; i >= 0; i -= step)
            band(i);
        break;
    }
    default:
        break;
    }
}

void DrawShape(TVrCanvas& canvas, TVrShapeType shape, int x, int y, int width, int height)
{
    if (canvas.Pen.Width == 0) {
        --width;
        --height;
    }
    const int s = std::min(width, height);
    if (shape == stSquare || shape == stRoundSquare || shape == stCircle) {
        x += (width - s) / 2;
        y += (height - s) / 2;
        width = height = s;
    }
    switch (shape) {
    case stRectangle:
    case stSquare:
        canvas.Rectangle(x, y, x + width, y + height);
        break;
    case stRoundRect:
    case stRoundSquare:
        canvas.RoundRect(x, y, x + width, y + height, s / 4, s / 4);
        break;
    case stEllipse:
    case stCircle:
        canvas.Ellipse(x, y, x + width, y + height);
        break;
    }
}

void DrawFrame3D(TVrCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    DrawFrameLines(canvas, rect, topColor, bottomColor, width, -1);
}

void DrawOutline3D(TVrCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    DrawFrameLines(canvas, rect, topColor, bottomColor, width, 0);
}
