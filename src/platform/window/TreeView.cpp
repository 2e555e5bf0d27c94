#include "platform/window/TreeView.h"

namespace platform {

bool TreeCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    // The tree-view's class exists only once someone asked for it; a host that never uses common
    // controls itself (a script host) has not.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateSubclassed(0, WC_TREEVIEWW, style, rect, parent, id);
}

} // namespace platform
