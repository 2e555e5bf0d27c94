#include "ComBase.h"

#include "platform/com/ComError.h"
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
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
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
    VariantInit(out);
    if (const Text* text = std::get_if<Text>(&value)) {
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
        return V_BSTR(out) ? S_OK : E_OUTOFMEMORY;
    }
    if (const double* number = std::get_if<double>(&value)) {
        V_VT(out) = VT_R8;
        V_R8(out) = *number;
    } else if (const bool* flag = std::get_if<bool>(&value)) {
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        V_VT(out) = VT_EMPTY;
    }
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
