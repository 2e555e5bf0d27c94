// Costs of the multi-selection tree on large flat trees: a plain click (which walks every visible
// item to deselect the others) and SetAllSelected, at 10k and 100k visible items. Each figure
// comes with the number of messages our code sent to the tree, and next to a raw tree-view
// baseline measured in the same process: Wine's tree-view searches its items on every message
// that takes an item handle, which real Windows does not, so messages per item is the figure
// that carries over to other machines. The windows stay hidden, as painting would dominate.
// Deleting everything shows that the tree's own bookkeeping for deleted items stays linear.
#include <windows.h>
#include <commctrl.h>

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

void InsertFlat(platform::TreeCtrl& tree, int count)
{
    for (int i = 0; i < count; ++i) {
        std::wstring text = L"Item " + std::to_wstring(i);
        tree.InsertItem(text.c_str(), TVI_ROOT, TVI_LAST, static_cast<DWORD_PTR>(i + 1));
    }
}

// The native tree-view alone: one walk over the visible items reading each one's state, and one
// that sets each one's selected bit.
void Baseline(HWND parent, int count)
{
    platform::TreeCtrl raw;
    RECT rect{0, 0, 300, 460};
    raw.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 102);
    InsertFlat(raw, count);

    unsigned long long before = raw.MessagesSent();
    double start = NowMs();
    for (HTREEITEM item = raw.GetRootItem(); item; item = raw.GetNextVisibleItem(item))
        raw.GetNativeState(item, TVIS_SELECTED);
    Report("baseline: walk and read state", count, NowMs() - start, raw.MessagesSent() - before);

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
    InsertFlat(tree, count);

    // A plain click on the second row while the first is selected: press and release.
    HTREEITEM first = tree.GetRootItem();
    HTREEITEM second = tree.GetNextVisibleItem(first);
    tree.SetItemState(first, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED, TRUE);
    RECT label{};
    tree.GetItemRect(second, label, true);
    const LPARAM point = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    unsigned long long before = tree.MessagesSent();
    double start = NowMs();
    PostMessageW(tree.GetSafeHwnd(), WM_LBUTTONUP, 0, point);
    SendMessageW(tree.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    Report("plain click", count, NowMs() - start, tree.MessagesSent() - before);

    before = tree.MessagesSent();
    start = NowMs();
    tree.SetAllSelected(TRUE);
    Report("SetAllSelected(TRUE)", count, NowMs() - start, tree.MessagesSent() - before);

    before = tree.MessagesSent();
    start = NowMs();
    tree.SetAllSelected(FALSE);
    Report("SetAllSelected(FALSE)", count, NowMs() - start, tree.MessagesSent() - before);

    // Deleting everything while the caret is on the first item and every tenth item is selected.
    int index = 0;
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextVisibleItem(item), ++index) {
        if (index % 10 == 0)
            tree.SetItemState(item, TVIS_SELECTED, TVIS_SELECTED, FALSE);
    }
    tree.SetCaretItem(tree.GetRootItem());
    before = tree.MessagesSent();
    start = NowMs();
    tree.DeleteItem(TVI_ROOT);
    Report("DeleteItem(TVI_ROOT)", count, NowMs() - start, tree.MessagesSent() - before);

    Baseline(parent, count);
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
