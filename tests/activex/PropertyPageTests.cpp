// The property pages driven as a property frame drives them, through IPropertyPage2: the page's
// information, activation into a window, its lists and controls as the control's properties
// show them, dirty state, Apply through the control's automation interface (so the setters'
// refreshes and notices run), EditProperty and keys.
#include "HostedControl.h"
#include "RegisteredControl.h"
#include "platform/com/ComObject.h"
#include "platform/activex/OleControl.h"

namespace {

const GUID kGeneralPage = {0x21edafa6, 0x388b, 0x4bc5, {0x85, 0xa6, 0xee, 0xef, 0xfa, 0x50, 0x59, 0x5d}};
const GUID kSettingsPage = {0x5f3d5012, 0xf8a8, 0x402f, {0x97, 0xcf, 0x92, 0x7f, 0xe4, 0x9b, 0xa9, 0xed}};

class PageSite : public hosttest::Counted<IPropertyPageSite> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return platform::AnswerOwnInterface(iid, IID_IPropertyPageSite, this, object);
    }
    STDMETHODIMP OnStatusChange(DWORD flags) override { return statuses.push_back(flags), S_OK; }
    STDMETHODIMP GetLocaleID(LCID* locale) override { return *locale = 0x0409, S_OK; }
    STDMETHODIMP GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

    std::vector<DWORD> statuses;
};

class PropertyPages : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        ComPtr<IPersistStreamInit> persist = QueryOrNull<IPersistStreamInit>(control.Get());
        ASSERT_EQ(persist->InitNew(), S_OK);
        ASSERT_EQ(Embed(), S_OK);
    }
    void ReleaseAll() override
    {
        if (page) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
        }
        page.Reset();
        EXPECT_EQ(pageSite.references, 0);
    }
    // Makes the page of clsid, gives it the control and activates it in the container's window.
    void Open(const GUID& clsid)
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(ControlClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage2, reinterpret_cast<void**>(page.Receive())), S_OK);
        ASSERT_EQ(page->SetPageSite(&pageSite), S_OK);
        IUnknown* objects[] = {control.Get()};
        ASSERT_EQ(page->SetObjects(1, objects), S_OK);
        const RECT place{0, 0, 380, 200};
        ASSERT_EQ(page->Activate(hosttest::TestSite::Window(), &place, FALSE), S_OK);
        ASSERT_EQ(page->Show(SW_SHOW), S_OK);
        dialog = GetWindow(hosttest::TestSite::Window(), GW_CHILD);
        while (dialog && !GetDlgItem(dialog, 206) && !GetDlgItem(dialog, 201))
            dialog = GetWindow(dialog, GW_HWNDNEXT);
        ASSERT_NE(dialog, nullptr);
    }
    std::vector<std::wstring> ListItems(int id) const
    {
        std::vector<std::wstring> items;
        const auto count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }
    LRESULT Selected(int id) const { return SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0); }
    // What a user does: choose a list item, or click a check box.
    void Choose(int id, int index)
    {
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    void Click(int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

    PageSite pageSite;
    ComPtr<IPropertyPage2> page;
    HWND dialog = nullptr;
};

TEST_F(PropertyPages, PagesDescribeThemselves)
{
    for (const auto& [clsid, title] : {std::pair{kGeneralPage, L"General"}, std::pair{kSettingsPage, L"Settings"}}) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(ControlClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())), S_OK);
        ComPtr<IUnknown> outer;
        ComPtr<IPropertyPage> described;
        EXPECT_EQ(factory->CreateInstance(control.Get(), IID_IUnknown, reinterpret_cast<void**>(outer.Receive())),
                  CLASS_E_NOAGGREGATION);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(described.Receive())),
                  S_OK);
        PROPPAGEINFO info{};
        ASSERT_EQ(described->GetPageInfo(&info), S_OK);
        EXPECT_STREQ(info.pszTitle, title);
        EXPECT_GT(info.size.cx, 250) << "250 dialog units wide, in pixels";
        EXPECT_GT(info.size.cy, 40);
        CoTaskMemFree(info.pszTitle);
        ComPtr<IPersist> persist = QueryOrNull<IPersist>(described.Get());
        CLSID reported{};
        ASSERT_TRUE(persist);
        EXPECT_EQ(persist->GetClassID(&reported), S_OK);
        EXPECT_EQ(reported, clsid);
    }
}

TEST_F(PropertyPages, GeneralPageShowsAndAppliesTheStockProperties)
{
    ASSERT_EQ(automation->Put(L"BorderStyle", {1}).hr, S_OK);
    notices.changed.clear();
    notices.requested.clear();
    Open(kGeneralPage);
    EXPECT_EQ(ListItems(201), (std::vector<std::wstring>{L"0 - Flat", L"1 - 3D"}));
    EXPECT_EQ(ListItems(202), (std::vector<std::wstring>{L"0 - None", L"1 - Fixed Single"}));
    EXPECT_EQ(Selected(201), 0);
    EXPECT_EQ(Selected(202), 1);
    EXPECT_TRUE(Checked(203));
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);

    Choose(201, 1);
    Click(203);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_FALSE(pageSite.statuses.empty());
    EXPECT_EQ(pageSite.statuses.back() & PROPPAGESTATUS_DIRTY, static_cast<DWORD>(PROPPAGESTATUS_DIRTY));
    EXPECT_EQ(automation->Get(L"Appearance").value.ToLong(), 0) << "nothing changes before Apply";

    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(automation->Get(L"Appearance").value.ToLong(), 1);
    EXPECT_FALSE(automation->Get(L"Enabled").value.IsTrue());
    EXPECT_EQ(automation->Get(L"BorderStyle").value.ToLong(), 1) << "an unchanged control writes nothing";
    // Through the setters: asked first, then told.
    EXPECT_EQ(notices.requested, (std::vector<DISPID>{DISPID_ENABLED, DISPID_APPEARANCE}));
    EXPECT_EQ(notices.changed, notices.requested);
    EXPECT_NE(GetWindowLongPtrW(ControlWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(PropertyPages, RefusedChangeKeepsThePageDirty)
{
    Open(kGeneralPage);
    Click(203);
    notices.refuse = true;
    EXPECT_EQ(page->Apply(), platform::kSetNotPermitted);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_TRUE(automation->Get(L"Enabled").value.IsTrue());
    notices.refuse = false;
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_FALSE(automation->Get(L"Enabled").value.IsTrue());
}

TEST_F(PropertyPages, SettingsPageAppliesThroughTheSettersWithTheirRefresh)
{
    OpenPlant();
    ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    Open(kSettingsPage);
    EXPECT_EQ(ListItems(206), (std::vector<std::wstring>{L"Component Type", L"Fly Text"}));
    EXPECT_EQ(Selected(206), 0);
    EXPECT_FALSE(Checked(204));
    EXPECT_FALSE(Checked(205));
    EXPECT_FALSE(Checked(207));

    notices.changed.clear();
    Choose(206, 1);
    Click(207);
    Click(204);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 1);
    EXPECT_TRUE(automation->Get(L"ShowSpools").value.IsTrue());
    EXPECT_TRUE(automation->Get(L"ShowComponentKeypoints").value.IsTrue());
    EXPECT_FALSE(automation->Get(L"ComponentSequenceNos").value.IsTrue());
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{2, 4, 22})) << "in the page's order";

    // A page given the control again shows what it has now.
    IUnknown* objects[] = {control.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    EXPECT_EQ(Selected(206), 1);
    EXPECT_TRUE(Checked(207));
}

TEST_F(PropertyPages, EditPropertyFocusesItsControlAndKeysMoveBetweenControls)
{
    Open(kSettingsPage);
    EXPECT_EQ(page->EditProperty(22), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 207));
    EXPECT_EQ(page->EditProperty(4), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 206));
    EXPECT_EQ(page->EditProperty(-504), E_NOTIMPL) << "not on this page";
    EXPECT_EQ(page->EditProperty(12345), E_NOTIMPL);

    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_EQ(page->TranslateAccelerator(&tab), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 207));
    EXPECT_EQ(page->TranslateAccelerator(nullptr), E_POINTER);

    ASSERT_EQ(page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
}

std::vector<std::wstring> g_frameTabs;

// A window of the frame: its tabs read, and closed.
BOOL CALLBACK ReadAndCloseWindow(HWND window, LPARAM)
{
    if (!IsWindowVisible(window) || window == hosttest::TestSite::Window())
        return TRUE;
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    HWND tabs = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    if (!tabs)
        return TRUE;
    g_frameTabs.clear();
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        g_frameTabs.emplace_back(text);
    }
    return FALSE;
}

// Inside the property frame's modal loop: reads the frame's tabs and closes it.
void CALLBACK ReadAndCloseFrame(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), ReadAndCloseWindow, 0);
}

TEST_F(PropertyPages, PropertiesVerbOpensTheFrameWithThePages)
{
    RegisteredControl registered; // the frame creates the pages by class
    ASSERT_EQ(registered.ExitCode(), 0u);
    site.showsPropertyFrame = false;
    g_frameTabs.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseFrame);
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &site, 0, hosttest::TestSite::Window(), nullptr), S_OK);
    KillTimer(nullptr, timer);
    // The system's font page is not registered under Wine; ours are there, in order.
    ASSERT_GE(g_frameTabs.size(), 2u);
    EXPECT_EQ(g_frameTabs.front(), L"General");
    EXPECT_EQ(g_frameTabs.back(), L"Settings");
}

} // namespace
