// The cases that need their own setup: vetoes, actions inside the mouse loops, a parent that
// deletes items, focus and double clicks, and the guard against the native control's own
// selection changes.
#include <algorithm>

#include "support/TreeHarness.h"
#include "support/TreeInput.h"

namespace {

using Cases = TreeTest;

TEST_F(Cases, VetoKeepsTheStateAndReturnsFalse)
{
    BuildDefault();
    Select("A1 C");
    Tree().SetCaretItem(Item("A1"));
    ClearLog();
    Parent().answerSelChanging = [](const Notice& n) { return n.itemNew ? 1 : 0; };
    EXPECT_FALSE(Tree().SetItemState(Item("D"), TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED, TRUE));
    EXPECT_EQ(Caret(), "D") << "the caret moved before the veto; the item stays unselected";
    Tree().SetCaretItem(Item("A1"));
    Key(VK_DOWN);
    EXPECT_EQ(Caret(), "A1") << "a vetoed key keeps the caret";
    EXPECT_EQ(Selected(), "") << "the old caret went with the others before the veto";
    EXPECT_EQ(OwnLog(), "?+D ?-A1 -A1 ?-C -C ?+A2");
}

TEST_F(Cases, SendNotifyMarksItsOwnNotificationsAndNests)
{
    BuildDefault();
    Parent().onNotice = [this](const Notice& n) {
        if (n.code == TVN_SELCHANGEDW && n.itemNew == Item("B")) {
            Select("C");
            EXPECT_TRUE(Tree().IsSendingNotify()) << "the inner send restores the outer value";
        }
    };
    Select("B");
    EXPECT_FALSE(Tree().IsSendingNotify());
    EXPECT_EQ(OwnLog(), "?+B +B ?+C +C");
}

TEST_F(Cases, ExpandAncestorsOpensEveryCollapsedAncestor)
{
    BuildDefault();
    Expand("A", TVE_COLLAPSE);
    EXPECT_TRUE(Tree().ExpandAncestors(Item("A2a")));
    EXPECT_TRUE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED) && Tree().GetNativeState(Item("A2"), TVIS_EXPANDED));
    EXPECT_FALSE(Tree().ExpandAncestors(Item("A2a"))) << "nothing left to expand";
    EXPECT_FALSE(Tree().ExpandAncestors(Item("C")));
}

TEST_F(Cases, FocusChangesRepaintTheSelectedLabels)
{
    BuildDefault();
    Select("C");
    RECT label{}, dirty{}, overlap{};
    Tree().GetItemRect(Item("C"), label, true);
    for (HWND focus : {Hwnd(), Parent().Hwnd()}) {
        UpdateWindow(Hwnd());
        SetFocus(focus);
        ASSERT_TRUE(GetUpdateRect(Hwnd(), &dirty, FALSE));
        EXPECT_TRUE(IntersectRect(&overlap, &label, &dirty));
    }
}

TEST_F(Cases, DoubleClickReachesTheParentFromTheNativeControl)
{
    BuildDefault();
    const POINT point = PointOn("B");
    treeinput::StartGesture(Hwnd(), point);
    treeinput::PostButtonUp(Hwnd());
    SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(std::any_of(Notices().begin(), Notices().end(),
                            [](const Notice& n) { return n.code == static_cast<UINT>(NM_DBLCLK); }));
}

// Rows whose "!" runs an action inside the mouse loop.
TEST_F(Cases, PressOnASelectedItemKeepsTheSelectionUntilTheButtonComesUp)
{
    std::string during;
    Run({"A1 B C", "-", "click:B>!", "B", "B", "?-A1 -A1 ?-C -C click:B"}, [&] { during = Selected(); });
    EXPECT_EQ(during, "A1 B C");
}

TEST_F(Cases, LostCaptureEndsAClickWithNothingDoneAndABandAsAClickOnEmptySpace)
{
    Run({"A1 B", "-", "click:B>!", "A1 B", "B", ""}, [] { ReleaseCapture(); });
    Run({"A1 B", "-", "band:->!>A", "", "A", "?-A1 -A1 ?-B -B click"}, [] { ReleaseCapture(); });
}

TEST_F(Cases, ItemDeletedDuringALoopIsNeverTouched)
{
    auto deleteItem = [this](const char* name) { return [this, name] { Tree().DeleteItem(Item(name)); }; };
    Run({"A1 C", "-", "click:C>!", "A1", "A1", "?-C -C"}, deleteItem("C")); // the click never happened
    Run({"A1", "-", "ctrl+drag:D>!", "A1", "-", ""}, deleteItem("D"));       // neither selected nor dragged
    Run({"A1 E", "-", "ctrl+band:C>B>!>A2", "A1 A2 A3 B C", "A", "?+B +B ?+C +C ?-E -E ?+A2 +A2 ?+A3 +A3 click"},
        deleteItem("E")); // a remembered item is deselected once, on its way out
}

TEST_F(Cases, WindowDestroyedDuringALoopEndsIt)
{
    // The button comes up over the parent: the loops must not wait for the destroyed tree's.
    auto destroy = [this] {
        DestroyWindow(Hwnd());
        PostMessageW(Parent().Hwnd(), WM_LBUTTONUP, 0, 0);
    };
    Run({"A1 C", "-", "click:C>!", "", "-", "?-A1 -A1 ?-C -C"}, destroy);
    Run({"A1 C", "-", "band:C>!>A1", "", "-", "?-A1 -A1 ?-C -C"}, destroy);
}

TEST_F(Cases, BandScrollsWhileThePointerIsBelowTheWindow)
{
    std::vector<std::string> names;
    std::vector<ItemSpec> items;
    for (int i = 0; i < 40; ++i)
        names.push_back("R" + std::to_string(i));
    for (const std::string& name : names)
        items.push_back({name.c_str(), nullptr});
    Build(items);
    RECT client;
    GetClientRect(Hwnd(), &client);
    const POINT from = PointAt("R2", true);
    POINT below{from.x, client.bottom + 40};
    ClientToScreen(Hwnd(), &below);
    treeinput::StartGesture(Hwnd(), from);
    treeinput::PostMove(Hwnd(), POINT{from.x, client.bottom - 5});
    for (int tick = 0; tick < 3; ++tick) {
        SetCursorPos(below.x, below.y);
        PostMessageW(Hwnd(), WM_TIMER, 1, 0);
    }
    treeinput::PostButtonUp(Hwnd());
    treeinput::Press(Hwnd(), from, true, 0);
    EXPECT_GE(GetScrollPos(Hwnd(), SB_VERT), 3);
    EXPECT_TRUE(Tree().GetNativeState(Item("R30"), TVIS_SELECTED)) << "rows scrolled into the band join it";
    EXPECT_TRUE(Tree().GetNativeState(Item("R2"), TVIS_SELECTED) && !Tree().GetNativeState(Item("R1"), TVIS_SELECTED));
}

TEST_F(Cases, QuitDuringALoopEndsItAndReachesTheApplication)
{
    BuildDefault();
    int code = 7;
    for (const POINT point : {PointOn("C"), PointAt("-", false)}) {
        treeinput::StartGesture(Hwnd(), point);
        PostQuitMessage(code);
        treeinput::Press(Hwnd(), point, true, 0);
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(code++));
    }
}

// A parent deletes an item while it hears of another's deselection: no notification may name the
// deleted item after that, and what the gesture still does is done on the items that are left.
class DeletingParent : public TreeTest {
protected:
    void Expect(const char* selected, const char* caret, const char* gesture, const std::string& trigger,
                const char* victim, const char* selectedAfter)
    {
        BuildDefault();
        Select(selected);
        Tree().SetCaretItem(Item(caret));
        HTREEITEM gone = Item(victim);
        size_t deletedAt = 0;
        Parent().onNotice = [&](const Notice& n) {
            if (!deletedAt && n.own && n.code == TVN_SELCHANGEDW && Name(n.itemOld) == trigger) {
                Tree().DeleteItem(gone); // its own deselection is announced on the way out
                deletedAt = Notices().size();
            }
        };
        Do(gesture);
        Parent().onNotice = nullptr;
        ASSERT_NE(deletedAt, 0u) << "the parent never deleted";
        for (size_t i = deletedAt; i < Notices().size(); ++i)
            EXPECT_TRUE(Notices()[i].itemNew != gone && Notices()[i].itemOld != gone) << "notice " << i;
        EXPECT_EQ(Selected(), selectedAfter);
    }
};

TEST_F(DeletingParent, KeyWhoseTargetIsDeletedMeanwhileEnds) { Expect("A1 C", "A1", "down", "C", "A2", ""); }

TEST_F(DeletingParent, ClickWhoseItemIsDeletedMeanwhileEnds) { Expect("C", "-", "click:B", "C", "B", ""); }

TEST_F(DeletingParent, WalksStartOverWhenItemsAreDeletedUnderThem)
{
    Expect("A1 A2 C", "-", "none", "A1", "A2", "");
    Expect("A1 C", "-", "none", "A1", "A1", ""); // the item the walk stands on
    Expect("A1 A3 E", "-", "span:B:D", "A1", "A3", "B C D");
}

TEST_F(DeletingParent, BandGoesOnWhenItemsAreDeletedUnderIt)
{
    Expect("A1 E", "-", "band:D>B", "A1", "A2", "C D E"); // the rows moved up one under the band
}

// Tree-views since Windows Vista select and deselect items on their own during caret moves and
// clicks, announcing each change with TVN_ITEMCHANGINGW. Wine's tree-view does not, so these
// tests send the notification themselves, and emulate such a tree-view where they need one.

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

struct AnnounceRow {
    UINT stateOld, stateNew;
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

TEST_F(Cases, SelectionChangesTheTreeIsNotMakingAreRefused)
{
    for (const AnnounceRow& row : kAnnounceRows) {
        SCOPED_TRACE(::testing::Message() << row.stateOld << " -> " << row.stateNew << " multi " << row.multiSelect);
        BuildDefault();
        Tree().SetMultiSelect(row.multiSelect);
        EXPECT_EQ(Announce(Hwnd(), Item("C"), row.stateOld, row.stateNew), row.refused);
        const auto heard = std::count_if(Notices().begin(), Notices().end(),
                                         [](const Notice& n) { return n.code == static_cast<UINT>(TVN_ITEMCHANGINGW); });
        EXPECT_EQ(heard, row.refused ? 0 : 1);
    }
}

TEST_F(Cases, OtherStatesPassAndWithoutMultiSelectionEveryStateIsWrittenDirectly)
{
    BuildDefault();
    Do("caret:B set:D:+b");
    EXPECT_EQ(Tree().GetItemState(Item("D"), TVIS_BOLD | TVIS_FOCUSED), static_cast<UINT>(TVIS_BOLD));
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_BOLD | TVIS_FOCUSED), static_cast<UINT>(TVIS_FOCUSED));
    Tree().SetMultiSelect(FALSE);
    EXPECT_TRUE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    EXPECT_TRUE(Tree().GetNativeState(Item("C"), TVIS_SELECTED));
    Tree().SetItemState(Item("C"), 0, TVIS_SELECTED, FALSE);
    EXPECT_EQ(OwnLog(), "") << "no selection notifications without multi-selection";
}

TEST_F(Cases, TheTreesOwnChangesPassOnAnAnnouncingTreeView)
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
