#include "ruv/ModelCall.h"

#include "platform/automation/AutomationError.h"
#include "platform/com/ComError.h"

namespace ruvcall {

namespace {

std::wstring Widen(std::string_view name) { return std::wstring(name.begin(), name.end()); }

} // namespace

void RaiseCallError(HRESULT result, const IID& iid, IUnknown* object, std::string_view method)
{
    try {
        platform::RaiseComError(result, iid, object);
    } catch (const platform::ComError& error) {
        if (!error.Description().empty())
            throw;
    }
    throw platform::DescribedError(result, iid, Widen(method) + L" failed: " + platform::SystemErrorText(result));
}

void RaiseNoObject(std::string_view method)
{
    RaiseDescribed(E_POINTER, L"the object model gave no object to call " + Widen(method) + L" on");
}

void RaiseUnconverted(HRESULT result, std::string_view method, const wchar_t* as)
{
    RaiseDescribed(result, L"what " + Widen(method) + L" gave does not convert to " + as + L": " +
                               platform::SystemErrorText(result));
}

void RaiseDescribed(HRESULT result, const std::wstring& description)
{
    throw platform::DescribedError(result, IID_NULL, description);
}

} // namespace ruvcall

platform::ScopedBstr TextArgument(const std::wstring& text)
{
    platform::ScopedBstr bstr(text);
    if (!bstr.Get())
        ruvcall::RaiseDescribed(E_OUTOFMEMORY, L"no memory for a text to pass to the object model");
    return bstr;
}
