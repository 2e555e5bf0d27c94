#include "ruv/ModelText.h"

#include "platform/com/ComError.h"

namespace ruvtext {

std::wstring OrEmpty(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

std::wstring OrNull(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(L"(null)"); }

std::wstring VariantText(const VARIANT& value)
{
    if (V_VT(&value) == VT_BSTR)
        return OrEmpty(V_BSTR(&value));
    platform::ScopedVariant converted;
    HRESULT hr = VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
    if (FAILED(hr))
        platform::RaiseComError(hr);
    return OrEmpty(V_BSTR(converted.Get()));
}

VARIANT IndexVariant(long index)
{
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = index;
    return value;
}

} // namespace ruvtext
