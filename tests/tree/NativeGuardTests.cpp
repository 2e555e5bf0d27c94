// Tree-views since Windows Vista select and deselect items on their own during caret moves and
// clicks, announcing each change with TVN_ITEMCHANGINGW. Wine's tree-view does not, so these
// tests send the notification themselves, and emulate such a tree-view where they need one.

#include "support/TreeHarness.h"

namespace {

class NativeGuard : public TreeTest {
protected:
    // Sends TVN_ITEMCHANGINGW to the parent as the native control would; returns its answer.
    LRESULT AnnounceChange(const std::string& name, UINT stateOld, UINT stateNew)
    {
        NMTVITEMCHANGE change{};
        change.hdr.hwndFrom = Tree().GetSafeHwnd();
        change.hdr.idFrom = kTreeId;
        change.hdr.code = TVN_ITEMCHANGINGW;
        change.uChanged = TVIF_STATE;
        change.hItem = Item(name);
        change.uStateOld = stateOld;
        change.uStateNew = stateNew;
        return SendMessageW(Parent().Hwnd(), WM_NOTIFY, kTreeId, reinterpret_cast<LPARAM>(&change));
    }

    size_t ItemChangingSeenByParent() const
    {
        size_t count = 0;
        for (const Notice& n : Notices())
            count += n.code == static_cast<UINT>(TVN_ITEMCHANGINGW);
        return count;
    }

    // Makes the tree-view announce every state write, and honour a refusal, as newer tree-views do.
    void EmulateAnnouncingTreeView()
    {
        SetWindowSubclass(Tree().GetSafeHwnd(), AnnouncingProc, 77, reinterpret_cast<DWORD_PTR>(this));
    }

    static LRESULT CALLBACK AnnouncingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR)
    {
        if (message == TVM_SETITEMW) {
            const auto& item = *reinterpret_cast<const TVITEMW*>(lParam);
            if ((item.mask & TVIF_STATE) && (item.stateMask & TVIS_SELECTED)) {
                UINT old = static_cast<UINT>(SendMessageW(hwnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item.hItem), 0xFF));
                NMTVITEMCHANGE change{};
                change.hdr.hwndFrom = hwnd;
                change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
                change.hdr.code = TVN_ITEMCHANGINGW;
                change.uChanged = TVIF_STATE;
                change.hItem = item.hItem;
                change.uStateOld = old;
                change.uStateNew = (old & ~item.stateMask) | (item.state & item.stateMask);
                if (old != change.uStateNew &&
                    SendMessageW(GetParent(hwnd), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change)))
                    return FALSE;
            }
        } else if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, AnnouncingProc, 77);
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
};

TEST_F(NativeGuard, SelectionChangesTheTreeIsNotMakingAreRefused)
{
    BuildDefault();
    EXPECT_EQ(AnnounceChange("C", 0, TVIS_SELECTED), TRUE);
    EXPECT_EQ(AnnounceChange("C", TVIS_SELECTED | TVIS_BOLD, TVIS_BOLD), TRUE);
    EXPECT_EQ(ItemChangingSeenByParent(), 0u) << "a refused change is not passed on";
}

TEST_F(NativeGuard, OtherStateChangesPassToTheParent)
{
    BuildDefault();
    EXPECT_EQ(AnnounceChange("C", 0, TVIS_BOLD), 0);
    EXPECT_EQ(AnnounceChange("C", TVIS_SELECTED, TVIS_SELECTED | TVIS_EXPANDED), 0);
    EXPECT_EQ(ItemChangingSeenByParent(), 2u);
}

TEST_F(NativeGuard, WithoutMultiSelectionNothingIsRefused)
{
    BuildDefault();
    Tree().SetMultiSelect(FALSE);
    EXPECT_EQ(AnnounceChange("C", 0, TVIS_SELECTED), 0);
    Tree().SetMultiSelect(TRUE);
}

TEST_F(NativeGuard, TheTreesOwnChangesPassOnAnAnnouncingTreeView)
{
    BuildDefault();
    EmulateAnnouncingTreeView();
    Select("A1 C");
    EXPECT_EQ(Selected(), "A1 C");
    Click("B", MK_CONTROL);
    EXPECT_EQ(Selected(), "A1 B C");
    Key(VK_DOWN, false, true);
    EXPECT_EQ(Selected(), "B C");
    Key(VK_DOWN);
    EXPECT_EQ(Selected(), "D");

    // A write that is not the tree's own, as the native control makes on a caret move, is refused.
    Tree().SetNativeState(Item("E"), TVIS_SELECTED, TVIS_SELECTED);
    EXPECT_EQ(Selected(), "D");
}

} // namespace
