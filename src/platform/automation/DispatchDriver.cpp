#include "platform/automation/DispatchDriver.h"

#include "platform/com/ScopedExcepInfo.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

DISPID DispatchDriver::IdOf(const wchar_t* name) const
{
    DISPID id = DISPID_UNKNOWN;
    auto* text = const_cast<LPOLESTR>(name);
    if (FAILED(m_object->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &id)))
        return DISPID_UNKNOWN;
    return id;
}

DispatchResult DispatchDriver::Call(const wchar_t* name, std::vector<ScopedVariant> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

DispatchResult DispatchDriver::Put(const wchar_t* name, std::vector<ScopedVariant> args) const
{
    return Invoke(IdOf(name), DISPATCH_PROPERTYPUT, args, false);
}

DispatchResult DispatchDriver::CallByRef(const wchar_t* name, std::vector<ScopedVariant> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, true);
}

DispatchResult DispatchDriver::Invoke(DISPID id, WORD flags, std::vector<ScopedVariant>& args, bool byRef) const
{
    // The arguments go reversed, each borrowed from args (which owns them): the value itself, or
    // a reference to it as a script passes a variable.
    std::vector<VARIANT> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg) {
        VARIANT passed = arg->Value();
        if (byRef) {
            V_VT(&passed) = static_cast<VARTYPE>(VT_BYREF | VT_VARIANT);
            V_VARIANTREF(&passed) = arg->Get();
        }
        reversed.push_back(passed);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    DispatchResult result;
    ScopedExcepInfo exception;
    result.hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.Receive(),
                                 exception.Receive(), &result.argError);
    if (result.hr == DISP_E_EXCEPTION) {
        result.scode = exception.Code();
        result.description = exception.Description();
    }
    return result;
}

} // namespace platform
