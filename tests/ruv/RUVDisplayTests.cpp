// The RUV file display over the reference model, in-process, on a real tree: what the golden dumps
// of the sample plant cannot see. Labels under each setting, the working units, data the sample
// lacks, one-entity refreshes and what they keep, numbering after edits, and model failures in
// the middle of a build.
#include <set>
#include <string_view>

#include "Faults.h"
#include "platform/com/ComError.h"
#include "support/ModelTreeTest.h"

using modelkit::Get;
using platform::ComPtr;
using platform::ScopedVariant;

namespace {

const char* const kFile = R"({
  "version": 1,
  "typeDictionary": { "componentTypes": { "ELBO": {"DisplayName": "Elbow"} },
                      "groups": { "Pipe": {"DisplayName": "Pipe and tube"} }, "endTypes": {"BW": "Butt weld"} },
  "pipelines": [
    { "name": "P-101",
      "attributes": [ {"name": "LENGTH", "label": "Length", "value": "25", "units": "mm"},
                      {"name": "CUT", "label": "Cut", "value": "2 ft", "units": "ft"},
                      {"name": "MASS", "label": "Mass", "value": "30", "units": "lb"},
                      {"name": "CLASS", "label": "Class", "value": "A1", "units": "mm"},
                      {"name": "COUNT", "label": "Count", "value": 7} ],
      "informationItems": [
        {"name": "Spool-Summary", "attributes": [ {"name": "SEQUENCE-NUMBER", "value": "S1"}, {"name": "IDENTIFIER", "value": "SP-1"} ]},
        {"name": "Spool-Summary", "attributes": [ {"name": "SEQUENCE-NUMBER", "value": null}, {"name": "IDENTIFIER", "value": ""} ]},
        {"name": "Note", "points": { "Master": [[1, 2, 3]] }},
        {"name": "Spool-Summary", "attributes": null} ],
      "components": [
        { "id": "c1", "flyText": "Bend A", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "keypoints": [ {"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [1000, -25.4, 0]} ],
          "material": { "itemCode": "E1", "group": "Fittings", "componentType": "ELBO", "weight": 12.5 } },
        { "id": "c2", "attributes": [ {"name": "IMPORT-STATUS", "value": "broken"} ], "keypoints": [],
          "material": { "itemCode": "V1", "group": "valves", "componentType": "VALV" } },
        { "id": "c3", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN "} ],
          "material": { "itemCode": "T1", "group": "Pipe", "componentType": "Tap" } },
        { "id": "c4", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "material": { "itemCode": "P1", "group": "Pipe", "componentType": "PIPE" } }
      ],
      "spools": [ {"name": "S1", "components": ["c1"]}, {"name": "X", "components": ["c2"]}, {"name": "", "components": ["c3"]} ],
      "sheets": [3, 4] },
    { "name": "P-102", "informationItems": null, "components": [ {"id": "d1", "attributes": null, "material": null} ] }
  ]
})";

// The COM error that body raises, as "80004003 description"; empty for none.
std::wstring RaisedBy(const std::function<void()>& body)
{
    try {
        body();
    } catch (const platform::ComError& error) {
        wchar_t code[9] = {};
        swprintf(code, 9, L"%08lX", static_cast<unsigned long>(error.Result()));
        return code + (L" " + error.Description());
    }
    return std::wstring();
}

std::wstring_view g_failingText;
const auto g_allocate = reinterpret_cast<decltype(&SysAllocStringLen)>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"oleaut32.dll"), "SysAllocStringLen")));

BSTR WINAPI AllocateUnlessFailing(const OLECHAR* text, UINT length)
{
    return g_failingText.data() && g_failingText == std::wstring_view(text, length) ? nullptr : g_allocate(text, length);
}

// From now on SysAllocStringLen fails for text (for none when it is null), as when memory runs out:
// this program's import slot of the function points at a stand-in.
void FailAllocationOf(const wchar_t* text)
{
    g_failingText = text ? std::wstring_view(text) : std::wstring_view();
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        for (auto** slot = reinterpret_cast<void**>(base + dll->FirstThunk); *slot; ++slot) {
            DWORD protection = 0;
            if (*slot == reinterpret_cast<void*>(g_allocate) && VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection))
                *slot = reinterpret_cast<void*>(&AllocateUnlessFailing);
        }
    }
}

// The RUV display with its registries open to the tests.
class InspectableDisplay : public CRUV3TreeDisplay {
public:
    using CRUV3TreeDisplay::CRUV3TreeDisplay;
    std::vector<HTREEITEM> Registered() const { return m_current.GetAllItems(); }
    bool Settled() const { return m_stale.GetAllItems().empty() && m_lastInserted.empty(); }
};

class RUVDisplay : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        m_document = modelkit::Document(kFile, L"C:\\jobs\\plant.json");
        m_file = modelkit::FileOf(m_document.Get());
        m_display = std::make_unique<InspectableDisplay>(&Tree(), &m_settings, m_file);
    }
    void ReleaseAll() override
    {
        m_display.reset();
        m_file.Reset();
        m_document.Reset();
    }

    // Every item in the tree is registered with the display, and nothing else; no refresh is half done.
    void CheckRegistry()
    {
        const std::vector<HTREEITEM> registered = m_display->Registered();
        EXPECT_EQ(AllItems(), std::set<HTREEITEM>(registered.begin(), registered.end()));
        EXPECT_TRUE(m_display->Settled());
    }
    void Refresh(IUnknown* entity = nullptr)
    {
        m_display->Refresh(entity);
        CheckRegistry();
        CheckInvariant();
    }

    // The item that shows the entity (its top item; rows of the entity lie below it).
    HTREEITEM ItemOf(IUnknown* entity)
    {
        const ItemSet items = m_display->GetTopItems(entity);
        return items.empty() ? nullptr : *items.begin();
    }
    // The labels of an item's children, with their item data when it is not 0: "A | B#1".
    std::wstring Children(HTREEITEM parent)
    {
        std::wstring labels;
        for (HTREEITEM child = Tree().GetChildItem(parent); child; child = Tree().GetNextSiblingItem(child)) {
            labels += (labels.empty() ? L"" : L" | ") + TextOf(child);
            if (DataOf(child))
                labels += L"#" + std::to_wstring(DataOf(child));
        }
        return labels;
    }
    ComPtr<IRUVPipeline> Pipeline(long i) { return modelkit::PipelineOf(m_file.Get(), i); }
    ComPtr<IRUVComponent> Component(long k) { return modelkit::ComponentOf(Pipeline(0).Get(), k); }

    CTreeContentSettings m_settings;
    ComPtr<IRUVDocument> m_document;
    ComPtr<IRUVFile> m_file;
    std::unique_ptr<InspectableDisplay> m_display;
};

TEST_F(RUVDisplay, ComponentLabelsUnderEachSetting)
{
    // The first component's type has a display name, and it has a fly text; the second has neither.
    const struct { int numbers, text; const wchar_t *first, *second; } cases[] = {
        {1, eCTComponentType, L"1.Elbow", L"2.VALV"},
        {1, eCTFlyText, L"1.Bend A", L"2."},
        {0, eCTComponentType, L"Elbow", L"VALV"},
        {0, eCTFlyText, L"Bend A", L""},
    };
    for (const auto& c : cases) {
        m_settings.SetComponentSequenceNos(c.numbers);
        m_settings.SetComponentText(c.text);
        Refresh();
        EXPECT_EQ(TextOf(ItemOf(Component(0).Get())), c.first);
        EXPECT_EQ(TextOf(ItemOf(Component(1).Get())), c.second);
    }
}

TEST_F(RUVDisplay, ImagesByGroupTypeAndExactBrokenness)
{
    Refresh();
    // Only an IMPORT-STATUS of exactly BROKEN is broken: not "broken", not "BROKEN ".
    const struct { long component; int image, materialImage; } cases[] = {
        {0, 32, 23}, // broken wins over the group
        {1, 5, 11},  // group texts compare with case
        {2, 12, 22}, // a group of the table wins over the type Tap
        {3, 32, 22},
    };
    for (const auto& c : cases) {
        ComPtr<IRUVComponent> component = Component(c.component);
        EXPECT_EQ(Tree().GetItemImage(ItemOf(component.Get())), c.image) << c.component;
        EXPECT_EQ(Tree().GetItemImage(ItemOf(Get(component.Get(), L"GetMaterial").Get())), c.materialImage) << c.component;
    }
    std::vector<IUnknown*> broken;
    m_display->GetBrokenEntities(broken);
    EXPECT_EQ(broken, (std::vector<IUnknown*>{Component(0).Get(), Component(3).Get()}));
    EXPECT_EQ(RaisedBy([&] { m_display->IsBroken(ComPtr<IRUVComponent>()); }),
              L"80004003 the object model gave no object to call IRUVComponent::GetAttributes on");

    // A type without a display name shows an empty one; a group without one shows itself.
    const std::wstring tap = Dump(ItemOf(Get(Component(2).Get(), L"GetMaterial").Get()));
    EXPECT_NE(tap.find(L"{Attributes | Component Type =  | "), std::wstring::npos) << tap;
    EXPECT_NE(tap.find(L"| Group = Pipe and tube |"), std::wstring::npos) << tap;
    EXPECT_EQ(TextOf(ItemOf(Get(Component(1).Get(), L"GetKeypoints").Get())), L"Keypoints (0)");
}

TEST_F(RUVDisplay, ValuesInEveryWorkingUnit)
{
    // LENGTH is 25 mm, CUT 2 ft, MASS 30 lb, the material 12.5 kg and the keypoint at
    // (1000, -25.4, 0) mm. The settings accumulate from row to row; each shows two texts.
    const struct { const wchar_t* key; int units; const wchar_t *values, *point; } cases[] = {
        {L"Coordinates", 0, L"{Length = 25mm | Cut = 609.6mm | Mass = 13.61kg | Class = A1 mm | Count = 7 }", L"(1000mm, -25.4mm, 0mm)"},
        {L"Coordinates", 1, L"{Length = 0.025m | Cut = 0.6096m | Mass", L"(1m, -0.0254m, 0m)"},
        {L"Coordinates", 2, L"{Length = 25mm | Cut = 609.6mm | Mass", L"(1000mm, -25.4mm, 0mm)"},
        {L"Coordinates", 3, L"{Length = 63/64\" | Cut = 2' | Mass", L"(3'3-3/8\", -1\", 0')"},
        {L"Coordinates", 4, L"{Length = 63/64\" | Cut = 24\" | Mass", L"(39-3/8\", -1\", 0\")"},
        {L"Weights", 0, L"Mass = 13.61kg", L"Weight = 12.5kg"},
        {L"Weights", 2, L"Mass = 30lb", L"Weight = 27.56lb"},
        {L"Weights", 1, L"Mass = 13.61kg", L"Weight = 12.5kg"},
    };
    Refresh();
    const UINT count = Tree().GetCount();
    for (const auto& c : cases) {
        m_settings.SetWorkingUnits(c.key, c.units);
        Refresh();
        for (const wchar_t* shown : {c.values, c.point})
            EXPECT_NE(Dump().find(shown), std::wstring::npos) << std::string(shown, shown + wcslen(shown));
    }
    // An attribute sent to "Weights" takes its code as a length code: 1 is metres.
    m_settings.SetAttributeWorkingUnits(L"LENGTH", L"Weights");
    Refresh();
    EXPECT_NE(Dump().find(L"{Length = 0.025m | Cut = 24\""), std::wstring::npos) << Dump();
    EXPECT_EQ(Tree().GetCount(), count) << "the texts change in place";
}

TEST_F(RUVDisplay, SpoolsAreMatchedToSummariesByTheirTextEvenWhenEmpty)
{
    // S1 has a summary; X has none: erection items, with the group's index as data. The null
    // SEQUENCE-NUMBER reads as an empty text, which names both the spool "" and the components in
    // no spool; its empty IDENTIFIER labels them empty.
    // A summary without attributes names no spool; a pipeline without information items has none.
    m_settings.SetShowSpools(1);
    Refresh();
    EXPECT_EQ(Children(ItemOf(Pipeline(0).Get())),
              L"Attributes | Information Items (4) | SP-1 | Erection Items#1 |  |  | Sheets");
    EXPECT_EQ(Children(ItemOf(Get(Pipeline(0).Get(), L"GetInformationItems").Get())), L"Note");
    EXPECT_EQ(Children(ItemOf(Pipeline(1).Get())), L"Attributes | Erection Items | Sheets");
}

TEST_F(RUVDisplay, OnlyVariantTrueFromHasPointGivesACoordinateRow)
{
    ruvmodel::faults::OverrideHasPointTrue(1);
    Refresh();
    HTREEITEM note = ItemOf(Get(Get(Pipeline(0).Get(), L"GetInformationItems").Get(), L"Item", {2}).Get());
    EXPECT_EQ(Children(note), L"Attributes");
    ruvmodel::faults::OverrideHasPointTrue(0);
    Refresh();
    EXPECT_EQ(Children(note), L"Attributes | Coordinate = (1mm, 2mm, 3mm)#1");
}

TEST_F(RUVDisplay, EachKindRefreshesTheNodeThatShowsIt)
{
    Refresh();
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    ComPtr<IRUVComponent> component = Component(0);
    ComPtr<IDispatch> attributes = Get(pipeline.Get(), L"GetAttributes");
    ComPtr<IDispatch> sheets = Get(pipeline.Get(), L"GetSheets");
    ComPtr<IDispatch> keypoints = Get(component.Get(), L"GetKeypoints");
    const std::pair<ComPtr<IDispatch>, IUnknown*> cases[] = {
        {ComPtr<IDispatch>(m_file.Get()), nullptr}, // the whole file
        {ComPtr<IDispatch>(pipeline.Get()), pipeline.Get()},
        {Get(attributes.Get(), L"Item", {0}), attributes.Get()},
        {Get(sheets.Get(), L"Item", {0}), sheets.Get()},
        {Get(keypoints.Get(), L"Item", {0}), keypoints.Get()},
        {Get(component.Get(), L"GetMaterial"), component.Get()},
        {Get(pipeline.Get(), L"GetComponentGroups", {3, 1}), pipeline.Get()},
    };
    for (const auto& [entity, shownBy] : cases)
        EXPECT_EQ(m_display->GetRefreshEntity(entity.Get()), shownBy);
    EXPECT_TRUE(m_display->OwnsEntity(attributes.Get()));
    EXPECT_FALSE(m_display->OwnsEntity(m_document.Get()));
}

TEST_F(RUVDisplay, RefreshesKeepWhatDidNotChange)
{
    // (An unchanged refresh keeps every item: the display base's rule.)
    Refresh();
    HTREEITEM pipeline = ItemOf(Pipeline(0).Get());
    const std::set<HTREEITEM> all = AllItems();

    // One attribute changed and another removed: its list is rebuilt, every other item stays.
    ComPtr<IDispatch> attributes = Get(Pipeline(0).Get(), L"GetAttributes");
    ComPtr<IDispatch> length = Get(attributes.Get(), L"Item", {0});
    ASSERT_EQ(m_document->SetAttributeValue(length.Get(), ScopedVariant(L"30").Value()), S_OK);
    ASSERT_EQ(m_document->RemoveAttribute(Get(attributes.Get(), L"Item", {4}).Get()), S_OK);
    Refresh(length.Get());
    EXPECT_EQ(Children(ItemOf(attributes.Get())), L"Length = 30mm | Cut = 609.6mm | Mass = 13.61kg | Class = A1 mm");
    std::set<HTREEITEM> kept = AllItems();
    EXPECT_EQ(kept.size() + 1, all.size());
    kept.insert(all.begin(), all.end());
    EXPECT_EQ(kept, all) << "no item is new";

    // Switching the view keeps the pipeline and its information items; either view rebuilds its components in place.
    HTREEITEM items = ItemOf(Get(Pipeline(0).Get(), L"GetInformationItems").Get());
    for (int spools : {0, 1}) {
        m_settings.SetShowSpools(spools);
        Refresh();
        const std::wstring shown = Dump(pipeline);
        Refresh(Get(Pipeline(0).Get(), L"GetComponents").Get());
        EXPECT_EQ(Dump(pipeline), shown) << spools;
    }
    EXPECT_EQ(ItemOf(Pipeline(0).Get()), pipeline);
    EXPECT_EQ(ItemOf(Get(Pipeline(0).Get(), L"GetInformationItems").Get()), items);
}

TEST_F(RUVDisplay, NumberingAfterEdits)
{
    Refresh();
    // One component rebuilt alone keeps its number.
    HTREEITEM tap = ItemOf(Component(2).Get());
    Refresh(Component(2).Get());
    EXPECT_EQ(ItemOf(Component(2).Get()), tap);
    EXPECT_EQ(TextOf(tap), L"3.Tap");
    EXPECT_EQ(m_display->GetSequenceNumber(Component(2)), 3);

    // A component removed: the others are renumbered in place when their pipeline is refreshed.
    HTREEITEM valve = ItemOf(Component(1).Get());
    ASSERT_EQ(m_document->RemoveComponent(Component(0).Get()), S_OK);
    Refresh(Pipeline(0).Get());
    EXPECT_EQ(ItemOf(Component(0).Get()), valve);
    EXPECT_EQ(TextOf(valve), L"1.VALV");

    // Built without numbers, then rebuilt alone with them: no number to keep, so 0.
    m_settings.SetComponentSequenceNos(0);
    Refresh();
    m_settings.SetComponentSequenceNos(1);
    Refresh(Component(1).Get());
    EXPECT_EQ(TextOf(ItemOf(Component(1).Get())), L"0.Tap");
}

TEST_F(RUVDisplay, FailingModelCallsRaiseTheirErrorAndKeepTheRegistry)
{
    // A material's sixth value fails: its rows read before stay (a group without display name shows itself).
    ruvmodel::faults::Inject(L"IRUVMaterial.GetConfiguration", 1, E_FAIL);
    EXPECT_THROW(m_display->Refresh(nullptr), platform::ComError);
    EXPECT_EQ(Children(ItemOf(Get(Component(0).Get(), L"GetMaterial").Get())),
              L"Attributes | Component Type = Elbow#1 | SKEY = #2 | Item Code = E1#3 | Description = #4 | Group = Fittings#5");

    // The second pipeline's name fails: what was built before stays, registered.
    ruvmodel::faults::Inject(L"IRUVPipeline.GetName", 2, E_ACCESSDENIED);
    EXPECT_EQ(RaisedBy([&] { m_display->Refresh(nullptr); }), L"80070005 IRUVPipeline.GetName failed (injected)");
    EXPECT_NE(ItemOf(Pipeline(0).Get()), nullptr);
    CheckRegistry();
    Refresh();
    EXPECT_NE(ItemOf(Pipeline(1).Get()), nullptr) << "the next refresh works";

    // A failure in a rebuild keeps every item, kept or leftover, registered too; so does a text for
    // the model that cannot be allocated, which raises E_OUTOFMEMORY instead of passing on null.
    ruvmodel::faults::Inject(L"IRUVAttribute.GetLabel", 3, E_FAIL);
    EXPECT_THROW(m_display->Refresh(nullptr), platform::ComError);
    CheckRegistry();
    for (const wchar_t* text : {L"DisplayName", L"Master"}) {
        FailAllocationOf(text);
        EXPECT_EQ(RaisedBy([&] { m_display->Refresh(nullptr); }).substr(0, 8), L"8007000E") << text;
    }
    FailAllocationOf(nullptr);
    Refresh();
}

TEST_F(RUVDisplay, WithoutTheNavigatorClassTheDisplayCannotBeMade)
{
    Model().RevokeNavigator();
    EXPECT_EQ(RaisedBy([&] { CRUV3TreeDisplay display(&Tree(), &m_settings, m_file); }),
              L"80004003 the object model's navigator (class RUVNavigator) could not be created");
}

} // namespace
