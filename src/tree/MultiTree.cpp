// The selection model of CMultiTree: state changes with their notifications, and the walks over
// the visible items.
#include "tree/MultiTree.h"

#include <iterator>

#include "platform/window/NotifyReflection.h"
#include "tree/ScopedValue.h"


CMultiTree::HeldItem::HeldItem(CMultiTree& tree, HTREEITEM item) : m_tree(tree), m_item(item), m_pOuter(tree.m_pHeld)
{
    m_tree.m_pHeld = this;
}

CMultiTree::HeldItem::~HeldItem() { m_tree.m_pHeld = m_pOuter; }

CMultiTree::BulkChange::BulkChange(CMultiTree& tree, bool now) : m_tree(tree)
{
    m_tree.m_events.Begin();
    ++m_tree.m_bulkChanges;
    if (now)
        m_tree.SuspendRedraw();
}

void CMultiTree::SuspendRedraw()
{
    // A hidden tree paints nothing anyway; turning the redraw back on could show it.
    if (m_bulkChanges == 0 || m_redrawSuspended || !IsWindowVisible(m_hWnd))
        return;
    m_redrawSuspended = true;
    Send(WM_SETREDRAW, FALSE);
}

CMultiTree::BulkChange::~BulkChange()
{
    if (--m_tree.m_bulkChanges == 0 && m_tree.m_redrawSuspended) {
        m_tree.m_redrawSuspended = false;
        if (IsWindow(m_tree.m_hWnd)) {
            m_tree.Send(WM_SETREDRAW, TRUE);
            RedrawWindow(m_tree.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
    }
    m_tree.m_events.End(m_tree.m_hWnd);
}

bool CMultiTree::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    m_bDestroying = false;
    m_selected.clear();
    m_ids.Clear();
    m_announcedCaret = nullptr;
    if (!TreeCtrl::Create(style, rect, parent, id))
        return false;
    platform::InstallNotifyReflection(parent);
    return true;
}

bool CMultiTree::WriteState(HTREEITEM item, UINT state, UINT mask)
{
    ScopedValue<bool> writing(m_bWritingState, true);
    return SetNativeState(item, state, mask);
}

bool CMultiTree::MoveNativeCaret(HTREEITEM item) { return SelectCaret(item); }

BOOL CMultiTree::SetItemState(HTREEITEM item, UINT nState, UINT nStateMask, BOOL bNotifyWithFocus)
{
    if (!item)
        return FALSE;
    if (!m_bMultiSelect)
        return WriteState(item, nState, nStateMask);

    // The caret matters only to a change of the focus; a plain selection change reads one state.
    const bool touchesFocus = (nStateMask & kFocused) != 0;
    HTREEITEM caret = touchesFocus ? GetCaretItem() : nullptr;
    // The native caret move and the notifications below let the parent delete either item.
    const HeldItem held(*this, item);
    const HeldItem heldCaret(*this, caret);
    const bool isCaret = touchesFocus && caret == item;
    const bool caretSelected = caret && IsSelected(caret);
    const bool wasSelected = IsSelected(item);
    UINT state = nState & ~kFocused;
    UINT mask = nStateMask & ~kFocused;
    const UINT selectedBit = wasSelected ? kSelected : 0;

    if (touchesFocus && (nState & kFocused)) {
        if (!MoveNativeCaret(item) || !held.Get())
            return FALSE;
        // The move changes no selection bit: the old caret keeps its place in the selection and
        // the item joins it only below, with notifications.
        if (!isCaret && heldCaret.Get() && IsSelected(caret) != caretSelected)
            WriteState(caret, caretSelected ? kSelected : 0, kSelected);
        if (IsSelected(item) != wasSelected)
            WriteState(item, selectedBit, kSelected);
    } else if (isCaret) {
        MoveNativeCaret(nullptr);
        if (!held.Get())
            return FALSE;
        if (IsSelected(item) != wasSelected)
            WriteState(item, selectedBit, kSelected);
        // Taking the caret away selects the item only for a caller that wants it announced.
        if ((state & kSelected) && !bNotifyWithFocus)
            state &= ~kSelected, mask &= ~kSelected;
    }

    if ((mask & kSelected) && wasSelected != ((state & kSelected) != 0)) {
        const bool selecting = !wasSelected;
        const DWORD_PTR data = GetItemData(item);
        // A running arrow key asked for its target's selection before anything moved.
        const bool asked = selecting && item == m_hAsked;
        if (asked)
            m_hAsked = nullptr;
        else if (NotifySelection(TVN_SELCHANGINGW, item, data, selecting))
            return FALSE;
        if (!held.Get())
            return FALSE;
        WriteState(item, state & kSelected, kSelected);
        NotifySelection(TVN_SELCHANGEDW, item, data, selecting);
    }
    state &= ~kSelected;
    mask &= ~kSelected;

    if (mask == 0)
        return TRUE;
    if (!held.Get())
        return TRUE;
    return WriteState(item, state, mask);
}

UINT CMultiTree::GetItemState(HTREEITEM item, UINT nStateMask) const
{
    UINT state = GetNativeState(item, nStateMask & ~kFocused);
    if ((nStateMask & kFocused) && item && item == GetCaretItem())
        state |= kFocused;
    return state;
}

BOOL CMultiTree::SetCaretItem(HTREEITEM item)
{
    if (item)
        return SetItemState(item, kFocused, kFocused, FALSE);
    HTREEITEM caret = GetCaretItem();
    return caret ? SetItemState(caret, 0, kFocused, FALSE) : FALSE;
}

void CMultiTree::SetAllSelected(BOOL bSelect) { SetAllSelectedExcept(bSelect, nullptr); }

void CMultiTree::SetAllSelectedExcept(BOOL bSelect, HTREEITEM except)
{
    const Gesture gesture(*this);
    if (!bSelect) {
        // Only selected items change: they are visited in the tree's order, not every row.
        DeselectAll(except, SelectedItems(true, except));
        return;
    }
    // Setting a state twice changes nothing, so a walk disturbed by a deletion starts over.
    DeletionWatch deletions(*this);
    for (HTREEITEM item = GetRootItem(); item;) {
        if (item != except && !IsSelected(item))
            SetItemState(item, kSelected, kSelected, FALSE);
        item = deletions.StartOver() ? GetRootItem() : GetNextVisibleItem(item);
    }
}

void CMultiTree::DeselectAll(HTREEITEM except, const std::vector<HTREEITEM>& items)
{
    // An item deleted meanwhile has left the selected set, so a handle still in it is alive.
    for (HTREEITEM item : items) {
        if (item != except && IsSelected(item))
            SetItemState(item, 0, kSelected, FALSE);
    }
}

void CMultiTree::SelectSpan(HTREEITEM a, HTREEITEM b, BOOL bExclusive)
{
    // The ends are only compared, never used, so a pass disturbed by a deletion starts over.
    const Gesture gesture(*this);
    DeletionWatch deletions(*this);
    do {
        SelectSpanPass(a, b, bExclusive, deletions);
    } while (deletions.StartOver());
}

void CMultiTree::SelectSpanPass(HTREEITEM a, HTREEITEM b, BOOL bExclusive, const DeletionWatch& deletions)
{
    RECT rectA{}, rectB{};
    if (!a || !b || !GetItemRect(a, rectA, false) || !GetItemRect(b, rectB, false)) {
        WalkSpanPass(a, b, bExclusive, deletions);
        return;
    }
    // Between two visible ends the span is walked row by row; the rest of the selection is
    // cleared, above the span first and below it after, as a walk over every row would.
    const bool aFirst = rectA.top <= rectB.top;
    HTREEITEM first = aFirst ? a : b;
    HTREEITEM last = aFirst ? b : a;
    const LONG top = std::min(rectA.top, rectB.top);
    const LONG bottom = std::max(rectA.top, rectB.top);
    std::vector<Row> outside;
    if (bExclusive) {
        std::vector<HTREEITEM> selected(m_selected.begin(), m_selected.end());
        for (const Row& row : RowsOf(selected)) {
            if (row.rect.top < top || row.rect.top > bottom)
                outside.push_back(row);
        }
    }
    auto deselectOutside = [&](bool above) {
        for (const Row& row : outside) {
            if ((row.rect.top < top) == above && !deletions.Happened() && IsSelected(row.item))
                SetItemState(row.item, 0, kSelected, FALSE);
        }
    };
    deselectOutside(true);
    for (HTREEITEM item = first; item && !deletions.Happened(); item = GetNextVisibleItem(item)) {
        if (!IsSelected(item))
            SetItemState(item, kSelected, kSelected, FALSE);
        if (item == last || deletions.Happened())
            break;
    }
    deselectOutside(false);
}

void CMultiTree::WalkSpanPass(HTREEITEM a, HTREEITEM b, BOOL bExclusive, const DeletionWatch& deletions)
{
    auto deselect = [this](HTREEITEM item) {
        if (IsSelected(item))
            SetItemState(item, 0, kSelected, FALSE);
    };
    auto select = [this](HTREEITEM item) {
        if (!IsSelected(item))
            SetItemState(item, kSelected, kSelected, FALSE);
    };

    auto next = [&deletions](HTREEITEM item) { return deletions.NextVisible(item); };

    HTREEITEM item = GetRootItem();
    for (; item && item != a && item != b; item = next(item)) {
        if (bExclusive)
            deselect(item);
    }
    if (!item)
        return;

    // item is the end met first; the range runs to the other end, or to the last visible item
    // when the other end is not a visible item.
    HTREEITEM other = item == a ? b : a;
    select(item);
    item = next(item);
    if (a != b) {
        for (bool last = false; item && !last; item = next(item)) {
            select(item);
            last = item == other;
        }
    }
    for (; bExclusive && item; item = next(item))
        deselect(item);
}

BOOL CMultiTree::SetDescendantsSelected(HTREEITEM parent, BOOL bSelect, BOOL bRecurse)
{
    // Collapses and deletions rely on the whole branch being done, whatever the parent deletes
    // while it hears of it: a walk disturbed by a deletion starts over at the branch's first
    // child, while the branch is still there. Setting a state twice changes nothing.
    const Gesture gesture(*this);
    const bool everything = !parent || parent == TVI_ROOT;
    const HeldItem held(*this, everything ? TVI_ROOT : parent);
    auto first = [&] { return everything ? GetRootItem() : held.Get() ? GetChildItem(parent) : nullptr; };
    BOOL caretFound = FALSE;
    DeletionWatch deletions(*this);
    for (HTREEITEM child = first(); child;) {
        UINT state = GetItemState(child, kSelected | kFocused | TVIS_EXPANDED);
        if (((state & kSelected) != 0) != (bSelect != FALSE))
            SetItemState(child, bSelect ? kSelected : 0, kSelected, FALSE);
        if (state & kFocused)
            caretFound = TRUE;
        if (bRecurse && (state & TVIS_EXPANDED) && !deletions.Happened() &&
            SetDescendantsSelected(child, bSelect, bRecurse))
            caretFound = TRUE;
        child = deletions.StartOver() ? first() : GetNextSiblingItem(child);
    }
    return caretFound;
}

std::vector<CMultiTree::Row> CMultiTree::RowsOf(const std::vector<HTREEITEM>& items) const
{
    std::vector<Row> rows;
    rows.reserve(items.size());
    for (HTREEITEM item : items) {
        Row row{item, {}};
        if (GetItemRect(item, row.rect, false))
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) { return x.rect.top < y.rect.top; });
    return rows;
}

std::vector<HTREEITEM> CMultiTree::SelectedItems(bool hidden, HTREEITEM except) const
{
    std::vector<HTREEITEM> selected;
    selected.reserve(m_selected.size());
    std::copy_if(m_selected.begin(), m_selected.end(), std::back_inserter(selected),
                 [except](HTREEITEM item) { return item != except; });
    if (hidden && selected.size() < 2)
        return selected; // one item is in order wherever it is
    std::vector<HTREEITEM> ordered;
    ordered.reserve(selected.size());
    for (const Row& row : RowsOf(selected))
        ordered.push_back(row.item);
    if (hidden && ordered.size() != selected.size()) {
        const std::unordered_set<HTREEITEM> shown(ordered.begin(), ordered.end());
        for (HTREEITEM item : selected) {
            if (!shown.count(item))
                ordered.push_back(item);
        }
    }
    return ordered;
}

HTREEITEM CMultiTree::FirstSelected() const
{
    const std::vector<HTREEITEM> selected = SelectedItems(false);
    return selected.empty() ? nullptr : selected.front();
}

HTREEITEM CMultiTree::NextSelected(HTREEITEM item) const
{
    RECT from{};
    if (!item || !GetItemRect(item, from, false))
        return nullptr;
    HTREEITEM next = nullptr;
    LONG nextTop = 0;
    for (HTREEITEM candidate : m_selected) {
        RECT rect{};
        if (GetItemRect(candidate, rect, false) && rect.top > from.top && (!next || rect.top < nextTop))
            next = candidate, nextTop = rect.top;
    }
    return next;
}

void CMultiTree::CollectSelected(std::vector<HTREEITEM>& list) const { list = SelectedItems(false); }

BOOL CMultiTree::ExpandAncestors(HTREEITEM item)
{
    BOOL expanded = FALSE;
    for (HTREEITEM parent = item ? GetParentItem(item) : nullptr; parent; parent = GetParentItem(parent)) {
        if (!GetNativeState(parent, TVIS_EXPANDED) && Expand(parent, TVE_EXPAND))
            expanded = TRUE;
    }
    return expanded;
}

void CMultiTree::DeleteItem(HTREEITEM item)
{
    // The tree's own TVM_DELETEITEM handling deselects the branch first (BeforeDelete), whoever
    // sends the message.
    DeleteNativeItem(item);
}

LRESULT CMultiTree::SendNotify(NMHDR* pHeader)
{
    ScopedValue<BOOL> sending(m_bSendingNotify, TRUE);
    ScopedValue<const NMHDR*> own(m_pOwnNotify, pHeader);
    return SendMessageW(GetParent(m_hWnd), WM_NOTIFY, pHeader->idFrom, reinterpret_cast<LPARAM>(pHeader));
}

NMTREEVIEWW CMultiTree::MakeNotify(UINT code) const
{
    NMTREEVIEWW nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd));
    nm.hdr.code = code;
    return nm;
}

void CMultiTree::FillItem(TVITEMW& tvi, HTREEITEM item, DWORD_PTR data)
{
    tvi.mask = TVIF_HANDLE | TVIF_PARAM;
    tvi.hItem = item;
    tvi.lParam = static_cast<LPARAM>(data);
}

bool CMultiTree::NotifySelection(UINT code, HTREEITEM item, DWORD_PTR data, bool selecting)
{
    NMTREEVIEWW nm = MakeNotify(code);
    FillItem(selecting ? nm.itemNew : nm.itemOld, item, data);
    return SendNotify(&nm.hdr) != 0;
}

LRESULT CMultiTree::OnItemWrite(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool insert = message == TVM_INSERTITEMW || message == TVM_INSERTITEMA;
    // The ANSI structures lay out mask, handle and states as the wide ones do.
    const TVITEMW* written = !lParam ? nullptr
                             : insert ? &reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)->item
                                      : reinterpret_cast<const TVITEMW*>(lParam);
    const LRESULT result = DefaultProc(message, wParam, lParam);
    if (result && written && (written->mask & TVIF_STATE) && (written->stateMask & kSelected)) {
        HTREEITEM item = insert ? reinterpret_cast<HTREEITEM>(result) : written->hItem;
        if (written->state & kSelected) {
            if (m_selected.insert(item).second)
                Announce(EVENT_OBJECT_SELECTIONADD, item);
        } else if (m_selected.erase(item) != 0) {
            Announce(EVENT_OBJECT_SELECTIONREMOVE, item);
        }
    }
    return result;
}

void CMultiTree::InvalidateSelectedLabels()
{
    for (HTREEITEM item : m_selected) {
        RECT rect;
        if (GetItemRect(item, rect, true))
            InvalidateRect(m_hWnd, &rect, TRUE);
    }
}
