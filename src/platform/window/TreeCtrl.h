// A thin typed facade over a native tree-view window: one small method per message. Every
// message goes through Send, which counts them, so that benchmarks can tell how many messages
// a gesture costs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/window/SubclassedWindow.h"

namespace platform {

class TreeCtrl : public SubclassedWindow {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        ++m_messagesSent;
        return SendMessageW(m_hWnd, message, wParam, lParam);
    }
    unsigned long long MessagesSent() const { return m_messagesSent; }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const
    {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetCaretItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }

    // The item's own state bits under mask, as the native control stores them.
    UINT GetNativeState(HTREEITEM item, UINT mask) const
    {
        return static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask)) & mask;
    }
    bool SetNativeState(HTREEITEM item, UINT state, UINT mask);
    // Moves the native caret (TVGN_CARET); null removes it.
    bool SelectCaret(HTREEITEM item) { return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
    bool Expand(HTREEITEM item, UINT action) { return Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0; }

    DWORD_PTR GetItemData(HTREEITEM item) const;
    bool GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const;
    HTREEITEM HitTest(POINT point, UINT& flags) const;
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }

    HTREEITEM InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM after, DWORD_PTR data);
    // One insert carrying text, item data and image (also the selected image) together.
    HTREEITEM InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM after, DWORD_PTR data, int image);
    // Sets the text (unless null) and the image and selected image (unless negative) in one message.
    bool SetItemLook(HTREEITEM item, const wchar_t* text, int image);
    // Deletes the item and its subtree in the native control, without any selection handling.
    bool DeleteNativeItem(HTREEITEM item) { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }

private:
    mutable unsigned long long m_messagesSent = 0;
};

} // namespace platform
