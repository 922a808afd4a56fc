// Integer, rectangle, text-parameter, housekeeping and colour helpers.
#include "VrsysutilsTestSupport.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <gtest/gtest.h>

#include <climits>

TEST(VrsysutilsArithmetic, SolveAndPercentTruncateTowardZero)
{
    EXPECT_EQ(SolveForX(50, 10), 5);
    EXPECT_EQ(SolveForX(-7, 30), -2); // -2.1
    EXPECT_EQ(SolveForX(99, 1), 0);   // 0.99
    EXPECT_EQ(SolveForY(1, 3), 33);
    EXPECT_EQ(SolveForY(-2, 3), -66);
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 66);
    EXPECT_EQ(Percent(-1, 8), -12); // -12.5
}

TEST(VrsysutilsArithmetic, DivisionByZeroAnswersZero)
{
    EXPECT_EQ(SolveForY(5, 0), 0);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(Percent(0, 0), 0);
}

TEST(VrsysutilsArithmetic, ResultsBeyondThe32BitRangeSaturate)
{
    EXPECT_EQ(Percent(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(SolveForY(INT_MIN, 1), INT_MIN);
    EXPECT_EQ(SolveForX(INT_MAX, INT_MAX), INT_MAX);
}

TEST(VrsysutilsArithmetic, MinMaxRange)
{
    EXPECT_EQ(MinIntVal(3, -4), -4);
    EXPECT_EQ(MinIntVal(2, 2), 2);
    EXPECT_EQ(MaxIntVal(3, -4), 3);
    EXPECT_TRUE(InRange(5, 5, 7));
    EXPECT_TRUE(InRange(7, 5, 7));
    EXPECT_FALSE(InRange(8, 5, 7));
    EXPECT_FALSE(InRange(4, 5, 7));

    int value = 3;
    AdjustRange(value, 5, 7);
    EXPECT_EQ(value, 5);
    value = 9;
    AdjustRange(value, 5, 7);
    EXPECT_EQ(value, 7);
    value = 6;
    AdjustRange(value, 5, 7);
    EXPECT_EQ(value, 6);
}

TEST(VrsysutilsRects, WidthHeightCompareAndGlyphCells)
{
    const TRect r{2, 3, 12, 8};
    EXPECT_EQ(WidthOf(r), 10);
    EXPECT_EQ(HeightOf(r), 5);
    EXPECT_TRUE(CompareRect(r, TRect{2, 3, 12, 8}));
    EXPECT_FALSE(CompareRect(r, TRect{2, 3, 12, 9}));
    EXPECT_FALSE(CompareRect(r, TRect{1, 3, 12, 8}));

    const QImage strip(64, 16, QImage::Format_RGB32);
    EXPECT_EQ(GlyphRect(strip, 2, 4), (TRect{32, 0, 48, 16}));
    EXPECT_EQ(GlyphRect(strip, 3, 1), (TRect{0, 0, 64, 16}));
    EXPECT_EQ(GlyphRect(strip, 0, 0), (TRect{0, 0, 64, 16}));
    EXPECT_EQ(GlyphRect(QImage(19, 5, QImage::Format_RGB32), 1, 2), (TRect{9, 0, 18, 5})); // odd width
    EXPECT_EQ(BitmapRect(strip), (TRect{0, 0, 64, 16}));
}

TEST(VrsysutilsText, GetStrParamSplitsAtTheFirstDelimiter)
{
    QString text = QStringLiteral("alpha;beta");
    EXPECT_EQ(GetStrParam(text, u';'), QStringLiteral("alpha"));
    EXPECT_EQ(text, QStringLiteral("beta"));
    EXPECT_EQ(GetStrParam(text, u';'), QStringLiteral("beta"));
    EXPECT_TRUE(text.isEmpty());

    QString leading = QStringLiteral(";x;y");
    EXPECT_TRUE(GetStrParam(leading, u';').isEmpty());
    EXPECT_EQ(leading, QStringLiteral("x;y"));
}

TEST(VrsysutilsHousekeeping, BitmapArraysAndFreeObject)
{
    std::unique_ptr<QImage> bitmaps[3];
    AllocateBitmaps(bitmaps);
    for (const auto& slot : bitmaps) {
        ASSERT_NE(slot, nullptr);
        EXPECT_TRUE(slot->isNull());
    }
    DeallocateBitmaps(bitmaps);
    for (const auto& slot : bitmaps)
        EXPECT_EQ(slot, nullptr);

    auto pattern = CreateDitherPattern(clRed, clBlue);
    FreeObject(pattern);
    EXPECT_EQ(pattern, nullptr);
    FreeObject(pattern); // nothing to free
}

TEST(VrsysutilsHousekeeping, ClearBitmapCanvasSizesAndFills)
{
    QImage bitmap;
    ClearBitmapCanvas({0, 0, 5, 3}, bitmap, clRed);
    ASSERT_EQ(bitmap.size(), QSize(5, 3));
    EXPECT_EQ(CountColor(bitmap, clRed), 15);

    // The rectangle is taken in bitmap coordinates: only its overlap is filled.
    ClearBitmapCanvas({2, 1, 6, 4}, bitmap, clLime);
    ASSERT_EQ(bitmap.size(), QSize(4, 3));
    EXPECT_EQ(PixelAt(bitmap, 1, 0), clRed);
    EXPECT_EQ(PixelAt(bitmap, 2, 1), clLime);
    EXPECT_EQ(PixelAt(bitmap, 3, 2), clLime);
    EXPECT_EQ(PixelAt(bitmap, 2, 0), clRed);
}

TEST(VrsysutilsHousekeeping, OwnerControlIsTheOutermostWidget)
{
    QWidget window;
    auto* panel = new QWidget(&window);
    auto* inner = new QWidget(panel);
    QObject component(inner);
    EXPECT_EQ(GetOwnerControl(&component), &window);
    EXPECT_EQ(GetOwnerControl(inner), &window);
    EXPECT_EQ(GetOwnerControl(&window), nullptr);

    QObject plainOwner;
    QObject child(&plainOwner);
    EXPECT_EQ(GetOwnerControl(&child), nullptr);
    EXPECT_EQ(GetOwnerControl(nullptr), nullptr);
}

TEST(VrsysutilsColors, RgbColoursPassUnchanged)
{
    EXPECT_EQ(Color2RGB(clRed), clRed);
    EXPECT_EQ(Color2RGB(0x123456), 0x123456);
    EXPECT_EQ(Color2RGB(clNone), clNone);
    std::uint8_t r = 0, g = 0, b = 0;
    GetRGB(0x123456, r, g, b);
    EXPECT_EQ(r, 0x56);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(ColorToRgb(0x123456), qRgb(0x56, 0x34, 0x12));
    EXPECT_EQ(RgbToColor(qRgb(0x56, 0x34, 0x12)), 0x123456);
}

TEST(VrsysutilsColors, SystemColoursFollowThePalette)
{
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::Light, QColor(200, 210, 220));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
    QApplication::setPalette(palette);

    EXPECT_EQ(Color2RGB(clBtnFace), RGBColor(1, 2, 3));
    EXPECT_EQ(Color2RGB(clBtnShadow), RGBColor(10, 20, 30));
    EXPECT_EQ(Color2RGB(clBtnHighlight), RGBColor(200, 210, 220));
    EXPECT_EQ(Color2RGB(clGrayText), RGBColor(7, 8, 9));
    EXPECT_EQ(ColorToRgb(clBtnFace), qRgb(1, 2, 3));
    EXPECT_EQ(Color2RGB(clSystemColor | 25), clBlack); // unassigned index
    EXPECT_EQ(Color2RGB(clSystemColor | 0xFF), clBlack);
    EXPECT_EQ(AdjustColor(clBtnFace, 0), RGBColor(1, 2, 3));

    QApplication::setPalette(saved);
}

TEST(VrsysutilsColors, AdjustColorStopsShortOfTheLimits)
{
    EXPECT_EQ(AdjustColor(clWhite, 10), RGBColor(254, 254, 254));
    EXPECT_EQ(AdjustColor(clBlack, -10), RGBColor(1, 1, 1));
    EXPECT_EQ(AdjustColor(0x102030, 0), 0x102030);
    EXPECT_EQ(AdjustColor(RGBColor(250, 10, 100), 5), RGBColor(255, 15, 105)); // exactly 255 stays
    EXPECT_EQ(AdjustColor(RGBColor(250, 10, 100), 6), RGBColor(254, 16, 106));
    EXPECT_EQ(AdjustColor(RGBColor(250, 10, 100), -10), RGBColor(240, 0, 90)); // exactly 0 stays
    EXPECT_EQ(AdjustColor(RGBColor(250, 10, 100), -11), RGBColor(239, 1, 89));
    EXPECT_EQ(AdjustColor(RGBColor(9, 9, 9), INT_MAX), RGBColor(254, 254, 254));
    EXPECT_EQ(AdjustColor(RGBColor(9, 9, 9), INT_MIN), RGBColor(1, 1, 1));
}
