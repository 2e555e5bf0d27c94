// Records of what the viewer shows: a picture of a window (a 24-bit BMP file), a tree-view's items
// as indented text, how long opening took, and the sizes the tree is shown at.
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

// Writes the DPI tree is shown at and the sizes that follow it, one a line: "dpi 144",
// "images 24" (the item pictures' height), "rows 26" (an item's height), "font 16" (the
// characters' height), in pixels.
bool SaveMetrics(HWND tree, const std::wstring& path);
