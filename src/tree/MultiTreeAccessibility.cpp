// The tree side of assistive technology: the accessible object it answers for its client area,
// accSelect's gestures, and the WinEvents raised where the selection, the caret and the expanded
// states change.
#include <oleacc.h>

#include "tree/MultiTree.h"
#include "tree/MultiTreeAccessible.h"

CMultiTree::CMultiTree() = default;

CMultiTree::~CMultiTree()
{
    // The window may outlive this object for a moment (the base class destroys it).
    DisconnectAccessible();
}

HTREEITEM CMultiTree::ChildItem(LONG id) const
{
    // Items in collapsed branches have no row, and are no children.
    HTREEITEM item = m_ids.ItemOf(id);
    RECT row{};
    return item && GetItemRect(item, row, false) ? item : nullptr;
}

void CMultiTree::SelectByFlags(HTREEITEM item, long flags)
{
    const Gesture gesture(*this);
    const HeldItem held(*this, item);
    const HWND window = m_hWnd;
    const bool focus = flags & SELFLAG_TAKEFOCUS;
    const UINT caret = focus ? kFocused : 0;
    if (flags & SELFLAG_TAKESELECTION) {
        // With the focus, a plain click.
        SetAllSelectedExcept(FALSE, item);
        if (held.Get())
            SetItemState(item, kSelected | caret, kSelected | caret, TRUE);
    } else if (flags & SELFLAG_EXTENDSELECTION) {
        // Shift+click, and with ADDSELECTION Ctrl+Shift+click: the span from the anchor.
        if (!m_hAnchor)
            m_hAnchor = GetCaretItem() ? GetCaretItem() : item;
        SelectSpan(m_hAnchor, item, !(flags & SELFLAG_ADDSELECTION));
        if (held.Get() && focus)
            SetItemState(item, kFocused, kFocused, FALSE);
    } else if (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION)) {
        // Ctrl+click, which toggles, told which way.
        const UINT selected = (flags & SELFLAG_ADDSELECTION) ? kSelected : 0;
        SetItemState(item, selected | caret, kSelected | caret, TRUE);
    } else if (focus) {
        SetItemState(item, kFocused, kFocused, FALSE);
    }
    // Taking the focus makes the item the anchor, unless it ended a span from the anchor.
    if (focus && held.Get() && !(flags & SELFLAG_EXTENDSELECTION))
        m_hAnchor = item;
    if (focus && IsWindow(window) && GetFocus() != window)
        SetFocus(window);
}

LRESULT CMultiTree::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    // The object id comes as a 32-bit number, zero-extended on x64.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || m_bDestroying)
        return DefaultProc(WM_GETOBJECT, wParam, lParam);
    if (!m_accessible)
        m_accessible = MultiTreeAccessible::Create(*this);
    if (!m_accessible)
        return DefaultProc(WM_GETOBJECT, wParam, lParam);
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(m_accessible.Get()));
}

void CMultiTree::DisconnectAccessible()
{
    if (platform::ComPtr<MultiTreeAccessible> accessible = std::move(m_accessible))
        accessible->Disconnect();
}

void CMultiTree::Announce(DWORD event, HTREEITEM item)
{
    // A single-selection tree is the native control's, and so are its events.
    if (m_bMultiSelect && !m_bDestroying && m_hWnd)
        m_events.Raise(m_hWnd, event, [this, item] { return m_ids.IdOf(item); });
}

void CMultiTree::AnnounceCaret(HTREEITEM caret)
{
    if (caret == m_announcedCaret)
        return;
    m_announcedCaret = caret;
    if (caret && GetFocus() == m_hWnd)
        Announce(EVENT_OBJECT_FOCUS, caret);
}

LRESULT CMultiTree::OnExpand(WPARAM action, HTREEITEM item)
{
    // A collapse by message notifies nobody, so the branch's selection goes first here; what the
    // message changes is announced here too.
    const Gesture gesture(*this);
    const HeldItem held(*this, item);
    if (IsCollapse(action, item))
        BeforeCollapse(item);
    const UINT expanded = held.Get() ? GetNativeState(item, TVIS_EXPANDED) : 0;
    const LRESULT result = DefaultProc(TVM_EXPAND, action, reinterpret_cast<LPARAM>(held.Get()));
    if (held.Get() && GetNativeState(item, TVIS_EXPANDED) != expanded)
        Announce(EVENT_OBJECT_STATECHANGE, item);
    AnnounceCaret(GetCaretItem());
    return result;
}
