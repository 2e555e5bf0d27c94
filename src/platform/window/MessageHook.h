// Handlers that see a window's messages before its own procedure does, for a window whose
// procedure is someone else's (a base class's, a native control's): the window's procedure is
// replaced once, and the old one gets every message after the handlers have seen it, unless one
// of them answers it. Each handler is kept under a key of its owner; they all go when the window
// is destroyed. The windows of every thread share the records.
#pragma once

#include <windows.h>

#include <functional>

namespace platform {

// Sees a message first; returns true when it answered it (with result), and the window's own
// procedure then does not get it. An exception a handler throws ends that message (result 0).
using MessageHook = std::function<bool(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

// Adds hook to window's handlers under key, in place of the one already there under key; false
// when window is none, or its procedure cannot be replaced.
bool InstallMessageHook(HWND window, const void* key, MessageHook hook);

// Removes the handler under key, if window has one.
void RemoveMessageHook(HWND window, const void* key);

} // namespace platform
