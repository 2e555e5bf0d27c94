// The control automated by name as a script host does: every member found by its name, the
// settings properties with their notices, the stock properties, and the errors a host sees.
#include "Faults.h"
#include "HostedControl.h"

namespace {

using Automation = HostedControl;
using hosttest::Value;

constexpr HRESULT kSetNotSupported = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 383);
constexpr HRESULT kInvalidPropertyValue = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);
constexpr HRESULT kSetNotPermitted = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 387);

// The call failed with expected, directly or as the exception's code.
bool Fails(const hosttest::CallResult& call, HRESULT expected)
{
    return call.hr == expected || (call.hr == DISP_E_EXCEPTION && call.scode == expected);
}

TEST_F(Automation, EveryMemberIsFoundByItsName)
{
    const std::pair<const wchar_t*, DISPID> members[] = {
        {L"SelectedItemCount", 1}, {L"ShowComponentKeypoints", 2}, {L"ComponentSequenceNos", 3},
        {L"ComponentText", 4},     {L"AddRUVFileByName", 5},       {L"AddRUVFile", 6},
        {L"UpdateAll", 7},         {L"TestGetSelection", 8},       {L"ClearSelection", 9},
        {L"SetSelection", 10},     {L"AddToSelection", 11},        {L"RemoveFromSelection", 12},
        {L"RemoveRUVFile", 13},    {L"Update", 14},                {L"ShowBrokenItems", 15},
        {L"SelectedItem", 16},     {L"WorkingUnits", 17},          {L"AttributeWorkingUnits", 18},
        {L"MakeBold", 19},         {L"ClearBold", 20},             {L"DisplayNames", 21},
        {L"ShowSpools", 22},       {L"BorderStyle", DISPID_BORDERSTYLE}, {L"Appearance", DISPID_APPEARANCE},
        {L"Enabled", DISPID_ENABLED}, {L"Font", DISPID_FONT},      {L"AboutBox", DISPID_ABOUTBOX},
        {L"showspools", 22}, // names are matched without regard to case
    };
    for (const auto& [name, id] : members)
        EXPECT_EQ(automation->IdOf(name), id) << std::wstring(name);
    EXPECT_EQ(automation->IdOf(L"NoSuchMember"), DISPID_UNKNOWN);
    // A parameter name comes back with its member.
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"WorkingUnits"), const_cast<LPOLESTR>(L"ValueTypeKey")};
    DISPID ids[2] = {};
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
    EXPECT_EQ(ids[0], 17);
    EXPECT_EQ(ids[1], 0);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

TEST_F(Automation, SettingsPropertiesStoreRefreshAndNotify)
{
    OpenPlant();
    ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    ASSERT_EQ(Embed(), S_OK);
    ASSERT_EQ(automation->Put(L"ShowComponentKeypoints", {false}).hr, S_OK);
    EXPECT_FALSE(automation->Get(L"ShowComponentKeypoints").value.IsTrue());
    const int before = ItemCount();
    ASSERT_EQ(automation->Put(L"ShowComponentKeypoints", {true}).hr, S_OK);
    EXPECT_TRUE(automation->Get(L"ShowComponentKeypoints").value.IsTrue());
    EXPECT_GT(ItemCount(), before) << "the keypoints show at once";
    ASSERT_EQ(automation->Put(L"ComponentText", {1}).hr, S_OK);
    ASSERT_EQ(automation->Put(L"ComponentText", {2}).hr, S_OK);
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 1) << "2 is no choice and keeps the old one";
    ASSERT_EQ(automation->Put(L"ShowSpools", {true}).hr, S_OK);
    ASSERT_EQ(automation->Put(L"ComponentSequenceNos", {L"True"}).hr, S_OK) << "converted as scripts expect";
    EXPECT_TRUE(automation->Get(L"ComponentSequenceNos").value.IsTrue());
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{2, 2, 4, 4, 22, 3}));
    EXPECT_TRUE(notices.requested.empty()) << "only the stock properties ask first";
}

TEST_F(Automation, ControlUsedWithoutResetStartsAsEveryNewControl)
{
    // A script host creates the control and calls it: nobody calls InitNew.
    EXPECT_FALSE(automation->Get(L"ShowComponentKeypoints").value.IsTrue());
    EXPECT_FALSE(automation->Get(L"ComponentSequenceNos").value.IsTrue());
    EXPECT_FALSE(automation->Get(L"ShowSpools").value.IsTrue());
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 0);
    EXPECT_TRUE(notices.changed.empty()) << "the implicit reset is no change of the host's";
    ComPtr<IPersistStreamInit> persist = QueryOrNull<IPersistStreamInit>(control.Get());
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(Automation, KeyedPropertiesRoundTripAndStartEmpty)
{
    EXPECT_EQ(automation->Get(L"WorkingUnits", {L"NeverSet"}).value.ToLong(), 0);
    ASSERT_EQ(automation->Put(L"WorkingUnits", {L"Length", 3}).hr, S_OK);
    EXPECT_EQ(automation->Get(L"WorkingUnits", {L"Length"}).value.ToLong(), 3);
    EXPECT_EQ(automation->Get(L"AttributeWorkingUnits", {L"Unknown"}).value.Text(), L"");
    ASSERT_EQ(automation->Put(L"AttributeWorkingUnits", {L"Bore", L"Length"}).hr, S_OK);
    EXPECT_EQ(automation->Get(L"AttributeWorkingUnits", {L"Bore"}).value.Text(), L"Length");
    ASSERT_EQ(automation->Put(L"DisplayNames", {L"Spools", L"Spool pieces"}).hr, S_OK);
    EXPECT_EQ(automation->Get(L"DisplayNames", {L"Spools"}).value.Text(), L"Spool pieces");
    // As a script passes its variables: by reference.
    EXPECT_EQ(automation->CallByRef(L"WorkingUnits", {L"Length"}).value.ToLong(), 3);
    EXPECT_TRUE(notices.changed.empty()) << "these properties are not bindable";
}

TEST_F(Automation, FailuresReachTheHostAsItsErrors)
{
    EXPECT_TRUE(Fails(automation->Put(L"SelectedItemCount", {3}), kSetNotSupported));
    EXPECT_TRUE(Fails(automation->Put(L"SelectedItem", {0, static_cast<IDispatch*>(nullptr)}), kSetNotSupported));
    const auto outside = automation->Get(L"SelectedItem", {0});
    EXPECT_TRUE(Fails(outside, DISP_E_BADINDEX));
    EXPECT_FALSE(outside.description.empty());
    EXPECT_TRUE(Fails(automation->Call(L"AddRUVFile", {static_cast<IDispatch*>(nullptr)}), E_INVALIDARG));
    EXPECT_TRUE(Fails(automation->Call(L"AddRUVFile", {dispatch.Get()}), E_INVALIDARG)) << "not a file";
    const auto wrongType = automation->Call(L"SetSelection", {L"text"});
    EXPECT_EQ(wrongType.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(wrongType.argError, 0u);
    EXPECT_EQ(automation->Call(L"SetSelection").hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(automation->Get(L"WorkingUnits").hr, DISP_E_BADPARAMCOUNT);
    hosttest::CallResult unknown;
    VARIANT none;
    VariantInit(&none);
    DISPPARAMS empty{};
    EXPECT_EQ(dispatch->Invoke(999, IID_NULL, 0, DISPATCH_METHOD, &empty, &none, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(dispatch->Invoke(7, IID_IDispatch, 0, DISPATCH_METHOD, &empty, &none, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // The stubs answer nothing and change nothing.
    EXPECT_EQ(automation->Call(L"AddRUVFileByName", {L"plant.json"}).value.Object(), nullptr);
    EXPECT_EQ(automation->Call(L"TestGetSelection").value.Object(), nullptr);
    EXPECT_EQ(automation->Get(L"SelectedItemCount").value.ToLong(), 0);
}

TEST_F(Automation, ModelFailureBecomesTheCallsErrorAndTheControlGoesOn)
{
    OpenPlant();
    ASSERT_EQ(automation->Call(L"AddRUVFile", {file.Get()}).hr, S_OK);
    ruvmodel::faults::Inject(L"IRUVPipeline.GetName", 1, E_ACCESSDENIED);
    const auto failed = automation->Call(L"UpdateAll");
    EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.scode, E_ACCESSDENIED);
    EXPECT_EQ(failed.description, L"IRUVPipeline.GetName failed (injected)");
    ruvmodel::faults::ClearAll();
    EXPECT_EQ(automation->Call(L"UpdateAll").hr, S_OK);
    ASSERT_EQ(automation->Call(L"SetSelection", {file.Get()}).hr, S_OK);
    EXPECT_EQ(automation->Get(L"SelectedItemCount").value.ToLong(), 1);
}

std::wstring g_aboutButton;

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND about = FindWindowW(nullptr, L"About Corbel Control");
    if (!about)
        return;
    wchar_t text[64] = {};
    GetDlgItemTextW(about, IDOK, text, 64);
    g_aboutButton = text;
    PostMessageW(about, WM_COMMAND, IDOK, 0);
}

TEST_F(Automation, AboutBoxShowsTheModuleDialogModally)
{
    ASSERT_EQ(Embed(), S_OK);
    // Closed from inside its own modal loop, as a user would.
    g_aboutButton.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutBox);
    EXPECT_EQ(automation->Call(L"AboutBox").hr, S_OK);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_aboutButton, L"OK");
}

TEST_F(Automation, StockPropertiesAskFirstAndShapeTheWindow)
{
    ASSERT_EQ(Embed(), S_OK);
    HWND window = ControlWindow();
    EXPECT_EQ(automation->Get(L"BorderStyle").value.ToLong(), 0);
    EXPECT_EQ(automation->Get(L"Appearance").value.ToLong(), 0);
    EXPECT_TRUE(automation->Get(L"Enabled").value.IsTrue());

    ASSERT_EQ(automation->Put(L"BorderStyle", {1}).hr, S_OK);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER, 0);
    ASSERT_EQ(automation->Put(L"Appearance", {1}).hr, S_OK);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    const auto outOfRange = automation->Put(L"BorderStyle", {2});
    EXPECT_EQ(outOfRange.scode, kInvalidPropertyValue);
    EXPECT_EQ(automation->Get(L"BorderStyle").value.ToLong(), 1);

    ASSERT_EQ(automation->Put(L"Enabled", {false}).hr, S_OK);
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_EQ(notices.requested, (std::vector<DISPID>{DISPID_BORDERSTYLE, DISPID_APPEARANCE, DISPID_ENABLED}));
    EXPECT_EQ(notices.changed, notices.requested);

    notices.refuse = true;
    EXPECT_EQ(automation->Put(L"Enabled", {true}).scode, kSetNotPermitted);
    EXPECT_FALSE(automation->Get(L"Enabled").value.IsTrue()) << "a refused edit changes nothing";
    EXPECT_FALSE(IsWindowEnabled(window));
}

TEST_F(Automation, FontComesFromTheAmbientUntilTheHostSetsOne)
{
    ASSERT_EQ(Embed(), S_OK);
    auto heightOf = [](HFONT font) {
        LOGFONTW description{};
        GetObjectW(font, sizeof(description), &description);
        return description.lfHeight;
    };
    auto treeFont = [this] { return reinterpret_cast<HFONT>(SendMessageW(TreeWindow(), WM_GETFONT, 0, 0)); };
    const auto fontValue = automation->Get(L"Font");
    ComPtr<IFont> font = QueryOrNull<IFont>(fontValue.value.Object());
    ASSERT_TRUE(font);
    CY size{}, ambientSize{};
    font->get_Size(&size);
    QueryOrNull<IFont>(site.AmbientFont())->get_Size(&ambientSize);
    EXPECT_EQ(size.int64, ambientSize.int64) << "the ambient font's size";
    EXPECT_TRUE(notices.changed.empty()) << "taking the ambient font is no change of the control's";
    const LONG ambientHeight = heightOf(treeFont());

    // A font of the host's: the control keeps a copy, tells its sinks, and the tree shows it.
    static wchar_t face[] = L"Courier New";
    FONTDESC description{sizeof(FONTDESC), face, {{20 * 10000, 0}}, FW_NORMAL, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    ComPtr<IFontDisp> hostFont;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(hostFont.Receive())), S_OK);
    ASSERT_EQ(automation->Put(L"Font", {static_cast<IDispatch*>(hostFont.Get())}).hr, S_OK);
    EXPECT_EQ(notices.changed, std::vector<DISPID>{DISPID_FONT});
    EXPECT_NE(heightOf(treeFont()), ambientHeight);

    // A change made through the font object reaches the tree too.
    ComPtr<IFont> current = QueryOrNull<IFont>(automation->Get(L"Font").value.Object());
    ASSERT_TRUE(current);
    EXPECT_NE(current.Get(), QueryOrNull<IFont>(hostFont.Get()).Get()) << "the host's font is not shared";
    const LONG before = heightOf(treeFont());
    current->put_Size(CY{{30 * 10000, 0}});
    EXPECT_NE(heightOf(treeFont()), before);
    EXPECT_EQ(notices.changed.size(), 2u);

    // The ambient font no longer applies.
    ComPtr<IOleControl> ole = QueryOrNull<IOleControl>(control.Get());
    ole->OnAmbientPropertyChange(DISPID_AMBIENT_FONT);
    EXPECT_EQ(notices.changed.size(), 2u);
    EXPECT_TRUE(Fails(automation->Put(L"Font", {L"Arial"}), DISP_E_TYPEMISMATCH));
    // Until the host gives it back.
    ASSERT_EQ(automation->Put(L"Font", {static_cast<IDispatch*>(nullptr)}).hr, S_OK);
    CY restored{};
    QueryOrNull<IFont>(automation->Get(L"Font").value.Object())->get_Size(&restored);
    EXPECT_EQ(restored.int64, ambientSize.int64);
    EXPECT_EQ(heightOf(treeFont()), ambientHeight);
}

} // namespace
