#include "platform/SubclassedWindow.h"

#include <commctrl.h>

namespace platform {
namespace {
constexpr UINT_PTR kSubclassId = 1;
}

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
    if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(hwnd);
        return false;
    }
    m_hWnd = hwnd;
    return true;
}

LRESULT SubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(message, wParam, lParam);
}

LRESULT SubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR refData)
{
    auto* self = reinterpret_cast<SubclassedWindow*>(refData);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        self->m_hWnd = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // No exception may leave a window procedure: a failure inside a handler ends that message.
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

} // namespace platform
