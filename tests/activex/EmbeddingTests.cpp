// The control in a container: activation and deactivation with the container's calls in order,
// the window parked before and after, the focus as the container hears it, verbs and extent, the
// pictures and font at the window's DPI, the control drawn into a bitmap and a metafile, null
// pointers refused, aggregation, and the module's unloading.
#include "HostedControl.h"

#include <cstdlib>
#include <tuple>

#include "platform/window/Gdi.h"

namespace {

using Embedding = HostedControl;

TEST_F(Embedding, ActivationMovesTheParkedWindowIntoTheContainerAndBack)
{
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED) << "no site";
    AddPlant(); // before the container shows the control: its window is parked
    auto inPlace = As<IOleInPlaceObject>();
    HWND window = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL) << "not active yet";
    ASSERT_EQ(Embed(), S_OK);
    EXPECT_EQ(site.log, (std::vector<std::string>{"CanInPlaceActivate", "OnInPlaceActivate", "OnUIActivate",
                                                  "OnFocus(1)", "SetActiveObject"}));
    window = ControlWindow();
    ASSERT_TRUE(window && GetParent(window) == TestSite::Window() && IsWindowVisible(window));
    RECT rect{}, tree{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, TestSite::Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(EqualRect(&rect, &site.Place()));
    // The file added before is in the tree, which covers the control, has the focus and its images.
    EXPECT_GT(Tree().GetCount(), 1u);
    GetClientRect(Tree().GetSafeHwnd(), &tree);
    EXPECT_EQ(tree.right, site.Place().right - site.Place().left);
    EXPECT_NE(Tree().Send(TVM_GETIMAGELIST, TVSIL_NORMAL), 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    const RECT place{5, 6, 105, 206};
    ASSERT_EQ(inPlace->SetObjectRects(&place, &place), S_OK);
    GetClientRect(Tree().GetSafeHwnd(), &tree);
    EXPECT_TRUE(tree.right == 100 && tree.bottom == 200) << "the tree moves with the control";
    // The container hears the focus leave the control's windows and come back, straight into the
    // tree or through the control window; moves between those windows are no news.
    site.log.clear();
    for (HWND to : {TestSite::Window(), Tree().GetSafeHwnd(), window, static_cast<HWND>(nullptr), window})
        SetFocus(to);
    EXPECT_EQ(site.log, (std::vector<std::string>{"OnFocus(0)", "OnFocus(1)", "OnFocus(0)", "OnFocus(1)"}));

    site.log.clear();
    ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site.log, (std::vector<std::string>{"SetActiveObject(null)", "OnUIDeactivate", "OnFocus(0)",
                                                  "OnInPlaceDeactivate"}))
        << "the focus goes back to the container";
    EXPECT_TRUE(!IsWindowVisible(window) && GetParent(window) != TestSite::Window()) << "parked again";
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
    ASSERT_EQ(Embed(OLEIVERB_INPLACEACTIVATE), S_OK); // shown again, without its user interface
    EXPECT_GT(Tree().GetCount(), 1u);
    EXPECT_EQ(site.ActiveObject(), nullptr);

    // Verbs: Properties goes to a container that shows the frame itself; others are refused.
    site.log.clear();
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, TestSite::Window(), nullptr), S_OK);
    EXPECT_EQ(site.log, std::vector<std::string>{"ShowPropertyFrame"});
    EXPECT_EQ(object->DoVerb(7, nullptr, &site, 0, nullptr, nullptr), OLEOBJ_S_INVALIDVERB);
    EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, &site, 0, nullptr, nullptr), E_NOTIMPL);
    // The extent, in HIMETRIC, for the content aspect only.
    SIZEL size{2540, 1270}, read{};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &read), DV_E_DVASPECT);
    auto view = As<IViewObject2>();
    EXPECT_TRUE(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &read) == S_OK && read.cx == 2540 && read.cy == 1270);
    GUID source{};
    EXPECT_TRUE(As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source) == S_OK &&
                source == DIID__DCorbelEvents)
        << "where hosts connect their sinks";
}

TEST_F(Embedding, PicturesRowsAndFontFollowTheDpiTheWindowHearsOf)
{
    ASSERT_EQ(Embed(), S_OK);
    HWND window = ControlWindow();
    const platform::TreeView tree = Tree();
    auto font = [&tree] { return reinterpret_cast<HFONT>(tree.Send(WM_GETFONT)); };
    // The pictures', the rows' and the characters' heights.
    auto look = [&] {
        int width = 0, pictures = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(tree.Send(TVM_GETIMAGELIST, TVSIL_NORMAL)), &width, &pictures);
        LOGFONTW description{};
        GetObjectW(font(), sizeof(description), &description);
        return std::tuple(pictures, static_cast<int>(tree.Send(TVM_GETITEMHEIGHT)), std::abs(description.lfHeight));
    };
    const auto [pictures96, rows96, characters96] = look();
    ASSERT_EQ(pictures96, 16) << "the test prefix is at 96 DPI";
    // What the window hears, the DPI that follows (absurd ones clamped; after its parent, a child
    // asks its window's) and the pictures that fit it.
    const std::tuple<UINT, WPARAM, UINT, int> changes[] = {
        {WM_DPICHANGED, MAKEWPARAM(144, 144), 144, 24}, {WM_DPICHANGED, 192, 192, 32}, {WM_DPICHANGED, 120, 120, 20},
        {WM_DPICHANGED, 168, 168, 24},  {WM_DPICHANGED, 0, 96, 16}, {WM_DPICHANGED, 65535, 480, 32},
        {WM_DPICHANGED_AFTERPARENT, 0, 96, 16},
    };
    for (const auto& [message, wParam, dpi, expected] : changes) {
        const HFONT old = font();
        SendMessageW(window, message, wParam, 0);
        const auto [pictures, rows, characters] = look();
        EXPECT_TRUE(pictures == expected && rows >= pictures) << wParam << ": " << pictures << " in " << rows;
        EXPECT_NEAR(characters, characters96 * dpi / 96.0, 1) << "realised again " << wParam;
        EXPECT_TRUE(font() == old || GetObjectType(old) == 0) << "the old copy goes once the tree has the new one";
    }
    // Parked again, the window takes its new parent's DPI.
    SendMessageW(window, WM_DPICHANGED, 192, 0);
    ASSERT_EQ(As<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(std::get<0>(look()), 16);
}

TEST_F(Embedding, AWindowMadeForAContainerThatOnlyActivatesInPlaceTakesTheKeys)
{
    // It activates with its user interface: the container has an active object to hand keys to.
    ASSERT_EQ(Embed(OLEIVERB_INPLACEACTIVATE), S_OK);
    EXPECT_EQ(site.log, (std::vector<std::string>{"CanInPlaceActivate", "OnInPlaceActivate", "OnUIActivate",
                                                  "OnFocus(1)", "SetActiveObject"}));
}

// A bitmap to draw into, filled with one colour.
class Canvas {
public:
    Canvas(SIZE size, COLORREF fill)
        : m_bitmap(CreateCompatibleBitmap(platform::ScopedClientDC(nullptr).Get(), size.cx, size.cy))
    {
        SelectObject(m_dc.Get(), m_bitmap.Get()); // the device context goes first and lets go of it
        const platform::GdiObject<HBRUSH> brush(CreateSolidBrush(fill));
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(m_dc.Get(), &all, brush.Get());
    }
    HDC Dc() const { return m_dc.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(m_dc.Get(), x, y); }

private:
    platform::GdiObject<HBITMAP> m_bitmap;
    platform::MemoryDC m_dc{CreateCompatibleDC(nullptr)};
};

TEST_F(Embedding, DrawShowsTheControlAsItLooksScaledIntoTheBounds)
{
    auto draw = [view = As<IViewObject2>()](HDC dc, const RECTL* bounds, DWORD aspect = DVASPECT_CONTENT) {
        return view->Draw(aspect, -1, nullptr, nullptr, nullptr, dc, bounds, nullptr, nullptr, 0);
    };
    constexpr COLORREF kUnpainted = RGB(1, 2, 3);
    // Before the control has a window: its background, inside the bounds only; wrong calls refused.
    const Canvas before(SIZE{120, 80}, kUnpainted);
    const RECTL bounds{10, 20, 110, 70}, empty{10, 10, 10, 50}, inverted{50, 50, 10, 10}, huge{-MAXLONG, 0, MAXLONG, 9};
    ASSERT_EQ(draw(before.Dc(), &bounds), S_OK);
    EXPECT_TRUE(before.At(10, 20) == GetSysColor(COLOR_WINDOW) && before.At(109, 69) == GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(before.At(9, 20) == kUnpainted && before.At(110, 69) == kUnpainted && before.At(10, 70) == kUnpainted);
    EXPECT_EQ(draw(before.Dc(), &bounds, DVASPECT_ICON), DV_E_DVASPECT);
    for (const auto& [dc, where] : {std::pair(HDC{}, &bounds), {before.Dc(), nullptr}, {before.Dc(), &empty},
                                    {before.Dc(), &inverted}, {before.Dc(), &huge}})
        EXPECT_EQ(draw(dc, where), E_INVALIDARG);

    // Shown with a selected row and either border: at its own size what the screen shows, and twice
    // as large (as on a printer) each pixel twice as large.
    AddPlant();
    ASSERT_EQ(Embed(), S_OK);
    ASSERT_EQ(automation.Call(L"SetSelection", {modelkit::PipelineOf(file.Get(), 0).Get()}).hr, S_OK);
    ASSERT_EQ(automation.Put(L"BorderStyle", {1}).hr, S_OK);
    RECT window{};
    GetWindowRect(ControlWindow(), &window);
    const SIZE size{window.right - window.left, window.bottom - window.top};
    const RECTL whole{0, 0, size.cx, size.cy}, twice{5, 5, 5 + 2 * size.cx, 5 + 2 * size.cy};
    // The pointer away from the control, so that no hover look (a tip, a hot item) is on the screen,
    // which reaches the display a moment after painting: it is read again until it agrees, for a second.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (const short appearance : {0, 1}) {
        ASSERT_EQ(automation.Put(L"Appearance", {appearance}).hr, S_OK);
        RedrawWindow(ControlWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const Canvas shown(size, kUnpainted), drawn(size, kUnpainted), large({twice.right + 5, twice.bottom + 5}, 0);
        ASSERT_TRUE(draw(drawn.Dc(), &whole) == S_OK && draw(large.Dc(), &twice) == S_OK);
        int differ = -1;
        for (int attempt = 0; attempt < 20 && differ != 0; ++attempt) {
            if (attempt > 0) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
                    DispatchMessageW(&message);
            }
            BitBlt(shown.Dc(), 0, 0, size.cx, size.cy, platform::ScopedClientDC(nullptr).Get(), window.left, window.top,
                   SRCCOPY);
            differ = 0;
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x)
                    differ += (drawn.At(x, y) != shown.At(x, y)) + (large.At(5 + 2 * x, 5 + 2 * y) != drawn.At(x, y)) +
                              (large.At(6 + 2 * x, 6 + 2 * y) != drawn.At(x, y));
        }
        EXPECT_EQ(differ, 0) << "appearance " << appearance;
        EXPECT_TRUE(large.At(4, 5) == 0 && large.At(twice.right, twice.bottom - 1) == 0) << "outside the bounds";
    }

    // Into a metafile, as a document keeps the control's picture.
    struct MetafileTraits {
        using Handle = HENHMETAFILE;
        void Close(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
    };
    struct RecordingTraits {
        using Handle = HDC;
        void Close(HDC dc) const { MetafileTraits().Close(CloseEnhMetaFile(dc)); }
    };
    platform::ScopedHandle<RecordingTraits> recording(CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(draw(recording.Get(), &bounds), S_OK);
    const platform::ScopedHandle<MetafileTraits> metafile(CloseEnhMetaFile(recording.Release()));
    ENHMETAHEADER header{};
    ASSERT_TRUE(GetEnhMetaFileHeader(metafile.Get(), sizeof(header), &header));
    EXPECT_GT(header.nRecords, 2u) << "more than its header and its end";
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
        control->QueryInterface(IID_IDispatch, nullptr), dispatch->GetTypeInfoCount(nullptr),
        dispatch->GetTypeInfo(0, 0, nullptr), dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr),
        info->GetClassInfo(nullptr), info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr),
        info->GetGUID(0, nullptr), As<ISpecifyPropertyPages>()->GetPages(nullptr), object->GetClientSite(nullptr),
        object->EnumVerbs(nullptr), object->GetUserClassID(nullptr), object->GetUserType(USERCLASSTYPE_FULL, nullptr),
        object->SetExtent(DVASPECT_CONTENT, nullptr), object->GetExtent(DVASPECT_CONTENT, nullptr),
        object->EnumAdvise(nullptr), object->GetMiscStatus(DVASPECT_CONTENT, nullptr), inPlace->GetWindow(nullptr),
        inPlace->SetObjectRects(nullptr, nullptr), As<IOleControl>()->GetControlInfo(nullptr),
        view->GetColorSet(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr),
        view->GetExtent(DVASPECT_CONTENT, -1, nullptr, nullptr), stream->Load(static_cast<IStream*>(nullptr)),
        stream->Save(static_cast<IStream*>(nullptr), TRUE), stream->GetSizeMax(nullptr), stream->GetClassID(nullptr),
        bag->Load(nullptr, nullptr), bag->Save(nullptr, TRUE, TRUE), storage->InitNew(nullptr), storage->Load(nullptr),
        storage->Save(nullptr, TRUE), points->FindConnectionPoint(DIID__DCorbelEvents, nullptr),
        points->EnumConnectionPoints(nullptr),
    };
    for (size_t i = 0; i < std::size(results); ++i)
        EXPECT_TRUE(FAILED(results[i])) << "call " << i;
    EXPECT_EQ(view->GetAdvise(nullptr, nullptr, nullptr), S_OK) << "nothing asked, nothing to fail";
    EXPECT_EQ(Long(L"SelectedItemCount"), 0) << "the control still answers";
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
    ComPtr<IDispatch> refused, viaOuter;
    EXPECT_EQ(CreateFromModule(CLSID_Corbel, refused, outer.Unknown()), CLASS_E_NOAGGREGATION) << "not for IUnknown";
    ASSERT_EQ(CreateFromModule(CLSID_Corbel, outer.inner, outer.Unknown()), S_OK);
    ASSERT_EQ(outer.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(viaOuter.Receive())), S_OK);
    EXPECT_EQ(modelkit::Identity(viaOuter.Get()), outer.Unknown());
    EXPECT_EQ(platform::DispatchDriver(viaOuter.Get()).Get(L"SelectedItemCount").value.ToLong(), 0);
    viaOuter.Reset();
    outer.inner.Reset();
    EXPECT_EQ(outer.references, 1u) << "every reference to the outer object returned";
}

TEST_F(Embedding, ModuleStaysWhileObjectsOrLocksRemain)
{
    EXPECT_EQ(ControlCanUnloadNow(), S_FALSE) << "the fixture's control is alive";
    ComPtr<IClassFactory> factory, none;
    ASSERT_EQ(ControlClassObject(CLSID_Corbel, factory.Receive()), S_OK);
    EXPECT_EQ(ControlClassObject(CLSID_NULL, none.Receive()), CLASS_E_CLASSNOTAVAILABLE);
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
