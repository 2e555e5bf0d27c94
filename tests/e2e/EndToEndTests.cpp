// The registered binaries as a user meets them (RUVFileTree.ocx and RUVModel.dll registered with
// regsvr32 for the whole program): one session in the viewer, whose site creates the control by its
// ProgID, driven by real input with every event logged with its objects; and atl.dll's container.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "support/DropFiles.h"
#include "support/Regsvr32.h"
#include "support/TopWindow.h"
#include "support/TreeInput.h"
#include "ObjectText.h"
#include "RUVFileTree.h"
#include "ViewerWindow.h"
#include "platform/com/ComError.h"
#include "platform/window/TreeView.h"

namespace {

using platform::ComPtr;
using platform::DispatchDriver;

const std::wstring kFirst = L"150-P-1001-A1A", kSecond = L"80-CW-2014-B1C", kThird = L"50-N-3021-S1A";
bool g_registered = false;

class Registration : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(nullptr);
        g_registered = RunRegsvr32(WindowsPath(RUV_MODEL_PATH), false) == 0 &&
                       RunRegsvr32(WindowsPath(RUV_CONTROL_PATH), false) == 0;
    }
    void TearDown() override
    {
        RunRegsvr32(WindowsPath(RUV_CONTROL_PATH), true);
        RunRegsvr32(WindowsPath(RUV_MODEL_PATH), true);
        OleUninitialize();
    }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new Registration);

const std::wstring& Plant()
{
    static const std::wstring path = WindowsPath(L"" RUV_SAMPLES_DIR L"/plant.json");
    return path;
}

// The sample plant's three pipelines in a control's tree, the file's row open, and the gestures
// of a user on them.
struct Pipelines {
    explicit Pipelines(HWND window) : tree(window)
    {
        HTREEITEM root = tree.GetRootItem();
        tree.Expand(root, TVE_EXPAND);
        tree.EnsureVisible(root);
        rows[0] = tree.GetNextSiblingItem(tree.GetChildItem(root)); // after the file's attributes
        rows[1] = tree.GetNextSiblingItem(rows[0]);
        rows[2] = tree.GetNextSiblingItem(rows[1]);
    }
    // The centre of a row's label, or (by) pixels right of it; in the tree's client coordinates.
    POINT At(int row, int by = 0) const
    {
        RECT rect{};
        tree.GetItemRect(rows[row], rect, true);
        return POINT{by ? rect.right + by : (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void Click(int row, UINT keys = 0, bool left = true) const
    {
        treeinput::SetModifiers((keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0);
        treeinput::Click(tree.GetSafeHwnd(), At(row), keys, left);
        treeinput::SetModifiers(false, false);
    }
    // A rubber band from the empty space right of one row to that of another.
    void Band(int from, int to) const
    {
        treeinput::StartGesture(tree.GetSafeHwnd(), At(from, 40));
        for (int row = from + 1; row <= to; ++row)
            treeinput::PostMove(tree.GetSafeHwnd(), At(row, 40));
        treeinput::PostButtonUp(tree.GetSafeHwnd());
        treeinput::Press(tree.GetSafeHwnd(), At(from, 40), true, 0);
    }

    platform::TreeView tree;
    HTREEITEM rows[3] = {};
};

std::wstring Chose(const std::wstring& name) { return L"SelectionChanged((none), " + name + L")"; }
std::wstring Left(const std::wstring& name) { return L"SelectionChanged(" + name + L", (none))"; }

// Closes the viewer's pop-up menu from inside its modal loop, as a user pressing Escape would.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST(EndToEnd, OneUserSessionInTheViewer)
{
    ASSERT_TRUE(g_registered) << "regsvr32 failed";
    auto viewer = std::make_unique<ViewerWindow>();
    ASSERT_TRUE(viewer->Create(SW_SHOWNOACTIVATE));
    ASSERT_TRUE(viewer->OpenFile(Plant()));
    EXPECT_EQ(viewer->StatusText(), L"0 selected");
    EXPECT_EQ(viewer->Log().back(), L"Opened plant.json") << "the file's name, not where it lies";
    const Pipelines pipelines(viewer->TreeWindow());
    size_t seen = 0;
    auto logged = [&] { // the log's lines since the last look
        std::vector<std::wstring> lines(viewer->Log().begin() + static_cast<std::ptrdiff_t>(seen), viewer->Log().end());
        seen = viewer->Log().size();
        return lines;
    };
    auto pump = [&] { // messages as the viewer's loop handles them: the control's keys first
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!viewer->PreTranslateMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    };
    auto has = [](const std::vector<std::wstring>& lines, const std::wstring& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    logged();

    pipelines.Band(0, 2);
    EXPECT_EQ(logged(), (std::vector<std::wstring>{Chose(kFirst), Chose(kSecond), Chose(kThird)})) << "the band";
    EXPECT_EQ(viewer->StatusText().substr(0, 10), L"3 selected");
    pipelines.Click(0);
    EXPECT_EQ(viewer->StatusText(), L"1 selected: " + kFirst);
    logged();
    PostMessageW(pipelines.tree.GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 1);
    pump();
    EXPECT_EQ(viewer->StatusText(), L"1 selected: " + kSecond) << "Down, through the container";
    const auto moved = logged();
    EXPECT_TRUE(has(moved, Left(kFirst)) && has(moved, Chose(kSecond)));
    pipelines.Click(0);
    logged();
    pipelines.Click(2, MK_SHIFT);
    EXPECT_EQ(logged(), (std::vector<std::wstring>{Chose(kSecond), Chose(kThird)})) << "the span from the anchor";
    pipelines.Click(1, MK_CONTROL);
    EXPECT_EQ(logged(), std::vector<std::wstring>{Left(kSecond)}) << "Ctrl+click takes one out";
    EXPECT_EQ(viewer->StatusText().substr(0, 10), L"2 selected");

    // Typed keys on the real keyboard: letters find a pipeline (the status bar shows them while the
    // typing goes on), Shift+End spans to the last row; then Edit > Select All and Edit > Copy.
    auto type = [&](std::initializer_list<WORD> keys) {
        SetForegroundWindow(viewer->Window());
        SetFocus(pipelines.tree.GetSafeHwnd());
        for (bool up : {false, true}) {
            for (WORD key : keys) {
                INPUT input{INPUT_KEYBOARD, {.ki = {key, 0, up ? KEYEVENTF_KEYUP : 0u, 0, 0}}};
                SendInput(1, &input, sizeof(input));
            }
        }
        pump();
    };
    type({'1'});
    type({'5'});
    EXPECT_EQ(viewer->StatusText(), L"1 selected: " + kFirst);
    Sleep(150); // the status bar looks at the typing every 100 ms
    pump();
    wchar_t bar[200] = {};
    SendMessageW(viewer->StatusWindow(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(bar));
    EXPECT_NE(std::wstring(bar).find(L"Find: 15"), std::wstring::npos) << bar;
    type({VK_SHIFT, VK_END});
    EXPECT_EQ(viewer->StatusText().substr(0, 10), L"3 selected") << "the first pipeline to the last row";
    const int visible = static_cast<int>(pipelines.tree.Send(TVM_GETVISIBLECOUNT));
    SendMessageW(viewer->Window(), WM_COMMAND, idSelectAll, 0);
    pump();
    const std::wstring status = viewer->StatusText();
    SendMessageW(viewer->Window(), WM_COMMAND, idCopy, 0);
    ASSERT_TRUE(OpenClipboard(viewer->Window()));
    const std::wstring copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    EXPECT_EQ(copied.find(L"plant.json"), 0u) << "the file's row first, at the top level";
    EXPECT_NE(copied.find(L"\n\t" + kThird + L"\r\n"), std::wstring::npos) << "a pipeline a level below";
    EXPECT_EQ(status.substr(0, status.find(L' ')), std::to_wstring(std::count(copied.begin(), copied.end(), L'\n')))
        << "every visible row selected and copied (" << visible << " fit the window)";
    pipelines.Click(1);
    logged();

    // A right click pops up the menu (closed from its own loop); a double click shows attributes.
    auto inControl = [&](int row) {
        POINT point = pipelines.At(row);
        MapWindowPoints(pipelines.tree.GetSafeHwnd(), viewer->Site().ControlWindow(), &point, 1);
        return std::to_wstring(point.x) + L", " + std::to_wstring(point.y) + L", ";
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseMenu);
    pipelines.Click(1, 0, false);
    pump();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(has(logged(), L"PopupMenu(" + inControl(1) + kSecond + L")"));
    const POINT at = pipelines.At(0);
    treeinput::StartGesture(pipelines.tree.GetSafeHwnd(), at); // the control reads where the cursor is
    PostMessageW(pipelines.tree.GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(pipelines.tree.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    pump();
    EXPECT_TRUE(has(logged(), L"LButtonDblClick(" + inControl(0) + kFirst + L")"));
    ASSERT_TRUE(viewer->AttributesWindow() && IsWindowVisible(viewer->AttributesWindow()));
    EXPECT_GE(SendDlgItemMessageW(viewer->AttributesWindow(), 1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(L"Service = PROCESS WATER")), 0);

    // The View menu, each command read back from the control.
    const DispatchDriver control(viewer->Site().Automation());
    const std::tuple<UINT, const wchar_t*, std::vector<platform::ScopedVariant>, long> commands[] = {
        {idKeypoints, L"ShowComponentKeypoints", {}, -1}, {idFeetInches, L"WorkingUnits", {L"Coordinates"}, 3},
        {idPounds, L"WorkingUnits", {L"Weights"}, 2},     {idFlyText, L"ComponentText", {}, 1},
        {idSpools, L"ShowSpools", {}, -1},
    };
    for (const auto& [command, property, key, expected] : commands) {
        SendMessageW(viewer->Window(), WM_COMMAND, command, 0);
        EXPECT_EQ(control.Get(property, key).value.ToLong(), expected) << command;
    }
    SendMessageW(viewer->Window(), WM_COMMAND, idBroken, 0);
    EXPECT_TRUE(has(logged(), L"ShowBrokenItems"));

    // A file dropped on the tree is opened; File > Close closes it.
    SendMessageW(viewer->Site().ControlWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({Plant()})), 0);
    EXPECT_EQ(viewer->FileCount(), 2u);
    EXPECT_TRUE(has(logged(), L"DropFile(" + Plant() + L")"));
    SendMessageW(viewer->Window(), WM_COMMAND, idCloseFirst + 1, 0);
    EXPECT_EQ(viewer->FileCount(), 1u);

    SendMessageW(viewer->Window(), WM_CLOSE, 0, 0);
    viewer.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST(EndToEnd, SystemContainerHostsTheControlForClicksAndBands)
{
    ASSERT_TRUE(g_registered) << "regsvr32 failed";
    // atl.dll, loaded by name as a host without an import library would.
    HMODULE atl = LoadLibraryW(L"atl.dll");
    const auto axWinInit = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    const auto axGetControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ASSERT_TRUE(axWinInit && axGetControl && axWinInit());
    static HWND container = MakeTopWindow(L"EndToEndContainer", L"End to end");
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"CORBEL.CorbelCtrl.1", WS_CHILD | WS_VISIBLE, 10, 10, 400, 400,
                                container, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    {
        ComPtr<IUnknown> hosted;
        ASSERT_EQ(axGetControl(host, hosted.Receive()), S_OK);
        const DispatchDriver control(platform::QueryOrNull<IDispatch>(hosted.Get()).Get());
        std::vector<std::wstring> heard;
        ControlEvents events(DIID__DCorbelEvents, [&](DISPID id, const std::vector<platform::ScopedVariant>& args) {
            if (id == dispidEventSelectionChanged && args.size() == 2 && args[1].Object())
                heard.push_back(ObjectName(args[1].Object()));
        });
        ASSERT_TRUE(events.Connect(hosted.Get()));
        CLSID model{};
        ComPtr<IDispatch> document;
        ASSERT_EQ(CLSIDFromProgID(L"RUVModel.Document", &model), S_OK);
        ASSERT_EQ(CoCreateInstance(model, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(document.Receive())),
                  S_OK);
        ASSERT_EQ(DispatchDriver(document.Get()).Call(L"Open", {Plant()}).hr, S_OK);
        const platform::ScopedVariant file = DispatchDriver(document.Get()).Call(L"GetFile").value;
        ASSERT_EQ(control.Call(L"AddRUVFile", {file}).hr, S_OK);
        HWND window = nullptr;
        ASSERT_EQ(platform::QueryOrNull<IOleInPlaceObject>(hosted.Get())->GetWindow(&window), S_OK);
        const Pipelines pipelines(ControlSite::TreeWindowOf(window));

        pipelines.Click(0);
        pipelines.Band(1, 2);
        EXPECT_EQ(heard, (std::vector<std::wstring>{kFirst, kSecond, kThird}));
        std::vector<std::wstring> selected;
        for (long i = 0; i < control.Get(L"SelectedItemCount").value.ToLong().value_or(0); ++i)
            selected.push_back(ObjectName(control.Get(L"SelectedItem", {i}).value.Object()));
        std::sort(selected.begin(), selected.end()); // the control lists its selection in no set order
        EXPECT_EQ(selected, (std::vector<std::wstring>{kThird, kSecond}));
        MoveWindow(host, 10, 10, 300, 200, TRUE);
        RECT client{};
        GetClientRect(pipelines.tree.GetSafeHwnd(), &client);
        EXPECT_EQ(client.right, 300) << "the control follows its container";
        events.Disconnect(hosted.Get());
    }
    DestroyWindow(host);
}

} // namespace
