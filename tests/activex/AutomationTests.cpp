// The control automated by name as a script host does: results and errors a host sees (a model's
// failure among them), the About box, the stock properties' vetoes, and the ambient font rules.
#include "Faults.h"
#include "HostedControl.h"

namespace {

using Automation = HostedControl;
using platform::DispatchResult;

constexpr HRESULT kSetNotSupported = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 383);

// The call failed with expected, directly or as the exception's code.
bool Fails(const DispatchResult& call, HRESULT expected)
{
    return call.hr == expected || (call.hr == DISP_E_EXCEPTION && call.scode == expected);
}

// A result as the table states it: text, a number, "Nothing" or "(object)".
std::wstring Shown(const ScopedVariant& value)
{
    if (value.Type() == VT_DISPATCH)
        return value.Object() ? L"(object)" : L"Nothing";
    return value.Type() == VT_EMPTY || value.Type() == VT_BSTR ? value.Text() : std::to_wstring(value.ToLong().value_or(-9));
}

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND about = FindWindowW(nullptr, L"About Corbel Control"))
        PostMessageW(about, WM_COMMAND, IDOK, 0);
}

TEST_F(Automation, MembersAreCalledByNameWithTheResultsAndErrorsAHostSees)
{
    EXPECT_EQ(automation.IdOf(L"showspools"), dispidShowSpools) << "names in any case";
    AddPlant();
    enum How { Get, Put, ByRef };
    struct Step {
        How how;
        const wchar_t* name;
        std::vector<ScopedVariant> args;
        HRESULT expected;
        const wchar_t* result;
    };
    const Step steps[] = {
        {Put, L"SelectedItemCount", {3}, kSetNotSupported, L""},
        {Put, L"SelectedItem", {0, static_cast<IDispatch*>(nullptr)}, kSetNotSupported, L""},
        {Get, L"SelectedItem", {0}, DISP_E_BADINDEX, L""},
        {Get, L"AddRUVFile", {dispatch.Get()}, E_INVALIDARG, L""}, // an object that is no file
        {Get, L"SetSelection", {L"text"}, DISP_E_TYPEMISMATCH, L""},
        {Get, L"AddRUVFileByName", {L"plant.json"}, S_OK, L"Nothing"}, // the host opens files
        {Get, L"TestGetSelection", {}, S_OK, L"Nothing"},
        {Put, L"DisplayNames", {L"Spools", L"Spool pieces"}, S_OK, L""},
        {ByRef, L"DisplayNames", {L"Spools"}, S_OK, L"Spool pieces"}, // as a script passes its variables
        {Get, L"SetSelection", {file.Get()}, S_OK, L""},
        {Get, L"SelectedItem", {0}, S_OK, L"(object)"},
        {Get, L"SelectedItemCount", {}, S_OK, L"1"},
    };
    for (const Step& step : steps) {
        const DispatchResult call = step.how == Put     ? automation.Put(step.name, step.args)
                                    : step.how == ByRef ? automation.CallByRef(step.name, step.args)
                                                        : automation.Get(step.name, step.args);
        EXPECT_TRUE(Fails(call, step.expected)) << step.name << " " << std::hex << call.hr;
        EXPECT_EQ(Shown(call.value), step.result) << step.name;
        EXPECT_TRUE(call.hr != DISP_E_EXCEPTION || !call.description.empty()) << step.name << ": no description";
    }
    ScopedVariant none;
    DISPPARAMS empty{};
    EXPECT_EQ(dispatch->Invoke(dispidUpdateAll, IID_IDispatch, 0, DISPATCH_METHOD, &empty, none.Receive(), nullptr,
                               nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // A model that fails makes the call fail with the model's error; the control goes on.
    ruvmodel::faults::Inject(L"IRUVPipeline.GetName", 1, E_ACCESSDENIED);
    const DispatchResult failed = automation.Call(L"UpdateAll");
    EXPECT_TRUE(failed.hr == DISP_E_EXCEPTION && failed.scode == E_ACCESSDENIED);
    EXPECT_EQ(failed.description, L"IRUVPipeline.GetName failed (injected)");
    ruvmodel::faults::ClearAll();
    EXPECT_EQ(automation.Call(L"UpdateAll").hr, S_OK);
    EXPECT_EQ(Long(L"SelectedItemCount"), 1);
    // The About box, the module's dialog, is modal: closed from inside its loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutBox);
    EXPECT_EQ(automation.Call(L"AboutBox").hr, S_OK);
    KillTimer(nullptr, timer);
}

// Scripts bind late (tests/script); hosts that bind early call the collection's vtable. The
// collection holds its objects after the control let them go, and releases them when it goes.
TEST_F(Automation, SelectedItemsAnswerEarlyBindingAndHoldTheirObjects)
{
    AddPlant();
    automation.Call(L"SetSelection", {file.Get()});
    const auto items = QueryOrNull<IRUVSelectedItems>(automation.Get(L"SelectedItems").value.Object());
    ASSERT_TRUE(items);
    automation.Call(L"RemoveRUVFile", {file.Get()});
    LONG count = 0;
    ComPtr<IDispatch> first;
    ComPtr<IUnknown> each;
    ScopedVariant walked;
    EXPECT_TRUE(items->get_Count(&count) == S_OK && count == 1);
    EXPECT_EQ(items->get_Item(1, first.Receive()), DISP_E_BADINDEX);
    ASSERT_TRUE(items->get_Item(0, first.Receive()) == S_OK && items->get__NewEnum(each.Receive()) == S_OK);
    EXPECT_EQ(QueryOrNull<IEnumVARIANT>(each.Get())->Next(1, walked.Receive(), nullptr), S_OK);
    EXPECT_TRUE(modelkit::Identity(first.Get()) == modelkit::Identity(file.Get()) && walked.Object() == first.Get());
}

TEST_F(Automation, StockPropertiesAskFirstAndShapeTheWindow)
{
    ASSERT_EQ(Embed(), S_OK);
    HWND window = ControlWindow();
    auto border = [&] { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER) != 0; };
    auto edge = [&] { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; };
    EXPECT_TRUE(Long(L"BorderStyle") == 0 && Long(L"Appearance") == 0 && Long(L"Enabled") == -1);
    ASSERT_EQ(automation.Put(L"BorderStyle", {1}).hr, S_OK);
    EXPECT_TRUE(border() && !edge()) << "a flat single border is a line";
    ASSERT_EQ(automation.Put(L"Appearance", {1}).hr, S_OK);
    EXPECT_TRUE(!border() && edge()) << "in 3D a sunken edge";
    EXPECT_EQ(automation.Put(L"BorderStyle", {2}).scode, platform::kInvalidPropertyValue);
    EXPECT_EQ(Long(L"BorderStyle"), 1);
    ASSERT_EQ(automation.Put(L"Enabled", {false}).hr, S_OK);
    EXPECT_FALSE(IsWindowEnabled(window));
    ASSERT_EQ(automation.Put(L"ShowSpools", {true}).hr, S_OK);
    EXPECT_EQ(notices.requested, (std::vector<DISPID>{DISPID_BORDERSTYLE, DISPID_APPEARANCE, DISPID_ENABLED}))
        << "only the stock properties ask first";
    EXPECT_EQ(notices.changed,
              (std::vector<DISPID>{DISPID_BORDERSTYLE, DISPID_APPEARANCE, DISPID_ENABLED, dispidShowSpools}));
    notices.refuseEdits = true;
    EXPECT_EQ(automation.Put(L"Enabled", {true}).scode, platform::kSetNotPermitted);
    EXPECT_FALSE(automation.Get(L"Enabled").value.IsTrue() || IsWindowEnabled(window)) << "a refused edit changes nothing";
}

TEST_F(Automation, FontComesFromTheAmbientUntilTheHostSetsOne)
{
    ASSERT_EQ(Embed(), S_OK);
    auto treeFontHeight = [this] {
        LOGFONTW description{};
        GetObjectW(reinterpret_cast<HFONT>(Tree().Send(WM_GETFONT)), sizeof(description), &description);
        return description.lfHeight;
    };
    auto font = [this] { return QueryOrNull<IFont>(automation.Get(L"Font").value.Object()); };
    CY size{}, ambientSize{};
    font()->get_Size(&size);
    QueryOrNull<IFont>(site.AmbientFont())->get_Size(&ambientSize);
    EXPECT_EQ(size.int64, ambientSize.int64) << "the ambient font's size";
    EXPECT_TRUE(notices.changed.empty()) << "taking the ambient font is no change of the control's";
    const LONG ambientHeight = treeFontHeight();

    // A font of the host's: the control keeps a copy, tells its sinks, and the tree shows it.
    static wchar_t face[] = L"Courier New";
    FONTDESC description{sizeof(FONTDESC), face, {{20 * 10000, 0}}, FW_NORMAL, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    ComPtr<IFontDisp> hostFont;
    ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(hostFont.Receive())), S_OK);
    ASSERT_EQ(automation.Put(L"Font", {static_cast<IDispatch*>(hostFont.Get())}).hr, S_OK);
    EXPECT_EQ(notices.changed, std::vector<DISPID>{DISPID_FONT});
    EXPECT_NE(treeFontHeight(), ambientHeight);
    // A change made through the font object reaches the tree too; the host's font is not shared.
    EXPECT_NE(font().Get(), QueryOrNull<IFont>(hostFont.Get()).Get());
    const LONG before = treeFontHeight();
    font()->put_Size(CY{{30 * 10000, 0}});
    EXPECT_NE(treeFontHeight(), before);
    EXPECT_EQ(notices.changed.size(), 2u);
    // The ambient font no longer applies, until the host gives the font back.
    As<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_FONT);
    EXPECT_EQ(notices.changed.size(), 2u);
    EXPECT_TRUE(Fails(automation.Put(L"Font", {L"Arial"}), DISP_E_TYPEMISMATCH));
    ASSERT_EQ(automation.Put(L"Font", {static_cast<IDispatch*>(nullptr)}).hr, S_OK);
    font()->get_Size(&size);
    EXPECT_EQ(size.int64, ambientSize.int64);
    EXPECT_EQ(treeFontHeight(), ambientHeight);
}

} // namespace
