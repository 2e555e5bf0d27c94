// A C++ object behind a window: the window's messages reach WindowProc, and DefaultProc passes a
// message on to the window's own procedure. The object owns the window and destroys it.
//
// The window procedure is replaced directly (GWLP_WNDPROC, the object in GWLP_USERDATA) rather
// than through comctl32's SetWindowSubclass, whose property look-up costs a server round trip
// per message under Wine.
#pragma once

#include <windows.h>

namespace platform {

class SubclassedWindow {
public:
    SubclassedWindow() = default;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;
    virtual ~SubclassedWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    void DestroyWindow();

protected:
    // Creates a window of an existing class and routes its messages to WindowProc.
    bool CreateSubclassed(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect, HWND parent,
                          UINT id);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pPreviousProc = nullptr;
};

} // namespace platform
