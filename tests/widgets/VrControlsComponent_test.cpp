#include "widgets/VrControlsComponent.h"
#include "widgets/VrControlsCursor.h"

#include <QMetaProperty>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TEST(TVrComponent, ShowsTheLibraryVersionWithoutStoringIt)
{
    TVrComponent component;
    EXPECT_EQ(component.property("Version").toString(), "1.3");
    const QMetaObject* meta = component.metaObject();
    const QMetaProperty version = meta->property(meta->indexOfProperty("Version"));
    EXPECT_FALSE(version.isStored());
}

TEST(TVrSharedComponent, NotifiesEveryLinkInOrderWithItselfAsSender)
{
    TVrSharedComponent shared;
    std::vector<std::pair<int, QObject*>> calls;
    TVrChangeLink first, second;
    first.OnChange = [&](QObject* s) { calls.emplace_back(1, s); };
    second.OnChange = [&](QObject* s) { calls.emplace_back(2, s); };
    shared.InsertLink(&first);
    shared.InsertLink(&second);
    shared.NotifyClients();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(1, static_cast<QObject*>(&shared)));
    EXPECT_EQ(calls[1], std::make_pair(2, static_cast<QObject*>(&shared)));
}

TEST(TVrSharedComponent, ALinkBelongsToOneComponentAndIsListedOnce)
{
    TVrSharedComponent a, b;
    int calls = 0;
    {
        TVrChangeLink link;
        link.OnChange = [&](QObject*) { ++calls; };
        a.InsertLink(&link);
        a.InsertLink(&link);
        EXPECT_EQ(a.LinkCount(), 1);
        b.InsertLink(&link);
        EXPECT_EQ(a.LinkCount(), 0);
        EXPECT_EQ(b.LinkCount(), 1);
        EXPECT_EQ(link.Sender(), &b);
        a.NotifyClients();
        EXPECT_EQ(calls, 0);
        b.NotifyClients();
        EXPECT_EQ(calls, 1);
    }
    // The destroyed link left both lists: notifying touches nothing that is gone.
    EXPECT_EQ(a.LinkCount(), 0);
    EXPECT_EQ(b.LinkCount(), 0);
    a.NotifyClients();
    b.NotifyClients();
    EXPECT_EQ(calls, 1);
}

TEST(TVrSharedComponent, DestroyingTheComponentLeavesItsLinksWithoutSender)
{
    TVrChangeLink link;
    QObject* seen = reinterpret_cast<QObject*>(1);
    link.OnChange = [&](QObject* s) { seen = s; };
    {
        TVrSharedComponent shared;
        shared.InsertLink(&link);
        shared.NotifyClients(); // no links: nothing; one link: called
        EXPECT_EQ(seen, &shared);
    }
    EXPECT_EQ(link.Sender(), nullptr);
    link.Change(); // still callable, with no sender
    EXPECT_EQ(seen, nullptr);
}

TEST(TVrSharedComponent, RemovingAnUnknownLinkIsIgnored)
{
    TVrSharedComponent shared;
    TVrChangeLink listed, stranger;
    shared.InsertLink(&listed);
    shared.RemoveLink(&stranger);
    EXPECT_EQ(shared.LinkCount(), 1);
    shared.RemoveLink(&listed);
    EXPECT_EQ(shared.LinkCount(), 0);
    EXPECT_EQ(listed.Sender(), nullptr);
}

TEST(TVrSharedComponent, AHandlerDroppingLinksDoesNotReadPastTheList)
{
    TVrSharedComponent shared;
    auto first = std::make_unique<TVrChangeLink>();
    auto second = std::make_unique<TVrChangeLink>();
    int secondCalls = 0;
    first->OnChange = [&](QObject*) { second.reset(); };
    second->OnChange = [&](QObject*) { ++secondCalls; };
    shared.InsertLink(first.get());
    shared.InsertLink(second.get());
    shared.NotifyClients();
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(shared.LinkCount(), 1);
}

TEST(VrScreenCursor, TheHandIsRegisteredAs99)
{
    const QCursor hand = VrScreenCursor(99);
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(10, 5));
    const QImage image = hand.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    // Two colours on a clear ground: the finger tip is black outline around white.
    EXPECT_EQ(image.pixelColor(9, 4), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(9, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(VrScreenCursor(12345).shape(), Qt::ArrowCursor);
}

} // namespace
