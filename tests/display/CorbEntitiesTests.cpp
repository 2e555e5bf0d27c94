// The entity registry: records, both indexes, references held, the positional walk.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "display/CorbEntities.h"

namespace {

// An entity that counts its references.
class FakeEntity : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown)
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    ULONG references = 0; // the test owns the object; only the registry's references count
};

HTREEITEM Item(std::uintptr_t n) { return reinterpret_cast<HTREEITEM>(n * 16); }

class Registry : public ::testing::Test {
protected:
    // Three entities in descending address order, so that insertion order differs from key order.
    FakeEntity storage[3];
    FakeEntity* high = &storage[2];
    FakeEntity* middle = &storage[1];
    FakeEntity* low = &storage[0];
    CCorbEntities registry;
};

TEST_F(Registry, AnItemHasOneRecordAndTheLastEntityWins)
{
    registry.Add(low, Item(1), TVI_ROOT, 0);
    registry.Add(middle, Item(1), TVI_ROOT, 0);
    EXPECT_EQ(registry.GetEntity(Item(1)).Get(), middle);
    EXPECT_FALSE(registry.ContainsEntity(low));
    EXPECT_EQ(low->references, 0u) << "the replaced entity is released";
    EXPECT_EQ(middle->references, 1u);
    EXPECT_EQ(registry.GetAllItems().size(), 1u);
    EXPECT_EQ(registry.GetEntity(Item(9)).Get(), nullptr);
}

TEST_F(Registry, ItemsOfAnEntityByPlace)
{
    registry.Add(low, Item(5), Item(3), 0);
    registry.Add(low, Item(4), Item(2), 0);
    registry.Add(low, Item(6), Item(2), 1);
    EXPECT_EQ(registry.GetEntityItems(low), (std::vector<HTREEITEM>{Item(4), Item(6), Item(5)}))
        << "ordered by parent, then item data";
    EXPECT_EQ(registry.FindItem(low, Item(2), 1), Item(6));
    EXPECT_EQ(registry.FindItem(low, Item(2), 2), nullptr) << "other item data";
    EXPECT_EQ(registry.FindItem(middle, Item(2), 1), nullptr);
    EXPECT_EQ(low->references, 3u);

    registry.Remove(Item(4));
    EXPECT_TRUE(registry.ContainsEntity(low));
    registry.Remove(Item(5));
    registry.Remove(Item(6));
    registry.Remove(Item(6)); // not recorded any more: ignored
    EXPECT_FALSE(registry.ContainsEntity(low));
    EXPECT_EQ(registry.GetEntityCount(), 0);
    EXPECT_EQ(low->references, 0u);
}

TEST_F(Registry, PositionalWalkInPointerOrderRestartsAfterChanges)
{
    registry.Add(high, Item(1), TVI_ROOT, 0);
    registry.Add(low, Item(2), TVI_ROOT, 0);
    registry.Add(middle, Item(3), TVI_ROOT, 0);
    registry.Add(middle, Item(4), TVI_ROOT, 1);
    ASSERT_EQ(registry.GetEntityCount(), 3);
    EXPECT_EQ(registry.GetEntityAt(0).Get(), low);
    EXPECT_EQ(registry.GetEntityAt(1).Get(), middle);
    EXPECT_EQ(registry.GetEntityAt(2).Get(), high);
    EXPECT_EQ(registry.GetEntityAt(1).Get(), middle) << "stepping back";
    registry.Add(low, Item(5), Item(1), 0);
    EXPECT_EQ(registry.GetEntityAt(2).Get(), high) << "an Add restarts the walk from the first entity";
    EXPECT_EQ(registry.GetEntityAt(3).Get(), nullptr);
    EXPECT_EQ(registry.GetEntityAt(-1).Get(), nullptr);
    EXPECT_EQ(registry.GetEntityAt(1).Get(), middle) << "an index outside leaves the cursor usable";
}

TEST_F(Registry, TransferCopyAndAssign)
{
    CCorbEntities other;
    registry.Add(middle, Item(1), TVI_ROOT, 0);
    registry.Add(low, Item(2), Item(1), 0);
    registry.Add(low, Item(3), Item(1), 1);

    registry.TransferItem(other, Item(9));
    EXPECT_EQ(other.GetAllItems().size(), 0u);
    EXPECT_EQ(registry.GetAllItems().size(), 3u);
    registry.TransferItem(other, Item(2));
    EXPECT_EQ(other.FindItem(low, Item(1), 0), Item(2));
    EXPECT_EQ(registry.FindItem(low, Item(1), 0), nullptr);

    CCorbEntities copy;
    registry.CopyEntityEntries(copy, low);
    EXPECT_EQ(copy.GetAllItems(), (std::vector<HTREEITEM>{Item(3)}));
    EXPECT_EQ(registry.GetAllItems().size(), 2u) << "copying leaves the source as it was";

    registry.Add(high, Item(7), TVI_ROOT, 0);
    CCorbEntities assigned;
    assigned.Add(high, Item(8), TVI_ROOT, 0);
    assigned.Assign(registry);
    EXPECT_EQ(assigned.GetAllItems(), registry.GetAllItems()) << "the order of addition is kept";
    assigned.Assign(assigned);
    EXPECT_EQ(assigned.GetAllItems().size(), 3u) << "assigning to itself changes nothing";
}

TEST_F(Registry, DestroyingReleasesEveryReference)
{
    {
        CCorbEntities scoped;
        scoped.Add(low, Item(1), TVI_ROOT, 0);
        scoped.Add(low, Item(2), TVI_ROOT, 1);
        scoped.Add(high, Item(3), TVI_ROOT, 0);
        EXPECT_EQ(low->references, 2u);
    }
    EXPECT_EQ(low->references, 0u);
    EXPECT_EQ(high->references, 0u);
    registry.Add(middle, Item(1), TVI_ROOT, 0);
    registry.Clear();
    EXPECT_EQ(middle->references, 0u);
    EXPECT_EQ(registry.GetEntityAt(0).Get(), nullptr);
}

TEST_F(Registry, ALaterRecordAtTheSamePlaceHidesTheEarlierOneFromTheEntityIndex)
{
    registry.Add(low, Item(1), TVI_ROOT, 0);
    registry.Add(low, Item(2), TVI_ROOT, 0);
    EXPECT_EQ(registry.FindItem(low, TVI_ROOT, 0), Item(2));
    EXPECT_EQ(registry.GetEntity(Item(1)).Get(), low) << "still reachable through its item";
    registry.Remove(Item(1));
    EXPECT_EQ(registry.FindItem(low, TVI_ROOT, 0), nullptr) << "removing either removes the place";
    EXPECT_EQ(registry.GetEntity(Item(2)).Get(), low);
}

} // namespace
