// Arrow keys with Ctrl and Shift, Space, typed letters, focus, collapse and deletion.
#include <algorithm>

#include "support/TreeHarness.h"
#include "support/TreeInput.h"

namespace {

class Keyboard : public TreeTest {};

const TreeRow kKeyRows[] = {
    // A plain arrow deselects every other item, each with its own pair, then names its target.
    {"A1", "A1", "down", "A2", "A2", "?-A1 -A1 ?+A2 ?+A2 +A2"},
    {"A1 C D", "A1", "down", "A2", "A2", "?-A1 -A1 ?-C -C ?-D -D ?+A2 ?+A2 +A2"},
    {"A2", "A2", "up", "A1", "A1", "?-A2 -A2 ?+A1 ?+A1 +A1"},
    {"A1", "A1", "up", "A", "A", "?-A1 -A1 ?+A ?+A +A"},
    {"A3", "A3", "left", "A", "A", "?-A3 -A3 ?+A ?+A +A"},
    {"A", "A", "right", "A1", "A1", "?-A -A ?+A1 ?+A1 +A1"},
    // Left and right on the caret's own branch collapse and expand it natively.
    {"A", "A", "left down", "B", "B", "?-A -A ?+B ?+B +B"},
    {"A", "A", "left right down", "A1", "A1", "?-A -A ?+A1 ?+A1 +A1"},
    // No target: the others go, the caret stays; with Shift nothing changes.
    {"A C D", "A", "up", "A", "A", "?-C -C ?-D -D"},
    {"C E", "E", "shift+down", "C E", "E", ""},
    // Ctrl moves the caret alone; the old caret keeps its state.
    {"A1 C", "A1", "ctrl+down", "A1 C", "A2", "?+A2 ?-A1 -A1 ?+A1 +A1"},
    {"", "A2", "ctrl+up", "", "A1", "?+A1"},
    // Shift selects from the anchor (the caret when there is none) to the target, and nothing else.
    {"A1 D", "A1", "shift+down", "A1 A2", "A2", "?+A2 ?-A1 -A1 ?+A1 +A1 ?+A2 +A2 ?-D -D"},
    {"A1", "A1", "shift+down shift+down", "A1 A2 A3", "A3",
     "?+A2 ?-A1 -A1 ?+A1 +A1 ?+A2 +A2 ?+A3 ?-A2 -A2 ?+A2 +A2 ?+A3 +A3"},
    {"A1", "A1", "shift+down shift+down shift+up", "A1 A2", "A2",
     "?+A2 ?-A1 -A1 ?+A1 +A1 ?+A2 +A2 ?+A3 ?-A2 -A2 ?+A2 +A2 ?+A3 +A3 ?+A2 ?-A3 -A3"},
    {"A1", "A1", "shift+down shift+up shift+up", "A A1", "A",
     "?+A2 ?-A1 -A1 ?+A1 +A1 ?+A2 +A2 ?+A1 ?-A2 -A2 ?+A ?-A1 -A1 ?+A +A ?+A1 +A1"},
    {"A1", "A1", "shift+down down shift+down", "A3 B", "B", // a plain arrow drops the anchor
     "?+A2 ?-A1 -A1 ?+A1 +A1 ?+A2 +A2 ?-A1 -A1 ?-A2 -A2 ?+A3 ?+A3 +A3 ?+B ?-A3 -A3 ?+A3 +A3 ?+B +B"},
    // Space toggles the caret; other keys and typed letters move the caret at most, never the selection.
    {"B", "B", "space space", "B", "B", "?-B -B ?+B +B"},
    {"C", "C", "home end", "C", "E", ""},
    {"A", "A", "type:Ec", "A", "A", ""},
    // Focus without a caret puts it on the first visible item, unselected.
    {"", "-", "focus blur", "", "A", ""},
    // A collapse deselects the branch; a caret inside goes, or to the collapsing item if selected.
    {"A1 C", "-", "expand:A2 caret:A2a set:A2a:+s collapse:A", "C", "-", "?+A2a +A2a ?-A1 -A1 ?-A2a -A2a"},
    {"A1", "C", "collapse:A", "", "C", "?-A1 -A1"},
    {"A A1", "A1", "collapse:A", "A", "A", "?-A1 -A1"},
    // A deleted branch is deselected first; a deleted caret goes to the next selected item, else
    // the first selected, else the next visible, else the first.
    {"A1 C", "-", "expand:A2 set:A2a:+s delete:A", "C", "-", "?+A2a +A2a ?-A1 -A1 ?-A2a -A2a"},
    {"B D", "B", "delete:B", "D", "D", "?-B -B"},
    {"A1 D", "D", "delete:D", "A1", "A1", "?-D -D"},
    {"", "C", "delete:C", "", "D", ""},
    {"", "E", "delete:E", "", "A", ""},
    {"", "A3", "delete:A", "", "B", ""},
    // Deletion by the native message is reported too.
    {"C D", "-", "native-delete:C native-delete:*", "", "-", "?-C -C ?-D -D"},
};

TEST_F(Keyboard, Table) { Run(kKeyRows); }

TEST_F(Keyboard, VetoOfTheKeyKeepsTheCaretButOthersAreAlreadyGone)
{
    BuildDefault();
    Select("A1 C");
    Tree().SetCaretItem(Item("A1"));
    Parent().answerSelChanging = [this](const Notice& n) { return n.itemNew == Item("A2") ? 1 : 0; };
    Key(VK_DOWN);
    EXPECT_EQ(Caret(), "A1");
    EXPECT_EQ(Selected(), "") << "the old caret went with the others before the veto";
}

TEST_F(Keyboard, FocusChangesRepaintTheSelectedLabels)
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

TEST_F(Keyboard, DoubleClickReachesTheParentFromTheNativeControl)
{
    BuildDefault();
    const POINT point = PointOn("B");
    treeinput::StartGesture(Hwnd(), point);
    treeinput::PostButtonUp(Hwnd());
    SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(std::any_of(Notices().begin(), Notices().end(),
                            [](const Notice& n) { return n.code == static_cast<UINT>(NM_DBLCLK); }));
}

} // namespace
