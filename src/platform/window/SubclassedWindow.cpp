#include "platform/window/SubclassedWindow.h"

#include "platform/window/MessageScope.h"

namespace platform {

SubclassedWindow::~SubclassedWindow() { DestroyWindow(); }

void SubclassedWindow::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd); // WM_NCDESTROY detaches the object
}

bool SubclassedWindow::CreateSubclassed(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect,
                                        HWND parent, UINT id)
{
    HWND hwnd = CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd)
        return false;
    m_hWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pPreviousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    return true;
}

LRESULT SubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(message, wParam, lParam);
}

LRESULT SubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_pPreviousProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SubclassedWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = self->m_pPreviousProc;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    // No exception may leave a window procedure: a failure inside a handler ends that message.
    MessageScope scope;
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

} // namespace platform
