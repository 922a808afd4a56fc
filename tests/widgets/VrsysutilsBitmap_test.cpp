// Tiling, transparent copies, raster patterns, the LCD enlargement and the parent image.
#include "VrsysutilsTestSupport.h"

#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

using Rows = std::vector<std::string>;
const std::vector<std::pair<TColor, char>> legend = {
    {clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}, {clBlack, 'K'}, {clYellow, 'Y'}};

QImage TwoPixels(TColor left, TColor right)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, ColorToRgb(left));
    image.setPixel(1, 0, ColorToRgb(right));
    return image;
}

TEST(VrsysutilsBitmaps, TiledCopiesAreNotCutAtTheRectangle)
{
    QImage image = FilledImage(10, 5, clWhite);
    TVrCanvas canvas(&image);
    DrawTiledBitmap(canvas, {1, 0, 6, 3}, FilledImage(3, 2, clRed));
    // Copies at x 1, 4 and y 0, 2: they reach x 6 and y 3.
    EXPECT_EQ(PixelMap(image, legend), (Rows{".RRRRRR...", ".RRRRRR...", ".RRRRRR...", ".RRRRRR...", ".........."}));

    DrawTiledBitmap(canvas, {0, 0, 10, 5}, QImage()); // an empty bitmap tiles nothing
    EXPECT_EQ(CountColor(image, clRed), 24);
}

TEST(VrsysutilsBitmaps, TilingStartsInsideAClippedCanvas)
{
    QImage image = FilledImage(4, 1, clWhite);
    TVrCanvas canvas(&image);
    canvas.MoveOrigin(-1000001, 0);
    DrawTiledBitmap(canvas, {0, 0, INT_MAX, 1}, TwoPixels(clRed, clBlue));
    EXPECT_EQ(PixelMap(image, legend), (Rows{"BRBR"}));
}

TEST(VrsysutilsBitmaps, DrawBitmapTransparentOrStretched)
{
    QImage glyphs(4, 1, QImage::Format_RGB32);
    glyphs.setPixel(0, 0, ColorToRgb(clRed));
    glyphs.setPixel(1, 0, ColorToRgb(clBlack));
    glyphs.setPixel(2, 0, ColorToRgb(clBlue));
    glyphs.setPixel(3, 0, ColorToRgb(clLime));
    QImage image = FilledImage(4, 2, clWhite);
    TVrCanvas canvas(&image);
    DrawBitmap(canvas, {0, 0, 2, 1}, glyphs, {0, 0, 2, 1}, true, clBlack);
    EXPECT_EQ(canvas.Brush.Style, TVrBrushStyle::Clear);
    DrawBitmap(canvas, {0, 1, 4, 2}, glyphs, {2, 0, 3, 1}, false, clBlack); // source rectangle unused
    EXPECT_EQ(canvas.Brush.Style, TVrBrushStyle::Solid);
    EXPECT_EQ(PixelMap(image, legend), (Rows{"R...", "RKBG"}));
}

TEST(VrsysutilsRaster, DotsRepeatEveryDotPlusGapFromTheCorner)
{
    QImage image = FilledImage(8, 5, clWhite);
    TVrCanvas canvas(&image);
    DrawRasterPattern(canvas, {1, 0, 8, 5}, clRed, clBlue, 2, 1);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".RRBRRBR", ".RRBRRBR", ".BBBBBBB", ".RRBRRBR", ".RRBRRBR"}));
}

TEST(VrsysutilsRaster, PatternContinuesAcrossTileEdges)
{
    // Tiles are 20 periods wide: 60 pixels for a period of 3.
    QImage image = FilledImage(130, 1, clWhite);
    TVrCanvas canvas(&image);
    DrawRasterPattern(canvas, {0, 0, 130, 1}, clRed, clBlue, 1, 2);
    for (int x = 0; x < 130; ++x)
        ASSERT_EQ(PixelAt(image, x, 0), x % 3 == 0 ? clRed : clBlue) << x;
}

TEST(VrsysutilsRaster, NegativeGapsOverlapTheDotsAndEmptyPeriodsDrawNothing)
{
    QImage image = FilledImage(4, 4, clWhite);
    TVrCanvas canvas(&image);
    DrawRasterPattern(canvas, {0, 0, 4, 4}, clRed, clBlue, 3, -1);
    EXPECT_EQ(CountColor(image, clRed), 16);
    DrawRasterPattern(canvas, {0, 0, 4, 4}, clLime, clLime, 2, -2);
    DrawRasterPattern(canvas, {0, 0, 4, 4}, clLime, clLime, 0, -5);
    StretchPaintOnRasterPattern(canvas, {0, 0, 4, 4}, FilledImage(1, 1, clLime), clLime, clLime, 1, -1);
    EXPECT_EQ(CountColor(image, clRed), 16);
    DrawRasterPattern(canvas, {0, 0, 4, 4}, clBlue, clLime, INT_MAX, INT_MAX);
    EXPECT_EQ(CountColor(image, clBlue), 16); // all inside the first, huge dot
    BitmapToLCD(image, FilledImage(2, 2, clRed), clBlue, clLime, 0, 0);
    EXPECT_TRUE(image.isNull());
}

TEST(VrsysutilsRaster, StretchPaintShowsTheBitmapOnlyThroughTheDots)
{
    QImage image = FilledImage(7, 4, clWhite);
    TVrCanvas canvas(&image);
    canvas.MoveOrigin(1, 1); // the picture goes to the canvas's (0, 0)
    StretchPaintOnRasterPattern(canvas, {40, 40, 45, 43}, TwoPixels(clRed, clBlack), clYellow, clBlue, 1, 1);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".......", ".RBRBK.", ".BBBBB.", ".RBRBK."}));
    EXPECT_EQ(CountColor(image, clYellow), 0);
}

TEST(VrsysutilsRaster, BitmapToLCDEnlargesEachPixelIntoADot)
{
    QImage dest;
    BitmapToLCD(dest, TwoPixels(clRed, clLime), clYellow, clBlue, 2, 1);
    ASSERT_EQ(dest.size(), QSize(6, 3));
    EXPECT_EQ(PixelMap(dest, legend), (Rows{"RRBGGB", "RRBGGB", "BBBBBB"}));
}

TEST(VrsysutilsRaster, PixelsOfAllColoursSurviveTheMasking)
{
    QImage source(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            source.setPixel(x, y, qRgb(x * 16 + 3, y * 16 + 5, (x ^ y) * 15));
    QImage dest;
    BitmapToLCD(dest, source, 0x00FF00FF, 0x00123456, 1, 1);
    ASSERT_EQ(dest.size(), QSize(32, 32));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(dest.pixel(2 * x, 2 * y), source.pixel(x, y));
            ASSERT_EQ(PixelAt(dest, 2 * x + 1, 2 * y), 0x00123456);
        }
}

// A widget that fills itself with one colour and notes whether it painted as a copy.
class ColourWidget : public QWidget {
public:
    ColourWidget(QWidget* parent, TColor color, const QRect& geometry) : QWidget(parent), color(color)
    {
        setGeometry(geometry);
    }
    bool paintedAsCopy = false;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        paintedAsCopy = IsPaintingCopy(this);
        QPainter(this).fillRect(rect(), QColor::fromRgb(ColorToRgb(color)));
    }

private:
    TColor color;
};

TEST(VrsysutilsParentImage, ParentAndLowerSiblingsShowUnderTheControl)
{
    ColourWidget parent(nullptr, clBlue, QRect(0, 0, 100, 100));
    auto* below = new ColourWidget(&parent, clRed, QRect(0, 0, 30, 30));
    auto* hidden = new ColourWidget(&parent, clLime, QRect(20, 20, 10, 10));
    hidden->hide();
    auto* control = new QWidget(&parent);
    control->setGeometry(20, 20, 40, 40);
    auto* above = new ColourWidget(&parent, clYellow, QRect(50, 50, 10, 10));

    QImage image = FilledImage(40, 40, clWhite);
    TVrCanvas canvas(&image);
    CopyParentImage(control, canvas);

    // The lower sibling overlaps the control's top-left 10 x 10 pixels.
    EXPECT_EQ(PixelAt(image, 0, 0), clRed);
    EXPECT_EQ(PixelAt(image, 9, 9), clRed);
    EXPECT_EQ(PixelAt(image, 10, 9), clBlue);
    EXPECT_EQ(PixelAt(image, 39, 39), clBlue);
    EXPECT_EQ(CountColor(image, clRed), 100);
    EXPECT_EQ(CountColor(image, clBlue), 1500);
    EXPECT_TRUE(parent.paintedAsCopy);
    EXPECT_TRUE(below->paintedAsCopy);
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(above->paints, 0);
    EXPECT_FALSE(IsPaintingCopy(&parent));
    EXPECT_FALSE(IsPaintingCopy(below));
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 40, 40}));
}

TEST(VrsysutilsParentImage, NothingWithoutAControlOrAParent)
{
    QImage image = FilledImage(4, 4, clWhite);
    TVrCanvas canvas(&image);
    CopyParentImage(nullptr, canvas);
    QWidget orphan;
    CopyParentImage(&orphan, canvas);
    EXPECT_EQ(CountColor(image, clWhite), 16);
    EXPECT_FALSE(IsPaintingCopy(nullptr));
}
