// The progress dialog of a memory upload.
#include "module/TForm_Progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(TForm_Progress, HasTheCaptionControlsAndPlaces)
{
    TForm_Progress dialog;
    EXPECT_EQ(dialog.windowTitle(), "Progress");
    EXPECT_EQ(dialog.StaticText1->text(), "Status:");
    EXPECT_EQ(dialog.StaticText3->text(), "Bytes Uploaded:");
    EXPECT_EQ(dialog.StaticText_BytesRead->text(), "000000");
    EXPECT_EQ(dialog.Button1->text(), "&Cancel");
    EXPECT_EQ(dialog.AdvProgress1->geometry(), QRect(67, 76, 245, 32));
    // The button and the count start at their designed places, or right of them where the desktop's
    // font makes "Bytes Uploaded:" and the count need more room.
    EXPECT_GE(dialog.Button1->x(), 153);
    EXPECT_EQ(dialog.Button1->y(), 142);
    EXPECT_GE(dialog.Button1->width(), 75);
    EXPECT_GE(dialog.StaticText_BytesRead->x(), 150);
    EXPECT_EQ(dialog.StaticText_BytesRead->y(), 118);
    EXPECT_EQ(dialog.AdvProgress1->minimum(), 0);
    EXPECT_EQ(dialog.AdvProgress1->maximum(), 100);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

TEST(TForm_Progress, TheBarStopsAtItsTopWhileTheCountRises)
{
    TForm_Progress dialog;
    dialog.ShowProgress(37, 94);
    EXPECT_EQ(dialog.AdvProgress1->value(), 37);
    EXPECT_EQ(dialog.StaticText_BytesRead->text(), "94");

    dialog.ShowProgress(100, 255);
    dialog.ShowProgress(150, 383);
    EXPECT_EQ(dialog.AdvProgress1->value(), 100);
    EXPECT_EQ(dialog.StaticText_BytesRead->text(), "383");

    dialog.ShowProgress(4294967295u, 4294967295u);
    EXPECT_EQ(dialog.AdvProgress1->value(), 100);
    EXPECT_EQ(dialog.StaticText_BytesRead->text(), "4294967295");
}

TEST(TForm_Progress, CancelAndTheCloseButtonAskToStop)
{
    TForm_Progress dialog;
    dialog.show();
    EXPECT_FALSE(dialog.CancelRequested());
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_TRUE(dialog.CancelRequested());
    EXPECT_FALSE(dialog.isVisible());

    TForm_Progress closed;
    closed.show();
    closed.close();
    EXPECT_TRUE(closed.CancelRequested());
}

}  // namespace
