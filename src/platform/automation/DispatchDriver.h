// Drives an automation object by name the way a script host does: names through GetIDsOfNames,
// arguments reversed (by value or by reference), property puts with their named argument, and the
// error a script would see. Hosts (the viewer) and tests use it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/com/ComPtr.h"

namespace platform {

// An owned argument or result.
class DispatchValue {
public:
    DispatchValue() { VariantInit(&m_value); }
    DispatchValue(long number);
    DispatchValue(int number) : DispatchValue(static_cast<long>(number)) {}
    DispatchValue(bool flag);
    DispatchValue(const wchar_t* text);
    DispatchValue(IDispatch* object);
    DispatchValue(const DispatchValue& other);
    DispatchValue& operator=(const DispatchValue& other);
    ~DispatchValue() { VariantClear(&m_value); }

    VARIANT& Raw() { return m_value; }
    const VARIANT& Raw() const { return m_value; }
    VARTYPE Type() const { return V_VT(&m_value); }
    long Long() const;
    // The value as a number, when it converts to one.
    bool ToLong(long& number) const;
    bool Bool() const;
    std::wstring Text() const;
    IDispatch* Object() const { return V_VT(&m_value) == VT_DISPATCH ? V_DISPATCH(&m_value) : nullptr; }

private:
    VARIANT m_value;
};

struct DispatchResult {
    HRESULT hr = E_FAIL;
    DispatchValue value;
    SCODE scode = S_OK; // EXCEPINFO's, for DISP_E_EXCEPTION
    std::wstring description;
    UINT argError = 0xFFFFFFFF;
};

class DispatchDriver {
public:
    explicit DispatchDriver(IDispatch* object) : m_object(object) {}

    DISPID IdOf(const wchar_t* name) const;
    // A method call or property get with args in declaration order.
    DispatchResult Call(const wchar_t* name, std::vector<DispatchValue> args = {}) const;
    DispatchResult Get(const wchar_t* name, std::vector<DispatchValue> args = {}) const { return Call(name, std::move(args)); }
    // A property put; the value comes last.
    DispatchResult Put(const wchar_t* name, std::vector<DispatchValue> args) const;
    // As a script passes variables: every argument by reference.
    DispatchResult CallByRef(const wchar_t* name, std::vector<DispatchValue> args) const;

private:
    DispatchResult Invoke(DISPID id, WORD flags, std::vector<DispatchValue>& args, bool byRef) const;

    IDispatch* m_object;
};

} // namespace platform
