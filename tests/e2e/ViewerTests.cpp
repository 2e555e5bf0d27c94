// The viewer as a person uses it, with the registered control and model: opening the sample
// plant, the View menu's switches and units, a click reported in the event log and the status bar,
// a right click's pop-up menu, a double click's attributes, a file dropped on the tree opened, a
// file closed. One session: each top-level window that goes costs Wine a wait for a window
// manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "support/DropFiles.h"
#include "support/TreeInput.h"
#include "RegisteredBinaries.h"
#include "ViewerWindow.h"

namespace {

using platform::DispatchDriver;

bool Logged(const ViewerWindow& viewer, const std::wstring& line)
{
    return std::find(viewer.Log().begin(), viewer.Log().end(), line) != viewer.Log().end();
}

POINT LabelCentre(HWND tree, HTREEITEM item)
{
    RECT rect{};
    std::memcpy(&rect, &item, sizeof(item)); // TVM_GETITEMRECT takes the item in the rectangle
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void Pump(ViewerWindow& viewer)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!viewer.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Closes the viewer's pop-up menu from inside its modal loop, as a user pressing Escape would.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST(Viewer, APersonOpensChoosesClicksAndDropsFiles)
{
    ASSERT_TRUE(BinariesRegistered());
    auto viewer = std::make_unique<ViewerWindow>();
    ASSERT_TRUE(viewer->Create(SW_SHOWNOACTIVATE));
    const std::wstring plant = SamplePath(L"plant.json");
    ASSERT_TRUE(viewer->OpenFile(plant));
    EXPECT_TRUE(Logged(*viewer, L"Opened " + plant));
    EXPECT_EQ(viewer->StatusText(), L"0 selected");
    const DispatchDriver control(viewer->Site().Automation());

    // The View menu.
    auto command = [&](UINT id) { SendMessageW(viewer->Window(), WM_COMMAND, id, 0); };
    command(idKeypoints);
    EXPECT_TRUE(control.Get(L"ShowComponentKeypoints").value.IsTrue());
    EXPECT_TRUE(Logged(*viewer, L"ShowComponentKeypoints on"));
    command(idFeetInches);
    EXPECT_EQ(control.Get(L"WorkingUnits", {L"Coordinates"}).value.ToLong(), 3);
    command(idPounds);
    EXPECT_EQ(control.Get(L"WorkingUnits", {L"Weights"}).value.ToLong(), 2);
    command(idFlyText);
    EXPECT_EQ(control.Get(L"ComponentText").value.ToLong(), 1);
    command(idSpools);
    EXPECT_TRUE(control.Get(L"ShowSpools").value.IsTrue());
    command(idBroken);
    EXPECT_TRUE(Logged(*viewer, L"ShowBrokenItems"));

    // A click on the first pipeline: the event in the log, the selection in the status bar.
    HWND tree = viewer->TreeWindow();
    ASSERT_NE(tree, nullptr);
    HTREEITEM root = Next(tree, nullptr, TVGN_ROOT);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    // Showing the broken items scrolled the tree: back to its top.
    SendMessageW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(root));
    HTREEITEM pipeline = Next(tree, Next(tree, root, TVGN_CHILD), TVGN_NEXT);
    treeinput::Click(tree, LabelCentre(tree, pipeline));
    Pump(*viewer);
    EXPECT_TRUE(Logged(*viewer, L"SelectionChanged((none), 150-P-1001-A1A)"));
    EXPECT_EQ(viewer->StatusText(), L"1 selected: 150-P-1001-A1A");

    // A right click opens the pop-up menu (closed again from its own loop).
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseMenu);
    treeinput::Click(tree, LabelCentre(tree, pipeline), 0, false);
    Pump(*viewer);
    KillTimer(nullptr, timer);
    const bool popped = std::any_of(viewer->Log().begin(), viewer->Log().end(), [](const std::wstring& line) {
        return line.rfind(L"PopupMenu(", 0) == 0 && line.find(L"150-P-1001-A1A") != std::wstring::npos;
    });
    EXPECT_TRUE(popped);

    // A double click shows the pipeline's attributes.
    const POINT at = LabelCentre(tree, pipeline);
    PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump(*viewer);
    HWND attributes = viewer->AttributesWindow();
    ASSERT_NE(attributes, nullptr);
    EXPECT_TRUE(IsWindowVisible(attributes));
    HWND list = GetDlgItem(attributes, 1);
    bool service = false;
    for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t line[256] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
        service = service || std::wstring(line) == L"Service = PROCESS WATER";
    }
    EXPECT_TRUE(service);

    // A file dropped on the tree is opened; File > Close closes it.
    SendMessageW(viewer->Site().ControlWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({plant})), 0);
    EXPECT_EQ(viewer->FileCount(), 2u);
    EXPECT_TRUE(Logged(*viewer, L"DropFile(" + plant + L")"));
    command(idCloseFirst + 1);
    EXPECT_EQ(viewer->FileCount(), 1u);

    SendMessageW(viewer->Window(), WM_CLOSE, 0, 0);
    viewer.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace
