// A C++ object behind a window: the window's messages reach the object's WindowProc. One window
// procedure serves every such object, whether the window is of a class of our own (register the
// class with WindowObject::Procedure and pass the object, as a WindowObject*, as CreateWindowEx's
// last argument) or an existing window whose procedure is replaced (Subclass). It finds the object
// in the window's user data, runs each message inside a MessageScope (an object released during a
// message of its own goes only when the outermost one has returned), lets no exception out, and
// detaches the object when the window is destroyed.
#pragma once

#include <windows.h>

namespace platform {

class WindowObject {
public:
    WindowObject() = default;
    virtual ~WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // What a message the object does not handle gets: the replaced procedure of a subclassed
    // window, DefWindowProc otherwise.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Routes the messages of an existing window to this object.
    void Subclass(HWND window);

    HWND m_hWnd = nullptr;

private:
    void Attach(HWND window);

    WNDPROC m_previousProc = nullptr;
};

} // namespace platform
