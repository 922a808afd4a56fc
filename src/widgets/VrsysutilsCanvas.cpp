// Canvas primitives: fills, lines and block copies are scanline loops so that they follow the
// platform's pixel rules exactly; outlines of shapes and wide or dotted lines go through QPainter.
#include "widgets/VrsysutilsCanvas.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <vector>

namespace {

constexpr QRgb rgbMask = 0x00FFFFFF;

// A logical coordinate on a device of the given pixel ratio, computed wide so that extreme
// values cannot overflow; exact at ratio 1.
long long ToDevice(long long logical, qreal scale)
{
    return scale == 1.0 ? logical : std::llround(double(logical) * scale);
}

// Logical rectangle moved by the origin and scaled to the device, then cut to bounds.
TRect ToDeviceWithin(const TRect& logical, const TPoint& origin, const TRect& bounds, qreal scale = 1.0)
{
    auto clampTo = [](long long v, int low, int high) { return int(std::clamp<long long>(v, low, high)); };
    TRect r;
    r.left = clampTo(ToDevice(static_cast<long long>(logical.left) + origin.x, scale), bounds.left, bounds.right);
    r.right = clampTo(ToDevice(static_cast<long long>(logical.right) + origin.x, scale), bounds.left, bounds.right);
    r.top = clampTo(ToDevice(static_cast<long long>(logical.top) + origin.y, scale), bounds.top, bounds.bottom);
    r.bottom = clampTo(ToDevice(static_cast<long long>(logical.bottom) + origin.y, scale), bounds.top, bounds.bottom);
    return r;
}

int PositiveModulo(long long value, int modulus)
{
    const long long m = value % modulus;
    return int(m < 0 ? m + modulus : m);
}

constexpr QRgb Combine(TVrCopyMode mode, QRgb source, QRgb dest)
{
    switch (mode) {
    case TVrCopyMode::SrcInvert:
        return 0xFF000000u | ((source ^ dest) & rgbMask);
    case TVrCopyMode::SrcAnd:
        return 0xFF000000u | (source & dest & rgbMask);
    case TVrCopyMode::SrcCopy:
        break;
    }
    return 0xFF000000u | source;
}

// Maps a destination column or row onto the source by nearest pixel.
int SourceIndex(long long destOffset, int destExtent, int sourceStart, int sourceExtent)
{
    return sourceStart + int(destOffset * sourceExtent / destExtent);
}

} // namespace

QSize LogicalSize(const QImage& image)
{
    const qreal scale = image.devicePixelRatio();
    return scale == 1.0 ? image.size() : QSize(qRound(image.width() / scale), qRound(image.height() / scale));
}

void SizeImage(QImage& image, const QSize& logical, qreal scale)
{
    const QSize device(int(std::ceil(logical.width() * scale)), int(std::ceil(logical.height() * scale)));
    if (image.size() == device && image.devicePixelRatio() == scale && !image.isNull())
        return;
    image = QImage(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
}

QImage ColorMask(const QImage& bitmap, TColor keyColor)
{
    QImage mask(bitmap.size(), QImage::Format_RGB32);
    if (mask.isNull())
        return mask;
    mask.setDevicePixelRatio(bitmap.devicePixelRatio());
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb key = ColorToRgb(keyColor) & rgbMask;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = (in[x] & rgbMask) == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return mask;
}

TRect TVrCanvas::DeviceClip() const
{
    if (!image || image->isNull())
        return {};
    const TRect bounds{0, 0, image->width(), image->height()};
    return clipped ? bounds.Intersected(clip) : bounds;
}

qreal TVrCanvas::Scale() const
{
    return image ? image->devicePixelRatio() : 1.0;
}

TRect TVrCanvas::ClipRect() const
{
    TRect r = DeviceClip();
    const qreal scale = Scale();
    if (scale != 1.0)
        r = {int(std::floor(r.left / scale)), int(std::floor(r.top / scale)), int(std::ceil(r.right / scale)),
             int(std::ceil(r.bottom / scale))};
    r.Offset(-origin.x, -origin.y);
    return r;
}

void TVrCanvas::PlotDevice(int x, int y, QRgb rgb)
{
    if (DeviceClip().Contains(x, y))
        reinterpret_cast<QRgb*>(image->scanLine(y))[x] = rgb;
}

void TVrCanvas::PlotLogicalPixel(int x, int y, QRgb rgb)
{
    const qreal scale = Scale();
    if (scale == 1.0) {
        PlotDevice(x, y, rgb);
        return;
    }
    const TRect r = ToDeviceWithin({x, y, x + 1, y + 1}, {0, 0}, DeviceClip(), scale);
    for (int dy = r.top; dy < r.bottom; ++dy)
        for (int dx = r.left; dx < r.right; ++dx)
            reinterpret_cast<QRgb*>(image->scanLine(dy))[dx] = rgb;
}

void TVrCanvas::FillRect(const TRect& rect)
{
    if (Brush.Style == TVrBrushStyle::Clear)
        return;
    const TRect r = ToDeviceWithin(rect, origin, DeviceClip(), Scale());
    const BrushSource brush = ResolveBrush();
    for (int y = r.top; y < r.bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        if (brush.tile.isNull()) {
            std::fill(line + r.left, line + r.right, 0xFF000000u | brush.colour);
            continue;
        }
        for (int x = r.left; x < r.right; ++x)
            line[x] = 0xFF000000u | brush.At(x, y);
    }
}

void TVrCanvas::MoveTo(int x, int y)
{
    penPos = {x, y};
}

void TVrCanvas::LineTo(int x, int y)
{
    const TPoint points[] = {penPos, {x, y}};
    Polyline(points);
    penPos = {x, y};
}

void TVrCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.size() < 2 || Pen.Style == TVrPenStyle::Clear || !image)
        return;
    if (Pen.Style == TVrPenStyle::Solid && Pen.Width <= 1) {
        // Bresenham from each point up to, not including, the next one.
        const QRgb rgb = ColorToRgb(Pen.Color) | 0xFF000000u;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            long long x = static_cast<long long>(points[i].x) + origin.x;
            long long y = static_cast<long long>(points[i].y) + origin.y;
            const long long x1 = static_cast<long long>(points[i + 1].x) + origin.x;
            const long long y1 = static_cast<long long>(points[i + 1].y) + origin.y;
            const long long dx = std::llabs(x1 - x), dy = std::llabs(y1 - y);
            const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
            const long long steps = std::max(dx, dy);
            long long error = (dx >= dy ? dx : dy) / 2;
            for (long long n = 0; n < steps; ++n) {
                if (x >= 0 && y >= 0 && x <= INT_MAX && y <= INT_MAX)
                    PlotLogicalPixel(int(x), int(y), rgb);
                if (dx >= dy) {
                    x += sx;
                    error -= dy;
                    if (error < 0) {
                        y += sy;
                        error += dx;
                    }
                } else {
                    y += sy;
                    error -= dx;
                    if (error < 0) {
                        x += sx;
                        error += dy;
                    }
                }
            }
        }
        return;
    }
    PaintShape([&](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        QPolygon polygon;
        for (const TPoint& point : points)
            polygon << QPoint(point.x, point.y);
        p.drawPolyline(polygon);
    });
}

void TVrCanvas::PaintShape(const std::function<void(QPainter&)>& paint)
{
    WithPainter([&](QPainter& p) {
        if (Pen.Style == TVrPenStyle::Clear) {
            p.setPen(Qt::NoPen);
        } else {
            QPen pen(QColor::fromRgb(ColorToRgb(Pen.Color)), std::max(1, Pen.Width),
                     Pen.Style == TVrPenStyle::Dot ? Qt::DotLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p.setPen(pen);
        }
        if (Brush.Style == TVrBrushStyle::Clear)
            p.setBrush(Qt::NoBrush);
        else if (!Brush.Bitmap.isNull())
            p.setBrush(QBrush(Brush.Bitmap));
        else
            p.setBrush(QColor::fromRgb(ColorToRgb(Brush.Color)));
        p.setBrushOrigin(-origin.x, -origin.y);
        paint(p);
    });
}

namespace {

// The outline box of a shape from (left, top) to (right, bottom): the platform draws the pen
// on left..right-1, which an aliased QPainter does for a rectangle one pixel narrower.
QRect ShapeBox(int left, int top, int right, int bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return QRect(left, top, right - left - 1, bottom - top - 1);
}

} // namespace

void TVrCanvas::Rectangle(int left, int top, int right, int bottom)
{
    PaintShape([&](QPainter& p) { p.drawRect(ShapeBox(left, top, right, bottom)); });
}

void TVrCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    PaintShape([&](QPainter& p) {
        p.drawRoundedRect(ShapeBox(left, top, right, bottom), cornerWidth / 2.0, cornerHeight / 2.0);
    });
}

void TVrCanvas::Ellipse(int left, int top, int right, int bottom)
{
    PaintShape([&](QPainter& p) { p.drawEllipse(ShapeBox(left, top, right, bottom)); });
}

TColor TVrCanvas::Pixel(int x, int y) const
{
    if (!image)
        return clNone;
    const long long dx = ToDevice(static_cast<long long>(x) + origin.x, Scale());
    const long long dy = ToDevice(static_cast<long long>(y) + origin.y, Scale());
    if (dx < 0 || dy < 0 || dx >= image->width() || dy >= image->height())
        return clNone;
    return RgbToColor(image->pixel(int(dx), int(dy)));
}

void TVrCanvas::SetPixel(int x, int y, TColor color)
{
    const TRect r = ToDeviceWithin({x, y, x + 1, y + 1}, origin, DeviceClip(), Scale());
    for (int dy = r.top; dy < r.bottom; ++dy)
        for (int dx = r.left; dx < r.right; ++dx)
            PlotDevice(dx, dy, ColorToRgb(color));
}

void TVrCanvas::Draw(int x, int y, const QImage& bitmap)
{
    const QSize size = LogicalSize(bitmap);
    CopyRect(Bounds(x, y, size.width(), size.height()), bitmap, {0, 0, size.width(), size.height()});
}

void TVrCanvas::StretchDraw(const TRect& dest, const QImage& bitmap)
{
    const QSize size = LogicalSize(bitmap);
    CopyRect(dest, bitmap, {0, 0, size.width(), size.height()});
}

template <class Fn>
void TVrCanvas::ForEachStretched(const TRect& dest, const QImage& source, const TRect& sourceRect, Fn fn)
{
    if (dest.IsEmpty() || sourceRect.IsEmpty() || source.isNull())
        return;
    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    const qreal scale = Scale(), sourceScale = source.devicePixelRatio();
    const TRect r = ToDeviceWithin(dest, origin, DeviceClip(), scale);
    // Both rectangles in device pixels, each on its own image's pixel ratio.
    const long long destLeft = ToDevice(static_cast<long long>(dest.left) + origin.x, scale);
    const long long destTop = ToDevice(static_cast<long long>(dest.top) + origin.y, scale);
    const int destWidth = int(ToDevice(static_cast<long long>(dest.right) + origin.x, scale) - destLeft);
    const int destHeight = int(ToDevice(static_cast<long long>(dest.bottom) + origin.y, scale) - destTop);
    const int sourceLeft = int(ToDevice(sourceRect.left, sourceScale));
    const int sourceTop = int(ToDevice(sourceRect.top, sourceScale));
    const int sourceWidth = int(ToDevice(sourceRect.right, sourceScale)) - sourceLeft;
    const int sourceHeight = int(ToDevice(sourceRect.bottom, sourceScale)) - sourceTop;
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // Every row maps its columns alike: map them once, not once per pixel. The mapping rises with
    // x, so the columns that land inside the source are one run.
    std::vector<int> columns;
    int first = r.right, last = r.left;
    for (int x = r.left; x < r.right; ++x) {
        const int sx = SourceIndex(x - destLeft, destWidth, sourceLeft, sourceWidth);
        columns.push_back(sx);
        if (sx >= 0 && sx < src.width()) {
            first = std::min(first, x);
            last = x + 1;
        }
    }
    for (int y = r.top; y < r.bottom; ++y) {
        const int sy = SourceIndex(y - destTop, destHeight, sourceTop, sourceHeight);
        if (sy < 0 || sy >= src.height())
            continue;
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = first; x < last; ++x)
            fn(out[x], in[columns[size_t(x - r.left)]], x, y);
    }
}

void TVrCanvas::CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect)
{
    // One loop per mode, so that the mode is not decided again at every pixel.
    const auto copy = [&](auto mode) {
        ForEachStretched(dest, source, sourceRect, [](QRgb& out, QRgb in, int, int) { out = Combine(decltype(mode)::value, in, out); });
    };
    switch (CopyMode) {
    case TVrCopyMode::SrcInvert: return copy(std::integral_constant<TVrCopyMode, TVrCopyMode::SrcInvert>{});
    case TVrCopyMode::SrcAnd: return copy(std::integral_constant<TVrCopyMode, TVrCopyMode::SrcAnd>{});
    case TVrCopyMode::SrcCopy: return copy(std::integral_constant<TVrCopyMode, TVrCopyMode::SrcCopy>{});
    }
}

TVrCanvas::BrushSource TVrCanvas::ResolveBrush() const
{
    if (Brush.Bitmap.isNull())
        return {QImage(), ColorToRgb(Brush.Color), Scale()};
    return {Brush.Bitmap.convertToFormat(QImage::Format_RGB32), 0, Scale()};
}

QRgb TVrCanvas::BrushSource::At(int x, int y) const
{
    if (tile.isNull())
        return colour;
    if (scale != 1.0) {
        x = int(std::floor(x / scale));
        y = int(std::floor(y / scale));
    }
    return reinterpret_cast<const QRgb*>(tile.constScanLine(PositiveModulo(y, tile.height())))
        [PositiveModulo(x, tile.width())];
}

void TVrCanvas::BrushCopy(const TRect& dest, const QImage& bitmap, const TRect& sourceRect, TColor keyColor)
{
    const QRgb key = ColorToRgb(keyColor) & rgbMask;
    const bool clearBrush = Brush.Style == TVrBrushStyle::Clear;
    const BrushSource brush = ResolveBrush();
    ForEachStretched(dest, bitmap, sourceRect, [&](QRgb& out, QRgb in, int x, int y) {
        if ((in & rgbMask) != key)
            out = 0xFF000000u | in;
        else if (!clearBrush)
            out = 0xFF000000u | brush.At(x, y);
    });
}

void TVrCanvas::MaskCopyBrush(const TRect& dest, const QImage& mask)
{
    if (mask.isNull())
        return;
    const QImage s = mask.convertToFormat(QImage::Format_RGB32);
    const QSize size = LogicalSize(s);
    const TRect placed = Bounds(dest.left, dest.top, std::min(dest.Width(), size.width()), std::min(dest.Height(), size.height()));
    const BrushSource brush = ResolveBrush();
    ForEachStretched(placed, s, {0, 0, placed.Width(), placed.Height()}, [&](QRgb& out, QRgb source, int x, int y) {
        const QRgb pattern = brush.At(x, y);
        out = 0xFF000000u | (((source & pattern) | (~source & out)) & rgbMask);
    });
}

void TVrCanvas::SaveState()
{
    saved.push_back({Pen, Brush, Font, CopyMode, origin, clip, clipped});
}

void TVrCanvas::RestoreState()
{
    if (saved.empty())
        return;
    const State& s = saved.back();
    Pen = s.pen;
    Brush = s.brush;
    Font = s.font;
    CopyMode = s.copyMode;
    origin = s.origin;
    clip = s.clip;
    clipped = s.clipped;
    saved.pop_back();
}

void TVrCanvas::MoveOrigin(int dx, int dy)
{
    origin.x += dx;
    origin.y += dy;
}

void TVrCanvas::ClipTo(const TRect& rect)
{
    const TRect everywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    const TRect device = ToDeviceWithin(rect, origin, everywhere, Scale());
    clip = clipped ? clip.Intersected(device) : device;
    clipped = true;
}

void TVrCanvas::WithPainter(const std::function<void(QPainter&)>& paint)
{
    if (!image || image->isNull())
        return;
    const TRect area = DeviceClip();
    if (area.IsEmpty())
        return;
    QPainter p(image); // works in logical pixels on an image of any pixel ratio
    const qreal scale = Scale();
    p.setClipRect(QRectF(area.left / scale, area.top / scale, area.Width() / scale, area.Height() / scale));
    p.translate(origin.x, origin.y);
    paint(p);
}
