// A parent offers each child's WM_NOTIFY to that child first; the child consumes it or lets the
// parent have it too.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/window/NotifyReflection.h"

namespace {

constexpr UINT kConsumedCode = 1;
constexpr LRESULT kChildAnswer = 42;
constexpr LRESULT kParentAnswer = 7;

struct Counts {
    int offeredToChild = 0;
    int seenByParent = 0;
};
Counts g_counts;

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == platform::ReflectedNotifyMessage()) {
        ++g_counts.offeredToChild;
        auto& reflected = *reinterpret_cast<platform::ReflectedNotify*>(lParam);
        if (reflected.pHeader->code != kConsumedCode)
            return FALSE;
        reflected.result = kChildAnswer;
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        ++g_counts.seenByParent;
        return kParentAnswer;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(const wchar_t* className, WNDPROC proc, HWND parent)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class NotifyReflection : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_counts = {};
        parent = MakeWindow(L"ReflectParent", ParentProc, nullptr);
        child = MakeWindow(L"ReflectChild", ChildProc, parent);
        ASSERT_TRUE(parent && child);
    }
    void TearDown() override { DestroyWindow(parent); }

    LRESULT Notify(HWND from, UINT code)
    {
        NMHDR header{from, 5, code};
        return SendMessageW(parent, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header));
    }

    HWND parent = nullptr;
    HWND child = nullptr;
};

TEST_F(NotifyReflection, TheSendingChildSeesItFirstAndMayConsumeIt)
{
    ASSERT_TRUE(platform::InstallNotifyReflection(parent));
    ASSERT_TRUE(platform::InstallNotifyReflection(parent)) << "installing twice offers once";
    EXPECT_EQ(Notify(child, kConsumedCode), kChildAnswer);
    EXPECT_EQ(g_counts.seenByParent, 0);
    EXPECT_EQ(Notify(child, 2), kParentAnswer);
    EXPECT_EQ(g_counts.seenByParent, 1);
    EXPECT_EQ(g_counts.offeredToChild, 2);

    // A parent with a procedure of its own offers explicitly.
    NMHDR header{child, 5, kConsumedCode};
    LRESULT result = 0;
    EXPECT_TRUE(platform::OfferNotifyToSender(parent, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(result, kChildAnswer);
}

TEST_F(NotifyReflection, OnlyChildrenAreOffered)
{
    ASSERT_TRUE(platform::InstallNotifyReflection(parent));
    HWND stranger = MakeWindow(L"ReflectStranger", ChildProc, nullptr);
    EXPECT_EQ(Notify(stranger, kConsumedCode), kParentAnswer);
    EXPECT_EQ(Notify(parent, kConsumedCode), kParentAnswer);
    EXPECT_EQ(Notify(nullptr, kConsumedCode), kParentAnswer);
    EXPECT_EQ(SendMessageW(parent, WM_NOTIFY, 0, 0), kParentAnswer) << "no header: nothing to offer";
    EXPECT_EQ(g_counts.offeredToChild, 0);
    DestroyWindow(stranger);
    EXPECT_FALSE(platform::InstallNotifyReflection(nullptr));
}

} // namespace
