// The window side of CMultiTree: message dispatch, focus, and the tree's own notifications as its
// parent reflects them.
#include <algorithm>
#include <string>

#include <windowsx.h>

#include "platform/window/NotifyReflection.h"
#include "tree/MultiTree.h"
#include "tree/ScopedValue.h"

LRESULT CMultiTree::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message that the parent sends while it hears one of the tree's own notifications is
    // handled as any other: what the native control says meanwhile is not the tree's own.
    ScopedValue<BOOL> native(m_bSendingNotify, FALSE);
    if (message == platform::ReflectedNotifyMessage())
        return OnReflectedNotify(*reinterpret_cast<platform::ReflectedNotify*>(lParam)) ? TRUE : FALSE;

    const bool writes = message == TVM_SETITEMW || message == TVM_SETITEMA || message == TVM_INSERTITEMW ||
                        message == TVM_INSERTITEMA;
    if (writes || message == TVM_DELETEITEM || message == TVM_EXPAND)
        SuspendRedraw();
    if (writes)
        return OnItemWrite(message, wParam, lParam);
    if (message == TypedPrefixMessage()) {
        const std::wstring prefix = GetTypedPrefix();
        if (wParam == 0 || !lParam)
            return static_cast<LRESULT>(prefix.size());
        const size_t copied = std::min<size_t>(prefix.size(), wParam - 1);
        std::copy_n(prefix.c_str(), copied, reinterpret_cast<wchar_t*>(lParam));
        reinterpret_cast<wchar_t*>(lParam)[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    if (message == WM_COPY) {
        CopySelection();
        return 0;
    }
    if (message == WM_LBUTTONDBLCLK) {
        OnLButtonDblClk(wParam, lParam);
        return 0;
    }
    if (!m_bMultiSelect)
        return DefaultProc(message, wParam, lParam);

    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(message == WM_LBUTTONDOWN, message, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(wParam, lParam);
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam, lParam);
        return 0;
    case WM_CHAR:
        // Typed letters find items here; the native incremental search never runs.
        OnChar(wParam);
        return 0;
    case TVM_DELETEITEM:
        BeforeDelete(reinterpret_cast<HTREEITEM>(lParam));
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        // Every item goes now, with nothing to announce: no caret moves from one doomed item to
        // the next, and no message reaches the tree-view while it takes itself apart. A client
        // that keeps the tree's accessible object is told nothing more.
        MoveNativeCaret(nullptr);
        m_bDestroying = true;
        DisconnectAccessible();
        m_events.Clear();
        return DefaultProc(message, wParam, lParam);
    case TVM_EXPAND:
        return OnExpand(wParam, reinterpret_cast<HTREEITEM>(lParam));
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam);
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

void CMultiTree::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    // The native handler tells the parent (NM_DBLCLK) and then opens or closes the item it hit,
    // through the pointer it took before: the tree passes the notice on itself (OnReflectedNotify)
    // and stops the native handler when the parent deleted that item meanwhile.
    ScopedValue<std::optional<POINT>> at(m_doubleClickAt, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    DefaultProc(WM_LBUTTONDBLCLK, wParam, lParam);
}

bool CMultiTree::PassDoubleClickOn(const NMHDR& native, POINT at)
{
    ScopedValue<std::optional<POINT>> passed(m_doubleClickAt, std::nullopt);
    UINT flags = 0;
    HTREEITEM hit = HitTest(at, flags);
    const HeldItem clicked(*this, hit);
    NMHDR header = native;
    const bool handled = SendNotify(&header) != 0;
    // The native handler opens or closes an item double-clicked on its label, icon or button.
    constexpr UINT kToggles = TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMBUTTON;
    if (!handled && clicked.Get() && (flags & kToggles) && GetNativeState(hit, TVIS_EXPANDED))
        BeforeCollapse(hit);
    return handled || (hit && !clicked.Get());
}

void CMultiTree::NativeCollapse(HTREEITEM item, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The native control keeps a pointer to the item while it collapses it, and asks the parent
    // (TVN_ITEMEXPANDING) on the way: the branch's selection goes first, with its notifications,
    // so that no parent deletes items while the native control runs; it does not run at all once
    // the item is gone.
    const HeldItem held(*this, item);
    if (item && GetNativeState(item, TVIS_EXPANDED))
        BeforeCollapse(item);
    if (!item || held.Get())
        DefaultProc(message, wParam, lParam);
}

void CMultiTree::OnSetFocus(WPARAM wParam, LPARAM lParam)
{
    // The caret is announced as focused once the tree has the focus: a new one as it moves there.
    m_announcedCaret = nullptr;
    HTREEITEM caret = GetCaretItem();
    if (!caret && GetCount() != 0)
        SetItemState(GetFirstVisibleItem(), kFocused, kFocused, TRUE);
    DefaultProc(WM_SETFOCUS, wParam, lParam);
    InvalidateSelectedLabels();
    if (caret)
        AnnounceCaret(caret);
}

void CMultiTree::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    DefaultProc(WM_KILLFOCUS, wParam, lParam);
    InvalidateSelectedLabels();
}

bool CMultiTree::OnReflectedNotify(platform::ReflectedNotify& reflected)
{
    const NMHDR* pHeader = reflected.pHeader;
    if (pHeader->hwndFrom != m_hWnd || pHeader == m_pOwnNotify)
        return false;
    if (pHeader->code == static_cast<UINT>(NM_DBLCLK) && m_doubleClickAt) {
        reflected.result = PassDoubleClickOn(*pHeader, *m_doubleClickAt) ? TRUE : FALSE;
        return true;
    }
    if (!m_bMultiSelect) {
        if (pHeader->code == TVN_DELETEITEMW) {
            m_selected.erase(reinterpret_cast<const NMTREEVIEWW*>(pHeader)->itemOld.hItem);
            m_ids.Forget(reinterpret_cast<const NMTREEVIEWW*>(pHeader)->itemOld.hItem);
        }
        return false;
    }
    switch (pHeader->code) {
    case TVN_ITEMEXPANDINGW:
        OnItemExpanding(*reinterpret_cast<const NMTREEVIEWW*>(pHeader));
        return false;
    case TVN_ITEMEXPANDEDW:
        // A collapse may have moved the caret to the collapsing item.
        Announce(EVENT_OBJECT_STATECHANGE, reinterpret_cast<const NMTREEVIEWW*>(pHeader)->itemNew.hItem);
        AnnounceCaret(GetCaretItem());
        return false;
    case TVN_DELETEITEMW:
        OnDeleteItem(*reinterpret_cast<const NMTREEVIEWW*>(pHeader));
        return false;
    case TVN_ITEMCHANGINGW:
        if (!OnItemChanging(*reinterpret_cast<const NMTVITEMCHANGE*>(pHeader)))
            return false;
        reflected.result = TRUE; // refused; the parent never hears of it
        return true;
    case TVN_SELCHANGINGW:
        OnNativeSelChanging(*reinterpret_cast<const NMTREEVIEWW*>(pHeader));
        return false;
    case TVN_SELCHANGEDW:
        // The native caret moved to itemNew.
        OnNativeSelChanged();
        AnnounceCaret(reinterpret_cast<const NMTREEVIEWW*>(pHeader)->itemNew.hItem);
        return false;
    default:
        return false;
    }
}

void CMultiTree::OnItemExpanding(const NMTREEVIEWW& nm)
{
    if (nm.action == TVE_COLLAPSE || nm.action == TVE_COLLAPSERESET)
        BeforeCollapse(nm.itemNew.hItem);
}

bool CMultiTree::IsCollapse(WPARAM action, HTREEITEM item) const
{
    constexpr WPARAM kActionMask = 0x0003; // TVE_COLLAPSE, TVE_EXPAND or TVE_TOGGLE
    const WPARAM verb = action & kActionMask;
    if (verb == TVE_COLLAPSE)
        return true;
    return verb == TVE_TOGGLE && item && GetNativeState(item, TVIS_EXPANDED);
}

void CMultiTree::BeforeCollapse(HTREEITEM item)
{
    if (!item || m_bDestroying)
        return;
    // A hidden anchor gives way to the collapsing item that now stands for it, as the caret does.
    if (m_hAnchor && IsDescendant(m_hAnchor, item))
        m_hAnchor = item;
    const bool selected = IsSelected(item);
    // A collapsed branch holds no selection. Without a selected item to take it, the caret must
    // not fall to the collapsing item, which the native control would select on its way.
    if (SetDescendantsSelected(item, FALSE, TRUE) && !selected)
        MoveNativeCaret(nullptr);
}

void CMultiTree::OnDeleteItem(const NMTREEVIEWW& nm)
{
    HTREEITEM item = nm.itemOld.hItem;
    ++m_deletions;
    auto forget = [item](HTREEITEM& held) {
        if (held == item)
            held = nullptr;
    };
    forget(m_nativeMove.hOld);
    forget(m_nativeMove.hNew);
    forget(m_hAnchor); // a deleted anchor is none: the caret serves again
    forget(m_hAsked);
    forget(m_announcedCaret);
    for (HeldItem* pHeld = m_pHeld; pHeld; pHeld = pHeld->m_pOuter)
        forget(pHeld->m_item);
    for (Tracking* pTracking = m_pTracking; pTracking; pTracking = pTracking->pOuter) {
        if (pTracking->pRemembered)
            pTracking->pRemembered->erase(item);
    }
    if (m_bDestroying) {
        m_selected.erase(item);
        m_ids.Forget(item);
        return;
    }

    if (item == GetCaretItem()) {
        if (HTREEITEM candidate = FindCaretAfterDelete(item))
            SetItemState(candidate, kFocused, kFocused, TRUE);
        else
            SetItemState(item, 0, kFocused, TRUE);
    }
    if (IsSelected(item))
        SetItemState(item, 0, kSelected, TRUE);
    m_selected.erase(item); // a deselection the parent refused included
    m_ids.Forget(item);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMultiTree::BeforeDelete(HTREEITEM item)
{
    // The branch's selection goes first, with notifications. A caret inside the branch goes to
    // where it would go if the branch were one item, so that the deletion of each of its items
    // does not move it again.
    if (m_bDestroying)
        return;
    const bool everything = !item || item == TVI_ROOT;
    SetDescendantsSelected(everything ? TVI_ROOT : item, FALSE, TRUE);
    HTREEITEM caret = GetCaretItem();
    if (!caret || caret == item)
        return;
    if (!everything && !IsDescendant(caret, item))
        return;
    if (HTREEITEM candidate = everything ? nullptr : FindCaretAfterDelete(item))
        SetItemState(candidate, kFocused, kFocused, TRUE);
    else
        SetItemState(caret, 0, kFocused, TRUE);
}

bool CMultiTree::IsDescendant(HTREEITEM item, HTREEITEM ancestor) const
{
    for (HTREEITEM parent = GetParentItem(item); parent; parent = GetParentItem(parent)) {
        if (parent == ancestor)
            return true;
    }
    return false;
}

HTREEITEM CMultiTree::NextVisibleAfterBranch(HTREEITEM item) const
{
    for (HTREEITEM level = item; level; level = GetParentItem(level)) {
        if (HTREEITEM next = GetNextSiblingItem(level))
            return next;
    }
    return nullptr;
}

HTREEITEM CMultiTree::FindCaretAfterDelete(HTREEITEM item) const
{
    // The item's own branch holds no selection by now (it was deselected on its way out), so
    // only the walk to the next visible item must step over it.
    auto usable = [item](HTREEITEM candidate) { return candidate && candidate != item; };
    if (HTREEITEM next = NextSelected(item); usable(next))
        return next;
    if (HTREEITEM first = FirstSelected(); usable(first))
        return first;
    if (HTREEITEM next = NextVisibleAfterBranch(item); usable(next))
        return next;
    HTREEITEM first = GetRootItem();
    if (first == item)
        first = NextVisibleAfterBranch(item);
    return usable(first) ? first : nullptr;
}

bool CMultiTree::OnItemChanging(const NMTVITEMCHANGE& change)
{
    // Tree-views that select and deselect items on their own around caret moves and clicks
    // announce each change here: only the changes this class makes may pass.
    return ((change.uStateNew ^ change.uStateOld) & kSelected) && !m_bWritingState;
}

void CMultiTree::OnNativeSelChanging(const NMTREEVIEWW& nm)
{
    if (m_bDestroying)
        return;
    // The native control is about to move its caret and, on its own, to deselect the old caret
    // and select the new one. Their bits are put back when it is done.
    m_nativeMove.hOld = nm.itemOld.hItem;
    m_nativeMove.hNew = nm.itemNew.hItem;
    m_nativeMove.oldSelected = IsSelected(m_nativeMove.hOld) ? kSelected : 0;
    m_nativeMove.newSelected = IsSelected(m_nativeMove.hNew) ? kSelected : 0;
    m_nativeMove.pending = true;
}

void CMultiTree::OnNativeSelChanged()
{
    if (!m_nativeMove.pending)
        return;
    m_nativeMove.pending = false;
    // What the move can have changed is written back without asking: an unselected new caret may
    // have been selected, a selected old one deselected.
    if (m_nativeMove.hNew && !m_nativeMove.newSelected)
        WriteState(m_nativeMove.hNew, 0, kSelected);
    if (m_nativeMove.hOld && m_nativeMove.oldSelected)
        WriteState(m_nativeMove.hOld, kSelected, kSelected);
}
