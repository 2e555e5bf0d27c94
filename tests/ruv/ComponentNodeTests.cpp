// Component, material, spool and information-item nodes: labels, images, numbering, spools, and
// rebuilds that keep what did not change.
#include <algorithm>

#include "support/ModelTreeTest.h"
#include "DocumentObject.h"
#include "Faults.h"
#include "Reader.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::ComPtr;

namespace {

const char* const kFile = R"({
  "version": 1,
  "typeDictionary": { "componentTypes": { "ELBO": {"DisplayName": "Elbow"} },
                      "groups": { "Pipe": {"DisplayName": "Pipe and tube"} } },
  "pipelines": [ {
    "name": "P",
    "informationItems": [
      {"name": "Spool-Summary", "attributes": [ {"name": "SEQUENCE-NUMBER", "value": "S1"}, {"name": "IDENTIFIER", "value": "SP-1"} ]},
      {"name": "Spool-Summary", "attributes": [ {"name": "SEQUENCE-NUMBER", "value": "S2"} ]},
      {"name": "Spool-Summary", "attributes": [ {"name": "SEQUENCE-NUMBER", "value": null}, {"name": "IDENTIFIER", "value": ""} ]},
      {"name": "Note", "points": { "Master": [[1, 2, 3]] }},
      {"name": "Other"} ],
    "components": [
      { "id": "c1", "flyText": "Bend A", "material": { "itemCode": "E1", "group": "Fittings", "componentType": "ELBO", "weight": 12.5 } },
      { "id": "c2", "material": { "itemCode": "V1", "group": "valves", "componentType": "VALV" } },
      { "id": "c3", "material": { "itemCode": "T1", "group": "Instrumentation", "componentType": "Tap" } },
      { "id": "c4", "material": { "itemCode": "R1", "group": "", "componentType": "Reference-Dimension" } },
      { "id": "c5", "material": { "itemCode": "T2", "group": "Pipe", "componentType": "Tap" } },
      { "id": "c6", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
        "material": { "itemCode": "P1", "group": "Pipe", "componentType": "PIPE" } }
    ],
    "spools": [ {"name": "S1", "components": ["c1"]}, {"name": "X", "components": ["c2"]},
                {"name": "S2", "components": ["c3"]}, {"name": "", "components": ["c4"]} ]
  } ]
})";

class ComponentNodes : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        m_document = modelkit::Document(kFile, L"f.json");
        m_file = modelkit::FileOf(m_document.Get());
        m_display = std::make_unique<CRUV3TreeDisplay>(&Tree(), &m_settings, m_file);
    }
    void ReleaseAll() override
    {
        m_display.reset();
        m_file.Reset();
        m_document.Reset();
    }

    // The item whose text is label, anywhere.
    HTREEITEM Find(const std::wstring& label)
    {
        for (HTREEITEM item : AllItems()) {
            if (TextOf(item) == label)
                return item;
        }
        return nullptr;
    }
    int ImageOf(HTREEITEM item)
    {
        TVITEMW tvi{};
        tvi.mask = TVIF_IMAGE | TVIF_PARAM;
        tvi.hItem = item;
        Tree().Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        return tvi.iImage;
    }
    ComPtr<IRUVComponent> Component(long k) { return modelkit::ComponentOf(modelkit::PipelineOf(m_file.Get(), 0).Get(), k); }

    CTreeContentSettings m_settings;
    ComPtr<IRUVDocument> m_document;
    ComPtr<IRUVFile> m_file;
    std::unique_ptr<CRUV3TreeDisplay> m_display;
};

TEST_F(ComponentNodes, LabelsByNumberingAndText)
{
    struct LabelCase {
        int numbers;
        int text;
        const wchar_t* label;
    };
    const LabelCase cases[] = {
        {1, eCTComponentType, L"1.Elbow"}, {1, eCTFlyText, L"1.Bend A"}, {0, eCTComponentType, L"Elbow"},
        {0, eCTFlyText, L"Bend A"},
    };
    for (const LabelCase& c : cases) {
        m_settings.SetComponentSequenceNos(c.numbers);
        m_settings.SetComponentText(c.text);
        m_display->Refresh(nullptr);
        EXPECT_NE(Find(c.label), nullptr) << std::string(c.label, c.label + wcslen(c.label));
    }
    m_settings.SetComponentText(eCTComponentType);
    m_settings.SetComponentSequenceNos(1);
    m_display->Refresh(nullptr);
    EXPECT_NE(Find(L"2.VALV"), nullptr) << "without a display name the raw type shows";
}

TEST_F(ComponentNodes, ImagesByGroupTypeAndBrokenness)
{
    m_display->Refresh(nullptr);
    EXPECT_EQ(ImageOf(Find(L"1.Elbow")), 13);
    EXPECT_EQ(ImageOf(Find(L"2.VALV")), 5) << "group texts compare with case";
    EXPECT_EQ(ImageOf(Find(L"Material : V1")), 11);
    EXPECT_EQ(ImageOf(Find(L"3.Tap")), 36);
    EXPECT_EQ(ImageOf(Find(L"4.Reference-Dimension")), 35);
    EXPECT_EQ(ImageOf(Find(L"5.Tap")), 12) << "a group in the table wins over the type";
    EXPECT_EQ(ImageOf(Find(L"6.PIPE")), 32) << "broken wins over the group";
    EXPECT_EQ(ImageOf(Find(L"Material : P1")), 22);
    EXPECT_NE(Find(L"Weight = 12.5kg"), nullptr);
    EXPECT_NE(Find(L"Group = Pipe and tube"), nullptr) << "the group's display name";
    EXPECT_NE(Find(L"Group = Fittings"), nullptr) << "or the group itself";
    EXPECT_NE(Find(L"Component Type = "), nullptr) << "an empty display name stays empty in the row";
}

TEST_F(ComponentNodes, SpoolsSummariesAndErectionItems)
{
    m_settings.SetShowSpools(1);
    m_display->Refresh(nullptr);
    HTREEITEM items = Find(L"Information Items (5)");
    ASSERT_NE(items, nullptr) << "the count includes the hidden summaries";
    int shown = 0;
    for (HTREEITEM child = Tree().GetChildItem(items); child; child = Tree().GetNextSiblingItem(child))
        ++shown;
    EXPECT_EQ(shown, 2);
    EXPECT_NE(Find(L"Coordinate = (1mm, 2mm, 3mm)"), nullptr);

    EXPECT_EQ(ImageOf(Find(L"SP-1")), 37);
    EXPECT_NE(Find(L"Unidentified Spool"), nullptr) << "a summary without IDENTIFIER";
    EXPECT_NE(Find(L""), nullptr) << "an empty IDENTIFIER labels the spool empty; a null SEQUENCE-NUMBER matches the empty group name";

    // The erection items: group X (index 1). The components in no spool form an unnamed group too,
    // which the null SEQUENCE-NUMBER names as well: it shows as a spool.
    std::vector<DWORD_PTR> data;
    for (HTREEITEM item : AllItems()) {
        if (TextOf(item) == L"Erection Items")
            data.push_back(static_cast<DWORD_PTR>(DataOf(item)));
    }
    std::sort(data.begin(), data.end());
    EXPECT_EQ(data, (std::vector<DWORD_PTR>{1}));
}

TEST_F(ComponentNodes, OnlyVariantTrueFromHasPointGivesACoordinateRow)
{
    ruvmodel::faults::OverrideHasPointTrue(1);
    m_display->Refresh(nullptr);
    EXPECT_NE(Find(L"Note"), nullptr);
    EXPECT_EQ(Find(L"Coordinate = (1mm, 2mm, 3mm)"), nullptr);
    ruvmodel::faults::OverrideHasPointTrue(0);
    m_display->Refresh(nullptr);
    EXPECT_NE(Find(L"Coordinate = (1mm, 2mm, 3mm)"), nullptr);
}

TEST_F(ComponentNodes, OneComponentRebuiltKeepsItsNumber)
{
    m_display->Refresh(nullptr);
    HTREEITEM third = Find(L"3.Tap");
    ASSERT_NE(third, nullptr);
    m_display->Refresh(Component(2).Get());
    EXPECT_EQ(Find(L"3.Tap"), third);
    EXPECT_EQ(m_display->GetSequenceNumber(Component(2)), 3);

    // Built without numbers, then rebuilt alone with them: no number to keep, so 0.
    m_settings.SetComponentSequenceNos(0);
    m_display->Refresh(nullptr);
    m_settings.SetComponentSequenceNos(1);
    m_display->Refresh(Component(2).Get());
    EXPECT_NE(Find(L"0.Tap"), nullptr);
}

TEST_F(ComponentNodes, RebuildsKeepWhatDidNotChange)
{
    m_display->Refresh(nullptr);
    HTREEITEM pipeline = Find(L"P");
    HTREEITEM elbow = Find(L"1.Elbow");
    HTREEITEM items = Find(L"Information Items (5)");

    // Switching the view: the pipeline and its information items stay, the component list changes.
    m_settings.SetShowSpools(1);
    m_display->Refresh(nullptr);
    EXPECT_EQ(Find(L"P"), pipeline);
    EXPECT_EQ(Find(L"Information Items (5)"), items);
    std::wstring children;
    for (HTREEITEM child = Tree().GetChildItem(pipeline); child; child = Tree().GetNextSiblingItem(child))
        children += Dump(child).substr(0, 3) + L";";
    EXPECT_EQ(children.find(L"Com;"), std::wstring::npos) << "no component list directly under the pipeline";
    m_settings.SetShowSpools(0);
    m_display->Refresh(nullptr);
    HTREEITEM elbowAgain = Find(L"1.Elbow");
    EXPECT_NE(elbowAgain, nullptr);

    // Removing a component and updating its pipeline: the others keep their items.
    HTREEITEM valve = Find(L"2.VALV");
    ComPtr<IRUVPipeline> owner;
    Component(0)->GetPipeline(owner.Receive());
    ASSERT_EQ(m_document->RemoveComponent(Component(0).Get()), S_OK);
    m_display->Refresh(owner.Get());
    EXPECT_EQ(Find(L"1.Elbow"), nullptr);
    EXPECT_NE(Find(L"1.VALV"), nullptr) << "renumbered";
    EXPECT_EQ(Find(L"1.VALV"), valve) << "in place";
    EXPECT_EQ(Find(L"P"), pipeline);
    (void)elbow;
    CheckInvariant();
}

} // namespace
