// Helpers for the drawing-utility tests: images of a known colour and pixel reading.
#pragma once

#include "widgets/Vrsysutils.h"

#include <QImage>
#include <QString>

#include <string>
#include <vector>

inline QImage FilledImage(int width, int height, TColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ColorToRgb(color));
    return image;
}

inline TColor PixelAt(const QImage& image, int x, int y)
{
    return RgbToColor(image.pixel(x, y));
}

// The image as rows of characters: each colour of legend maps to its character, others to '?'.
inline std::vector<std::string> PixelMap(const QImage& image, const std::vector<std::pair<TColor, char>>& legend)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            char c = '?';
            for (const auto& [color, symbol] : legend)
                if (PixelAt(image, x, y) == color)
                    c = symbol;
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

// A fixed font so that text tests do not depend on the machine's default.
inline QFont TestFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

// Number of pixels of the given colour.
inline int CountColor(const QImage& image, TColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += PixelAt(image, x, y) == color;
    return n;
}
