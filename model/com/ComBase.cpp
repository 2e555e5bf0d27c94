#include "ComBase.h"

#include <type_traits>
#include <variant>

#include "platform/com/ComError.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"


namespace ruvmodel::com {

HRESULT Fail(HRESULT result, const std::wstring& description, REFIID iid)
{
    platform::SetThreadErrorInfo(iid, {L"RUVModel", description, {}, 0});
    return result;
}

ModelObject* ModelObjectOf(IUnknown* unknown)
{
    void* object = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(kModelObjectIid, &object)))
        return nullptr;
    return static_cast<ModelObject*>(object);
}

HRESULT ReturnText(const Text& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = platform::ScopedBstr(text).Release();
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(long value, long* out)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT ReturnBool(bool value, VARIANT_BOOL* out)
{
    if (!out)
        return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ReturnDouble(double value, double* out)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT ReturnValue(const Value& value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    *out = std::visit(
               [](const auto& held) {
                   if constexpr (std::is_same_v<std::decay_t<decltype(held)>, std::monostate>)
                       return platform::ScopedVariant();
                   else
                       return platform::ScopedVariant(held);
               },
               value)
               .Release();
    return S_OK;
}

std::optional<size_t> PositionOf(const VARIANT& index, size_t count)
{
    const std::optional<long> number = platform::ScopedVariant::Converted(index, VT_I4).ToLong();
    if (!number || *number < 0 || static_cast<size_t>(*number) >= count)
        return std::nullopt;
    return static_cast<size_t>(*number);
}

} // namespace ruvmodel::com
