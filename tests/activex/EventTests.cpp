// The control's events as a host's sink hears them: selection changes made with keys through the
// container's accelerator path, frozen events, which keys the control takes before the container,
// and hosts that call back into the control or let it go from their handlers.
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
        // The caret on the file's row, its branch open, nothing selected.
        PressKey(VK_HOME);
        PressKey(VK_RIGHT);
        heard.clear();
    }
    long Count() const { return automation.Get(L"SelectedItemCount").value.ToLong().value_or(-1); }
    ComPtr<IDispatch> Selected(long index) const { return automation.Get(L"SelectedItem", {index}).value.Object(); }
    static bool Same(IUnknown* a, IUnknown* b) { return modelkit::Identity(a) == modelkit::Identity(b); }
};

TEST_F(Events, KeysThroughTheContainerSelectAndTheSinkHearsTheObjects)
{
    ASSERT_EQ(Tree().GetCaretItem(), Tree().GetRootItem());
    PressKey(VK_DOWN); // the arrows select the row they move to
    ASSERT_EQ(heard.size(), 1u);
    ASSERT_EQ(heard[0].id, dispidEventSelectionChanged);
    ASSERT_EQ(heard[0].args.size(), 2u);
    EXPECT_EQ(heard[0].args[0].Object(), nullptr);
    ComPtr<IDispatch> second(heard[0].args[1].Object());
    ASSERT_TRUE(second && !Same(second.Get(), file.Get()));
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Same(Selected(0).Get(), second.Get()));

    heard.clear();
    PressKey(VK_UP);
    ASSERT_EQ(heard.size(), 2u) << "one event per change";
    IDispatch *unselected = nullptr, *selected = nullptr;
    for (const Event& event : heard) {
        unselected = event.args[0].Object() ? event.args[0].Object() : unselected;
        selected = event.args[1].Object() ? event.args[1].Object() : selected;
    }
    EXPECT_TRUE(Same(unselected, second.Get()) && Same(selected, file.Get()));
    EXPECT_TRUE(Same(Selected(0).Get(), file.Get()));

    // Frozen twice, thawed once: still frozen; the selection is tracked all the same.
    heard.clear();
    auto ole = As<IOleControl>();
    ole->FreezeEvents(TRUE);
    ole->FreezeEvents(TRUE);
    PressKey(VK_DOWN);
    ole->FreezeEvents(FALSE);
    PressKey(VK_DOWN);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(Count(), 1);
    ole->FreezeEvents(FALSE);
    PressKey(VK_UP);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(Events, OnlyNavigationKeysOfItsOwnWindowsAreTakenBeforeTheContainer)
{
    struct Key {
        HWND window;
        UINT message;
        UINT key;
        HRESULT expected;
    };
    HWND tree = Tree().GetSafeHwnd(), container = TestSite::Window();
    const Key keys[] = {
        {tree, WM_KEYDOWN, VK_END, S_OK},     {tree, WM_KEYUP, VK_HOME, S_OK},      {tree, WM_KEYDOWN, VK_LEFT, S_OK},
        {tree, WM_KEYDOWN, VK_DOWN, S_OK},    {container, WM_KEYDOWN, VK_DOWN, S_FALSE}, // another window's arrow
        {tree, WM_KEYDOWN, VK_PRIOR, S_FALSE}, {tree, WM_KEYDOWN, VK_NEXT, S_FALSE},   {tree, WM_KEYDOWN, VK_TAB, S_FALSE},
        {tree, WM_KEYDOWN, VK_RETURN, S_FALSE},
    };
    for (const Key& key : keys) {
        site.log.clear();
        MSG message{key.window, key.message, key.key, 1, 0, {0, 0}};
        EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(&message), key.expected) << key.key;
        // A key the control leaves goes to the container's control site.
        EXPECT_EQ(site.log.size(), key.expected == S_OK ? 0u : 1u) << key.key;
    }
    EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(nullptr), E_INVALIDARG);
}

TEST_F(Events, HandlersMayCallBackIntoTheControl)
{
    // A host that refreshes, clears the selection and finally removes the file from its handlers.
    int calls = 0;
    onEvent = [&](const Event&) {
        if (++calls == 1)
            automation.Call(L"UpdateAll");
        else if (calls == 2)
            automation.Call(L"ClearSelection");
        else
            automation.Call(L"RemoveRUVFile", {file.Get()});
    };
    for (int i = 0; i < 4; ++i)
        PressKey(VK_DOWN);
    EXPECT_GE(calls, 3);
    EXPECT_EQ(Tree().GetCount(), 0u);
    EXPECT_EQ(Count(), 0);
    onEvent = nullptr;
    // The registry still works after the handlers' changes (the host sets a caret in the new branch).
    AddPlant();
    ASSERT_EQ(automation.Call(L"SetSelection", {file.Get()}).hr, S_OK);
    heard.clear();
    PressKey(VK_RIGHT);
    PressKey(VK_DOWN);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(Same(Selected(0).Get(), file.Get()));
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
    ASSERT_EQ(Count(), 1);
    HWND tree = Tree().GetSafeHwnd();
    IDispatch* raw = dispatch.Detach(); // the host's last reference, given up in the handler
    bool released = false;
    // The handler stays set (clearing it would destroy it while it runs); it acts once.
    onEvent = [&](const Event&) {
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
