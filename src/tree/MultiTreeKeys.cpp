// The keyboard of CMultiTree: arrows, Home, End and the page keys move the caret and the selection
// with Ctrl and Shift, Space toggles, Ctrl+A selects every visible item, Ctrl+C copies the
// selected labels, and typed letters find items by the start of their labels.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/window/Clipboard.h"
#include "tree/MultiTree.h"
#include "tree/ScopedValue.h"

namespace {

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Letters typed within this pause of each other make one prefix.
constexpr DWORD kTypingPauseMs = 1000;

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

void CMultiTree::OnKeyDown(WPARAM nChar, LPARAM lParam)
{
    const Gesture gesture(*this);
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    HTREEITEM caret = GetCaretItem();
    const bool caretSelected = caret && IsSelected(caret);
    const bool expanded = caret && GetNativeState(caret, TVIS_EXPANDED);

    HTREEITEM target = nullptr;
    switch (nChar) {
    case VK_SPACE:
        if (caret)
            SetItemState(caret, caretSelected ? 0 : kSelected, kSelected, TRUE);
        DefaultProc(WM_KEYDOWN, nChar, lParam);
        return;
    case VK_UP:
        target = caret ? GetPrevVisibleItem(caret) : nullptr;
        break;
    case VK_DOWN:
        target = caret ? GetNextVisibleItem(caret) : nullptr;
        break;
    case VK_LEFT:
        if (expanded) {
            NativeCollapse(caret, WM_KEYDOWN, nChar, lParam);
            return;
        }
        target = caret ? GetParentItem(caret) : nullptr;
        break;
    case VK_RIGHT:
        if (!expanded) {
            DefaultProc(WM_KEYDOWN, nChar, lParam); // expands the caret
            return;
        }
        target = caret ? GetChildItem(caret) : nullptr;
        break;
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        MoveTo(JumpTarget(nChar, caret), ctrl, shift);
        return;
    case VK_SUBTRACT: // the native control collapses the caret
        NativeCollapse(caret, WM_KEYDOWN, nChar, lParam);
        return;
    case VK_MULTIPLY: {
        // The native control expands the caret's whole branch, one item at a time.
        const BulkChange bulk(*this, true);
        DefaultProc(WM_KEYDOWN, nChar, lParam);
        return;
    }
    case 'A':
        if (ctrl && !shift) {
            SetAllSelected(TRUE); // the caret stays
            return;
        }
        DefaultProc(WM_KEYDOWN, nChar, lParam);
        return;
    case 'C':
        if (ctrl && !shift) {
            CopySelection();
            return;
        }
        DefaultProc(WM_KEYDOWN, nChar, lParam);
        return;
    default:
        DefaultProc(WM_KEYDOWN, nChar, lParam);
        return;
    }

    const bool moves = target != nullptr;
    if (!moves)
        target = caret;
    if (!m_hAnchor)
        m_hAnchor = caret;
    // The key ends wherever the parent deleted items while hearing of it.
    const DeletionWatch deletions(*this);
    // The parent may refuse the move before anything changed; its answer stands for the
    // target's own selection, which is then announced only as done.
    if (moves) {
        NMTREEVIEWW nm = MakeNotify(TVN_SELCHANGINGW);
        FillItem(nm.itemNew, target);
        if (SendNotify(&nm.hdr) || deletions.Happened())
            return;
    }
    ScopedValue<HTREEITEM> asked(m_hAsked, moves && !ctrl ? target : nullptr);
    if (!ctrl && !shift) {
        m_hAnchor = nullptr;
        SetAllSelectedExcept(FALSE, target);
    }
    if (!moves || deletions.Happened())
        return;

    SetItemState(caret, 0, kSelected, FALSE);
    if (deletions.Happened())
        return;
    DefaultProc(WM_KEYDOWN, nChar, lParam); // the native control moves its caret and scrolls
    if (deletions.Happened())
        return;
    if (shift) {
        SelectSpan(m_hAnchor, target, TRUE);
        if (!deletions.Happened() && GetCaretItem() != target)
            SetItemState(target, kFocused, kFocused, FALSE);
    } else if (ctrl) {
        SetItemState(caret, caretSelected ? kSelected : 0, kSelected, FALSE);
        if (!deletions.Happened())
            SetItemState(target, kFocused, kFocused, FALSE);
    } else {
        SetItemState(target, kSelected | kFocused, kSelected | kFocused, FALSE);
    }
}

HTREEITEM CMultiTree::JumpTarget(WPARAM key, HTREEITEM caret) const
{
    if (key == VK_HOME)
        return GetRootItem();
    if (key == VK_END)
        return GetNextItem(nullptr, TVGN_LASTVISIBLE);
    if (!caret)
        return GetRootItem();
    // A page is the rows that fit the client area, less the one kept in view, as the native
    // control pages; short of a full page the first or last row.
    const int rows = std::max(1, static_cast<int>(Send(TVM_GETVISIBLECOUNT)) - 1);
    HTREEITEM target = caret;
    for (int i = 0; i < rows; ++i) {
        HTREEITEM next = key == VK_NEXT ? GetNextVisibleItem(target) : GetPrevVisibleItem(target);
        if (!next)
            break;
        target = next;
    }
    return target;
}

void CMultiTree::MoveTo(HTREEITEM target, bool ctrl, bool shift)
{
    const Gesture gesture(*this);
    HTREEITEM caret = GetCaretItem();
    if (!target)
        return;
    if (!m_hAnchor)
        m_hAnchor = caret ? caret : target;
    const DeletionWatch deletions(*this);
    // As for the arrows, the parent may refuse before anything changed.
    if (target != caret) {
        NMTREEVIEWW nm = MakeNotify(TVN_SELCHANGINGW);
        FillItem(nm.itemNew, target);
        if (SendNotify(&nm.hdr) || deletions.Happened())
            return;
    }
    ScopedValue<HTREEITEM> asked(m_hAsked, (shift || !ctrl) && target != caret ? target : nullptr);
    if (shift) {
        SelectSpan(m_hAnchor, target, !ctrl); // Ctrl+Shift adds the span
    } else if (!ctrl) {
        m_hAnchor = nullptr;
        SetAllSelectedExcept(FALSE, target);
        if (!deletions.Happened())
            SetItemState(target, kSelected, kSelected, FALSE);
    }
    if (deletions.Happened())
        return;
    SetItemState(target, kFocused, kFocused, FALSE);
    EnsureVisible(target);
}

UINT CMultiTree::TypedPrefixMessage()
{
    static const UINT message = RegisterWindowMessageW(L"RUVFileTree.TypedPrefix");
    return message;
}

std::wstring CMultiTree::GetTypedPrefix() const
{
    return GetTickCount() - m_lastTyped > kTypingPauseMs ? std::wstring() : m_typed;
}

void CMultiTree::OnChar(WPARAM character)
{
    if (character < L' ' || character == 0x7F)
        return; // control characters (Ctrl+A, Backspace, Enter, Escape) find nothing
    const DWORD now = GetTickCount();
    if (now - m_lastTyped > kTypingPauseMs)
        m_typed.clear();
    m_lastTyped = now;
    const std::wstring letter(1, static_cast<wchar_t>(character));
    // The same letter again cycles through the items that start with it, from the one after the
    // caret; a longer prefix stays on the caret while the caret still matches it.
    const bool repeats = !m_typed.empty() && std::all_of(m_typed.begin(), m_typed.end(), [&letter](wchar_t c) {
        return StartsWith(std::wstring(1, c), letter);
    });
    m_typed = repeats ? letter : m_typed + letter;
    const bool fromCaret = !repeats && m_typed.size() > 1;
    if (HTREEITEM found = FindByPrefix(m_typed, fromCaret))
        MoveTo(found, false, false);
}

HTREEITEM CMultiTree::FindByPrefix(const std::wstring& prefix, bool fromCaret) const
{
    HTREEITEM caret = GetCaretItem();
    HTREEITEM first = caret ? (fromCaret ? caret : GetNextVisibleItem(caret)) : GetRootItem();
    if (!first)
        first = GetRootItem(); // after the last row, the search goes round to the first
    for (HTREEITEM item = first; item;) {
        if (StartsWith(GetItemText(item), prefix))
            return item;
        item = GetNextVisibleItem(item);
        if (!item && first != GetRootItem())
            item = GetRootItem();
        if (item == first)
            break;
    }
    return nullptr;
}

void CMultiTree::CopySelection()
{
    // One label per line, in the tree's order, indented by a tab per level below its top item.
    std::wstring text;
    std::vector<HTREEITEM> selected;
    CollectSelected(selected);
    for (HTREEITEM item : selected) {
        for (HTREEITEM parent = GetParentItem(item); parent; parent = GetParentItem(parent))
            text += L'\t';
        text += GetItemText(item) + L"\r\n";
    }
    if (!text.empty())
        platform::PutTextOnClipboard(m_hWnd, text);
}
