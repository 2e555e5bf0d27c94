// A container for one control: the viewer's site in a window of the test program, with every call
// the control makes on it logged, and sinks that record the control's events and property
// notices. References are counted so that a test sees them all returned.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "AutomationClient.h"
#include "host/ControlEvents.h"
#include "host/ControlSite.h"
#include "platform/com/ComPtr.h"

namespace hosttest {

// References to an object that lives in the test itself: counted, never deleting.
template <typename Itf>
class Counted : public Itf {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }
    long references = 0;
};

// The viewer's site with every call the control makes on it logged, and a switch for containers
// that leave the property frame to the control.
class TestSite : public ControlSite {
public:
    // The container window: a visible top-level window that lives for the whole test program
    // (Wine waits for a window manager whenever a top-level window goes).
    static HWND Window();

    TestSite();

    STDMETHODIMP SaveObject() override { return Log("SaveObject"), ControlSite::SaveObject(); }
    STDMETHODIMP CanInPlaceActivate() override { return Log("CanInPlaceActivate"), S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return Log("OnInPlaceActivate"), S_OK; }
    STDMETHODIMP OnUIActivate() override { return Log("OnUIActivate"), S_OK; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Log("OnUIDeactivate"), S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return Log("OnInPlaceDeactivate"), S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    using ControlSite::TranslateAccelerator;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return Log("Site.TranslateAccelerator"), S_FALSE; }
    STDMETHODIMP OnFocus(BOOL focus) override { return Log(focus ? "OnFocus(1)" : "OnFocus(0)"), S_OK; }
    STDMETHODIMP ShowPropertyFrame() override
    {
        Log("ShowPropertyFrame");
        return showsPropertyFrame ? S_OK : E_NOTIMPL;
    }

    std::vector<std::string> log;
    bool showsPropertyFrame = true;

private:
    void Log(const char* entry) { log.emplace_back(entry); }
};

// The viewer's event sink, keeping each event with its arguments in declaration order.
class EventSink : public ControlEvents {
public:
    struct Event {
        DISPID id;
        std::vector<Value> args;
    };

    explicit EventSink(const IID& eventInterface)
        : ControlEvents(eventInterface, [this](DISPID id, const std::vector<Value>& args) {
              const Event event{id, args}; // a handler's own calls may add events
              events.push_back(event);
              if (handler)
                  handler(event);
          })
    {
    }

    std::vector<Event> events;
    // Runs inside every event, as a host's handler would.
    std::function<void(const Event&)> handler;
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
