// On a screen of twice the pixel density the controls draw at full resolution: their glyphs and
// captions show detail finer than a logical pixel instead of a pixel-doubled 1x image.
#include "widgets/VrCheckLed.h"
#include "widgets/VrLeds.h"

#include <QFont>
#include <gtest/gtest.h>

namespace {

QImage Rendered(TVrControlBase& control, qreal scale)
{
    QImage screen(control.size() * scale, QImage::Format_RGB32);
    screen.setDevicePixelRatio(scale);
    screen.fill(Qt::black);
    control.WMPaint(&screen);
    return screen;
}

// 2 x 2 device blocks within a logical rectangle whose pixels differ: none in a doubled image.
int FineBlocks(const QImage& image, const QRect& logical)
{
    int blocks = 0;
    for (int y = logical.top(); y <= logical.bottom(); ++y)
        for (int x = logical.left(); x <= logical.right(); ++x) {
            const QRgb first = image.pixel(2 * x, 2 * y);
            if (image.pixel(2 * x + 1, 2 * y) != first || image.pixel(2 * x, 2 * y + 1) != first ||
                image.pixel(2 * x + 1, 2 * y + 1) != first)
                ++blocks;
        }
    return blocks;
}

TEST(HighDensity, LedAndCheckLedDrawFinerThanALogicalPixelAndMatchTheirLayoutAt1x)
{
    TVrLed led;
    led.setGeometry(0, 0, 73, 25);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    led.setFont(font);
    led.SetCaption(QStringLiteral("Offline"));
    const QImage single = Rendered(led, 1);
    const QRect glyph = led.ImageRect().ToQRect();
    const QRect caption = led.TextRect().ToQRect();
    const QImage dense = Rendered(led, 2);
    ASSERT_EQ(led.ImageRect().ToQRect(), glyph); // the same layout in logical pixels
    EXPECT_GT(FineBlocks(dense, glyph), 0) << "the glyph's edge is a doubled 1x image";
    EXPECT_GT(FineBlocks(dense, caption), 0) << "the caption is a doubled 1x image";
    // Flat areas keep their colours: the lit centre of the glyph and the background.
    const QPoint centre = glyph.center();
    EXPECT_EQ(dense.pixel(2 * centre.x(), 2 * centre.y()), single.pixel(centre));
    EXPECT_EQ(dense.pixel(2 * 70, 2 * 2), single.pixel(70, 2));

    TVrCheckLed check;
    check.setFont(font);
    check.SetCaption(QStringLiteral("Enabled"));
    check.SetChecked(true);
    const QImage checkDense = Rendered(check, 2);
    EXPECT_GT(FineBlocks(checkDense, check.TextRect().ToQRect()), 0) << "the check LED's caption is doubled";
    const QPoint square = check.CheckRect().ToQRect().center();
    EXPECT_EQ(RgbToColor(checkDense.pixel(2 * square.x(), 2 * square.y())), check.Palette()->High());
}

} // namespace
