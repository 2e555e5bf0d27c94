// Calls an automation object by name the way a script host does: names through GetIDsOfNames,
// arguments reversed (by value or by reference), property puts with their named argument, and the
// error a script would see.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/ComPtr.h"

namespace hosttest {

// An owned argument or result.
class Value {
public:
    Value() { VariantInit(&m_value); }
    Value(long number);
    Value(int number) : Value(static_cast<long>(number)) {}
    Value(bool flag);
    Value(const wchar_t* text);
    Value(IDispatch* object);
    Value(const Value& other);
    Value& operator=(const Value& other);
    ~Value() { VariantClear(&m_value); }

    VARIANT& Raw() { return m_value; }
    const VARIANT& Raw() const { return m_value; }
    VARTYPE Type() const { return V_VT(&m_value); }
    long Long() const;
    bool Bool() const;
    std::wstring Text() const;
    IDispatch* Object() const { return V_VT(&m_value) == VT_DISPATCH ? V_DISPATCH(&m_value) : nullptr; }

private:
    VARIANT m_value;
};

struct CallResult {
    HRESULT hr = E_FAIL;
    Value value;
    SCODE scode = S_OK; // EXCEPINFO's, for DISP_E_EXCEPTION
    std::wstring description;
    UINT argError = 0xFFFFFFFF;
};

class AutomationClient {
public:
    explicit AutomationClient(IDispatch* object) : m_object(object) {}

    DISPID IdOf(const wchar_t* name) const;
    // A method call or property get with args in declaration order.
    CallResult Call(const wchar_t* name, std::vector<Value> args = {}) const;
    CallResult Get(const wchar_t* name, std::vector<Value> args = {}) const { return Call(name, std::move(args)); }
    // A property put; the value comes last.
    CallResult Put(const wchar_t* name, std::vector<Value> args) const;
    // As a script passes variables: every argument by reference.
    CallResult CallByRef(const wchar_t* name, std::vector<Value> args) const;

private:
    CallResult Invoke(DISPID id, WORD flags, std::vector<Value>& args, bool byRef) const;

    IDispatch* m_object;
};

} // namespace hosttest
