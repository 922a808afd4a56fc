#include "widgets/VrControls.h"

#include <QApplication>
#include <QEnterEvent>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Blue = 0xFF0000FF;

// Draws a blue square from (5, 5) to (15, 15) over its background and counts its paints.
class SquareControl : public TVrGraphicImageControl
{
public:
    using TVrGraphicImageControl::TVrGraphicImageControl;
    using TVrGraphicImageControl::CopyParentImage;
    int paints = 0;
    bool fail = false;

protected:
    void Paint() override
    {
        ++paints;
        if (fail)
            throw std::runtime_error("paint failed");
        ClearBitmapCanvas();
        GetBitmapCanvas().Brush.Color = clBlue;
        GetBitmapCanvas().FillRect(TRect{5, 5, 15, 15});
        TVrGraphicImageControl::Paint();
    }
};

QImage Filled(QSize size, QRgb rgb)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

class VrControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        control.setGeometry(0, 0, 20, 20);
        control.SetColor(clRed);
    }
    SquareControl control;
};

TEST_F(VrControlsTest, OpaqueControlFillsItsBufferWithColorAndCopiesItWhole)
{
    QImage screen = Filled({20, 20}, Yellow);
    control.WMPaint(&screen);
    EXPECT_EQ(control.paints, 1);
    EXPECT_EQ(screen.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(screen.pixel(19, 19), 0xFFFF0000u);
    EXPECT_EQ(screen.pixel(5, 5), Blue);
    EXPECT_EQ(screen.pixel(15, 15), 0xFFFF0000u);
    EXPECT_EQ(control.Bitmap().size(), QSize(20, 20));
}

TEST_F(VrControlsTest, PaintRequestWithoutDeviceContextIsIgnored)
{
    control.WMPaint(nullptr);
    EXPECT_EQ(control.paints, 0);
}

TEST_F(VrControlsTest, CanvasIsDetachedAfterAFailedPaint)
{
    control.fail = true;
    QImage screen = Filled({20, 20}, Yellow);
    EXPECT_THROW(control.WMPaint(&screen), std::runtime_error);
    EXPECT_EQ(control.Canvas().Target(), nullptr);
}

TEST_F(VrControlsTest, TransparentControlCachesWhatLiesBeneathAndReusesItOnPropertyChanges)
{
    control.SetTransparent(true);
    EXPECT_FALSE(control.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_TRUE(control.ParentCopy());

    // First paint: the canvas shows what the parent painted (yellow); it is captured.
    QImage screen = Filled({20, 20}, Yellow);
    control.WMPaint(&screen);
    EXPECT_EQ(screen.pixel(0, 0), Yellow);
    EXPECT_EQ(screen.pixel(6, 6), Blue);
    EXPECT_EQ(control.ParentImage().pixel(19, 0), Yellow);
    EXPECT_TRUE(control.ParentCopy());

    // A property change repaints opaquely over the cache, whatever the canvas shows.
    control.UpdateControlCanvas();
    EXPECT_FALSE(control.ParentCopy());
    EXPECT_TRUE(control.testAttribute(Qt::WA_OpaquePaintEvent));
    QImage uncovered = Filled({20, 20}, 0xFF000000);
    control.WMPaint(&uncovered);
    EXPECT_EQ(uncovered.pixel(0, 0), Yellow);
    EXPECT_EQ(uncovered.pixel(6, 6), Blue);
    // ... and the paint turns the capture back on for paints of other origin.
    EXPECT_TRUE(control.ParentCopy());
    EXPECT_FALSE(control.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(VrControlsTest, TransparentControlWithoutCacheKeepsTheNormalPath)
{
    control.SetTransparent(true);
    control.UpdateControlCanvas(); // never painted: empty parent image
    EXPECT_TRUE(control.ParentCopy());
    EXPECT_FALSE(control.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(VrControlsTest, InTheDesignerTransparencyNeverTurnsOpaque)
{
    control.SetDesigning(true);
    control.SetTransparent(true);
    QImage screen = Filled({20, 20}, Yellow);
    control.WMPaint(&screen);
    control.UpdateControlCanvas();
    EXPECT_TRUE(control.ParentCopy());
    EXPECT_FALSE(control.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(VrControlsTest, ShowDesignFrameDrawsOnlyInTheDesigner)
{
    QImage image = Filled({20, 20}, 0xFFFFFFFF);
    TVrCanvas canvas(&image);
    control.ShowDesignFrame(canvas);
    EXPECT_EQ(image, Filled({20, 20}, 0xFFFFFFFF));
    control.SetDesigning(true);
    control.ShowDesignFrame(canvas);
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(image.pixel(10, 10), 0xFFFFFFFFu); // clear brush: inside untouched
}

// Shown on the offscreen platform, so repaint() paints at once and paints can be counted.
class ShownControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(100, 100);
        control = new SquareControl(&window);
        control->setGeometry(10, 10, 20, 20);
        window.show();
        QApplication::processEvents();
        control->paints = 0;
    }
    QWidget window;
    SquareControl* control = nullptr;
};

TEST_F(ShownControlTest, UpdateBracketsAndLoadingBatchRepaints)
{
    control->UpdateControlCanvas();
    EXPECT_EQ(control->paints, 1);

    control->BeginUpdate();
    control->BeginUpdate();
    control->UpdateControlCanvas();
    control->EndUpdate(); // inner close: outer bracket still open
    EXPECT_EQ(control->paints, 1);
    control->EndUpdate();
    EXPECT_EQ(control->paints, 2);

    control->BeginLoading();
    control->UpdateControlCanvas();
    control->EndLoading();
    EXPECT_EQ(control->paints, 2);

    // An unbalanced EndUpdate leaves the counter below 0: no repaints until it is back.
    control->EndUpdate();
    control->UpdateControlCanvas();
    EXPECT_EQ(control->UpdateCount(), -1);
    EXPECT_EQ(control->paints, 2);
    control->BeginUpdate();
    control->UpdateControlCanvas();
    EXPECT_EQ(control->paints, 3);
}

TEST_F(ShownControlTest, SetTransparentRepaintsOnlyOnAChange)
{
    control->SetTransparent(false);
    EXPECT_EQ(control->paints, 0);
    control->SetTransparent(true);
    EXPECT_GE(control->paints, 1);
}

TEST_F(ShownControlTest, TransparentControlShowsTheParentBackground)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0, 200, 0));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    control->SetTransparent(true);
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(10, 10), qRgb(0, 200, 0));
    EXPECT_EQ(shot.pixel(16, 16), Blue);
    EXPECT_EQ(control->ParentImage().pixel(0, 0), qRgb(0, 200, 0));
}

// Sizes itself to a natural width whenever its bounds are applied, as an automatically sized
// control does.
class SizingControl : public SquareControl
{
public:
    using SquareControl::SquareControl;
    int naturalWidth = 20;
    void SetBounds(int ALeft, int ATop, int, int AHeight) override
    {
        SquareControl::SetBounds(ALeft, ATop, naturalWidth, AHeight);
    }
};

TEST_F(ShownControlTest, BackgroundIsWhatQtComposesNotTheParentsOwnPalette)
{
    QPalette green = window.palette();
    green.setColor(QPalette::Window, QColor(0, 200, 0));
    window.setPalette(green);
    window.setAutoFillBackground(true);
    // A panel that fills nothing itself: its red palette never shows.
    auto* panel = new QWidget(&window);
    QPalette red = panel->palette();
    red.setColor(QPalette::Window, QColor(200, 0, 0));
    panel->setPalette(red);
    panel->setGeometry(40, 40, 50, 50);
    auto* below = new QWidget(panel); // a sibling stacked below the control, filled blue
    below->setGeometry(0, 0, 12, 12);
    below->setAutoFillBackground(true);
    QPalette blue = below->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 200));
    below->setPalette(blue);
    auto* inner = new SquareControl(panel);
    inner->setGeometry(10, 10, 20, 20);
    inner->SetTransparent(true);
    panel->show();
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(40 + 10 + 1, 40 + 10 + 1), qRgb(0, 0, 200)); // the sibling below
    EXPECT_EQ(shot.pixel(40 + 10 + 19, 40 + 10 + 19), qRgb(0, 200, 0)); // the window beneath
    EXPECT_EQ(shot.pixel(40 + 10 + 6, 40 + 10 + 6), Blue);
}

TEST_F(ShownControlTest, AdjustControlSizeRepaintsOnlyWhenTheBoundsStay)
{
    auto* sizing = new SizingControl(&window);
    sizing->setGeometry(40, 40, 20, 20);
    sizing->show();
    QApplication::processEvents();
    sizing->paints = 0;

    sizing->AdjustControlSize();
    EXPECT_EQ(sizing->paints, 1);

    sizing->naturalWidth = 30;
    sizing->AdjustControlSize();
    EXPECT_EQ(sizing->width(), 30);
    EXPECT_EQ(sizing->paints, 1); // the resize repaints later, through the event loop

    sizing->naturalWidth = 35;
    sizing->BeginLoading();
    sizing->AdjustControlSize();
    EXPECT_EQ(sizing->width(), 30);
    EXPECT_EQ(sizing->paints, 1);
}

TEST_F(ShownControlTest, UpdateControlBoundsReappliesOnlyAutomaticSizes)
{
    control->SetAutoSize(true);
    control->SetAlign(alClient);
    control->UpdateControlBounds();
    EXPECT_EQ(control->paints, 1);
    control->SetAlign(alNone);
    control->UpdateControlBounds();
    EXPECT_EQ(control->paints, 2);
}

TEST(TVrControlBase, HookEventsFireWithTheControlAsSender)
{
    TVrGraphicControl control;
    QStringList calls;
    control.OnMouseEnter = [&](QObject* s) { calls << (s == &control ? "enter" : "?"); };
    control.OnMouseLeave = [&](QObject* s) { calls << (s == &control ? "leave" : "?"); };
    control.OnFontChanged = [&](QObject* s) { calls << (s == &control ? "font" : "?"); };
    control.OnTextChanged = [&](QObject* s) { calls << (s == &control ? "text" : "?"); };

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&control, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&control, &leave);
    QFont font = control.font();
    font.setPointSize(font.pointSize() + 3);
    control.setFont(font);
    control.SetFontColor(clRed);
    control.SetCaption("On");
    control.SetCaption("On");
    EXPECT_EQ(calls, QStringList({"enter", "leave", "font", "font", "text"}));
}

TEST(TVrControlBase, ColourFollowsTheParentUntilSet)
{
    TVrGraphicControl parent;
    parent.SetColor(clNavy);
    auto* child = new TVrGraphicControl(&parent);
    EXPECT_TRUE(child->ParentColor());
    EXPECT_EQ(child->Color(), clNavy);
    child->SetColor(clLime);
    EXPECT_FALSE(child->ParentColor());
    EXPECT_EQ(child->Color(), clLime);
    EXPECT_EQ(child->property("Version").toString(), "1.3");
}

TEST(TVrControlBase, ClearClientCanvasFillsTheClientAreaWithColor)
{
    class Filler : public TVrGraphicControl
    {
    public:
        using TVrGraphicControl::TVrGraphicControl;
        void Paint() override { ClearClientCanvas(); }
    } control;
    control.resize(4, 3);
    control.SetColor(clLime);
    QImage screen = Filled({6, 5}, Yellow);
    control.WMPaint(&screen);
    EXPECT_EQ(screen.pixel(3, 2), 0xFF00FF00u);
    EXPECT_EQ(screen.pixel(4, 2), Yellow);
    EXPECT_EQ(screen.pixel(3, 3), Yellow);
}

TEST(TVrCustomImageControl, BufferIsSizedFilledAndCopied)
{
    class Plain : public TVrCustomImageControl
    {
    public:
        using TVrCustomImageControl::TVrCustomImageControl;
        void Paint() override
        {
            ClearBitmapCanvas();
            GetBitmapCanvas().SetPixel(1, 1, clBlue);
            TVrCustomImageControl::Paint();
        }
    } control;
    control.resize(5, 4);
    control.SetColor(clGreen);
    QImage screen = Filled({5, 4}, Yellow);
    control.WMPaint(&screen);
    EXPECT_EQ(control.Bitmap().size(), QSize(5, 4));
    EXPECT_EQ(screen.pixel(0, 0), qRgb(0, 0x80, 0));
    EXPECT_EQ(screen.pixel(1, 1), Blue);
    EXPECT_EQ(screen.pixel(4, 3), qRgb(0, 0x80, 0));
}

TEST(VrControlsTables, TranslateEnumerationsIntoDrawingCodes)
{
    EXPECT_EQ(cfGradDirection[gdUpDownHalf], 5);
    EXPECT_EQ(cfGradDirection[gdChord2], 4);
    EXPECT_EQ(cfImageTextLayout[ImageBottom], 4);
    EXPECT_EQ(cfTextAlign[vtaBottomRight], 10);
    EXPECT_EQ(cfTextAlign[vtaTopLeft], 0);
    EXPECT_EQ(cfOrientation[voHorizontal], 1);
    EXPECT_TRUE(TVrHoursInt::Contains(23));
    EXPECT_FALSE(TVrHoursInt::Contains(24));
    EXPECT_FALSE(TVrColInt::Contains(0));
}

} // namespace
