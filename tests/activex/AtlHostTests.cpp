// The control in the system's own container (atl.dll's AtlAxWin window), created by ProgID from
// the registry: created, activated, resized, destroyed, with nothing left behind.
#include "RegisteredControl.h"

#include "HostedControl.h"

namespace {

// The system's atl.dll, loaded by name as any host would (no import library for every target).
template <typename Entry>
Entry AtlEntry(const char* name)
{
    static HMODULE atl = LoadLibraryW(L"atl.dll");
    return atl ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(atl, name))) : nullptr;
}

class AtlHost : public HostedControl {};

TEST_F(AtlHost, CreatesActivatesResizesAndDestroysTheControl)
{
    RegisteredControl registered;
    ASSERT_EQ(registered.ExitCode(), 0u);
    const auto axWinInit = AtlEntry<BOOL(WINAPI*)()>("AtlAxWinInit");
    const auto axGetControl = AtlEntry<HRESULT(WINAPI*)(HWND, IUnknown**)>("AtlAxGetControl");
    ASSERT_TRUE(axWinInit && axGetControl) << "atl.dll";
    ASSERT_TRUE(axWinInit());
    HWND atlWindow = CreateWindowExW(0, L"AtlAxWin", L"CORBEL.CorbelCtrl.1", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150,
                                hosttest::TestSite::Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(atlWindow, nullptr);
    {
        ComPtr<IUnknown> hosted;
        ASSERT_EQ(axGetControl(atlWindow, hosted.Receive()), S_OK);
        ComPtr<IOleInPlaceObject> inPlace = QueryOrNull<IOleInPlaceObject>(hosted.Get());
        ASSERT_TRUE(inPlace);
        HWND window = nullptr;
        ASSERT_EQ(inPlace->GetWindow(&window), S_OK) << "in-place active";
        EXPECT_TRUE(IsChild(atlWindow, window));
        EXPECT_NE(GetDlgItem(window, 101), nullptr);

        // The container has no event arguments of its own: advise directly.
        const DWORD cookie = hosttest::Advise(hosted.Get(), DIID__DCorbelEvents, static_cast<IDispatch*>(&events));
        EXPECT_NE(cookie, 0u);
        hosttest::AutomationClient host(QueryOrNull<IDispatch>(hosted.Get()).Get());
        OpenPlant();
        ASSERT_EQ(host.Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
        HWND tree = GetDlgItem(window, 101);
        EXPECT_GT(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a.ruv"})), 0);
        ASSERT_EQ(events.events.size(), 1u);
        EXPECT_EQ(events.events[0].args[0].Text(), L"C:\\a.ruv");
        hosttest::Unadvise(hosted.Get(), DIID__DCorbelEvents, cookie);

        MoveWindow(atlWindow, 10, 10, 260, 180, TRUE);
        RECT client{};
        GetClientRect(tree, &client);
        EXPECT_EQ(client.right, 260);
        EXPECT_EQ(client.bottom, 180);
    }
    DestroyWindow(atlWindow);
    file.Reset();
    document.Reset();
}

} // namespace
