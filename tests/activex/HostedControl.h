// The control as a container gets it: RUVFileTree.ocx loaded from the build, the control made by
// its class factory and embedded in the host's own site, its events heard by the host's sink and
// its property notices by a stub, the sample plant from the reference model at hand. After each
// test the control is closed and released; the site, the sinks and the model must have every
// reference back, and the module must agree to unload.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/ComStub.h"
#include "support/ModelKit.h"
#include "support/Regsvr32.h"
#include "host/ControlEvents.h"
#include "host/ControlSite.h"
#include "RUVFileTree.h"
#include "control/CorbelIdentity.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/ComError.h"
#include "platform/window/TreeView.h"

using platform::ComPtr;
using platform::QueryOrNull;
using platform::ScopedVariant;

// The loaded module and its entry points.
HMODULE ControlModule();
std::wstring ControlModulePath();
HRESULT ControlClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT ControlCanUnloadNow();
// A new object of the module's class clsid, asked for Itf, in made.
template <typename Itf>
HRESULT CreateFromModule(REFCLSID clsid, ComPtr<Itf>& made, IUnknown* outer = nullptr)
{
    ComPtr<IClassFactory> factory;
    HRESULT hr = ControlClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive()));
    return FAILED(hr) ? hr : factory->CreateInstance(outer, __uuidof(Itf), reinterpret_cast<void**>(made.Receive()));
}

// The module registered with the system's regsvr32 while this lives.
struct RegisteredControl {
    DWORD exitCode = RunRegsvr32(ControlModulePath(), false);
    ~RegisteredControl() { RunRegsvr32(ControlModulePath(), true); }
};

// The host's own site, in a window that lives for the whole program (Wine waits for a window
// manager whenever a top-level window goes), with the calls the control makes on it logged.
class TestSite : public ControlSite {
public:
    static HWND Window();
    TestSite();

    STDMETHODIMP CanInPlaceActivate() override { return Log("CanInPlaceActivate"), S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return Log("OnInPlaceActivate"), S_OK; }
    STDMETHODIMP OnUIActivate() override { return Log("OnUIActivate"), S_OK; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Log("OnUIDeactivate"), S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return Log("OnInPlaceDeactivate"), S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override
    {
        Log(object ? "SetActiveObject" : "SetActiveObject(null)");
        return ControlSite::SetActiveObject(object, name);
    }
    using ControlSite::TranslateAccelerator;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return Log("Site.TranslateAccelerator"), S_FALSE; }
    STDMETHODIMP OnFocus(BOOL focus) override { return Log(focus ? "OnFocus(1)" : "OnFocus(0)"), S_OK; }
    // A container that shows the property frame itself, unless told to leave it to the control.
    STDMETHODIMP ShowPropertyFrame() override { return Log("ShowPropertyFrame"), showsPropertyFrame ? S_OK : E_NOTIMPL; }

    std::vector<std::string> log;
    bool showsPropertyFrame = true;

private:
    void Log(const char* entry) { log.emplace_back(entry); }
};

class HostedControl : public ::testing::Test {
protected:
    struct Event {
        DISPID id;
        std::vector<ScopedVariant> args;
    };

    void SetUp() override;
    void TearDown() override;
    // Tests release what they hold here, before the control goes.
    virtual void ReleaseAll() {}
    // Closes and releases the control under test, as a host that is done with it.
    void LetGo();

    // Sets the client site and runs verb (in-place activation with the user interface by default).
    HRESULT Embed(LONG verb = OLEIVERB_SHOW);
    HWND ControlWindow() const;
    platform::TreeView Tree() const { return platform::TreeView(ControlSite::TreeWindowOf(ControlWindow())); }
    template <typename Itf>
    ComPtr<Itf> As() const
    {
        return QueryOrNull<Itf>(control.Get());
    }
    // The sample plant as a model document and its file object, added to the control.
    void AddPlant();
    // A key press as the container's message loop passes it: through TranslateAccelerator first,
    // and to the focused window when the control did not take it.
    void PressKey(UINT key);

    std::optional<modelkit::InProcessModel> model;
    TestSite site;
    std::vector<Event> heard;
    std::function<void(const Event&)> onEvent; // runs inside every event, as a host's handler
    ControlEvents events{DIID__DCorbelEvents, [this](DISPID id, const std::vector<ScopedVariant>& args) {
                             heard.push_back({id, args});
                             if (onEvent)
                                 onEvent(heard.back());
                         }};
    teststub::DispatchStub notices;
    ComPtr<IUnknown> control;
    ComPtr<IOleObject> object;
    ComPtr<IDispatch> dispatch;
    platform::DispatchDriver automation{nullptr};
    ComPtr<IRUVDocument> document;
    ComPtr<IRUVFile> file;

private:
    DWORD m_noticeCookie = 0;
};
