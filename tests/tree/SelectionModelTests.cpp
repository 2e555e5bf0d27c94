// The selection model: state changes, their notifications, and the walks over visible items.
#include "support/TreeHarness.h"

namespace {

class SelectionModel : public TreeTest {};

TEST_F(SelectionModel, NotificationsCarryHandleAndItemDataOnly)
{
    BuildDefault();
    ASSERT_TRUE(Tree().SetItemState(Item("B"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    ASSERT_TRUE(Tree().SetItemState(Item("B"), 0, TVIS_SELECTED, FALSE));
    EXPECT_EQ(OwnLog(), "?+B +B ?-B -B");
    for (const Notice& n : Notices()) {
        EXPECT_EQ(n.idFrom, kTreeId);
        const bool selecting = n.itemNew != nullptr;
        EXPECT_EQ(selecting ? n.newMask : n.oldMask, static_cast<UINT>(TVIF_HANDLE | TVIF_PARAM));
        EXPECT_EQ(selecting ? n.newData : n.oldData, 6) << "B is the sixth item";
        EXPECT_EQ(selecting ? n.oldMask : n.newMask, 0u);
        EXPECT_EQ(selecting ? n.itemOld : n.itemNew, nullptr);
    }
    CheckInvariant();
}

TEST_F(SelectionModel, UnchangedStateSendsNothing)
{
    BuildDefault();
    Select("C");
    ClearLog();
    EXPECT_TRUE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, TRUE));
    EXPECT_TRUE(Tree().SetItemState(Item("D"), 0, TVIS_SELECTED, TRUE));
    EXPECT_EQ(OwnLog(), "");
}

TEST_F(SelectionModel, VetoKeepsTheStateAndReturnsFalse)
{
    BuildDefault();
    Parent().answerSelChanging = [](const Notice&) { return 1; };
    EXPECT_FALSE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    EXPECT_EQ(Selected(), "");
    // A veto after the caret has moved leaves the item as unselected as it was.
    EXPECT_FALSE(Tree().SetItemState(Item("D"), TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED, TRUE));
    EXPECT_EQ(Caret(), "D");
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(OwnLog(), "?+C ?+D");
}

struct CaretCase {
    const char* name;
    const char* before;  // selected items before
    const char* caret;   // caret before, or ""
    const char* item;
    UINT state;
    UINT mask;
    BOOL notifyWithFocus;
    const char* selectedAfter;
    const char* caretAfter;
    const char* log;
};

const CaretCase kCaretCases[] = {
    {"focus moves without joining the selection", "", "", "C", TVIS_FOCUSED, TVIS_FOCUSED, FALSE, "", "C", ""},
    {"old caret keeps its selection", "B", "B", "C", TVIS_FOCUSED, TVIS_FOCUSED, FALSE, "B", "C", ""},
    {"focus and select, notified", "B", "B", "C", TVIS_FOCUSED | TVIS_SELECTED, TVIS_FOCUSED | TVIS_SELECTED,
     TRUE, "B C", "C", "?+C +C"},
    {"focus and select without notify-with-focus still notifies", "", "", "C", TVIS_FOCUSED | TVIS_SELECTED,
     TVIS_FOCUSED | TVIS_SELECTED, FALSE, "C", "C", "?+C +C"},
    {"focus onto a selected item changes nothing", "C", "B", "C", TVIS_FOCUSED | TVIS_SELECTED,
     TVIS_FOCUSED | TVIS_SELECTED, TRUE, "C", "C", ""},
    {"focus and deselect", "C", "B", "C", TVIS_FOCUSED, TVIS_FOCUSED | TVIS_SELECTED, TRUE, "", "C", "?-C -C"},
    {"caret taken away keeps the selection", "C", "C", "C", 0, TVIS_FOCUSED, TRUE, "C", "null", ""},
    {"caret taken away and deselected", "C", "C", "C", 0, TVIS_FOCUSED | TVIS_SELECTED, TRUE, "", "null",
     "?-C -C"},
    {"caret taken away, selected with notify", "", "C", "C", TVIS_SELECTED, TVIS_FOCUSED | TVIS_SELECTED, TRUE,
     "C", "null", "?+C +C"},
    {"caret taken away, selection dropped without notify", "", "C", "C", TVIS_SELECTED,
     TVIS_FOCUSED | TVIS_SELECTED, FALSE, "", "null", ""},
    {"taking the focus from a non-caret item leaves the caret", "", "B", "C", 0, TVIS_FOCUSED, TRUE, "", "B", ""},
    {"other bits pass through", "", "", "C", TVIS_BOLD, TVIS_BOLD, FALSE, "", "null", ""},
};

TEST_F(SelectionModel, SetItemStateCaretRules)
{
    for (const CaretCase& c : kCaretCases) {
        SCOPED_TRACE(c.name);
        BuildDefault();
        Select(c.before);
        if (*c.caret)
            Tree().SetCaretItem(Item(c.caret));
        ClearLog();
        EXPECT_TRUE(Tree().SetItemState(Item(c.item), c.state, c.mask, c.notifyWithFocus));
        EXPECT_EQ(Selected(), c.selectedAfter);
        EXPECT_EQ(Caret(), c.caretAfter);
        EXPECT_EQ(OwnLog(), c.log);
        CheckInvariant();
    }
    EXPECT_EQ(Tree().GetItemState(Item("C"), TVIS_BOLD), static_cast<UINT>(TVIS_BOLD));
}

TEST_F(SelectionModel, GetItemStateReportsTheCaretAsFocused)
{
    BuildDefault();
    Tree().SetCaretItem(Item("B"));
    Select("B C");
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_FOCUSED | TVIS_SELECTED), static_cast<UINT>(TVIS_FOCUSED | TVIS_SELECTED));
    EXPECT_EQ(Tree().GetItemState(Item("C"), TVIS_FOCUSED | TVIS_SELECTED), static_cast<UINT>(TVIS_SELECTED));
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_SELECTED), static_cast<UINT>(TVIS_SELECTED));
    EXPECT_TRUE(Tree().SetCaretItem(nullptr));
    EXPECT_EQ(Caret(), "null");
    EXPECT_FALSE(Tree().SetCaretItem(nullptr)) << "no caret to take away";
    EXPECT_EQ(Selected(), "B C");
}

TEST_F(SelectionModel, SetAllSelectedWalksVisibleItemsOnly)
{
    BuildDefault();
    Tree().SetAllSelected(TRUE);
    EXPECT_EQ(Selected(), "A A1 A2 A3 B C D E") << "A2a and B1 are hidden in collapsed branches";
    Tree().SetAllSelectedExcept(FALSE, Item("C"));
    EXPECT_EQ(Selected(), "C");
    Tree().SetAllSelectedExcept(TRUE, Item("A1"));
    EXPECT_EQ(Selected(), "A A2 A3 B C D E");
    Tree().SetAllSelected(FALSE);
    EXPECT_EQ(Selected(), "");
}

struct SpanCase {
    const char* before;
    const char* a;
    const char* b;
    BOOL exclusive;
    const char* after;
};

const SpanCase kSpanCases[] = {
    {"", "A1", "B", TRUE, "A1 A2 A3 B"},
    {"", "B", "A1", TRUE, "A1 A2 A3 B"},       // the end met first starts the range
    {"A D", "A1", "A3", TRUE, "A1 A2 A3"},      // exclusive: everything outside goes
    {"A D", "A1", "A3", FALSE, "A A1 A2 A3 D"}, // inclusive: it stays
    {"E", "C", "C", TRUE, "C"},
    {"A", "B1", "C", TRUE, "C D E"},             // an end that is not visible: to the last item
    {"A", nullptr, "D", FALSE, "A D E"},
};

TEST_F(SelectionModel, SelectSpan)
{
    for (const SpanCase& c : kSpanCases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "null") + ".." + c.b);
        BuildDefault();
        Select(c.before);
        Tree().SelectSpan(c.a ? Item(c.a) : nullptr, Item(c.b), c.exclusive);
        EXPECT_EQ(Selected(), c.after);
        CheckInvariant();
    }
}

TEST_F(SelectionModel, SetDescendantsSelectedRecursesIntoExpandedChildrenAndFindsTheCaret)
{
    BuildDefault();
    Expand("A2");
    Tree().SetCaretItem(Item("A2a"));
    EXPECT_TRUE(Tree().SetDescendantsSelected(Item("A"), TRUE, TRUE));
    EXPECT_EQ(Selected(), "A1 A2 A2a A3");
    EXPECT_FALSE(Tree().SetDescendantsSelected(Item("A"), FALSE, FALSE));
    EXPECT_EQ(Selected(), "A2a");
    EXPECT_TRUE(Tree().SetDescendantsSelected(Item("A"), FALSE, TRUE));
    EXPECT_EQ(Selected(), "");
}

TEST_F(SelectionModel, SelectedWalksAndCollect)
{
    BuildDefault();
    EXPECT_EQ(Tree().FirstSelected(), nullptr);
    Select("E A2 B");
    EXPECT_EQ(Name(Tree().FirstSelected()), "A2");
    EXPECT_EQ(Name(Tree().NextSelected(Item("A2"))), "B");
    EXPECT_EQ(Name(Tree().NextSelected(Item("B"))), "E");
    EXPECT_EQ(Tree().NextSelected(Item("E")), nullptr);
    std::vector<HTREEITEM> list{Item("C")};
    Tree().CollectSelected(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Name(list[0]) + Name(list[1]) + Name(list[2]), "A2BE");
}

TEST_F(SelectionModel, ExpandAncestorsOpensEveryCollapsedAncestor)
{
    BuildDefault();
    Expand("A", TVE_COLLAPSE);
    EXPECT_TRUE(Tree().ExpandAncestors(Item("A2a")));
    EXPECT_TRUE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED));
    EXPECT_TRUE(Tree().GetNativeState(Item("A2"), TVIS_EXPANDED));
    EXPECT_FALSE(Tree().ExpandAncestors(Item("A2a"))) << "nothing left to expand";
    EXPECT_FALSE(Tree().ExpandAncestors(Item("C")));
}

TEST_F(SelectionModel, DeleteItemDeselectsDescendantsWithNotificationsFirst)
{
    BuildDefault();
    Expand("A2");
    Select("A1 A2a C");
    ClearLog();
    Tree().DeleteItem(Item("A"));
    EXPECT_EQ(Selected(), "C");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-A2a -A2a");
}

TEST_F(SelectionModel, SendNotifyMarksItsOwnNotificationsAndNests)
{
    BuildDefault();
    std::vector<bool> seen;
    Parent().onNotice = [&](const Notice& n) {
        seen.push_back(n.own);
        if (n.code == static_cast<UINT>(NM_CLICK)) {
            NMHDR inner{Tree().GetSafeHwnd(), kTreeId, static_cast<UINT>(NM_RCLICK)};
            Tree().SendNotify(&inner);
            seen.push_back(Tree().IsSendingNotify());
        }
    };
    NMHDR outer{Tree().GetSafeHwnd(), kTreeId, static_cast<UINT>(NM_CLICK)};
    EXPECT_FALSE(Tree().IsSendingNotify());
    Tree().SendNotify(&outer);
    EXPECT_FALSE(Tree().IsSendingNotify());
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true})) << "the inner send restores the outer value";
}

} // namespace
