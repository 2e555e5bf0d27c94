// The COM value kit: a VARIANT owner that copies, moves, hands over and converts without leaking or
// double-freeing what it holds, and one handle owner that closes each handle exactly once.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/com/ScopedHandle.h"
#include "platform/com/ScopedVariant.h"
#include "support/ComStub.h"

namespace {

using platform::ScopedVariant;

TEST(ScopedVariant, HoldsItsValueAndItsReferenceOnce)
{
    teststub::DispatchStub object;
    {
        ScopedVariant held(static_cast<IDispatch*>(&object));
        EXPECT_EQ(object.references, 2u);
        ScopedVariant copy(held);
        EXPECT_EQ(object.references, 3u);
        ScopedVariant moved(std::move(copy));
        EXPECT_EQ(object.references, 3u);
        EXPECT_EQ(copy.Type(), VT_EMPTY);
        moved = ScopedVariant(7);
        EXPECT_EQ(object.references, 2u);
        VARIANT handed = held.Release();
        EXPECT_EQ(held.Type(), VT_EMPTY);
        EXPECT_EQ(object.references, 2u) << "the caller owns it now";
        VariantClear(&handed);
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 1u);
}

struct CountingTraits {
    using Handle = int;
    std::vector<int>* closed = nullptr;
    void Close(int handle) const { closed->push_back(handle); }
};

TEST(ScopedHandle, ClosesEachHandleOnceWhereverItGoes)
{
    std::vector<int> closed;
    {
        platform::ScopedHandle<CountingTraits> first(1, CountingTraits{&closed});
        first.Reset(2);
        platform::ScopedHandle<CountingTraits> second(std::move(first));
        EXPECT_FALSE(first);
        platform::ScopedHandle<CountingTraits> third(3, CountingTraits{&closed});
        third = std::move(second);
        EXPECT_EQ(third.Get(), 2);
        platform::ScopedHandle<CountingTraits> released(4, CountingTraits{&closed});
        EXPECT_EQ(released.Release(), 4);
    }
    EXPECT_EQ(closed, (std::vector<int>{1, 3, 2}));
}

} // namespace
