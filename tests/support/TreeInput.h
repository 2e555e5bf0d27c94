// Input as a user gives it to a tree window: modifier keys held, a button pressed at a point (after
// what the tree's mouse loop should read is queued), moves. Points are in client coordinates.
#pragma once

#include <windows.h>

namespace treeinput {

// Holds (or releases) Ctrl and Shift for the thread's keyboard state.
inline void SetModifiers(bool ctrl, bool shift)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Drops queued mouse and key input, so that a gesture starts clean.
inline void DrainInput()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
}

// Puts the cursor at point, where a gesture begins.
inline void StartGesture(HWND tree, POINT point)
{
    DrainInput();
    ClientToScreen(tree, &point);
    SetCursorPos(point.x, point.y);
}

inline void PostMove(HWND tree, POINT point)
{
    PostMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

inline void PostButtonUp(HWND tree, bool left = true)
{
    PostMessageW(tree, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, 0);
}

// Presses a button at point with keys (MK_CONTROL, MK_SHIFT) held; returns when the tree has
// handled the press and whatever was queued before it.
inline void Press(HWND tree, POINT point, bool left, UINT keys)
{
    SendMessageW(tree, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, keys | (left ? MK_LBUTTON : MK_RBUTTON),
                 MAKELPARAM(point.x, point.y));
}

// A click: the press with its release queued.
inline void Click(HWND tree, POINT point, UINT keys = 0, bool left = true)
{
    StartGesture(tree, point);
    PostButtonUp(tree, left);
    Press(tree, point, left, keys);
}

} // namespace treeinput
