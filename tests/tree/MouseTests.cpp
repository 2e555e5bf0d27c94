// Clicks with Ctrl and Shift, drags, the rubber band, and what may happen while the mouse loops
// run: messages that end them early, items deleted under them, a parent that deletes items.
#include "support/TreeHarness.h"
#include "support/TreeInput.h"

namespace {

class Mouse : public TreeTest {};

const TreeRow kMouseRows[] = {
    // A plain click replaces the selection; the press keeps it while it is on a selected item.
    {"A1 C", "-", "click:B", "B", "B", "?-A1 -A1 ?-C -C ?+B +B click:B"},
    {"A1 B C", "C", "rclick:B", "A1 B C", "B", "rclick:B"},
    {"A1 B", "B", "rclick:D", "D", "D", "?-A1 -A1 ?-B -B ?+D +D rclick:D"},
    // Ctrl toggles; Shift selects the range from the anchor, else the caret, else the item alone.
    {"A1 C", "C", "ctrl+click:B", "A1 B C", "B", "?+B +B click:B"},
    {"A1 B C", "C", "ctrl+click:B", "A1 C", "B", "?-B -B click:B"},
    {"", "A2", "shift+click:C", "A2 A3 B C", "C", "?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C click:C"},
    {"E", "A2", "shift+click:B", "A2 A3 B", "B", "?+A2 +A2 ?+A3 +A3 ?+B +B ?-E -E click:B"},
    {"E", "A2", "ctrl+shift+click:B", "A2 A3 B E", "B", "?+A2 +A2 ?+A3 +A3 ?+B +B click:B"},
    {"", "C", "shift+click:A3", "A3 B C", "A3", "?+A3 +A3 ?+B +B ?+C +C click:A3"},
    {"", "-", "shift+click:B", "B", "B", "?+B +B click:B"},
    {"A1", "A1", "shift+rclick:C", "A1", "A1", "rclick:C"},
    // A Shift click keeps its anchor; a Ctrl right click sets it, a Ctrl left click clears it.
    {"", "-", "click:A1 shift+click:B shift+click:C", "A1 A2 A3 B C", "C",
     "?+A1 +A1 click:A1 ?+A2 +A2 ?+A3 +A3 ?+B +B click:B ?+C +C click:C"},
    {"", "E", "ctrl+rclick:A1 shift+click:A3", "A1 A2 A3", "A3", "rclick:A1 ?+A1 +A1 ?+A2 +A2 ?+A3 +A3 click:A3"},
    {"", "-", "ctrl+rclick:E ctrl+click:D shift+click:B", "B C D", "B", "rclick:E ?+D +D click:D ?+B +B ?+C +C click:B"},
    // Drags keep a selection they start in, select an item they start on, and honour the style.
    {"A1 B C", "-", "drag:B", "A1 B C", "B", "drag:B"},
    {"", "-", "click:C>~", "C", "C", "?+C +C click:C"},
    {"A1", "-", "nodrag ctrl+drag:D", "A1 D", "D", "?+D +D"},
    {"", "-", "shift+rdrag:C", "C", "C", "?+C +C rdrag:C"},
    // The expand button is the native control's.
    {"C", "-", "click:+B caret:B ctrl+down", "C", "B1", "?+B1"},
    // Empty space: a click clears the selection, unless Ctrl is held; the focus puts the caret on A.
    {"A1 C", "-", "click:-", "", "A", "?-A1 -A1 ?-C -C click"},
    {"D", "-", "ctrl+rclick:-", "D", "A", "rclick"},
    // The band selects exactly the rows it touches as it follows the mouse; Ctrl toggles the rows
    // selected before, Shift adds them, Escape deselects everything.
    {"E", "-", "band:C>A2", "A2 A3 B C", "A", "?-E -E ?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C click"},
    {"", "-", "band:D>A1>B", "B C D", "A", "?+A1 +A1 ?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C ?+D +D ?-A1 -A1 ?-A2 -A2 ?-A3 -A3 click"},
    {"A3 E", "-", "ctrl+band:C>A2", "A2 B C E", "A", "?+A2 +A2 ?-A3 -A3 ?+B +B ?+C +C click"},
    {"A3 E", "-", "shift+band:C>A2", "A2 A3 B C E", "A", "?+A2 +A2 ?+B +B ?+C +C click"},
    {"E", "-", "shift+band:C>A2>esc>A1", "", "A",
     "?+A2 +A2 ?+A3 +A3 ?+B +B ?+C +C ?-A2 -A2 ?-A3 -A3 ?-B -B ?-C -C ?-E -E click"},
};

TEST_F(Mouse, Table) { Run(kMouseRows); }

TEST_F(Mouse, PressOnASelectedItemKeepsTheSelectionUntilTheButtonComesUp)
{
    BuildDefault();
    Select("A1 B C");
    std::string during;
    Do("click:B>!", [&] { during = Selected(); });
    EXPECT_EQ(during, "A1 B C") << "while the button is down";
    EXPECT_EQ(Selected(), "B");
}

TEST_F(Mouse, BandScrollsWhileThePointerIsBelowTheWindow)
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

TEST_F(Mouse, LostCaptureEndsAClickWithNothingDoneAndABandAsAClickOnEmptySpace)
{
    BuildDefault();
    Select("A1 B");
    ClearLog();
    Do("click:B>!", [] { ReleaseCapture(); });
    EXPECT_EQ(Selected(), "A1 B") << "no click happened";
    EXPECT_EQ(OwnLog(), "");
    Do("band:->!>A", [] { ReleaseCapture(); });
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-B -B click");
}

TEST_F(Mouse, QuitDuringALoopEndsItAndReachesTheApplication)
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

TEST_F(Mouse, WindowDestroyedDuringALoopEndsIt)
{
    for (const char* gesture : {"click:C>!", "band:C>!>A1"}) {
        BuildDefault();
        Select("A1 C");
        ClearLog();
        // The button comes up over the parent: the loops must not wait for the destroyed tree's.
        const HWND tree = Hwnd(), parent = Parent().Hwnd();
        Do(gesture, [tree, parent] {
            DestroyWindow(tree);
            PostMessageW(parent, WM_LBUTTONUP, 0, 0);
        });
        EXPECT_FALSE(IsWindow(tree));
        EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-C -C") << "the items go, the click or band never ends";
    }
}

TEST_F(Mouse, ItemDeletedDuringAClickOrADragIsNeverTouched)
{
    BuildDefault();
    Select("A1 C");
    ClearLog();
    Do("click:C>!", [this] { Tree().DeleteItem(Item("C")); });
    EXPECT_EQ(Selected(), "A1") << "the others stay: the click never happened";
    EXPECT_EQ(OwnLog(), "?-C -C");
    ClearLog();
    Do("ctrl+drag:D>!", [this] { Tree().DeleteItem(Item("D")); });
    EXPECT_EQ(OwnLog(), "") << "neither selected nor dragged";
}

TEST_F(Mouse, RememberedItemDeletedDuringABandIsDropped)
{
    BuildDefault();
    Select("A1 E");
    ClearLog();
    Do("ctrl+band:C>B>!>A2", [this] { Tree().DeleteItem(Item("E")); });
    EXPECT_EQ(Selected(), "A1 A2 A3 B C");
    EXPECT_EQ(OwnLog(), "?+B +B ?+C +C ?-E -E ?+A2 +A2 ?+A3 +A3 click") << "E is deselected once, on its way out";
}

// A parent may delete items while it hears of a selection change; nothing may touch them after.
class DeletingParent : public Mouse {
protected:
    void DeleteOnDeselectionOf(const std::string& trigger, const std::string& victim)
    {
        m_victim = Item(victim);
        m_deleted = false;
        Parent().onNotice = [this, trigger](const Notice& n) {
            if (n.own && n.code == TVN_SELCHANGEDW && n.itemOld == Item(trigger) && !m_deleted) {
                m_deleted = true;
                Tree().DeleteItem(m_victim); // its own deselection is announced on the way out
                m_noticesAtDeletion = Notices().size();
            }
        };
    }

    void ExpectVictimUntouchedAfterDeletion()
    {
        ASSERT_TRUE(m_deleted) << "the parent never deleted";
        for (size_t i = m_noticesAtDeletion; i < Notices().size(); ++i) {
            const Notice& n = Notices()[i];
            const bool selection = n.code == TVN_SELCHANGINGW || n.code == TVN_SELCHANGEDW;
            EXPECT_FALSE(selection && (n.itemNew == m_victim || n.itemOld == m_victim)) << "notice " << i;
        }
    }

    HTREEITEM m_victim = nullptr;
    bool m_deleted = false;
    size_t m_noticesAtDeletion = 0;
};

TEST_F(DeletingParent, KeyWhoseTargetIsDeletedMeanwhileEnds)
{
    BuildDefault();
    Select("A1 C");
    Tree().SetCaretItem(Item("A1"));
    DeleteOnDeselectionOf("C", "A2");
    Key(VK_DOWN);
    ExpectVictimUntouchedAfterDeletion();
}

TEST_F(DeletingParent, ClickWhoseItemIsDeletedMeanwhileEnds)
{
    BuildDefault();
    Select("C");
    DeleteOnDeselectionOf("C", "B");
    Click("B");
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(OwnLog().find("click"), std::string::npos);
}

TEST_F(DeletingParent, WalksStartOverWhenItemsAreDeletedUnderThem)
{
    BuildDefault();
    Select("A1 A2 C");
    DeleteOnDeselectionOf("A1", "A2");
    Do("none");
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "");

    BuildDefault();
    Select("A1 A3 E");
    DeleteOnDeselectionOf("A1", "A3");
    Do("span:B:D");
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "B C D");
}

TEST_F(DeletingParent, BandGoesOnWhenItemsAreDeletedUnderIt)
{
    BuildDefault();
    Select("A1 E");
    DeleteOnDeselectionOf("A1", "A2");
    Do("band:D>B");
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "C D E") << "the rows moved up one under the band";
}

} // namespace
