// Costs of the multi-selection tree on large flat trees: a plain click and the clearing of a small
// selection, which cost what they change, and SetAllSelected and the deletion of everything, which
// visit every row, at 10k and 100k visible items. Each figure comes with the number of messages our
// code sent to the tree, and next to a raw tree-view baseline measured in the same process: Wine's
// tree-view searches its items on every message that takes an item handle, which real Windows
// does not, so messages per item is the figure that carries over to other machines. The windows
// stay hidden, as painting would dominate.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "BenchClock.h"
#include <string>
#include <vector>

#include "tree/MultiTree.h"

namespace {

HWND MakeParent()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TreeBenchParent";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 320, 480, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void Report(const char* what, int items, double ms, unsigned long long messages)
{
    std::printf("%-34s %7d items %10.1f ms %10llu messages %6.2f messages/item\n", what, items, ms, messages,
                static_cast<double>(messages) / items);
}

std::vector<HTREEITEM> InsertFlat(platform::TreeCtrl& tree, int count)
{
    std::vector<HTREEITEM> items;
    for (int i = 0; i < count; ++i) {
        std::wstring text = L"Item " + std::to_wstring(i);
        items.push_back(tree.InsertItem(text.c_str(), TVI_ROOT, TVI_LAST, static_cast<DWORD_PTR>(i + 1)));
    }
    return items;
}

// Wine's tree-view looks every item handle up by a linear search, so walks that touch every row
// grow with the square of the rows there; they run at the smaller sizes only.
constexpr int kLargestWalked = 20000;

// The native tree-view alone: one walk over the visible items reading each one's state (by raw
// messages, over the measured tree's own items), and, at the smaller sizes, one over a raw
// tree-view that sets each one's selected bit.
void Baseline(const platform::TreeCtrl& tree, HWND parent, int count)
{
    unsigned long long before = tree.MessagesSent();
    double start = NowMs();
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextVisibleItem(item))
        tree.GetNativeState(item, TVIS_SELECTED);
    Report("baseline: walk and read state", count, NowMs() - start, tree.MessagesSent() - before);
    if (count > kLargestWalked)
        return;

    platform::TreeCtrl raw;
    RECT rect{0, 0, 300, 460};
    raw.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 102);
    InsertFlat(raw, count);
    before = raw.MessagesSent();
    start = NowMs();
    for (HTREEITEM item = raw.GetRootItem(); item; item = raw.GetNextVisibleItem(item))
        raw.SetNativeState(item, TVIS_SELECTED, TVIS_SELECTED);
    Report("baseline: walk and set state", count, NowMs() - start, raw.MessagesSent() - before);
}

void Measure(HWND parent, int count)
{
    CMultiTree tree;
    RECT rect{0, 0, 300, 460};
    tree.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 101);
    const std::vector<HTREEITEM> inserted = InsertFlat(tree, count);
    auto measure = [&tree, count](const char* what, const auto& operation) {
        const unsigned long long before = tree.MessagesSent();
        const double start = NowMs();
        operation();
        Report(what, count, NowMs() - start, tree.MessagesSent() - before);
    };

    // A plain click on the second row while the first is selected: press and release.
    HTREEITEM first = tree.GetRootItem();
    HTREEITEM second = tree.GetNextVisibleItem(first);
    tree.SetItemState(first, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED, TRUE);
    RECT label{};
    tree.GetItemRect(second, label, true);
    const LPARAM point = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    measure("plain click", [&] {
        PostMessageW(tree.GetSafeHwnd(), WM_LBUTTONUP, 0, point);
        SendMessageW(tree.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    });

    Baseline(tree, parent, count);

    // Clearing a selection of 100 items spread over the tree, as Escape or ClearSelection do.
    const std::vector<HTREEITEM>& items = inserted;
    for (size_t i = 0; i < items.size(); i += std::max<size_t>(1, items.size() / 100))
        tree.SetItemState(items[i], TVIS_SELECTED, TVIS_SELECTED, FALSE);
    measure("SetAllSelected(FALSE), 100 selected", [&] { tree.SetAllSelected(FALSE); });

    if (count <= kLargestWalked) {
        measure("SetAllSelected(TRUE)", [&] { tree.SetAllSelected(TRUE); });
        measure("SetAllSelected(FALSE)", [&] { tree.SetAllSelected(FALSE); });
        // Deleting everything while the caret is on the first item and every tenth item is selected.
        for (size_t i = 0; i < items.size(); i += 10)
            tree.SetItemState(items[i], TVIS_SELECTED, TVIS_SELECTED, FALSE);
        tree.SetCaretItem(tree.GetRootItem());
        measure("DeleteItem(TVI_ROOT)", [&] { tree.DeleteItem(TVI_ROOT); });
    }
}

} // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    HWND parent = MakeParent();
    if (!parent) {
        std::fprintf(stderr, "no window: is there a display?\n");
        return 1;
    }
    std::vector<int> sizes{10000, 100000};
    if (argc > 1)
        sizes = {std::atoi(argv[1])};
    for (int count : sizes)
        Measure(parent, count);
    return 0;
}
