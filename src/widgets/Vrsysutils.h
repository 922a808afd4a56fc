// Vrsysutils: the widget library's stateless drawing helpers: integer geometry, colour
// arithmetic, gradients, 3-D frames, text layout and effects, bitmap patterns.
//
// Every function works only on its arguments and on the canvas or bitmap it is given (see
// VrsysutilsCanvas.h for the canvas and bitmap conventions). Temporary bitmaps are values and
// go away on every exit, exceptions included.
#pragma once

#include "widgets/VrsysutilsCanvas.h"
#include "widgets/VrsysutilsTypes.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

class QObject;
class QWidget;

enum TVrShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// Integer and rectangle helpers.
int SolveForX(int a, int b);  // a * 0.01 * b, truncated
int SolveForY(int a, int b);  // a * 100 / b truncated; 0 when b is 0
int Percent(int a, int b);    // a / b * 100 truncated; 0 when b is 0
int MinIntVal(int a, int b);
int MaxIntVal(int a, int b);
bool InRange(int value, int low, int high);
void AdjustRange(int& value, int low, int high);
int WidthOf(const TRect& rect);
int HeightOf(const TRect& rect);
bool CompareRect(const TRect& a, const TRect& b);
// Answers the text up to the first delimiter and removes it, delimiter included, from text;
// without a delimiter answers the whole text and leaves text empty.
QString GetStrParam(QString& text, QChar delimiter);

// Object and bitmap housekeeping.
template <class T>
void FreeObject(std::unique_ptr<T>& object)
{
    object.reset();
}
void AllocateBitmaps(std::span<std::unique_ptr<QImage>> bitmaps);
void DeallocateBitmaps(std::span<std::unique_ptr<QImage>> bitmaps);
void ClearBitmapCanvas(const TRect& rect, QImage& bitmap, TColor color);
TRect BitmapRect(const QImage& bitmap);
TRect GlyphRect(const QImage& bitmap, int index, int count);
// A pixel-art bitmap for a device of the given pixel ratio (the result carries it): edges
// smoothed by Scale2x, colours never mixed; the bitmap itself at ratio 1.
QImage ScalePixelArt(const QImage& bitmap, qreal scale);
// An image of the library's resources, in a format Qt decodes itself: read without guessing the
// format, so that no image-format plugin is loaded for it.
QImage LoadResourceImage(const QString& path, const char* format);
// The outermost widget reached from component's parent through widget parents; nullptr when
// component's parent is not a widget.
QWidget* GetOwnerControl(const QObject* component);

// Colours.
TColor Color2RGB(TColor color);
void GetRGB(TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);
TColor AdjustColor(TColor color, int amount);
std::unique_ptr<QImage> CreateDitherPattern(TColor first, TColor second);
void ChangeBitmapColor(QImage& bitmap, TColor oldColor, TColor newColor);

// Gradients and shapes. A step below 1 draws nothing.
void DrawGradient(TVrCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, int direction,
                  int step);
void DrawGradientExt(TVrCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor, int style,
                     int step);
void DrawShape(TVrCanvas& canvas, TVrShapeType shape, int x, int y, int width, int height);

// Frames: draw width nested frames inside rect and leave rect shrunk by width on every side.
void DrawFrame3D(TVrCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
void DrawOutline3D(TVrCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// Text.
void CalcTextBounds(TVrCanvas& canvas, const TRect& area, TRect& textRect, const QString& text);
QSize GetTextSize(TVrCanvas& canvas, const QString& text);
void DrawButtonText(TVrCanvas& canvas, const QString& text, TRect rect, bool enabled);
// layout: 1 image left of the text, 2 right of it, 3 above it, 4 below it.
// The smallest client size in which CalcImageTextLayout (layout code 1 to 4) places an image of
// imageSize and the one-line caption side by side with room around them: a control's size hint.
QSize ImageTextExtent(const QFont& font, const QString& caption, int layout, int margin, int spacing, QSize imageSize);
void CalcImageTextLayout(TVrCanvas& canvas, const TRect& client, const TPoint& offset, const QString& caption,
                         int layout, int margin, int spacing, const TPoint& imageSize, TPoint& imagePos,
                         TRect& textRect);
void Draw3DText(TVrCanvas& canvas, int x, int y, const QString& text, TColor firstColor, TColor secondColor);
void DrawShadowTextExt(TVrCanvas& canvas, int x, int y, const QString& text, TColor shadowColor, int dx, int dy);
void DrawOutlinedText(TVrCanvas& canvas, int x, int y, const QString& text, TColor outlineColor, int width);
void SetCanvasTextAngle(TVrCanvas& canvas, std::uint16_t angle);
void CanvasTextOutAngle(TVrCanvas& canvas, int x, int y, std::uint16_t angle, const QString& text);
void StretchPaintOnText(TVrCanvas& canvas, const TRect& rect, int x, int y, const QString& text,
                        const QImage& bitmap, std::uint16_t angle);

// Bitmaps and patterns.
void DrawTiledBitmap(TVrCanvas& canvas, const TRect& rect, const QImage& bitmap);
void DrawBitmap(TVrCanvas& canvas, const TRect& dest, const QImage& bitmap, const TRect& source, bool transparent,
                TColor transparentColor);
void DrawRasterPattern(TVrCanvas& canvas, const TRect& rect, TColor dotColor, TColor backgroundColor, int dotSize,
                       int gap);
void StretchPaintOnRasterPattern(TVrCanvas& canvas, const TRect& rect, const QImage& bitmap, TColor dotColor,
                                 TColor backgroundColor, int dotSize, int gap);
void BitmapToLCD(QImage& dest, const QImage& source, TColor dotColor, TColor backgroundColor, int dotSize,
                 int gap);
// Paints what lies under control on its parent (the parent's own painting, then the siblings
// stacked below control) onto canvas, whose (0, 0) is control's top-left corner.
void CopyParentImage(QWidget* control, TVrCanvas& canvas);
// True while widget paints itself as a copy for CopyParentImage.
bool IsPaintingCopy(const QWidget* widget);
