// The control's events as a host's sink hears them: selection changes made with the keyboard
// through the container's accelerator path, pop-ups, dropped files through a real drop handle,
// frozen events, and hosts that call back into the control or let it go from their handlers.
#include "HostedControl.h"

#include <cstring>

namespace {

using hosttest::Value;

constexpr DISPID kSelectionChanged = dispidEventSelectionChanged;
constexpr DISPID kDropFile = dispidEventDropFile;
constexpr DISPID kPopupMenu = dispidEventPopupMenu;

class Events : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        OpenPlant();
        ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
        ASSERT_EQ(Embed(), S_OK);
        // The caret on the file's row, its branch open, nothing selected.
        PressKey(VK_HOME);
        PressKey(VK_RIGHT);
        events.events.clear();
    }
    long Count() const { return automation->Get(L"SelectedItemCount").value.ToLong().value_or(-1); }
    ComPtr<IDispatch> Selected(long index) const
    {
        return ComPtr<IDispatch>(automation->Get(L"SelectedItem", {index}).value.Object());
    }
    std::vector<DISPID> Ids() const
    {
        std::vector<DISPID> ids;
        for (const auto& event : events.events)
            ids.push_back(event.id);
        return ids;
    }
};

bool Same(IUnknown* a, IUnknown* b)
{
    if (!a || !b)
        return a == b;
    return QueryOrNull<IUnknown>(a).Get() == QueryOrNull<IUnknown>(b).Get();
}

TEST_F(Events, KeyboardSelectionFiresOneEventPerChangeWithTheObjects)
{
    // The keys reach the tree through TranslateAccelerator. Home and Right moved the caret to the
    // file's row and opened it without selecting; the arrows select the row they move to.
    ASSERT_EQ(Caret(), Root());
    ASSERT_NE(NextVisible(Root()), nullptr);
    PressKey(VK_DOWN);
    ASSERT_EQ(Ids(), std::vector<DISPID>{kSelectionChanged});
    ASSERT_EQ(events.events[0].args.size(), 2u);
    EXPECT_EQ(events.events[0].args[0].Object(), nullptr);
    ComPtr<IDispatch> second(events.events[0].args[1].Object());
    ASSERT_TRUE(second);
    EXPECT_FALSE(Same(second.Get(), file.Get()));
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Same(Selected(0).Get(), second.Get()));

    events.events.clear();
    PressKey(VK_UP);
    ASSERT_EQ(Ids(), (std::vector<DISPID>{kSelectionChanged, kSelectionChanged}));
    IDispatch* unselected = nullptr;
    IDispatch* selected = nullptr;
    for (const auto& event : events.events) {
        unselected = event.args[0].Object() ? event.args[0].Object() : unselected;
        selected = event.args[1].Object() ? event.args[1].Object() : selected;
    }
    EXPECT_TRUE(Same(unselected, second.Get()));
    EXPECT_TRUE(Same(selected, file.Get()));
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Same(Selected(0).Get(), file.Get()));
}

TEST_F(Events, OnlyNavigationKeysAreTakenBeforeTheContainer)
{
    for (UINT key : {VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        MSG message{TreeWindow(), WM_KEYUP, key, 1, 0, {0, 0}};
        EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(&message), S_OK) << key;
    }
    // An arrow meant for another window of the container is not the control's.
    MSG elsewhere{hosttest::TestSite::Window(), WM_KEYDOWN, VK_DOWN, 1, 0, {0, 0}};
    EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(&elsewhere), S_FALSE);
    site.log.clear();
    for (UINT key : {VK_PRIOR, VK_NEXT, VK_TAB, VK_RETURN}) {
        MSG message{TreeWindow(), WM_KEYDOWN, key, 1, 0, {0, 0}};
        EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(&message), S_FALSE) << key;
    }
    EXPECT_EQ(site.log.size(), 4u) << "the container's control site was asked for each";
    EXPECT_EQ(site.ActiveObject()->TranslateAccelerator(nullptr), E_INVALIDARG);
}

TEST_F(Events, ProgrammaticSelectionIsSilentButCounted)
{
    ASSERT_EQ(automation->Call(L"SetSelection", {file.Get()}).hr, S_OK);
    EXPECT_EQ(Count(), 1);
    ASSERT_EQ(automation->Call(L"ClearSelection").hr, S_OK);
    EXPECT_EQ(Count(), 0);
    ASSERT_EQ(automation->Call(L"AddToSelection", {file.Get()}).hr, S_OK);
    ASSERT_EQ(automation->Call(L"RemoveFromSelection", {file.Get()}).hr, S_OK);
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(events.events.empty());
}

TEST_F(Events, ContextMenuKeyFiresPopupAtTheCaretWithItsObject)
{
    PressKey(VK_APPS);
    ASSERT_EQ(Ids(), std::vector<DISPID>{kPopupMenu});
    const auto& popup = events.events[0];
    ASSERT_EQ(popup.args.size(), 3u);
    RECT label{};
    HTREEITEM root = Root();
    std::memcpy(&label, &root, sizeof(root)); // TVM_GETITEMRECT takes the item in the rectangle
    SendMessageW(TreeWindow(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
    EXPECT_EQ(popup.args[0].ToLong(), (label.left + label.right) / 2) << "the tree fills the control";
    EXPECT_EQ(popup.args[1].ToLong(), (label.top + label.bottom) / 2);
    EXPECT_TRUE(Same(popup.args[2].Object(), file.Get()));
}

TEST_F(Events, DroppedFilesFireInDropOrder)
{
    const std::vector<std::wstring> paths{L"C:\\plant\\a.ruv", L"C:\\plant\\b.ruv", L"C:\\plant\\c.ruv"};
    SendMessageW(ControlWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    ASSERT_EQ(Ids(), (std::vector<DISPID>{kDropFile, kDropFile, kDropFile}));
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(events.events[i].args[0].Text(), paths[i]);
    EXPECT_EQ(Count(), 0) << "the control neither opens nor adds dropped files";
}

TEST_F(Events, FrozenEventsAreNotFired)
{
    ComPtr<IOleControl> ole = QueryOrNull<IOleControl>(control.Get());
    ole->FreezeEvents(TRUE);
    ole->FreezeEvents(TRUE);
    PressKey(VK_DOWN);
    ole->FreezeEvents(FALSE);
    PressKey(VK_DOWN);
    EXPECT_TRUE(events.events.empty()) << "still frozen once";
    EXPECT_EQ(Count(), 1) << "the selection is tracked while frozen";
    ole->FreezeEvents(FALSE);
    PressKey(VK_UP);
    EXPECT_EQ(events.events.size(), 2u);
}

TEST_F(Events, HandlersMayCallBackIntoTheControl)
{
    // A host that refreshes, clears the selection and finally removes the file from its handlers.
    int calls = 0;
    events.handler = [&](const hosttest::EventSink::Event& event) {
        if (event.id != kSelectionChanged)
            return;
        ++calls;
        if (calls == 1)
            automation->Call(L"UpdateAll");
        else if (calls == 2)
            automation->Call(L"ClearSelection");
        else
            automation->Call(L"RemoveRUVFile", {file.Get()});
    };
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    EXPECT_GE(calls, 3);
    EXPECT_EQ(ItemCount(), 0);
    EXPECT_EQ(Count(), 0);
    events.handler = nullptr;
    ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    // The new branch has no caret (the native tree's keys then do nothing): the host sets one.
    ASSERT_EQ(automation->Call(L"SetSelection", {file.Get()}).hr, S_OK);
    events.events.clear();
    PressKey(VK_RIGHT);
    PressKey(VK_DOWN);
    EXPECT_EQ(events.events.size(), 2u);
    EXPECT_EQ(Count(), 1) << "the registry still works after the handlers' changes";
    EXPECT_FALSE(Same(Selected(0).Get(), file.Get()));
}

TEST_F(Events, HostMayReleaseTheControlFromItsHandler)
{
    // The last reference goes while the tree's window procedure is still running.
    events.handler = [&](const hosttest::EventSink::Event&) {
        if (control)
            LetGo();
    };
    HWND tree = TreeWindow();
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
    HWND tree = TreeWindow();
    IDispatch* raw = dispatch.Detach(); // the host's last reference, given up in the handler
    bool released = false;
    // The handler stays set (clearing it would destroy it while it runs); it acts once.
    events.handler = [&](const hosttest::EventSink::Event&) {
        if (released)
            return;
        released = true;
        LetGo();
        raw->Release();
    };
    Value argument(static_cast<IDispatch*>(file.Get()));
    DISPPARAMS params{argument.Get(), nullptr, 1, 0};
    EXPECT_EQ(raw->Invoke(dispidRemoveRUVFile, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    if (!released)
        raw->Release();
    EXPECT_TRUE(released) << "removing the file fired no event";
    EXPECT_FALSE(IsWindow(tree)) << "the control went when the call returned";
}

} // namespace
