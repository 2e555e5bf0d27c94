// Mouse selection of CMultiTree: clicks with Ctrl and Shift, drag detection, and the rubber band.
// Both tracking loops pump the thread's messages, so anything, item deletion included, can
// happen while they run; the items they hold are dropped when the tree deletes them.
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "platform/window/Gdi.h"
#include "platform/window/ModalLoop.h"
#include "tree/MultiTree.h"

namespace {

constexpr UINT_PTR kBandTimer = 1;
constexpr UINT kBandTimerMs = 75;

bool Outside(POINT p, POINT origin, int cx, int cy)
{
    return std::abs(p.x - origin.x) > cx || std::abs(p.y - origin.y) > cy;
}

bool Touches(const RECT& band, const RECT& row)
{
    return band.left < row.right && band.right >= row.left && band.top < row.bottom && band.bottom >= row.top;
}

} // namespace

// Registers the items a loop holds so that OnDeleteItem can take deleted ones out of it.
class CMultiTree::ScopedTracking {
public:
    ScopedTracking(CMultiTree& tree, Tracking& tracking) : m_tree(tree), m_tracking(tracking)
    {
        m_tracking.pOuter = m_tree.m_pTracking;
        m_tree.m_pTracking = &m_tracking;
    }
    ~ScopedTracking() { m_tree.m_pTracking = m_tracking.pOuter; }
    ScopedTracking(const ScopedTracking&) = delete;
    ScopedTracking& operator=(const ScopedTracking&) = delete;

private:
    CMultiTree& m_tree;
    Tracking& m_tracking;
};

void CMultiTree::OnButtonDown(bool bLeft, UINT message, WPARAM wParam, LPARAM lParam)
{
    const UINT nFlags = static_cast<UINT>(wParam);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    UINT hitFlags = 0;
    if (HTREEITEM item = HitTest(point, hitFlags)) {
        if (hitFlags & TVHT_ONITEMBUTTON) {
            if (bLeft) // the native control opens or closes the item
                NativeCollapse(item, message, wParam, lParam);
            else
                DefaultProc(message, wParam, lParam);
            return;
        }
        if (bLeft && (GetStyle() & TVS_CHECKBOXES) && (hitFlags & TVHT_ONITEMSTATEICON)) {
            DefaultProc(message, wParam, lParam);
            return;
        }
        if (!(hitFlags & (TVHT_NOWHERE | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT))) {
            const HeldItem clicked(*this, item);
            PreSelect(clicked, bLeft, nFlags);
            if (clicked.Get())
                TrackItemClick(clicked, bLeft, nFlags, point);
            return;
        }
    }
    TrackBand(bLeft, nFlags, point);
}

void CMultiTree::PreSelect(const HeldItem& clicked, bool bLeft, UINT nFlags)
{
    const Gesture gesture(*this);
    HTREEITEM item = clicked.Get();
    const bool shift = nFlags & MK_SHIFT;
    const bool ctrl = nFlags & MK_CONTROL;
    if (!shift && !ctrl) {
        if (!IsSelected(item))
            SetAllSelectedExcept(FALSE, item);
        if (clicked.Get())
            SetItemState(item, kFocused | kSelected, kFocused | kSelected, TRUE);
        if (bLeft)
            m_hAnchor = nullptr;
    } else if (!shift) {
        m_hAnchor = bLeft ? nullptr : item;
    } else if (bLeft) {
        if (!m_hAnchor)
            m_hAnchor = GetCaretItem();
        // Without a caret either, the range is the clicked item alone.
        if (!m_hAnchor)
            m_hAnchor = item;
        SelectSpan(m_hAnchor, item, !ctrl);
        if (clicked.Get())
            SetItemState(item, kFocused, kFocused, FALSE);
    }
}

void CMultiTree::TrackItemClick(const HeldItem& clicked, bool bLeft, UINT nFlags, POINT point)
{
    HTREEITEM item = clicked.Get();
    // A window destroyed meanwhile (by a handler the loop dispatched to) ends the loop at once.
    const HWND window = m_hWnd;
    const int cxDrag = GetSystemMetrics(SM_CXDRAG);
    const int cyDrag = GetSystemMetrics(SM_CYDRAG);
    enum class Action { None, Click, Drag } action = Action::None;

    SetCapture(window);
    MSG msg;
    while (action == Action::None && GetCapture() == window && platform::GetModalMessage(msg)) {
        switch (msg.message) {
        case WM_MOUSEMOVE:
            if (Outside(POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, point, cxDrag, cyDrag))
                action = Action::Drag;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            action = Action::Click;
            break;
        default:
            platform::DispatchModalMessage(msg);
            break;
        }
    }
    if (GetCapture() == window)
        ReleaseCapture();
    // A clicked item that was deleted meanwhile ends the click with nothing done.
    if (action == Action::None || !clicked.Get())
        return;

    const Gesture gesture(*this);
    const bool ctrl = nFlags & MK_CONTROL;
    const bool shift = nFlags & MK_SHIFT;
    if (action == Action::Drag) {
        SetItemState(item, kFocused | kSelected, kFocused | kSelected, ctrl);
        if (!clicked.Get() || (GetStyle() & TVS_DISABLEDRAGDROP))
            return;
        NMTREEVIEWW nm = MakeNotify(bLeft ? TVN_BEGINDRAGW : TVN_BEGINRDRAGW);
        FillItem(nm.itemNew, item);
        nm.ptDrag = point;
        SendNotify(&nm.hdr);
        return;
    }

    if (bLeft && !shift) {
        UINT selected = kSelected;
        if (ctrl) {
            selected = IsSelected(item) ? 0 : kSelected;
        } else {
            SetAllSelectedExcept(FALSE, item);
            if (!clicked.Get())
                return;
        }
        // A plain click has made its item the selected caret on the way down, in most cases.
        if (ctrl || !IsSelected(item) || GetCaretItem() != item)
            SetItemState(item, selected | kFocused, kSelected | kFocused, ctrl);
    }
    if (GetFocus() != m_hWnd)
        SetFocus(m_hWnd);
    if (clicked.Get())
        SendClick(bLeft, item);
}

void CMultiTree::TrackBand(bool bLeft, UINT nFlags, POINT point)
{
    // A window destroyed meanwhile ends the loop at once, and nothing is drawn or sent after it.
    const HWND window = m_hWnd;
    if (GetFocus() != window)
        SetFocus(window);
    SetCapture(window);

    const bool modify = nFlags & (MK_SHIFT | MK_CONTROL);
    std::unordered_set<HTREEITEM> remembered;
    if (modify) {
        std::vector<HTREEITEM> selected;
        CollectSelected(selected);
        remembered.insert(selected.begin(), selected.end());
    }
    Tracking tracking{&remembered};
    ScopedTracking scope(*this, tracking);

    platform::ScopedClientDC dc(m_hWnd);
    const platform::DragRectPainter painter(dc.Get());
    const SIZE border{1, 1};
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int cxDrag = GetSystemMetrics(SM_CXDRAG);
    const int cyDrag = GetSystemMetrics(SM_CYDRAG);
    SetTimer(m_hWnd, kBandTimer, kBandTimerMs, nullptr);

    // The start point is kept in scrolled coordinates, so that the band stays anchored to the
    // rows it started on while the tree scrolls.
    int rowHeight = 0;
    RECT rootRect;
    if (HTREEITEM root = GetRootItem(); root && GetItemRect(root, rootRect, false))
        rowHeight = rootRect.bottom - rootRect.top;
    const POINT start{point.x + GetScrollPos(m_hWnd, SB_HORZ), point.y + GetScrollPos(m_hWnd, SB_VERT) * rowHeight};

    bool started = false;
    RECT band{};
    MSG msg;
    bool endedByMessage = false;
    while (GetCapture() == window && platform::GetModalMessage(msg)) {
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
            endedByMessage = true;
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            SetAllSelected(FALSE);
            endedByMessage = true;
            break;
        }
        POINT p{};
        if (msg.message == WM_MOUSEMOVE) {
            p = POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        } else if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == kBandTimer) {
            // Outside the window the timer stands for a mouse move: it keeps the tree scrolling.
            p = msg.pt;
            ScreenToClient(m_hWnd, &p);
            if (PtInRect(&client, p)) {
                platform::DispatchModalMessage(msg);
                continue;
            }
        } else {
            platform::DispatchModalMessage(msg);
            continue;
        }

        if (!started) {
            if (!Outside(p, point, cxDrag, cyDrag))
                continue;
            started = true;
            if (!modify)
                SetAllSelected(FALSE);
            if (!IsWindow(window))
                break; // the parent destroyed it while hearing of the change
            UpdateWindow(m_hWnd);
            band = RECT{start.x, start.y, start.x, start.y};
            painter.Draw(band, border);
        }
        painter.Draw(band, border); // erase

        if (p.y < client.top)
            Send(WM_VSCROLL, SB_LINEUP);
        else if (p.y >= client.bottom)
            Send(WM_VSCROLL, SB_LINEDOWN);
        if (p.x < client.left)
            Send(WM_HSCROLL, SB_LINELEFT);
        else if (p.x >= client.right)
            Send(WM_HSCROLL, SB_LINERIGHT);

        const POINT from{start.x - GetScrollPos(m_hWnd, SB_HORZ), start.y - GetScrollPos(m_hWnd, SB_VERT) * rowHeight};
        band = RECT{std::min(from.x, p.x), std::min(from.y, p.y), std::max(from.x, p.x), std::max(from.y, p.y)};
        ApplyBand(band, nFlags, remembered);
        if (!IsWindow(window))
            break;
        painter.Draw(band, border);
    }

    if (!IsWindow(window)) {
        if (endedByMessage)
            platform::DispatchModalMessage(msg);
        return;
    }
    KillTimer(window, kBandTimer);
    if (GetCapture() == window)
        ReleaseCapture();
    if (started)
        painter.Draw(band, border);
    else if (!modify)
        SetAllSelected(FALSE); // a click on empty space clears the selection
    SendClick(bLeft, nullptr);
    if (endedByMessage)
        platform::DispatchModalMessage(msg);
}

void CMultiTree::ApplyBand(const RECT& rect, UINT nFlags, std::unordered_set<HTREEITEM>& remembered)
{
    const Gesture gesture(*this);
    DeletionWatch deletions(*this);
    do {
        ApplyBandPass(rect, nFlags, remembered, deletions);
    } while (deletions.StartOver());
    UpdateWindow(m_hWnd);
}

void CMultiTree::ApplyBandPass(const RECT& rect, UINT nFlags, std::unordered_set<HTREEITEM>& remembered,
                               const DeletionWatch& deletions)
{
    const bool ctrl = nFlags & MK_CONTROL;
    const bool shift = nFlags & MK_SHIFT;
    // Only rows under the band, selected rows and remembered rows can change; they are visited in
    // the tree's order.
    std::vector<Row> rows = RowsUnder(rect);
    std::unordered_set<HTREEITEM> under;
    for (const Row& row : rows)
        under.insert(row.item);
    std::vector<HTREEITEM> others;
    for (const auto* items : {&m_selected, &remembered}) {
        for (HTREEITEM item : *items) {
            if (under.insert(item).second)
                others.push_back(item);
        }
    }
    const std::vector<Row> otherRows = RowsOf(others);
    rows.insert(rows.end(), otherRows.begin(), otherRows.end());
    std::inplace_merge(rows.begin(), rows.end() - static_cast<std::ptrdiff_t>(otherRows.size()), rows.end(),
                       [](const Row& x, const Row& y) { return x.rect.top < y.rect.top; });

    for (const Row& row : rows) {
        if (deletions.Happened())
            return;
        HTREEITEM item = row.item;
        const bool touched = Touches(rect, row.rect);
        const bool isRemembered = remembered.count(item) != 0;
        const bool selected = IsSelected(item);
        if (touched) {
            if (!selected && !isRemembered)
                SetItemState(item, kSelected, kSelected, FALSE);
            else if (isRemembered && ctrl) {
                if (selected)
                    SetItemState(item, 0, kSelected, FALSE);
            } else if (isRemembered && shift)
                remembered.erase(item);
        } else if (isRemembered) {
            if (!selected)
                SetItemState(item, kSelected, kSelected, FALSE);
        } else if (selected) {
            SetItemState(item, 0, kSelected, FALSE);
        }
    }
}

std::vector<CMultiTree::Row> CMultiTree::RowsUnder(const RECT& band) const
{
    std::vector<Row> rows;
    Row row{GetFirstVisibleItem(), {}};
    if (!row.item || !GetItemRect(row.item, row.rect, false))
        return rows;
    auto step = [this](Row& at, HTREEITEM next) {
        RECT rect{};
        if (!next || !GetItemRect(next, rect, false))
            return false;
        at = Row{next, rect};
        return true;
    };
    // Up from the first row in view to one that starts at or above the band, then down past it.
    while (row.rect.top > band.top && step(row, GetPrevVisibleItem(row.item))) {}
    do {
        if (Touches(band, row.rect))
            rows.push_back(row);
        else if (row.rect.top > band.bottom)
            break;
    } while (step(row, GetNextVisibleItem(row.item)));
    return rows;
}

void CMultiTree::SendClick(bool bLeft, HTREEITEM item)
{
    NMTREEVIEWW nm = MakeNotify(bLeft ? NM_CLICK : NM_RCLICK);
    if (!item) {
        NMHDR header = nm.hdr; // empty space: a plain NMHDR
        SendNotify(&header);
        return;
    }
    FillItem(nm.itemNew, item);
    SendNotify(&nm.hdr);
}
