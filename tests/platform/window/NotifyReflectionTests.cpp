// A parent offers each child's WM_NOTIFY to that child first; the child consumes it or lets the
// parent have it too. Nothing but the parent's own children is offered anything.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/window/NotifyReflection.h"

namespace {

constexpr UINT kConsumed = 1; // the child consumes notifications with this code
constexpr LRESULT kChildAnswer = 42, kParentAnswer = 7;
int g_offered = 0, g_parentSaw = 0;

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == platform::ReflectedNotifyMessage()) {
        ++g_offered;
        auto& reflected = *reinterpret_cast<platform::ReflectedNotify*>(lParam);
        reflected.result = kChildAnswer;
        return reflected.pHeader->code == kConsumed;
    }
    if (message == WM_NOTIFY)
        return ++g_parentSaw, kParentAnswer;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(HWND parent)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = Procedure;
    wc.lpszClassName = L"ReflectTest";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           nullptr, nullptr);
}

TEST(NotifyReflection, TheSendingChildSeesItFirstAndMayConsumeIt)
{
    HWND parent = MakeWindow(nullptr), child = MakeWindow(parent), stranger = MakeWindow(nullptr);
    auto notify = [parent](HWND from, UINT code) {
        NMHDR header{from, 5, code};
        return SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header));
    };
    ASSERT_TRUE(platform::InstallNotifyReflection(parent));
    ASSERT_TRUE(platform::InstallNotifyReflection(parent)) << "installing twice offers once";
    EXPECT_EQ(notify(child, kConsumed), kChildAnswer);
    EXPECT_EQ(notify(child, 2), kParentAnswer);
    EXPECT_EQ(g_parentSaw, 1);
    EXPECT_EQ(g_offered, 2);

    // Only children are offered: not a stranger, not the parent, not nobody, not without a header.
    EXPECT_EQ(notify(stranger, kConsumed), kParentAnswer);
    EXPECT_EQ(notify(parent, kConsumed), kParentAnswer);
    EXPECT_EQ(notify(nullptr, kConsumed), kParentAnswer);
    EXPECT_EQ(SendMessageW(parent, WM_NOTIFY, 0, 0), kParentAnswer);
    EXPECT_EQ(g_offered, 2);
    EXPECT_FALSE(platform::InstallNotifyReflection(nullptr));

    // A parent with a procedure of its own offers explicitly.
    NMHDR header{child, 5, kConsumed};
    LRESULT result = 0;
    EXPECT_FALSE(platform::OfferNotifyToSender(stranger, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_TRUE(platform::OfferNotifyToSender(parent, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(result, kChildAnswer);
    DestroyWindow(stranger);
    DestroyWindow(parent);
}

} // namespace
