// The resolution a window is shown at, in dots per inch, and following its changes.
#pragma once

#include <windows.h>

#include <functional>

namespace platform {

// 96 DPI is 100 %; displays are set from 100 % to 500 %.
constexpr UINT kDefaultDpi = USER_DEFAULT_SCREEN_DPI;
constexpr UINT kMinimumDpi = kDefaultDpi, kMaximumDpi = 5 * kDefaultDpi;

// A DPI that a message or the system gave, brought into the range displays are set to: nothing
// sized from it may be empty or absurdly large.
constexpr UINT ClampDpi(UINT dpi) { return dpi < kMinimumDpi ? kMinimumDpi : dpi > kMaximumDpi ? kMaximumDpi : dpi; }

// The DPI window is shown at: GetDpiForWindow's answer where user32 has it (looked up when first
// needed: older systems lack it), the LOGPIXELSY of the window's device context otherwise; clamped.
UINT WindowDpi(HWND window);

// Calls onChange with window's new DPI (clamped) whenever the window may be shown at another
// one: on WM_DPICHANGED, whose wParam carries it (a top-level window hears it, and a host may
// forward it to a control's window); on WM_DPICHANGED_AFTERPARENT, which a child hears after its
// top-level window changed; and when the window moves to another parent, which may be on another
// display (WindowDpi answers for both). The messages go on to the window's own procedure. Keeps
// onChange under key until StopFollowingDpi or the window's destruction; false when window is none.
bool FollowDpi(HWND window, const void* key, std::function<void(UINT dpi)> onChange);
void StopFollowingDpi(HWND window, const void* key);

} // namespace platform
