// Tree-views since Windows Vista select and deselect items on their own during caret moves and
// clicks, announcing each change with TVN_ITEMCHANGINGW. Wine's tree-view does not, so these
// tests send the notification themselves, and emulate such a tree-view where they need one.
#include <algorithm>

#include "support/TreeHarness.h"

namespace {

// Sends TVN_ITEMCHANGINGW to the tree's parent as the native control would; returns the answer.
LRESULT Announce(HWND tree, HTREEITEM item, UINT stateOld, UINT stateNew)
{
    NMTVITEMCHANGE change{};
    change.hdr = NMHDR{tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), TVN_ITEMCHANGINGW};
    change.uChanged = TVIF_STATE;
    change.hItem = item;
    change.uStateOld = stateOld;
    change.uStateNew = stateNew;
    return SendMessageW(GetParent(tree), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

// A tree-view that announces every write of the selected bit, and honours a refusal.
LRESULT CALLBACK AnnouncingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == TVM_SETITEMW) {
        const auto& item = *reinterpret_cast<const TVITEMW*>(lParam);
        if ((item.mask & TVIF_STATE) && (item.stateMask & TVIS_SELECTED)) {
            const UINT old = platform::TreeView(hwnd).GetNativeState(item.hItem, 0xFF);
            const UINT now = (old & ~item.stateMask) | (item.state & item.stateMask);
            if (old != now && Announce(hwnd, item.hItem, old, now))
                return FALSE;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, AnnouncingProc, 1);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

class NativeGuard : public TreeTest {
protected:
    size_t ChangesHeardByParent() const
    {
        return static_cast<size_t>(std::count_if(Notices().begin(), Notices().end(), [](const Notice& n) {
            return n.code == static_cast<UINT>(TVN_ITEMCHANGINGW);
        }));
    }
};

struct AnnounceRow {
    UINT stateOld;
    UINT stateNew;
    BOOL multiSelect;
    LRESULT refused; // a refused change never reaches the parent
};

const AnnounceRow kAnnounceRows[] = {
    {0, TVIS_SELECTED, TRUE, TRUE},
    {TVIS_SELECTED | TVIS_BOLD, TVIS_BOLD, TRUE, TRUE},
    {0, TVIS_BOLD, TRUE, FALSE},
    {TVIS_SELECTED, TVIS_SELECTED | TVIS_EXPANDED, TRUE, FALSE},
    {0, TVIS_SELECTED, FALSE, FALSE},
};

TEST_F(NativeGuard, SelectionChangesTheTreeIsNotMakingAreRefused)
{
    for (const AnnounceRow& row : kAnnounceRows) {
        SCOPED_TRACE(::testing::Message() << row.stateOld << " -> " << row.stateNew << " multi " << row.multiSelect);
        BuildDefault();
        Tree().SetMultiSelect(row.multiSelect);
        EXPECT_EQ(Announce(Hwnd(), Item("C"), row.stateOld, row.stateNew), row.refused);
        EXPECT_EQ(ChangesHeardByParent(), row.refused ? 0u : 1u);
    }
}

TEST_F(NativeGuard, WithoutMultiSelectionStatesAreWrittenDirectly)
{
    BuildDefault();
    Tree().SetMultiSelect(FALSE);
    EXPECT_TRUE(Tree().SetItemState(Item("C"), TVIS_BOLD, TVIS_BOLD, FALSE));
    EXPECT_EQ(Tree().GetItemState(Item("C"), TVIS_BOLD), static_cast<UINT>(TVIS_BOLD));
    EXPECT_EQ(OwnLog(), "") << "no selection notifications without multi-selection";
}

TEST_F(NativeGuard, TheTreesOwnChangesPassOnAnAnnouncingTreeView)
{
    BuildDefault();
    SetWindowSubclass(Hwnd(), AnnouncingProc, 1, 0);
    Select("A1 C");
    Do("ctrl+click:B");
    EXPECT_EQ(Selected(), "A1 B C");
    Do("shift+down");
    EXPECT_EQ(Selected(), "B C");
    Do("down");
    EXPECT_EQ(Selected(), "D");
    // A write that is not the tree's own, as the native control makes on a caret move, is refused.
    Tree().SetNativeState(Item("E"), TVIS_SELECTED, TVIS_SELECTED);
    EXPECT_EQ(Selected(), "D");
}

} // namespace
