#include "HostedControl.h"

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

HRESULT ControlClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    using Entry = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto entry = EntryPoint<Entry>("DllGetClassObject");
    return entry ? entry(clsid, iid, object) : E_FAIL;
}

HRESULT ControlCanUnloadNow()
{
    using Entry = HRESULT(__stdcall*)();
    auto entry = EntryPoint<Entry>("DllCanUnloadNow");
    return entry ? entry() : E_FAIL;
}

void HostedControl::SetUp()
{
    model.emplace();
    ASSERT_NE(ControlModule(), nullptr) << "cannot load " << RUV_CONTROL_PATH;
    hosttest::TestSite::Window();
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(ControlClassObject(CLSID_Corbel, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(control.Receive())), S_OK);
    object = QueryOrNull<IOleObject>(control.Get());
    dispatch = QueryOrNull<IDispatch>(control.Get());
    ASSERT_TRUE(object && dispatch);
    automation = std::make_unique<hosttest::AutomationClient>(dispatch.Get());
    m_noticeCookie = hosttest::Advise(control.Get(), IID_IPropertyNotifySink, &notices);
    ASSERT_TRUE(events.Connect(control.Get()));
    ASSERT_NE(m_noticeCookie, 0u);
}

void HostedControl::LetGo()
{
    if (control) {
        events.Disconnect(control.Get());
        hosttest::Unadvise(control.Get(), IID_IPropertyNotifySink, m_noticeCookie);
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    automation.reset();
    dispatch.Reset();
    object.Reset();
    control.Reset();
}

void HostedControl::TearDown()
{
    ReleaseAll();
    events.handler = nullptr;
    LetGo();
    events.events.clear();
    file.Reset();
    document.Reset();
    EXPECT_EQ(site.References(), 0) << "the control kept references on its container";
    EXPECT_EQ(events.References(), 0) << "the control kept the event sink";
    EXPECT_EQ(notices.references, 0) << "the control kept the notice sink";
    EXPECT_EQ(ControlCanUnloadNow(), S_OK) << "the module still has objects or locks";
    model->Finish();
}

HRESULT HostedControl::Embed(LONG verb)
{
    HRESULT hr = object->SetClientSite(&site);
    if (SUCCEEDED(hr))
        hr = object->DoVerb(verb, nullptr, &site, 0, hosttest::TestSite::Window(), &site.Place());
    return hr;
}

HWND HostedControl::ControlWindow() const
{
    HWND window = nullptr;
    ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(control.Get());
    if (inPlace && SUCCEEDED(inPlace->GetWindow(&window)))
        return window;
    return nullptr;
}

HWND HostedControl::TreeWindow() const { return ControlSite::TreeWindowOf(ControlWindow()); }

int HostedControl::ItemCount() const { return static_cast<int>(SendMessageW(TreeWindow(), TVM_GETCOUNT, 0, 0)); }

HTREEITEM HostedControl::Root() const
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(TreeWindow(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM HostedControl::NextVisible(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(TreeWindow(), TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM HostedControl::Caret() const
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(TreeWindow(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void HostedControl::OpenPlant()
{
    auto data = std::make_shared<ruvmodel::Document>(
        ruvmodel::ReadDocumentFile(std::string(RUV_SAMPLES_DIR) + "/plant.json"));
    document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
    ASSERT_EQ(document->GetFile(file.Receive()), S_OK);
}

void HostedControl::PressKey(UINT key)
{
    MSG message{TreeWindow(), WM_KEYDOWN, key, 1, 0, {0, 0}};
    if (site.ActiveObject() && site.ActiveObject()->TranslateAccelerator(&message) == S_OK)
        return;
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
}
