// The clipboard, for what a window puts on it.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Replaces what the clipboard holds with text (CF_UNICODETEXT), owned by window. False when the
// clipboard is busy or there is no memory for the text.
bool PutTextOnClipboard(HWND window, const std::wstring& text);

} // namespace platform
