// Pixel art at a higher pixel density: Scale2x (EPX) rounds a glyph's stair-stepped edges the
// way its designer would have drawn them, never blends two colours (so key colours stay
// exact), and leaves straight edges and flat areas as they are.
#include "widgets/Vrsysutils.h"

#include <algorithm>
#include <cmath>

namespace {

QImage Scale2x(const QImage& source)
{
    const int w = source.width(), h = source.height();
    QImage result(w * 2, h * 2, QImage::Format_RGB32);
    auto at = [&](int x, int y) { return source.pixel(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1)); };
    for (int y = 0; y < h; ++y) {
        auto* top = reinterpret_cast<QRgb*>(result.scanLine(2 * y));
        auto* bottom = reinterpret_cast<QRgb*>(result.scanLine(2 * y + 1));
        for (int x = 0; x < w; ++x) {
            const QRgb p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y), d = at(x, y + 1);
            top[2 * x] = c == a && c != d && a != b ? a : p;
            top[2 * x + 1] = a == b && a != c && b != d ? b : p;
            bottom[2 * x] = d == c && d != b && c != a ? c : p;
            bottom[2 * x + 1] = b == d && b != a && d != c ? d : p;
        }
    }
    return result;
}

} // namespace

QImage ScalePixelArt(const QImage& bitmap, qreal scale)
{
    if (scale == 1.0 || bitmap.isNull())
        return bitmap;
    QImage large = bitmap.convertToFormat(QImage::Format_RGB32);
    for (qreal reached = 1.0; reached < scale; reached *= 2)
        large = Scale2x(large);
    // Nearest pixels down to the exact density, so no colour is mixed.
    QImage result = large.scaled(int(std::lround(bitmap.width() * scale)), int(std::lround(bitmap.height() * scale)),
                                 Qt::IgnoreAspectRatio, Qt::FastTransformation);
    result.setDevicePixelRatio(scale);
    return result;
}
