// The property pages driven as a property frame drives them: what a page says of itself, its
// controls as the control's properties show them, dirty state, Apply through the control's
// automation interface (so that the setters' vetoes and notices run), EditProperty and keys, and
// the pages the control offers a frame.
#include "HostedControl.h"


namespace {

class PageSite : public teststub::ComStub<IPropertyPageSite> {
public:
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
        ASSERT_EQ(As<IPersistStreamInit>()->InitNew(), S_OK);
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
        EXPECT_EQ(pageSite.references, 1u);
    }
    // Makes the page of clsid, checks what it says of itself, gives it the control and shows it
    // in the container's window.
    void Open(const GUID& clsid, const wchar_t* title)
    {
        ComPtr<IUnknown> aggregated;
        EXPECT_EQ(CreateFromModule(clsid, aggregated, control.Get()), CLASS_E_NOAGGREGATION);
        ASSERT_EQ(CreateFromModule(clsid, page), S_OK);
        PROPPAGEINFO info{};
        CLSID reported{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_STREQ(info.pszTitle, title);
        CoTaskMemFree(info.pszTitle);
        EXPECT_TRUE(info.size.cx > 250 && info.size.cy > 40) << "250 dialog units wide, in pixels";
        EXPECT_TRUE(QueryOrNull<IPersist>(page.Get())->GetClassID(&reported) == S_OK && reported == clsid);
        ASSERT_EQ(page->SetPageSite(&pageSite), S_OK);
        Give();
        const RECT place{0, 0, 380, 200};
        ASSERT_EQ(page->Activate(TestSite::Window(), &place, FALSE), S_OK);
        ASSERT_EQ(page->Show(SW_SHOW), S_OK);
        dialog = GetWindow(TestSite::Window(), GW_CHILD);
        while (dialog && !GetDlgItem(dialog, IDC_COMPONENT_TEXT) && !GetDlgItem(dialog, IDC_APPEARANCE))
            dialog = GetWindow(dialog, GW_HWNDNEXT);
        ASSERT_NE(dialog, nullptr);
    }
    void Give()
    {
        IUnknown* objects[] = {control.Get()};
        ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    }
    // The page's lists ("[item|item]=selected index") and check boxes (checked or not), in order.
    std::wstring State() const
    {
        std::wstring state;
        for (HWND item = GetWindow(dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
            wchar_t kind[16] = {}, text[64] = {};
            GetClassNameW(item, kind, 16);
            if (!_wcsicmp(kind, L"Button"))
                state += std::to_wstring(SendMessageW(item, BM_GETCHECK, 0, 0)) + L" ";
            if (_wcsicmp(kind, L"ComboBox"))
                continue;
            for (LRESULT i = 0; i < SendMessageW(item, CB_GETCOUNT, 0, 0); ++i) {
                SendMessageW(item, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                state += (i ? L"|" : L"[") + std::wstring(text);
            }
            state += L"]=" + std::to_wstring(SendMessageW(item, CB_GETCURSEL, 0, 0)) + L" ";
        }
        return state;
    }
    // What a user does: choose a list item, or click a check box.
    void Choose(int id, int index)
    {
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    void Click(int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

    PageSite pageSite;
    ComPtr<IPropertyPage2> page;
    HWND dialog = nullptr;
};

TEST_F(PropertyPages, GeneralPageShowsTheStockPropertiesAndAppliesWhatTheHostAllows)
{
    // The pages a frame shows, in order: General, the system's font page, Settings.
    CAUUID pages{};
    ASSERT_EQ(As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
    EXPECT_TRUE(pages.cElems == 3 && pages.pElems[0] == CLSID_CorbelPropPage &&
                pages.pElems[1] == CLSID_CFontPropPage && pages.pElems[2] == CLSID_SettingsPropPage);
    CoTaskMemFree(pages.pElems);
    ASSERT_EQ(automation.Put(L"BorderStyle", {1}).hr, S_OK);
    Open(CLSID_CorbelPropPage, L"General");
    EXPECT_EQ(State(), L"[0 - Flat|1 - 3D]=0 [0 - None|1 - Fixed Single]=1 1 ");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    Choose(IDC_APPEARANCE, 1);
    Click(IDC_ENABLED);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_TRUE(!pageSite.statuses.empty() && (pageSite.statuses.back() & PROPPAGESTATUS_DIRTY));
    EXPECT_EQ(Long(L"Appearance"), 0) << "nothing changes before Apply";
    notices.refuseEdits = true;
    EXPECT_EQ(page->Apply(), platform::kSetNotPermitted);
    EXPECT_EQ(page->IsPageDirty(), S_OK) << "a refused change keeps the page dirty";
    EXPECT_EQ(Long(L"Enabled"), -1);
    notices.refuseEdits = false;
    notices.requested.clear();
    notices.changed.clear();
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_TRUE(Long(L"Appearance") == 1 && Long(L"Enabled") == 0);
    // Through the setters, asked first and then told; an unchanged control writes nothing.
    EXPECT_EQ(notices.requested, (std::vector<DISPID>{DISPID_ENABLED, DISPID_APPEARANCE}));
    EXPECT_EQ(notices.changed, notices.requested);
    EXPECT_NE(GetWindowLongPtrW(ControlWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(PropertyPages, SettingsPageAppliesThroughTheSettersAndTakesKeys)
{
    AddPlant();
    Open(CLSID_SettingsPropPage, L"Settings");
    EXPECT_EQ(State(), L"0 0 [Component Type|Fly Text]=0 0 ");
    notices.changed.clear();
    Choose(IDC_COMPONENT_TEXT, 1);
    Click(IDC_SHOW_SPOOLS);
    Click(IDC_SHOW_KEYPOINTS);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{dispidShowComponentKeypoints, dispidComponentText, dispidShowSpools}))
        << "in the page's order";
    Give(); // a page given the control again shows what it has now
    EXPECT_EQ(State(), L"1 0 [Component Type|Fly Text]=1 1 ");

    EXPECT_EQ(page->EditProperty(dispidShowSpools), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_SHOW_SPOOLS));
    EXPECT_EQ(page->EditProperty(dispidComponentText), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_COMPONENT_TEXT));
    EXPECT_EQ(page->EditProperty(DISPID_BORDERSTYLE), E_NOTIMPL) << "not on this page";
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_EQ(page->TranslateAccelerator(&tab), S_OK);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_SHOW_SPOOLS));
    EXPECT_EQ(page->TranslateAccelerator(nullptr), E_POINTER);
    ASSERT_EQ(page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
}

} // namespace
