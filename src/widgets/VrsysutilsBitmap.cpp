// Bitmap housekeeping, tiling, raster patterns and the XOR/AND/XOR masking that shows a picture
// only through a mask.
#include "widgets/Vrsysutils.h"

#include <QImageReader>

#include <algorithm>
#include <climits>

namespace {

int PositiveModulo(long long value, long long modulus)
{
    const long long m = value % modulus;
    return int(m < 0 ? m + modulus : m);
}

QImage FilledImage(int width, int height, TColor color)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(ColorToRgb(color));
    return image;
}

// picture := picture XOR stretched(bitmap) AND mask XOR stretched(bitmap): the stretched bitmap
// where the mask is black, the picture where it is white. stretch is the full size the bitmap
// is stretched to; the picture and mask may be a top-left part of it.
void ShowThroughMask(QImage& picture, const QImage& mask, const QImage& bitmap, const TRect& stretch)
{
    TVrCanvas canvas(&picture);
    canvas.CopyMode = TVrCopyMode::SrcInvert;
    canvas.StretchDraw(stretch, bitmap);
    canvas.CopyMode = TVrCopyMode::SrcAnd;
    canvas.Draw(0, 0, mask);
    canvas.CopyMode = TVrCopyMode::SrcInvert;
    canvas.StretchDraw(stretch, bitmap);
}

// The part of a w x h drawing at the canvas's (0, 0) that can show.
QSize VisibleSize(const TVrCanvas& canvas, int width, int height)
{
    const TRect clip = canvas.ClipRect();
    return {std::clamp(clip.right, 0, std::max(width, 0)), std::clamp(clip.bottom, 0, std::max(height, 0))};
}

// Mask (black dots on white) and picture (dots on the background) of the given size.
void RasterPair(const QSize& size, TColor dotColor, TColor backgroundColor, int dotSize, int gap, QImage& mask,
                QImage& picture)
{
    mask = FilledImage(size.width(), size.height(), clWhite);
    picture = FilledImage(size.width(), size.height(), backgroundColor);
    TVrCanvas maskCanvas(&mask);
    DrawRasterPattern(maskCanvas, {0, 0, size.width(), size.height()}, clBlack, clWhite, dotSize, gap);
    TVrCanvas pictureCanvas(&picture);
    DrawRasterPattern(pictureCanvas, {0, 0, size.width(), size.height()}, dotColor, backgroundColor, dotSize, gap);
}

} // namespace

void ClearBitmapCanvas(const TRect& rect, QImage& bitmap, TColor color)
{
    const int width = std::max(rect.Width(), 0), height = std::max(rect.Height(), 0);
    if (bitmap.width() != width || bitmap.height() != height || bitmap.format() != QImage::Format_RGB32) {
        // Pixels beyond the old image start black.
        QImage sized = FilledImage(width, height, clBlack);
        TVrCanvas(&sized).Draw(0, 0, bitmap);
        bitmap = sized;
    }
    TVrCanvas canvas(&bitmap);
    canvas.Brush.Color = color;
    canvas.FillRect(rect);
}

std::unique_ptr<QImage> CreateDitherPattern(TColor first, TColor second)
{
    auto pattern = std::make_unique<QImage>(FilledImage(8, 8, second));
    const QRgb firstRgb = ColorToRgb(first);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x + y) % 2 == 0)
                pattern->setPixel(x, y, firstRgb);
    return pattern;
}

void ChangeBitmapColor(QImage& bitmap, TColor oldColor, TColor newColor)
{
    if (bitmap.isNull())
        return;
    if (bitmap.format() != QImage::Format_RGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    const QImage mask = ColorMask(bitmap, oldColor);
    TVrCanvas canvas(&bitmap);
    canvas.Brush.Color = newColor;
    canvas.MaskCopyBrush(BitmapRect(bitmap), mask);
}

void DrawTiledBitmap(TVrCanvas& canvas, const TRect& rect, const QImage& bitmap)
{
    const int w = bitmap.width(), h = bitmap.height();
    if (w <= 0 || h <= 0)
        return;
    // Start at the first copy that reaches into the clip; the copies are not cut at the rectangle.
    const TRect clip = canvas.ClipRect();
    const long long firstX = rect.left + std::max(0LL, (static_cast<long long>(clip.left) - rect.left) / w * w);
    const long long firstY = rect.top + std::max(0LL, (static_cast<long long>(clip.top) - rect.top) / h * h);
    for (long long x = firstX; x < rect.right && x < clip.right; x += w)
        for (long long y = firstY; y < rect.bottom && y < clip.bottom; y += h)
            canvas.Draw(int(x), int(y), bitmap);
}

void DrawBitmap(TVrCanvas& canvas, const TRect& dest, const QImage& bitmap, const TRect& source, bool transparent,
                TColor transparentColor)
{
    if (transparent) {
        canvas.Brush.Style = TVrBrushStyle::Clear;
        canvas.BrushCopy(dest, bitmap, source, transparentColor);
    } else {
        canvas.Brush.Style = TVrBrushStyle::Solid;
        canvas.StretchDraw(dest, bitmap);
    }
}

void DrawRasterPattern(TVrCanvas& canvas, const TRect& rect, TColor dotColor, TColor backgroundColor, int dotSize,
                       int gap)
{
    // A dot every P + S pixels on a square tile of 20 periods, the tile repeated from the
    // rectangle's corner; only the part that can show is built.
    const long long period = static_cast<long long>(dotSize) + gap;
    if (period <= 0 || rect.IsEmpty())
        return;
    const long long side = period * 20;
    const long long coverRight = rect.left + (rect.Width() + side - 1) / side * side;
    const long long coverBottom = rect.top + (rect.Height() + side - 1) / side * side;
    const TRect clip = canvas.ClipRect();
    const TRect visible{std::max(clip.left, rect.left), std::max(clip.top, rect.top),
                        int(std::min<long long>(clip.right, coverRight)),
                        int(std::min<long long>(clip.bottom, coverBottom))};
    if (visible.IsEmpty())
        return;
    QImage tiles = FilledImage(visible.Width(), visible.Height(), backgroundColor);
    if (tiles.isNull())
        return;
    const QRgb dot = ColorToRgb(dotColor);
    for (int y = 0; y < tiles.height(); ++y) {
        if (PositiveModulo(PositiveModulo(static_cast<long long>(visible.top) + y - rect.top, side), period) >= dotSize)
            continue;
        auto* line = reinterpret_cast<QRgb*>(tiles.scanLine(y));
        for (int x = 0; x < tiles.width(); ++x)
            if (PositiveModulo(PositiveModulo(static_cast<long long>(visible.left) + x - rect.left, side), period) <
                dotSize)
                line[x] = dot;
    }
    canvas.Draw(visible.left, visible.top, tiles);
}

void StretchPaintOnRasterPattern(TVrCanvas& canvas, const TRect& rect, const QImage& bitmap, TColor dotColor,
                                 TColor backgroundColor, int dotSize, int gap)
{
    const QSize size = VisibleSize(canvas, rect.Width(), rect.Height());
    if (size.isEmpty() || static_cast<long long>(dotSize) + gap <= 0)
        return;
    QImage mask, picture;
    RasterPair(size, dotColor, backgroundColor, dotSize, gap, mask, picture);
    ShowThroughMask(picture, mask, bitmap, {0, 0, rect.Width(), rect.Height()});
    canvas.Draw(0, 0, picture);
}

void BitmapToLCD(QImage& dest, const QImage& source, TColor dotColor, TColor backgroundColor, int dotSize, int gap)
{
    const long long period = static_cast<long long>(dotSize) + gap;
    const long long width = source.width() * period, height = source.height() * period;
    if (period <= 0 || width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX) {
        dest = QImage();
        return;
    }
    QImage mask, picture;
    RasterPair(QSize(int(width), int(height)), dotColor, backgroundColor, dotSize, gap, mask, picture);
    if (picture.isNull()) {
        dest = QImage();
        return;
    }
    ShowThroughMask(picture, mask, source, {0, 0, int(width), int(height)});
    dest = picture;
}

void StretchPaintOnText(TVrCanvas& canvas, const TRect& rect, int x, int y, const QString& text,
                        const QImage& bitmap, std::uint16_t angle)
{
    const QSize size = VisibleSize(canvas, rect.Width(), rect.Height());
    if (size.isEmpty())
        return;
    QImage mask = FilledImage(size.width(), size.height(), clWhite);
    TVrCanvas maskCanvas(&mask);
    maskCanvas.Font = canvas.Font;
    maskCanvas.Font.Color = clBlack;
    maskCanvas.Brush.Style = TVrBrushStyle::Clear;
    SetCanvasTextAngle(maskCanvas, angle);
    maskCanvas.TextOut(x, y, text);

    QImage picture = FilledImage(size.width(), size.height(), clBlack);
    if (picture.isNull() || !canvas.Target())
        return;
    const TPoint origin = canvas.Origin();
    TVrCanvas(&picture).CopyRect({0, 0, size.width(), size.height()}, *canvas.Target(),
                                 Bounds(origin.x, origin.y, size.width(), size.height()));
    ShowThroughMask(picture, mask, bitmap, {0, 0, rect.Width(), rect.Height()});
    canvas.Draw(0, 0, picture);
}

QImage LoadResourceImage(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
