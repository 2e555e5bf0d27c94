// The registered binaries as a user meets them: RUVFileTree.ocx and RUVModel.dll registered with
// regsvr32 (for the whole program), the control created by its ProgID in the viewer's own site and in the system's atl.dll
// container, the sample plant opened through the model's ProgID, and the tree driven by real
// input messages (clicks with and without Ctrl and Shift, keys through the container, a rubber
// band, right and double clicks) with the control's events heard by the viewer's sink.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RegisteredBinaries.h"
#include "support/TopWindow.h"
#include "support/TreeInput.h"
#include "host/ControlEvents.h"
#include "host/ControlSite.h"
#include "ObjectText.h"
#include "RUVFileTree.h"
#include "platform/com/ComError.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/ScopedVariant.h"


namespace {

using platform::ComPtr;
using platform::DispatchDriver;
using platform::ScopedVariant;

constexpr DISPID kSelectionChanged = dispidEventSelectionChanged, kPopupMenu = dispidEventPopupMenu,
                 kDoubleClick = dispidEventLButtonDblClick;

HWND ContainerWindow()
{
    static HWND window = MakeTopWindow(L"EndToEndContainer", L"End to end");
    return window;
}

// One event as the host's sink heard it: its DISPID and its objects' names ("(none)" for none).
struct Heard {
    DISPID id;
    std::vector<std::wstring> names;
    POINT point;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BinariesRegistered()) << "regsvr32 failed";
        site = std::make_unique<ControlSite>(ContainerWindow());
        ASSERT_EQ(site->Create(L"CORBEL.CorbelCtrl.1", RECT{10, 10, 410, 410}), S_OK);
        ASSERT_TRUE(Listen(site->Control()));
        OpenPlant(site->Automation());
        tree = site->TreeWindow();
        ShowPipelines();
    }
    void TearDown() override
    {
        treeinput::SetModifiers(false, false);
        Unlisten();
        if (site) {
            site->Close();
            EXPECT_EQ(site->References(), 0) << "the control kept references on the viewer's site";
        }
        site.reset();
        file.Reset();
        document.Reset();
    }

    void Unlisten()
    {
        if (events && listened)
            events->Disconnect(listened);
        events.reset();
        listened = nullptr;
    }
    bool Listen(IUnknown* control)
    {
        Unlisten();
        listened = control;
        events = std::make_unique<ControlEvents>(
            DIID__DCorbelEvents, [this](DISPID id, const std::vector<ScopedVariant>& args) {
                Heard event{id, {}, {0, 0}};
                for (const ScopedVariant& arg : args) {
                    if (arg.Type() == VT_DISPATCH || arg.Type() == VT_EMPTY)
                        event.names.push_back(ObjectName(arg.Object()));
                }
                if (args.size() == 3)
                    event.point = POINT{args[0].ToLong().value_or(0), args[1].ToLong().value_or(0)};
                heard.push_back(event);
            });
        return events->Connect(control);
    }
    void OpenPlant(IDispatch* control)
    {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"RUVModel.Document", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(document.Receive())),
                  S_OK);
        const std::wstring path = SamplePath(L"plant.json");
        ASSERT_EQ(DispatchDriver(document.Get()).Call(L"Open", {path.c_str()}).hr, S_OK);
        file = ComPtr<IDispatch>(DispatchDriver(document.Get()).Call(L"GetFile").value.Object());
        ASSERT_TRUE(file);
        ASSERT_EQ(DispatchDriver(control).Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    }
    // The file's row open: the file, its attributes and the three pipelines in view.
    void ShowPipelines()
    {
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Row(0)));
        heard.clear();
    }
    HTREEITEM Row(int index) const
    {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
        for (int i = 0; i < index && item; ++i)
            item = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
        return item;
    }
    RECT Label(int index) const
    {
        RECT rect{};
        HTREEITEM item = Row(index);
        static_assert(sizeof(item) <= sizeof(rect));
        std::memcpy(&rect, &item, sizeof(item)); // TVM_GETITEMRECT takes the item in the rectangle
        SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    POINT On(int index) const
    {
        const RECT rect = Label(index);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    POINT RightOf(int index) const
    {
        const RECT rect = Label(index);
        return POINT{rect.right + 40, (rect.top + rect.bottom) / 2};
    }
    void Click(int index, UINT keys = 0)
    {
        treeinput::SetModifiers((keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0);
        treeinput::Click(tree, On(index), keys);
        treeinput::SetModifiers(false, false);
    }
    // Messages as the viewer's loop handles them: the control's keys first.
    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!site || !site->TranslateAccelerator(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    long Count(IDispatch* control) const { return DispatchDriver(control).Get(L"SelectedItemCount").value.ToLong().value_or(-1); }
    // The selected objects' names, sorted: the control lists its selection in the registry's
    // order, which is not the order of selection.
    std::vector<std::wstring> Selected(IDispatch* control) const
    {
        std::vector<std::wstring> names;
        for (long i = 0; i < Count(control); ++i)
            names.push_back(ObjectName(DispatchDriver(control).Get(L"SelectedItem", {i}).value.Object()));
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::wstring> SelectedByEvents() const
    {
        std::vector<std::wstring> names;
        for (const Heard& event : heard) {
            if (event.id == kSelectionChanged && event.names.size() == 2 && event.names[1] != L"(none)")
                names.push_back(event.names[1]);
        }
        return names;
    }

    std::unique_ptr<ControlSite> site;
    std::unique_ptr<ControlEvents> events;
    IUnknown* listened = nullptr; // the control events come from
    std::vector<Heard> heard;
    ComPtr<IDispatch> document;
    ComPtr<IDispatch> file;
    HWND tree = nullptr;
};

const std::wstring kFirst = L"150-P-1001-A1A", kSecond = L"80-CW-2014-B1C", kThird = L"50-N-3021-S1A";

TEST_F(EndToEnd, ClicksWithCtrlAndShiftSelectAndReportEachObject)
{
    IDispatch* control = site->Automation();
    Click(2);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].names, (std::vector<std::wstring>{L"(none)", kFirst}));
    EXPECT_EQ(Selected(control), std::vector<std::wstring>{kFirst});

    heard.clear();
    Click(4, MK_SHIFT);
    EXPECT_EQ(Count(control), 3) << "the span from the anchor";
    EXPECT_EQ(SelectedByEvents(), (std::vector<std::wstring>{kSecond, kThird}));

    heard.clear();
    Click(3, MK_CONTROL);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].names, (std::vector<std::wstring>{kSecond, L"(none)"})) << "Ctrl+click deselects";
    EXPECT_EQ(Selected(control), (std::vector<std::wstring>{kFirst, kThird})) << "sorted";

    heard.clear();
    Click(3, MK_CONTROL);
    EXPECT_EQ(SelectedByEvents(), std::vector<std::wstring>{kSecond});
    EXPECT_EQ(Count(control), 3);
}

TEST_F(EndToEnd, KeysThroughTheContainerMoveTheSelection)
{
    IDispatch* control = site->Automation();
    Click(2);
    heard.clear();
    PostMessageW(tree, WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    EXPECT_EQ(Selected(control), std::vector<std::wstring>{kSecond});
    EXPECT_EQ(SelectedByEvents(), std::vector<std::wstring>{kSecond});
    PostMessageW(tree, WM_KEYDOWN, VK_END, 1);
    Pump();
    EXPECT_EQ(Selected(control), std::vector<std::wstring>{kSecond}) << "End moves the caret only";
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)), Row(4));
}

TEST_F(EndToEnd, RubberBandSelectsTheRowsItCrosses)
{
    IDispatch* control = site->Automation();
    treeinput::StartGesture(tree, RightOf(2));
    treeinput::PostMove(tree, RightOf(3));
    treeinput::PostMove(tree, RightOf(4));
    treeinput::PostButtonUp(tree);
    treeinput::Press(tree, RightOf(2), true, 0);
    EXPECT_EQ(Count(control), 3);
    EXPECT_EQ(SelectedByEvents(), (std::vector<std::wstring>{kFirst, kSecond, kThird}));
}

TEST_F(EndToEnd, RightAndDoubleClicksReportTheObjectUnderTheMouse)
{
    treeinput::Click(tree, On(3), 0, false);
    Pump();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().id, kPopupMenu);
    EXPECT_EQ(heard.back().names, std::vector<std::wstring>{kSecond});
    POINT inControl = On(3);
    MapWindowPoints(tree, site->ControlWindow(), &inControl, 1);
    EXPECT_EQ(heard.back().point.x, inControl.x);

    heard.clear();
    treeinput::StartGesture(tree, On(4));
    const POINT at = On(4);
    PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
    bool doubleClicked = false;
    for (const Heard& event : heard)
        doubleClicked = doubleClicked || (event.id == kDoubleClick && event.names == std::vector<std::wstring>{kThird});
    EXPECT_TRUE(doubleClicked);
}

// atl.dll, loaded by name as a host without an import library would.
template <typename Entry>
Entry AtlEntry(const char* name)
{
    static HMODULE atl = LoadLibraryW(L"atl.dll");
    return atl ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(atl, name))) : nullptr;
}

TEST_F(EndToEnd, SystemContainerHostsTheControlForClicksAndBands)
{
    const auto axWinInit = AtlEntry<BOOL(WINAPI*)()>("AtlAxWinInit");
    const auto axGetControl = AtlEntry<HRESULT(WINAPI*)(HWND, IUnknown**)>("AtlAxGetControl");
    ASSERT_TRUE(axWinInit && axGetControl && axWinInit());
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"CORBEL.CorbelCtrl.1", WS_CHILD | WS_VISIBLE, 10, 10, 400, 400,
                                ContainerWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    {
        ComPtr<IUnknown> hosted;
        ASSERT_EQ(axGetControl(host, hosted.Receive()), S_OK);
        ComPtr<IDispatch> control = platform::QueryOrNull<IDispatch>(hosted.Get());
        heard.clear();
        ASSERT_TRUE(Listen(hosted.Get()));
        OpenPlant(control.Get());
        HWND window = nullptr;
        ASSERT_EQ(platform::QueryOrNull<IOleInPlaceObject>(hosted.Get())->GetWindow(&window), S_OK);
        tree = ControlSite::TreeWindowOf(window);
        ShowPipelines();

        Click(2);
        EXPECT_EQ(Selected(control.Get()), std::vector<std::wstring>{kFirst});
        heard.clear();
        treeinput::StartGesture(tree, RightOf(3));
        treeinput::PostMove(tree, RightOf(4));
        treeinput::PostButtonUp(tree);
        treeinput::Press(tree, RightOf(3), true, 0);
        EXPECT_EQ(Selected(control.Get()), (std::vector<std::wstring>{kThird, kSecond})) << "sorted";
        EXPECT_EQ(SelectedByEvents(), (std::vector<std::wstring>{kSecond, kThird}));

        MoveWindow(host, 10, 10, 300, 200, TRUE);
        RECT client{};
        GetClientRect(tree, &client);
        EXPECT_EQ(client.right, 300);
        Unlisten();
    }
    DestroyWindow(host);
}

} // namespace
