// Calls into the object model, named in their errors: Call<&IRUVPipeline::GetName>(pipeline, ...)
// raises the COM error of a failed call with the model's own description, or, where the model
// offers none, with one that names the interface and method; a null object to call raises
// E_POINTER naming them too. A host that hears of the failure learns what failed, not only a number.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"

namespace ruvcall {

// The interface a method belongs to.
template <typename>
struct MethodOf;
template <typename Itf, typename... Params>
struct MethodOf<HRESULT (STDMETHODCALLTYPE Itf::*)(Params...)> {
    using Interface = Itf;
};

// "IRUVPipeline::GetName" for &IRUVPipeline::GetName, read at compile time from the compiler's
// name of this function, which ends "[with auto Method = &IRUVPipeline::GetName]".
template <auto Method>
constexpr std::string_view MethodName()
{
    constexpr std::string_view signature = __PRETTY_FUNCTION__;
    constexpr size_t start = signature.find("= &");
    constexpr size_t end = signature.find_first_of(";]", start);
    static_assert(start != std::string_view::npos && end != std::string_view::npos,
                  "the compiler's function name gives the method after \"= &\"");
    return signature.substr(start + 3, end - start - 3);
}

// Raises result for a failed call of method through object: with the object's error information
// when it describes the failure, else with "IRUVPipeline::GetName failed: " and the system's text.
[[noreturn]] void RaiseCallError(HRESULT result, const IID& iid, IUnknown* object, std::string_view method);
// Raises E_POINTER for a call of method that has no object to go to.
[[noreturn]] void RaiseNoObject(std::string_view method);
// Raises the failed conversion of a value that method gave, to the kind of value named by as.
[[noreturn]] void RaiseUnconverted(HRESULT result, std::string_view method, const wchar_t* as);
// Raises result described by description.
[[noreturn]] void RaiseDescribed(HRESULT result, const std::wstring& description);

// Hears of every call into the object model, with the method and how long it took in
// QueryPerformanceCounter ticks: the benchmark's breakdown of a build. None in the product, where
// a call costs one more pointer test.
class CallObserver {
public:
    virtual void OnCall(std::string_view method, long long ticks) = 0;

protected:
    ~CallObserver() = default;
};
inline CallObserver* g_callObserver = nullptr;

template <auto Method, typename Itf, typename... Args>
HRESULT Invoke(Itf* object, Args&&... args)
{
    if (!g_callObserver)
        return (object->*Method)(std::forward<Args>(args)...);
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    const HRESULT result = (object->*Method)(std::forward<Args>(args)...);
    QueryPerformanceCounter(&end);
    g_callObserver->OnCall(MethodName<Method>(), end.QuadPart - start.QuadPart);
    return result;
}

} // namespace ruvcall

// Calls Method of object with args.
template <auto Method, typename... Args>
void Call(const platform::ComPtr<typename ruvcall::MethodOf<decltype(Method)>::Interface>& object, Args&&... args)
{
    using Itf = typename ruvcall::MethodOf<decltype(Method)>::Interface;
    if (!object)
        ruvcall::RaiseNoObject(ruvcall::MethodName<Method>());
    const HRESULT result = ruvcall::Invoke<Method>(object.Get(), std::forward<Args>(args)...);
    if (FAILED(result))
        ruvcall::RaiseCallError(result, __uuidof(Itf), object.Get(), ruvcall::MethodName<Method>());
}

// A BSTR of text to pass to the object model; a failed allocation raises E_OUTOFMEMORY, so that no
// call goes out with a null text in its place.
platform::ScopedBstr TextArgument(const std::wstring& text);

// Item(index) of an object model collection: the index as a VARIANT of type VT_I4 where Item takes
// a VARIANT, the number itself where it takes a long.
template <typename Collection, typename Item>
void ItemAt(const platform::ComPtr<Collection>& collection, long index, Item** item)
{
    if constexpr (std::is_invocable_v<decltype(&Collection::Item), Collection*, VARIANT, Item**>)
        Call<&Collection::Item>(collection, platform::ScopedVariant(index).Value(), item);
    else
        Call<&Collection::Item>(collection, index, item);
}

// Visits the items of a collection in order with their indexes, asking for the count afresh before
// each one: a host's handlers may change the model while its items are shown. A null collection
// raises E_POINTER.
template <typename Item, typename Collection, typename Visit>
void ForEachItem(const platform::ComPtr<Collection>& collection, Visit visit)
{
    long count = 0;
    for (long i = 0; Call<&Collection::GetCount>(collection, &count), i < count; ++i) {
        platform::ComPtr<Item> item;
        ItemAt(collection, i, item.Receive());
        visit(item, i);
    }
}
