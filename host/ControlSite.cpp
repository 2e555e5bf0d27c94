#include "host/ControlSite.h"

#include <commctrl.h>

#include "platform/com/ComError.h"
#include "platform/com/ScopedVariant.h"

using platform::ComPtr;
using platform::QueryOrNull;
using platform::ScopedVariant;

ControlSite::ControlSite(HWND container) : m_container(container)
{
    static wchar_t face[] = L"Tahoma";
    FONTDESC description{sizeof(FONTDESC), face, {{9 * 10000, 0}}, FW_NORMAL, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(m_ambientFont.Receive()));
}

HRESULT ControlSite::Create(const wchar_t* progId, const RECT& place)
{
    Close();
    m_place = place;
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(m_control.Receive()));
    if (FAILED(hr))
        return hr;
    m_object = QueryOrNull<IOleObject>(m_control.Get());
    m_automation = QueryOrNull<IDispatch>(m_control.Get());
    if (!m_object || !m_automation) {
        Close();
        return E_NOINTERFACE;
    }
    // The control asks for its site first (OLEMISC_SETCLIENTSITEFIRST), then is reset.
    m_object->SetClientSite(this);
    if (ComPtr<IPersistStreamInit> persist = QueryOrNull<IPersistStreamInit>(m_control.Get()))
        persist->InitNew();
    hr = m_object->DoVerb(OLEIVERB_SHOW, nullptr, this, 0, m_container, &m_place);
    if (FAILED(hr))
        Close();
    return hr;
}

void ControlSite::Close()
{
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    m_active.Reset();
    m_automation.Reset();
    m_object.Reset();
    m_control.Reset();
}

void ControlSite::Move(const RECT& place)
{
    m_place = place;
    if (ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(m_control.Get()))
        inPlace->SetObjectRects(&m_place, &m_place);
}

bool ControlSite::TranslateAccelerator(MSG& message)
{
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !m_active)
        return false;
    // Only keys meant for the control's windows.
    HWND window = ControlWindow();
    if (!window || (message.hwnd != window && !IsChild(window, message.hwnd)))
        return false;
    return m_active->TranslateAccelerator(&message) == S_OK;
}

HWND ControlSite::ControlWindow() const
{
    HWND window = nullptr;
    ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(m_control.Get());
    return inPlace && SUCCEEDED(inPlace->GetWindow(&window)) ? window : nullptr;
}

HWND ControlSite::TreeWindow() const { return TreeWindowOf(ControlWindow()); }

HWND ControlSite::TreeWindowOf(HWND controlWindow)
{
    return controlWindow ? FindWindowExW(controlWindow, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IOleControlSite)
        *object = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IDispatch)
        *object = static_cast<IDispatch*>(this);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_container;
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !position || !clip || !info)
        return E_POINTER;
    *frame = this;
    AddRef();
    *document = nullptr;
    *position = m_place;
    *clip = m_place;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(m_container, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    m_active = ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (!result)
        return E_POINTER;
    ScopedVariant value; // empty for the ambient properties this site does not have
    if (id == DISPID_AMBIENT_USERMODE)
        value = ScopedVariant(true);
    else if (id == DISPID_AMBIENT_FONT && m_ambientFont)
        value = ScopedVariant(static_cast<IDispatch*>(m_ambientFont.Get()));
    const bool known = value.Type() != VT_EMPTY;
    *result = value.Release();
    return known ? S_OK : DISP_E_MEMBERNOTFOUND;
}
