#include "platform/window/TreeCtrl.h"

namespace platform {

bool TreeCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    // The tree-view's class exists only once someone asked for it; a host that never uses common
    // controls itself (a script host) has not.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateSubclassed(0, WC_TREEVIEWW, style, rect, parent, id);
}

bool TreeCtrl::SetNativeState(HTREEITEM item, UINT state, UINT mask)
{
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = item;
    tvi.state = state;
    tvi.stateMask = mask;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
}

DWORD_PTR TreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)))
        return 0;
    return static_cast<DWORD_PTR>(tvi.lParam);
}

bool TreeCtrl::GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const
{
    // TVM_GETITEMRECT takes the item handle in the rectangle it fills.
    *reinterpret_cast<HTREEITEM*>(&rect) = item;
    return Send(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect)) != 0;
}

HTREEITEM TreeCtrl::HitTest(POINT point, UINT& flags) const
{
    TVHITTESTINFO info{};
    info.pt = point;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    flags = info.flags;
    return item;
}

HTREEITEM TreeCtrl::InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM after, DWORD_PTR data, int image)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.lParam = static_cast<LPARAM>(data);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool TreeCtrl::SetItemLook(HTREEITEM item, const wchar_t* text, int image)
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

HTREEITEM TreeCtrl::InsertItem(const wchar_t* text, HTREEITEM parent, HTREEITEM after, DWORD_PTR data)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.lParam = static_cast<LPARAM>(data);
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

} // namespace platform
