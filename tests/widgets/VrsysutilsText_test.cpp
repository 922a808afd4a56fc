// Text measuring, layout and text effects, with a pinned font and by invariants.
#include "VrsysutilsTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const QImage& image, TColor color)
{
    PixelSet set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) == color)
                set.insert({x, y});
    return set;
}

TRect BoundingBox(const PixelSet& set)
{
    TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const auto& [x, y] : set)
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box;
}

class VrsysutilsTextTest : public ::testing::Test {
protected:
    QImage image = FilledImage(160, 60, clWhite);
    TVrCanvas canvas{&image};

    void SetUp() override
    {
        canvas.Font.Description = TestFont();
        canvas.Font.Color = clBlack;
        canvas.Brush.Style = TVrBrushStyle::Clear;
    }

    // Pixels the plain text covers at (x, y) in the pinned font.
    PixelSet Glyphs(int x, int y, const QString& text)
    {
        QImage plain = FilledImage(image.width(), image.height(), clWhite);
        TVrCanvas plainCanvas(&plain);
        plainCanvas.Font = canvas.Font;
        plainCanvas.Font.Color = clBlack;
        plainCanvas.Brush.Style = TVrBrushStyle::Clear;
        plainCanvas.TextOut(x, y, text);
        return PixelsOf(plain, clBlack);
    }
};

PixelSet Shifted(const PixelSet& set, int dx, int dy)
{
    PixelSet out;
    for (const auto& [x, y] : set)
        out.insert({x + dx, y + dy});
    return out;
}

} // namespace

TEST_F(VrsysutilsTextTest, TextIsUnsmoothedAndFillsItsCellOnlyWithASolidBrush)
{
    const QString text = QStringLiteral("Lamp 42");
    canvas.TextOut(5, 5, text);
    const int inked = CountColor(image, clBlack);
    EXPECT_GT(inked, 20);
    EXPECT_EQ(inked + CountColor(image, clWhite), image.width() * image.height()); // no grey edges

    image.fill(ColorToRgb(clWhite));
    canvas.Brush.Style = TVrBrushStyle::Solid;
    canvas.Brush.Color = clLime;
    canvas.TextOut(5, 5, text);
    EXPECT_EQ(CountColor(image, clLime) + CountColor(image, clBlack), canvas.TextWidth(text) * canvas.TextHeight(text));
    EXPECT_EQ(PixelAt(image, 4, 5), clWhite);
    EXPECT_EQ(PixelAt(image, 5 + canvas.TextWidth(text), 5), clWhite);
}

TEST_F(VrsysutilsTextTest, TextSizeFollowsTheText)
{
    EXPECT_EQ(GetTextSize(canvas, QString()), QSize(0, 0));
    const QSize one = GetTextSize(canvas, QStringLiteral("Online"));
    EXPECT_EQ(one, QSize(canvas.TextWidth(QStringLiteral("Online")), canvas.TextHeight(QStringLiteral("Online"))));
    const QSize two = GetTextSize(canvas, QStringLiteral("Online\nOnline"));
    EXPECT_EQ(two.width(), one.width());
    EXPECT_GT(two.height(), one.height());
    EXPECT_GT(GetTextSize(canvas, QStringLiteral("OnlineOnline")).width(), one.width());
    // The same text again, in a larger font, is measured anew.
    EXPECT_EQ(GetTextSize(canvas, QStringLiteral("Online")), one);
    canvas.Font.Description.setPixelSize(canvas.Font.Description.pixelSize() * 2);
    EXPECT_GT(GetTextSize(canvas, QStringLiteral("Online")).width(), one.width());
}

TEST_F(VrsysutilsTextTest, MeasuringWrapsAtTheWidthLimit)
{
    TRect rect{3, 4, 60, 4};
    canvas.DrawText(QStringLiteral("one two three four"), rect, VrTextFormat::CalcRect | VrTextFormat::WordBreak);
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 4);
    EXPECT_LE(rect.Width(), 57);
    EXPECT_GE(rect.Height(), 2 * canvas.TextHeight(QStringLiteral("x")));
}

TEST_F(VrsysutilsTextTest, TextBoundsAreCentredInTheArea)
{
    const QString text = QStringLiteral("Offline");
    const QSize size = GetTextSize(canvas, text);
    TRect bounds;
    CalcTextBounds(canvas, {10, 20, 110, 60}, bounds, text);
    EXPECT_EQ(bounds, Bounds(10 + (100 - size.width() + 1) / 2, 20 + (40 - size.height() + 1) / 2, size.width(),
                             size.height()));
}

TEST_F(VrsysutilsTextTest, LayoutWithAutomaticMarginAndSpacingSplitsTheSpaceInThree)
{
    // A client 46 pixels wider than the text: with a 44-pixel text that is the 90-pixel case.
    const QString caption = QStringLiteral("Online");
    const QSize text = GetTextSize(canvas, caption);
    TPoint imagePos;
    TRect textRect;
    CalcImageTextLayout(canvas, {0, 0, 46 + text.width(), 30}, {0, 0}, caption, 1, -1, -1, {16, 16}, imagePos,
                        textRect);
    EXPECT_EQ(imagePos, (TPoint{10, 7}));
    EXPECT_EQ(textRect, Bounds(36, (30 - text.height() + 1) / 2, text.width(), text.height()));
}

TEST_F(VrsysutilsTextTest, LayoutOfAnEmptyCaptionCentresTheImage)
{
    TPoint imagePos;
    TRect textRect{1, 2, 3, 4};
    CalcImageTextLayout(canvas, {0, 0, 90, 30}, {0, 0}, QString(), 1, -1, 5, {16, 16}, imagePos, textRect);
    EXPECT_EQ(imagePos, (TPoint{37, 7})); // spacing 0: margin (90 - 16 + 1) / 2
    EXPECT_EQ(textRect, (TRect{53, 15, 53, 15}));

    CalcImageTextLayout(canvas, {0, 0, 25, 25}, {0, 0}, QString(), 1, -1, 5, {9, 9}, imagePos, textRect);
    EXPECT_EQ(imagePos, (TPoint{8, 8})); // a new LED's glyph
}

TEST_F(VrsysutilsTextTest, LayoutImageRightWithGivenMargin)
{
    const QString caption = QStringLiteral("Offline");
    const QSize text = GetTextSize(canvas, caption);
    TPoint imagePos;
    TRect textRect;
    CalcImageTextLayout(canvas, {0, 0, 120, 20}, {0, 0}, caption, 2, 4, -1, {16, 10}, imagePos, textRect);
    const int spacing = (120 - (4 + 16) - text.width()) / 2;
    EXPECT_EQ(imagePos, (TPoint{100, 5}));
    EXPECT_EQ(textRect.left, 100 - spacing - text.width());
    EXPECT_EQ(textRect.Width(), text.width());
}

TEST_F(VrsysutilsTextTest, LayoutImageAboveAndBelowWithOffset)
{
    const QString caption = QStringLiteral("Set");
    const QSize text = GetTextSize(canvas, caption);
    TPoint imagePos;
    TRect textRect;
    const TRect client{5, 6, 65, 86};
    CalcImageTextLayout(canvas, client, {1, 1}, caption, 3, -1, 5, {20, 13}, imagePos, textRect);
    const int margin = (80 - (13 + 5 + text.height()) + 1) / 2;
    EXPECT_EQ(imagePos, (TPoint{5 + 1 + 20, 6 + 1 + margin}));
    EXPECT_EQ(textRect, Bounds(5 + 1 + (60 - text.width() + 1) / 2, 6 + 1 + margin + 13 + 5, text.width(),
                               text.height()));

    CalcImageTextLayout(canvas, client, {1, 1}, caption, 4, 2, 3, {20, 13}, imagePos, textRect);
    EXPECT_EQ(imagePos.y, 6 + 1 + 80 - 2 - 13);
    EXPECT_EQ(textRect.top, imagePos.y - 3 - text.height());
}

TEST_F(VrsysutilsTextTest, EnabledButtonTextIsCentredInTheFontColour)
{
    canvas.Brush.Style = TVrBrushStyle::Solid;
    const TRect rect{20, 10, 140, 50};
    DrawButtonText(canvas, QStringLiteral("Check"), rect, true);
    const TRect box = BoundingBox(PixelsOf(image, clBlack));
    EXPECT_EQ(canvas.Brush.Style, TVrBrushStyle::Clear);
    EXPECT_EQ(CountColor(image, clBlack) + CountColor(image, clWhite), image.width() * image.height());
    EXPECT_NEAR((box.left + box.right) / 2.0, 80, 2);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 30, 4);
}

TEST_F(VrsysutilsTextTest, DisabledButtonTextIsEmbossed)
{
    const TRect rect{20, 10, 140, 50};
    DrawButtonText(canvas, QStringLiteral("Check"), rect, false);
    const PixelSet glyphs = Glyphs(20, 10, QStringLiteral("Check"));
    EXPECT_EQ(PixelsOf(image, Color2RGB(clBtnShadow)), glyphs);
    for (const auto& pixel : Shifted(glyphs, 1, 1))
        if (!glyphs.count(pixel)) {
            EXPECT_EQ(PixelAt(image, pixel.first, pixel.second), Color2RGB(clBtnHighlight));
        }
    EXPECT_EQ(canvas.Font.Color, clBtnShadow);
}

TEST_F(VrsysutilsTextTest, ThreeDTextLayersSecondFirstAndOwnColour)
{
    const PixelSet glyphs = Glyphs(30, 20, QStringLiteral("3D"));
    Draw3DText(canvas, 30, 20, QStringLiteral("3D"), clRed, clBlue);
    const PixelSet first = Shifted(glyphs, -1, -1), second = Shifted(glyphs, 1, 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::pair<int, int> p{x, y};
            const TColor expected = glyphs.count(p) ? clBlack
                                    : first.count(p) ? clRed
                                    : second.count(p) ? clBlue
                                                      : clWhite;
            ASSERT_EQ(PixelAt(image, x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(canvas.Font.Color, clBlack);
}

TEST_F(VrsysutilsTextTest, ShadowTextLiesUnderTheText)
{
    const PixelSet glyphs = Glyphs(30, 20, QStringLiteral("Sh"));
    DrawShadowTextExt(canvas, 30, 20, QStringLiteral("Sh"), clBlue, 2, 3);
    EXPECT_EQ(PixelsOf(image, clBlack), glyphs);
    PixelSet shadow = Shifted(glyphs, 2, 3);
    for (const auto& p : glyphs)
        shadow.erase(p);
    EXPECT_EQ(PixelsOf(image, clBlue), shadow);
}

TEST_F(VrsysutilsTextTest, OutlinedTextSurroundsTheText)
{
    const PixelSet glyphs = Glyphs(30, 20, QStringLiteral("O"));
    DrawOutlinedText(canvas, 30, 20, QStringLiteral("O"), clRed, 0);
    EXPECT_EQ(PixelsOf(image, clBlack), glyphs);
    EXPECT_EQ(CountColor(image, clRed), 0);

    image.fill(ColorToRgb(clWhite));
    DrawOutlinedText(canvas, 30, 20, QStringLiteral("O"), clRed, 2);
    EXPECT_EQ(PixelsOf(image, clBlack), glyphs);
    PixelSet outline;
    for (int i = 1; i <= 2; ++i)
        for (const auto& [dx, dy] : {std::pair{i, i}, {-i, i}, {-i, -i}, {i, -i}})
            for (const auto& p : Shifted(glyphs, dx, dy))
                if (!glyphs.count(p))
                    outline.insert(p);
    EXPECT_EQ(PixelsOf(image, clRed), outline);
    EXPECT_EQ(canvas.Font.Color, clBlack);
}

TEST_F(VrsysutilsTextTest, RotatedTextRunsUpwardAndLeavesTheFontAsItWas)
{
    const QString text = QStringLiteral("WWWWW");
    CanvasTextOutAngle(canvas, 20, 55, 90, text);
    const TRect box = BoundingBox(PixelsOf(image, clBlack));
    EXPECT_GT(box.Height(), box.Width());
    EXPECT_LE(box.bottom, 56);
    EXPECT_LT(box.top, 55 - canvas.TextWidth(text) + 5);
    EXPECT_EQ(canvas.Font.Escapement, 0);

    SetCanvasTextAngle(canvas, 45);
    EXPECT_EQ(canvas.Font.Escapement, 450);
}

TEST_F(VrsysutilsTextTest, StretchPaintOnTextShowsTheBitmapThroughTheLetters)
{
    image.fill(ColorToRgb(clLime));
    canvas.MoveOrigin(3, 2); // the picture goes to the canvas's (0, 0)
    StretchPaintOnText(canvas, {0, 0, 120, 40}, 5, 5, QStringLiteral("Mask"), FilledImage(2, 2, clRed), 0);
    EXPECT_EQ(PixelsOf(image, clRed), Shifted(Glyphs(5, 5, QStringLiteral("Mask")), 3, 2));
    EXPECT_EQ(CountColor(image, clRed) + CountColor(image, clLime), image.width() * image.height());
}
