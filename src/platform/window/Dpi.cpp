#include "platform/window/Dpi.h"

#include <utility>

#include "platform/window/Gdi.h"
#include "platform/window/MessageHook.h"

namespace platform {

UINT WindowDpi(HWND window)
{
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    if (dpi == 0) {
        const ScopedClientDC dc(window);
        dpi = dc ? static_cast<UINT>(GetDeviceCaps(dc.Get(), LOGPIXELSY)) : 0;
    }
    return ClampDpi(dpi);
}

bool FollowDpi(HWND window, const void* key, std::function<void(UINT dpi)> onChange)
{
    if (!window || !onChange)
        return false;
    auto follow = [parent = GetParent(window), onChange](HWND hwnd, UINT message, WPARAM wParam, LPARAM,
                                                         LRESULT&) mutable {
        if (message == WM_DPICHANGED) {
            onChange(ClampDpi(LOWORD(wParam))); // the HIWORD, for the other axis, is the same
        } else if (message == WM_DPICHANGED_AFTERPARENT ||
                   (message == WM_WINDOWPOSCHANGED && GetParent(hwnd) != parent)) {
            parent = GetParent(hwnd);
            onChange(WindowDpi(hwnd));
        }
        return false;
    };
    return InstallMessageHook(window, key, std::move(follow));
}

void StopFollowingDpi(HWND window, const void* key) { RemoveMessageHook(window, key); }

} // namespace platform
