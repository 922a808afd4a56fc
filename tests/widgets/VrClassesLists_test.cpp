#include "widgets/VrClassesLists.h"
#include "widgets/VrControlsTypes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EVrException& e) {
        return e.Message();
    }
    return {};
}

TEST(TVrIntList, AppendingGrowsCapacityInTheDocumentedSteps)
{
    TVrIntList list;
    std::vector<std::int32_t> capacities;
    for (int i = 0; i < 100; ++i) {
        const std::int32_t before = list.Capacity();
        EXPECT_EQ(list.Add(i * 3), i);
        if (list.Capacity() != before)
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    ASSERT_EQ(list.Count(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(list.Items(i), i * 3);
}

TEST(TVrIntList, SettingCountSizesCapacityExactlyAndZeroesNewItems)
{
    TVrIntList list;
    list.SetCount(10);
    EXPECT_EQ(list.Capacity(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(list.Items(i), 0);

    list.SetItems(3, 7);
    list.SetCount(2);
    list.SetCount(5); // items that come back are zeroed, not the old values
    EXPECT_EQ(list.Items(3), 0);
    EXPECT_EQ(list.Capacity(), 10);
}

TEST(TVrIntList, DeleteMovesLaterItemsDown)
{
    TVrIntList list;
    for (int v : {10, 20, 30, 40})
        list.Add(v);
    list.Delete(1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0), 10);
    EXPECT_EQ(list.Items(1), 30);
    EXPECT_EQ(list.Items(2), 40);
}

TEST(TVrIntList, BadIndicesRaiseAndLeaveTheListUnchanged)
{
    TVrIntList list;
    list.Add(1);
    list.Add(2);
    EXPECT_EQ(ErrorOf([&] { list.Delete(2); }), "TVrIntList index out of bounds");
    EXPECT_EQ(ErrorOf([&] { list.Delete(-1); }), "TVrIntList index out of bounds");
    EXPECT_EQ(ErrorOf([&] { (void)list.Items(2); }), "TVrIntList index out of bounds");
    EXPECT_EQ(ErrorOf([&] { (void)list.Items(-1); }), "TVrIntList index out of bounds");
    EXPECT_EQ(ErrorOf([&] { list.SetItems(5, 9); }), "TVrIntList index out of bounds");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1), 2);
}

TEST(TVrIntList, CountAndCapacityLimitsRaiseAndLeaveTheListUnchanged)
{
    TVrIntList list;
    list.SetCount(3);
    EXPECT_EQ(ErrorOf([&] { list.SetCount(-1); }), "TVrIntList Count overrun");
    EXPECT_EQ(ErrorOf([&] { list.SetCount(TVrIntList::MaxListSize + 1); }), "TVrIntList Count overrun");
    EXPECT_EQ(ErrorOf([&] { list.SetCapacity(2); }), "TVrIntList Capacity overrun");
    EXPECT_EQ(ErrorOf([&] { list.SetCapacity(TVrIntList::MaxListSize + 1); }),
              "TVrIntList Capacity overrun");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Capacity(), 3);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

// Records every Update call: the item, or null for "all items".
class RecordingCollection : public TVrCollection
{
public:
    void Update(TVrCollectionItem* Item) override { updates.push_back(Item); }
    std::vector<TVrCollectionItem*> updates;
};

class PokableItem : public TVrCollectionItem
{
public:
    using TVrCollectionItem::TVrCollectionItem;
    using TVrCollectionItem::Changed;
};

TEST(TVrCollection, ItemsJoinWithTheirIndexAndAreNotRenumbered)
{
    RecordingCollection collection;
    auto* a = new PokableItem(&collection);
    auto* b = new PokableItem(&collection);
    auto* c = new PokableItem(&collection);
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(b->Collection(), &collection);

    delete a;
    EXPECT_EQ(collection.Count(), 2);
    EXPECT_EQ(collection.Items(0), b);
    EXPECT_EQ(c->Index(), 2); // kept from when it joined
    EXPECT_TRUE(collection.updates.empty()); // joining and leaving notify nobody
}

TEST(TVrCollection, ItemChangesReachUpdateOnlyOutsideBrackets)
{
    RecordingCollection collection;
    auto* item = new PokableItem(&collection);
    item->Changed(false);
    item->Changed(true);
    ASSERT_EQ(collection.updates.size(), 2u);
    EXPECT_EQ(collection.updates[0], item);
    EXPECT_EQ(collection.updates[1], nullptr);

    collection.updates.clear();
    collection.BeginUpdate();
    item->Changed(false);
    collection.BeginUpdate();
    collection.EndUpdate(); // inner close: still inside the outer bracket
    EXPECT_TRUE(collection.updates.empty());
    collection.EndUpdate();
    EXPECT_EQ(collection.updates, std::vector<TVrCollectionItem*>{nullptr});
}

TEST(TVrCollection, AnItemHasOneOwnerHoweverItIsInserted)
{
    RecordingCollection first;
    RecordingCollection second;
    auto* item = new PokableItem(&first);
    second.InsertItem(item);
    second.InsertItem(item);
    first.RemoveItem(item); // no longer first's: changes nothing
    EXPECT_EQ(first.Count(), 0);
    EXPECT_EQ(second.Count(), 1);
    EXPECT_EQ(item->Collection(), &second);
    // Each collection frees what it owns: the item once (a double free would end the test).
}

TEST(TVrCollection, ClearFreesEveryItemWithOneUpdate)
{
    RecordingCollection collection;
    new PokableItem(&collection);
    new PokableItem(&collection);
    collection.Clear();
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_EQ(collection.updates, std::vector<TVrCollectionItem*>{nullptr});

    collection.updates.clear();
    collection.Clear(); // nothing to clear: no update
    EXPECT_TRUE(collection.updates.empty());
}

TEST(TVrCollection, MovingAnItemBetweenCollections)
{
    TVrCollection first, second;
    auto* item = new PokableItem(&first);
    item->SetCollection(&second);
    EXPECT_EQ(first.Count(), 0);
    EXPECT_EQ(second.Count(), 1);
    EXPECT_EQ(item->Collection(), &second);
    item->SetCollection(nullptr);
    EXPECT_EQ(second.Count(), 0);
    EXPECT_EQ(item->Collection(), nullptr);
    delete item;
}

TEST(TVrCollection, IndexOutsideTheListRaises)
{
    TVrCollection collection;
    new PokableItem(&collection);
    EXPECT_EQ(ErrorOf([&] { collection.Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { collection.Items(-1); }), "List index out of bounds (-1)");
}

} // namespace
