// Clicks with Ctrl and Shift, drags, the rubber band, and what may happen while the mouse loops
// run: messages that end them early, and items deleted under them.
#include "support/TreeHarness.h"

namespace {

class Mouse : public TreeTest {
protected:
    std::string SelectedNow; // what a posted action saw in the middle of a loop

    void RecordSelectionDuringLoop()
    {
        PostAction([this] { SelectedNow = Selected(); });
    }

    POINT ScreenPoint(POINT client) const
    {
        ClientToScreen(const_cast<Mouse*>(this)->Tree().GetSafeHwnd(), &client);
        return client;
    }

    POINT ExpandButtonOf(const std::string& name)
    {
        RECT label{};
        Tree().GetItemRect(Item(name), label, true);
        const int y = (label.top + label.bottom) / 2;
        for (int x = 0; x < label.left; ++x) {
            UINT flags = 0;
            if (Tree().HitTest(POINT{x, y}, flags) == Item(name) && (flags & TVHT_ONITEMBUTTON))
                return POINT{x, y};
        }
        ADD_FAILURE() << "no expand button for " << name;
        return POINT{0, y};
    }

    // A band dragged from one point to another, then released.
    void Band(POINT from, POINT to, UINT keys = 0)
    {
        StartGesture(from);
        PostMove(to);
        PostButtonUp();
        Press(from, true, keys);
    }
};

TEST_F(Mouse, PlainClickReplacesTheSelection)
{
    BuildDefault();
    Select("A1 C");
    ClearLog();
    Click("B");
    EXPECT_EQ(Selected(), "B");
    EXPECT_EQ(Caret(), "B");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-C -C ?+B +B click:B");
    const auto clicks = OwnNotices(static_cast<UINT>(NM_CLICK));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].newData, 6);
}

TEST_F(Mouse, PressOnASelectedItemKeepsTheSelectionUntilTheButtonComesUp)
{
    BuildDefault();
    Select("A1 B C");
    POINT point = PointOn("B");
    StartGesture(point);
    RecordSelectionDuringLoop();
    PostButtonUp();
    Press(point, true, 0);
    EXPECT_EQ(SelectedNow, "A1 B C") << "while the button is down";
    EXPECT_EQ(Selected(), "B") << "after the click";
}

TEST_F(Mouse, DragFromOneOfSeveralSelectedItemsKeepsThemAll)
{
    BuildDefault();
    Select("A1 B C");
    ClearLog();
    POINT point = PointOn("B");
    StartGesture(point);
    PostMove(POINT{point.x + 30, point.y + 30});
    Press(point, true, 0);
    EXPECT_EQ(Selected(), "A1 B C");
    EXPECT_EQ(Caret(), "B");
    const auto drags = OwnNotices(TVN_BEGINDRAGW);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(Name(drags[0].itemNew), "B");
    EXPECT_EQ(drags[0].ptDrag.x, point.x);
    EXPECT_EQ(drags[0].ptDrag.y, point.y);
}

TEST_F(Mouse, MovesWithinTheDragDistanceAreStillAClick)
{
    BuildDefault();
    POINT point = PointOn("C");
    StartGesture(point);
    PostMove(POINT{point.x + GetSystemMetrics(SM_CXDRAG), point.y - GetSystemMetrics(SM_CYDRAG)});
    PostButtonUp();
    Press(point, true, 0);
    EXPECT_EQ(OwnNotices(TVN_BEGINDRAGW).size(), 0u);
    EXPECT_EQ(Selected(), "C");
}

TEST_F(Mouse, DragSelectsAnUnselectedItemAndHonoursDisabledDragDrop)
{
    BuildDefault(kStyle | TVS_DISABLEDRAGDROP);
    Select("A1");
    POINT point = PointOn("D");
    StartGesture(point);
    PostMove(POINT{point.x, point.y + 40});
    Press(point, true, MK_CONTROL);
    EXPECT_EQ(Selected(), "A1 D");
    EXPECT_EQ(OwnNotices(TVN_BEGINDRAGW).size(), 0u);
}

TEST_F(Mouse, RightDragAfterShiftPressSelectsWithNotification)
{
    // A Shift right press selects nothing; the drag then selects the item, and says so.
    BuildDefault();
    POINT point = PointOn("C");
    StartGesture(point);
    PostMove(POINT{point.x + 40, point.y});
    Press(point, false, MK_SHIFT);
    EXPECT_EQ(Selected(), "C");
    EXPECT_EQ(OwnNotices(TVN_BEGINRDRAGW).size(), 1u);
}

struct ClickCase {
    const char* name;
    const char* before;
    const char* caret;
    const char* anchor; // set by a Ctrl right click first, or ""
    const char* item;
    UINT keys;
    bool left;
    const char* selectedAfter;
    const char* caretAfter;
};

const ClickCase kClickCases[] = {
    {"ctrl click adds", "A1 C", "C", "", "B", MK_CONTROL, true, "A1 B C", "B"},
    {"ctrl click removes", "A1 B C", "C", "", "B", MK_CONTROL, true, "A1 C", "B"},
    {"shift click from the caret", "", "A2", "", "C", MK_SHIFT, true, "A2 A3 B C", "C"},
    {"shift click clears outside the range", "E", "A2", "", "B", MK_SHIFT, true, "A2 A3 B", "B"},
    {"ctrl shift click adds the range", "E", "A2", "", "B", MK_SHIFT | MK_CONTROL, true, "A2 A3 B E", "B"},
    {"shift click upward", "", "C", "", "A3", MK_SHIFT, true, "A3 B C", "A3"},
    {"shift click from the anchor", "", "E", "A1", "A3", MK_SHIFT, true, "A1 A2 A3", "A3"},
    {"right click on a selected item keeps the selection", "A1 B C", "C", "", "B", 0, false, "A1 B C", "B"},
    {"right click elsewhere replaces it", "A1 B", "B", "", "D", 0, false, "D", "D"},
    {"shift right click does not extend", "A1", "A1", "", "C", MK_SHIFT, false, "A1", "A1"},
};

TEST_F(Mouse, ClicksWithKeys)
{
    for (const ClickCase& c : kClickCases) {
        SCOPED_TRACE(c.name);
        BuildDefault();
        Select(c.before);
        Tree().SetCaretItem(Item(c.caret));
        if (*c.anchor)
            Click(c.anchor, MK_CONTROL, false);
        Click(c.item, c.keys, c.left);
        EXPECT_EQ(Selected(), c.selectedAfter);
        EXPECT_EQ(Caret(), c.caretAfter);
        const UINT code = static_cast<UINT>(c.left ? NM_CLICK : NM_RCLICK);
        const auto clicks = OwnNotices(code);
        ASSERT_FALSE(clicks.empty());
        EXPECT_EQ(Name(clicks.back().itemNew), c.item);
    }
}

TEST_F(Mouse, AnchorRules)
{
    BuildDefault();
    Click("A1");
    EXPECT_EQ(Tree().GetAnchor(), nullptr);
    Click("B", MK_SHIFT);
    EXPECT_EQ(Name(Tree().GetAnchor()), "A1") << "a Shift click takes the caret as anchor and keeps it";
    Click("C", MK_SHIFT);
    EXPECT_EQ(Selected(), "A1 A2 A3 B C");
    Click("E", MK_CONTROL, false);
    EXPECT_EQ(Name(Tree().GetAnchor()), "E") << "a Ctrl right click sets it";
    Click("D", MK_CONTROL);
    EXPECT_EQ(Tree().GetAnchor(), nullptr) << "a Ctrl left click clears it";
}

TEST_F(Mouse, ShiftClickWithoutCaretOrAnchorSelectsTheItemAlone)
{
    BuildDefault();
    Click("B", MK_SHIFT);
    EXPECT_EQ(Selected(), "B");
}

TEST_F(Mouse, ExpandButtonIsLeftToTheNativeControl)
{
    BuildDefault();
    Select("C");
    POINT button = ExpandButtonOf("B");
    StartGesture(button);
    PostButtonUp();
    Press(button, true, 0);
    EXPECT_TRUE(Tree().GetNativeState(Item("B"), TVIS_EXPANDED));
    EXPECT_EQ(Selected(), "C");
}

TEST_F(Mouse, ClickOnEmptySpaceClearsTheSelection)
{
    BuildDefault();
    Select("A1 C");
    ClearLog();
    POINT empty = PointBelowItems();
    StartGesture(empty);
    PostButtonUp();
    Press(empty, true, 0);
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-C -C click");
    // With Ctrl the click leaves the selection alone.
    Select("D");
    StartGesture(empty);
    PostButtonUp(false);
    Press(empty, false, MK_CONTROL);
    EXPECT_EQ(Selected(), "D");
}

TEST_F(Mouse, BandSelectsExactlyTheRowsItTouches)
{
    BuildDefault();
    Select("E");
    Band(PointRightOf("C"), PointRightOf("A2"));
    EXPECT_EQ(Selected(), "A2 A3 B C");
}

TEST_F(Mouse, BandWithCtrlTogglesTheRowsSelectedBefore)
{
    BuildDefault();
    Select("A3 E");
    Band(PointRightOf("C"), PointRightOf("A2"), MK_CONTROL);
    EXPECT_EQ(Selected(), "A2 B C E");
}

TEST_F(Mouse, BandWithShiftAddsTheRows)
{
    BuildDefault();
    Select("A3 E");
    Band(PointRightOf("C"), PointRightOf("A2"), MK_SHIFT);
    EXPECT_EQ(Selected(), "A2 A3 B C E");
}

TEST_F(Mouse, BandFollowsTheMouseBackAndForth)
{
    BuildDefault();
    POINT from = PointRightOf("D");
    StartGesture(from);
    PostMove(PointRightOf("A1"));
    PostMove(PointRightOf("B"));
    PostButtonUp();
    Press(from, true, 0);
    EXPECT_EQ(Selected(), "B C D");
}

TEST_F(Mouse, EscapeEndsTheBandAndDeselectsEverything)
{
    BuildDefault();
    Select("E");
    POINT from = PointRightOf("C");
    StartGesture(from);
    PostMove(PointRightOf("A2"));
    PostKey(VK_ESCAPE);
    PostMove(PointRightOf("A1"));
    PostButtonUp();
    Press(from, true, MK_SHIFT);
    EXPECT_EQ(Selected(), "");
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
    GetClientRect(Tree().GetSafeHwnd(), &client);
    POINT from = PointRightOf("R2");
    StartGesture(from);
    PostMove(POINT{from.x, client.bottom - 5});
    POINT below = ScreenPoint(POINT{from.x, client.bottom + 40});
    for (int tick = 0; tick < 3; ++tick)
        PostTimerTick(below);
    PostButtonUp();
    Press(from, true, 0);
    EXPECT_GE(GetScrollPos(Tree().GetSafeHwnd(), SB_VERT), 3);
    EXPECT_TRUE(Tree().GetNativeState(Item("R2"), TVIS_SELECTED));
    EXPECT_TRUE(Tree().GetNativeState(Item("R30"), TVIS_SELECTED)) << "rows scrolled into the band join it";
    EXPECT_FALSE(Tree().GetNativeState(Item("R1"), TVIS_SELECTED));
}

TEST_F(Mouse, LostCaptureEndsAClickWithNothingDone)
{
    BuildDefault();
    Select("A1 B");
    ClearLog();
    POINT point = PointOn("B");
    StartGesture(point);
    PostAction([] { ReleaseCapture(); });
    PostButtonUp();
    Press(point, true, 0);
    EXPECT_EQ(Selected(), "A1 B") << "no click happened";
    EXPECT_EQ(OwnLog(), "");
}

TEST_F(Mouse, LostCaptureEndsABandThatNeverStartedAsAClick)
{
    BuildDefault();
    Select("A1 B");
    ClearLog();
    POINT empty = PointBelowItems();
    StartGesture(empty);
    PostAction([] { ReleaseCapture(); });
    PostMove(PointRightOf("A"));
    Press(empty, true, 0);
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(OwnLog(), "?-A1 -A1 ?-B -B click");
}

TEST_F(Mouse, QuitDuringALoopEndsItAndReachesTheApplication)
{
    BuildDefault();
    POINT point = PointOn("C");
    StartGesture(point);
    PostQuitMessage(7);
    Press(point, true, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    POINT empty = PointBelowItems();
    StartGesture(empty);
    PostQuitMessage(9);
    Press(empty, true, 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(Mouse, ItemDeletedDuringAClickEndsItWithoutAction)
{
    BuildDefault();
    Select("A1 C");
    POINT point = PointOn("C");
    StartGesture(point);
    PostAction([this] { Tree().DeleteItem(Item("C")); });
    PostButtonUp();
    ClearLog();
    Press(point, true, 0);
    EXPECT_EQ(Selected(), "A1") << "the others stay: the click never happened";
    EXPECT_EQ(OwnLog(), "?-C -C");
}

TEST_F(Mouse, ItemDeletedDuringADragIsNeverTouched)
{
    BuildDefault();
    POINT point = PointOn("D");
    StartGesture(point);
    PostAction([this] { Tree().DeleteItem(Item("D")); });
    PostMove(POINT{point.x, point.y + 40});
    ClearLog();
    Press(point, true, MK_CONTROL);
    EXPECT_EQ(OwnNotices(TVN_BEGINDRAGW).size(), 0u);
    EXPECT_EQ(Selected(), "");
}

TEST_F(Mouse, RememberedItemDeletedDuringABandIsDropped)
{
    BuildDefault();
    Select("A1 E");
    HTREEITEM e = Item("E");
    POINT from = PointRightOf("C");
    StartGesture(from);
    PostMove(PointRightOf("B"));
    PostAction([this] { Tree().DeleteItem(Item("E")); });
    PostMove(PointRightOf("A2"));
    PostButtonUp();
    ClearLog();
    Press(from, true, MK_CONTROL);
    EXPECT_EQ(Selected(), "A1 A2 A3 B C");
    for (const Notice& n : Notices()) {
        if (n.code == TVN_SELCHANGINGW || n.code == TVN_SELCHANGEDW) {
            EXPECT_TRUE(n.itemNew != e) << "a deleted item was selected";
        }
    }
}

TEST_F(Mouse, OtherMessagesAreDispatchedDuringTheLoops)
{
    BuildDefault();
    int ran = 0;
    POINT point = PointOn("C");
    StartGesture(point);
    PostAction([&ran] { ++ran; });
    PostButtonUp();
    Press(point, true, 0);
    POINT empty = PointBelowItems();
    StartGesture(empty);
    PostAction([&ran] { ++ran; });
    PostButtonUp();
    Press(empty, true, 0);
    EXPECT_EQ(ran, 2);
}

} // namespace

namespace {

// A parent may delete items while it hears of a selection change; nothing may touch them after.
class DeletingParent : public Mouse {
protected:
    void DeleteOnDeselectionOf(const std::string& trigger, const std::string& victim)
    {
        m_victim = Item(victim);
        Parent().onNotice = [this, trigger](const Notice& n) {
            if (n.own && n.code == TVN_SELCHANGEDW && n.itemOld == Item(trigger) && m_deleted.empty()) {
                m_deleted = Name(m_victim);
                Tree().DeleteItem(m_victim); // its own deselection is announced on the way out
                m_noticesAtDeletion = Notices().size();
            }
        };
    }

    void ExpectVictimUntouchedAfterDeletion()
    {
        ASSERT_FALSE(m_deleted.empty()) << "the parent never deleted";
        const auto& notices = Notices();
        for (size_t i = m_noticesAtDeletion; i < notices.size(); ++i) {
            const bool selection = notices[i].code == TVN_SELCHANGINGW || notices[i].code == TVN_SELCHANGEDW;
            EXPECT_FALSE(selection && (notices[i].itemNew == m_victim || notices[i].itemOld == m_victim))
                << "notice " << i << " names the deleted item";
        }
    }

    HTREEITEM m_victim = nullptr;
    std::string m_deleted;
    size_t m_noticesAtDeletion = 0;
};

TEST_F(DeletingParent, KeyWhoseTargetIsDeletedMeanwhileEnds)
{
    BuildDefault();
    Tree().SetItemState(Item("A1"), TVIS_FOCUSED | TVIS_SELECTED, TVIS_FOCUSED | TVIS_SELECTED, TRUE);
    Select("C");
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
    EXPECT_EQ(OwnNotices(static_cast<UINT>(NM_CLICK)).size(), 0u);
}

TEST_F(DeletingParent, WalksStartOverWhenItemsAreDeletedUnderThem)
{
    BuildDefault();
    Select("A1 A2 C");
    DeleteOnDeselectionOf("A1", "A2");
    Tree().SetAllSelected(FALSE);
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "");

    BuildDefault();
    Select("A1 A3 E");
    DeleteOnDeselectionOf("A1", "A3");
    Tree().SelectSpan(Item("B"), Item("D"), TRUE);
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "B C D");
}

TEST_F(DeletingParent, BandGoesOnWhenItemsAreDeletedUnderIt)
{
    BuildDefault();
    Select("A1 E");
    DeleteOnDeselectionOf("A1", "A2");
    Band(PointRightOf("D"), PointRightOf("B"));
    ExpectVictimUntouchedAfterDeletion();
    EXPECT_EQ(Selected(), "C D E") << "the rows moved up one under the band";
}

} // namespace
