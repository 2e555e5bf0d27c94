// The reference model's COM objects: identity, kinds and owners, editing, errors, fault
// injection and object lifetimes.
#include "ModelTestSupport.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"

namespace {

const char* const kPlant = R"({
  "version": 1,
  "attributes": [ {"name": "PROJECT", "value": "Demo"} ],
  "typeDictionary": { "componentTypes": {"ELBO": {"DisplayName": "Elbow"}}, "endTypes": {"BW": "Butt weld"} },
  "pipelines": [
    { "name": "P-101",
      "attributes": [ {"name": "LENGTH", "value": 1200, "units": "mm"} ],
      "informationItems": [ {"name": "Spool-Summary", "points": {"Master": [[1, 2, 3]]},
                             "attributes": [ {"name": "SEQUENCE-NUMBER", "value": "1"} ]} ],
      "components": [
        { "id": "c1", "attributes": [ {"name": "IMPORT-STATUS", "value": "BROKEN"} ],
          "keypoints": [ {"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [1, 2, 3]} ],
          "informationItems": [ {"name": "Note"} ],
          "material": { "itemCode": "E100", "group": "Fittings", "componentType": "ELBO", "weight": 4.5 } },
        { "id": "c2", "material": { "itemCode": "P100", "group": "Pipe", "componentType": "PIPE" } }
      ],
      "allGroups": [ {"name": "all", "components": ["c1", "c2"]} ],
      "spools": [ {"name": "1", "components": ["c2", "c1"]} ],
      "sheets": [7, 8] },
    { "name": "P-102" }
  ]
})";

class ComModel : public ModelTest {};

std::wstring Name(IRUVPipeline* pipeline)
{
    ScopedBstr name;
    EXPECT_EQ(pipeline->GetName(name.Receive()), S_OK);
    return name.Text();
}

TEST_F(ComModel, OneObjectIsAlwaysOnePointer)
{
    Load(kPlant);
    EXPECT_EQ(File().Get(), File().Get());
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    EXPECT_EQ(pipeline.Get(), Pipeline(0).Get());
    EXPECT_EQ(Identity(pipeline.Get()), static_cast<IUnknown*>(pipeline.Get())) << "IUnknown is the same pointer";
    EXPECT_EQ(pipeline.Query<IDispatch>().Get(), static_cast<IDispatch*>(pipeline.Get()));

    // A component reached through the components object, all groups and spools is one object.
    ComPtr<IRUVComponent> c1 = Component(0, 0);
    EXPECT_EQ(c1.Get(), Component(0, 1, 3, 8).Get()) << "c1 is the second member of spool 1";
    ComPtr<IDispatch> componentsObject;
    ASSERT_EQ(pipeline->GetComponents(componentsObject.Receive()), S_OK);
    ComPtr<IRUVComponentGroup> all = componentsObject.Query<IRUVComponentGroup>();
    ASSERT_TRUE(all);
    ComPtr<IRUVGroupMember> member;
    ASSERT_EQ(all->Item(0, member.Receive()), S_OK);
    ScopedVariant value;
    ASSERT_EQ(member->GetComponent(value.Get()), S_OK);
    EXPECT_EQ(V_DISPATCH(value.Get()), static_cast<IDispatch*>(c1.Get()));

    ComPtr<IRUVPipeline> owner;
    ASSERT_EQ(c1->GetPipeline(owner.Receive()), S_OK);
    EXPECT_EQ(owner.Get(), pipeline.Get());
    ComPtr<IRUVFile> file;
    ASSERT_EQ(owner->GetFile(file.Receive()), S_OK);
    EXPECT_EQ(file.Get(), File().Get());

    // An attribute by position and by name.
    ComPtr<IRUVAttributes> attributes;
    ASSERT_EQ(c1->GetAttributes(attributes.Receive()), S_OK);
    ComPtr<IRUVAttribute> byIndex, byName;
    ASSERT_EQ(attributes->Item(Index(0), byIndex.Receive()), S_OK);
    VARIANT name;
    VariantInit(&name);
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = SysAllocString(L"IMPORT-STATUS");
    ASSERT_EQ(attributes->Item(name, byName.Receive()), S_OK);
    VARIANT_BOOL exists = VARIANT_FALSE;
    ASSERT_EQ(attributes->Exists(name, &exists), S_OK);
    EXPECT_EQ(exists, VARIANT_TRUE);
    VariantClear(&name);
    EXPECT_EQ(byIndex.Get(), byName.Get());
}

TEST_F(ComModel, ValuesComeAsTheFileHasThem)
{
    Load(kPlant);
    EXPECT_EQ(Name(Pipeline(1).Get()), L"P-102");
    ComPtr<IRUVComponent> c1 = Component(0, 0);
    ComPtr<IRUVMaterial> material;
    ASSERT_EQ(c1->GetMaterial(material.Receive()), S_OK);
    double weight = 0;
    ASSERT_EQ(material->GetWeight(&weight), S_OK);
    EXPECT_EQ(weight, 4.5);
    ComPtr<IRUVKeypoints> keypoints;
    ASSERT_EQ(c1->GetKeypoints(keypoints.Receive()), S_OK);
    ComPtr<IRUVKeypoint> keypoint;
    ASSERT_EQ(keypoints->Item(Index(0), keypoint.Receive()), S_OK);
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(keypoint->GetPosition(&x, &y, &z), S_OK);
    EXPECT_EQ(y, 2.0);

    ComPtr<IRUVInformationItems> items;
    ASSERT_EQ(Pipeline(0)->GetInformationItems(items.Receive()), S_OK);
    ComPtr<IRUVInformationItem> summary;
    ASSERT_EQ(items->Item(Index(0), summary.Receive()), S_OK);
    VARIANT_BOOL has = VARIANT_FALSE;
    ASSERT_EQ(summary->HasPoint(ScopedBstr(L"Master").Get(), &has), S_OK);
    EXPECT_EQ(has, VARIANT_TRUE);
    ASSERT_EQ(summary->GetPoint(ScopedBstr(L"Master").Get(), 0, &x, &y, &z), S_OK);
    EXPECT_EQ(z, 3.0);
    EXPECT_EQ(summary->GetPoint(ScopedBstr(L"Master").Get(), 1, &x, &y, &z), E_INVALIDARG);

    ComPtr<IDispatch> dictionary;
    ASSERT_EQ(File()->GetTypeDictionary(dictionary.Receive()), S_OK);
    ScopedBstr description;
    ASSERT_EQ(dictionary.Query<IRUVTypeDictionary>()->GetEndTypeDescription(ScopedBstr(L"BW").Get(),
                                                                          description.Receive()),
              S_OK);
    EXPECT_EQ(description.Text(), L"Butt weld");

    ComPtr<IRUVSheets> sheets;
    ASSERT_EQ(Pipeline(0)->GetSheets(sheets.Receive()), S_OK);
    ComPtr<IRUVSheet> sheet;
    ASSERT_EQ(sheets->Item(1, sheet.Receive()), S_OK);
    long number = 0;
    ASSERT_EQ(sheet->GetNumber(&number), S_OK);
    EXPECT_EQ(number, 8);
    EXPECT_EQ(sheets->Item(2, sheet.Receive()), E_INVALIDARG);
    ComPtr<IRUVComponentGroups> groups;
    EXPECT_EQ(Pipeline(0)->GetComponentGroups(3, 2, groups.Receive()), E_INVALIDARG);
}

TEST_F(ComModel, NavigatorKindsAndOwners)
{
    Load(kPlant);
    ComPtr<IRUVNavigator> navigator = ComPtr<IRUVNavigator>::Attach(new ruvmodel::com::NavigatorObject());
    long kind = -1;
    EXPECT_EQ(navigator->GetEntityKind(File().Get(), &kind), E_UNEXPECTED) << "not attached yet";
    ASSERT_EQ(navigator->Attach(File().Get()), S_OK);

    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    ComPtr<IRUVComponent> component = Component(0, 0);
    ComPtr<IRUVPipelines> pipelines;
    File()->GetPipelines(pipelines.Receive());
    ComPtr<IDispatch> components, dictionary;
    pipeline->GetComponents(components.Receive());
    File()->GetTypeDictionary(dictionary.Receive());
    ComPtr<IRUVInformationItems> pipelineItems, componentItems;
    pipeline->GetInformationItems(pipelineItems.Receive());
    component->GetInformationItems(componentItems.Receive());
    ComPtr<IRUVInformationItem> pipelineItem, componentItem;
    pipelineItems->Item(Index(0), pipelineItem.Receive());
    componentItems->Item(Index(0), componentItem.Receive());
    ComPtr<IRUVComponentGroups> groups;
    pipeline->GetComponentGroups(3, 8, groups.Receive());
    ComPtr<IRUVComponentGroup> group;
    groups->Item(0, group.Receive());
    ComPtr<IRUVGroupMember> member;
    group->Item(0, member.Receive());
    ComPtr<IRUVAttributes> attributes;
    component->GetAttributes(attributes.Receive());
    ComPtr<IRUVAttribute> attribute;
    attributes->Item(Index(0), attribute.Receive());
    ComPtr<IRUVKeypoints> keypoints;
    component->GetKeypoints(keypoints.Receive());
    ComPtr<IRUVKeypoint> keypoint;
    keypoints->Item(Index(0), keypoint.Receive());
    ComPtr<IRUVMaterial> material;
    component->GetMaterial(material.Receive());
    ComPtr<IRUVSheets> sheets;
    pipeline->GetSheets(sheets.Receive());
    ComPtr<IRUVSheet> sheet;
    sheets->Item(0, sheet.Receive());

    struct KindCase {
        IUnknown* entity;
        long kind;
        long ownerKind;   // asked of FindOwner, 0 for none
        IUnknown* owner;  // expected answer
    };
    const KindCase cases[] = {
        {File().Get(), 1, 0, nullptr},
        {pipelines.Get(), 2, 1, File().Get()},
        {pipeline.Get(), 3, 1, File().Get()},
        {components.Get(), 4, 3, pipeline.Get()},
        {pipelineItems.Get(), 5, 3, pipeline.Get()},
        {groups.Get(), 6, 3, pipeline.Get()},
        {dictionary.Get(), 7, 1, File().Get()},
        {component.Get(), 8, 3, pipeline.Get()},
        {group.Get(), 9, 3, pipeline.Get()},
        {member.Get(), 10, 3, pipeline.Get()},
        {attributes.Get(), 12, 8, component.Get()},
        {keypoints.Get(), 13, 8, component.Get()},
        {componentItem.Get(), 14, 8, component.Get()},
        {pipelineItem.Get(), 15, 3, pipeline.Get()},
        {attribute.Get(), 17, 12, attributes.Get()},
        {keypoint.Get(), 18, 13, keypoints.Get()},
        {material.Get(), 19, 8, component.Get()},
        {sheets.Get(), 21, 3, pipeline.Get()},
        {sheet.Get(), 22, 21, sheets.Get()},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_EQ(navigator->GetEntityKind(c.entity, &kind), S_OK);
        EXPECT_EQ(kind, c.kind);
        if (!c.ownerKind)
            continue;
        ComPtr<IRUVEntityRef> reference;
        ASSERT_EQ(navigator->FindOwner(c.entity, c.ownerKind, reference.Receive()), S_OK);
        ComPtr<IDispatch> owner;
        ASSERT_EQ(reference->GetEntity(owner.Receive()), S_OK);
        ASSERT_TRUE(owner);
        EXPECT_EQ(Identity(owner.Get()), Identity(c.owner));
    }

    // No owner of a kind that does not enclose the object.
    ComPtr<IRUVEntityRef> none;
    ASSERT_EQ(navigator->FindOwner(pipeline.Get(), 8, none.Receive()), S_OK);
    ComPtr<IDispatch> nothing;
    ASSERT_EQ(none->GetEntity(nothing.Receive()), S_OK);
    EXPECT_FALSE(nothing);

    // Objects of another document, and objects that are not of this model, are kind 0.
    ComPtr<IRUVDocument> first = m_document;
    Load(kPlant);
    ASSERT_EQ(navigator->GetEntityKind(Pipeline(0).Get(), &kind), S_OK);
    EXPECT_EQ(kind, 0);
    ASSERT_EQ(navigator->GetEntityKind(navigator.Get(), &kind), S_OK);
    EXPECT_EQ(kind, 0);
    ASSERT_EQ(navigator->GetEntityKind(nullptr, &kind), S_OK);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(navigator->Attach(nullptr), E_INVALIDARG);
}

TEST_F(ComModel, EditsShowAndRemovedObjectsAreNoLongerOfTheFile)
{
    Load(kPlant);
    ComPtr<IRUVNavigator> navigator = ComPtr<IRUVNavigator>::Attach(new ruvmodel::com::NavigatorObject());
    ASSERT_EQ(navigator->Attach(File().Get()), S_OK);
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);

    // Attributes: set, add, remove.
    ComPtr<IRUVAttributes> attributes;
    pipeline->GetAttributes(attributes.Receive());
    ComPtr<IRUVAttribute> length;
    attributes->Item(Index(0), length.Receive());
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_R8;
    V_R8(&value) = 99.5;
    ASSERT_EQ(m_document->SetAttributeValue(length.Get(), value), S_OK);
    ScopedVariant read;
    length->GetValue(read.Get());
    EXPECT_EQ(V_R8(read.Get()), 99.5);
    ComPtr<IRUVAttribute> added;
    ASSERT_EQ(m_document->AddAttribute(attributes.Get(), ScopedBstr(L"WEIGHT").Get(), value, ScopedBstr(L"kg").Get(),
                                       added.Receive()),
              S_OK);
    long count = 0;
    attributes->GetCount(&count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(m_document->AddAttribute(attributes.Get(), ScopedBstr(L"WEIGHT").Get(), value, nullptr, nullptr),
              E_INVALIDARG)
        << "names are unique";
    ASSERT_EQ(m_document->RemoveAttribute(length.Get()), S_OK);
    long kind = -1;
    navigator->GetEntityKind(length.Get(), &kind);
    EXPECT_EQ(kind, 0);

    // Components: add (joins the all-components group), mark broken, remove (leaves every group).
    ComPtr<IRUVComponent> component;
    ASSERT_EQ(m_document->AddComponent(pipeline.Get(), ScopedBstr(L"c3").Get(), ScopedBstr(L"VALV").Get(),
                                       ScopedBstr(L"Valves").Get(), ScopedBstr(L"V1").Get(), component.Receive()),
              S_OK);
    EXPECT_EQ(Component(0, 2).Get(), component.Get());
    ASSERT_EQ(m_document->SetBroken(component.Get(), VARIANT_TRUE), S_OK);
    ComPtr<IRUVAttributes> componentAttributes;
    component->GetAttributes(componentAttributes.Receive());
    ComPtr<IRUVAttribute> status;
    VARIANT statusName;
    VariantInit(&statusName);
    V_VT(&statusName) = VT_BSTR;
    V_BSTR(&statusName) = SysAllocString(L"IMPORT-STATUS");
    ASSERT_EQ(componentAttributes->Item(statusName, status.Receive()), S_OK);
    status->GetValue(read.Receive());
    EXPECT_EQ(std::wstring(V_BSTR(read.Get())), L"BROKEN");
    ASSERT_EQ(m_document->SetBroken(component.Get(), VARIANT_FALSE), S_OK);
    VARIANT_BOOL exists = VARIANT_TRUE;
    componentAttributes->Exists(statusName, &exists);
    EXPECT_EQ(exists, VARIANT_FALSE);
    VariantClear(&statusName);

    ComPtr<IRUVComponent> c1 = Component(0, 0);
    ASSERT_EQ(m_document->RemoveComponent(c1.Get()), S_OK);
    navigator->GetEntityKind(c1.Get(), &kind);
    EXPECT_EQ(kind, 0);
    ComPtr<IRUVComponentGroups> spools;
    pipeline->GetComponentGroups(3, 8, spools.Receive());
    ComPtr<IRUVComponentGroup> spool;
    spools->Item(0, spool.Receive());
    spool->GetCount(&count);
    EXPECT_EQ(count, 1) << "the component left its spool too";
    EXPECT_EQ(m_document->RemoveComponent(c1.Get()), E_INVALIDARG) << "already removed";

    // Information items of a component and of a pipeline.
    ComPtr<IRUVInformationItem> note;
    ASSERT_EQ(m_document->AddInformationItem(component.Get(), ScopedBstr(L"Check").Get(), note.Receive()), S_OK);
    navigator->GetEntityKind(note.Get(), &kind);
    EXPECT_EQ(kind, 14);
    ASSERT_EQ(m_document->RemoveInformationItem(note.Get()), S_OK);
    navigator->GetEntityKind(note.Get(), &kind);
    EXPECT_EQ(kind, 0);
    ASSERT_EQ(m_document->AddInformationItem(pipeline.Get(), ScopedBstr(L"Check").Get(), note.Receive()), S_OK);
    navigator->GetEntityKind(note.Get(), &kind);
    EXPECT_EQ(kind, 15);

    // Pipelines.
    ComPtr<IRUVPipeline> added3;
    ASSERT_EQ(m_document->AddPipeline(ScopedBstr(L"P-103").Get(), added3.Receive()), S_OK);
    EXPECT_EQ(Name(Pipeline(2).Get()), L"P-103");
    ASSERT_EQ(m_document->RemovePipeline(pipeline.Get()), S_OK);
    navigator->GetEntityKind(component.Get(), &kind);
    EXPECT_EQ(kind, 0) << "everything inside a removed pipeline goes with it";
    EXPECT_EQ(Name(Pipeline(0).Get()), L"P-102");
    EXPECT_EQ(m_document->RemovePipeline(navigator.Get()), E_INVALIDARG);
}

TEST_F(ComModel, InjectedFaultsFailTheNamedCallWithErrorInformation)
{
    Load(kPlant);
    ComPtr<IRUVPipeline> pipeline = Pipeline(0);
    ruvmodel::faults::Inject(L"IRUVPipeline.GetName", 2, E_ACCESSDENIED);
    ScopedBstr name;
    EXPECT_EQ(pipeline->GetName(name.Receive()), S_OK);
    EXPECT_EQ(pipeline->GetName(name.Receive()), E_ACCESSDENIED);
    EXPECT_EQ(ErrorDescription(), L"IRUVPipeline.GetName failed (injected)");
    EXPECT_EQ(pipeline->GetName(name.Receive()), S_OK) << "a plan fails one call";
    ComPtr<ISupportErrorInfo> support = pipeline.Query<ISupportErrorInfo>();
    ASSERT_TRUE(support);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRUVPipeline), S_OK);
}

TEST_F(ComModel, OpenReportsTheFileAndWhatIsWrongAndLoadsNothingHalfway)
{
    ComPtr<IRUVDocument> document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject());
    ComPtr<IRUVFile> file;
    EXPECT_EQ(document->GetFile(file.Receive()), E_UNEXPECTED);
    EXPECT_EQ(document->Open(ScopedBstr(L"Z:\\no\\such\\plant.json").Get()), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorDescription(), L"Z:\\no\\such\\plant.json: cannot open the file");

    const std::string path = testing::TempDir() + "broken_plant.json";
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("{\"version\": 1,\n \"pipelines\": [{\"name\": 5}]}", out);
    std::fclose(out);
    const std::wstring widePath(path.begin(), path.end());
    EXPECT_EQ(document->Open(ScopedBstr(widePath).Get()), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    EXPECT_EQ(ErrorDescription(), widePath + L": at /pipelines/0/name: expected a string, found a number");
    EXPECT_EQ(document->GetFile(file.Receive()), E_UNEXPECTED) << "nothing was loaded";
    std::remove(path.c_str());
}

TEST_F(ComModel, ScriptsCallByName)
{
    Load(kPlant);
    ComPtr<IDispatch> pipeline(Pipeline(1).Get());
    LPOLESTR name = const_cast<LPOLESTR>(L"GetName");
    DISPID id = 0;
    ASSERT_EQ(pipeline->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none{};
    ScopedVariant result;
    ASSERT_EQ(pipeline->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, result.Get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(std::wstring(V_BSTR(result.Get())), L"P-102");
}

TEST_F(ComModel, EveryObjectIsGoneWhenTheLastReferenceIs)
{
    const long before = ruvmodel::faults::LiveObjects();
    Load(kPlant);
    {
        ComPtr<IRUVComponent> component = Component(0, 0, 3, 8);
        ComPtr<IRUVMaterial> material;
        component->GetMaterial(material.Receive());
        EXPECT_GT(ruvmodel::faults::LiveObjects(), before + 5);
    }
    m_document.Reset();
    EXPECT_EQ(ruvmodel::faults::LiveObjects(), before);
}

TEST_F(ComModel, NavigatorComesFromItsRegisteredClassFactory)
{
    Load(kPlant);
    IClassFactory* factory = ruvmodel::com::ClassFactoryFor(CLSID_RUVNavigator);
    ASSERT_NE(factory, nullptr);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_RUVNavigator, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(CoCreateInstance(CLSID_RUVNavigator, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(unknown.Receive())),
              S_OK);
    EXPECT_EQ(OleRun(unknown.Get()), S_OK);
    ComPtr<IRUVNavigator> navigator = unknown.Query<IRUVNavigator>();
    ASSERT_TRUE(navigator);
    EXPECT_EQ(navigator->Attach(File().Get()), S_OK);
    CoRevokeClassObject(cookie);
}

} // namespace
