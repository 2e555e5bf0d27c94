// A real tree-view under test: a parent window that records every notification the tree sends,
// a fixture that builds small trees, and the helpers that drive keys and mouse loops the way
// the system delivers them. After every step the fixture checks the invariant that matters
// most: the selection that the tree's own notifications describe is exactly the set of items
// that carry TVIS_SELECTED.
#pragma once

#include <deque>
#include <memory>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tree/MultiTree.h"

struct Notice {
    UINT code = 0;
    HTREEITEM itemNew = nullptr;
    HTREEITEM itemOld = nullptr;
    UINT newMask = 0;
    UINT oldMask = 0;
    LPARAM newData = 0;
    LPARAM oldData = 0;
    POINT ptDrag{};
    UINT_PTR idFrom = 0;
    bool own = false; // IsSendingNotify() was true when it arrived
};

class RecordingParent {
public:
    RecordingParent();
    ~RecordingParent();
    RecordingParent(const RecordingParent&) = delete;
    RecordingParent& operator=(const RecordingParent&) = delete;

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
    // Whether NM_CLICK / NM_RCLICK carry an NMTREEVIEW (a click on an item) or a plain NMHDR.
    bool clickCarriesItem = false;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);

    HWND m_hWnd = nullptr;
    std::deque<std::function<void()>> m_actions;
};

// Item names are single words; a child names its parent: {"A1", "A"}.
struct ItemSpec {
    const char* name;
    const char* parent;
};

class TreeTest : public ::testing::Test {
protected:
    static constexpr UINT kTreeId = 101;
    static constexpr DWORD kStyle =
        WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;

    void SetUp() override;
    void TearDown() override;

    // Builds the tree; every item's data is its 1-based position in the list.
    void Build(const std::vector<ItemSpec>& items, DWORD style = kStyle);
    // The default tree: A (A1, A2 (A2a), A3), B (B1), C, D, E; A expanded.
    void BuildDefault(DWORD style = kStyle);

    HTREEITEM Item(const std::string& name) const;
    std::string Name(HTREEITEM item) const;
    void Expand(const std::string& name, UINT action = TVE_EXPAND);

    // The items that carry TVIS_SELECTED, anywhere in the tree, in display order.
    std::string Selected() const;
    std::string Caret() const;
    // The tree's own notifications since the last Clear, as "+A" (selected) and "-A" (deselected)
    // for TVN_SELCHANGEDW, "?+A" and "?-A" for TVN_SELCHANGINGW, and names for the others.
    std::string OwnLog() const;
    void ClearLog() { m_parent->notices.clear(); }
    const std::vector<Notice>& Notices() const { return m_parent->notices; }
    std::vector<Notice> OwnNotices(UINT code) const;

    // The tree as text: "text" per item ("text#image" when asked), children in braces, siblings
    // separated by " | ".
    std::wstring Dump(HTREEITEM first = nullptr, bool images = false) const;
    // An item's text, and its item data.
    std::wstring TextOf(HTREEITEM item) const;
    LPARAM DataOf(HTREEITEM item) const;
    // Every item of the tree, collapsed branches included.
    std::set<HTREEITEM> AllItems() const;

    // The invariant, checked by every helper below and at the end of each test.
    void CheckInvariant() const;

    // Programmatic selection through the tree, e.g. Select("A1 B C").
    void Select(const std::string& names);

    // Keys: WM_KEYDOWN with Ctrl and Shift as GetKeyState reports them.
    void Key(UINT vk, bool ctrl = false, bool shift = false);
    void Char(wchar_t c);

    // Mouse: the messages the loop should read are posted first; then the button goes down.
    POINT PointOn(const std::string& name) const;     // centre of the label
    POINT PointRightOf(const std::string& name) const; // the empty row right of the label
    POINT PointBelowItems() const;                     // empty space under the last row
    void StartGesture(POINT point);                     // drains old input, puts the cursor there
    void Press(POINT point, bool left, UINT keys);      // sends the button-down
    void Click(const std::string& name, UINT keys = 0, bool left = true);
    void PostMove(POINT point);
    void PostButtonUp(bool left = true);
    void PostTimerTick(POINT screenCursor);
    void PostKey(UINT vk);
    void PostAction(std::function<void()> action) { m_parent->Post(std::move(action)); }

    RecordingParent& Parent() { return *m_parent; }
    CMultiTree& Tree() { return *m_tree; }

private:
    void SetModifiers(bool ctrl, bool shift) const;
    void DrainInput() const;

    RecordingParent* m_parent = nullptr; // shared by all tests, never destroyed
    std::unique_ptr<CMultiTree> m_tree;
    std::map<std::string, HTREEITEM> m_items;
};

// Names for table rows: "A1 B" → the selection in display order.
std::string JoinNames(const std::vector<std::string>& names);
