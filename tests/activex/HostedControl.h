// The control as a container gets it: RUVFileTree.ocx loaded from the build, the control made by
// its class factory and embedded in the host's own site, its events heard by the host's sink and
// its property notices by a stub. After each test the control is closed and released; the site,
// the sinks and the model must have every reference back, and the module must agree to unload.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "support/ComStub.h"
#include "support/ModelKit.h"
#include "support/Regsvr32.h"
#include "support/TopWindow.h"
#include "host/ControlEvents.h"
#include "host/ControlSite.h"
#include "DocumentObject.h"
#include "RUVFileTree.h"
#include "Reader.h"
#include "control/CorbelIdentity.h"
#include "platform/activex/OleControl.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/window/TreeView.h"

using platform::ComPtr;
using platform::QueryOrNull;
using platform::ScopedVariant;

inline HMODULE ControlModule()
{
    static HMODULE module = LoadLibraryW(RUV_CONTROL_PATH);
    return module;
}

inline std::wstring ControlModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(ControlModule(), path, MAX_PATH * 2);
    return path;
}

// An entry point of the module, as a host without an import library finds it.
template <typename Function>
Function* Entry(const char* name)
{
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(ControlModule(), name)));
}

inline HRESULT ControlClassObject(REFCLSID clsid, IClassFactory** factory)
{
    return Entry<HRESULT __stdcall(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, IID_IClassFactory,
                                                                                    reinterpret_cast<void**>(factory));
}

inline HRESULT ControlCanUnloadNow() { return Entry<HRESULT __stdcall()>("DllCanUnloadNow")(); }

// A new object of the module's class clsid, asked for Itf, in made.
template <typename Itf>
HRESULT CreateFromModule(REFCLSID clsid, ComPtr<Itf>& made, IUnknown* outer = nullptr)
{
    ComPtr<IClassFactory> factory;
    const HRESULT hr = ControlClassObject(clsid, factory.Receive());
    return FAILED(hr) ? hr : factory->CreateInstance(outer, __uuidof(Itf), reinterpret_cast<void**>(made.Receive()));
}

// The host's own site, in a window that lives for the whole program (Wine waits for a window
// manager whenever a top-level window goes), with the calls the control makes on it logged.
class TestSite : public ControlSite {
public:
    static HWND Window()
    {
        static HWND window = MakeTopWindow(L"TestContainerWindow", L"Test container");
        return window;
    }
    TestSite() : ControlSite(Window()) { Move(RECT{20, 30, 320, 330}); }

    STDMETHODIMP CanInPlaceActivate() override { return Log("CanInPlaceActivate"); }
    STDMETHODIMP OnInPlaceActivate() override { return Log("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return Log("OnUIActivate"); }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Log("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Log("OnInPlaceDeactivate"); }
    STDMETHODIMP OnFocus(BOOL focus) override { return Log(focus ? "OnFocus(1)" : "OnFocus(0)"); }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override
    {
        Log(object ? "SetActiveObject" : "SetActiveObject(null)");
        return ControlSite::SetActiveObject(object, name);
    }
    using ControlSite::TranslateAccelerator;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return Log("Site.TranslateAccelerator", S_FALSE); }
    // A container that shows the property frame itself, unless told to leave it to the control.
    STDMETHODIMP ShowPropertyFrame() override { return Log("ShowPropertyFrame", showsFrame ? S_OK : E_NOTIMPL); }

    std::vector<std::string> log;
    bool showsFrame = true;

private:
    HRESULT Log(const char* entry, HRESULT result = S_OK) { return log.emplace_back(entry), result; }
};

class HostedControl : public ::testing::Test {
protected:
    struct Event {
        DISPID id;
        std::vector<ScopedVariant> args;
    };

    void SetUp() override
    {
        model.emplace();
        ASSERT_NE(ControlModule(), nullptr) << "cannot load " << RUV_CONTROL_PATH;
        ASSERT_EQ(CreateFromModule(CLSID_Corbel, control), S_OK);
        object = As<IOleObject>();
        dispatch = As<IDispatch>();
        automation = platform::DispatchDriver(dispatch.Get());
        auto point = ConnectionPointOf(control.Get(), IID_IPropertyNotifySink);
        ASSERT_TRUE(point && SUCCEEDED(point->Advise(notices.Unknown(), &m_noticeCookie)));
        ASSERT_TRUE(object && events.Connect(control.Get()));
    }
    void TearDown() override
    {
        ReleaseAll();
        onEvent = nullptr;
        LetGo();
        heard.clear();
        file.Reset();
        document.Reset();
        EXPECT_EQ(site.References(), 0) << "the control kept references on its container";
        EXPECT_EQ(events.References(), 0) << "the control kept the event sink";
        EXPECT_EQ(notices.references, 1u) << "the control kept the notice sink";
        EXPECT_EQ(ControlCanUnloadNow(), S_OK) << "the module still has objects or locks";
        model->Finish();
    }
    virtual void ReleaseAll() {} // tests release what they hold here, before the control goes
    // Closes and releases the control, as a host that is done with it.
    void LetGo()
    {
        if (control) {
            events.Disconnect(control.Get());
            ConnectionPointOf(control.Get(), IID_IPropertyNotifySink)->Unadvise(m_noticeCookie);
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        automation = platform::DispatchDriver(nullptr);
        dispatch.Reset();
        object.Reset();
        control.Reset();
    }
    // Sets the client site and runs verb (in-place activation with the user interface by default).
    HRESULT Embed(LONG verb = OLEIVERB_SHOW)
    {
        const HRESULT hr = object->SetClientSite(&site);
        return FAILED(hr) ? hr : object->DoVerb(verb, nullptr, &site, 0, TestSite::Window(), &site.Place());
    }
    HWND ControlWindow() const
    {
        HWND window = nullptr;
        return SUCCEEDED(As<IOleInPlaceObject>()->GetWindow(&window)) ? window : nullptr;
    }
    platform::TreeView Tree() const { return platform::TreeView(ControlSite::TreeWindowOf(ControlWindow())); }
    template <typename Itf>
    ComPtr<Itf> As() const
    {
        return QueryOrNull<Itf>(control.Get());
    }
    // The sample plant, read by the reference model, added to the control.
    void AddPlant()
    {
        auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentFile(RUV_SAMPLES_DIR "/plant.json"));
        document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
        ASSERT_EQ(document->GetFile(file.Receive()), S_OK);
        ASSERT_EQ(automation.Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    }
    // Keys pressed (or released) on the keyboard in order, as the system delivers them to the focus,
    // through the container's loop: the control's keys first.
    void Keys(std::initializer_list<WORD> keys, bool down = true)
    {
        for (WORD key : keys) {
            INPUT input{INPUT_KEYBOARD, {.ki = {key, 0, down ? 0u : KEYEVENTF_KEYUP, 0, 0}}};
            SendInput(1, &input, sizeof(input));
        }
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (!site.TranslateAccelerator(message) && TranslateMessage(&message) >= 0)
                DispatchMessageW(&message);
        }
    }
    void Type(WORD key) { Keys({key}); Keys({key}, false); }
    long Long(const wchar_t* property) const { return automation.Get(property).value.ToLong().value_or(-9); }

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
