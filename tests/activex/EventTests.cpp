// The control's events as a host's sink hears them: selection changes made with keys through the
// container's accelerator path, frozen events, which keys the control takes before the container,
// and hosts that let the control go from their handlers.
#include "HostedControl.h"

#include <utility>

namespace {

class Events : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        AddPlant();
        ASSERT_EQ(Embed(), S_OK);
        PressKey(VK_HOME); // the caret on the file's row, its branch open, nothing selected
        PressKey(VK_RIGHT);
        heard.clear();
    }
    static bool Same(IUnknown* a, IUnknown* b) { return modelkit::Identity(a) == modelkit::Identity(b); }
};

// Keys through the container reach the tree and the sink hears each change with its objects (the
// end-to-end session and the control's logic tests see the selections themselves); frozen twice and
// thawed once, the control is still frozen and tracks the selection all the same.
TEST_F(Events, FrozenEventsAreHeldBackAndTheSelectionGoesOn)
{
    PressKey(VK_DOWN);
    ASSERT_EQ(heard.size(), 1u);
    ASSERT_TRUE(heard[0].id == dispidEventSelectionChanged && heard[0].args.size() == 2u);
    EXPECT_TRUE(!heard[0].args[0].Object() && heard[0].args[1].Object() &&
                Same(automation.Get(L"SelectedItem", {0}).value.Object(), heard[0].args[1].Object()));
    heard.clear();
    auto ole = As<IOleControl>();
    ole->FreezeEvents(TRUE);
    ole->FreezeEvents(TRUE);
    PressKey(VK_DOWN);
    ole->FreezeEvents(FALSE);
    PressKey(VK_DOWN);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(Long(L"SelectedItemCount"), 1);
    ole->FreezeEvents(FALSE);
    PressKey(VK_UP);
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
    PressKey(VK_DOWN);
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
