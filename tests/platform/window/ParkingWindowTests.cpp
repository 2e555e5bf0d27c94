// The parking window: one hidden window per thread while leases last, where windows wait unseen
// until a container takes them.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/window/ParkingWindow.h"

namespace {

using platform::ParkingLease;

TEST(ParkingWindow, OneHiddenWindowPerThreadWhileLeasesLast)
{
    HWND first = nullptr;
    {
        ParkingLease one;
        ParkingLease two;
        first = one.Window();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(two.Window(), first);
        EXPECT_FALSE(IsWindowVisible(first));

        HWND elsewhere = nullptr;
        std::thread([&] {
            ParkingLease other;
            elsewhere = other.Window();
        }).join();
        EXPECT_NE(elsewhere, first) << "windows belong to their thread";
        EXPECT_FALSE(IsWindow(elsewhere)) << "gone with the other thread's last lease";
    }
    EXPECT_FALSE(IsWindow(first));
    ParkingLease again;
    EXPECT_TRUE(IsWindow(again.Window()));
}

} // namespace
