// The enumerator behind For Each: where Next, Skip, Reset and Clone leave it and what they return,
// and the references on the objects it holds and hands out.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "platform/automation/VariantEnumerator.h"
#include "support/ComStub.h"

namespace {

using platform::ScopedVariant;

// Next(count) as "S_OK 1 2" or "S_FALSE obj": the result, then each value fetched (an object as obj).
std::string Next(IEnumVARIANT* values, ULONG count)
{
    std::array<VARIANT, 4> raw{};
    ULONG fetched = 0;
    const HRESULT hr = values->Next(count, raw.data(), &fetched);
    std::string text = hr == S_OK ? "S_OK" : hr == S_FALSE ? "S_FALSE" : "error";
    for (ULONG i = 0; i < fetched && i < raw.size(); ++i) {
        ScopedVariant value;
        *value.Receive() = raw[i]; // owned from here on
        text += value.Object() ? " obj" : " " + std::to_string(value.ToLong().value_or(-1));
    }
    return text;
}

TEST(VariantEnumerator, NextSkipResetAndCloneKeepTheirPlaceAndTheReferences)
{
    teststub::DispatchStub object;
    {
        auto items = platform::VariantEnumerator::Create(std::make_shared<const std::vector<ScopedVariant>>(
            std::vector<ScopedVariant>{1, 2, static_cast<IDispatch*>(&object)}));
        EXPECT_EQ(Next(items.Get(), 2), "S_OK 1 2");
        platform::ComPtr<IEnumVARIANT> clone;
        ASSERT_EQ(items->Clone(clone.Receive()), S_OK);
        EXPECT_EQ(Next(clone.Get(), 3), "S_FALSE obj") << "a clone starts where the original is";
        EXPECT_EQ(Next(items.Get(), 2), "S_FALSE obj") << "and moves on its own";
        EXPECT_EQ(object.references, 2u) << "the values hold one reference; the copies handed out went";
        EXPECT_TRUE(items->Reset() == S_OK && items->Skip(2) == S_OK);
        EXPECT_EQ(Next(items.Get(), 1), "S_OK obj");
        EXPECT_TRUE(items->Reset() == S_OK && items->Skip(4) == S_FALSE);
        EXPECT_EQ(Next(items.Get(), 1), "S_FALSE") << "skipping past the end stops at it";
        items.Reset();
        EXPECT_EQ(object.references, 2u) << "the clone still holds the values";
    }
    EXPECT_EQ(object.references, 1u);
}

} // namespace
