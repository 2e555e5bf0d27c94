// A typed facade over a native tree-view window: one small method per message, over whatever
// holds the window handle. TreeView is the facade over a bare handle it does not own (what hosts,
// snapshots and tests have); TreeCtrl is the same facade over a window of its own, made and
// subclassed by its object (the layer that CMultiTree builds on). Every message goes through Send,
// which counts them, so that benchmarks can tell how many messages a gesture costs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>

#include "platform/window/SubclassedWindow.h"

namespace platform {

// A window handle that is only borrowed.
class WindowHandle {
public:
    explicit WindowHandle(HWND window = nullptr) : m_hWnd(window) {}
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    HWND m_hWnd;
};

template <typename Base>
class TreeViewT : public Base {
public:
    using Base::Base;

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        ++m_messagesSent;
        return SendMessageW(this->m_hWnd, message, wParam, lParam);
    }
    unsigned long long MessagesSent() const { return m_messagesSent; }

    // Items and the relations between them.
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
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }

    // What an item shows and holds.
    std::wstring GetItemText(HTREEITEM item) const
    {
        wchar_t text[1024] = {};
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = text;
        tvi.cchTextMax = static_cast<int>(std::size(text));
        return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) ? std::wstring(text) : std::wstring();
    }
    int GetItemImage(HTREEITEM item) const
    {
        TVITEMW tvi{};
        tvi.mask = TVIF_IMAGE;
        tvi.hItem = item;
        return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) ? tvi.iImage : -1;
    }
    DWORD_PTR GetItemData(HTREEITEM item) const
    {
        TVITEMW tvi{};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) ? static_cast<DWORD_PTR>(tvi.lParam) : 0;
    }
    // The item's own state bits under mask, as the native control stores them.
    UINT GetNativeState(HTREEITEM item, UINT mask) const
    {
        return static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask)) & mask;
    }
    bool SetNativeState(HTREEITEM item, UINT state, UINT mask)
    {
        TVITEMW tvi{};
        tvi.mask = TVIF_STATE;
        tvi.hItem = item;
        tvi.state = state;
        tvi.stateMask = mask;
        return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
    }
    // Sets the text (unless null) and the image and selected image (unless negative) in one message.
    bool SetItemLook(HTREEITEM item, const wchar_t* text, int image)
    {
        TVITEMW tvi{};
        tvi.hItem = item;
        if (text) {
            tvi.mask |= TVIF_TEXT;
            tvi.pszText = const_cast<wchar_t*>(text);
        }
        if (image >= 0) {
            tvi.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            tvi.iImage = image;
            tvi.iSelectedImage = image;
        }
        return tvi.mask == 0 || Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
    }

    // Where items are.
    bool GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const
    {
        // TVM_GETITEMRECT takes the item handle in the rectangle it fills.
        *reinterpret_cast<HTREEITEM*>(&rect) = item;
        return Send(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect)) != 0;
    }
    HTREEITEM HitTest(POINT point, UINT& flags) const
    {
        TVHITTESTINFO info{};
        info.pt = point;
        const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        flags = info.flags;
        return item;
    }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(this->m_hWnd, GWL_STYLE)); }

    // Changes.
    // One insert carrying text, item data and, unless negative, the image (also the selected image).
    HTREEITEM InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM after, DWORD_PTR data, int image = -1)
    {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(text);
        insert.item.lParam = static_cast<LPARAM>(data);
        if (image >= 0) {
            insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            insert.item.iImage = image;
            insert.item.iSelectedImage = image;
        }
        return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    // Moves the native caret (TVGN_CARET); null removes it.
    bool SelectCaret(HTREEITEM item) { return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
    bool Expand(HTREEITEM item, UINT action) { return Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0; }
    bool EnsureVisible(HTREEITEM item) { return Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    HIMAGELIST SetImageList(HIMAGELIST images)
    {
        return reinterpret_cast<HIMAGELIST>(Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)));
    }
    // Deletes the item and its subtree in the native control, without any selection handling.
    bool DeleteNativeItem(HTREEITEM item) { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }

private:
    mutable unsigned long long m_messagesSent = 0;
};

// The facade over a tree-view someone else owns.
using TreeView = TreeViewT<WindowHandle>;

// A tree-view window of its own, subclassed by its object.
class TreeCtrl : public TreeViewT<SubclassedWindow> {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
};

} // namespace platform
