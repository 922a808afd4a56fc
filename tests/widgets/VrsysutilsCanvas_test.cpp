// The canvas's pixel rules: fills, lines, shapes, block copies, origin and clip.
#include "VrsysutilsTestSupport.h"

#include <gtest/gtest.h>

using Rows = std::vector<std::string>;
const std::vector<std::pair<TColor, char>> legend = {{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clBlack, 'K'}};

TEST(VrCanvas, FillRectCoversLeftToRightMinusOne)
{
    QImage image = FilledImage(6, 5, clWhite);
    TVrCanvas canvas(&image);
    canvas.Brush.Color = clRed;
    canvas.FillRect({1, 1, 4, 3});
    EXPECT_EQ(PixelMap(image, legend), (Rows{"......", ".RRR..", ".RRR..", "......", "......"}));

    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.Brush.Color = clBlue;
    canvas.FillRect({0, 0, 6, 5});
    EXPECT_EQ(CountColor(image, clBlue), 0);
}

TEST(VrCanvas, FillRectOutsideOrInvertedChangesNothing)
{
    QImage image = FilledImage(4, 4, clWhite);
    TVrCanvas canvas(&image);
    canvas.Brush.Color = clRed;
    canvas.FillRect({3, 3, 1, 1});
    canvas.FillRect({-100, -100, 0, 0});
    canvas.FillRect({INT_MIN, 4, INT_MAX, 10});
    EXPECT_EQ(CountColor(image, clRed), 0);
    canvas.FillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    EXPECT_EQ(CountColor(image, clRed), 16);
}

TEST(VrCanvas, PolylineLeavesItsFinalPoint)
{
    QImage image = FilledImage(7, 6, clWhite);
    TVrCanvas canvas(&image);
    canvas.Pen.Color = clBlack;
    const TPoint points[] = {{1, 1}, {5, 1}, {5, 4}};
    canvas.Polyline(points);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".......", ".KKKKK.", ".....K.", ".....K.", ".......", "......."}));
}

TEST(VrCanvas, LineToPaintsTheStartAndNotTheEnd)
{
    QImage image = FilledImage(5, 5, clWhite);
    TVrCanvas canvas(&image);
    canvas.Pen.Color = clBlue;
    canvas.MoveTo(0, 0);
    canvas.LineTo(3, 3);
    canvas.LineTo(3, 3); // zero length: nothing
    EXPECT_EQ(PixelMap(image, legend), (Rows{"B....", ".B...", "..B..", ".....", "....."}));

    canvas.Pen.Style = TVrPenStyle::Clear;
    canvas.MoveTo(0, 4);
    canvas.LineTo(4, 4);
    EXPECT_EQ(CountColor(image, clBlue), 3);
}

TEST(VrCanvas, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    QImage image = FilledImage(7, 6, clWhite);
    TVrCanvas canvas(&image);
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clRed;
    canvas.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".......", ".KKKKK.", ".KRRRK.", ".KRRRK.", ".KKKKK.", "......."}));
}

TEST(VrCanvas, EllipseAndRoundRectStayInsideTheirBox)
{
    QImage image = FilledImage(14, 12, clWhite);
    TVrCanvas canvas(&image);
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clRed;
    canvas.Ellipse(2, 2, 12, 10);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) != clWhite) {
                EXPECT_TRUE(x >= 2 && x < 12 && y >= 2 && y < 10) << x << "," << y;
            }
    EXPECT_EQ(PixelAt(image, 7, 6), clRed);   // filled centre
    EXPECT_EQ(PixelAt(image, 2, 2), clWhite); // corner outside the curve

    image.fill(ColorToRgb(clWhite));
    canvas.RoundRect(2, 2, 12, 10, 4, 4);
    EXPECT_EQ(PixelAt(image, 7, 2), clBlack);
    EXPECT_EQ(PixelAt(image, 11, 6), clBlack);
    EXPECT_EQ(PixelAt(image, 12, 6), clWhite);
    EXPECT_EQ(PixelAt(image, 7, 6), clRed);
}

TEST(VrCanvas, OriginMovesAndClipLimitsEveryPrimitive)
{
    QImage image = FilledImage(6, 6, clWhite);
    TVrCanvas canvas(&image);
    canvas.SaveState();
    canvas.MoveOrigin(2, 1);
    canvas.ClipTo({0, 0, 3, 3});
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 3, 3}));
    canvas.Brush.Color = clRed;
    canvas.FillRect({-5, -5, 10, 10});
    canvas.SetPixel(-1, 0, clBlue); // outside the clip
    canvas.Pen.Color = clBlue;
    canvas.MoveTo(-2, 2);
    canvas.LineTo(6, 2);
    EXPECT_EQ(canvas.Pixel(0, 0), clRed);
    canvas.RestoreState();
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 6, 6}));
    EXPECT_EQ(canvas.Brush.Color, clWhite);
    EXPECT_EQ(PixelMap(image, legend), (Rows{"......", "..RRR.", "..RRR.", "..BBB.", "......", "......"}));
    EXPECT_EQ(canvas.Pixel(6, 0), clNone);
}

TEST(VrCanvas, StateGuardRestoresOnEveryExit)
{
    QImage image = FilledImage(2, 2, clWhite);
    TVrCanvas canvas(&image);
    try {
        const TVrCanvasStateGuard guard(canvas);
        canvas.Font.Escapement = 900;
        canvas.MoveOrigin(5, 5);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(canvas.Font.Escapement, 0);
    EXPECT_EQ(canvas.Origin(), (TPoint{0, 0}));
}

TEST(VrCanvas, CopyModesCombineSourceAndDestination)
{
    QImage image = FilledImage(2, 1, 0x0F0F0F);
    const QImage source = FilledImage(2, 1, 0x3C3C3C);
    TVrCanvas canvas(&image);
    canvas.CopyMode = TVrCopyMode::SrcInvert;
    canvas.Draw(0, 0, source);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x333333);
    canvas.Draw(0, 0, source); // XOR twice restores
    EXPECT_EQ(PixelAt(image, 1, 0), 0x0F0F0F);
    canvas.CopyMode = TVrCopyMode::SrcAnd;
    canvas.Draw(1, 0, source);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x0F0F0F);
    EXPECT_EQ(PixelAt(image, 1, 0), 0x0C0C0C);
    canvas.CopyMode = TVrCopyMode::SrcCopy;
    canvas.Draw(0, 0, source);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x3C3C3C);
}

TEST(VrCanvas, StretchDrawPicksTheNearestPixel)
{
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, ColorToRgb(clRed));
    source.setPixel(1, 0, ColorToRgb(clBlue));
    QImage image = FilledImage(6, 3, clWhite);
    TVrCanvas canvas(&image);
    canvas.StretchDraw({1, 0, 5, 2}, source);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".RRBB.", ".RRBB.", "......"}));

    canvas.CopyRect({0, 2, 3, 3}, source, {1, 0, 2, 1});
    EXPECT_EQ(PixelMap(image, legend)[2], "BBB...");
}

TEST(VrCanvas, BrushCopyReplacesOrSkipsTheKeyColour)
{
    QImage glyph(3, 1, QImage::Format_RGB32);
    glyph.setPixel(0, 0, ColorToRgb(clBlack));
    glyph.setPixel(1, 0, ColorToRgb(clRed));
    glyph.setPixel(2, 0, ColorToRgb(clBlack));
    QImage image = FilledImage(3, 2, clWhite);
    TVrCanvas canvas(&image);

    canvas.Brush.Style = TVrBrushStyle::Clear;
    canvas.BrushCopy({0, 0, 3, 1}, glyph, {0, 0, 3, 1}, clBlack);
    canvas.Brush.Style = TVrBrushStyle::Solid;
    canvas.Brush.Color = clBlue;
    canvas.BrushCopy({0, 1, 3, 2}, glyph, {0, 0, 3, 1}, clBlack);
    EXPECT_EQ(PixelMap(image, legend), (Rows{".R.", "BRB"}));
}

TEST(VrCanvas, MaskCopyBrushPaintsWhereTheMaskIsWhite)
{
    QImage mask(3, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, ColorToRgb(clWhite));
    mask.setPixel(1, 0, ColorToRgb(clBlack));
    mask.setPixel(2, 0, ColorToRgb(clWhite));
    QImage image = FilledImage(4, 1, clRed);
    TVrCanvas canvas(&image);
    canvas.Brush.Color = clBlue;
    canvas.MaskCopyBrush({1, 0, 4, 1}, mask);
    EXPECT_EQ(PixelMap(image, legend), (Rows{"RBRB"}));
}

TEST(VrCanvas, PatternBrushIsAlignedToTheImage)
{
    QImage image = FilledImage(4, 2, clWhite);
    TVrCanvas canvas(&image);
    canvas.Brush.Bitmap = *CreateDitherPattern(clRed, clBlue);
    canvas.MoveOrigin(1, 0);
    canvas.FillRect({0, 0, 3, 2});
    EXPECT_EQ(PixelMap(image, legend), (Rows{".BRB", ".RBR"}));
}

TEST(VrCanvas, ColorMaskMarksTheKeyColourWhite)
{
    QImage bitmap(3, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, ColorToRgb(clRed));
    bitmap.setPixel(1, 0, ColorToRgb(clBlue));
    bitmap.setPixel(2, 0, ColorToRgb(clRed));
    EXPECT_EQ(PixelMap(ColorMask(bitmap, clRed), {{clWhite, 'W'}, {clBlack, 'K'}}), (Rows{"WKW"}));
}

TEST(VrCanvas, WithoutAnImageNothingHappens)
{
    TVrCanvas canvas;
    canvas.FillRect({0, 0, 5, 5});
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.TextOut(0, 0, QStringLiteral("x"));
    EXPECT_EQ(canvas.Pixel(0, 0), clNone);
    EXPECT_TRUE(canvas.ClipRect().IsEmpty());
}
