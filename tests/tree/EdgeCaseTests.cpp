// The cases that need their own setup: vetoes, actions inside the mouse loops, a parent that
// deletes items, focus, double clicks, other states and single selection.
#include <algorithm>

#include "Gestures.h"
#include "support/TreeInput.h"

namespace {

using Cases = GestureTest;

TEST_F(Cases, VetoKeepsTheStateAndReturnsFalse)
{
    // The caret moves before the veto; the item stays unselected.
    Run({"", "-", "parent-vetoes set:D:+f+s!", "", "D", "?+D"});
    EXPECT_FALSE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    // A vetoed key keeps the caret, but the others are gone already, the old caret with them.
    // A vetoed key changes nothing: its target is asked before anything moves.
    Run({"A1 C", "A1", "parent-vetoes down", "A1 C", "A1", "?+A2"});
}

TEST_F(Cases, FocusChangesRepaintTheSelectedLabelsAndDoubleClicksReachTheParent)
{
    BuildDefault();
    Select("C");
    RECT label{}, dirty{}, overlap{};
    Tree().GetItemRect(Item("C"), label, true);
    for (HWND focus : {Hwnd(), Parent().Hwnd()}) {
        UpdateWindow(Hwnd());
        SetFocus(focus);
        EXPECT_TRUE(GetUpdateRect(Hwnd(), &dirty, FALSE) && IntersectRect(&overlap, &label, &dirty));
    }
    const POINT point = PointOn("B");
    treeinput::StartGesture(Hwnd(), point);
    treeinput::PostButtonUp(Hwnd());
    SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(std::any_of(Notices().begin(), Notices().end(),
                            [](const Notice& n) { return n.code == static_cast<UINT>(NM_DBLCLK); }));
}

// The native double-click handler opens or closes the item it hit after the parent heard of the
// double click; a parent that deleted that item meanwhile (a host that removes its file in its
// double-click handler) must leave the native handler nothing to touch.
TEST_F(Cases, DoubleClickOpensItsItemUnlessTheParentDeletedItMeanwhile)
{
    BuildDefault();
    auto doubleClick = [this](const char* name) {
        const POINT point = PointOn(name);
        treeinput::StartGesture(Hwnd(), point);
        treeinput::PostButtonUp(Hwnd());
        SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    };
    auto heard = [this] {
        return std::count_if(Notices().begin(), Notices().end(),
                             [](const Notice& n) { return n.code == static_cast<UINT>(NM_DBLCLK); });
    };
    doubleClick("B");
    EXPECT_EQ(heard(), 1);
    EXPECT_TRUE(Tree().GetNativeState(Item("B"), TVIS_EXPANDED)) << "the native handler opened it";
    // The parent deletes the item and makes new ones, which may take the deleted one's memory.
    ClearLog();
    std::vector<HTREEITEM> made;
    Parent().onNotice = [&](const Notice& n) {
        if (n.code != static_cast<UINT>(NM_DBLCLK))
            return;
        Tree().DeleteItem(Item("B"));
        for (int i = 0; i < 4; ++i) {
            made.push_back(Tree().InsertItem(L"X", TVI_ROOT, TVI_LAST, 0));
            Tree().InsertItem(L"X1", made.back(), TVI_LAST, 0);
        }
    };
    doubleClick("B");
    Parent().onNotice = nullptr;
    EXPECT_EQ(heard(), 1);
    for (HTREEITEM item : made)
        EXPECT_FALSE(Tree().GetNativeState(item, TVIS_EXPANDED)) << "a new item opened in the deleted one's place";
}

// A collapse by the user (Left on the caret, a click on its button) deselects the branch first; a
// parent that deletes the collapsing item while it hears of that leaves the native control, which
// collapses through a pointer it took before, nothing to touch.
TEST_F(Cases, CollapseWhoseItemTheParentDeletesMeanwhileTouchesNothing)
{
    for (const bool byKey : {true, false}) {
        BuildDefault();
        Click("A1");
        Key(VK_UP, true); // the caret on A, A1 selected
        std::vector<HTREEITEM> made;
        Parent().onNotice = [&](const Notice& n) {
            if (n.code != TVN_SELCHANGEDW || n.itemOld != Item("A1") || !made.empty())
                return;
            Tree().DeleteItem(Item("A"));
            for (int i = 0; i < 4; ++i) { // new items, which may take the deleted one's memory
                made.push_back(Tree().InsertItem(L"X", TVI_ROOT, TVI_LAST, 0));
                Tree().InsertItem(L"X1", made.back(), TVI_LAST, 0);
                Tree().Expand(made.back(), TVE_EXPAND);
            }
        };
        if (byKey)
            Key(VK_LEFT);
        else
            treeinput::Click(Hwnd(), PointAt("+A", false));
        Parent().onNotice = nullptr;
        ASSERT_EQ(made.size(), 4u);
        for (HTREEITEM item : made)
            EXPECT_TRUE(Tree().GetNativeState(item, TVIS_EXPANDED)) << "a new item closed in the deleted one's place";
        EXPECT_EQ(Selected(), "");
    }
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

TEST_F(Cases, WindowDestroyedDuringALoopEndsItAndAnnouncesNothing)
{
    // The loops end with the window, before they read the parent's own mouse input queued after
    // the destruction; the items go without caret or selection work.
    auto destroy = [this] {
        DestroyWindow(Hwnd());
        treeinput::PostMove(Parent().Hwnd(), POINT{1, 1});
        treeinput::PostButtonUp(Parent().Hwnd());
    };
    for (const char* gesture : {"click:C>!", "band:C>!>A1"}) {
        Run({"A1 C", "-", gesture, "", "-", ""}, destroy);
        MSG msg;
        EXPECT_TRUE(PeekMessageW(&msg, Parent().Hwnd(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) << gesture;
    }
}

TEST_F(Cases, AnAnchorThatIsDeletedOrHiddenGivesWay)
{
    // A deleted anchor is none, and the caret serves; a collapse that hides it moves it to the
    // collapsing item, as it does the caret.
    Run({"", "-", "click:A1 shift+click:A3 delete:A1 shift+click:C", "A3 B C", "C",
         "?+A1 +A1 click:A1 ?+A2 +A2 ?+A3 +A3 click:A3 ?-A1 -A1 ?-A2 -A2 ?+B +B ?+C +C click:C"});
    Run({"", "-", "click:A1 shift+click:A2 delete:A1 shift+down", "A2 A3", "A3",
         "?+A1 +A1 click:A1 ?+A2 +A2 click:A2 ?-A1 -A1 ?+A3 ?-A2 -A2 ?+A2 +A2 +A3"});
    Run({"", "-", "click:A1 shift+click:A3 collapse:A shift+click:C", "A B C", "C",
         "?+A1 +A1 click:A1 ?+A2 +A2 ?+A3 +A3 click:A3 ?-A1 -A1 ?-A2 -A2 ?-A3 -A3 ?+A +A ?+B +B ?+C +C click:C"});
}

TEST_F(Cases, AParentThatDeletesWhileHearingOfAChangeLeavesNothingHalfDone)
{
    // The item of a change, deleted while its change is asked for, is neither written nor named.
    Run({"", "-", "parent-deletes:?+C:C set:C:+s", "", "-", "?+C deleted:C"});
    // A collapse deselects the whole branch, whatever the parent deletes meanwhile.
    Run({"A1 A3", "-", "parent-deletes:-A1:A2 collapse:A", "", "-", "?-A1 -A1 deleted:A2 ?-A3 -A3"});
}

LRESULT CALLBACK RecordRedraws(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR log)
{
    if (message == WM_SETREDRAW)
        *reinterpret_cast<std::string*>(log) += std::to_string(wParam);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(Cases, BulkChangesSuspendTheRedrawOfAShownTreeAndRepaintOnce)
{
    BuildDefault();
    std::string redraws;
    SetWindowSubclass(Hwnd(), RecordRedraws, 1, reinterpret_cast<DWORD_PTR>(&redraws));
    for (bool shown : {true, false}) {
        ShowWindow(Hwnd(), shown ? SW_SHOWNA : SW_HIDE);
        redraws.clear();
        {
            const CMultiTree::BulkChange outer(Tree());
            const CMultiTree::BulkChange inner(Tree());
            EXPECT_EQ(redraws, "") << "nothing changed yet";
            Tree().SetItemLook(Item("C"), L"C'", -1);
            Tree().SetItemLook(Item("D"), L"D'", -1);
        }
        EXPECT_EQ(IsWindowVisible(Hwnd()) != FALSE, shown) << "a hidden tree stays hidden";
        EXPECT_EQ(redraws, shown ? "01" : "") << "off at the first change and on at the end, once, when shown";
    }
    RemoveWindowSubclass(Hwnd(), RecordRedraws, 1);
    ShowWindow(Hwnd(), SW_SHOWNA);
}

TEST_F(Cases, TypingAfterAPauseStartsAnewAndCtrlCCopiesTheSelectedLabels)
{
    BuildDefault();
    Do("caret:A type:a");
    Sleep(1100);
    Do("type:2");
    EXPECT_EQ(Caret(), "A1") << "after the pause \"2\" is a prefix of its own, which nothing matches";

    Select("A1 A2 C");
    Do("ctrl+c");
    ASSERT_TRUE(OpenClipboard(Hwnd()));
    const auto* text = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_STREQ(text, L"\tA1\r\n\tA2\r\nC\r\n") << "one label a line, a tab a level below the top";
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
}

TEST_F(Cases, PageKeysGoAPageAndShowTheCaret)
{
    BuildRows(100);
    const int page = static_cast<int>(Tree().Send(TVM_GETVISIBLECOUNT)) - 1;
    ASSERT_GT(page, 1);
    Do("caret:R0 pgdn pgdn");
    EXPECT_EQ(Caret(), "R" + std::to_string(2 * page));
    RECT row{}, client{};
    GetClientRect(Hwnd(), &client);
    EXPECT_TRUE(Tree().GetItemRect(Item(Caret()), row, false) && row.top >= 0 && row.bottom <= client.bottom);
    Do("shift+pgup");
    std::string span = "R" + std::to_string(page);
    for (int i = page + 1; i <= 2 * page; ++i)
        span += " R" + std::to_string(i);
    EXPECT_EQ(Selected(), span) << "the span from the anchor a page back";
}

TEST_F(Cases, BandScrollsWhileThePointerIsBelowTheWindow)
{
    BuildRows(40);
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

// A parent deletes an item while it hears of another's deselection ("deleted:X" in the log): no
// notification may name the deleted item after that, and the gesture goes on with what is left.
TEST_F(Cases, KeyWhoseTargetIsDeletedMeanwhileEnds)
{
    Run({"A1 C", "A1", "parent-deletes:-C:A2 down", "", "A1", "?+A2 ?-A1 -A1 ?-C -C deleted:A2"});
}

TEST_F(Cases, ClickWhoseItemIsDeletedMeanwhileEnds)
{
    Run({"C", "-", "parent-deletes:-C:B click:B", "", "-", "?-C -C deleted:B"});
}

TEST_F(Cases, WalksStartOverWhenItemsAreDeletedUnderThem)
{
    Run({"A1 A2 C", "-", "parent-deletes:-A1:A2 none", "", "-", "?-A1 -A1 ?-A2 -A2 deleted:A2 ?-C -C"});
    Run({"A1 C", "-", "parent-deletes:-A1:A1 none", "", "-", "?-A1 -A1 deleted:A1 ?-C -C"}); // the walk's own item
    Run({"A1 A3 E", "-", "parent-deletes:-A1:A3 span:B:D", "B C D", "-",
         "?-A1 -A1 ?-A3 -A3 deleted:A3 ?+B +B ?+C +C ?+D +D ?-E -E"});
}

TEST_F(Cases, BandGoesOnWhenItemsAreDeletedUnderIt)
{
    Run({"A1 E", "-", "parent-deletes:-A1:A2 band:D>B", "C D E", "A",
         "?-A1 -A1 deleted:A2 ?-E -E ?+C +C ?+D +D ?+E +E click"}); // the rows moved up one
}

TEST_F(Cases, OtherStatesPassAncestorsExpandAndWithoutMultiSelectionStatesAreWrittenDirectly)
{
    BuildDefault();
    Do("caret:B set:D:+b collapse:A");
    EXPECT_EQ(Tree().GetItemState(Item("D"), TVIS_BOLD | TVIS_FOCUSED), static_cast<UINT>(TVIS_BOLD));
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_BOLD | TVIS_FOCUSED), static_cast<UINT>(TVIS_FOCUSED));
    EXPECT_TRUE(Tree().ExpandAncestors(Item("A2a")));
    EXPECT_TRUE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED) && Tree().GetNativeState(Item("A2"), TVIS_EXPANDED));
    EXPECT_FALSE(Tree().ExpandAncestors(Item("A2a"))) << "nothing left to expand";
    EXPECT_FALSE(Tree().ExpandAncestors(Item("C")));
    Tree().SetMultiSelect(FALSE);
    EXPECT_TRUE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    EXPECT_TRUE(Tree().GetNativeState(Item("C"), TVIS_SELECTED));
    Tree().SetItemState(Item("C"), 0, TVIS_SELECTED, FALSE);
    EXPECT_EQ(OwnLog(), "") << "no selection notifications without multi-selection";
}

} // namespace
