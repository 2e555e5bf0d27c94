// A real tree-view under test: a parent window that records every notification the tree sends,
// and a fixture that builds small trees, names their items and drives them with keys and presses
// the way the system delivers them (tests/tree adds a gesture language and behaviour tables). After
// every step the fixture checks the invariant: the selection that the tree's own notifications
// describe is exactly the set of items that carry TVIS_SELECTED, no collapsed branch holds one, and
// the WinEvents that a hook in the process hears name the same changes in the same order.
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
#include <oleacc.h>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "tree/MultiTree.h"

struct Notice {
    UINT code = 0;
    HTREEITEM itemNew = nullptr, itemOld = nullptr;
    bool own = false; // IsSendingNotify() was true when it arrived
};

// A WinEvent about the tree's client area, with the item its child id named when it was heard.
struct HeardEvent {
    DWORD event;
    LONG child;
    HTREEITEM item;
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
    std::set<HTREEITEM> reportedSelection; // as the tree's own TVN_SELCHANGEDW describe it
    std::function<LRESULT(const Notice&)> answerSelChanging; // the tree's own; nonzero vetoes
    std::function<void(const Notice&)> onNotice; // after a notice is recorded, before the answer
    bool clickCarriesItem = false; // NM_CLICK / NM_RCLICK carry an NMTREEVIEW (on an item)
    POINT pressedAt{};
    std::vector<HeardEvent> events; // as an in-context WinEvent hook hears them
    std::vector<std::pair<bool, LONG>> notifiedChanges; // (selected, child id) of the tree's own TVN_SELCHANGEDW

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD);
    LRESULT OnNotify(const NMHDR& header);

    HWND m_hWnd;
    std::deque<std::function<void()>> m_actions;
};

// Item names are single words; a child names its parent: {"A1", "A"}.
struct ItemSpec {
    const char *name, *parent;
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
    // A flat tree of rows R0 .. R(count - 1).
    void BuildRows(int count);

    HTREEITEM Item(const std::string& name) const;
    std::string Name(HTREEITEM item) const; // "-" for none; the text for an item not built by name
    void Expand(const std::string& name, UINT action = TVE_EXPAND);

    // The items that carry TVIS_SELECTED, anywhere in the tree, in display order.
    std::string Selected() const;
    std::string Caret() const;
    // The tree's own notifications since the last Clear: "+A" and "-A" (A selected, deselected) for
    // TVN_SELCHANGEDW, "?+A" and "?-A" for TVN_SELCHANGINGW, "click:A", "rclick", "drag:A", "rdrag:A",
    // codes for the others; "changing:A" for a TVN_ITEMCHANGINGW that reaches the parent.
    std::string OwnLog() const;
    std::string Word(const Notice& notice) const; // the notice's word of OwnLog; "" for none
    // The WinEvents since the last Clear: "+A" and "-A" (selection added, removed), "within",
    // "focus:A" (the window's own focus event left out), "state:A".
    std::string EventLog() const;
    void ClearLog();
    // The tree's accessible object, as a client in this process gets it.
    platform::ComPtr<IAccessible> Accessible() const;
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
    // An item's label, or with rightOfLabel the empty row right of it; "-" is below the last row,
    // "+item" the item's expand button.
    POINT PointAt(const std::string& where, bool rightOfLabel) const;
    void Click(const std::string& name, UINT keys = 0, bool left = true);
    // Sends a button-down at point (what the mouse loop should read is queued first).
    void Press(POINT point, bool left, UINT keys);
    // A mark that a test's parent may log ("deleted:A" in OwnLog).
    static constexpr UINT kDeletedByParent = 1;

    void PostAction(std::function<void()> action) { m_parent->Post(std::move(action)); }

    RecordingParent& Parent() { return *m_parent; }
    CMultiTree& Tree() { return *m_tree; }
    HWND Hwnd() const { return m_tree->GetSafeHwnd(); }

private:
    void Release();
    std::vector<HTREEITEM> Walk() const; // every item in display order

    RecordingParent* m_parent = nullptr; // shared by all tests, never destroyed
    std::unique_ptr<CMultiTree> m_tree;
    std::map<std::string, HTREEITEM> m_items;
};
