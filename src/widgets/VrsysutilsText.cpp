// Text measuring, layout and text effects.
#include "widgets/Vrsysutils.h"

#include <QFontMetrics>

namespace {

// The platform's measuring of text into a rectangle of the given width limit.
TRect MeasureText(TVrCanvas& canvas, const QString& text, int widthLimit)
{
    TRect rect{0, 0, widthLimit, 0};
    canvas.DrawText(text, rect, VrTextFormat::CalcRect | VrTextFormat::WordBreak);
    return rect;
}

} // namespace

void CalcTextBounds(TVrCanvas& canvas, const TRect& area, TRect& textRect, const QString& text)
{
    textRect = MeasureText(canvas, text, area.Width());
    const int width = textRect.Width(), height = textRect.Height();
    textRect.Offset(area.left + (area.Width() - width + 1) / 2, area.top + (area.Height() - height + 1) / 2);
}

QSize GetTextSize(TVrCanvas& canvas, const QString& text)
{
    TRect rect;
    canvas.DrawText(text, rect, VrTextFormat::CalcRect);
    return {rect.Width(), rect.Height()};
}

void DrawButtonText(TVrCanvas& canvas, const QString& text, TRect rect, bool enabled)
{
    using namespace VrTextFormat;
    canvas.Brush.Style = TVrBrushStyle::Clear;
    if (enabled) {
        canvas.DrawText(text, rect, Center | VCenter | SingleLine);
        return;
    }
    rect.Offset(1, 1);
    canvas.Font.Color = clBtnHighlight;
    canvas.DrawText(text, rect, Left);
    rect.Offset(-1, -1);
    canvas.Font.Color = clBtnShadow;
    canvas.DrawText(text, rect, Left);
}

void CalcImageTextLayout(TVrCanvas& canvas, const TRect& client, const TPoint& offset, const QString& caption,
                         int layout, int margin, int spacing, const TPoint& imageSize, TPoint& imagePos,
                         TRect& textRect)
{
    const TPoint clientSize{client.Width(), client.Height()};
    textRect = caption.isEmpty() ? TRect{} : MeasureText(canvas, caption, clientSize.x);
    const TPoint textSize{textRect.Width(), textRect.Height()};
    const bool horizontal = layout == 1 || layout == 2; // image beside the text
    TPoint textPos;
    imagePos = {};
    if (horizontal) {
        imagePos.y = (clientSize.y - imageSize.y + 1) / 2;
        textPos.y = (clientSize.y - textSize.y + 1) / 2;
    } else if (layout == 3 || layout == 4) {
        imagePos.x = (clientSize.x - imageSize.x + 1) / 2;
        textPos.x = (clientSize.x - textSize.x + 1) / 2;
    }
    if (textSize.x == 0 || imageSize.x == 0)
        spacing = 0;

    // Extents along the layout's axis.
    const int clientExtent = horizontal ? clientSize.x : clientSize.y;
    const int imageExtent = horizontal ? imageSize.x : imageSize.y;
    const int textExtent = horizontal ? textSize.x : textSize.y;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (clientExtent - (imageExtent + textExtent)) / 3;
            spacing = margin;
        } else {
            margin = (clientExtent - (imageExtent + spacing + textExtent) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (clientExtent - (margin + imageExtent) - textExtent) / 2;
    }

    switch (layout) {
    case 1:
        imagePos.x = margin;
        textPos.x = imagePos.x + imageSize.x + spacing;
        break;
    case 2:
        imagePos.x = clientSize.x - margin - imageSize.x;
        textPos.x = imagePos.x - spacing - textSize.x;
        break;
    case 3:
        imagePos.y = margin;
        textPos.y = imagePos.y + imageSize.y + spacing;
        break;
    case 4:
        imagePos.y = clientSize.y - margin - imageSize.y;
        textPos.y = imagePos.y - spacing - textSize.y;
        break;
    default:
        break;
    }
    imagePos.x += client.left + offset.x;
    imagePos.y += client.top + offset.y;
    textRect.Offset(textPos.x + client.left + offset.x, textPos.y + client.top + offset.y);
}

void Draw3DText(TVrCanvas& canvas, int x, int y, const QString& text, TColor firstColor, TColor secondColor)
{
    const TColor own = canvas.Font.Color;
    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.Font.Color = secondColor;
    canvas.TextOut(x + 1, y + 1, text);
    canvas.Font.Color = firstColor;
    canvas.TextOut(x - 1, y - 1, text);
    canvas.Font.Color = own;
    canvas.TextOut(x, y, text);
}

void DrawShadowTextExt(TVrCanvas& canvas, int x, int y, const QString& text, TColor shadowColor, int dx, int dy)
{
    const TColor own = canvas.Font.Color;
    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.Font.Color = shadowColor;
    canvas.TextOut(x + dx, y + dy, text);
    canvas.Font.Color = own;
    canvas.TextOut(x, y, text);
}

void DrawOutlinedText(TVrCanvas& canvas, int x, int y, const QString& text, TColor outlineColor, int width)
{
    const TColor own = canvas.Font.Color;
    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.Font.Color = outlineColor;
    for (long long i = 1; i <= width; ++i) {
        const int left = int(x - i), right = int(x + i), top = int(y - i), bottom = int(y + i);
        canvas.TextOut(right, bottom, text);
        canvas.TextOut(left, bottom, text);
        canvas.TextOut(left, top, text);
        canvas.TextOut(right, top, text);
    }
    canvas.Font.Color = own;
    canvas.TextOut(x, y, text);
}

void SetCanvasTextAngle(TVrCanvas& canvas, std::uint16_t angle)
{
    canvas.Font.Escapement = int(angle) * 10;
}

void CanvasTextOutAngle(TVrCanvas& canvas, int x, int y, std::uint16_t angle, const QString& text)
{
    const TVrCanvasStateGuard state(canvas); // puts the previous font back
    SetCanvasTextAngle(canvas, angle);
    canvas.TextOut(x, y, text);
}

QSize ImageTextExtent(const QFont& font, const QString& caption, int layout, int margin, int spacing, QSize imageSize)
{
    const QSize text = caption.isEmpty()
                           ? QSize(0, 0)
                           : QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, caption).size();
    const int edge = margin < 0 ? 2 : margin;
    const int gap = caption.isEmpty() ? 0 : spacing < 0 ? 4 : spacing;
    const int frame = 4; // across the layout's axis
    if (layout == 1 || layout == 2)
        return {2 * edge + imageSize.width() + gap + text.width(), std::max(imageSize.height(), text.height()) + frame};
    return {std::max(imageSize.width(), text.width()) + frame, 2 * edge + imageSize.height() + gap + text.height()};
}
