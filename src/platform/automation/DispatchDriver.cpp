#include "platform/automation/DispatchDriver.h"

namespace platform {

DispatchValue::DispatchValue(long number) : DispatchValue()
{
    V_VT(&m_value) = VT_I4;
    V_I4(&m_value) = number;
}

DispatchValue::DispatchValue(bool flag) : DispatchValue()
{
    V_VT(&m_value) = VT_BOOL;
    V_BOOL(&m_value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

DispatchValue::DispatchValue(const wchar_t* text) : DispatchValue()
{
    V_VT(&m_value) = VT_BSTR;
    V_BSTR(&m_value) = SysAllocString(text);
}

DispatchValue::DispatchValue(IDispatch* object) : DispatchValue()
{
    V_VT(&m_value) = VT_DISPATCH;
    V_DISPATCH(&m_value) = object;
    if (object)
        object->AddRef();
}

DispatchValue::DispatchValue(const DispatchValue& other) : DispatchValue() { VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)); }

DispatchValue& DispatchValue::operator=(const DispatchValue& other)
{
    if (this != &other)
        VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
    return *this;
}

bool DispatchValue::ToLong(long& number) const
{
    VARIANT converted;
    VariantInit(&converted);
    const bool converts = SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&m_value), 0, VT_I4));
    if (converts)
        number = V_I4(&converted);
    VariantClear(&converted);
    return converts;
}

long DispatchValue::Long() const
{
    long number = -999999; // no number: a value no property of ours has
    ToLong(number);
    return number;
}

bool DispatchValue::Bool() const { return V_VT(&m_value) == VT_BOOL && V_BOOL(&m_value) != VARIANT_FALSE; }

std::wstring DispatchValue::Text() const
{
    return V_VT(&m_value) == VT_BSTR && V_BSTR(&m_value) ? std::wstring(V_BSTR(&m_value), SysStringLen(V_BSTR(&m_value)))
                                                         : std::wstring();
}

DISPID DispatchDriver::IdOf(const wchar_t* name) const
{
    DISPID id = DISPID_UNKNOWN;
    auto* text = const_cast<LPOLESTR>(name);
    if (FAILED(m_object->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &id)))
        return DISPID_UNKNOWN;
    return id;
}

DispatchResult DispatchDriver::Call(const wchar_t* name, std::vector<DispatchValue> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

DispatchResult DispatchDriver::Put(const wchar_t* name, std::vector<DispatchValue> args) const
{
    return Invoke(IdOf(name), DISPATCH_PROPERTYPUT, args, false);
}

DispatchResult DispatchDriver::CallByRef(const wchar_t* name, std::vector<DispatchValue> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, true);
}

DispatchResult DispatchDriver::Invoke(DISPID id, WORD flags, std::vector<DispatchValue>& args, bool byRef) const
{
    std::vector<VARIANT> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg) {
        VARIANT passed;
        VariantInit(&passed);
        if (byRef) {
            V_VT(&passed) = static_cast<VARTYPE>(VT_BYREF | VT_VARIANT);
            V_VARIANTREF(&passed) = &arg->Raw();
        } else {
            passed = arg->Raw(); // borrowed: args owns it
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
    EXCEPINFO exception{};
    result.hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.value.Raw(), &exception,
                                 &result.argError);
    if (result.hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn)
            exception.pfnDeferredFillIn(&exception);
        result.scode = exception.scode;
        if (exception.bstrDescription)
            result.description = exception.bstrDescription;
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result;
}

} // namespace platform
