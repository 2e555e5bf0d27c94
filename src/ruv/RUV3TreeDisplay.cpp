// Construction, the dispatch by entity kind, the file and pipeline nodes, and broken components.
#include "ruv/RUVDisplayCommon.h"

namespace {

// The navigator class of the object model: {5A486531-0201-43E0-BD81-D544BB08D0DC}.
constexpr CLSID kNavigatorClsid = {0x5a486531, 0x0201, 0x43e0, {0xbd, 0x81, 0xd5, 0x44, 0xbb, 0x08, 0xd0, 0xdc}};
// In-process server and handler, local and remote server.
constexpr DWORD kAnyContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// The label of a file: its path's name and extension.
std::wstring FileLabel(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

CRUV3TreeDisplay::CRUV3TreeDisplay(CMultiTree* pTree, CTreeContentSettings* pSettings, Ptr<IRUVFile> file)
    : CFileTreeDisplay(pTree, pSettings), m_pTreeCtrl(pTree), m_file(std::move(file))
{
    Ptr<IUnknown> unknown;
    if (SUCCEEDED(CoCreateInstance(kNavigatorClsid, nullptr, kAnyContext, IID_IUnknown,
                                   reinterpret_cast<void**>(unknown.Receive()))) &&
        SUCCEEDED(OleRun(unknown.Get())))
        unknown->QueryInterface(__uuidof(IRUVNavigator), reinterpret_cast<void**>(m_navigator.Receive()));
    if (!m_navigator)
        ruvcall::RaiseDescribed(E_POINTER, L"the object model's navigator (class RUVNavigator) could not be created");
    Call<&IRUVNavigator::Attach>(m_navigator, m_file.Get());
}

CRUV3TreeDisplay::~CRUV3TreeDisplay()
{
    m_navigator.Reset();
    m_file.Reset();
}

long CRUV3TreeDisplay::KindOf(IUnknown* entity)
{
    long kind = 0;
    Call<&IRUVNavigator::GetEntityKind>(m_navigator, entity, &kind);
    return kind;
}

CRUV3TreeDisplay::Ptr<IUnknown> CRUV3TreeDisplay::OwnerOf(IUnknown* entity, long kind)
{
    Ptr<IRUVEntityRef> reference;
    Call<&IRUVNavigator::FindOwner>(m_navigator, entity, kind, reference.Receive());
    Ptr<IDispatch> owner;
    Call<&IRUVEntityRef::GetEntity>(reference, owner.Receive());
    return Ptr<IUnknown>(owner.Get());
}

std::wstring CRUV3TreeDisplay::DisplayName(const wchar_t* key)
{
    return BoundedItemText(GetSettings()->FindDisplayName(key));
}

bool CRUV3TreeDisplay::OwnsEntity(IUnknown* entity) { return KindOf(entity) != 0; }

IUnknown* CRUV3TreeDisplay::GetRefreshEntity(IUnknown* entity)
{
    if (!entity)
        return nullptr;
    // The owner stays alive after its references here go: the file holds it, and so does the
    // registry that shows it.
    switch (KindOf(entity)) {
    case RUVKindComponents:
        // In the spool view the object stands for the pipeline's spool section, whose nodes are
        // laid down among the pipeline's others: the pipeline is rebuilt, keeping what is unchanged.
        if (GetSettings()->GetShowSpools())
            return QueryOrNull<IRUVPipeline>(OwnerOf(entity, RUVKindPipeline).Get()).Get();
        return entity;
    case RUVKindPipeline:
    case RUVKindInformationItems:
    case RUVKindComponent:
    case RUVKindAttributes:
    case RUVKindKeypoints:
    case RUVKindSheets:
        return entity;
    case RUVKindComponentGroups:
    case RUVKindGroupMember:
    case RUVKindPipelineInformationItem:
    case RUVKindOtherInPipeline:
        return QueryOrNull<IRUVPipeline>(OwnerOf(entity, RUVKindPipeline).Get()).Get();
    case RUVKindComponentGroup:
        return OwnerOf(entity, RUVKindPipeline).Get();
    case RUVKindComponentInformationItem:
    case RUVKindMaterial:
        return OwnerOf(entity, RUVKindComponent).Get();
    case RUVKindAttribute:
        return OwnerOf(entity, RUVKindAttributes).Get();
    case RUVKindKeypoint:
        return OwnerOf(entity, RUVKindKeypoints).Get();
    case RUVKindSheet:
        return OwnerOf(entity, RUVKindSheets).Get();
    default:
        return nullptr;
    }
}

void CRUV3TreeDisplay::Populate(IUnknown* entity, HTREEITEM hParent)
{
    Call<&IRUVNavigator::PrepareEntity>(m_navigator, entity);
    if (!entity) {
        PopulateFile(m_file, hParent);
        return;
    }
    switch (KindOf(entity)) {
    case RUVKindPipeline:
        PopulatePipeline(QueryOrNull<IRUVPipeline>(entity), hParent);
        break;
    case RUVKindComponents:
        PopulateComponents(QueryOrNull<IRUVPipeline>(OwnerOf(entity, RUVKindPipeline).Get()), hParent);
        break;
    case RUVKindInformationItems:
        PopulateInformationItems(QueryOrNull<IRUVInformationItems>(entity), hParent, 8, 9, 2, 3);
        break;
    case RUVKindComponent: {
        Ptr<IRUVComponent> component = QueryOrNull<IRUVComponent>(entity);
        const int number = GetSequenceNumber(component);
        PopulateComponent(component, hParent, number);
        break;
    }
    case RUVKindAttributes:
        PopulateAttributes(QueryOrNull<IRUVAttributes>(entity), hParent, 2, 3);
        break;
    case RUVKindKeypoints:
        PopulateKeypoints(QueryOrNull<IRUVComponent>(OwnerOf(entity, RUVKindComponent).Get()), hParent, 6, 7, 3);
        break;
    case RUVKindSheets:
        PopulateSheets(QueryOrNull<IRUVSheets>(entity), hParent, 33, 34);
        break;
    default:
        break;
    }
}

HTREEITEM CRUV3TreeDisplay::PopulateFile(Ptr<IRUVFile> file, HTREEITEM hParent)
{
    ScopedBstr path;
    Call<&IRUVFile::GetFileName>(file, path.Receive());
    HTREEITEM fileItem = InsertEntityItem(m_file.Get(), FileLabel(ruvtext::OrEmpty(path.Get())), hParent, TVI_LAST, 0, 0);

    Ptr<IRUVAttributes> attributes;
    Call<&IRUVFile::GetAttributes>(m_file, attributes.Receive());
    PopulateAttributes(attributes, fileItem, 2, 3);

    ForEachPipeline([&](Ptr<IRUVPipeline> pipeline) { PopulatePipeline(std::move(pipeline), fileItem); });
    return fileItem;
}

HTREEITEM CRUV3TreeDisplay::PopulatePipeline(Ptr<IRUVPipeline> pipeline, HTREEITEM hParent)
{
    ScopedBstr name;
    Call<&IRUVPipeline::GetName>(pipeline, name.Receive());
    HTREEITEM pipelineItem = InsertEntityItem(pipeline.Get(), ruvtext::OrEmpty(name.Get()), hParent, TVI_LAST, 1, 0);

    Ptr<IRUVAttributes> attributes;
    Call<&IRUVPipeline::GetAttributes>(pipeline, attributes.Receive());
    PopulateAttributes(attributes, pipelineItem, 2, 3);

    Ptr<IRUVInformationItems> items;
    Call<&IRUVPipeline::GetInformationItems>(pipeline, items.Receive());
    PopulateInformationItems(items, pipelineItem, 8, 9, 2, 3);

    if (GetSettings()->GetShowSpools())
        PopulateSpools(pipeline, pipelineItem);
    else
        PopulateComponents(pipeline, pipelineItem);

    Ptr<IRUVSheets> sheets;
    Call<&IRUVPipeline::GetSheets>(pipeline, sheets.Receive());
    PopulateSheets(sheets, pipelineItem, 33, 34);
    return pipelineItem;
}

CRUV3TreeDisplay::Ptr<IRUVComponent> CRUV3TreeDisplay::ComponentOfMember(Ptr<IRUVGroupMember> member)
{
    constexpr auto kGetComponent = &IRUVGroupMember::GetComponent;
    ScopedVariant value;
    Call<kGetComponent>(member, value.Get());
    const VARIANT& v = value.Value();
    if ((V_VT(&v) == VT_DISPATCH || V_VT(&v) == VT_UNKNOWN))
        return QueryOrNull<IRUVComponent>(V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : V_UNKNOWN(&v));
    ScopedVariant asDispatch;
    HRESULT hr = VariantChangeType(asDispatch.Get(), const_cast<VARIANT*>(&v), 0, VT_DISPATCH);
    if (FAILED(hr))
        ruvcall::RaiseUnconverted(hr, ruvcall::MethodName<kGetComponent>(), L"an object");
    Ptr<IRUVComponent> component = QueryOrNull<IRUVComponent>(V_DISPATCH(asDispatch.Get()));
    if (component)
        return component;
    ScopedVariant asUnknown;
    hr = VariantChangeType(asUnknown.Get(), const_cast<VARIANT*>(&v), 0, VT_UNKNOWN);
    if (FAILED(hr))
        ruvcall::RaiseUnconverted(hr, ruvcall::MethodName<kGetComponent>(), L"an object");
    return QueryOrNull<IRUVComponent>(V_UNKNOWN(asUnknown.Get()));
}

void CRUV3TreeDisplay::GetBrokenEntities(std::vector<IUnknown*>& out)
{
    ForEachPipeline([&](Ptr<IRUVPipeline> pipeline) {
        Ptr<IRUVComponentGroups> groups;
        Call<&IRUVPipeline::GetComponentGroups>(pipeline, 3, 1, groups.Receive());
        ForEachItem<IRUVComponentGroup>(groups, [&](const Ptr<IRUVComponentGroup>& group, long) {
            ForEachMember(group, [&](Ptr<IRUVComponent> component, long) {
                // The list holds the bare pointer; the file keeps the component alive.
                if (IsBroken(component))
                    out.push_back(component.Get());
            });
        });
    });
}

void CRUV3TreeDisplay::ForEachPipeline(const std::function<void(Ptr<IRUVPipeline>)>& visit)
{
    // The collection and its count are asked afresh for every pipeline.
    for (long i = 0;; ++i) {
        Ptr<IRUVPipelines> pipelines;
        Call<&IRUVFile::GetPipelines>(m_file, pipelines.Receive());
        long count = 0;
        Call<&IRUVPipelines::GetCount>(pipelines, &count);
        if (i >= count)
            break;
        Ptr<IRUVPipeline> pipeline;
        ItemAt(pipelines, i, pipeline.Receive());
        visit(std::move(pipeline));
    }
}

bool CRUV3TreeDisplay::IsBroken(Ptr<IRUVComponent> component)
{
    // A component without an attributes collection has no IMPORT-STATUS: it is not broken.
    Ptr<IRUVAttributes> attributes;
    Call<&IRUVComponent::GetAttributes>(component, attributes.Receive());
    const ScopedVariant name(L"IMPORT-STATUS");
    VARIANT_BOOL exists = VARIANT_FALSE;
    if (attributes)
        Call<&IRUVAttributes::Exists>(attributes, name.Value(), &exists);
    if (exists == VARIANT_FALSE)
        return false;
    Call<&IRUVComponent::GetAttributes>(component, attributes.Receive());
    if (!attributes)
        return false;
    Ptr<IRUVAttribute> status;
    Call<&IRUVAttributes::Item>(attributes, name.Value(), status.Receive());
    return AttributeText(status) == L"BROKEN";
}
