// A container for one control, as a form designer or a dialog would be: a window, a client site
// with in-place activation (with its user interface) and a control site, ambient properties, and
// sinks that record the control's events and property notices. Every call the control makes on
// the container is logged, and references are counted so that a test sees them all returned.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "AutomationClient.h"
#include "platform/ComPtr.h"

namespace hosttest {

// References to an object that lives in the test itself: counted, never deleting.
template <typename Itf>
class Counted : public Itf {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }
    long references = 0;
};

class TestSite : public Counted<IOleClientSite>,
                 public IOleInPlaceSite,
                 public IOleInPlaceFrame,
                 public IOleControlSite,
                 public IDispatch {
public:
    // The container window: a visible top-level window that lives for the whole test program
    // (Wine waits for a window manager whenever a top-level window goes).
    static HWND Window();

    TestSite();
    virtual ~TestSite();
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Counted::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Counted::Release(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return Log("SaveObject"), S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, for the site and the frame
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return Log("CanInPlaceActivate"), S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return Log("OnInPlaceActivate"), S_OK; }
    STDMETHODIMP OnUIActivate() override { return Log("OnUIActivate"), S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return S_OK; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Log("OnUIDeactivate"), S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return Log("OnInPlaceDeactivate"), S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return Log("Site.TranslateAccelerator"), S_FALSE; }
    STDMETHODIMP OnFocus(BOOL focus) override { return Log(focus ? "OnFocus(1)" : "OnFocus(0)"), S_OK; }
    STDMETHODIMP ShowPropertyFrame() override
    {
        Log("ShowPropertyFrame");
        return showsPropertyFrame ? S_OK : E_NOTIMPL;
    }
    // IDispatch: the ambient properties (a font and user mode)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;

    // Where the control goes, in the container window's client coordinates.
    RECT position{20, 30, 320, 330};
    std::vector<std::string> log;
    platform::ComPtr<IOleInPlaceActiveObject> activeObject;
    platform::ComPtr<IFontDisp> ambientFont;
    // A container that leaves the property frame to the control.
    bool showsPropertyFrame = true;

private:
    void Log(const char* entry) { log.emplace_back(entry); }
};

// The control's events, each with its DISPID and its arguments in declaration order.
class EventSink : public Counted<IDispatch> {
public:
    struct Event {
        DISPID id;
        std::vector<Value> args;
    };

    explicit EventSink(const IID& eventInterface) : m_events(eventInterface) {}
    virtual ~EventSink() = default;
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

    std::vector<Event> events;
    // Runs inside every event, as a host's handler would.
    std::function<void(const Event&)> handler;

private:
    IID m_events;
};

// IPropertyNotifySink: the notices, and a switch to refuse edits.
class NoticeSink : public Counted<IPropertyNotifySink> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP OnChanged(DISPID id) override { return changed.push_back(id), S_OK; }
    STDMETHODIMP OnRequestEdit(DISPID id) override { return requested.push_back(id), refuse ? S_FALSE : S_OK; }

    std::vector<DISPID> changed;
    std::vector<DISPID> requested;
    bool refuse = false;
};

// Advises sink to the connection point iid of object; 0 when it failed.
DWORD Advise(IUnknown* object, const IID& iid, IUnknown* sink);
void Unadvise(IUnknown* object, const IID& iid, DWORD cookie);

} // namespace hosttest
