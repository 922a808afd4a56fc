// The controls used from any Qt code: they ask a layout for the room they need, repaint on a
// new font colour and report the mouse as their published events say.
#include "widgets/VrCheckLed.h"
#include "widgets/VrLeds.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(ControlsInLayouts, TakeTheirRoomRepaintAndSignalTheMouse)
{
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    auto* led = new TVrLed;
    led->SetCaption(QStringLiteral("Offline"));
    auto* user = new TVrUserLed;
    auto* check = new TVrCheckLed;
    check->SetCaption(QStringLiteral("Alarm"));
    for (QWidget* control : {static_cast<QWidget*>(led), static_cast<QWidget*>(user), static_cast<QWidget*>(check)})
        row->addWidget(control);
    window.show();
    QApplication::processEvents();
    for (const QWidget* control : {static_cast<QWidget*>(led), static_cast<QWidget*>(user), static_cast<QWidget*>(check)}) {
        EXPECT_TRUE(control->minimumSizeHint().isValid()) << control->metaObject()->className();
        EXPECT_GE(control->width(), control->minimumSizeHint().width()) << control->metaObject()->className();
        EXPECT_GE(control->height(), control->minimumSizeHint().height()) << control->metaObject()->className();
    }
    EXPECT_GE(led->minimumSizeHint().width(), led->fontMetrics().horizontalAdvance(QStringLiteral("Offline")) + 9);
    EXPECT_TRUE(QRect(QPoint(), led->size()).contains(led->TextRect().ToQRect()));

    PaintCounter counter;
    led->installEventFilter(&counter);
    led->SetFontColor(clRed);
    EXPECT_GT(counter.paints, 0) << "a new font colour did not repaint";

    QSignalSpy clicks(led, &TVrGraphicControl::Click);
    QSignalSpy downs(led, &TVrGraphicControl::MouseDown);
    QSignalSpy ups(led, &TVrGraphicControl::MouseUp);
    QSignalSpy ledDoubles(led, &TVrGraphicControl::DblClick);
    QTest::mouseClick(led, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(ups.count(), 1);
    QTest::mouseDClick(led, Qt::LeftButton);
    EXPECT_EQ(ledDoubles.count(), 0) << "TVrLed publishes no double click: it is a second press";
    EXPECT_EQ(downs.count(), 2);

    QSignalSpy userDoubles(user, &TVrGraphicControl::DblClick);
    QSignalSpy userClicks(user, &TVrGraphicControl::Click);
    QTest::mouseClick(user, Qt::LeftButton);
    QTest::mouseDClick(user, Qt::LeftButton);
    EXPECT_EQ(userClicks.count(), 1);
    EXPECT_EQ(userDoubles.count(), 1);
}

} // namespace
