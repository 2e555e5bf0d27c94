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
        RaiseComError(E_POINTER);
    Check(m_navigator->Attach(m_file.Get()), m_navigator.Get());
}

CRUV3TreeDisplay::~CRUV3TreeDisplay()
{
    m_navigator.Reset();
    m_file.Reset();
}

long CRUV3TreeDisplay::KindOf(IUnknown* entity)
{
    long kind = 0;
    Check(Deref(m_navigator)->GetEntityKind(entity, &kind), m_navigator.Get());
    return kind;
}

CRUV3TreeDisplay::Ptr<IUnknown> CRUV3TreeDisplay::OwnerOf(IUnknown* entity, long kind)
{
    Ptr<IRUVEntityRef> reference;
    Check(Deref(m_navigator)->FindOwner(entity, kind, reference.Receive()), m_navigator.Get());
    Ptr<IDispatch> owner;
    Check(Deref(reference)->GetEntity(owner.Receive()), reference.Get());
    return Ptr<IUnknown>(owner.Get());
}

std::wstring CRUV3TreeDisplay::DisplayName(const wchar_t* key) { return GetSettings()->GetDisplayName(key); }

bool CRUV3TreeDisplay::OwnsEntity(IUnknown* entity) { return KindOf(entity) != 0; }

IUnknown* CRUV3TreeDisplay::GetRefreshEntity(IUnknown* entity)
{
    if (!entity)
        return nullptr;
    // The owner stays alive after its references here go: the file holds it, and so does the
    // registry that shows it.
    switch (KindOf(entity)) {
    case RUVKindPipeline:
    case RUVKindComponents:
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
    Check(Deref(m_navigator)->PrepareEntity(entity), m_navigator.Get());
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
    Check(Deref(file)->GetFileName(path.Receive()), file.Get());
    HTREEITEM fileItem = InsertEntityItem(m_file.Get(), FileLabel(ruvtext::OrEmpty(path.Get())), hParent, TVI_LAST, 0, 0);

    Ptr<IRUVAttributes> attributes;
    Check(m_file->GetAttributes(attributes.Receive()), m_file.Get());
    PopulateAttributes(attributes, fileItem, 2, 3);

    ForEachPipeline([&](Ptr<IRUVPipeline> pipeline) { PopulatePipeline(std::move(pipeline), fileItem); });
    return fileItem;
}

HTREEITEM CRUV3TreeDisplay::PopulatePipeline(Ptr<IRUVPipeline> pipeline, HTREEITEM hParent)
{
    ScopedBstr name;
    Check(Deref(pipeline)->GetName(name.Receive()), pipeline.Get());
    HTREEITEM pipelineItem = InsertEntityItem(pipeline.Get(), ruvtext::OrEmpty(name.Get()), hParent, TVI_LAST, 1, 0);

    Ptr<IRUVAttributes> attributes;
    Check(pipeline->GetAttributes(attributes.Receive()), pipeline.Get());
    PopulateAttributes(attributes, pipelineItem, 2, 3);

    Ptr<IRUVInformationItems> items;
    Check(pipeline->GetInformationItems(items.Receive()), pipeline.Get());
    PopulateInformationItems(items, pipelineItem, 8, 9, 2, 3);

    if (GetSettings()->GetShowSpools())
        PopulateSpools(pipeline, pipelineItem);
    else
        PopulateComponents(pipeline, pipelineItem);

    Ptr<IRUVSheets> sheets;
    Check(pipeline->GetSheets(sheets.Receive()), pipeline.Get());
    PopulateSheets(sheets, pipelineItem, 33, 34);
    return pipelineItem;
}

CRUV3TreeDisplay::Ptr<IRUVComponent> CRUV3TreeDisplay::ComponentOfMember(Ptr<IRUVGroupMember> member)
{
    ScopedVariant value;
    Check(Deref(member)->GetComponent(value.Get()), member.Get());
    const VARIANT& v = value.Value();
    if ((V_VT(&v) == VT_DISPATCH || V_VT(&v) == VT_UNKNOWN))
        return QueryOrNull<IRUVComponent>(V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : V_UNKNOWN(&v));
    ScopedVariant asDispatch;
    HRESULT hr = VariantChangeType(asDispatch.Get(), const_cast<VARIANT*>(&v), 0, VT_DISPATCH);
    if (FAILED(hr))
        RaiseComError(hr);
    Ptr<IRUVComponent> component = QueryOrNull<IRUVComponent>(V_DISPATCH(asDispatch.Get()));
    if (component)
        return component;
    ScopedVariant asUnknown;
    hr = VariantChangeType(asUnknown.Get(), const_cast<VARIANT*>(&v), 0, VT_UNKNOWN);
    if (FAILED(hr))
        RaiseComError(hr);
    return QueryOrNull<IRUVComponent>(V_UNKNOWN(asUnknown.Get()));
}

void CRUV3TreeDisplay::GetBrokenEntities(std::vector<IUnknown*>& out)
{
    ForEachPipeline([&](Ptr<IRUVPipeline> pipeline) {
        Ptr<IRUVComponentGroups> groups;
        Check(Deref(pipeline)->GetComponentGroups(3, 1, groups.Receive()), pipeline.Get());
        long groupCount = 0;
        for (long j = 0; Check(Deref(groups)->GetCount(&groupCount), groups.Get()), j < groupCount; ++j) {
            Ptr<IRUVComponentGroup> group;
            Check(groups->Item(j, group.Receive()), groups.Get());
            long memberCount = 0;
            for (long k = 0; Check(Deref(group)->GetCount(&memberCount), group.Get()), k < memberCount; ++k) {
                Ptr<IRUVGroupMember> member;
                Check(group->Item(k, member.Receive()), group.Get());
                Ptr<IRUVComponent> component = ComponentOfMember(member);
                // The list holds the bare pointer; the file keeps the component alive.
                if (IsBroken(component))
                    out.push_back(component.Get());
            }
        }
    });
}

void CRUV3TreeDisplay::ForEachPipeline(const std::function<void(Ptr<IRUVPipeline>)>& visit)
{
    // The collection and its count are asked afresh for every pipeline.
    for (long i = 0;; ++i) {
        Ptr<IRUVPipelines> pipelines;
        Check(m_file->GetPipelines(pipelines.Receive()), m_file.Get());
        long count = 0;
        Check(Deref(pipelines)->GetCount(&count), pipelines.Get());
        if (i >= count)
            break;
        Ptr<IRUVPipeline> pipeline;
        Check(pipelines->Item(ScopedVariant(i).Value(), pipeline.Receive()), pipelines.Get());
        visit(std::move(pipeline));
    }
}

bool CRUV3TreeDisplay::IsBroken(Ptr<IRUVComponent> component)
{
    Ptr<IRUVAttributes> attributes;
    Check(Deref(component)->GetAttributes(attributes.Receive()), component.Get());
    const ScopedVariant name(L"IMPORT-STATUS");
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(Deref(attributes)->Exists(name.Value(), &exists), attributes.Get());
    if (exists == VARIANT_FALSE)
        return false;
    Check(component->GetAttributes(attributes.Receive()), component.Get());
    Ptr<IRUVAttribute> status;
    Check(Deref(attributes)->Item(name.Value(), status.Receive()), attributes.Get());
    ScopedVariant value;
    Check(Deref(status)->GetValue(value.Get()), status.Get());
    return ruvtext::VariantText(value.Value()) == L"BROKEN";
}
