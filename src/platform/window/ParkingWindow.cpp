#include "platform/window/ParkingWindow.h"

#include "platform/com/Module.h"

namespace platform {

namespace {

const wchar_t kClassName[] = L"RUVFileTreeParking";

struct ThreadParking {
    HWND window = nullptr;
    unsigned leases = 0;
};
thread_local ThreadParking t_parking;

HWND CreateParking()
{
    const HINSTANCE module = ThisModule();
    WNDCLASSW wc{};
    if (!GetClassInfoW(module, kClassName, &wc)) {
        wc = WNDCLASSW{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = module;
        wc.lpszClassName = kClassName;
        RegisterClassW(&wc);
    }
    // A hidden pop-up rather than a message-only window: children of message-only windows cannot
    // be created visible and measured, which controls do before they are shown.
    return CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                           nullptr, module, nullptr);
}

} // namespace

ParkingLease::ParkingLease()
{
    ++t_parking.leases;
    if (!t_parking.window)
        t_parking.window = CreateParking();
}

ParkingLease::~ParkingLease()
{
    if (--t_parking.leases == 0 && t_parking.window) {
        DestroyWindow(t_parking.window);
        t_parking.window = nullptr;
    }
}

HWND ParkingLease::Window() const { return t_parking.window; }

} // namespace platform
