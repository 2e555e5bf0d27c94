#include "AutomationClient.h"

namespace hosttest {

Value::Value(long number) : Value()
{
    V_VT(&m_value) = VT_I4;
    V_I4(&m_value) = number;
}

Value::Value(bool flag) : Value()
{
    V_VT(&m_value) = VT_BOOL;
    V_BOOL(&m_value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

Value::Value(const wchar_t* text) : Value()
{
    V_VT(&m_value) = VT_BSTR;
    V_BSTR(&m_value) = SysAllocString(text);
}

Value::Value(IDispatch* object) : Value()
{
    V_VT(&m_value) = VT_DISPATCH;
    V_DISPATCH(&m_value) = object;
    if (object)
        object->AddRef();
}

Value::Value(const Value& other) : Value() { VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)); }

Value& Value::operator=(const Value& other)
{
    if (this != &other)
        VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
    return *this;
}

long Value::Long() const
{
    VARIANT converted;
    VariantInit(&converted);
    const long number = SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&m_value), 0, VT_I4)) ? V_I4(&converted) : -999999;
    VariantClear(&converted);
    return number;
}

bool Value::Bool() const { return V_VT(&m_value) == VT_BOOL && V_BOOL(&m_value) != VARIANT_FALSE; }

std::wstring Value::Text() const
{
    return V_VT(&m_value) == VT_BSTR && V_BSTR(&m_value) ? std::wstring(V_BSTR(&m_value), SysStringLen(V_BSTR(&m_value)))
                                                         : std::wstring();
}

DISPID AutomationClient::IdOf(const wchar_t* name) const
{
    DISPID id = DISPID_UNKNOWN;
    auto* text = const_cast<LPOLESTR>(name);
    if (FAILED(m_object->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &id)))
        return DISPID_UNKNOWN;
    return id;
}

CallResult AutomationClient::Call(const wchar_t* name, std::vector<Value> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

CallResult AutomationClient::Put(const wchar_t* name, std::vector<Value> args) const
{
    return Invoke(IdOf(name), DISPATCH_PROPERTYPUT, args, false);
}

CallResult AutomationClient::CallByRef(const wchar_t* name, std::vector<Value> args) const
{
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, true);
}

CallResult AutomationClient::Invoke(DISPID id, WORD flags, std::vector<Value>& args, bool byRef) const
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
    CallResult result;
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

} // namespace hosttest
