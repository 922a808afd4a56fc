#include "widgets/VrClassesBevel.h"
#include "widgets/VrClassesPalette.h"
#include "widgets/VrClassesText.h"
#include "widgets/Vrsysutils.h"

#include <gtest/gtest.h>

namespace {

QImage Filled(int width, int height, TColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ColorToRgb(color));
    return image;
}

TColor At(const QImage& image, int x, int y)
{
    return RgbToColor(image.pixel(x, y));
}

TEST(TVrBevel, DefaultBevelShrinksByFourAndPaintsItsLayers)
{
    TVrBevel bevel;
    TRect area{0, 0, 20, 20};
    bevel.GetVisibleArea(area);
    EXPECT_EQ(area, (TRect{4, 4, 16, 16}));

    QImage image = Filled(20, 20, clWhite);
    TVrCanvas canvas(&image);
    TRect painted{0, 0, 20, 20};
    bevel.Paint(canvas, painted);
    EXPECT_EQ(painted, area);
    const TColor highlight = Color2RGB(clBtnHighlight), shadow = Color2RGB(clBtnShadow);
    EXPECT_EQ(At(image, 0, 0), clBlack);      // outer outline
    EXPECT_EQ(At(image, 19, 10), clBlack);
    EXPECT_EQ(At(image, 1, 10), highlight);   // raised outer bevel: light top-left
    EXPECT_EQ(At(image, 18, 10), shadow);     // ... dark bottom-right
    EXPECT_EQ(At(image, 2, 10), shadow);      // lowered inner bevel: the reverse
    EXPECT_EQ(At(image, 17, 10), highlight);
    EXPECT_EQ(At(image, 3, 10), Color2RGB(clBtnFace)); // inner space
    EXPECT_EQ(At(image, 4, 10), clWhite);     // inside left alone
}

TEST(TVrBevel, VisibleAreaCountsEveryLayerThatPaintDraws)
{
    TVrBevel bevel;
    bevel.SetBorderWidth(2);
    bevel.SetInnerOutline(osInner);
    bevel.SetOuterOutline(osNone);
    bevel.SetInnerWidth(3);
    bevel.SetOuterStyle(bsNone);
    bevel.SetOuterSpace(2);
    bevel.SetInnerSpace(0);
    TRect area{0, 0, 40, 30};
    bevel.GetVisibleArea(area);
    EXPECT_EQ(area, (TRect{8, 8, 32, 22})); // 2 + 1 + 3 + 2

    QImage image = Filled(40, 30, clWhite);
    TVrCanvas canvas(&image);
    TRect painted{0, 0, 40, 30};
    bevel.Paint(canvas, painted);
    EXPECT_EQ(painted, area);
    EXPECT_EQ(At(image, 1, 15), Color2RGB(clBtnFace)); // border
    EXPECT_EQ(At(image, 7, 15), clBlack);              // inner outline inside the inner bevel
}

TEST(TVrBevel, InvisibleBevelNeitherShrinksNorPaints)
{
    TVrBevel bevel;
    bevel.SetVisible(false);
    TRect area{0, 0, 10, 10};
    bevel.GetVisibleArea(area);
    EXPECT_EQ(area, (TRect{0, 0, 10, 10}));
    QImage image = Filled(10, 10, clWhite);
    TVrCanvas canvas(&image);
    bevel.Paint(canvas, area);
    EXPECT_EQ(image, Filled(10, 10, clWhite));
    EXPECT_EQ(area, (TRect{0, 0, 10, 10}));
}

TEST(TVrBevel, AssignCopiesEveryPropertyWithOneNotification)
{
    TVrBevel source, target;
    source.SetBorderColor(clRed);
    source.SetInnerStyle(bsRaised);
    source.SetOuterSpace(4);
    source.SetVisible(false);
    int changes = 0;
    target.OnChange = [&](QObject*) { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target.BorderColor(), clRed);
    EXPECT_EQ(target.InnerStyle(), bsRaised);
    EXPECT_EQ(target.OuterSpace(), 4);
    EXPECT_FALSE(target.Visible());
}

TEST(TVrPalette, DefaultsAndColorsByIndex)
{
    TVrPalette palette;
    EXPECT_EQ(palette.Low(), clGreen);
    EXPECT_EQ(palette.High(), clLime);
    EXPECT_EQ(palette.GetColors(-3), clGreen);
    EXPECT_EQ(palette.GetColors(0), clGreen);
    EXPECT_EQ(palette.GetColors(1), clLime);

    TVrPaletteEx ex;
    EXPECT_EQ(ex.Low1(), clGreen);
    EXPECT_EQ(ex.High1(), clLime);
    EXPECT_EQ(ex.Low2(), clBlack);
    EXPECT_EQ(ex.High2(), clBlack);
    TVrPaletteEx copy;
    ex.SetHigh2(clRed);
    copy.Assign(&ex);
    EXPECT_EQ(copy.High2(), clRed);
}

TEST(TVrPalette, ToBMPRecoloursEachMarkerOnce)
{
    TVrPalette palette;
    palette.SetLow(clRed); // the new Low equals the High marker: it must not turn High too
    palette.SetHigh(clBlue);
    QImage bitmap = Filled(3, 1, clMaroon);
    bitmap.setPixel(1, 0, ColorToRgb(clRed));
    bitmap.setPixel(2, 0, ColorToRgb(clWhite));
    palette.ToBMP(bitmap, clMaroon, clRed);
    EXPECT_EQ(At(bitmap, 0, 0), clRed);
    EXPECT_EQ(At(bitmap, 1, 0), clBlue);
    EXPECT_EQ(At(bitmap, 2, 0), clWhite);
}

TEST(TVrPalette, ToBMPWithEqualMarkersGivesHigh)
{
    TVrPalette palette;
    palette.SetLow(clNavy);
    palette.SetHigh(clYellow);
    QImage bitmap = Filled(2, 2, clMaroon);
    bitmap.setPixel(1, 1, ColorToRgb(clBlack));
    palette.ToBMP(bitmap, clMaroon, clMaroon);
    EXPECT_EQ(At(bitmap, 0, 0), clYellow);
    EXPECT_EQ(At(bitmap, 1, 1), clBlack);
}

TEST(TVrPalette, ToBMPResolvesSystemColours)
{
    TVrPalette palette;
    palette.SetLow(clBtnFace);
    QImage bitmap = Filled(1, 1, clMaroon);
    palette.ToBMP(bitmap, clMaroon, clRed);
    EXPECT_EQ(At(bitmap, 0, 0), Color2RGB(clBtnFace));
}

// The pixels of a text drawn alone, as a mask.
QImage DrawnAlone(TVrFont3DStyle style, TVrFont3D& effect, const TRect& rect, const QString& text)
{
    QImage image = Filled(60, 40, clWhite);
    TVrCanvas canvas(&image);
    canvas.Font.Description.setPixelSize(24);
    canvas.Font.Color = clBlack;
    effect.SetStyle(style);
    effect.Paint(canvas, rect, text, VrTextFormat::SingleLine);
    EXPECT_EQ(canvas.Font.Color, clBlack); // the font colour is put back
    return image;
}

// What the layers (colour, offset) give when each is the plain text moved by its offset,
// drawn in order over white: unsmoothed text moved by whole pixels is the same pixels moved.
QImage Composed(const QImage& plain, std::initializer_list<std::pair<TColor, int>> layers)
{
    QImage expected = Filled(plain.width(), plain.height(), clWhite);
    for (const auto& [color, d] : layers)
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const int sx = x - d, sy = y - d;
                if (sx >= 0 && sy >= 0 && sx < plain.width() && sy < plain.height() && At(plain, sx, sy) == clBlack)
                    expected.setPixel(x, y, ColorToRgb(color));
            }
    return expected;
}

TEST(TVrFont3D, EffectsDrawShiftedCopiesUnderTheText)
{
    TVrFont3D effect;
    effect.SetShadowColor(clRed);
    effect.SetHighlightColor(clBlue);
    effect.SetShadowDepth(3);
    effect.SetHighlightDepth(2);
    const TRect rect{10, 5, 50, 35};
    const QImage plain = DrawnAlone(f3dNone, effect, rect, "W");
    ASSERT_NE(plain, Filled(60, 40, clWhite)) << "no text was drawn";
    EXPECT_EQ(DrawnAlone(f3dShadow, effect, rect, "W"), Composed(plain, {{clRed, 3}, {clBlack, 0}}));
    EXPECT_EQ(DrawnAlone(f3dRaised, effect, rect, "W"),
              Composed(plain, {{clRed, 3}, {clBlue, -2}, {clBlack, 0}}));
    EXPECT_EQ(DrawnAlone(f3dSunken, effect, rect, "W"),
              Composed(plain, {{clBlue, 2}, {clRed, -3}, {clBlack, 0}}));
}

TEST(TVrTextOutline, DefaultsAndAssign)
{
    TVrTextOutline outline, copy;
    EXPECT_EQ(outline.Color(), clNavy);
    EXPECT_TRUE(outline.Visible());
    EXPECT_EQ(outline.Width(), 1);
    outline.SetWidth(3);
    outline.SetVisible(false);
    int changes = 0;
    copy.OnChange = [&](QObject*) { ++changes; };
    copy.Assign(&outline);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_FALSE(copy.Visible());
}

} // namespace
