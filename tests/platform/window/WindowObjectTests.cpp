// One window procedure for every C++ object behind a window: messages reach the object, nothing a
// handler throws leaves the procedure, and a destroyed window lets go of the object (a subclassed
// one gets its own procedure back first).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

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

} // namespace
