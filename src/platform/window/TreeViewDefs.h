// Tree-view declarations that MinGW's commctrl.h lacks (Windows Vista and later).
#pragma once

#include <windows.h>
#include <commctrl.h>

#ifndef TVIS_FOCUSED
// A pseudo-state: the item is the caret (TVGN_CARET).
#define TVIS_FOCUSED 0x0001
#endif

#ifndef TVN_ITEMCHANGINGW
#define TVN_ITEMCHANGINGW (TVN_FIRST - 17)
#define TVN_ITEMCHANGEDW (TVN_FIRST - 19)

// Sent before and after an item's state changes; a nonzero answer to TVN_ITEMCHANGINGW prevents
// the change.
struct NMTVITEMCHANGE {
    NMHDR hdr;
    UINT uChanged;
    HTREEITEM hItem;
    UINT uStateNew;
    UINT uStateOld;
    LPARAM lParam;
};
#endif
