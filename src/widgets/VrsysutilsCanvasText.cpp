// Canvas text: written unsmoothed so that text masks stay two-coloured and pixel tests hold.
#include "widgets/VrsysutilsCanvas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QPainter>

QFont TVrCanvas::RenderFont() const
{
    QFont font = Font.Description;
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
    return font;
}

int TVrCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(RenderFont(), image).horizontalAdvance(text);
}

int TVrCanvas::TextHeight(const QString& /*text*/) const
{
    return QFontMetrics(RenderFont(), image).height();
}

void TVrCanvas::TextOut(int x, int y, const QString& text)
{
    const QFont font = RenderFont();
    const QFontMetrics metrics(font, image);
    WithPainter([&](QPainter& p) {
        p.translate(x, y);
        p.rotate(-Font.Escapement / 10.0);
        if (Brush.Style == TVrBrushStyle::Solid)
            p.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                       QColor::fromRgb(ColorToRgb(Brush.Color)));
        p.setFont(font);
        p.setPen(QColor::fromRgb(ColorToRgb(Font.Color)));
        p.drawText(QPoint(0, metrics.ascent()), text);
    });
    penPos = {x + metrics.horizontalAdvance(text), y};
}

namespace {

int QtTextFlags(std::uint32_t format)
{
    using namespace VrTextFormat;
    int flags = Qt::TextExpandTabs;
    // "&x" marks the accelerator x: underlined where the platform style shows it, never drawn.
    if (!(format & NoPrefix))
        flags |= QApplication::style() && !QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut)
                     ? Qt::TextHideMnemonic
                     : Qt::TextShowMnemonic;
    if (format & Right)
        flags |= Qt::AlignRight;
    else if (format & Center)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    if (format & SingleLine) {
        flags |= Qt::TextSingleLine;
        if (format & Bottom)
            flags |= Qt::AlignBottom;
        else if (format & VCenter)
            flags |= Qt::AlignVCenter;
        else
            flags |= Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
        if (format & WordBreak)
            flags |= Qt::TextWordWrap;
    }
    return flags;
}

} // namespace

QSize TVrCanvas::MeasureText(const QFont& font, int flags, int widthLimit, const QString& text)
{
    const int dpiX = image ? image->logicalDpiX() : 0, dpiY = image ? image->logicalDpiY() : 0;
    const Measured* last = lastMeasured ? &*lastMeasured : nullptr;
    if (last && last->flags == flags && last->widthLimit == widthLimit && last->dpiX == dpiX && last->dpiY == dpiY
        && last->text == text && last->font == font)
        return last->size;
    const QSize size = QFontMetrics(font, image).boundingRect(QRect(0, 0, widthLimit, 0x3FFFFFFF), flags, text).size();
    lastMeasured = Measured{font, dpiX, dpiY, flags, widthLimit, text, size};
    return size;
}

int TVrCanvas::DrawText(const QString& text, TRect& rect, std::uint32_t format)
{
    const QFont font = RenderFont();
    const int flags = QtTextFlags(format);
    if (format & VrTextFormat::CalcRect) {
        QSize size(0, 0);
        if (!text.isEmpty()) {
            // Wrapping needs a width; without one the text keeps its own line breaks only.
            const int limit = (flags & Qt::TextWordWrap) && rect.Width() > 0 ? rect.Width() : 0x3FFFFFFF;
            size = MeasureText(font, flags & ~Qt::AlignVertical_Mask, limit, text);
        }
        rect.right = rect.left + size.width();
        rect.bottom = rect.top + size.height();
        return size.height();
    }
    const QRect box = rect.ToQRect();
    int height = 0;
    WithPainter([&](QPainter& p) {
        if (!(format & VrTextFormat::NoClip))
            p.setClipRect(box, Qt::IntersectClip);
        p.setFont(font);
        QRect used;
        // Only a background needs the text's extent before the drawing; otherwise the drawing
        // reports it, and the text is laid out once.
        if (Brush.Style == TVrBrushStyle::Solid) {
            used = p.boundingRect(box, flags, text);
            p.fillRect(used, QColor::fromRgb(ColorToRgb(Brush.Color)));
        }
        p.setPen(QColor::fromRgb(ColorToRgb(Font.Color)));
        p.drawText(box, flags, text, &used);
        height = used.height();
    });
    return height;
}
