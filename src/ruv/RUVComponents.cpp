// Component and material nodes, and the component lists under a pipeline: one "Components" list,
// or spools with their summaries and "Erection Items" for the rest.
#include <climits>
#include <map>

#include "ruv/RUVDisplayCommon.h"
#include "units/Weight.h"

namespace {

struct GroupImages {
    int component;
    int material;
};

// Material groups (exact texts) and the images of their components and materials.
const std::map<std::wstring, GroupImages>& GroupTable()
{
    static const std::map<std::wstring, GroupImages> table = {
        {L"Pipe", {12, 22}},        {L"Fittings", {13, 23}},    {L"Flanges", {14, 24}},  {L"Gaskets", {15, 25}},
        {L"Valves", {16, 26}},      {L"Instruments", {17, 27}}, {L"Miscellaneous", {18, 28}},
        {L"Supports", {19, 29}},    {L"Bolts", {20, 30}},       {L"Welds", {21, 31}},
    };
    return table;
}

constexpr int kUnknownGroupComponentImage = 5;
constexpr int kUnknownGroupMaterialImage = 11;
constexpr int kBrokenImage = 32;
constexpr int kReferenceDimensionImage = 35;
constexpr int kTapImage = 36;
constexpr int kSpoolImage = 37;
constexpr int kComponentListImage = 4;

// A leading decimal number as "%d" scans it: blanks skipped, an optional sign; 0 when there is none.
int LeadingNumber(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        digits = true;
        if (value <= INT_MAX)
            value = value * 10 + (text[i] - L'0');
    }
    if (!digits)
        return 0;
    value = negative ? -value : value;
    // A number beyond int keeps to its bounds instead of wrapping.
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// A text attribute of an object's attributes, or nothing when it does not exist (or the object has
// no attributes collection).
bool ReadTextAttribute(const CRUV3TreeDisplay::Ptr<IRUVAttributes>& attributes, const wchar_t* name, std::wstring& text)
{
    const ScopedVariant key(name);
    VARIANT_BOOL exists = VARIANT_FALSE;
    if (attributes)
        Call<&IRUVAttributes::Exists>(attributes, key.Value(), &exists);
    if (exists == VARIANT_FALSE)
        return false;
    CRUV3TreeDisplay::Ptr<IRUVAttribute> attribute;
    Call<&IRUVAttributes::Item>(attributes, key.Value(), attribute.Receive());
    text = AttributeText(attribute);
    return true;
}

// A text of a material as a "%s" argument: a null text reads "(null)".
template <auto Getter>
std::wstring MaterialText(const CRUV3TreeDisplay::Ptr<IRUVMaterial>& material)
{
    ScopedBstr value;
    Call<Getter>(material, value.Receive());
    return ruvtext::OrNull(value.Get());
}

const std::wstring kDisplayName = L"DisplayName";

} // namespace

int CRUV3TreeDisplay::GetGroupImage(const std::wstring& group)
{
    auto found = GroupTable().find(group);
    return found == GroupTable().end() ? kUnknownGroupComponentImage : found->second.component;
}

int CRUV3TreeDisplay::GetMaterialImage(const std::wstring& group)
{
    auto found = GroupTable().find(group);
    return found == GroupTable().end() ? kUnknownGroupMaterialImage : found->second.material;
}

int CRUV3TreeDisplay::GetComponentImage(Ptr<IRUVMaterial> material)
{
    ScopedBstr group;
    Call<&IRUVMaterial::GetGroup>(material, group.Receive());
    int image = GetGroupImage(ruvtext::OrEmpty(group.Get()));
    if (image == kUnknownGroupComponentImage) {
        ScopedBstr type;
        Call<&IRUVMaterial::GetComponentType>(material, type.Receive());
        const std::wstring text = ruvtext::OrEmpty(type.Get());
        if (text == L"Reference-Dimension")
            image = kReferenceDimensionImage;
        else if (text == L"Tap")
            image = kTapImage;
    }
    return image;
}

int CRUV3TreeDisplay::GetSequenceNumber(Ptr<IRUVComponent> component)
{
    const std::vector<HTREEITEM> items = GetItems(component.Get());
    if (items.empty())
        return 0;
    return LeadingNumber(m_pTreeCtrl->GetItemText(items.front()));
}

CRUV3TreeDisplay::Ptr<IRUVTypeDictionary> CRUV3TreeDisplay::DictionaryOf(Ptr<IRUVMaterial> material)
{
    Ptr<IRUVPipeline> pipeline;
    Call<&IRUVMaterial::GetPipeline>(material, pipeline.Receive());
    Ptr<IRUVFile> file;
    Call<&IRUVPipeline::GetFile>(pipeline, file.Receive());
    Ptr<IDispatch> dictionary;
    Call<&IRUVFile::GetTypeDictionary>(file, dictionary.Receive());
    return QueryOrNull<IRUVTypeDictionary>(dictionary.Get());
}

HTREEITEM CRUV3TreeDisplay::PopulateComponent(Ptr<IRUVComponent> component, HTREEITEM hParent, int number)
{
    Ptr<IRUVMaterial> material;
    Call<&IRUVComponent::GetMaterial>(component, material.Receive());
    if (!material)
        return nullptr; // a component without material is not shown

    CTreeContentSettings& settings = *GetSettings();
    std::wstring label = settings.GetComponentSequenceNos() ? std::to_wstring(number) + L"." : std::wstring();
    if (settings.GetComponentText() == eCTFlyText) {
        ScopedBstr flyText;
        Call<&IRUVComponent::GetFlyText>(component, flyText.Receive());
        label += ruvtext::OrEmpty(flyText.Get());
    } else if (settings.GetComponentText() == eCTComponentType) {
        ScopedBstr type;
        Call<&IRUVMaterial::GetComponentType>(material, type.Receive());
        Ptr<IRUVTypeDictionary> dictionary = DictionaryOf(material);
        ScopedBstr name;
        Call<&IRUVTypeDictionary::GetComponentTypeProperty>(dictionary, type.Get(), TextArgument(kDisplayName).Get(),
                                                            name.Receive());
        const std::wstring shown = ruvtext::OrEmpty(name.Get());
        label += shown.empty() ? ruvtext::OrEmpty(type.Get()) : shown;
    }

    const int image = IsBroken(component) ? kBrokenImage : GetComponentImage(material);
    HTREEITEM item = InsertEntityItem(component.Get(), label, hParent, TVI_LAST, image, 0);

    Ptr<IRUVAttributes> attributes;
    Call<&IRUVComponent::GetAttributes>(component, attributes.Receive());
    PopulateAttributes(attributes, item, 2, 3);
    if (settings.GetShowComponentKeypoints())
        PopulateKeypoints(component, item, 6, 7, 3);
    Ptr<IRUVInformationItems> items;
    Call<&IRUVComponent::GetInformationItems>(component, items.Receive());
    PopulateInformationItems(items, item, 8, 9, 2, 3);
    PopulateMaterial(material, item);
    return item;
}

HTREEITEM CRUV3TreeDisplay::PopulateMaterial(Ptr<IRUVMaterial> material, HTREEITEM hParent)
{
    if (!material)
        return nullptr;
    ScopedBstr group;
    Call<&IRUVMaterial::GetGroup>(material, group.Receive());
    const std::wstring groupText = ruvtext::OrEmpty(group.Get());

    HTREEITEM item = InsertEntityItem(material.Get(), DisplayName(L"Material") + L" : " + MaterialText<&IRUVMaterial::GetItemCode>(material),
                                      hParent, TVI_LAST, GetMaterialImage(groupText), 0);
    Ptr<IRUVAttributes> attributes;
    Call<&IRUVMaterial::GetAttributes>(material, attributes.Receive());
    PopulateAttributes(attributes, item, 2, 3);

    // Each row goes in as soon as its value is read: the rows before a failing read stay.
    Ptr<IRUVTypeDictionary> dictionary = DictionaryOf(material);
    DWORD_PTR row = 0;
    auto insertRow = [&](const wchar_t* key, const std::wstring& value) {
        InsertNameValueItem(DisplayName(key), value, material.Get(), item, TVI_LAST, 3, ++row);
    };
    ScopedBstr type;
    Call<&IRUVMaterial::GetComponentType>(material, type.Receive());
    ScopedBstr typeName;
    Call<&IRUVTypeDictionary::GetComponentTypeProperty>(dictionary, type.Get(), TextArgument(kDisplayName).Get(),
                                                        typeName.Receive());
    insertRow(L"Component Type", ruvtext::OrNull(typeName.Get()));
    insertRow(L"SKEY", MaterialText<&IRUVMaterial::GetSKEY>(material));
    insertRow(L"Item Code", MaterialText<&IRUVMaterial::GetItemCode>(material));
    insertRow(L"Description", MaterialText<&IRUVMaterial::GetDescription>(material));
    ScopedBstr groupName;
    Call<&IRUVTypeDictionary::GetGroupProperty>(dictionary, group.Get(), TextArgument(kDisplayName).Get(),
                                                groupName.Receive());
    const std::wstring groupShown = ruvtext::OrEmpty(groupName.Get());
    insertRow(L"Group", groupShown.empty() ? groupText : groupShown);
    insertRow(L"Configuration", MaterialText<&IRUVMaterial::GetConfiguration>(material));
    insertRow(L"Construction Material", MaterialText<&IRUVMaterial::GetConstructionMaterial>(material));
    insertRow(L"Pressure Rating", MaterialText<&IRUVMaterial::GetPressureRating>(material));

    int units = GetSettings()->GetWorkingUnits(CTreeContentSettings::kWeightsKey);
    if (units == 0)
        units = CWeight::eKilograms;
    double kilograms = 0.0;
    Call<&IRUVMaterial::GetWeight>(material, &kilograms);
    CWeight weight(UnitsSpec{CWeight::eKilograms, nullptr, {}}, UnitsSpec{units, nullptr, {}});
    weight.SetValue(kilograms, 0);
    insertRow(L"Weight", weight.GetText(0));
    return item;
}

HTREEITEM CRUV3TreeDisplay::PopulateInformationItems(Ptr<IRUVInformationItems> items, HTREEITEM hParent,
                                                     int groupImage, int itemImage, int attributesImage, int rowImage)
{
    if (!items)
        return nullptr;
    long count = 0;
    Call<&IRUVInformationItems::GetCount>(items, &count);
    if (count == 0)
        return nullptr;
    HTREEITEM groupItem = InsertEntityItem(items.Get(), DisplayName(L"Information Items") + L" (" + std::to_wstring(count) + L")",
                                           hParent, TVI_LAST, groupImage, 0);
    ForEachItem<IRUVInformationItem>(items, [&](const Ptr<IRUVInformationItem>& item, long) {
        ScopedBstr name;
        Call<&IRUVInformationItem::GetName>(item, name.Receive());
        const std::wstring nameText = ruvtext::OrEmpty(name.Get());
        if (GetSettings()->GetShowSpools() && nameText == L"Spool-Summary")
            return;
        HTREEITEM itemNode = InsertEntityItem(item.Get(), nameText, groupItem, TVI_LAST, itemImage, 0);
        Ptr<IRUVAttributes> attributes;
        Call<&IRUVInformationItem::GetAttributes>(item, attributes.Receive());
        PopulateAttributes(attributes, itemNode, attributesImage, rowImage);
        const ScopedBstr master = TextArgument(L"Master");
        VARIANT_BOOL has = VARIANT_FALSE;
        Call<&IRUVInformationItem::HasPoint>(item, master.Get(), &has);
        if (has == VARIANT_TRUE) {
            double x = 0, y = 0, z = 0;
            Call<&IRUVInformationItem::GetPoint>(item, master.Get(), 0, &x, &y, &z);
            InsertEntityItem(item.Get(), DisplayName(L"Coordinate") + L" = " + FormatCoordinates(x, y, z), itemNode,
                             TVI_LAST, rowImage, 1);
        }
    });
    return groupItem;
}

void CRUV3TreeDisplay::ForEachMember(const Ptr<IRUVComponentGroup>& group,
                                     const std::function<void(Ptr<IRUVComponent>, long)>& visit)
{
    ForEachItem<IRUVGroupMember>(group, [&](const Ptr<IRUVGroupMember>& member, long k) {
        visit(ComponentOfMember(member), k);
    });
}

HTREEITEM CRUV3TreeDisplay::PopulateComponents(Ptr<IRUVPipeline> pipeline, HTREEITEM hParent)
{
    Ptr<IDispatch> components;
    Call<&IRUVPipeline::GetComponents>(pipeline, components.Receive());
    HTREEITEM componentsItem = InsertEntityItem(components.Get(), L"Components", hParent, TVI_LAST, kComponentListImage, 0);
    Ptr<IRUVComponentGroups> groups;
    Call<&IRUVPipeline::GetComponentGroups>(pipeline, 3, 1, groups.Receive());
    int number = 1;
    ForEachItem<IRUVComponentGroup>(groups, [&](const Ptr<IRUVComponentGroup>& group, long) {
        ForEachMember(group, [&](Ptr<IRUVComponent> component, long) {
            PopulateComponent(std::move(component), componentsItem, number++);
        });
    });
    return componentsItem;
}

CRUV3TreeDisplay::SpoolSummaryMap CRUV3TreeDisplay::BuildSpoolSummaryMap(Ptr<IRUVInformationItems> items)
{
    SpoolSummaryMap summaries;
    if (!items)
        return summaries; // a pipeline without an information items collection names no spool
    ForEachItem<IRUVInformationItem>(items, [&](const Ptr<IRUVInformationItem>& item, long) {
        ScopedBstr name;
        Call<&IRUVInformationItem::GetName>(item, name.Receive());
        if (ruvtext::OrEmpty(name.Get()) != L"Spool-Summary")
            return;
        Ptr<IRUVAttributes> attributes;
        Call<&IRUVInformationItem::GetAttributes>(item, attributes.Receive());
        std::wstring sequence;
        if (ReadTextAttribute(attributes, L"SEQUENCE-NUMBER", sequence))
            summaries[sequence] = item; // a later item with the same number wins
    });
    return summaries;
}

void CRUV3TreeDisplay::PopulateSpools(Ptr<IRUVPipeline> pipeline, HTREEITEM pipelineItem)
{
    Ptr<IRUVComponentGroups> groups;
    Call<&IRUVPipeline::GetComponentGroups>(pipeline, 3, 8, groups.Receive());
    Ptr<IRUVInformationItems> items;
    Call<&IRUVPipeline::GetInformationItems>(pipeline, items.Receive());
    const SpoolSummaryMap summaries = BuildSpoolSummaryMap(items);
    ForEachItem<IRUVComponentGroup>(groups, [&](const Ptr<IRUVComponentGroup>& group, long j) {
        ScopedBstr name;
        Call<&IRUVComponentGroup::GetName>(group, name.Receive());
        auto summary = summaries.find(ruvtext::OrEmpty(name.Get()));
        if (summary != summaries.end())
            PopulateSpool(summary->second, group, pipelineItem);
        else
            PopulateErectionItems(pipeline, group, pipelineItem, j);
    });
}

HTREEITEM CRUV3TreeDisplay::PopulateSpool(Ptr<IRUVInformationItem> summary, Ptr<IRUVComponentGroup> group, HTREEITEM hParent)
{
    Ptr<IRUVAttributes> attributes;
    Call<&IRUVInformationItem::GetAttributes>(summary, attributes.Receive());
    std::wstring label = DisplayName(L"Unidentified Spool");
    std::wstring identifier;
    if (ReadTextAttribute(attributes, L"IDENTIFIER", identifier))
        label = identifier;
    HTREEITEM spoolItem = InsertEntityItem(summary.Get(), label, hParent, TVI_LAST, kSpoolImage, 0);
    Call<&IRUVInformationItem::GetAttributes>(summary, attributes.Receive());
    PopulateAttributes(attributes, spoolItem, 2, 3);
    HTREEITEM componentsItem = InsertEntityItem(summary.Get(), DisplayName(L"Components"), spoolItem, TVI_LAST,
                                                kComponentListImage, 0);
    ForEachMember(group, [&](Ptr<IRUVComponent> component, long k) {
        PopulateComponent(std::move(component), componentsItem, static_cast<int>(k + 1));
    });
    return spoolItem;
}

HTREEITEM CRUV3TreeDisplay::PopulateErectionItems(Ptr<IRUVPipeline> pipeline, Ptr<IRUVComponentGroup> group,
                                                  HTREEITEM hParent, int groupIndex)
{
    Ptr<IDispatch> components;
    Call<&IRUVPipeline::GetComponents>(pipeline, components.Receive());
    HTREEITEM item = InsertEntityItem(components.Get(), DisplayName(L"Erection Items"), hParent, TVI_LAST,
                                      kComponentListImage, static_cast<DWORD_PTR>(groupIndex));
    ForEachMember(group, [&](Ptr<IRUVComponent> component, long k) {
        PopulateComponent(std::move(component), item, static_cast<int>(k + 1));
    });
    return item;
}
