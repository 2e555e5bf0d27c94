// A window of an existing class (a native control) made by and for a C++ object: its messages
// reach the object's WindowProc first, and DefaultProc passes them on to the class's own
// procedure. The object owns the window and destroys it.
//
// The window procedure is replaced directly (GWLP_WNDPROC, the object in GWLP_USERDATA) rather
// than through comctl32's SetWindowSubclass, whose property look-up costs a server round trip
// per message under Wine.
#pragma once

#include <windows.h>

#include "platform/window/WindowObject.h"

namespace platform {

class SubclassedWindow : public WindowObject {
public:
    ~SubclassedWindow() override { DestroyWindow(); }
    void DestroyWindow()
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd); // WM_NCDESTROY detaches the object
    }

protected:
    // Creates a window of an existing class and routes its messages to WindowProc.
    bool CreateSubclassed(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect, HWND parent,
                          UINT id);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return DefaultProc(message, wParam, lParam);
    }
};

} // namespace platform
