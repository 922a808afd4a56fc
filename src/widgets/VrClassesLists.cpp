#include "widgets/VrClassesLists.h"

#include "widgets/VrControlsTypes.h"

#include <algorithm>

TVrIntList::~TVrIntList()
{
    Clear();
}

void TVrIntList::CheckIndex(std::int32_t Index) const
{
    if (Index < 0 || Index >= FCount)
        throw EVrException(QStringLiteral("TVrIntList index out of bounds"));
}

std::int32_t TVrIntList::Add(std::int32_t Value)
{
    if (FCount == Capacity())
        Grow();
    FItems[FCount] = Value;
    return FCount++;
}

void TVrIntList::Delete(std::int32_t Index)
{
    CheckIndex(Index);
    std::copy(FItems.begin() + Index + 1, FItems.begin() + FCount, FItems.begin() + Index);
    --FCount;
}

void TVrIntList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

std::int32_t TVrIntList::Items(std::int32_t Index) const
{
    CheckIndex(Index);
    return FItems[Index];
}

void TVrIntList::SetItems(std::int32_t Index, std::int32_t Value)
{
    CheckIndex(Index);
    FItems[Index] = Value;
}

void TVrIntList::SetCount(std::int32_t NewCount)
{
    if (NewCount < 0 || NewCount > MaxListSize)
        throw EVrException(QStringLiteral("TVrIntList Count overrun"));
    if (NewCount > Capacity())
        SetCapacity(NewCount);
    if (NewCount > FCount)
        std::fill(FItems.begin() + FCount, FItems.begin() + NewCount, 0);
    FCount = NewCount;
}

void TVrIntList::SetCapacity(std::int32_t NewCapacity)
{
    if (NewCapacity < FCount || NewCapacity > MaxListSize)
        throw EVrException(QStringLiteral("TVrIntList Capacity overrun"));
    if (NewCapacity != Capacity()) {
        FItems.resize(static_cast<std::size_t>(NewCapacity));
        FItems.shrink_to_fit();
    }
}

void TVrIntList::Grow()
{
    const std::int32_t capacity = Capacity();
    const std::int32_t delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    SetCapacity(capacity + delta);
}

TVrCollection::~TVrCollection()
{
    FUpdateCount = 1;
    Clear();
}

void TVrCollection::Update(TVrCollectionItem*) {}

void TVrCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TVrCollection::EndUpdate()
{
    --FUpdateCount;
    Changed();
}

void TVrCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TVrCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            delete FItems.back(); // the item leaves the list itself
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TVrCollection::InsertItem(TVrCollectionItem* Item)
{
    // One owner at a time: an item already here stays once, one of another collection moves.
    if (!Item || Item->FCollection == this)
        return;
    if (Item->FCollection)
        Item->FCollection->RemoveItem(Item);
    FItems.push_back(Item);
    Item->FIndex = static_cast<std::int32_t>(FItems.size()) - 1;
    Item->FCollection = this;
}

void TVrCollection::RemoveItem(TVrCollectionItem* Item)
{
    if (!Item || Item->FCollection != this)
        return;
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
}

TVrCollectionItem* TVrCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EVrException(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return FItems[static_cast<std::size_t>(Index)];
}

TVrCollectionItem::TVrCollectionItem(TVrCollection* Collection)
{
    SetCollection(Collection);
}

TVrCollectionItem::~TVrCollectionItem()
{
    SetCollection(nullptr);
}

void TVrCollectionItem::SetCollection(TVrCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

void TVrCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->UpdateCount() == 0)
        FCollection->Update(AllItems ? nullptr : this);
}
