// A hidden window that holds a control's windows while no container shows them: before in-place
// activation and after deactivation. Each thread has one, alive while any lease on it is; windows
// still parked when the last lease ends go with it, so a control destroys its own first.
#pragma once

#include <windows.h>

namespace platform {

class ParkingLease {
public:
    // Takes a lease on the calling thread's parking window, creating it when it is the first.
    ParkingLease();
    ~ParkingLease();

    // The parking window; null only if it could not be created.
    HWND Window() const;

    ParkingLease(const ParkingLease&) = delete;
    ParkingLease& operator=(const ParkingLease&) = delete;
};

} // namespace platform
