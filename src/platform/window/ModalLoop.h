// Message pumping for modal loops that run inside a message handler.
#pragma once

#include <windows.h>

namespace platform {

// Gets the next message of the thread. False when the loop must end: GetMessage failed, or it
// returned WM_QUIT, which is posted again with its exit code so that the application's own
// message loop still sees it.
inline bool GetModalMessage(MSG& msg)
{
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    return got > 0;
}

inline void DispatchModalMessage(const MSG& msg) { DispatchMessageW(&msg); }

} // namespace platform
