#include "platform/window/SubclassedWindow.h"

namespace platform {

bool SubclassedWindow::CreateSubclassed(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect,
                                        HWND parent, UINT id)
{
    HWND hwnd = CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd)
        return false;
    Subclass(hwnd);
    return true;
}

} // namespace platform
