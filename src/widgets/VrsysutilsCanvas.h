// The library's canvas: drawing state (pen, brush, font, copy mode, origin, clip) over a
// QImage of Format_RGB32, with the pixel rules of the platform the library was designed on.
//
// A bitmap is a QImage (Format_RGB32); a monochrome bitmap is one that holds only clBlack and
// clWhite pixels. A canvas does not own its image: it draws on whatever image it points at, so
// an image member may be resized or reassigned while its canvas stays valid.
//
// Pixel rules, all without antialiasing:
// - FillRect covers left..right-1 and top..bottom-1 with the brush (ignoring the pen).
// - A line or polyline of a solid pen of width 0 or 1 paints every pixel but its final point.
// - Rectangle/RoundRect/Ellipse(l, t, r, b) outline with the pen and fill with the brush
//   within l..r-1, t..b-1.
// - Text is written unsmoothed in Font.Color; with a solid brush its cell is first filled with
//   the brush colour, with a clear brush the background shows through.
// - Draw, StretchDraw and CopyRect combine source and destination by CopyMode; stretching
//   picks the nearest source pixel.
// Coordinates are logical: device = (logical + origin) x the image's device pixel ratio, and only
// pixels inside the clip (and the image) change. On a denser image every logical pixel covers its
// device pixels, while shapes and text are drawn at the full device resolution.
#pragma once

#include "widgets/VrsysutilsTypes.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

enum class TVrBrushStyle { Solid, Clear };
enum class TVrPenStyle { Solid, Dot, Clear };
// Source copy, source XOR destination, source AND destination.
enum class TVrCopyMode { SrcCopy, SrcInvert, SrcAnd };

struct TVrBrush {
    TColor Color = clWhite;
    TVrBrushStyle Style = TVrBrushStyle::Solid;
    // A pattern brush when not null: tiled from the device's (0, 0); Color is then unused.
    QImage Bitmap;
};

struct TVrPen {
    TColor Color = clBlack;
    int Width = 1;
    TVrPenStyle Style = TVrPenStyle::Solid;
};

struct TVrFont {
    QFont Description;
    TColor Color = clWindowText;
    // Text direction, anticlockwise, in tenths of a degree.
    int Escapement = 0;
};

// Format flags of DrawText, with the platform's values (the controls' alignment tables
// hold these numbers).
namespace VrTextFormat {
constexpr std::uint32_t Left = 0x0;
constexpr std::uint32_t Center = 0x1;
constexpr std::uint32_t Right = 0x2;
constexpr std::uint32_t VCenter = 0x4;
constexpr std::uint32_t Bottom = 0x8;
constexpr std::uint32_t WordBreak = 0x10;
constexpr std::uint32_t SingleLine = 0x20;
constexpr std::uint32_t NoClip = 0x100;
constexpr std::uint32_t CalcRect = 0x400;
constexpr std::uint32_t NoPrefix = 0x800; // "&" is drawn as it stands instead of marking an accelerator
} // namespace VrTextFormat

class TVrCanvas {
public:
    TVrCanvas() = default;
    explicit TVrCanvas(QImage* target) : image(target) {}

    TVrPen Pen;
    TVrBrush Brush;
    TVrFont Font;
    TVrCopyMode CopyMode = TVrCopyMode::SrcCopy;

    QImage* Target() const { return image; }
    // The target's device pixel ratio (1 without a target).
    qreal Scale() const;
    void SetTarget(QImage* target) { image = target; }

    void FillRect(const TRect& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Rectangle(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);

    void TextOut(int x, int y, const QString& text);
    // Measures (VrTextFormat::CalcRect: rect keeps left/top and gets the text's size) or draws
    // the text into rect; answers the text height.
    int DrawText(const QString& text, TRect& rect, std::uint32_t format);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    TColor Pixel(int x, int y) const; // clNone outside the image
    void SetPixel(int x, int y, TColor color);

    void Draw(int x, int y, const QImage& bitmap);
    void StretchDraw(const TRect& dest, const QImage& bitmap);
    void CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect);
    // Copies sourceRect of bitmap into dest; source pixels of keyColor take the brush instead,
    // or leave the destination unchanged when the brush is clear.
    void BrushCopy(const TRect& dest, const QImage& bitmap, const TRect& sourceRect, TColor keyColor);
    // The block copy 0x00E20746 of a mask placed at dest's top-left: the brush where the mask
    // is white, the destination where it is black (bitwise: D = S & P | ~S & D).
    void MaskCopyBrush(const TRect& dest, const QImage& mask);

    void SaveState();
    void RestoreState();
    void MoveOrigin(int dx, int dy);
    TPoint Origin() const { return origin; }
    // Narrows the clip to rect (logical coordinates).
    void ClipTo(const TRect& rect);
    TRect ClipRect() const; // logical

    // For drawing that only Qt provides (rendering a widget): a painter on the target with this
    // canvas's origin and clip, no antialiasing. No other painter may be open on the target
    // while the canvas draws.
    void WithPainter(const std::function<void(QPainter&)>& paint);

private:
    struct State {
        TVrPen pen;
        TVrBrush brush;
        TVrFont font;
        TVrCopyMode copyMode;
        TPoint origin;
        TRect clip;
        bool clipped;
    };

    TRect DeviceClip() const;
    void PlotDevice(int x, int y, QRgb rgb);
    // The brush resolved once per primitive, not once per pixel: its pattern bitmap in
    // Format_RGB32, or null and its colour; a pattern keeps its logical pixel size on a denser device.
    struct BrushSource {
        QImage tile;
        QRgb colour = 0;
        qreal scale = 1.0;
        QRgb At(int x, int y) const; // the brush's pixel at device (x, y)
    };
    BrushSource ResolveBrush() const;
    void PlotLogicalPixel(int x, int y, QRgb rgb); // x, y already moved by the origin
    // Calls fn(destination pixel, nearest source pixel, device x, device y) over dest ∩ clip.
    template <class Fn>
    void ForEachStretched(const TRect& dest, const QImage& source, const TRect& sourceRect, Fn fn);
    void PaintShape(const std::function<void(QPainter&)>& paint);
    QFont RenderFont() const;
    QSize MeasureText(const QFont& font, int flags, int widthLimit, const QString& text);

    QImage* image = nullptr;
    TPoint origin;
    TRect clip;           // device coordinates, valid when clipped
    bool clipped = false;
    // The last text measured: a control measures the same caption at every repaint.
    struct Measured {
        QFont font;
        int dpiX = 0, dpiY = 0, flags = 0, widthLimit = 0;
        QString text;
        QSize size;
    };
    std::optional<Measured> lastMeasured;
    TPoint penPos;
    std::vector<State> saved;
};

// Saves a canvas's drawing state and restores it on every exit of the scope.
class TVrCanvasStateGuard {
public:
    explicit TVrCanvasStateGuard(TVrCanvas& canvas) : canvas(canvas) { canvas.SaveState(); }
    ~TVrCanvasStateGuard() { canvas.RestoreState(); }
    TVrCanvasStateGuard(const TVrCanvasStateGuard&) = delete;
    TVrCanvasStateGuard& operator=(const TVrCanvasStateGuard&) = delete;

private:
    TVrCanvas& canvas;
};

// An image's size in logical pixels.
QSize LogicalSize(const QImage& image);
// Makes image an RGB32 image of the logical size at the pixel ratio, unless it is one already.
void SizeImage(QImage& image, const QSize& logical, qreal scale);

// A copy of bitmap in which pixels of keyColor are white and all others black: the platform's
// colour-to-monochrome copy with keyColor as the source's background.
QImage ColorMask(const QImage& bitmap, TColor keyColor);
