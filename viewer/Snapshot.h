// Records of what the viewer shows: a picture of a window (a 24-bit BMP file), a tree-view's items
// as indented text, and how long opening took.
#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of window's menu bar and client area, children included (the window
// must be on top).
bool SaveWindowBitmap(HWND window, const std::wstring& path);

// Writes every item of tree, two spaces per level, "[selected]" after selected items, expanded or
// not; UTF-8.
bool SaveTreeText(HWND tree, const std::wstring& path);

// Writes how long opening took, one figure a line: "read 120.5 ms", "build 300.2 ms",
// "first paint 15.0 ms", "items 100000".
bool SaveTiming(const std::wstring& path, double readMs, double buildMs, double paintMs, unsigned items);
