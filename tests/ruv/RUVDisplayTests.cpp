// The RUV file display over the reference model, in-process, on a real tree.
#include <functional>
#include <set>

#include "support/ModelTreeTest.h"
#include "DocumentObject.h"
#include "Faults.h"
#include "Reader.h"
#include "platform/com/ComError.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::ComPtr;

namespace {

const char* const kFile = R"({
  "version": 1,
  "attributes": [ {"name": "PROJECT", "label": "Project", "value": "Demo"},
                  {"name": "HIDDEN", "value": "x", "visible": false},
                  {"name": "INTERNAL", "value": "y", "displayable": false} ],
  "typeDictionary": { "endTypes": {"BW": "Butt weld"} },
  "pipelines": [
    { "name": "P-101",
      "attributes": [ {"name": "LENGTH", "label": "Length", "value": "25", "units": "mm"},
                      {"name": "CUT", "label": "Cut", "value": "2 ft", "units": "ft"},
                      {"name": "MASS", "label": "Mass", "value": "30", "units": "lb"},
                      {"name": "CLASS", "label": "Class", "value": "A1", "units": "mm"},
                      {"name": "COUNT", "label": "Count", "value": 7} ],
      "components": [
        { "id": "c1", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "keypoints": [ {"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [1000, 0, 25.4]},
                         {"name": "CP", "internal": true, "position": [0, 0, 0]} ],
          "material": { "itemCode": "E1", "group": "Fittings", "componentType": "ELBO" } },
        { "id": "c2", "attributes": [ {"name": "IMPORT-STATUS", "value": "broken"} ], "keypoints": [],
          "material": { "itemCode": "P1", "group": "Pipe", "componentType": "PIPE" } },
        { "id": "c3", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN "} ], "keypoints": null,
          "material": { "itemCode": "P2", "group": "Pipe", "componentType": "PIPE" } },
        { "id": "c4", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "material": { "itemCode": "P3", "group": "Pipe", "componentType": "PIPE" } }
      ],
      "sheets": [3, 4] },
    { "name": "P-102" }
  ]
})";

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
    }
    void ReleaseAll() override
    {
        m_display.reset();
        m_file.Reset();
        m_document.Reset();
    }

    InspectableDisplay& Display()
    {
        if (!m_display)
            m_display = std::make_unique<InspectableDisplay>(&Tree(), &m_settings, m_file);
        return *m_display;
    }

    // Every item in the tree is registered with the display, and nothing else; no refresh is half done.
    void CheckRegistry()
    {
        const std::vector<HTREEITEM> registered = Display().Registered();
        EXPECT_EQ(AllItems(), std::set<HTREEITEM>(registered.begin(), registered.end()));
        EXPECT_TRUE(Display().Settled());
    }

    void Refresh(IUnknown* entity)
    {
        Display().Refresh(entity);
        CheckRegistry();
        CheckInvariant();
    }

    template <typename T>
    ComPtr<T> Get(std::function<HRESULT(T**)> getter)
    {
        ComPtr<T> result;
        EXPECT_EQ(getter(result.Receive()), S_OK);
        return result;
    }
    ComPtr<IRUVPipeline> Pipeline(long i) { return modelkit::PipelineOf(m_file.Get(), i); }
    ComPtr<IRUVComponent> Component(long k) { return modelkit::ComponentOf(modelkit::PipelineOf(m_file.Get(), 0).Get(), k); }

    CTreeContentSettings m_settings;
    ComPtr<IRUVDocument> m_document;
    ComPtr<IRUVFile> m_file;
    std::unique_ptr<InspectableDisplay> m_display;
};

TEST_F(RUVDisplay, FileBranchShowsAttributesPipelinesAndSheets)
{
    Refresh(nullptr);
    const std::wstring dump = Dump(nullptr, true);
    EXPECT_EQ(dump.rfind(L"plant.json#0 {Attributes#2 {Project = Demo #3} | "
                         L"P-101#1 {Attributes#2 {Length = 25mm#3 | Cut = 609.6mm#3 | Mass = 13.61kg#3 | "
                         L"Class = A1 mm#3 | Count = 7 #3} | Components#4 {",
                         0),
              0u)
        << dump;
    EXPECT_NE(dump.find(L"| Sheets#33 {Sheet_3#34 | Sheet_4#34}} | P-102#1 {Attributes#2 | Components#4 | Sheets#33}}"),
              std::wstring::npos)
        << dump;
}

TEST_F(RUVDisplay, AttributeValuesFollowTheWorkingUnits)
{
    m_settings.SetWorkingUnits(L"Coordinates", 4);
    m_settings.SetWorkingUnits(L"Weights", 2);
    Refresh(nullptr);
    EXPECT_NE(Dump().find(L"Length = 63/64\" | Cut = 24\""), std::wstring::npos) << Dump();
    EXPECT_NE(Dump().find(L"Mass = 30lb"), std::wstring::npos);

    // An attribute sent to "Weights" takes its code as a length code: 1 is metres.
    m_settings.SetAttributeWorkingUnits(L"LENGTH", L"Weights");
    m_settings.SetWorkingUnits(L"Weights", 1);
    const size_t before = Tree().GetCount();
    Refresh(nullptr);
    EXPECT_NE(Dump().find(L"Length = 0.025m"), std::wstring::npos) << Dump();
    EXPECT_EQ(Tree().GetCount(), before) << "the texts change in place";
}

TEST_F(RUVDisplay, UnchangedRefreshKeepsEveryItem)
{
    Refresh(nullptr);
    HTREEITEM root = Tree().GetRootItem();
    HTREEITEM pipeline = Tree().GetNextSiblingItem(Tree().GetChildItem(root));
    Tree().SetItemState(pipeline, TVIS_SELECTED, TVIS_SELECTED, FALSE);
    Refresh(nullptr);
    EXPECT_EQ(Tree().GetRootItem(), root);
    EXPECT_EQ(Tree().GetNextSiblingItem(Tree().GetChildItem(root)), pipeline);
    EXPECT_TRUE(Tree().GetNativeState(pipeline, TVIS_SELECTED));
    CheckInvariant();
}

TEST_F(RUVDisplay, KeypointRows)
{
    Display();
    HTREEITEM parent = Tree().InsertItem(L"component", TVI_ROOT, TVI_LAST, 0);
    m_settings.SetWorkingUnits(L"Coordinates", 1);
    Display().PopulateKeypoints(Component(0), parent, 6, 7, 3);
    EXPECT_EQ(Dump(Tree().GetChildItem(parent)),
              L"Keypoints (2) {EP1 [External] {Coordinate = (1m, 0m, 0.0254m) | Bore = 100 mm | End Type = BW (Butt weld)} | "
              L"CP [Internal] {Coordinate = (0m, 0m, 0m) | Bore = 0  | End Type = }}");
    HTREEITEM empty = Display().PopulateKeypoints(Component(1), parent, 6, 7, 3);
    EXPECT_EQ(Dump(empty), L"Keypoints (0)");
    EXPECT_EQ(Display().PopulateKeypoints(Component(2), parent, 6, 7, 3), nullptr) << "no keypoints collection, no node";
}

TEST_F(RUVDisplay, BrokenComponentsAreThoseMarkedExactlyBroken)
{
    EXPECT_TRUE(Display().IsBroken(Component(0)));
    EXPECT_FALSE(Display().IsBroken(Component(1))) << "letter case counts";
    EXPECT_FALSE(Display().IsBroken(Component(2))) << "so do trailing blanks";
    // The list holds bare pointers: the branch's registry keeps the components alive.
    Refresh(nullptr);
    std::vector<IUnknown*> broken;
    Display().GetBrokenEntities(broken);
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[0], static_cast<IUnknown*>(Component(0).Get()));
    EXPECT_EQ(broken[1], static_cast<IUnknown*>(Component(3).Get()));
    EXPECT_THROW(Display().IsBroken(ComPtr<IRUVComponent>()), platform::ComError);
}

TEST_F(RUVDisplay, RefreshEntitiesByKind)
{
    Display().Refresh(nullptr);
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    ComPtr<IRUVAttributes> attributes;
    pipeline->GetAttributes(attributes.Receive());
    VARIANT first;
    VariantInit(&first);
    V_VT(&first) = VT_I4;
    ComPtr<IRUVAttribute> attribute;
    attributes->Item(first, attribute.Receive());
    ComPtr<IRUVSheets> sheets;
    pipeline->GetSheets(sheets.Receive());
    ComPtr<IRUVSheet> sheet;
    sheets->Item(0, sheet.Receive());
    ComPtr<IRUVComponent> component = Component(0);
    ComPtr<IRUVMaterial> material;
    component->GetMaterial(material.Receive());
    ComPtr<IRUVKeypoints> keypoints;
    component->GetKeypoints(keypoints.Receive());
    ComPtr<IRUVKeypoint> keypoint;
    keypoints->Item(first, keypoint.Receive());
    ComPtr<IRUVComponentGroups> groups;
    pipeline->GetComponentGroups(3, 1, groups.Receive());

    EXPECT_EQ(Display().GetRefreshEntity(m_file.Get()), nullptr) << "the file rebuilds everything";
    EXPECT_EQ(Display().GetRefreshEntity(pipeline.Get()), pipeline.Get());
    EXPECT_EQ(Display().GetRefreshEntity(attribute.Get()), attributes.Get());
    EXPECT_EQ(Display().GetRefreshEntity(sheet.Get()), sheets.Get());
    EXPECT_EQ(Display().GetRefreshEntity(keypoint.Get()), keypoints.Get());
    EXPECT_EQ(Display().GetRefreshEntity(material.Get()), component.Get());
    EXPECT_EQ(Display().GetRefreshEntity(groups.Get()), static_cast<IUnknown*>(pipeline.Get()));
    EXPECT_TRUE(Display().OwnsEntity(attribute.Get()));
    EXPECT_FALSE(Display().OwnsEntity(m_document.Get()));
}

TEST_F(RUVDisplay, OneAttributeRefreshRebuildsItsList)
{
    Display().Refresh(nullptr);
    ComPtr<IRUVAttributes> attributes;
    Pipeline(0)->GetAttributes(attributes.Receive());
    VARIANT first;
    VariantInit(&first);
    V_VT(&first) = VT_I4;
    ComPtr<IRUVAttribute> length;
    attributes->Item(first, length.Receive());
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_R8;
    V_R8(&value) = 30;
    ASSERT_EQ(m_document->SetAttributeValue(length.Get(), value), S_OK);
    ASSERT_EQ(m_document->RemoveAttribute(Get<IRUVAttribute>([&](IRUVAttribute** out) {
                  VARIANT last;
                  VariantInit(&last);
                  V_VT(&last) = VT_I4;
                  V_I4(&last) = 4;
                  return attributes->Item(last, out);
              }).Get()),
              S_OK);
    Refresh(length.Get());
    EXPECT_NE(Dump().find(L"{Length = 30mm | Cut = 609.6mm | Mass = 13.61kg | Class = A1 mm} | Components"), std::wstring::npos)
        << Dump();
    CheckInvariant();
}

TEST_F(RUVDisplay, FailingModelCallsRaiseTheirErrorAndKeepWhatWasBuilt)
{
    ruvmodel::faults::Inject(L"IRUVPipeline.GetName", 2, E_ACCESSDENIED);
    try {
        Display().Refresh(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const platform::ComError& error) {
        EXPECT_EQ(error.Result(), E_ACCESSDENIED);
        EXPECT_TRUE(error.Interface() == __uuidof(IRUVPipeline));
        EXPECT_EQ(error.Description(), L"IRUVPipeline.GetName failed (injected)");
    }
    EXPECT_NE(Dump().find(L"P-101"), std::wstring::npos) << "items built before the failure stay";
    CheckRegistry();
    Refresh(nullptr);
    EXPECT_NE(Dump().find(L"P-102"), std::wstring::npos) << "the next refresh works";

    // A failure in a rebuild keeps every item, kept or leftover, registered too.
    ruvmodel::faults::Inject(L"IRUVAttribute.GetLabel", 3, E_FAIL);
    EXPECT_THROW(Display().Refresh(nullptr), platform::ComError);
    CheckRegistry();
    Refresh(nullptr);
}

struct UnitCase {
    const wchar_t* key;  // the value-type key given working units
    int units;
    const wchar_t* expected;
};

TEST_F(RUVDisplay, LengthsWeightsAndCoordinatesInEveryWorkingUnit)
{
    // LENGTH is 25 mm, CUT 2 ft, MASS 30 lb.
    const UnitCase cases[] = {
        {L"Coordinates", 1, L"Length = 0.025m | Cut = 0.6096m"},
        {L"Coordinates", 2, L"Length = 25mm | Cut = 609.6mm"},
        {L"Coordinates", 3, L"Length = 63/64\" | Cut = 2'"},
        {L"Coordinates", 4, L"Length = 63/64\" | Cut = 24\""},
        {L"Weights", 1, L"Mass = 13.61kg"},
        {L"Weights", 2, L"Mass = 30lb"},
    };
    for (const UnitCase& c : cases) {
        SCOPED_TRACE(c.expected);
        m_settings.SetWorkingUnits(c.key, c.units);
        Refresh(nullptr);
        EXPECT_NE(Dump().find(c.expected), std::wstring::npos) << Dump();
    }
    const std::pair<int, const wchar_t*> coordinates[] = {
        {0, L"(1000mm, -25.4mm, 0mm)"}, {1, L"(1m, -0.0254m, 0m)"},  {2, L"(1000mm, -25.4mm, 0mm)"},
        {3, L"(3'3-3/8\", -1\", 0')"},  {4, L"(39-3/8\", -1\", 0\")"},
    };
    for (const auto& [units, expected] : coordinates) {
        m_settings.SetWorkingUnits(L"Coordinates", units);
        EXPECT_EQ(Display().FormatCoordinates(1000, -25.4, 0), expected) << units;
    }
}

TEST_F(RUVDisplay, WithoutTheNavigatorClassTheDisplayCannotBeMade)
{
    Model().RevokeNavigator();
    try {
        CRUV3TreeDisplay display(&Tree(), &m_settings, m_file);
        ADD_FAILURE() << "made a display without a navigator";
    } catch (const platform::ComError& error) {
        EXPECT_EQ(error.Result(), E_POINTER);
    }
}

} // namespace
