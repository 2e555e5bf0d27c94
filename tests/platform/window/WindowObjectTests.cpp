// One window procedure for every C++ object behind a window: messages reach the object, nothing a
// handler throws leaves the procedure, and a destroyed window lets go of the object (a subclassed
// one gets its own procedure back first).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/window/MessageScope.h"
#include "platform/window/SubclassedWindow.h"

namespace {

class Button : public platform::SubclassedWindow {
public:
    bool Create(HWND parent) { return CreateSubclassed(0, L"BUTTON", WS_CHILD, RECT{0, 0, 50, 20}, parent, 1); }
    int seen = 0;
    WNDPROC procedureAtDestroy = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER && ++seen > 1)
            throw std::runtime_error("a failing handler");
        if (message == WM_DESTROY)
            procedureAtDestroy = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
        return message == WM_USER ? 5 : DefaultProc(message, wParam, lParam);
    }
};

TEST(WindowObject, MessagesReachTheObjectAndFailuresStayInside)
{
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Button button;
    ASSERT_TRUE(button.Create(parent));
    HWND window = button.GetSafeHwnd();
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 5);
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 0) << "the handler's exception ends the message";
    EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the class's own procedure still answers";
    button.DestroyWindow();
    EXPECT_EQ(button.GetSafeHwnd(), nullptr);
    EXPECT_EQ(button.procedureAtDestroy, platform::WindowObject::Procedure);
    DestroyWindow(parent);
}

// A scope entered and never left: the system's callback dispatcher swallowed a fault inside a
// window procedure and unwound its frames without their destructors.
[[gnu::noinline]] void EnterAndAbandonScope()
{
    alignas(platform::MessageScope) unsigned char storage[sizeof(platform::MessageScope)];
    ::new (storage) platform::MessageScope();
}

// A window procedure nested in another runs in a frame of its own, deeper in the stack.
[[gnu::noinline]] void InNestedScope(const std::function<void()>& work)
{
    platform::MessageScope inner;
    work();
}

TEST(MessageScope, DeferredWorkRunsWhenTheOutermostScopeEndsEvenAfterAFrameWasUnwoundWithoutIt)
{
    for (bool unwound : {false, true}) {
        if (unwound)
            EnterAndAbandonScope();
        int runs = 0;
        {
            platform::MessageScope outer;
            InNestedScope([&runs] { platform::DeferUntilMessagesReturn([&runs] { ++runs; }); });
            EXPECT_EQ(runs, 0) << "deferred while a scope is running";
        }
        EXPECT_EQ(runs, 1) << (unwound ? "after an unwound frame" : "");
        EXPECT_FALSE(platform::InsideMessage());
    }
}

} // namespace
