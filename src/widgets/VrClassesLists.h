// Plain containers of the widget library: a growable list of integers and a minimal collection
// that owns its items.
#pragma once

#include <cstdint>
#include <vector>

// Invariant: 0 <= Count <= Capacity <= MaxListSize. Every failed operation leaves the list as it was.
class TVrIntList
{
public:
    static constexpr std::int32_t MaxListSize = 134217727;

    TVrIntList() = default;
    virtual ~TVrIntList();

    std::int32_t Add(std::int32_t Value);
    void Delete(std::int32_t Index);
    void Clear();

    std::int32_t Items(std::int32_t Index) const;
    void SetItems(std::int32_t Index, std::int32_t Value);

    std::int32_t Count() const { return FCount; }
    void SetCount(std::int32_t NewCount);
    std::int32_t Capacity() const { return static_cast<std::int32_t>(FItems.size()); }
    void SetCapacity(std::int32_t NewCapacity);

protected:
    virtual void Grow();

private:
    void CheckIndex(std::int32_t Index) const;

    std::int32_t FCount = 0;
    std::vector<std::int32_t> FItems; // its size is the capacity
};

class TVrCollectionItem;

class TVrCollection
{
public:
    TVrCollection() = default;
    TVrCollection(const TVrCollection&) = delete;
    TVrCollection& operator=(const TVrCollection&) = delete;
    // Frees the items without telling anyone.
    virtual ~TVrCollection();

    // Called for a change of one item, or of all items when Item is null.
    virtual void Update(TVrCollectionItem* Item);
    virtual void BeginUpdate();
    virtual void EndUpdate();
    void Changed();
    void Clear();

    void InsertItem(TVrCollectionItem* Item);
    void RemoveItem(TVrCollectionItem* Item);

    int Count() const { return static_cast<int>(FItems.size()); }
    // Throws EVrException for an index outside 0 .. Count - 1.
    TVrCollectionItem* Items(int Index) const;
    int UpdateCount() const { return FUpdateCount; }

private:
    std::vector<TVrCollectionItem*> FItems; // owned
    std::int32_t FUpdateCount = 0;
};

class TVrCollectionItem
{
public:
    explicit TVrCollectionItem(TVrCollection* Collection);
    TVrCollectionItem(const TVrCollectionItem&) = delete;
    TVrCollectionItem& operator=(const TVrCollectionItem&) = delete;
    virtual ~TVrCollectionItem();

    void SetCollection(TVrCollection* Value);
    TVrCollection* Collection() const { return FCollection; }
    // The item's position when it joined; not renumbered when earlier items leave.
    std::int32_t Index() const { return FIndex; }

protected:
    void Changed(bool AllItems);

private:
    friend class TVrCollection;
    TVrCollection* FCollection = nullptr;
    std::int32_t FIndex = 0;
};
