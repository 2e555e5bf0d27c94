// The tree as a screen reader in this process sees it, through oleacc only: its children, their
// names, values and states, the selection and the focus, where the rows are, the default action,
// the WinEvents of gestures, and the errors of bad calls and of an object kept after its window.
// (accSelect's flags are rows of SelectionTable; the harness matches every step's WinEvents
// against the tree's notifications.)
#include <map>

#include "Gestures.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"

namespace {

using platform::ComPtr;
using platform::ScopedBstr;
using platform::ScopedVariant;

class Accessibility : public GestureTest {
protected:
    ScopedVariant Child(const char* name) { return ScopedVariant(Tree().ChildIdOf(Item(name))); }
    std::string NameOf(const ScopedVariant& child)
    {
        return child.Type() == VT_I4 ? Name(Tree().ChildItem(*child.ToLong())) : "vt" + std::to_string(child.Type());
    }
    // The children in order as AccessibleChildren lists them: "name:value[:state...]" each.
    std::string Children(IAccessible& tree)
    {
        static const std::map<long, std::string> kStates{{STATE_SYSTEM_SELECTED, "selected"}, {STATE_SYSTEM_FOCUSED, "focused"},
            {STATE_SYSTEM_EXPANDED, "expanded"}, {STATE_SYSTEM_COLLAPSED, "collapsed"}};
        std::string list;
        ScopedVariant child, role, state;
        for (long got = 1, i = 0; SUCCEEDED(AccessibleChildren(&tree, i, 1, child.Receive(), &got)) && got == 1; ++i) {
            ScopedBstr name, value;
            EXPECT_EQ(tree.get_accName(child.Value(), name.Receive()), S_OK);
            tree.get_accValue(child.Value(), value.Receive());
            tree.get_accRole(child.Value(), role.Receive());
            tree.get_accState(child.Value(), state.Receive());
            EXPECT_EQ(role.ToLong(), ROLE_SYSTEM_OUTLINEITEM);
            const std::wstring depth = value.Text();
            list += (list.empty() ? "" : " ") + NameOf(child) + ":" + std::string(depth.begin(), depth.end());
            for (const auto& [bit, word] : kStates)
                list += (*state.ToLong() & bit) ? ":" + word : "";
            EXPECT_EQ(*state.ToLong() & (STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE), STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE);
        }
        return list;
    }
    const ScopedVariant self{CHILDID_SELF};
};

TEST_F(Accessibility, TheVisibleItemsAreTheChildrenWithTheirLabelsDepthsAndStates)
{
    BuildDefault();
    Select("A1 C");
    Tree().SetCaretItem(Item("C"));
    SetFocus(Hwnd());
    const ComPtr<IAccessible> tree = Accessible();
    EXPECT_EQ(Accessible().Get(), tree.Get()) << "one object, answered again";
    ScopedVariant role, state;
    long count = 0;
    EXPECT_EQ(tree->get_accRole(self.Value(), role.Receive()), S_OK);
    EXPECT_EQ(tree->get_accState(self.Value(), state.Receive()), S_OK);
    EXPECT_EQ(tree->get_accChildCount(&count), S_OK);
    EXPECT_EQ(role.ToLong(), ROLE_SYSTEM_OUTLINE);
    EXPECT_EQ(*state.ToLong() & (STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE | STATE_SYSTEM_FOCUSED),
              STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(Children(*tree.Get()), "A:0:expanded A1:1:selected A2:1:collapsed A3:1 B:0:collapsed C:0:selected:focused D:0 E:0");
    // By name, as a script reads it; the ids stay with their items when rows come and go.
    const ScopedVariant b = Child("B");
    Expand("A", TVE_COLLAPSE);
    EXPECT_EQ(platform::DispatchDriver(tree.Get()).Get(L"accName", {b}).value.Text(), L"B");
    EXPECT_EQ(Children(*tree.Get()), "A:0:collapsed B:0:collapsed C:0:selected:focused D:0 E:0");
}

TEST_F(Accessibility, SelectionAndFocusAreAnsweredAsTheyAre)
{
    const struct {
        const char* selected;
        bool focused;
        const char *selection, *focus;
    } kRows[] = {{"", false, "vt0", "vt0"}, {"C", true, "C", "A"}, {"A1 C E", true, "A1 C E", "A"}};
    for (const auto& row : kRows) {
        BuildDefault();
        Select(row.selected);
        Tree().SetCaretItem(Item("A"));
        SetFocus(row.focused ? Hwnd() : Parent().Hwnd());
        ScopedVariant selection, focus;
        Accessible()->get_accSelection(selection.Receive());
        Accessible()->get_accFocus(focus.Receive());
        std::string names = NameOf(selection);
        if (selection.Type() == VT_UNKNOWN) {
            const ComPtr<IEnumVARIANT> ids = ComPtr<IUnknown>(V_UNKNOWN(&selection.Value())).Query<IEnumVARIANT>();
            for (names.clear(); ids->Next(1, selection.Receive(), nullptr) == S_OK;)
                names += (names.empty() ? "" : " ") + NameOf(selection);
        }
        EXPECT_EQ(names, row.selection);
        EXPECT_EQ(NameOf(focus), row.focus);
    }
}

TEST_F(Accessibility, NavigationWalksTheRowsWhoseLocationsHitTestToThem)
{
    BuildDefault();
    const ComPtr<IAccessible> tree = Accessible();
    std::string rows;
    ScopedVariant row, hit;
    for (HRESULT hr = tree->accNavigate(NAVDIR_FIRSTCHILD, self.Value(), row.Receive()); hr == S_OK;) {
        rows += (rows.empty() ? "" : " ") + NameOf(row);
        long x = 0, y = 0, cx = 0, cy = 0;
        EXPECT_EQ(tree->accLocation(&x, &y, &cx, &cy, row.Value()), S_OK);
        EXPECT_EQ(tree->accHitTest(x + cx / 2, y + cy / 2, hit.Receive()), S_OK);
        EXPECT_EQ(NameOf(hit), NameOf(row));
        const ScopedVariant from = row;
        hr = tree->accNavigate(NAVDIR_NEXT, from.Value(), row.Receive());
    }
    EXPECT_EQ(rows, "A A1 A2 A3 B C D E");
    EXPECT_EQ(tree->accNavigate(NAVDIR_LASTCHILD, self.Value(), row.Receive()), S_OK);
    EXPECT_EQ(NameOf(row), "E");
    EXPECT_EQ(tree->accNavigate(NAVDIR_UP, Child("A").Value(), row.Receive()), S_FALSE);
    EXPECT_EQ(tree->accNavigate(NAVDIR_FIRSTCHILD, Child("A").Value(), row.Receive()), E_INVALIDARG);
    EXPECT_EQ(tree->accNavigate(NAVDIR_LASTCHILD + 1, self.Value(), row.Receive()), E_INVALIDARG);
    // Empty space below the rows is the tree; outside the window there is nothing.
    POINT below = PointAt("-", false);
    ClientToScreen(Hwnd(), &below);
    EXPECT_EQ(tree->accHitTest(below.x, below.y, hit.Receive()), S_OK);
    EXPECT_EQ(hit.ToLong(), CHILDID_SELF);
    EXPECT_EQ(tree->accHitTest(-5000, -5000, hit.Receive()), S_FALSE);
}

TEST_F(Accessibility, GesturesRaiseFocusStateAndSelectionEvents)
{
    const struct {
        int rows; // 0: the default tree
        const char *gesture, *events;
    } kRows[] = {
        {0, "focus click:B", "focus:A focus:B +B"},
        {0, "focus down", "focus:A focus:A1 +A1"},
        {0, "focus left", "focus:A state:A"},
        {0, "collapse:A expand:A", "state:A state:A"},
        {0, "acc:fs:B", "+B focus:B"},
        {0, "all", "+A +A1 +A2 +A3 +B +C +D +E"},
        // More changes than the limit in one gesture: one event for them all, after the others.
        {CMultiTree::kSelectionEventLimit + 2, "ctrl+a", "within"},
        {CMultiTree::kSelectionEventLimit + 2, "ctrl+a click:R3", "within focus:R3 within"},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.gesture);
        row.rows ? BuildRows(row.rows) : BuildDefault();
        Do(row.gesture);
        EXPECT_EQ(EventLog(), row.events);
    }
    // The default action toggles an item with children; a leaf has none.
    BuildDefault();
    const ComPtr<IAccessible> tree = Accessible();
    ScopedBstr action;
    EXPECT_EQ(tree->get_accDefaultAction(Child("A").Value(), action.Receive()), S_OK);
    EXPECT_EQ(action.Text(), L"Collapse");
    EXPECT_EQ(tree->accDoDefaultAction(Child("A").Value()), S_OK);
    EXPECT_EQ(tree->accDoDefaultAction(Child("C").Value()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Children(*tree.Get()), "A:0:collapsed B:0:collapsed C:0 D:0 E:0");
    EXPECT_EQ(EventLog(), "state:A");
}

TEST_F(Accessibility, BadCallsAndGoneItemsAreRefusedAndChangeNothing)
{
    BuildDefault();
    Select("C");
    const ComPtr<IAccessible> tree = Accessible();
    const ScopedVariant gone = Child("B");
    Tree().DeleteItem(Item("B"));
    ScopedBstr name;
    ScopedVariant out;
    for (const ScopedVariant& bad : {gone, ScopedVariant(999999), ScopedVariant(-4), ScopedVariant(L"1"), Child("A2a")}) {
        EXPECT_EQ(tree->get_accName(bad.Value(), name.Receive()), E_INVALIDARG);
        EXPECT_EQ(tree->get_accState(bad.Value(), out.Receive()), E_INVALIDARG);
        EXPECT_EQ(tree->accSelect(SELFLAG_TAKESELECTION, bad.Value()), E_INVALIDARG);
    }
    EXPECT_EQ(tree->accSelect(0x40, Child("D").Value()), E_INVALIDARG);
    EXPECT_EQ(tree->get_accName(self.Value(), nullptr), E_POINTER);
    EXPECT_EQ(tree->accLocation(nullptr, nullptr, nullptr, nullptr, self.Value()), E_POINTER);
    EXPECT_EQ(tree->get_accSelection(nullptr), E_POINTER);
    EXPECT_EQ(Selected(), "C");
}

TEST_F(Accessibility, AnObjectKeptAfterItsWindowAnswersDisconnectedAndKeepsTheModule)
{
    // The parent destroys the window while it hears of accSelect's change.
    BuildDefault();
    const long objects = platform::ModuleObjectCount();
    const ComPtr<IAccessible> tree = Accessible();
    const ComPtr<IEnumVARIANT> children = tree.Query<IEnumVARIANT>();
    Parent().onNotice = [this](const Notice& n) {
        if (n.own && n.code == TVN_SELCHANGEDW)
            DestroyWindow(Hwnd());
    };
    // Called by name, as a script calls, the failure comes as the exception's code.
    const platform::DispatchResult result =
        platform::DispatchDriver(tree.Get()).CallByRef(L"accSelect", {SELFLAG_TAKESELECTION, Child("C")});
    EXPECT_EQ(result.hr == DISP_E_EXCEPTION ? result.scode : result.hr, RPC_E_DISCONNECTED);
    EXPECT_EQ(platform::ModuleObjectCount(), objects + 1) << "the client's object lives on, and keeps the module";
    long count = 0;
    ScopedVariant out;
    EXPECT_EQ(tree->get_accChildCount(&count), RPC_E_DISCONNECTED);
    EXPECT_EQ(tree->get_accSelection(out.Receive()), RPC_E_DISCONNECTED);
    EXPECT_EQ(tree->accNavigate(NAVDIR_FIRSTCHILD, self.Value(), out.Receive()), RPC_E_DISCONNECTED);
    EXPECT_EQ(tree->accSelect(SELFLAG_TAKEFOCUS, self.Value()), RPC_E_DISCONNECTED);
    EXPECT_EQ(children->Reset(), RPC_E_DISCONNECTED);
}

} // namespace
