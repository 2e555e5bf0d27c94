#include "HostedControl.h"

#include "DocumentObject.h"
#include "Reader.h"
#include "support/TopWindow.h"

namespace {

template <typename Entry>
Entry EntryPoint(const char* name)
{
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(ControlModule(), name)));
}

} // namespace

HMODULE ControlModule()
{
    static HMODULE module = LoadLibraryW(RUV_CONTROL_PATH);
    return module;
}

std::wstring ControlModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(ControlModule(), path, MAX_PATH * 2);
    return path;
}

HRESULT ControlClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    auto entry = EntryPoint<HRESULT(__stdcall*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    return entry ? entry(clsid, iid, object) : E_FAIL;
}

HRESULT ControlCanUnloadNow()
{
    auto entry = EntryPoint<HRESULT(__stdcall*)()>("DllCanUnloadNow");
    return entry ? entry() : E_FAIL;
}

HWND TestSite::Window()
{
    static HWND window = MakeTopWindow(L"TestContainerWindow", L"Test container");
    return window;
}

TestSite::TestSite() : ControlSite(Window()) { Move(RECT{20, 30, 320, 330}); }

void HostedControl::SetUp()
{
    model.emplace();
    ASSERT_NE(ControlModule(), nullptr) << "cannot load " << RUV_CONTROL_PATH;
    ASSERT_EQ(CreateFromModule(CLSID_Corbel, control), S_OK);
    object = As<IOleObject>();
    dispatch = As<IDispatch>();
    ASSERT_TRUE(object && dispatch);
    automation = platform::DispatchDriver(dispatch.Get());
    auto point = ConnectionPointOf(control.Get(), IID_IPropertyNotifySink);
    ASSERT_TRUE(point && SUCCEEDED(point->Advise(notices.Unknown(), &m_noticeCookie)));
    ASSERT_TRUE(events.Connect(control.Get()));
}

void HostedControl::LetGo()
{
    if (control) {
        events.Disconnect(control.Get());
        if (auto point = ConnectionPointOf(control.Get(), IID_IPropertyNotifySink))
            point->Unadvise(m_noticeCookie);
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    automation = platform::DispatchDriver(nullptr);
    dispatch.Reset();
    object.Reset();
    control.Reset();
}

void HostedControl::TearDown()
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

HRESULT HostedControl::Embed(LONG verb)
{
    HRESULT hr = object->SetClientSite(&site);
    return FAILED(hr) ? hr : object->DoVerb(verb, nullptr, &site, 0, TestSite::Window(), &site.Place());
}

HWND HostedControl::ControlWindow() const
{
    HWND window = nullptr;
    auto inPlace = As<IOleInPlaceObject>();
    return inPlace && SUCCEEDED(inPlace->GetWindow(&window)) ? window : nullptr;
}

void HostedControl::AddPlant()
{
    auto data = std::make_shared<ruvmodel::Document>(
        ruvmodel::ReadDocumentFile(std::string(RUV_SAMPLES_DIR) + "/plant.json"));
    document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
    ASSERT_EQ(document->GetFile(file.Receive()), S_OK);
    ASSERT_EQ(automation.Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
}

void HostedControl::PressKey(UINT key)
{
    MSG message{Tree().GetSafeHwnd(), WM_KEYDOWN, key, 1, 0, {0, 0}};
    if (site.ActiveObject() && site.ActiveObject()->TranslateAccelerator(&message) == S_OK)
        return;
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
}
