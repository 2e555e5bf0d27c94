#include "platform/automation/DispatchTable.h"

#include <oleauto.h>

#include <algorithm>

#include "platform/automation/AutomationError.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

namespace {

// An argument that is missing or of the wrong type: the call's own error, not an exception report.
struct ArgumentFailure {
    HRESULT result;
    UINT position; // in rgvarg, as callers count
};

// Calls the default member of the object a get returned with the arguments that were left over.
HRESULT InvokeDefaultMember(const ScopedVariant& value, WORD flags, DISPPARAMS& args, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError)
{
    IDispatch* object = value.Object();
    if (!object)
        return DISP_E_BADPARAMCOUNT;
    return object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags, &args, result, exception, argError);
}

} // namespace

ScopedVariant DispatchArgs::Coerce(UINT index, VARTYPE type) const
{
    if (index >= m_params.cArgs)
        throw ArgumentFailure{DISP_E_PARAMNOTFOUND, 0};
    const UINT position = m_params.cArgs - 1 - index;
    const VARIANT& arg = m_params.rgvarg[position];
    // A missing argument may come by reference too, as a script passes on its own missing one.
    const VARIANT& given = V_VT(&arg) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&arg) ? *V_VARIANTREF(&arg) : arg;
    if (V_VT(&given) == VT_ERROR && V_ERROR(&given) == DISP_E_PARAMNOTFOUND)
        throw ArgumentFailure{DISP_E_PARAMNOTFOUND, position};
    ScopedVariant value = ScopedVariant::Converted(arg, type);
    if (value.Type() != type)
        throw ArgumentFailure{DISP_E_TYPEMISMATCH, position};
    return value;
}

long DispatchArgs::Long(UINT index) const { return V_I4(&Coerce(index, VT_I4).Value()); }

short DispatchArgs::Short(UINT index) const { return V_I2(&Coerce(index, VT_I2).Value()); }

BOOL DispatchArgs::Bool(UINT index) const { return Coerce(index, VT_BOOL).IsTrue(); }

std::wstring DispatchArgs::String(UINT index) const { return Coerce(index, VT_BSTR).Text(); }

ComPtr<IDispatch> DispatchArgs::Object(UINT index) const
{
    if (index < m_params.cArgs) {
        const VARIANT* arg = &m_params.rgvarg[m_params.cArgs - 1 - index];
        if (V_VT(arg) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(arg))
            arg = V_VARIANTREF(arg);
        if (V_VT(arg) == VT_EMPTY || V_VT(arg) == VT_NULL)
            return ComPtr<IDispatch>();
    }
    return ComPtr<IDispatch>(Coerce(index, VT_DISPATCH).Object());
}

HRESULT InvokeMember(const std::vector<DispatchMember>& table, DISPID id, WORD flags, DISPPARAMS* params,
                     VARIANT* result, EXCEPINFO* exception, UINT* argError, const std::wstring& source) noexcept
{
    const auto member =
        std::find_if(table.begin(), table.end(), [id](const DispatchMember& entry) { return entry.id == id; });
    if (member == table.end())
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{};
    const DISPPARAMS& args = params ? *params : none;
    if (args.cArgs && !args.rgvarg)
        return E_INVALIDARG;

    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (isPut) {
        if (args.cNamedArgs != 1 || !args.rgdispidNamedArgs || args.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        if (!member->put)
            return ReportAutomationError(exception, kSetNotSupported, source, L"The property is read-only.");
        if (args.cArgs != member->paramCount + 1)
            return DISP_E_BADPARAMCOUNT;
    } else {
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) || !member->get)
            return DISP_E_MEMBERNOTFOUND;
        if (args.cNamedArgs)
            return DISP_E_NONAMEDARGS;
        const bool forwards =
            member->forwardsExtraArguments && (flags & DISPATCH_PROPERTYGET) && args.cArgs > member->paramCount;
        if (args.cArgs != member->paramCount && !forwards)
            return DISP_E_BADPARAMCOUNT;
    }
    // The member's own arguments come first in declaration order, so last in rgvarg; those before
    // them are for the default member of its result.
    const UINT extra = isPut ? 0 : args.cArgs - member->paramCount;
    DISPPARAMS own = args;
    own.rgvarg += extra;
    own.cArgs -= extra;

    return GuardAutomationCall(exception, source, [&]() -> HRESULT {
        const DispatchArgs view(own);
        ScopedVariant value;
        HRESULT hr = S_OK;
        try {
            hr = isPut ? member->put(view) : member->get(view, value);
        } catch (const ArgumentFailure& failure) {
            if (argError)
                *argError = failure.position + extra;
            return failure.result;
        }
        if (FAILED(hr))
            return ReportAutomationError(exception, hr, source);
        if (extra) {
            DISPPARAMS rest{args.rgvarg, nullptr, extra, 0};
            return InvokeDefaultMember(value, flags, rest, result, exception, argError);
        }
        if (result && !isPut)
            *result = value.Release();
        return S_OK;
    });
}

} // namespace platform
