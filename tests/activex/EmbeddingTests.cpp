// The control in a container: activation and deactivation with the container's calls in order,
// the window parked before and after, resizing, what the object tells containers (its status,
// class, type, pages, verbs and extent), null pointers refused, aggregation, and the module's
// unloading.
#include "HostedControl.h"
#include "platform/com/ScopedBstr.h"
#include "platform/window/Gdi.h"

namespace {

using Embedding = HostedControl;

// A string the control allocated for the caller, taken and freed.
std::wstring Taken(LPOLESTR text)
{
    const std::wstring taken = text ? text : L"(null)";
    CoTaskMemFree(text);
    return taken;
}

TEST_F(Embedding, ActivationMovesTheParkedWindowIntoTheContainerAndBack)
{
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED) << "no site";
    // Methods run before the container shows the control: their window is parked.
    AddPlant();
    auto inPlace = As<IOleInPlaceObject>();
    HWND window = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL) << "not active yet";
    ASSERT_EQ(Embed(), S_OK);
    EXPECT_EQ(site.log, (std::vector<std::string>{"CanInPlaceActivate", "OnInPlaceActivate", "OnUIActivate",
                                                  "OnFocus(1)", "SetActiveObject"}));
    window = ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), TestSite::Window());
    EXPECT_TRUE(IsWindowVisible(window));
    RECT rect{}, tree{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, TestSite::Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(EqualRect(&rect, &site.Place()));
    // The files added before are in the tree, which covers the control and has the focus.
    EXPECT_GT(Tree().GetCount(), 1u);
    GetClientRect(Tree().GetSafeHwnd(), &tree);
    EXPECT_EQ(tree.right, site.Place().right - site.Place().left);
    EXPECT_TRUE(GetFocus() == window || IsChild(window, GetFocus()));
    EXPECT_NE(Tree().Send(TVM_GETIMAGELIST, TVSIL_NORMAL), 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    const RECT place{5, 6, 105, 206};
    ASSERT_EQ(inPlace->SetObjectRects(&place, &place), S_OK);
    GetClientRect(Tree().GetSafeHwnd(), &tree);
    EXPECT_TRUE(tree.right == 100 && tree.bottom == 200) << "the tree moves with the control";

    site.log.clear();
    ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site.log, (std::vector<std::string>{"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_NE(GetParent(window), TestSite::Window()) << "parked again";
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
    // Still there when the container shows the control again, without its user interface.
    ASSERT_EQ(Embed(OLEIVERB_INPLACEACTIVATE), S_OK);
    EXPECT_GT(Tree().GetCount(), 1u);
    EXPECT_EQ(site.ActiveObject(), nullptr);
}

TEST_F(Embedding, TheObjectDescribesItselfToContainers)
{
    DWORD status = 0;
    CLSID clsid{};
    LPOLESTR name = nullptr;
    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, kCorbelMiscStatus);
    EXPECT_EQ(object->GetUserClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Corbel);
    EXPECT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &name), S_OK);
    EXPECT_EQ(Taken(name), L"Corbel Control");
    auto info = As<IProvideClassInfo2>();
    GUID source{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID__DCorbelEvents);
    EXPECT_EQ(info->GetGUID(0, &source), E_INVALIDARG);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(coclass.Receive()), S_OK);
    platform::ScopedBstr className;
    coclass->GetDocumentation(MEMBERID_NIL, className.Receive(), nullptr, nullptr, nullptr);
    EXPECT_EQ(className.Text(), L"Corbel");
    CAUUID pages{};
    ASSERT_EQ(As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
    const std::vector<GUID> offered(pages.pElems, pages.pElems + pages.cElems);
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(offered, (std::vector<GUID>{CLSID_CorbelPropPage, CLSID_CFontPropPage, CLSID_SettingsPropPage}));
    CONTROLINFO controlInfo{sizeof(CONTROLINFO), nullptr, 5, 5};
    EXPECT_EQ(As<IOleControl>()->GetControlInfo(&controlInfo), S_OK);
    EXPECT_EQ(controlInfo.cAccel, 0) << "no mnemonics";

    // The verbs: the primary one and Properties, which a container that has a frame shows.
    ComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(object->EnumVerbs(verbs.Receive()), S_OK);
    OLEVERB list[3]{};
    ULONG fetched = 0;
    EXPECT_EQ(verbs->Next(3, list, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(Taken(list[0].lpszVerbName) + L"," + Taken(list[1].lpszVerbName), L"&Edit,&Properties...");
    EXPECT_TRUE(list[0].lVerb == OLEIVERB_PRIMARY && list[1].lVerb == OLEIVERB_PROPERTIES);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, TestSite::Window(), nullptr), S_OK);
    EXPECT_EQ(site.log, std::vector<std::string>{"ShowPropertyFrame"});
    EXPECT_EQ(object->DoVerb(7, nullptr, &site, 0, nullptr, nullptr), OLEOBJ_S_INVALIDVERB);
    EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, &site, 0, nullptr, nullptr), E_NOTIMPL);

    // The extent, in HIMETRIC, for the content aspect only; the window draws itself.
    SIZEL size{2540, 1270}, read{};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &read), DV_E_DVASPECT);
    auto view = As<IViewObject2>();
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &read), S_OK);
    EXPECT_TRUE(read.cx == 2540 && read.cy == 1270);
    const platform::ScopedClientDC screen(nullptr);
    const RECTL bounds{0, 0, 10, 10};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, screen.Get(), &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr, 0),
              E_INVALIDARG);
}

TEST_F(Embedding, NullPointersAreRefusedNotFollowed)
{
    // What a careless host passes: every call answers with an error and the control goes on.
    auto inPlace = As<IOleInPlaceObject>();
    auto view = As<IViewObject2>();
    auto info = As<IProvideClassInfo2>();
    auto stream = As<IPersistStreamInit>();
    auto bag = As<IPersistPropertyBag>();
    auto storage = As<IPersistStorage>();
    auto points = As<IConnectionPointContainer>();
    const HRESULT results[] = {
        control->QueryInterface(IID_IDispatch, nullptr),
        dispatch->GetTypeInfoCount(nullptr),
        dispatch->GetTypeInfo(0, 0, nullptr),
        dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr),
        info->GetClassInfo(nullptr),
        info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr),
        As<ISpecifyPropertyPages>()->GetPages(nullptr),
        object->GetClientSite(nullptr),
        object->EnumVerbs(nullptr),
        object->GetUserClassID(nullptr),
        object->GetUserType(USERCLASSTYPE_FULL, nullptr),
        object->SetExtent(DVASPECT_CONTENT, nullptr),
        object->GetExtent(DVASPECT_CONTENT, nullptr),
        object->EnumAdvise(nullptr),
        object->GetMiscStatus(DVASPECT_CONTENT, nullptr),
        inPlace->GetWindow(nullptr),
        inPlace->SetObjectRects(nullptr, nullptr),
        As<IOleControl>()->GetControlInfo(nullptr),
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
    EXPECT_EQ(automation.Get(L"SelectedItemCount").value.ToLong(), 0) << "the control still answers";
}

// An outer object that aggregates the control: the control's interfaces answer for it.
class Outer : public teststub::ComStub<IUnknown> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return iid == IID_IUnknown || !inner ? ComStub::QueryInterface(iid, object) : inner->QueryInterface(iid, object);
    }
    ComPtr<IUnknown> inner;
};

TEST_F(Embedding, AggregatedControlAnswersForItsOuterObject)
{
    Outer outer;
    ComPtr<IDispatch> refused;
    EXPECT_EQ(CreateFromModule(CLSID_Corbel, refused, outer.Unknown()), CLASS_E_NOAGGREGATION) << "not for IUnknown";
    ASSERT_EQ(CreateFromModule(CLSID_Corbel, outer.inner, outer.Unknown()), S_OK);
    {
        ComPtr<IDispatch> viaOuter;
        ASSERT_EQ(outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(viaOuter.Receive())), S_OK);
        EXPECT_EQ(modelkit::Identity(viaOuter.Get()), outer.Unknown());
        EXPECT_EQ(platform::DispatchDriver(viaOuter.Get()).Get(L"SelectedItemCount").value.ToLong(), 0);
    }
    outer.inner.Reset();
    EXPECT_EQ(outer.references, 1u) << "every reference to the outer object returned";
}

TEST_F(Embedding, ModuleStaysWhileObjectsOrLocksRemain)
{
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE) << "the fixture's control is alive";
    ComPtr<IClassFactory> factory, none;
    ASSERT_EQ(ControlClassObject(CLSID_Corbel, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
    EXPECT_EQ(ControlClassObject(CLSID_NULL, IID_IClassFactory, reinterpret_cast<void**>(none.Receive())),
              CLASS_E_CLASSNOTAVAILABLE);
    factory->LockServer(TRUE);
    LetGo();
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE) << "locked";
    factory->LockServer(FALSE);
    factory->LockServer(FALSE); // an unbalanced unlock does not go below zero
    EXPECT_EQ(ControlCanUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
}

} // namespace
