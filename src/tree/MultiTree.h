// A tree view in which any number of items can be selected. The selection lives in the items'
// TVIS_SELECTED bits; the native caret is only the focus item. Every change of an item's selected
// state is reported to the parent with TVN_SELCHANGINGW / TVN_SELCHANGEDW notifications that the
// tree sends itself, while IsSendingNotify() is true.
//
// The tree keeps the set of its selected items as it writes their bits (every TVM_SETITEM and
// TVM_INSERTITEM that touches TVIS_SELECTED passes through it; deleted items leave it), so that
// gestures that clear or read the selection cost what they change, not what the tree holds.
//
// Native caret moves never change selection bits here: on tree-views that change them on their
// own the change is refused (TVN_ITEMCHANGINGW), and where the tree-view changes them silently
// around its own TVN_SELCHANGING/TVN_SELCHANGED, they are put back.
//
// Assistive technology sees the tree through MultiTreeAccessible (WM_GETOBJECT) and hears its
// changes as WinEvents, raised where the selected bits change (docs/accessibility.md).
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "platform/com/ComPtr.h"
#include "platform/window/NotifyReflection.h"
#include "platform/window/TreeView.h"
#include "platform/window/TreeViewDefs.h"
#include "platform/window/WinEvents.h"
#include "tree/ItemIds.h"

class MultiTreeAccessible;

class CMultiTree : public platform::TreeCtrl {
public:
    CMultiTree();
    ~CMultiTree() override;

    // Creates the tree window as a child of parent and makes the parent offer the tree its own
    // notifications first.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    BOOL SetItemState(HTREEITEM item, UINT nState, UINT nStateMask, BOOL bNotifyWithFocus);
    UINT GetItemState(HTREEITEM item, UINT nStateMask) const;
    BOOL SetCaretItem(HTREEITEM item);
    void SetAllSelected(BOOL bSelect);
    void SetAllSelectedExcept(BOOL bSelect, HTREEITEM except);
    void SelectSpan(HTREEITEM a, HTREEITEM b, BOOL bExclusive);
    BOOL SetDescendantsSelected(HTREEITEM parent, BOOL bSelect, BOOL bRecurse);
    HTREEITEM FirstSelected() const;
    HTREEITEM NextSelected(HTREEITEM item) const;
    void CollectSelected(std::vector<HTREEITEM>& list) const;
    BOOL ExpandAncestors(HTREEITEM item);
    // Deselects the item's visible descendants with notifications, then deletes the item.
    void DeleteItem(HTREEITEM item);
    BOOL IsSendingNotify() const { return m_bSendingNotify; }
    LRESULT SendNotify(NMHDR* pHeader);

    // Bulk changes: while one lasts, a shown tree does not redraw from its first change on (at
    // once with now), and when the outermost ends it repaints once. Nested ones count; one that
    // changed nothing costs nothing. Each is one gesture for the WinEvents.
    class BulkChange {
    public:
        explicit BulkChange(CMultiTree& tree, bool now = false);
        ~BulkChange();
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

    private:
        CMultiTree& m_tree;
    };

    // The letters typed so far to find an item, while the typing goes on; answered to
    // TypedPrefixMessage() (wParam: the buffer's length in characters, lParam: the buffer), so that
    // a host can show it.
    std::wstring GetTypedPrefix() const;
    static UINT TypedPrefixMessage();

    BOOL GetMultiSelect() const { return m_bMultiSelect; }
    void SetMultiSelect(BOOL bMultiSelect) { m_bMultiSelect = bMultiSelect; }
    HTREEITEM GetAnchor() const { return m_hAnchor; }

    // Assistive technology. A gesture that changes the selection of more items than this raises
    // one EVENT_OBJECT_SELECTIONWITHIN instead of an event for each.
    static constexpr size_t kSelectionEventLimit = 16;
    // An item's child id, given on first use.
    LONG ChildIdOf(HTREEITEM item) { return m_ids.IdOf(item); }
    // The visible item with child id id; null for any other id.
    HTREEITEM ChildItem(LONG id) const;
    // What IAccessible::accSelect does with valid SELFLAG_ flags on a visible item: what the click
    // or key that the flags stand for does, with the same notifications.
    void SelectByFlags(HTREEITEM item, long flags);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT kSelected = TVIS_SELECTED;
    static constexpr UINT kFocused = TVIS_FOCUSED;

    // An item handle held across notifications, which parents answer with anything: the tree
    // nulls it when it deletes the item, so that a deleted item is never touched again.
    class HeldItem {
    public:
        HeldItem(CMultiTree& tree, HTREEITEM item);
        ~HeldItem();
        HeldItem(const HeldItem&) = delete;
        HeldItem& operator=(const HeldItem&) = delete;
        HTREEITEM Get() const { return m_item; }

    private:
        friend class CMultiTree;
        CMultiTree& m_tree;
        HTREEITEM m_item;
        HeldItem* m_pOuter;
    };
    // The rows a running band remembers as selected before it; items deleted meanwhile are taken
    // out of them.
    struct Tracking {
        std::unordered_set<HTREEITEM>* pRemembered = nullptr;
        Tracking* pOuter = nullptr;
    };
    class ScopedTracking;

    // Parents answer notifications with anything, deleting items included. A walk that sent
    // notifications checks this before it takes its next item handle, since a handle kept from
    // before a deletion may be gone; it stops there, or starts over where that is harmless.
    class DeletionWatch {
    public:
        explicit DeletionWatch(const CMultiTree& tree) : m_tree(tree), m_start(tree.m_deletions) {}
        bool Happened() const { return m_tree.m_deletions != m_start; }
        // True, once, when items were deleted since the watch began or last started over.
        bool StartOver()
        {
            if (!Happened())
                return false;
            m_start = m_tree.m_deletions;
            return true;
        }
        // The next item of a walk; none once anything was deleted.
        HTREEITEM NextVisible(HTREEITEM item) const { return Happened() ? nullptr : m_tree.GetNextVisibleItem(item); }

    private:
        const CMultiTree& m_tree;
        unsigned long long m_start;
    };
    // One gesture: the WinEvents of the changes made while the outermost lasts go out when it ends.
    class Gesture {
    public:
        explicit Gesture(CMultiTree& tree) : m_tree(tree) { m_tree.m_events.Begin(); }
        ~Gesture() { m_tree.m_events.End(m_tree.m_hWnd); }
        Gesture(const Gesture&) = delete;
        Gesture& operator=(const Gesture&) = delete;

    private:
        CMultiTree& m_tree;
    };
    // The selected bits of the two items of a native caret move, to be put back after it.
    struct NativeCaretMove {
        HTREEITEM hOld = nullptr;
        HTREEITEM hNew = nullptr;
        UINT oldSelected = 0;
        UINT newSelected = 0;
        bool pending = false;
    };

    // Writes selection bits as this class's own change (allowed through TVN_ITEMCHANGINGW).
    bool WriteState(HTREEITEM item, UINT state, UINT mask);
    // Moves the native caret; the native notifications it causes are not ours (WindowProc).
    bool MoveNativeCaret(HTREEITEM item);
    bool IsSelected(HTREEITEM item) const { return m_selected.count(item) != 0; }
    // Turns the redraw off for a running bulk change, once.
    void SuspendRedraw();
    // A TVM_SETITEM or TVM_INSERTITEM, whoever sends it, with the selected set kept up to date.
    LRESULT OnItemWrite(UINT message, WPARAM wParam, LPARAM lParam);
    // A visible item's row, for ordering items by their place in the tree: top and bottom edges.
    struct Row {
        HTREEITEM item;
        RECT rect;
    };
    std::vector<Row> RowsOf(const std::vector<HTREEITEM>& items) const; // visible ones, top to bottom
    // The selected items but except, visible ones top to bottom; with hidden, those in collapsed
    // branches follow.
    std::vector<HTREEITEM> SelectedItems(bool hidden, HTREEITEM except = nullptr) const;
    void DeselectAll(HTREEITEM except, const std::vector<HTREEITEM>& items);
    void SelectSpanPass(HTREEITEM a, HTREEITEM b, BOOL bExclusive, const DeletionWatch& deletions);
    void WalkSpanPass(HTREEITEM a, HTREEITEM b, BOOL bExclusive, const DeletionWatch& deletions);
    NMTREEVIEWW MakeNotify(UINT code) const;
    static void FillItem(TVITEMW& tvi, HTREEITEM item, DWORD_PTR data);
    void FillItem(TVITEMW& tvi, HTREEITEM item) const { FillItem(tvi, item, GetItemData(item)); }
    bool NotifySelection(UINT code, HTREEITEM item, DWORD_PTR data, bool selecting);
    void InvalidateSelectedLabels();

    // Assistive technology.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    void DisconnectAccessible();
    // Raises event about item, or holds it in the running gesture.
    void Announce(DWORD event, HTREEITEM item);
    // Announces caret, the caret now, as focused when it moved and the tree has the keyboard focus.
    void AnnounceCaret(HTREEITEM caret);
    LRESULT OnExpand(WPARAM action, HTREEITEM item);

    // Keyboard and focus.
    void OnKeyDown(WPARAM nChar, LPARAM lParam);
    // The item that Home, End, Page Up or Page Down go to from the caret.
    HTREEITEM JumpTarget(WPARAM key, HTREEITEM caret) const;
    // Moves the caret to target as the jump keys and typing do: plain, the target becomes the only
    // selected item; Shift selects the span from the anchor (Ctrl+Shift adds it); Ctrl moves only
    // the caret. The view scrolls to show it.
    void MoveTo(HTREEITEM target, bool ctrl, bool shift);
    void OnChar(WPARAM character);
    // The next visible item whose label starts with prefix (case-insensitively): from the caret or
    // the item after it, going round to the first row.
    HTREEITEM FindByPrefix(const std::wstring& prefix, bool fromCaret) const;
    void CopySelection();
    void OnSetFocus(WPARAM wParam, LPARAM lParam);
    void OnKillFocus(WPARAM wParam, LPARAM lParam);
    void OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    bool PassDoubleClickOn(const NMHDR& native, POINT at);
    void NativeCollapse(HTREEITEM item, UINT message, WPARAM wParam, LPARAM lParam);

    // Reflected notifications of the tree itself.
    bool OnReflectedNotify(platform::ReflectedNotify& reflected);
    void OnItemExpanding(const NMTREEVIEWW& nm);
    bool IsCollapse(WPARAM action, HTREEITEM item) const;
    // Deselects a collapsing branch and keeps the caret from falling to its unselected root.
    void BeforeCollapse(HTREEITEM item);
    void OnDeleteItem(const NMTREEVIEWW& nm);
    HTREEITEM FindCaretAfterDelete(HTREEITEM item) const;
    void BeforeDelete(HTREEITEM item);
    bool IsDescendant(HTREEITEM item, HTREEITEM ancestor) const;
    HTREEITEM NextVisibleAfterBranch(HTREEITEM item) const;
    bool OnItemChanging(const NMTVITEMCHANGE& change);
    void OnNativeSelChanging(const NMTREEVIEWW& nm);
    void OnNativeSelChanged();

    // Mouse.
    void OnButtonDown(bool bLeft, UINT message, WPARAM wParam, LPARAM lParam);
    void PreSelect(const HeldItem& clicked, bool bLeft, UINT nFlags);
    void TrackItemClick(const HeldItem& clicked, bool bLeft, UINT nFlags, POINT point);
    void TrackBand(bool bLeft, UINT nFlags, POINT point);
    void ApplyBand(const RECT& rect, UINT nFlags, std::unordered_set<HTREEITEM>& remembered);
    void ApplyBandPass(const RECT& rect, UINT nFlags, std::unordered_set<HTREEITEM>& remembered,
                       const DeletionWatch& deletions);
    // The visible rows that the band's height covers, top to bottom.
    std::vector<Row> RowsUnder(const RECT& band) const;
    void SendClick(bool bLeft, HTREEITEM item);

    BOOL m_bMultiSelect = TRUE;
    HTREEITEM m_hAnchor = nullptr;
    BOOL m_bSendingNotify = FALSE;
    bool m_bWritingState = false;
    const NMHDR* m_pOwnNotify = nullptr; // the notification SendNotify is sending now
    NativeCaretMove m_nativeMove;
    Tracking* m_pTracking = nullptr;
    HeldItem* m_pHeld = nullptr;
    std::unordered_set<HTREEITEM> m_selected; // items whose TVIS_SELECTED bit is set
    unsigned long long m_deletions = 0; // items deleted so far
    // The target of a running arrow key: its selection was asked for before anything moved, so
    // selecting it announces only the change itself.
    HTREEITEM m_hAsked = nullptr;
    // The window is being destroyed: its items go without caret or selection work, and without
    // notifications of ours.
    bool m_bDestroying = false;
    // Where the native double-click handler that runs now was clicked.
    std::optional<POINT> m_doubleClickAt;
    std::wstring m_typed; // the prefix typed so far
    DWORD m_lastTyped = 0; // when its last letter came (GetTickCount)
    int m_bulkChanges = 0; // running BulkChanges
    bool m_redrawSuspended = false;
    ItemIds m_ids;
    platform::WinEventBatcher m_events{kSelectionEventLimit};
    HTREEITEM m_announcedCaret = nullptr; // the caret as the last focus event named it
    platform::ComPtr<MultiTreeAccessible> m_accessible; // made on the first WM_GETOBJECT
};
