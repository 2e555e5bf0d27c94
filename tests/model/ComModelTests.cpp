// The reference model's COM objects: one pointer per object while it is held, the navigator's
// kinds and owners, edits through IRUVDocument, the calls it refuses, and its errors.
#include <functional>

#include <gtest/gtest.h>

#include "DocumentObject.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"
#include "support/ModelKit.h"

#ifndef RUV_SAMPLES_DIR
#error "RUV_SAMPLES_DIR must name the samples folder"
#endif

using modelkit::Call;
using modelkit::Get;
using modelkit::Identity;
using platform::ComPtr;
using platform::ScopedBstr;
using platform::ScopedVariant;

namespace {

const char* const kPlant = R"({
  "version": 1,
  "typeDictionary": { "endTypes": {"BW": "Butt weld"} },
  "pipelines": [
    { "name": "P-101",
      "attributes": [ {"name": "LENGTH", "value": 1200, "units": "mm"} ],
      "informationItems": [ {"name": "Spool-Summary", "points": {"Master": [[1, 2, 3]]}} ],
      "components": [
        { "id": "c1", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "keypoints": [ {"name": "EP1", "position": [1, 2, 3]} ], "informationItems": [ {"name": "Note"} ],
          "material": { "itemCode": "E100", "group": "Fittings", "componentType": "ELBO" } },
        { "id": "c2", "material": { "itemCode": "P100", "group": "Pipe", "componentType": "PIPE" } }
      ],
      "allGroups": [ {"name": "all", "components": ["c1", "c2"]} ],
      "spools": [ {"name": "1", "components": ["c2", "c1"]} ],
      "sheets": [7, 8] },
    { "name": "P-102" }
  ]
})";

class ComModel : public testing::Test {
protected:
    ComPtr<IRUVFile> File() { return modelkit::FileOf(m_document.Get()); }
    ComPtr<IRUVPipeline> Pipeline(long i) { return modelkit::PipelineOf(File().Get(), i); }
    ComPtr<IRUVComponent> Component(long k, long how = 1) { return modelkit::ComponentOf(Pipeline(0).Get(), k, 3, how); }

    // A navigator from the registered class, attached to the file.
    ComPtr<IRUVNavigator> Navigator()
    {
        ComPtr<IRUVNavigator> navigator;
        EXPECT_EQ(CoCreateInstance(CLSID_RUVNavigator, nullptr, CLSCTX_INPROC_SERVER, IID_IRUVNavigator,
                                   reinterpret_cast<void**>(navigator.Receive())),
                  S_OK);
        EXPECT_EQ(navigator->Attach(File().Get()), S_OK);
        return navigator;
    }
    long KindOf(IRUVNavigator* navigator, IUnknown* entity)
    {
        long kind = -1;
        EXPECT_EQ(navigator->GetEntityKind(entity, &kind), S_OK);
        return kind;
    }

    modelkit::InProcessModel m_model;
    ComPtr<IRUVDocument> m_document = modelkit::Document(kPlant);
};

TEST_F(ComModel, OneObjectIsOnePointerWhileHeld)
{
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    EXPECT_EQ(File().Get(), File().Get());
    EXPECT_EQ(Pipeline(0).Get(), pipeline.Get());
    EXPECT_EQ(Identity(pipeline.Get()), static_cast<IUnknown*>(pipeline.Get())) << "IUnknown is the same pointer";
    EXPECT_EQ(pipeline.Query<IDispatch>().Get(), static_cast<IDispatch*>(pipeline.Get()));

    // A component through the group of all components, its spool, the components object and its
    // owners' chain.
    ComPtr<IRUVComponent> c1 = Component(0);
    EXPECT_EQ(Component(1, 8).Get(), c1.Get()) << "c1 is the second member of spool 1";
    ComPtr<IDispatch> member = Get(Get(pipeline.Get(), L"GetComponents").Get(), L"Item", {0});
    EXPECT_EQ(Get(member.Get(), L"GetComponent").Get(), static_cast<IDispatch*>(c1.Get()));
    EXPECT_EQ(Get(c1.Get(), L"GetPipeline").Get(), static_cast<IDispatch*>(pipeline.Get()));
    EXPECT_EQ(Get(pipeline.Get(), L"GetFile").Get(), static_cast<IDispatch*>(File().Get()));

    // Collections are objects too; an attribute by position and by name is one object.
    ComPtr<IDispatch> attributes = Get(c1.Get(), L"GetAttributes");
    EXPECT_EQ(Get(c1.Get(), L"GetAttributes").Get(), attributes.Get());
    EXPECT_EQ(Get(attributes.Get(), L"Item", {0}).Get(), Get(attributes.Get(), L"Item", {L"IMPORT-STATUS"}).Get());
}

TEST_F(ComModel, NavigatorKindsAndOwners)
{
    ComPtr<IRUVNavigator> navigator = Navigator();
    const ComPtr<IDispatch> file(File().Get());
    const ComPtr<IDispatch> pipelines = Get(file.Get(), L"GetPipelines");
    const ComPtr<IDispatch> pipeline = Get(pipelines.Get(), L"Item", {0});
    const ComPtr<IDispatch> component(Component(0).Get());
    const ComPtr<IDispatch> pipelineItems = Get(pipeline.Get(), L"GetInformationItems");
    const ComPtr<IDispatch> groups = Get(pipeline.Get(), L"GetComponentGroups", {3, 8});
    const ComPtr<IDispatch> group = Get(groups.Get(), L"Item", {0});
    const ComPtr<IDispatch> attributes = Get(component.Get(), L"GetAttributes");
    const ComPtr<IDispatch> keypoints = Get(component.Get(), L"GetKeypoints");
    const ComPtr<IDispatch> sheets = Get(pipeline.Get(), L"GetSheets");
    // Each object's kind, and its owner of a kind (none where no object of that kind encloses it).
    const struct { ComPtr<IDispatch> entity; RUVEntityKind kind, ownerKind; IDispatch* owner; } cases[] = {
        {file, RUVKindFile, RUVKindFile, nullptr},
        {pipelines, RUVKindPipelines, RUVKindFile, file.Get()},
        {pipeline, RUVKindPipeline, RUVKindFile, file.Get()},
        {pipeline, RUVKindPipeline, RUVKindComponent, nullptr},
        {Get(pipeline.Get(), L"GetComponents"), RUVKindComponents, RUVKindPipeline, pipeline.Get()},
        {pipelineItems, RUVKindInformationItems, RUVKindPipeline, pipeline.Get()},
        {groups, RUVKindComponentGroups, RUVKindPipeline, pipeline.Get()},
        {Get(file.Get(), L"GetTypeDictionary"), RUVKindTypeDictionary, RUVKindFile, file.Get()},
        {component, RUVKindComponent, RUVKindPipeline, pipeline.Get()},
        {group, RUVKindComponentGroup, RUVKindPipeline, pipeline.Get()},
        {Get(group.Get(), L"Item", {0}), RUVKindGroupMember, RUVKindPipeline, pipeline.Get()},
        {attributes, RUVKindAttributes, RUVKindComponent, component.Get()},
        {keypoints, RUVKindKeypoints, RUVKindComponent, component.Get()},
        {Get(Get(component.Get(), L"GetInformationItems").Get(), L"Item", {0}), RUVKindComponentInformationItem,
         RUVKindComponent, component.Get()},
        {Get(pipelineItems.Get(), L"Item", {0}), RUVKindPipelineInformationItem, RUVKindPipeline, pipeline.Get()},
        {Get(attributes.Get(), L"Item", {0}), RUVKindAttribute, RUVKindAttributes, attributes.Get()},
        {Get(keypoints.Get(), L"Item", {0}), RUVKindKeypoint, RUVKindKeypoints, keypoints.Get()},
        {Get(component.Get(), L"GetMaterial"), RUVKindMaterial, RUVKindComponent, component.Get()},
        {sheets, RUVKindSheets, RUVKindPipeline, pipeline.Get()},
        {Get(sheets.Get(), L"Item", {0}), RUVKindSheet, RUVKindSheets, sheets.Get()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", owner of kind " << c.ownerKind);
        EXPECT_EQ(KindOf(navigator.Get(), c.entity.Get()), c.kind);
        ComPtr<IRUVEntityRef> owner;
        ASSERT_EQ(navigator->FindOwner(c.entity.Get(), c.ownerKind, owner.Receive()), S_OK);
        EXPECT_EQ(Identity(Get(owner.Get(), L"GetEntity").Get()), Identity(c.owner));
    }

    // Objects of another document, objects not of the model and none are of no file.
    ComPtr<IRUVDocument> other = modelkit::Document(kPlant);
    ComPtr<IRUVPipeline> stranger = modelkit::PipelineOf(modelkit::FileOf(other.Get()).Get(), 0);
    for (IUnknown* entity : {static_cast<IUnknown*>(stranger.Get()), static_cast<IUnknown*>(navigator.Get()),
                             static_cast<IUnknown*>(nullptr)})
        EXPECT_EQ(KindOf(navigator.Get(), entity), RUVKindNotOfFile);
}

TEST_F(ComModel, EditsThroughTheDocument)
{
    ComPtr<IRUVNavigator> navigator = Navigator();
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);

    ComPtr<IDispatch> attributes = Get(pipeline.Get(), L"GetAttributes");
    ComPtr<IDispatch> length = Get(attributes.Get(), L"Item", {0});
    ASSERT_EQ(m_document->SetAttributeValue(length.Get(), ScopedVariant(L"99.5").Value()), S_OK);
    EXPECT_EQ(Call(length.Get(), L"GetValue").Text(), L"99.5");
    const ScopedBstr weight(L"WEIGHT");
    EXPECT_EQ(m_document->AddAttribute(attributes.Get(), weight.Get(), ScopedVariant(7).Value(), nullptr, nullptr), S_OK);
    EXPECT_EQ(Call(attributes.Get(), L"GetCount").ToLong(), 2);
    EXPECT_EQ(m_document->AddAttribute(attributes.Get(), weight.Get(), ScopedVariant(7).Value(), nullptr, nullptr),
              E_INVALIDARG)
        << "names are unique";
    ASSERT_EQ(m_document->RemoveAttribute(length.Get()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), length.Get()), RUVKindNotOfFile);

    // A new component joins the group of all components; broken is an IMPORT-STATUS of BROKEN.
    ComPtr<IRUVComponent> added;
    ASSERT_EQ(m_document->AddComponent(pipeline.Get(), ScopedBstr(L"c3").Get(), ScopedBstr(L"VALV").Get(),
                                       ScopedBstr(L"Valves").Get(), ScopedBstr(L"V1").Get(), added.Receive()),
              S_OK);
    EXPECT_EQ(Component(2).Get(), added.Get());
    ASSERT_EQ(m_document->SetBroken(added.Get(), VARIANT_TRUE), S_OK);
    ComPtr<IDispatch> addedAttributes = Get(added.Get(), L"GetAttributes");
    EXPECT_EQ(Call(Get(addedAttributes.Get(), L"Item", {L"IMPORT-STATUS"}).Get(), L"GetValue").Text(), L"BROKEN");
    ASSERT_EQ(m_document->SetBroken(added.Get(), VARIANT_FALSE), S_OK);
    EXPECT_FALSE(Call(addedAttributes.Get(), L"Exists", {L"IMPORT-STATUS"}).IsTrue());

    // A removed component leaves every group, its spool too.
    ComPtr<IRUVComponent> c1 = Component(0);
    ASSERT_EQ(m_document->RemoveComponent(c1.Get()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), c1.Get()), RUVKindNotOfFile);
    EXPECT_EQ(Call(Get(Get(pipeline.Get(), L"GetComponentGroups", {3, 8}).Get(), L"Item", {0}).Get(), L"GetCount").ToLong(), 1);

    // Information items of a component and of a pipeline.
    ComPtr<IRUVInformationItem> item;
    ASSERT_EQ(m_document->AddInformationItem(added.Get(), ScopedBstr(L"Check").Get(), item.Receive()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), item.Get()), RUVKindComponentInformationItem);
    ASSERT_EQ(m_document->RemoveInformationItem(item.Get()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), item.Get()), RUVKindNotOfFile);
    ASSERT_EQ(m_document->AddInformationItem(pipeline.Get(), ScopedBstr(L"Check").Get(), item.Receive()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), item.Get()), RUVKindPipelineInformationItem);

    // Pipelines; what was inside a removed one goes with it.
    ComPtr<IRUVPipeline> third;
    ASSERT_EQ(m_document->AddPipeline(ScopedBstr(L"P-103").Get(), third.Receive()), S_OK);
    EXPECT_EQ(Call(Pipeline(2).Get(), L"GetName").Text(), L"P-103");
    ASSERT_EQ(m_document->RemovePipeline(pipeline.Get()), S_OK);
    EXPECT_EQ(KindOf(navigator.Get(), added.Get()), RUVKindNotOfFile);
    EXPECT_EQ(Call(Pipeline(0).Get(), L"GetName").Text(), L"P-102");
}

TEST_F(ComModel, EditsOfRemovedObjectsAndIndexesOutOfRangeAreRefused)
{
    // Objects of a removed pipeline, objects of another document, and indexes out of range.
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    ComPtr<IRUVComponent> component = Component(0);
    ComPtr<IDispatch> attributes = Get(component.Get(), L"GetAttributes");
    ComPtr<IDispatch> attribute = Get(attributes.Get(), L"Item", {0});
    ComPtr<IDispatch> item = Get(Get(component.Get(), L"GetInformationItems").Get(), L"Item", {0});
    ASSERT_EQ(m_document->RemovePipeline(pipeline.Get()), S_OK);
    ComPtr<IRUVDocument> other = modelkit::Document(kPlant);
    ComPtr<IRUVPipeline> stranger = modelkit::PipelineOf(modelkit::FileOf(other.Get()).Get(), 0);
    ComPtr<IDispatch> sheets = Get(stranger.Get(), L"GetSheets");
    ComPtr<IDispatch> summary = Get(Get(stranger.Get(), L"GetInformationItems").Get(), L"Item", {0});

    const ScopedBstr name(L"N");
    const ScopedVariant value(1);
    ComPtr<IRUVComponentGroups> groups;
    ComPtr<IRUVSheet> sheet;
    double x = 0, y = 0, z = 0;
    const std::pair<const char*, std::function<HRESULT()>> calls[] = {
        {"SetAttributeValue", [&] { return m_document->SetAttributeValue(attribute.Get(), value.Value()); }},
        {"AddAttribute",
         [&] { return m_document->AddAttribute(attributes.Get(), name.Get(), value.Value(), nullptr, nullptr); }},
        {"RemoveAttribute", [&] { return m_document->RemoveAttribute(attribute.Get()); }},
        {"AddComponent",
         [&] { return m_document->AddComponent(pipeline.Get(), name.Get(), name.Get(), name.Get(), name.Get(), nullptr); }},
        {"RemoveComponent", [&] { return m_document->RemoveComponent(component.Get()); }},
        {"SetBroken", [&] { return m_document->SetBroken(component.Get(), VARIANT_TRUE); }},
        {"RemoveInformationItem", [&] { return m_document->RemoveInformationItem(item.Get()); }},
        {"AddInformationItem to a removed pipeline",
         [&] { return m_document->AddInformationItem(pipeline.Get(), name.Get(), nullptr); }},
        {"AddInformationItem to its removed component",
         [&] { return m_document->AddInformationItem(component.Get(), name.Get(), nullptr); }},
        {"RemovePipeline", [&] { return m_document->RemovePipeline(pipeline.Get()); }},
        {"RemovePipeline of another document", [&] { return m_document->RemovePipeline(stranger.Get()); }},
        {"GetComponentGroups(3, 2)", [&] { return stranger->GetComponentGroups(3, 2, groups.Receive()); }},
        {"the third of two sheets", [&] { return sheets.Query<IRUVSheets>()->Item(2, sheet.Receive()); }},
        {"the second of one point",
         [&] { return summary.Query<IRUVInformationItem>()->GetPoint(ScopedBstr(L"Master").Get(), 1, &x, &y, &z); }},
    };
    for (const auto& [what, call] : calls) {
        EXPECT_EQ(call(), E_INVALIDARG) << what;
        EXPECT_FALSE(modelkit::ErrorDescription().empty()) << what;
    }
}

TEST_F(ComModel, OpenNamesTheFileAndWhatIsWrongAndLoadsNothingHalfway)
{
    ComPtr<IRUVDocument> document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject());
    EXPECT_EQ(document->Open(ScopedBstr(L"Z:\\no\\such\\plant.json").Get()), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(modelkit::ErrorDescription(), L"Z:\\no\\such\\plant.json: cannot open the file");
    const std::wstring path = L"" RUV_SAMPLES_DIR "/edge/bad/unknown-field.json";
    EXPECT_EQ(document->Open(ScopedBstr(path).Get()), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    EXPECT_EQ(modelkit::ErrorDescription(), path + L": at /pipelines/0/components/0/flytext: unexpected field");
    ComPtr<IRUVFile> file;
    EXPECT_EQ(document->GetFile(file.Receive()), E_UNEXPECTED) << "nothing was loaded";
}

} // namespace
