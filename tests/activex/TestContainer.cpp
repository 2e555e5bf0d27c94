#include "TestContainer.h"

#include "../support/TopWindow.h"
#include "platform/ComObject.h"

namespace hosttest {

HWND TestSite::Window()
{
    static HWND window = MakeTopWindow(L"TestContainerWindow", L"Test container");
    return window;
}

TestSite::TestSite()
{
    static wchar_t face[] = L"Arial";
    FONTDESC description{sizeof(FONTDESC), face, {{12 * 10000, 0}}, FW_BOLD, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(ambientFont.Receive()));
}

TestSite::~TestSite() = default;

STDMETHODIMP TestSite::QueryInterface(REFIID iid, void** object)
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

STDMETHODIMP TestSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = Window();
    return S_OK;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT place,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !place || !clip || !info)
        return E_POINTER;
    *frame = this;
    AddRef();
    *document = nullptr;
    *place = position;
    *clip = position;
    info->fMDIApp = FALSE;
    info->hwndFrame = Window();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP TestSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    Log(object ? "SetActiveObject" : "SetActiveObject(null)");
    activeObject = platform::ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

STDMETHODIMP TestSite::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP TestSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (!result)
        return E_POINTER;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_FONT:
        if (!ambientFont)
            return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = platform::ComPtr<IDispatch>(ambientFont.Get()).Detach();
        return S_OK;
    case DISPID_AMBIENT_USERMODE:
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_TRUE;
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != m_events) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    Event event{id, {}};
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
        Value arg;
        VariantCopy(&arg.Raw(), &params->rgvarg[i - 1]);
        event.args.push_back(arg);
    }
    events.push_back(event);
    if (handler)
        handler(event);
    return S_OK;
}

STDMETHODIMP NoticeSink::QueryInterface(REFIID iid, void** object)
{
    return platform::AnswerOwnInterface(iid, IID_IPropertyNotifySink, this, object);
}

DWORD Advise(IUnknown* object, const IID& iid, IUnknown* sink)
{
    platform::ComPtr<IConnectionPointContainer> container;
    platform::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (SUCCEEDED(object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()))) &&
        SUCCEEDED(container->FindConnectionPoint(iid, point.Receive())))
        point->Advise(sink, &cookie);
    return cookie;
}

void Unadvise(IUnknown* object, const IID& iid, DWORD cookie)
{
    platform::ComPtr<IConnectionPointContainer> container;
    platform::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()))) &&
        SUCCEEDED(container->FindConnectionPoint(iid, point.Receive())))
        point->Unadvise(cookie);
}

} // namespace hosttest
