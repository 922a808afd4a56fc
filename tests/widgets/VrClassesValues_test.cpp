#include "widgets/VrClassesBitmaps.h"
#include "widgets/VrClassesValues.h"

#include <QMetaProperty>
#include <QVariant>
#include <gtest/gtest.h>

namespace {

// Counts the notifications of one property object.
struct Notifications {
    explicit Notifications(TVrPersistent& object)
    {
        object.OnChange = [this, &object](QObject* sender) {
            ++count;
            EXPECT_EQ(sender, &object);
        };
    }
    int count = 0;
};

TEST(TVrPersistent, SetterNotifiesOnlyOnAChange)
{
    TVrRect rect;
    Notifications changes(rect);
    rect.SetLeft(0);
    EXPECT_EQ(changes.count, 0);
    rect.SetLeft(5);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(rect.property("Left").toInt(), 5);
}

TEST(TVrPersistent, NestedBracketsNotifyOnceWhenTheOutermostCloses)
{
    TVrRect rect;
    Notifications changes(rect);
    rect.BeginUpdate();
    rect.SetLeft(1);
    rect.BeginUpdate();
    rect.SetTop(2);
    rect.EndUpdate();
    EXPECT_EQ(changes.count, 0);
    rect.EndUpdate();
    EXPECT_EQ(changes.count, 1);

    // An extra EndUpdate keeps the counter at 0 and still notifies.
    rect.EndUpdate();
    EXPECT_EQ(rect.UpdateCount(), 0);
    EXPECT_EQ(changes.count, 2);
    rect.SetWidth(3);
    EXPECT_EQ(changes.count, 3);
}

TEST(TVrPersistent, AssignNotifiesExactlyOnceEvenWithoutChanges)
{
    TVrMinMax target, equal, different;
    different.SetMaxValue(50);
    different.SetPosition(20);
    Notifications changes(target);

    target.Assign(&equal);
    EXPECT_EQ(changes.count, 1);
    target.Assign(&target);
    EXPECT_EQ(changes.count, 2);
    target.Assign(&different);
    EXPECT_EQ(changes.count, 3);
    EXPECT_EQ(target.MaxValue(), 50);
    EXPECT_EQ(target.Position(), 20);
}

TEST(TVrPersistent, AssignFromAnotherClassOrNothingRaisesAndChangesNothing)
{
    TVrMinMax minMax;
    TVrRect rect;
    Notifications changes(minMax);
    try {
        minMax.Assign(&rect);
        FAIL() << "no error";
    } catch (const EVrException& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TVrRect to a TVrMinMax");
    }
    EXPECT_THROW(minMax.Assign(nullptr), EVrException);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(minMax.UpdateCount(), 0);
}

TEST(TVrMinMax, AssigningAHigherRangeRefusesTheMinimumFirst)
{
    TVrMinMax target, source;
    source.SetMaxValue(300);
    source.SetMinValue(200);
    source.SetPosition(250);
    target.Assign(&source);
    // MinValue 200 is not below the old MaxValue 100, which is raised only afterwards.
    EXPECT_EQ(target.MinValue(), 0);
    EXPECT_EQ(target.MaxValue(), 300);
    EXPECT_EQ(target.Position(), 250);
}

TEST(TVrMinMax, MovingALimitPastThePositionDragsItAlongWithOneNotification)
{
    TVrMinMax range;
    range.SetPosition(50);
    Notifications changes(range);
    range.SetMinValue(60);
    EXPECT_EQ(range.Position(), 60);
    EXPECT_EQ(changes.count, 1);
    range.SetMaxValue(70);
    EXPECT_EQ(range.Position(), 60);
    EXPECT_EQ(changes.count, 2);
    range.SetMaxValue(65);
    range.SetMinValue(62);
    EXPECT_EQ(range.Position(), 62);
    EXPECT_EQ(changes.count, 4);
    range.SetMaxValue(64);
    range.SetMaxValue(63);
    EXPECT_EQ(range.Position(), 62);
}

TEST(TVrMinMax, RefusedLimitsAndClampedPositions)
{
    TVrMinMax range;
    Notifications changes(range);
    range.SetMinValue(100); // not below MaxValue
    range.SetMaxValue(0);   // not above MinValue
    range.SetMinValue(0);   // unchanged
    EXPECT_EQ(changes.count, 0);
    range.SetPosition(500);
    EXPECT_EQ(range.Position(), 100);
    range.SetPosition(-5);
    EXPECT_EQ(range.Position(), 0);
    EXPECT_EQ(changes.count, 2);
    range.SetPosition(-7); // clamps to the current position: no change
    EXPECT_EQ(changes.count, 2);
}

TEST(TVrRect, SetBoundsStoresAllFourWithOneNotification)
{
    TVrRect rect;
    rect.SetBounds(1, 2, 3, 4);
    Notifications changes(rect);
    rect.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(changes.count, 0);
    rect.SetBounds(1, 2, 3, 9);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(rect.BoundsRect(), (TRect{1, 2, 4, 11}));
    rect.SetBoundsRect(TRect{10, 20, 15, 30});
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(rect.Left(), 10);
    EXPECT_EQ(rect.Top(), 20);
    EXPECT_EQ(rect.Width(), 5);
    EXPECT_EQ(rect.Height(), 10);
}

TEST(TVrPersistent, PropertiesWithAStreamDefaultResetToIt)
{
    TVrRect rect;
    rect.SetTop(7);
    const QMetaObject* meta = rect.metaObject();
    const QMetaProperty top = meta->property(meta->indexOfProperty("Top"));
    ASSERT_TRUE(top.isResettable());
    EXPECT_TRUE(top.reset(&rect));
    EXPECT_EQ(rect.Top(), 0);

    TVrMinMax range; // always stored: no default to reset to
    const QMetaObject* rangeMeta = range.metaObject();
    EXPECT_FALSE(rangeMeta->property(rangeMeta->indexOfProperty("MaxValue")).isResettable());
}

TEST(TVrGlyphs, SetBitmapNotifiesEvenForAnIdenticalBitmap)
{
    TVrGlyphs glyphs;
    EXPECT_EQ(glyphs.NumGlyphs(), 2);
    EXPECT_TRUE(glyphs.Bitmap().isNull());
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    Notifications changes(glyphs);
    glyphs.SetBitmap(image);
    glyphs.SetBitmap(image);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(glyphs.Bitmap(), image);

    TVrGlyphs copy;
    copy.SetNumGlyphs(4);
    Notifications copyChanges(copy);
    copy.Assign(&glyphs);
    EXPECT_EQ(copyChanges.count, 1);
    EXPECT_EQ(copy.NumGlyphs(), 2);
    EXPECT_EQ(copy.Bitmap(), image);
}

} // namespace
