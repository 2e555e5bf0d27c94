// Arrow keys with Ctrl and Shift, Space, typed letters, focus, collapse and deletion.
#include "support/TreeHarness.h"

namespace {

class Keyboard : public TreeTest {
protected:
    // Caret on the item, and the item the only one selected, the way a click leaves them.
    void StartAt(const std::string& name)
    {
        Tree().SetItemState(Item(name), TVIS_FOCUSED | TVIS_SELECTED, TVIS_FOCUSED | TVIS_SELECTED, TRUE);
        ClearLog();
    }
};

struct KeyCase {
    const char* name;
    const char* before;   // selected before, besides the caret
    const char* caret;
    UINT vk;
    bool ctrl;
    bool shift;
    const char* selectedAfter;
    const char* caretAfter;
};

const KeyCase kArrowCases[] = {
    {"down moves caret and selection", "", "A1", VK_DOWN, false, false, "A2", "A2"},
    {"down drops a multi-selection", "C D", "A1", VK_DOWN, false, false, "A2", "A2"},
    {"up", "", "A2", VK_UP, false, false, "A1", "A1"},
    {"up from a child to its parent row", "", "A1", VK_UP, false, false, "A", "A"},
    {"left on a collapsed item goes to the parent", "", "A3", VK_LEFT, false, false, "A", "A"},
    {"right on an expanded item goes to the first child", "", "A", VK_RIGHT, false, false, "A1", "A1"},
    {"ctrl moves the caret only", "C", "A1", VK_DOWN, true, false, "A1 C", "A2"},
    {"ctrl up keeps the old caret unselected when it was", "", "A2", VK_UP, true, false, "A2", "A1"},
    {"shift extends from the caret", "D", "A1", VK_DOWN, false, true, "A1 A2", "A2"},
    {"no target at the top: others go, caret stays", "C D", "A", VK_UP, false, false, "A", "A"},
    {"no target at the bottom with shift keeps everything", "C", "E", VK_DOWN, false, true, "C E", "E"},
};

TEST_F(Keyboard, ArrowKeys)
{
    for (const KeyCase& c : kArrowCases) {
        SCOPED_TRACE(c.name);
        BuildDefault();
        StartAt(c.caret);
        Select(c.before);
        Key(c.vk, c.ctrl, c.shift);
        EXPECT_EQ(Selected(), c.selectedAfter);
        EXPECT_EQ(Caret(), c.caretAfter);
    }
}

TEST_F(Keyboard, DownDeselectsEachOldItemWithItsOwnPairAndNamesTheNewOne)
{
    BuildDefault();
    StartAt("A1");
    Select("C");
    ClearLog();
    Key(VK_DOWN);
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-C -C ?+A2 ?+A2 +A2");
    const auto changed = OwnNotices(TVN_SELCHANGEDW);
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(Name(changed.back().itemNew), "A2");
}

TEST_F(Keyboard, ShiftDownTwiceSelectsThreeItemsFromTheAnchorAndBackShrinks)
{
    BuildDefault();
    StartAt("A1");
    Select("E");
    Key(VK_DOWN, false, true);
    Key(VK_DOWN, false, true);
    EXPECT_EQ(Name(Tree().GetAnchor()), "A1");
    EXPECT_EQ(Selected(), "A1 A2 A3");
    EXPECT_EQ(Caret(), "A3");
    Key(VK_UP, false, true);
    EXPECT_EQ(Selected(), "A1 A2") << "back toward the anchor shrinks the range";
    Key(VK_UP, false, true);
    Key(VK_UP, false, true);
    EXPECT_EQ(Selected(), "A A1") << "past the anchor the range turns round";
    Key(VK_DOWN);
    EXPECT_EQ(Tree().GetAnchor(), nullptr) << "a plain arrow clears the anchor";
    EXPECT_EQ(Selected(), "A1");
}

TEST_F(Keyboard, LeftAndRightExpandAndCollapseNatively)
{
    BuildDefault();
    StartAt("A");
    Key(VK_LEFT);
    EXPECT_FALSE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED));
    EXPECT_EQ(Caret(), "A");
    Key(VK_RIGHT);
    EXPECT_TRUE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED));
    EXPECT_EQ(Caret(), "A");
    EXPECT_EQ(Selected(), "A");
}

TEST_F(Keyboard, VetoOfTheKeyKeepsTheCaretButOthersAreAlreadyGone)
{
    BuildDefault();
    StartAt("A1");
    Select("C");
    Parent().answerSelChanging = [this](const Notice& n) { return n.itemNew == Item("A2") ? 1 : 0; };
    Key(VK_DOWN);
    EXPECT_EQ(Caret(), "A1");
    EXPECT_EQ(Selected(), "") << "the old caret went with the others before the veto";
}

TEST_F(Keyboard, SpaceTogglesTheCaretWithAPair)
{
    BuildDefault();
    StartAt("B");
    Key(VK_SPACE);
    EXPECT_EQ(Selected(), "");
    Key(VK_SPACE);
    EXPECT_EQ(Selected(), "B");
    EXPECT_EQ(OwnLog(), "?-B -B ?+B +B");
}

TEST_F(Keyboard, OtherKeysMoveTheCaretButNeverTheSelection)
{
    // Home, End and Backspace are the native control's: its caret moves select nothing here.
    BuildDefault();
    StartAt("C");
    Key(VK_HOME);
    EXPECT_EQ(Caret(), "A");
    Key(VK_END);
    EXPECT_EQ(Caret(), "E");
    EXPECT_EQ(Selected(), "C");
}

TEST_F(Keyboard, TypedLettersDoNotMoveTheCaret)
{
    BuildDefault();
    StartAt("A");
    Char(L'E');
    Char(L'c');
    EXPECT_EQ(Caret(), "A");
    EXPECT_EQ(Selected(), "A");
}

TEST_F(Keyboard, FocusWithoutCaretPutsItOnTheFirstVisibleItemUnselected)
{
    BuildDefault();
    SetFocus(Tree().GetSafeHwnd());
    EXPECT_EQ(Caret(), "A");
    EXPECT_EQ(Selected(), "");
    SetFocus(Parent().Hwnd());
    CheckInvariant();
}

TEST_F(Keyboard, CollapseDeselectsDescendantsAndDropsACaretInside)
{
    BuildDefault();
    Expand("A2");
    StartAt("A2a");
    Select("A1 C");
    ClearLog();
    Expand("A", TVE_COLLAPSE);
    EXPECT_EQ(Selected(), "C");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-A2a -A2a");
    EXPECT_EQ(Caret(), "null") << "the unselected parent does not take the caret";
}

TEST_F(Keyboard, CollapseOfASelectedParentLetsItTakeTheCaret)
{
    BuildDefault();
    StartAt("A1");
    Select("A");
    Expand("A", TVE_COLLAPSE);
    EXPECT_EQ(Selected(), "A");
    EXPECT_EQ(Caret(), "A");
}

TEST_F(Keyboard, DeletingTheCaretMovesItToAnotherSelectedItem)
{
    BuildDefault();
    StartAt("B");
    Select("D");
    ClearLog();
    Tree().DeleteItem(Item("B"));
    EXPECT_EQ(Caret(), "D");
    EXPECT_EQ(Selected(), "D");
    EXPECT_EQ(OwnLog(), "?-B -B");
}

struct DeleteCase {
    const char* selected;
    const char* caret;
    const char* deleted;
    const char* caretAfter;
};

const DeleteCase kDeleteCases[] = {
    {"B D", "B", "B", "D"},  // the next selected item
    {"A1 D", "D", "D", "A1"}, // else the first selected
    {"", "C", "C", "D"},     // else the next visible
    {"", "E", "E", "A"},     // else the first
    {"", "A3", "A", "B"},    // a caret inside a deleted branch
};

TEST_F(Keyboard, CaretAfterDeletion)
{
    for (const DeleteCase& c : kDeleteCases) {
        SCOPED_TRACE(c.deleted);
        BuildDefault();
        Select(c.selected);
        Tree().SetCaretItem(Item(c.caret));
        Tree().DeleteItem(Item(c.deleted));
        EXPECT_EQ(Caret(), c.caretAfter);
        CheckInvariant();
    }
}

TEST_F(Keyboard, NativeDeletionOfASelectedItemIsReportedToo)
{
    BuildDefault();
    Select("C D");
    ClearLog();
    Tree().DeleteNativeItem(Item("C"));
    EXPECT_EQ(OwnLog(), "?-C -C");
    Tree().DeleteNativeItem(TVI_ROOT);
    EXPECT_EQ(OwnLog(), "?-C -C ?-D -D");
}

} // namespace

namespace {

TEST_F(Keyboard, FocusChangesRepaintTheSelectedLabels)
{
    BuildDefault();
    Select("C");
    HWND tree = Tree().GetSafeHwnd();
    UpdateWindow(tree);
    SetFocus(tree);
    RECT label{}, dirty{};
    Tree().GetItemRect(Item("C"), label, true);
    ASSERT_TRUE(GetUpdateRect(tree, &dirty, FALSE));
    RECT overlap{};
    EXPECT_TRUE(IntersectRect(&overlap, &label, &dirty));
    UpdateWindow(tree);
    SetFocus(Parent().Hwnd());
    ASSERT_TRUE(GetUpdateRect(tree, &dirty, FALSE));
    EXPECT_TRUE(IntersectRect(&overlap, &label, &dirty));
}

TEST_F(Keyboard, DoubleClickReachesTheParentFromTheNativeControl)
{
    BuildDefault();
    POINT point = PointOn("B");
    StartGesture(point);
    PostButtonUp();
    SendMessageW(Tree().GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    bool doubleClick = false;
    for (const Notice& n : Notices())
        doubleClick |= n.code == static_cast<UINT>(NM_DBLCLK);
    EXPECT_TRUE(doubleClick);
    CheckInvariant();
}

TEST_F(Keyboard, WithoutMultiSelectionStatesAreSetDirectly)
{
    BuildDefault();
    Tree().SetMultiSelect(FALSE);
    EXPECT_TRUE(Tree().SetItemState(Item("C"), TVIS_BOLD, TVIS_BOLD, FALSE));
    EXPECT_EQ(Tree().GetItemState(Item("C"), TVIS_BOLD), static_cast<UINT>(TVIS_BOLD));
    EXPECT_EQ(OwnLog(), "") << "no selection notifications without multi-selection";
    Tree().SetMultiSelect(TRUE);
}

} // namespace
