#include "platform/window/WindowObject.h"

#include "platform/window/MessageScope.h"

namespace platform {

void WindowObject::Attach(HWND window)
{
    m_hWnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void WindowObject::Subclass(HWND window)
{
    Attach(window);
    m_previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

LRESULT WindowObject::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_previousProc ? CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam)
                          : DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowObject::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        if (auto* created = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams))
            created->Attach(hwnd);
    }
    auto* self = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes: it gets its own procedure back, and the object no longer has it.
        const WNDPROC previous = self->m_previousProc;
        if (previous)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->m_previousProc = nullptr;
        return previous ? CallWindowProcW(previous, hwnd, message, wParam, lParam)
                        : DefWindowProcW(hwnd, message, wParam, lParam);
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
