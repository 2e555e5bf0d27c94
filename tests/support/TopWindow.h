// A visible top-level window for a test program to put controls in. Wine waits for a window
// manager whenever a top-level window is hidden or destroyed, so each program makes one and keeps
// it until it ends.
#pragma once

#include <windows.h>

inline HWND MakeTopWindow(const wchar_t* className, const wchar_t* title)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 500, 500, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}
