// The selection model: state changes, their notifications, and the walks over visible items.
#include "support/TreeHarness.h"

namespace {

class SelectionModel : public TreeTest {};

const TreeRow kModelRows[] = {
    // A change of the selected bit is announced before and after; an unchanged state sends nothing.
    {"", "-", "set:B:+s set:B:-s", "", "-", "?+B +B ?-B -B"},
    {"C", "-", "set:C:+s! set:D:-s!", "C", "-", ""},
    // The caret moves without joining the selection; the old caret keeps its place in it.
    {"", "-", "set:C:+f", "", "C", ""},
    {"B", "B", "set:C:+f", "B", "C", ""},
    {"B", "B", "set:C:+f+s!", "B C", "C", "?+C +C"},
    {"", "-", "set:C:+f+s", "C", "C", "?+C +C"},
    {"C", "B", "set:C:+f+s!", "C", "C", ""},
    {"C", "B", "set:C:+f-s!", "", "C", "?-C -C"},
    // Taking the caret away keeps the selection; selecting with it is done only when announced.
    {"C", "C", "set:C:-f!", "C", "-", ""},
    {"C", "C", "set:C:-f-s!", "", "-", "?-C -C"},
    {"", "C", "set:C:-f+s!", "C", "-", "?+C +C"},
    {"", "C", "set:C:-f+s", "", "-", ""},
    {"", "B", "set:C:-f!", "", "B", ""},
    {"", "C", "caret:-", "", "-", ""},
    {"", "-", "set:C:+b", "", "-", ""},
    // The walks cover the visible items only: A2a and B1 are in collapsed branches.
    {"A A1 A2 A3 B D", "-", "all", "A A1 A2 A3 B C D E", "-", "?+C +C ?+E +E"},
    {"A1 C E", "-", "none-but:C", "C", "-", "?-A1 -A1 ?-E -E"},
    {"A A2 A3 B C D", "-", "all-but:A1", "A A2 A3 B C D E", "-", "?+E +E"},
    {"A C", "-", "none", "", "-", "?-A -A ?-C -C"},
    // A span runs from the end met first; exclusive, it clears everything outside; an end that is
    // not visible, or none, extends it to the last item.
    {"", "-", "span:A1:B", "A1 A2 A3 B", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B"},
    {"", "-", "span:B:A1", "A1 A2 A3 B", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B"},
    {"A D", "-", "span:A1:A3", "A1 A2 A3", "-", "?-A -A ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?-D -D"},
    {"A D", "-", "addspan:A1:A3", "A A1 A2 A3 D", "-", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3"},
    {"E", "-", "span:C:C", "C", "-", "?+C +C ?-E -E"},
    {"A", "-", "span:B1:C", "C D E", "-", "?-A -A ?+C +C ?+D +D ?+E +E"},
    {"A", "-", "addspan:-:D", "A D E", "-", "?+D +D ?+E +E"},
    // Descendants: recursively into expanded children, or the children alone.
    {"", "-", "expand:A2 select-below:A", "A1 A2 A2a A3", "-", "?+A1 +A1 ?+A2 +A2 ?+A2a +A2a ?+A3 +A3"},
    {"A1 A3", "-", "expand:A2 set:A2a:+s deselect-children:A", "A2a", "-", "?+A2a +A2a ?-A1 -A1 ?-A3 -A3"},
};

TEST_F(SelectionModel, Table) { Run(kModelRows); }

TEST_F(SelectionModel, VetoKeepsTheStateAndReturnsFalse)
{
    BuildDefault();
    EXPECT_TRUE(Tree().SetItemState(Item("B"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    Parent().answerSelChanging = [](const Notice&) { return 1; };
    EXPECT_FALSE(Tree().SetItemState(Item("C"), TVIS_SELECTED, TVIS_SELECTED, FALSE));
    // A veto after the caret has moved leaves the item as unselected as it was.
    EXPECT_FALSE(Tree().SetItemState(Item("D"), TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED, TRUE));
    EXPECT_EQ(Caret(), "D");
    EXPECT_EQ(Selected(), "B");
    EXPECT_EQ(OwnLog(), "?+B +B ?+C ?+D");
}

TEST_F(SelectionModel, GetItemStateReportsTheCaretAsFocused)
{
    BuildDefault();
    Do("caret:B set:B:+s set:C:+s+b");
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_FOCUSED | TVIS_SELECTED), static_cast<UINT>(TVIS_FOCUSED | TVIS_SELECTED));
    EXPECT_EQ(Tree().GetItemState(Item("C"), TVIS_FOCUSED | TVIS_SELECTED | TVIS_BOLD),
              static_cast<UINT>(TVIS_SELECTED | TVIS_BOLD));
    EXPECT_EQ(Tree().GetItemState(Item("B"), TVIS_SELECTED), static_cast<UINT>(TVIS_SELECTED));
    EXPECT_TRUE(Tree().SetCaretItem(nullptr));
    EXPECT_FALSE(Tree().SetCaretItem(nullptr)) << "no caret to take away";
}

TEST_F(SelectionModel, ExpandAncestorsOpensEveryCollapsedAncestor)
{
    BuildDefault();
    Expand("A", TVE_COLLAPSE);
    EXPECT_TRUE(Tree().ExpandAncestors(Item("A2a")));
    EXPECT_TRUE(Tree().GetNativeState(Item("A"), TVIS_EXPANDED) && Tree().GetNativeState(Item("A2"), TVIS_EXPANDED));
    EXPECT_FALSE(Tree().ExpandAncestors(Item("A2a"))) << "nothing left to expand";
    EXPECT_FALSE(Tree().ExpandAncestors(Item("C")));
}

TEST_F(SelectionModel, SendNotifyMarksItsOwnNotificationsAndNests)
{
    BuildDefault();
    std::vector<bool> seen;
    Parent().onNotice = [&](const Notice& n) {
        seen.push_back(n.own);
        if (n.code == static_cast<UINT>(NM_CLICK)) {
            NMHDR inner{Hwnd(), kTreeId, static_cast<UINT>(NM_RCLICK)};
            Tree().SendNotify(&inner);
            seen.push_back(Tree().IsSendingNotify());
        }
    };
    NMHDR outer{Hwnd(), kTreeId, static_cast<UINT>(NM_CLICK)};
    EXPECT_FALSE(Tree().IsSendingNotify());
    Tree().SendNotify(&outer);
    EXPECT_FALSE(Tree().IsSendingNotify());
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true})) << "the inner send restores the outer value";
}

} // namespace
