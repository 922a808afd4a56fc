#include "widgets/VrCheckLed.h"
#include "widgets/Vrsysutils.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TColor At(const QImage& image, int x, int y)
{
    return RgbToColor(image.pixel(x, y));
}

QPoint Centre(const TRect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Counts paints and records OnChange by name.
class Probe : public TVrCheckLed
{
public:
    Probe(QWidget* parent, const QString& name, QStringList* log) : TVrCheckLed(parent)
    {
        OnChange = [this, name, log](QObject* sender) {
            if (log)
                *log << name + (sender == this ? (Checked() ? "+" : "-") : "?");
        };
    }
    int paints = 0;
    QImage Render()
    {
        QImage screen(size(), QImage::Format_RGB32);
        WMPaint(&screen);
        return screen;
    }

protected:
    void Paint() override
    {
        ++paints;
        TVrCheckLed::Paint();
    }
};

void Move(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class CheckLedTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        led = new Probe(&window, "led", &log);
        led->SetCaption("Alarm");
        window.show();
        QApplication::processEvents();
        led->paints = 0;
    }
    QWidget window;
    Probe* led = nullptr;
    QStringList log;
};

TEST(TVrCheckLed, Defaults)
{
    TVrCheckLed led;
    EXPECT_EQ(led.size(), QSize(125, 25));
    EXPECT_EQ(led.Color(), clBtnFace);
    EXPECT_FALSE(led.ParentColor());
    EXPECT_FALSE(led.TabStop());
    EXPECT_FALSE(led.Checked());
    EXPECT_EQ(led.CheckWidth(), 20);
    EXPECT_EQ(led.CheckHeight(), 13);
    EXPECT_EQ(led.CheckStyle(), csCheckbox);
    EXPECT_EQ(led.Layout(), ImageLeft);
    EXPECT_EQ(led.Margin(), -1);
    EXPECT_EQ(led.Spacing(), 5);
    EXPECT_EQ(led.Palette()->Low(), clGreen);
    EXPECT_EQ(led.Palette()->High(), clLime);
    // Laid out with the offset (1, 1): no caption, the square is centred and moved by one.
    EXPECT_EQ(led.CheckRect(), Bounds((125 - 20 + 1) / 2 + 1, (25 - 13 + 1) / 2 + 1, 20, 13));
}

TEST(TVrCheckLed, SquareStatesDrawTheirFramesAndFill)
{
    Probe led(nullptr, "led", nullptr);
    const TRect r = led.CheckRect();
    QImage off = led.Render();
    EXPECT_EQ(At(off, r.left, r.top), Color2RGB(clBtnHighlight)); // raised: light outer edge
    EXPECT_EQ(At(off, r.right - 1, r.bottom - 1), clBlack);
    EXPECT_EQ(At(off, r.left + 1, r.top + 1), Color2RGB(clBtnHighlight));
    EXPECT_EQ(At(off, r.right - 2, r.bottom - 2), Color2RGB(clBtnShadow));
    EXPECT_EQ(At(off, r.left + 2, r.top + 2), Color2RGB(clBtnFace));
    EXPECT_EQ(At(off, r.left + 3, r.top + 3), clBlack);
    EXPECT_EQ(At(off, r.left + 4, r.top + 4), clGreen); // Low
    EXPECT_EQ(At(off, r.right - 5, r.bottom - 5), clGreen);

    led.SetChecked(true);
    QImage on = led.Render();
    EXPECT_EQ(At(on, r.left, r.top), clBlack); // sunken
    EXPECT_EQ(At(on, r.right - 1, r.bottom - 1), Color2RGB(clBtnHighlight));
    EXPECT_EQ(At(on, r.left + 4, r.top + 4), clLime); // High
}

TEST_F(CheckLedTest, ClickOnTheSquareCommitsOnTheCaptionDoesNot)
{
    int clicks = 0;
    led->OnClick = [&](QObject*) { ++clicks; };
    QTest::mouseClick(led, Qt::LeftButton, {}, Centre(led->TextRect()));
    EXPECT_FALSE(led->Checked());
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(clicks, 1);

    QTest::mouseClick(led, Qt::LeftButton, {}, Centre(led->CheckRect()));
    EXPECT_TRUE(led->Checked());
    EXPECT_EQ(log, QStringList({"led+"}));
    EXPECT_EQ(clicks, 2);
    QTest::mouseClick(led, Qt::RightButton, {}, Centre(led->CheckRect()));
    EXPECT_TRUE(led->Checked());
}

TEST_F(CheckLedTest, PressMoveOffAndReleaseRestoresWithoutChange)
{
    const QPoint square = Centre(led->CheckRect());
    QTest::mousePress(led, Qt::LeftButton, {}, square);
    EXPECT_TRUE(led->Checked()); // shown, not committed
    EXPECT_GE(led->paints, 1);
    QTest::mouseRelease(led, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_FALSE(led->Checked());
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(CheckLedTest, WritingTheCurrentValueOrTheStyleDoesNothing)
{
    led->SetChecked(false);
    led->SetCheckStyle(csRadioButton);
    led->SetCheckWidth(20);
    EXPECT_EQ(led->paints, 0);
    EXPECT_TRUE(log.isEmpty());
    led->SetCheckWidth(30);
    EXPECT_EQ(led->paints, 1);
    EXPECT_EQ(led->CheckRect().Width(), 30);
}

TEST_F(CheckLedTest, DisabledControlIgnoresPressesAndGreysItsCaption)
{
    const QImage enabled = led->Render();
    led->setEnabled(false);
    QTest::mouseClick(led, Qt::LeftButton, {}, Centre(led->CheckRect()));
    EXPECT_FALSE(led->Checked());
    const QImage disabled = led->Render();
    const TRect t = led->TextRect();
    int shadowPixels = 0, enabledShadowPixels = 0;
    for (int y = t.top; y < t.bottom; ++y)
        for (int x = t.left; x < t.right; ++x) {
            shadowPixels += At(disabled, x, y) == Color2RGB(clBtnShadow);
            enabledShadowPixels += At(enabled, x, y) == Color2RGB(clBtnShadow);
        }
    EXPECT_GT(shadowPixels, 5);
    EXPECT_EQ(enabledShadowPixels, 0);
}

TEST_F(CheckLedTest, HoverDithersAnUncheckedSquareOnly)
{
    const TRect r = led->CheckRect();
    const QPoint inner(r.left + 5, r.top + 5);
    Move(led, Centre(r));
    QImage hot = led->Render();
    EXPECT_NE(At(hot, inner.x(), inner.y()), At(hot, inner.x() + 1, inner.y()));
    for (int dx = 0; dx < 2; ++dx) {
        const TColor c = At(hot, inner.x() + dx, inner.y());
        EXPECT_TRUE(c == clGreen || c == clLime);
    }
    const int paints = led->paints;
    Move(led, Centre(r) + QPoint(1, 0)); // still on the square: no repaint
    EXPECT_EQ(led->paints, paints);

    led->SetChecked(true);
    QImage checked = led->Render();
    EXPECT_EQ(At(checked, inner.x(), inner.y()), clLime);
    EXPECT_EQ(At(checked, inner.x() + 1, inner.y()), clLime);

    led->SetChecked(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(led, &leave);
    QImage cold = led->Render();
    EXPECT_EQ(At(cold, inner.x(), inner.y()), clGreen);
    EXPECT_EQ(At(cold, inner.x() + 1, inner.y()), clGreen);
}

TEST_F(CheckLedTest, FocusFollowsTabStop)
{
    QTest::mouseClick(led, Qt::LeftButton, {}, Centre(led->CheckRect()));
    EXPECT_FALSE(led->hasFocus());
    led->SetTabStop(true);
    QApplication::setActiveWindow(&window);
    QTest::mouseClick(led, Qt::LeftButton, {}, Centre(led->TextRect()));
    EXPECT_TRUE(led->hasFocus());
}

TEST_F(CheckLedTest, SpaceAndAcceleratorToggle)
{
    struct KeyCounter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            keys += event->type() == QEvent::KeyPress;
            return false;
        }
    } parentKeys;
    window.installEventFilter(&parentKeys);
    led->SetTabStop(true);
    QApplication::setActiveWindow(&window);
    led->setFocus();
    QTest::keyClick(led, Qt::Key_Space);
    EXPECT_TRUE(led->Checked());
    EXPECT_EQ(parentKeys.keys, 0) << "the space went on to the parent";
    const TRect plain = led->TextRect();
    led->SetCaption("&Alarm");
    EXPECT_EQ(led->TextRect().Width(), plain.Width()) << "the & takes room of its own";
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    EXPECT_FALSE(led->Checked());
    EXPECT_EQ(log, QStringList({"led+", "led-"}));
}

TEST(TVrCheckLedRadio, CheckingOneUnchecksItsRadioSiblingsFirst)
{
    QWidget window, other;
    QStringList log;
    auto* a = new Probe(&window, "a", &log);
    auto* b = new Probe(&window, "b", &log);
    auto* box = new Probe(&window, "box", &log);
    auto* elsewhere = new Probe(&other, "elsewhere", &log);
    for (Probe* led : {a, b, elsewhere})
        led->SetCheckStyle(csRadioButton);
    a->SetChecked(true);
    box->SetChecked(true);
    elsewhere->SetChecked(true);
    log.clear();

    b->SetChecked(true);
    EXPECT_EQ(log, QStringList({"a-", "b+"}));
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(elsewhere->Checked());

    // A click on the checked radio item unchecks it, leaving none checked.
    window.show();
    QApplication::processEvents();
    log.clear();
    QTest::mouseClick(b, Qt::LeftButton, {}, Centre(b->CheckRect()));
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(log, QStringList({"b-"}));
}

} // namespace
