// IDispatch::Invoke over a table of members of our own: the arguments in declaration order
// (callers pass them reversed, by value or by reference), coerced with the OLE Automation
// conversions; property puts with their named DISPID_PROPERTYPUT value; parameterised
// properties; arguments passed on to a returned object's default member; and every failure
// reported the way automation callers expect.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

// The control framework's "property cannot be set" error (CTL_E_SETNOTSUPPORTED).
inline constexpr HRESULT kSetNotSupported = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 383);

// The arguments of one call in declaration order; a property put's value comes last. A missing
// argument or one that does not convert raises, and the call fails with DISP_E_PARAMNOTFOUND or
// DISP_E_TYPEMISMATCH naming the argument.
class DispatchArgs {
public:
    explicit DispatchArgs(const DISPPARAMS& params) : m_params(params) {}

    UINT Count() const { return m_params.cArgs; }
    long Long(UINT index) const;
    short Short(UINT index) const;
    BOOL Bool(UINT index) const;
    std::wstring String(UINT index) const;
    // An object or nothing: Empty, Null and a null object give null.
    ComPtr<IDispatch> Object(UINT index) const;

private:
    ScopedVariant Coerce(UINT index, VARTYPE type) const;

    const DISPPARAMS& m_params;
};

struct DispatchMember {
    using Getter = std::function<HRESULT(const DispatchArgs& args, ScopedVariant& result)>;
    using Setter = std::function<HRESULT(const DispatchArgs& args)>;

    DISPID id;
    UINT paramCount; // without a put's value
    // A method or a property get; the result starts Empty (assign a ScopedVariant to it).
    Getter get;
    // A property put, or none for a method or a read-only property.
    Setter put;
    // A get called with more arguments than it takes passes the others on to the default member
    // (DISPID_VALUE) of the object it returns, as automation reads `collection(0)` of a property
    // that returns a collection.
    bool forwardsExtraArguments = false;
};

// A get whose object comes through an out parameter, as COM methods give them: fetch(args, slot)
// returns the HRESULT, and the object is the result when it succeeds.
template <typename Itf, typename Fetch>
DispatchMember::Getter ObjectGetter(Fetch fetch)
{
    return [fetch](const DispatchArgs& args, ScopedVariant& result) {
        ComPtr<Itf> object;
        const HRESULT hr = fetch(args, object.Receive());
        if (SUCCEEDED(hr))
            result = object.Get();
        return hr;
    };
}

// Runs the member id of table for an Invoke. source names the object in error reports.
HRESULT InvokeMember(const std::vector<DispatchMember>& table, DISPID id, WORD flags, DISPPARAMS* params,
                     VARIANT* result, EXCEPINFO* exception, UINT* argError, const std::wstring& source) noexcept;

} // namespace platform
