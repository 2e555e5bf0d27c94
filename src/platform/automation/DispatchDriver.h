// Drives an automation object by name the way a script host does: names through GetIDsOfNames,
// arguments reversed (by value or by reference), property puts with their named argument, and the
// error a script would see. Hosts (the viewer) and tests use it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/com/ScopedVariant.h"

namespace platform {

struct DispatchResult {
    HRESULT hr = E_FAIL;
    ScopedVariant value;
    SCODE scode = S_OK; // EXCEPINFO's, for DISP_E_EXCEPTION
    std::wstring description;
    UINT argError = 0xFFFFFFFF;
};

class DispatchDriver {
public:
    explicit DispatchDriver(IDispatch* object) : m_object(object) {}

    DISPID IdOf(const wchar_t* name) const;
    // A method call or property get with args in declaration order.
    DispatchResult Call(const wchar_t* name, std::vector<ScopedVariant> args = {}) const;
    DispatchResult Get(const wchar_t* name, std::vector<ScopedVariant> args = {}) const { return Call(name, std::move(args)); }
    // A property put; the value comes last.
    DispatchResult Put(const wchar_t* name, std::vector<ScopedVariant> args) const;
    // As a script passes variables: every argument by reference.
    DispatchResult CallByRef(const wchar_t* name, std::vector<ScopedVariant> args) const;

private:
    DispatchResult Invoke(DISPID id, WORD flags, std::vector<ScopedVariant>& args, bool byRef) const;

    IDispatch* m_object;
};

} // namespace platform
