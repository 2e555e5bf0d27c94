// A real tree-view under test: a parent window that records every notification the tree sends,
// a fixture that builds small trees and drives them with gestures the way the system delivers
// input, and behaviour tables that one loop runs. After every step the fixture checks the
// invariant: the selection that the tree's own notifications describe is exactly the set of
// items that carry TVIS_SELECTED, and no collapsed branch holds a selected item.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tree/MultiTree.h"

struct Notice {
    UINT code = 0;
    HTREEITEM itemNew = nullptr, itemOld = nullptr;
    bool own = false; // IsSendingNotify() was true when it arrived (never for TVN_DELETEITEMW)
};

// Records the notifications; checks that each of the tree's own names one item by handle and item
// data only, and that a drag names the point where the button went down.
class RecordingParent {
public:
    RecordingParent();

    HWND Hwnd() const { return m_hWnd; }
    void Post(std::function<void()> action); // runs when the parent next dispatches messages

    CMultiTree* tree = nullptr;
    std::vector<Notice> notices;
    // The selection that the tree's own TVN_SELCHANGEDW notifications describe, since it was built.
    std::set<HTREEITEM> reportedSelection;
    // Answers the tree's own TVN_SELCHANGINGW; nonzero vetoes. Native ones are answered 0.
    std::function<LRESULT(const Notice&)> answerSelChanging;
    // Runs after a notice is recorded, before the parent answers.
    std::function<void(const Notice&)> onNotice;
    // Whether NM_CLICK / NM_RCLICK carry an NMTREEVIEW (a press on an item) or a plain NMHDR.
    bool clickCarriesItem = false;
    POINT pressedAt{};

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    LRESULT OnNotify(const NMHDR& header);

    HWND m_hWnd;
    std::deque<std::function<void()>> m_actions;
};

// Item names are single words; a child names its parent: {"A1", "A"}.
struct ItemSpec {
    const char *name, *parent;
};

// A row of a behaviour table: on the default tree, the selection and the caret before ("-": none),
// a gesture, then the selection, the caret and the tree's own notifications (OwnLog) after it.
struct TreeRow {
    const char *selected, *caret, *gesture, *selectedAfter, *caretAfter, *log;
};

class TreeTest : public ::testing::Test {
protected:
    static constexpr UINT kTreeId = 101;
    static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;

    void SetUp() override;
    void TearDown() override;

    // Builds the tree; every item's data is its 1-based position in the list.
    void Build(const std::vector<ItemSpec>& items, DWORD style = kStyle);
    // The default tree: A (A1, A2 (A2a), A3), B (B1), C, D, E; A expanded.
    void BuildDefault(DWORD style = kStyle);

    HTREEITEM Item(const std::string& name) const;
    std::string Name(HTREEITEM item) const; // "-" for none; the text for an item not built by name
    void Expand(const std::string& name, UINT action = TVE_EXPAND);

    // The items that carry TVIS_SELECTED, anywhere in the tree, in display order.
    std::string Selected() const;
    std::string Caret() const;
    // The tree's own notifications since the last Clear: "+A" and "-A" (A selected, deselected) for
    // TVN_SELCHANGEDW, "?+A" and "?-A" for TVN_SELCHANGINGW, "click:A", "rclick", "drag:A", "rdrag:A",
    // codes for the others; and "changing:A" and "deleted:A" (see Do).
    std::string OwnLog() const;
    void ClearLog() { m_parent->notices.clear(); }
    const std::vector<Notice>& Notices() const { return m_parent->notices; }

    // The tree as inline text: "text {child | child} | sibling", "text#image" when asked.
    std::wstring Dump(HTREEITEM first = nullptr, bool images = false) const;
    std::wstring TextOf(HTREEITEM item) const { return m_tree->GetItemText(item); }
    LPARAM DataOf(HTREEITEM item) const { return static_cast<LPARAM>(m_tree->GetItemData(item)); }
    // Every item of the tree, collapsed branches included.
    std::set<HTREEITEM> AllItems() const;

    // The invariant, checked after every step and at the end of each test. The branch rule holds
    // for trees whose tests select only items that are shown; BuildDefault turns it on.
    void CheckInvariant() const;
    bool checkCollapsed = false;

    // Programmatic selection through the tree, e.g. Select("A1 B C").
    void Select(const std::string& names);
    // WM_KEYDOWN with Ctrl and Shift as GetKeyState reports them.
    void Key(UINT vk, bool ctrl = false, bool shift = false);
    POINT PointOn(const std::string& name) const; // the centre of the label
    // Where a gesture step points (see Do): with rightOfLabel, the empty row right of the item.
    POINT PointAt(const std::string& where, bool rightOfLabel) const;
    void Click(const std::string& name, UINT keys = 0, bool left = true);

    // Runs a gesture: steps separated by blanks, each "[ctrl+][shift+]verb[:arguments]".
    //   keys   up down left right space home end; type:TEXT (characters); focus, blur
    //   mouse  click:W rclick:W drag:W rdrag:W band:W. W is an item (its label; for band the empty
    //          row right of it), "-" (below the last row) or "+item" (its expand button), followed by
    //          ">event"s that the mouse loop reads: an item (a move there), "~" (a move within the
    //          drag distance), "esc", "!" (runs action). Clicks and bands end with the button up,
    //          drags with a move past the drag distance.
    //   calls  set:I:FLAGS (SetItemState; FLAGS "+" sets and "-" clears f(ocus), s(elected), b(old),
    //          e(xpanded); "!" notifies with focus), caret:I, span:A:B, addspan:A:B (inclusive), all,
    //          none, all-but:I, none-but:I, select-below:I, deselect-children:I, expand:I,
    //          collapse:I, delete:I, native-delete:I ("*": every item), native-set:I:FLAGS, single
    //          (no multi-selection), nodrag (TVS_DISABLEDRAGDROP)
    //   parent parent-deletes:T:V (when it first hears T deselected, the parent deletes V; the log
    //          shows "deleted:V" there), parent-vetoes (every selection)
    //   newer tree-views, which announce state changes (TVN_ITEMCHANGINGW; the log shows those that
    //          reach the parent as "changing:I"): announce:I:OLD:NEW (states as "sb", "-" for
    //          none), announcing (the tree-view announces every write of the selected bit from now)
    void Do(const std::string& gesture, const std::function<void()>& action = {});
    void Run(const TreeRow& row, const std::function<void()>& action = {});
    template <size_t N>
    void Run(const TreeRow (&rows)[N])
    {
        for (const TreeRow& row : rows)
            Run(row);
    }
    void PostAction(std::function<void()> action) { m_parent->Post(std::move(action)); }

    RecordingParent& Parent() { return *m_parent; }
    CMultiTree& Tree() { return *m_tree; }
    HWND Hwnd() const { return m_tree->GetSafeHwnd(); }

private:
    void Release();
    void Mouse(const std::string& verb, UINT keys, const std::string& events, const std::function<void()>& action);
    std::vector<HTREEITEM> Walk() const; // every item in display order

    RecordingParent* m_parent = nullptr; // shared by all tests, never destroyed
    std::unique_ptr<CMultiTree> m_tree;
    std::map<std::string, HTREEITEM> m_items;
};
