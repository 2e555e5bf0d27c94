// The control in a container: activation and deactivation with the container's calls in order,
// the window parked before and after, the object's identities, verbs, extent and pages, and
// aggregation.
#include "HostedControl.h"
#include "platform/com/ScopedBstr.h"

namespace {

using Embedding = HostedControl;

bool IsDescendant(HWND ancestor, HWND window) { return window && (window == ancestor || IsChild(ancestor, window)); }

TEST_F(Embedding, ActivationMovesTheParkedWindowIntoTheContainerAndBack)
{
    // Methods run before the container shows the control: their window is parked.
    OpenPlant();
    ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(control.Get());
    HWND parked = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&parked), E_FAIL) << "not active yet";

    ASSERT_EQ(Embed(), S_OK);
    const std::vector<std::string> activation{"CanInPlaceActivate", "OnInPlaceActivate", "OnUIActivate",
                                              "OnFocus(1)", "SetActiveObject"};
    EXPECT_EQ(site.log, activation);
    HWND window = ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), hosttest::TestSite::Window());
    EXPECT_TRUE(IsWindowVisible(window));
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, hosttest::TestSite::Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, site.Place().left);
    EXPECT_EQ(rect.bottom, site.Place().bottom);
    // The files added before activation are in the tree, which covers the control and has the focus.
    EXPECT_GT(ItemCount(), 1);
    RECT tree{};
    GetClientRect(TreeWindow(), &tree);
    EXPECT_EQ(tree.right, site.Place().right - site.Place().left);
    EXPECT_TRUE(IsDescendant(window, GetFocus()));
    EXPECT_NE(SendMessageW(TreeWindow(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

    site.log.clear();
    ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    const std::vector<std::string> deactivation{"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"};
    EXPECT_EQ(site.log, deactivation);
    EXPECT_FALSE(IsWindowVisible(TreeWindow() ? GetParent(TreeWindow()) : nullptr));
    EXPECT_EQ(inPlace->GetWindow(&parked), E_FAIL);
    // Still there when the container shows the control again.
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, hosttest::TestSite::Window(),
                             &site.Place()),
              S_OK);
    EXPECT_GT(ItemCount(), 1);
    EXPECT_EQ(site.ActiveObject(), nullptr) << "in-place activation without the user interface";
}

TEST_F(Embedding, ResizingMovesTheTreeWithTheControl)
{
    ASSERT_EQ(Embed(), S_OK);
    ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(control.Get());
    const RECT place{5, 6, 105, 206};
    ASSERT_EQ(inPlace->SetObjectRects(&place, &place), S_OK);
    RECT tree{};
    GetClientRect(TreeWindow(), &tree);
    EXPECT_EQ(tree.right, 100);
    EXPECT_EQ(tree.bottom, 200);
    EXPECT_EQ(inPlace->SetObjectRects(nullptr, &place), E_POINTER);
}

TEST_F(Embedding, TheObjectDescribesItselfToContainers)
{
    DWORD status = 0;
    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20191u);
    CLSID clsid{};
    EXPECT_EQ(object->GetUserClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Corbel);
    LPOLESTR name = nullptr;
    ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &name), S_OK);
    EXPECT_STREQ(name, L"Corbel Control");
    CoTaskMemFree(name);

    ComPtr<IProvideClassInfo2> info = QueryOrNull<IProvideClassInfo2>(control.Get());
    GUID source{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID__DCorbelEvents);
    EXPECT_EQ(info->GetGUID(0, &source), E_INVALIDARG);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(coclass.Receive()), S_OK);
    platform::ScopedBstr className;
    coclass->GetDocumentation(MEMBERID_NIL, className.Receive(), nullptr, nullptr, nullptr);
    EXPECT_EQ(className.Text(), L"Corbel");

    ComPtr<ISpecifyPropertyPages> pages = QueryOrNull<ISpecifyPropertyPages>(control.Get());
    CAUUID list{};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    ASSERT_EQ(list.cElems, 3u);
    const GUID general = {0x21edafa6, 0x388b, 0x4bc5, {0x85, 0xa6, 0xee, 0xef, 0xfa, 0x50, 0x59, 0x5d}};
    const GUID settings = {0x5f3d5012, 0xf8a8, 0x402f, {0x97, 0xcf, 0x92, 0x7f, 0xe4, 0x9b, 0xa9, 0xed}};
    EXPECT_EQ(list.pElems[0], general);
    EXPECT_EQ(list.pElems[1], CLSID_CFontPropPage);
    EXPECT_EQ(list.pElems[2], settings);
    CoTaskMemFree(list.pElems);

    ComPtr<IOleControl> ole = QueryOrNull<IOleControl>(control.Get());
    CONTROLINFO controlInfo{sizeof(CONTROLINFO), nullptr, 5, 5};
    EXPECT_EQ(ole->GetControlInfo(&controlInfo), S_OK);
    EXPECT_EQ(controlInfo.cAccel, 0);
}

TEST_F(Embedding, VerbsIncludePropertiesWhichTheContainerShows)
{
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(object->EnumVerbs(verbs.Receive()), S_OK);
    OLEVERB list[3]{};
    ULONG fetched = 0;
    EXPECT_EQ(verbs->Next(3, list, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(list[0].lVerb, OLEIVERB_PRIMARY);
    EXPECT_EQ(list[1].lVerb, OLEIVERB_PROPERTIES);
    EXPECT_STREQ(list[1].lpszVerbName, L"&Properties...");
    for (ULONG i = 0; i < fetched; ++i)
        CoTaskMemFree(list[i].lpszVerbName);

    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, hosttest::TestSite::Window(), nullptr), S_OK);
    EXPECT_EQ(site.log, std::vector<std::string>{"ShowPropertyFrame"});
    EXPECT_EQ(object->DoVerb(7, nullptr, &site, 0, nullptr, nullptr), OLEOBJ_S_INVALIDVERB);
    EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, &site, 0, nullptr, nullptr), E_NOTIMPL);
}

TEST_F(Embedding, ExtentIsKeptInHimetricAndCheckedForAspect)
{
    SIZEL size{2540, 1270};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    SIZEL read{};
    EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &read), S_OK);
    EXPECT_EQ(read.cx, 2540);
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &read), DV_E_DVASPECT);
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
    ComPtr<IViewObject2> view = QueryOrNull<IViewObject2>(control.Get());
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &read), S_OK);
    EXPECT_EQ(read.cy, 1270);
    HDC screen = GetDC(nullptr);
    const RECTL bounds{0, 0, 10, 10};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, screen, &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr, 0),
              E_INVALIDARG);
    ReleaseDC(nullptr, screen);
}

TEST_F(Embedding, NullPointersAreRefusedNotFollowed)
{
    // What a careless host passes: every call answers with an error and the control goes on.
    ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(control.Get());
    ComPtr<IOleControl> ole = QueryOrNull<IOleControl>(control.Get());
    ComPtr<IViewObject2> view = QueryOrNull<IViewObject2>(control.Get());
    ComPtr<IProvideClassInfo2> info = QueryOrNull<IProvideClassInfo2>(control.Get());
    ComPtr<ISpecifyPropertyPages> pages = QueryOrNull<ISpecifyPropertyPages>(control.Get());
    ComPtr<IPersistStreamInit> stream = QueryOrNull<IPersistStreamInit>(control.Get());
    ComPtr<IPersistPropertyBag> bag = QueryOrNull<IPersistPropertyBag>(control.Get());
    ComPtr<IPersistStorage> storage = QueryOrNull<IPersistStorage>(control.Get());
    ComPtr<IConnectionPointContainer> points = QueryOrNull<IConnectionPointContainer>(control.Get());
    const HRESULT results[] = {
        control->QueryInterface(IID_IDispatch, nullptr),
        dispatch->GetTypeInfoCount(nullptr),
        dispatch->GetTypeInfo(0, 0, nullptr),
        dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr),
        info->GetClassInfo(nullptr),
        info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr),
        pages->GetPages(nullptr),
        object->GetClientSite(nullptr),
        object->EnumVerbs(nullptr),
        object->GetUserClassID(nullptr),
        object->GetUserType(USERCLASSTYPE_FULL, nullptr),
        object->GetExtent(DVASPECT_CONTENT, nullptr),
        object->EnumAdvise(nullptr),
        object->GetMiscStatus(DVASPECT_CONTENT, nullptr),
        inPlace->GetWindow(nullptr),
        inPlace->SetObjectRects(nullptr, nullptr),
        ole->GetControlInfo(nullptr),
        view->GetColorSet(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr),
        view->GetExtent(DVASPECT_CONTENT, -1, nullptr, nullptr),
        stream->Load(static_cast<IStream*>(nullptr)),
        stream->Save(static_cast<IStream*>(nullptr), TRUE),
        stream->GetSizeMax(nullptr),
        stream->GetClassID(nullptr),
        bag->Load(nullptr, nullptr),
        bag->Save(nullptr, TRUE, TRUE),
        storage->InitNew(nullptr),
        storage->Load(nullptr),
        storage->Save(nullptr, TRUE),
        points->FindConnectionPoint(DIID__DCorbelEvents, nullptr),
        points->EnumConnectionPoints(nullptr),
    };
    for (size_t i = 0; i < std::size(results); ++i)
        EXPECT_TRUE(FAILED(results[i])) << "call " << i;
    EXPECT_EQ(view->GetAdvise(nullptr, nullptr, nullptr), S_OK) << "nothing asked, nothing to fail";
    EXPECT_EQ(automation->Get(L"SelectedItemCount").value.ToLong(), 0) << "the control still answers";
}

TEST_F(Embedding, ActivationWithoutASiteFailsCleanly)
{
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED);
    // Automation still works on the parked window.
    EXPECT_EQ(automation->Get(L"SelectedItemCount").value.ToLong(), 0);
}

// An outer object that aggregates the control: the control's interfaces answer for the outer
// object's identity.
class Outer : public hosttest::Counted<IUnknown> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
    }
    ComPtr<IUnknown> inner;
};

TEST_F(Embedding, AggregatedControlAnswersForItsOuterObject)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(ControlClassObject(CLSID_Corbel, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
    Outer outer;
    ComPtr<IDispatch> refused;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, reinterpret_cast<void**>(refused.Receive())),
              CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(outer.inner.Receive())), S_OK);
    {
        ComPtr<IDispatch> viaOuter;
        ASSERT_EQ(outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(viaOuter.Receive())), S_OK);
        ComPtr<IUnknown> identity;
        viaOuter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Receive()));
        EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer));
        EXPECT_EQ(hosttest::AutomationClient(viaOuter.Get()).Get(L"SelectedItemCount").value.ToLong(), 0);
    }
    outer.inner.Reset();
    EXPECT_EQ(outer.references, 0);
}

TEST_F(Embedding, ModuleStaysWhileObjectsOrLocksRemain)
{
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE) << "the fixture's control is alive";
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(ControlClassObject(CLSID_Corbel, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
    factory->LockServer(TRUE);
    ComPtr<IClassFactory> none;
    EXPECT_EQ(ControlClassObject(CLSID_NULL, IID_IClassFactory, reinterpret_cast<void**>(none.Receive())),
              CLASS_E_CLASSNOTAVAILABLE);
    dispatch.Reset();
    automation.reset();
    object->Close(OLECLOSE_NOSAVE);
    object.Reset();
    control.Reset();
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE) << "locked";
    factory->LockServer(FALSE);
    factory->LockServer(FALSE); // an unbalanced unlock does not go below zero
    EXPECT_EQ(ControlCanUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
}

} // namespace
