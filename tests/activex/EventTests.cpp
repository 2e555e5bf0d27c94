// The control's events as a host's sink hears them: selection changes made with typed keys through
// the container's accelerator path, frozen events, which keys the control takes before the
// container, the keyboard pop-up, and hosts that let the control go from their handlers.
#include "HostedControl.h"

#include <functional>
#include <utility>

namespace {

class Events : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        AddPlant();
        SetForegroundWindow(TestSite::Window()); // where typed keys go
        ASSERT_EQ(Embed(), S_OK);
        Type(VK_HOME); // the caret on the file's row, its branch open, nothing selected
        Type(VK_RIGHT);
        automation.Call(L"ClearSelection");
        heard.clear();
    }
    static bool Same(IUnknown* a, IUnknown* b) { return modelkit::Identity(a) == modelkit::Identity(b); }
};

// Keys through the container reach the tree and the sink hears each change with its objects (the
// end-to-end session and the control's logic tests see the selections themselves); frozen twice and
// thawed once, the control is still frozen and tracks the selection all the same.
TEST_F(Events, FrozenEventsAreHeldBackAndTheSelectionGoesOn)
{
    Type(VK_DOWN);
    ASSERT_EQ(heard.size(), 1u);
    ASSERT_TRUE(heard[0].id == dispidEventSelectionChanged && heard[0].args.size() == 2u);
    EXPECT_TRUE(!heard[0].args[0].Object() && heard[0].args[1].Object() &&
                Same(automation.Get(L"SelectedItem", {0}).value.Object(), heard[0].args[1].Object()));
    heard.clear();
    auto ole = As<IOleControl>();
    ole->FreezeEvents(TRUE);
    ole->FreezeEvents(TRUE);
    Type(VK_DOWN);
    ole->FreezeEvents(FALSE);
    Type(VK_DOWN);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(Long(L"SelectedItemCount"), 1);
    ole->FreezeEvents(FALSE);
    Type(VK_UP);
    EXPECT_EQ(heard.size(), 2u) << "one event per change";
}

TEST_F(Events, OnlyNavigationKeysOfItsOwnWindowsAreTakenBeforeTheContainer)
{
    // Which keys are navigation keys is the control's logic; here, whose windows and who else is asked.
    const std::tuple<HWND, UINT, HRESULT> keys[] = {
        {Tree().GetSafeHwnd(), VK_DOWN, S_OK}, {Tree().GetSafeHwnd(), VK_TAB, S_FALSE},
        {TestSite::Window(), VK_DOWN, S_FALSE}, // an arrow for another window of the container
    };
    for (const auto& [window, key, expected] : keys) {
        site.log.clear();
        MSG message{window, WM_KEYDOWN, key, 1, 0, {0, 0}};
        EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(&message), expected) << key;
        EXPECT_EQ(site.log.size(), expected == S_OK ? 0u : 1u) << key << ": a key it leaves goes to the control site";
    }
    EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(nullptr), E_INVALIDARG);
}

// Each way of asking for the pop-up from the keyboard, delivered as the system delivers it, raises
// PopupMenu once at the caret's label with its object; the WM_CONTEXTMENU that the system adds to a
// menu key the tree reported raises nothing more, nor does one from the mouse (the right click did).
TEST_F(Events, MenuKeysRaiseOnePopupAtTheCaret)
{
    HWND tree = Tree().GetSafeHwnd();
    Type(VK_DOWN);
    RECT label{};
    ASSERT_TRUE(Tree().GetItemRect(Tree().GetCaretItem(), label, true));
    POINT centre{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    MapWindowPoints(tree, ControlWindow(), &centre, 1);
    const ComPtr<IDispatch> caret = automation.Get(L"SelectedItem", {0}).value.Object();
    auto keyboardMenu = [tree] { SendMessageW(tree, WM_CONTEXTMENU, WPARAM(tree), -1); };
    const std::pair<std::function<void()>, size_t> requests[] = {
        {[&] { Keys({VK_SHIFT, VK_F10}); Keys({VK_F10, VK_SHIFT}, false); }, 1},
        {[&] { Type(VK_APPS); }, 1},
        {[&] { Type(VK_F10); }, 0},
        {keyboardMenu, 1},
        {[&] { Keys({VK_SHIFT, VK_F10}); keyboardMenu(); Keys({VK_F10, VK_SHIFT}, false); }, 1}, // while F10 is down
        {[&] { SendMessageW(tree, WM_CONTEXTMENU, WPARAM(tree), MAKELPARAM(30, 40)); }, 0},
    };
    for (const auto& [request, popups] : requests) {
        heard.clear();
        request();
        EXPECT_EQ(heard.size(), popups) << "request " << &request - &requests[0].first;
        for (const Event& event : heard)
            EXPECT_TRUE(event.id == dispidEventPopupMenu && event.args[0].ToLong() == centre.x &&
                        event.args[1].ToLong() == centre.y && Same(event.args[2].Object(), caret.Get()));
    }
}

TEST_F(Events, HostMayReleaseTheControlFromItsHandler)
{
    // The last reference goes while the tree's window procedure is still running.
    onEvent = [&](const Event&) {
        if (control)
            LetGo();
    };
    HWND tree = Tree().GetSafeHwnd();
    SendMessageW(tree, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_FALSE(control);
    EXPECT_FALSE(IsWindow(tree)) << "the control went after the message";
}

TEST_F(Events, HostMayReleaseTheControlFromAnEventOfItsOwnCall)
{
    // Removing the file deselects its selected row, and the host lets go of the control while it
    // hears of it: the call ends on a live object, which goes when the call returns.
    Type(VK_DOWN);
    HWND tree = Tree().GetSafeHwnd();
    IDispatch* raw = dispatch.Detach(); // the host's last reference, given up in the handler
    bool released = false;
    onEvent = [&](const Event&) { // stays set (clearing it would destroy it while it runs); acts once
        if (!std::exchange(released, true)) {
            LetGo();
            raw->Release();
        }
    };
    EXPECT_EQ(platform::DispatchDriver(raw).Call(L"RemoveRUVFile", {file.Get()}).hr, S_OK);
    if (!released)
        raw->Release();
    EXPECT_TRUE(released) << "removing the file fired no event";
    EXPECT_FALSE(IsWindow(tree)) << "the control went when the call returned";
}

} // namespace
