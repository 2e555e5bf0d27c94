// Embedding: the client site and its ambient properties, verbs, extent, user type, advise sinks
// and closing, and the container's IOleControl calls.
#include "platform/activex/OleControl.h"

#include "platform/com/Module.h"
#include "platform/activex/VerbEnumerator.h"

namespace platform {

namespace {

bool IsContentAspect(DWORD aspect) { return aspect == DVASPECT_CONTENT; }

} // namespace

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site)
{
    m_clientSite = ComPtr<IOleClientSite>(site);
    m_controlSite = QueryOrNull<IOleControlSite>(site);
    m_ambient = QueryOrNull<IDispatch>(site);
    ApplyAmbientFont();
    return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = ComPtr<IOleClientSite>(m_clientSite).Detach();
    return S_OK;
}

STDMETHODIMP OleControl::Close(DWORD saveOption)
{
    InPlaceDeactivate();
    if (m_modified && m_clientSite && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
        m_clientSite->SaveObject();
    if (m_adviseHolder)
        m_adviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT)
{
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(true);
    case OLEIVERB_INPLACEACTIVATE:
        return InPlaceActivate(false);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (m_hWnd)
            ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        return ShowProperties(parent);
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** verbs)
{
    if (!verbs)
        return E_POINTER;
    *verbs = VerbEnumerator::Create({
        {OLEIVERB_PRIMARY, L"&Edit", MF_STRING, OLEVERBATTRIB_ONCONTAINERMENU},
        {OLEIVERB_PROPERTIES, L"&Properties...", MF_STRING, OLEVERBATTRIB_ONCONTAINERMENU},
    });
    return *verbs ? S_OK : E_OUTOFMEMORY;
}

HRESULT OleControl::ShowProperties(HWND parent)
{
    // A container that shows property frames itself (with its own pages added) goes first.
    if (m_controlSite) {
        const HRESULT hr = m_controlSite->ShowPropertyFrame();
        if (hr != E_NOTIMPL)
            return hr;
    }
    CAUUID pages{};
    HRESULT hr = GetPages(&pages);
    if (FAILED(hr))
        return hr;
    IUnknown* self = &m_inner;
    hr = OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, &self, pages.cElems, pages.pElems,
                                LOCALE_USER_DEFAULT, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
}

STDMETHODIMP OleControl::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_identity.clsid;
    return S_OK;
}

STDMETHODIMP OleControl::GetUserType(DWORD, LPOLESTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    const wchar_t* text = nullptr;
    const int length = LoadStringW(ThisModule(), m_identity.userTypeNameId, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0)
        return OLE_S_USEREG;
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(wchar_t)));
    if (!*name)
        return E_OUTOFMEMORY;
    std::copy(text, text + length, *name);
    (*name)[length] = L'\0';
    return S_OK;
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (!IsContentAspect(aspect))
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    if (size->cx < 0 || size->cy < 0)
        return E_INVALIDARG;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!IsContentAspect(aspect))
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* cookie)
{
    if (!m_adviseHolder) {
        const HRESULT hr = CreateOleAdviseHolder(m_adviseHolder.Receive());
        if (FAILED(hr))
            return hr;
    }
    return m_adviseHolder->Advise(sink, cookie);
}

STDMETHODIMP OleControl::Unadvise(DWORD cookie)
{
    return m_adviseHolder ? m_adviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** advises)
{
    if (!advises)
        return E_POINTER;
    *advises = nullptr;
    return m_adviseHolder ? m_adviseHolder->EnumAdvise(advises) : S_OK;
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = m_identity.miscStatus;
    return S_OK;
}

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    // No mnemonics: the control takes its keys through TranslateAccelerator while UI-active.
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP OleControl::OnAmbientPropertyChange(DISPID id)
{
    if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN)
        ApplyAmbientFont();
    return S_OK;
}

} // namespace platform
