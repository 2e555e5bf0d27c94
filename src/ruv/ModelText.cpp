#include "ruv/ModelText.h"

#include "platform/com/ComError.h"
#include "platform/com/ScopedVariant.h"

namespace ruvtext {

std::wstring OrEmpty(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

std::wstring OrNull(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(L"(null)"); }

std::wstring VariantText(const VARIANT& value)
{
    if (V_VT(&value) == VT_BSTR)
        return OrEmpty(V_BSTR(&value));
    platform::ScopedVariant converted;
    const HRESULT hr = VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
    if (FAILED(hr))
        platform::RaiseComError(hr);
    return converted.Text();
}

} // namespace ruvtext
