#include "widgets/VrLeds.h"
#include "widgets/Vrsysutils.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <map>

namespace {

TColor At(const QImage& image, int x, int y)
{
    return RgbToColor(image.pixel(x, y));
}

QImage Rendered(TVrControlBase& control)
{
    QImage screen(control.size(), QImage::Format_RGB32);
    screen.fill(0xFF123456);
    control.WMPaint(&screen);
    return screen;
}

// The glyph rows, off frame then on frame, in the marker colours.
const std::map<char, TColor> Marker{{'k', clBlack}, {'m', clMaroon}, {'r', clRed},
                                    {'s', clSilver}, {'g', clGray},  {'w', clWhite}};

void ExpectGlyph(const QImage& glyph, const std::vector<std::string>& rows)
{
    ASSERT_EQ(glyph.height(), int(rows.size()));
    ASSERT_EQ(glyph.width(), int(rows[0].size()));
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            EXPECT_EQ(At(glyph, x, y), Marker.at(rows[y][x])) << x << "," << y;
}

TEST(TVrLed, BuiltInGlyphsHoldTheirPixelRows)
{
    TVrLed led;
    led.Palette()->SetLow(clMaroon);
    led.Palette()->SetHigh(clRed);
    ExpectGlyph(led.GlyphBitmap(), {"kkkkkkkkkkkkkkkkkk", "kkkkkkkkkkkkkkkkkk", "kkkssmkkkkkkssrkkk",
                                    "kksmmmmkkkksrrrrkk", "kkmmmmmkkkkrrrrrkk", "kkmmmmmkkkkrrrrrkk",
                                    "kkkmmmkkkkkkrrrkkk", "kkkkkkkkkkkkkkkkkk", "kkkkkkkkkkkkkkkkkk"});
    led.SetLedType(ltRectangle);
    ExpectGlyph(led.GlyphBitmap(), {"kkkkkkkkkkkkkkkkkkkk", "kggggggggkkssssssssk", "kgmmmmmmmkksrrrrrrrk",
                                    "kmmmmmmmmkkrrrrrrrrk", "kkkkkkkkkkkkkkkkkkkk"});
    led.SetLedType(ltLargeRect);
    const std::string border(34, 'w');
    const std::string line = "wkkkkkkkkkkkkkkkwwkkkkkkkkkkkkkkkw";
    const std::string lit = "wkmmmmmmmmmmmmmkwwkrrrrrrrrrrrrrkw";
    ExpectGlyph(led.GlyphBitmap(), {border, line, lit, lit, lit, line, border});
}

TEST(TVrLed, NewLedIsBlackWithTheMaroonOffFrameOfTheRoundGlyph)
{
    TVrLed led;
    EXPECT_EQ(led.size(), QSize(25, 25));
    EXPECT_EQ(led.Color(), clBlack);
    EXPECT_FALSE(led.ParentColor());
    EXPECT_EQ(led.FontColor(), clWhite);
    EXPECT_FALSE(led.Active());
    EXPECT_EQ(led.LedType(), ltRounded);
    EXPECT_EQ(led.Spacing(), 5);
    EXPECT_EQ(led.Margin(), -1);
    EXPECT_EQ(led.Layout(), ImageLeft);
    EXPECT_FALSE(led.Transparent());
    EXPECT_TRUE(led.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(led.Palette()->Low(), clMaroon);
    EXPECT_EQ(led.Palette()->High(), clRed);

    led.SetColor(clNavy); // the black key shows the background colour
    const QImage image = Rendered(led);
    // No caption: the 9 x 9 frame is centred, at (8, 8).
    EXPECT_EQ(led.ImageRect(), (TRect{8, 8, 17, 17}));
    EXPECT_EQ(At(image, 8, 8), clNavy);
    EXPECT_EQ(At(image, 8 + 3, 8 + 2), clSilver);
    EXPECT_EQ(At(image, 8 + 5, 8 + 2), clMaroon);
    EXPECT_EQ(At(image, 8 + 4, 8 + 6), clMaroon);
    EXPECT_EQ(At(image, 0, 0), clNavy);
}

TEST(TVrLed, PaletteLowShowsAtOnceWhileHighNeedsActive)
{
    TVrLed led;
    led.Palette()->SetLow(clGreen);
    EXPECT_EQ(At(Rendered(led), 13, 10), clGreen);
    led.Palette()->SetHigh(clLime);
    EXPECT_EQ(At(Rendered(led), 13, 10), clGreen);
    led.SetActive(true);
    EXPECT_EQ(At(Rendered(led), 13, 10), clLime);

    TVrPalette other;
    other.SetLow(clYellow);
    led.SetActive(false);
    led.SetPalette(&other);
    EXPECT_EQ(At(Rendered(led), 13, 10), clYellow);
}

TEST(TVrLed, GlyphFollowsAChangeOfTheSystemColours)
{
    TVrLed led;
    led.Palette()->SetLow(clBtnFace);
    const QPalette saved = QApplication::palette();
    const TColor before = Color2RGB(clBtnFace);
    QPalette changed = saved;
    for (QPalette::ColorRole role : {QPalette::Button, QPalette::Window})
        changed.setColor(role, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(changed);
    QApplication::processEvents(); // the change reaches the widgets through the event loop
    const TColor after = Color2RGB(clBtnFace);
    const TColor glyphAfter = At(led.GlyphBitmap(), 5, 2);
    QApplication::setPalette(saved);
    QApplication::processEvents();
    ASSERT_NE(before, after);
    EXPECT_EQ(glyphAfter, after);
}

TEST(TVrLed, CaptionIsDrawnBesideTheGlyphInTheFontColour)
{
    TVrLed led;
    led.resize(80, 25);
    led.SetCaption("Offline");
    const QImage image = Rendered(led);
    EXPECT_LT(led.ImageRect().right, led.TextRect().left); // glyph left of the caption
    EXPECT_EQ(led.TextRect().left - led.ImageRect().right, 5);
    int white = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = led.TextRect().left; x < 80; ++x)
            white += At(image, x, y) == clWhite;
    EXPECT_GT(white, 10);
}

TEST(TVrLed, CustomGlyphUsesTheControlColourAsKeyAndKeepsItsColours)
{
    TVrLed led;
    led.SetColor(clNavy);
    led.SetLedType(ltCustom);
    EXPECT_TRUE(led.GlyphBitmap().isNull());
    const QImage empty = Rendered(led);
    EXPECT_TRUE(led.ImageRect().IsEmpty()); // laid out as a glyph of 0 x 0
    EXPECT_EQ(At(empty, 12, 12), clNavy);

    // Odd width 5: frames of 2, the last column never shows.
    QImage glyph(5, 1, QImage::Format_RGB32);
    const TColor columns[] = {clMaroon, clNavy, clRed, clYellow, clWhite};
    for (int x = 0; x < 5; ++x)
        glyph.setPixel(x, 0, ColorToRgb(columns[x]));
    led.Palette()->SetLow(clLime); // no recolouring of a custom glyph
    led.SetGlyphs(glyph);
    led.SetColor(clBlack);
    QImage image = Rendered(led);
    const TRect r = led.ImageRect();
    ASSERT_EQ(r.Width(), 2);
    EXPECT_EQ(At(image, r.left, r.top), clMaroon);
    EXPECT_EQ(At(image, r.left + 1, r.top), clNavy);
    led.SetColor(clNavy); // now the key: the background (navy) shows, i.e. unchanged pixels
    led.SetActive(true);
    image = Rendered(led);
    EXPECT_EQ(At(image, r.left, r.top), clRed);
    EXPECT_EQ(At(image, r.left + 1, r.top), clYellow);
    EXPECT_EQ(At(image, r.left + 2, r.top), clNavy);
}

// Counts paints and records them beside OnChange calls.
class RecordingLed : public TVrLed
{
public:
    explicit RecordingLed(QWidget* parent) : TVrLed(parent)
    {
        OnChange = [this](QObject* sender) { events << (sender == this ? "change" : "?"); };
    }
    QStringList events;

protected:
    void Paint() override
    {
        events << "paint";
        TVrLed::Paint();
    }
};

TEST(TVrLed, ActiveRepaintsFirstThenFiresOnChangeOnce)
{
    QWidget window;
    auto* led = new RecordingLed(&window);
    window.show();
    QApplication::processEvents();
    led->events.clear();
    led->SetActive(false);
    EXPECT_TRUE(led->events.isEmpty());
    led->SetActive(true);
    EXPECT_EQ(led->events, QStringList({"paint", "change"}));
    led->events.clear();
    led->SetLayout(ImageLeft);
    led->SetMargin(-1);
    led->SetSpacing(5);
    led->SetLedType(ltRounded);
    EXPECT_TRUE(led->events.isEmpty());
    led->SetSpacing(6);
    led->SetCaption("x");
    EXPECT_EQ(led->events, QStringList({"paint", "paint"}));
}

TEST(TVrLed, TransparentLedShowsItsParentThroughTheKeyColour)
{
    QWidget window;
    window.resize(60, 40);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0x40));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* led = new TVrLed(&window);
    led->move(10, 5);
    led->SetTransparent(true);
    window.show();
    QApplication::processEvents();
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(10 + 8, 5 + 8), qRgb(0xC0, 0xC0, 0x40));  // black key of the glyph
    EXPECT_EQ(shot.pixel(10 + 13, 5 + 10), qRgb(0x80, 0, 0));     // the maroon off frame
    EXPECT_EQ(shot.pixel(10, 5), qRgb(0xC0, 0xC0, 0x40));          // the buffer's background
}

TEST(TVrUserLed, GradientInsideOutlineAndBevel)
{
    TVrUserLed led;
    led.SetOutlineColor(clYellow); // width 0: no outline
    EXPECT_NE(At(Rendered(led), 0, 0), clYellow);
    EXPECT_EQ(led.size(), QSize(10, 20));
    EXPECT_EQ(led.PaletteEx()->Low1(), clMaroon);
    EXPECT_EQ(led.PaletteEx()->High1(), clRed);
    EXPECT_EQ(led.Bevel()->InnerStyle(), bsNone);
    EXPECT_EQ(led.Bevel()->InnerHighlight(), clLime);
    led.SetOutlineWidth(1);
    led.SetOutlineColor(clYellow);
    QImage image = Rendered(led);
    EXPECT_EQ(At(image, 0, 0), clYellow);
    EXPECT_EQ(At(image, 9, 19), clYellow);
    EXPECT_EQ(At(image, 1, 1), clBlack); // the bevel's outer outline
    // Default bevel with inner style none: 1 + 1 + inner space 1 inside the outline.
    TRect inside{1, 1, 9, 19};
    led.Bevel()->GetVisibleArea(inside);
    // The gradient runs from Low1 at the top towards Low2 (black) in one-pixel bands.
    const int h = inside.Height();
    EXPECT_EQ(At(image, inside.left, inside.top), clMaroon);
    EXPECT_EQ(At(image, inside.right - 1, inside.bottom - 1), RGBColor(0x80 - 0x80 * (h - 1) / h, 0, 0));
    led.SetActive(true);
    image = Rendered(led);
    EXPECT_EQ(At(image, inside.left, inside.top), clRed);
    EXPECT_EQ(At(image, inside.left, inside.bottom - 1), RGBColor(0xFF - 0xFF * (h - 1) / h, 0, 0));
}

TEST(TVrUserLed, OwnerDrawShowsColourAndCallsOnDraw)
{
    TVrUserLed led;
    led.SetColor(clNavy);
    led.SetDrawStyle(dsOwnerDraw);
    QImage image = Rendered(led);
    EXPECT_EQ(At(image, 0, 0), clNavy);
    EXPECT_EQ(At(image, 9, 19), clNavy);

    TRect given;
    led.OnDraw = [&](QObject* sender, TVrCanvas& canvas, TRect rect) {
        EXPECT_EQ(sender, &led);
        given = rect;
        canvas.SetPixel(2, 3, clRed);
    };
    image = Rendered(led);
    EXPECT_EQ(given, (TRect{0, 0, 10, 20}));
    EXPECT_EQ(At(image, 2, 3), clRed);
}

TEST(TVrUserLed, ActiveFiresOnChangeOnlyOnAChange)
{
    TVrUserLed led;
    int changes = 0;
    led.OnChange = [&](QObject*) { ++changes; };
    led.SetActive(false);
    led.SetActive(true);
    led.SetActive(true);
    EXPECT_EQ(changes, 1);
}

} // namespace
