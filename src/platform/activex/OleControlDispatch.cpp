// Automation: the type information, GetIDsOfNames and Invoke over the control's member table with
// the stock members added, and the class information.
#include "platform/activex/OleControl.h"

#include "platform/com/Module.h"
#include "platform/com/TypeLibrary.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

ComPtr<ITypeLib> OleControl::TypeLibrary()
{
    if (m_typeLibrary)
        return m_typeLibrary;
    // The library embedded in this module serves before (and without) registration; the
    // registered one is the fallback for a module built without it.
    m_typeLibrary = ModuleTypeLibrary();
    if (!m_typeLibrary)
        LoadRegTypeLib(m_identity.typeLibrary, m_identity.typeLibraryMajor, m_identity.typeLibraryMinor,
                       LOCALE_NEUTRAL, m_typeLibrary.Receive());
    return m_typeLibrary;
}

HRESULT OleControl::TypeInfoOf(const GUID& guid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> library = TypeLibrary();
    return library ? library->GetTypeInfoOfGuid(guid, info) : TYPE_E_CANTLOADLIBRARY;
}

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP OleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return TypeInfoOf(m_identity.dispatchInterface, info);
}

STDMETHODIMP OleControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids)
        return E_POINTER;
    ComPtr<ITypeInfo> info;
    const HRESULT hr = TypeInfoOf(m_identity.dispatchInterface, info.Receive());
    return FAILED(hr) ? hr : info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP OleControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* exception, UINT* argError)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    // A host may drop its last reference from an event handler while this call still runs.
    ComPtr<IUnknown> alive(&m_inner);
    try {
        // Hosts call methods before the container shows the control (in a form's load code):
        // they work on the parked window, and a control nobody reset or loaded is reset first.
        EnsureWindow();
        EnsureInitialized();
        return InvokeMember(Members(), id, flags, params, result, exception, argError, m_identity.errorSource);
    } catch (...) {
        return ReportAutomationError(exception, E_OUTOFMEMORY, m_identity.errorSource);
    }
}

const std::vector<DispatchMember>& OleControl::Members()
{
    if (m_members.empty()) {
        m_members = ControlMembers();
        for (DispatchMember& member : StockMembers())
            m_members.push_back(std::move(member));
    }
    return m_members;
}

std::vector<DispatchMember> OleControl::StockMembers()
{
    auto shortProperty = [this](DISPID id, short (OleControl::*get)() const, void (OleControl::*set)(short)) {
        return DispatchMember{id, 0,
                              [this, get](const DispatchArgs&, ScopedVariant& result) {
                                  result = (this->*get)();
                                  return S_OK;
                              },
                              [this, set](const DispatchArgs& args) {
                                  (this->*set)(args.Short(0));
                                  return S_OK;
                              }};
    };
    return {
        shortProperty(DISPID_BORDERSTYLE, &OleControl::GetBorderStyle, &OleControl::SetBorderStyle),
        shortProperty(DISPID_APPEARANCE, &OleControl::GetAppearance, &OleControl::SetAppearance),
        {DISPID_ENABLED, 0,
         [this](const DispatchArgs&, ScopedVariant& result) {
             result = m_enabled != FALSE;
             return S_OK;
         },
         [this](const DispatchArgs& args) {
             SetEnabled(args.Bool(0));
             return S_OK;
         }},
        {DISPID_FONT, 0,
         [this](const DispatchArgs&, ScopedVariant& result) {
             result = static_cast<IDispatch*>(GetFont().Get());
             return S_OK;
         },
         [this](const DispatchArgs& args) {
             ComPtr<IDispatch> object = args.Object(0);
             ComPtr<IFont> font = QueryOrNull<IFont>(object.Get());
             if (object && !font)
                 return DISP_E_TYPEMISMATCH;
             SetFont(font.Get());
             return S_OK;
         }},
        {DISPID_ABOUTBOX, 0,
         [this](const DispatchArgs&, ScopedVariant&) {
             OnAboutBox();
             return S_OK;
         },
         nullptr},
    };
}

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** info) { return TypeInfoOf(m_identity.clsid, info); }

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = m_identity.eventInterface;
    return S_OK;
}

} // namespace platform
