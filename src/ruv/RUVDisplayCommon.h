// What the source files of the RUV display share: the display itself, model texts, and the COM
// helpers they call the object model with.
#pragma once

#include <type_traits>

#include "platform/com/ComError.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"
#include "ruv/ModelText.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::Check;
using platform::Deref;
using platform::QueryOrNull;
using platform::RaiseComError;
using platform::ScopedBstr;
using platform::ScopedVariant;

// Item(index) of an object model collection: the index as a VARIANT of type VT_I4 where Item takes
// a VARIANT, the number itself where it takes a long.
template <typename Collection, typename Item>
HRESULT ItemAt(Collection* collection, long index, Item** item)
{
    if constexpr (std::is_invocable_v<decltype(&Collection::Item), Collection*, VARIANT, Item**>)
        return collection->Item(ScopedVariant(index).Value(), item);
    else
        return collection->Item(index, item);
}

// Visits the items of a collection in order with their indexes, asking for the count afresh before
// each one: a host's handlers may change the model while its items are shown. A null collection
// raises E_POINTER.
template <typename Item, typename Collection, typename Visit>
void ForEachItem(const platform::ComPtr<Collection>& collection, Visit visit)
{
    long count = 0;
    for (long i = 0; Check(Deref(collection)->GetCount(&count), collection.Get()), i < count; ++i) {
        platform::ComPtr<Item> item;
        Check(ItemAt(collection.Get(), i, item.Receive()), collection.Get());
        visit(item, i);
    }
}
