// Records of what the viewer shows: a picture of a window (a 24-bit BMP file) and a tree-view's
// items as indented text.
#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of window's menu bar and client area, children included (the window
// must be on top).
bool SaveWindowBitmap(HWND window, const std::wstring& path);

// Writes every item of tree, two spaces per level, "[selected]" after selected items, expanded or
// not; UTF-8.
bool SaveTreeText(HWND tree, const std::wstring& path);
