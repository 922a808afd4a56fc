// Frames, gradients, shapes, the dither pattern and recolouring.
#include "VrsysutilsTestSupport.h"

#include <gtest/gtest.h>

using Rows = std::vector<std::string>;
const std::vector<std::pair<TColor, char>> frameLegend = {{clWhite, '.'}, {clRed, 'T'}, {clBlue, 'B'}};

TEST(VrsysutilsFrames, DrawFrame3DWidthTwoLeavesTheInnerRectangle)
{
    QImage image = FilledImage(11, 11, clWhite);
    TVrCanvas canvas(&image);
    TRect rect{0, 0, 10, 10};
    DrawFrame3D(canvas, rect, clRed, clBlue, 2);
    EXPECT_EQ(rect, (TRect{2, 2, 8, 8}));
    EXPECT_EQ(PixelMap(image, frameLegend), (Rows{
                                                "TTTTTTTTTB.",
                                                "TTTTTTTTBB.",
                                                "TT......BB.",
                                                "TT......BB.",
                                                "TT......BB.",
                                                "TT......BB.",
                                                "TT......BB.",
                                                "TT......BB.",
                                                "TBBBBBBBBB.",
                                                "BBBBBBBBBB.",
                                                "...........",
                                            }));
    EXPECT_EQ(canvas.Pen.Width, 1);
}

TEST(VrsysutilsFrames, DrawOutline3DKeepsTheBottomLeftCornerInTheTopColour)
{
    QImage image = FilledImage(5, 5, clWhite);
    TVrCanvas canvas(&image);
    TRect rect{0, 0, 5, 5};
    DrawOutline3D(canvas, rect, clRed, clBlue, 1);
    EXPECT_EQ(rect, (TRect{1, 1, 4, 4}));
    EXPECT_EQ(PixelMap(image, frameLegend), (Rows{"TTTTB", "T...B", "T...B", "T...B", "TBBBB"}));
}

TEST(VrsysutilsFrames, WidthZeroOrNegativeDrawsNothing)
{
    QImage image = FilledImage(5, 5, clWhite);
    TVrCanvas canvas(&image);
    for (int width : {0, -3}) {
        TRect rect{0, 0, 5, 5};
        DrawFrame3D(canvas, rect, clRed, clBlue, width);
        EXPECT_EQ(rect, (TRect{0, 0, 5, 5}));
    }
    EXPECT_EQ(CountColor(image, clWhite), 25);
}

TEST(VrsysutilsPatterns, DitherIsACheckerboardOfTheTwoColours)
{
    const auto pattern = CreateDitherPattern(clRed, clBlue);
    ASSERT_EQ(pattern->size(), QSize(8, 8));
    EXPECT_EQ(PixelAt(*pattern, 0, 0), clRed);
    EXPECT_EQ(PixelAt(*pattern, 1, 1), clRed);
    EXPECT_EQ(PixelAt(*pattern, 1, 0), clBlue);
    EXPECT_EQ(PixelAt(*pattern, 0, 1), clBlue);
    EXPECT_EQ(PixelAt(*pattern, 7, 7), clRed);
    EXPECT_EQ(CountColor(*pattern, clRed), 32);
    EXPECT_EQ(CountColor(*pattern, clBlue), 32);
}

TEST(VrsysutilsPatterns, ChangeBitmapColorReplacesOnlyTheOldColour)
{
    QImage bitmap(4, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, ColorToRgb(clMaroon));
    bitmap.setPixel(1, 0, ColorToRgb(clRed));
    bitmap.setPixel(2, 0, ColorToRgb(clMaroon));
    bitmap.setPixel(3, 0, ColorToRgb(0x000081)); // one step from maroon
    ChangeBitmapColor(bitmap, clMaroon, clGreen);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), clGreen);
    EXPECT_EQ(PixelAt(bitmap, 1, 0), clRed);
    EXPECT_EQ(PixelAt(bitmap, 2, 0), clGreen);
    EXPECT_EQ(PixelAt(bitmap, 3, 0), 0x000081);

    QImage indexed = bitmap.convertToFormat(QImage::Format_Indexed8);
    ChangeBitmapColor(indexed, clGreen, clLime);
    EXPECT_EQ(PixelAt(indexed, 0, 0), clLime);
    EXPECT_EQ(PixelAt(indexed, 1, 0), clRed);

    QImage empty;
    ChangeBitmapColor(empty, clRed, clBlue);
    EXPECT_TRUE(empty.isNull());
}

// Red component of each row (column 0) of a gradient drawn from black to red.
std::vector<int> RowReds(const QImage& image, int x = 0)
{
    std::vector<int> reds;
    for (int y = 0; y < image.height(); ++y)
        reds.push_back(PixelAt(image, x, y) == clWhite ? -1 : GetRValue(PixelAt(image, x, y)));
    return reds;
}

std::vector<int> ColumnReds(const QImage& image, int y = 0)
{
    std::vector<int> reds;
    for (int x = 0; x < image.width(); ++x)
        reds.push_back(PixelAt(image, x, y) == clWhite ? -1 : GetRValue(PixelAt(image, x, y)));
    return reds;
}

TEST(VrsysutilsGradients, FloatBandsRoundHalvesToEvenAndReachTheEnd)
{
    QImage image = FilledImage(4, 12, clWhite);
    TVrCanvas canvas(&image);
    DrawGradient(canvas, {0, 0, 4, 10}, clBlack, clRed, 0, 1);
    // 25.5 per band; the band at i = N lies just below the rectangle.
    EXPECT_EQ(RowReds(image), (std::vector<int>{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255, -1}));
    EXPECT_EQ(GetGValue(PixelAt(image, 3, 5)), 0);
}

TEST(VrsysutilsGradients, FloatBandsSideBySideWithLargerSteps)
{
    QImage image = FilledImage(10, 2, clWhite);
    TVrCanvas canvas(&image);
    DrawGradient(canvas, {0, 0, 8, 1}, clBlack, clRed, 1, 3);
    EXPECT_EQ(ColumnReds(image), (std::vector<int>{0, 0, 0, 96, 96, 96, 191, 191, 191, -1}));
    EXPECT_EQ(PixelAt(image, 0, 1), clWhite);
}

TEST(VrsysutilsGradients, FloatBandsOnAnEmptyRectangleStillDraw)
{
    QImage image = FilledImage(3, 3, clWhite);
    TVrCanvas canvas(&image);
    DrawGradient(canvas, {1, 1, 1, 1}, clRed, clBlue, 0, 1);
    EXPECT_EQ(PixelAt(image, 1, 1), clRed);
    EXPECT_EQ(PixelAt(image, 1, 2), clBlue);
    EXPECT_EQ(CountColor(image, clWhite), 7);

    DrawGradient(canvas, {0, 0, 3, 3}, clRed, clBlue, 2, 1); // unknown direction
    DrawGradient(canvas, {0, 0, 3, 3}, clRed, clBlue, 0, 0); // no step
    EXPECT_EQ(CountColor(image, clWhite), 7);
}

TEST(VrsysutilsGradients, IntegerBandsTopToBottomStopBeforeTheHeight)
{
    QImage image = FilledImage(3, 6, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {0, 0, 3, 4}, clBlack, clRed, 1, 1);
    EXPECT_EQ(RowReds(image), (std::vector<int>{0, 63, 127, 191, -1, -1}));
    EXPECT_EQ(RowReds(image, 2), RowReds(image, 0));
}

TEST(VrsysutilsGradients, IntegerBandsLeftToRightIncludeTheWidth)
{
    QImage image = FilledImage(7, 1, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {0, 0, 4, 1}, clBlack, clRed, 2, 1);
    EXPECT_EQ(ColumnReds(image), (std::vector<int>{0, 63, 127, 191, 255, -1, -1}));
}

TEST(VrsysutilsGradients, IntegerBandsTruncateTowardZeroWhenFalling)
{
    QImage image = FilledImage(1, 3, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {0, 0, 1, 3}, RGBColor(10, 0, 0), clBlack, 1, 1);
    EXPECT_EQ(RowReds(image), (std::vector<int>{10, 7, 4})); // 10 - 10/3, 10 - 20/3
}

TEST(VrsysutilsGradients, HalfStylesRunToTheEndColourAndBack)
{
    QImage image = FilledImage(2, 10, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {0, 0, 2, 8}, clBlack, clRed, 5, 1);
    EXPECT_EQ(RowReds(image), (std::vector<int>{0, 63, 127, 191, 255, 191, 127, 63, 0, -1}));

    QImage wide = FilledImage(10, 1, clWhite);
    TVrCanvas wideCanvas(&wide);
    DrawGradientExt(wideCanvas, {0, 0, 4, 1}, clBlack, clRed, 6, 2);
    EXPECT_EQ(ColumnReds(wide), (std::vector<int>{0, 0, 255, 255, 0, 0, -1, -1, -1, -1}));
}

TEST(VrsysutilsGradients, ChordLinesStartFromTheCanvasOrigin)
{
    QImage image = FilledImage(8, 8, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {4, 4, 8, 8}, clBlack, clRed, 3, 1); // N = 8
    // Line i starts at (i, 0); the next line's second pixel falls on (0, 0) only at i = 0.
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(PixelAt(image, i, 0), RGBColor(255 * i / 8, 0, 0)) << i;

    image.fill(ColorToRgb(clWhite));
    DrawGradientExt(canvas, {0, 0, 4, 4}, clBlack, clRed, 4, 1);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(PixelAt(image, 0, 4 - i), RGBColor(255 * i / 8, 0, 0)) << i;
    EXPECT_EQ(canvas.Pen.Width, 1);
}

TEST(VrsysutilsGradients, DegenerateRectanglesNeverDivideByZero)
{
    QImage image = FilledImage(4, 4, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {0, 0, 0, 2}, clRed, clBlue, 2, 1); // W = 0: one band of the start colour
    EXPECT_EQ(PixelAt(image, 0, 0), clRed);
    EXPECT_EQ(PixelAt(image, 0, 1), clRed);
    EXPECT_EQ(PixelAt(image, 1, 0), clWhite);

    image.fill(ColorToRgb(clWhite));
    DrawGradientExt(canvas, {0, 0, 2, 1}, clRed, clBlue, 5, 1); // H / 2 = 0
    EXPECT_EQ(PixelAt(image, 0, 0), clRed);
    EXPECT_EQ(PixelAt(image, 0, 1), clWhite);

    for (int style : {1, 3, 4, 6})
        DrawGradientExt(canvas, {0, 0, 0, 0}, clRed, clBlue, style, 1);
    for (int style : {0, 7, -1})
        DrawGradientExt(canvas, {0, 0, 4, 4}, clLime, clLime, style, 1);
    DrawGradientExt(canvas, {0, 0, 4, 4}, clLime, clLime, 1, 0);
    EXPECT_EQ(CountColor(image, clLime), 0);
}

TEST(VrsysutilsGradients, HugeRectanglesFinish)
{
    QImage image = FilledImage(4, 4, clWhite);
    TVrCanvas canvas(&image);
    DrawGradientExt(canvas, {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2}, clBlack, clRed, 2, 1 << 20);
    DrawGradient(canvas, {0, 0, INT_MAX, INT_MAX}, clBlack, clRed, 0, 1);
    EXPECT_EQ(PixelAt(image, 0, 0), clBlack);
}

TEST(VrsysutilsShapes, SquaresAreCentredInTheirBox)
{
    QImage image = FilledImage(12, 8, clWhite);
    TVrCanvas canvas(&image);
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clRed;
    DrawShape(canvas, stSquare, 0, 0, 10, 6);
    // A 6 x 6 square moved right by 2.
    EXPECT_EQ(PixelAt(image, 1, 0), clWhite);
    EXPECT_EQ(PixelAt(image, 2, 0), clBlack);
    EXPECT_EQ(PixelAt(image, 7, 5), clBlack);
    EXPECT_EQ(PixelAt(image, 8, 0), clWhite);
    EXPECT_EQ(PixelAt(image, 4, 3), clRed);

    image.fill(ColorToRgb(clWhite));
    canvas.Pen.Width = 0; // one pixel narrower and lower
    DrawShape(canvas, stRectangle, 0, 0, 10, 6);
    EXPECT_EQ(PixelAt(image, 8, 4), clBlack);
    EXPECT_EQ(PixelAt(image, 9, 4), clWhite);
    EXPECT_EQ(PixelAt(image, 4, 5), clWhite);

    image.fill(ColorToRgb(clWhite));
    canvas.Pen.Width = 1;
    DrawShape(canvas, stCircle, 0, 0, 10, 6);
    EXPECT_EQ(PixelAt(image, 5, 3), clRed);
    EXPECT_EQ(PixelAt(image, 2, 0), clWhite); // corner of the bounding square
    EXPECT_EQ(PixelAt(image, 0, 3), clWhite); // left of the bounding square
}
