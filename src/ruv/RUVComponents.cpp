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

// A text attribute of an object's attributes, or nothing when it does not exist.
bool ReadTextAttribute(const CRUV3TreeDisplay::Ptr<IRUVAttributes>& attributes, const wchar_t* name, std::wstring& text)
{
    const ScopedVariant key(name);
    VARIANT_BOOL exists = VARIANT_FALSE;
    Check(Deref(attributes)->Exists(key.Value(), &exists), attributes.Get());
    if (exists == VARIANT_FALSE)
        return false;
    CRUV3TreeDisplay::Ptr<IRUVAttribute> attribute;
    Check(attributes->Item(key.Value(), attribute.Receive()), attributes.Get());
    ScopedVariant value;
    Check(Deref(attribute)->GetValue(value.Get()), attribute.Get());
    text = ruvtext::VariantText(value.Value());
    return true;
}

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
    Check(Deref(material)->GetGroup(group.Receive()), material.Get());
    int image = GetGroupImage(ruvtext::OrEmpty(group.Get()));
    if (image == kUnknownGroupComponentImage) {
        ScopedBstr type;
        Check(material->GetComponentType(type.Receive()), material.Get());
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
    Check(Deref(material)->GetPipeline(pipeline.Receive()), material.Get());
    Ptr<IRUVFile> file;
    Check(Deref(pipeline)->GetFile(file.Receive()), pipeline.Get());
    Ptr<IDispatch> dictionary;
    Check(Deref(file)->GetTypeDictionary(dictionary.Receive()), file.Get());
    return QueryOrNull<IRUVTypeDictionary>(dictionary.Get());
}

HTREEITEM CRUV3TreeDisplay::PopulateComponent(Ptr<IRUVComponent> component, HTREEITEM hParent, int number)
{
    Ptr<IRUVMaterial> material;
    Check(Deref(component)->GetMaterial(material.Receive()), component.Get());
    if (!material)
        return nullptr; // a component without material is not shown

    CTreeContentSettings& settings = *GetSettings();
    std::wstring label = settings.GetComponentSequenceNos() ? std::to_wstring(number) + L"." : std::wstring();
    if (settings.GetComponentText() == eCTFlyText) {
        ScopedBstr flyText;
        Check(component->GetFlyText(flyText.Receive()), component.Get());
        label += ruvtext::OrEmpty(flyText.Get());
    } else if (settings.GetComponentText() == eCTComponentType) {
        ScopedBstr type;
        Check(material->GetComponentType(type.Receive()), material.Get());
        Ptr<IRUVTypeDictionary> dictionary = DictionaryOf(material);
        ScopedBstr name;
        Check(Deref(dictionary)->GetComponentTypeProperty(type.Get(), ScopedBstr(L"DisplayName").Get(), name.Receive()),
              dictionary.Get());
        const std::wstring shown = ruvtext::OrEmpty(name.Get());
        label += shown.empty() ? ruvtext::OrEmpty(type.Get()) : shown;
    }

    const int image = IsBroken(component) ? kBrokenImage : GetComponentImage(material);
    HTREEITEM item = InsertEntityItem(component.Get(), label, hParent, TVI_LAST, image, 0);

    Ptr<IRUVAttributes> attributes;
    Check(component->GetAttributes(attributes.Receive()), component.Get());
    PopulateAttributes(attributes, item, 2, 3);
    if (settings.GetShowComponentKeypoints())
        PopulateKeypoints(component, item, 6, 7, 3);
    Ptr<IRUVInformationItems> items;
    Check(component->GetInformationItems(items.Receive()), component.Get());
    PopulateInformationItems(items, item, 8, 9, 2, 3);
    PopulateMaterial(material, item);
    return item;
}

HTREEITEM CRUV3TreeDisplay::PopulateMaterial(Ptr<IRUVMaterial> material, HTREEITEM hParent)
{
    if (!material)
        return nullptr;
    auto text = [&](HRESULT (STDMETHODCALLTYPE IRUVMaterial::*getter)(BSTR*)) {
        ScopedBstr value;
        Check((material.Get()->*getter)(value.Receive()), material.Get());
        return ruvtext::OrNull(value.Get());
    };
    ScopedBstr group;
    Check(material->GetGroup(group.Receive()), material.Get());
    const std::wstring groupText = ruvtext::OrEmpty(group.Get());

    HTREEITEM item = InsertEntityItem(material.Get(), DisplayName(L"Material") + L" : " + text(&IRUVMaterial::GetItemCode),
                                      hParent, TVI_LAST, GetMaterialImage(groupText), 0);
    Ptr<IRUVAttributes> attributes;
    Check(material->GetAttributes(attributes.Receive()), material.Get());
    PopulateAttributes(attributes, item, 2, 3);

    Ptr<IRUVTypeDictionary> dictionary = DictionaryOf(material);
    Deref(dictionary);
    ScopedBstr type;
    Check(material->GetComponentType(type.Receive()), material.Get());
    ScopedBstr typeName;
    Check(dictionary->GetComponentTypeProperty(type.Get(), ScopedBstr(L"DisplayName").Get(), typeName.Receive()),
          dictionary.Get());
    ScopedBstr groupName;
    Check(dictionary->GetGroupProperty(group.Get(), ScopedBstr(L"DisplayName").Get(), groupName.Receive()),
          dictionary.Get());
    std::wstring groupShown = ruvtext::OrEmpty(groupName.Get());
    if (groupShown.empty())
        groupShown = groupText;

    int units = GetSettings()->GetWorkingUnits(CTreeContentSettings::kWeightsKey);
    if (units == 0)
        units = CWeight::eKilograms;
    double kilograms = 0.0;
    Check(material->GetWeight(&kilograms), material.Get());
    CWeight weight(UnitsSpec{CWeight::eKilograms, nullptr, {}}, UnitsSpec{units, nullptr, {}});
    weight.SetValue(kilograms, 0);

    const std::pair<const wchar_t*, std::wstring> rows[] = {
        {L"Component Type", ruvtext::OrNull(typeName.Get())},
        {L"SKEY", text(&IRUVMaterial::GetSKEY)},
        {L"Item Code", text(&IRUVMaterial::GetItemCode)},
        {L"Description", text(&IRUVMaterial::GetDescription)},
        {L"Group", groupShown},
        {L"Configuration", text(&IRUVMaterial::GetConfiguration)},
        {L"Construction Material", text(&IRUVMaterial::GetConstructionMaterial)},
        {L"Pressure Rating", text(&IRUVMaterial::GetPressureRating)},
        {L"Weight", weight.GetText(0)},
    };
    DWORD_PTR row = 0;
    for (const auto& [key, value] : rows)
        InsertNameValueItem(DisplayName(key), value, material.Get(), item, TVI_LAST, 3, ++row);
    return item;
}

HTREEITEM CRUV3TreeDisplay::PopulateInformationItems(Ptr<IRUVInformationItems> items, HTREEITEM hParent,
                                                     int groupImage, int itemImage, int attributesImage, int rowImage)
{
    if (!items)
        return nullptr;
    long count = 0;
    Check(items->GetCount(&count), items.Get());
    if (count == 0)
        return nullptr;
    HTREEITEM groupItem = InsertEntityItem(items.Get(), DisplayName(L"Information Items") + L" (" + std::to_wstring(count) + L")",
                                           hParent, TVI_LAST, groupImage, 0);
    ForEachItem<IRUVInformationItem>(items, [&](const Ptr<IRUVInformationItem>& item, long) {
        ScopedBstr name;
        Check(Deref(item)->GetName(name.Receive()), item.Get());
        const std::wstring nameText = ruvtext::OrEmpty(name.Get());
        if (GetSettings()->GetShowSpools() && nameText == L"Spool-Summary")
            return;
        HTREEITEM itemNode = InsertEntityItem(item.Get(), nameText, groupItem, TVI_LAST, itemImage, 0);
        Ptr<IRUVAttributes> attributes;
        Check(item->GetAttributes(attributes.Receive()), item.Get());
        PopulateAttributes(attributes, itemNode, attributesImage, rowImage);
        ScopedBstr master(L"Master");
        VARIANT_BOOL has = VARIANT_FALSE;
        Check(item->HasPoint(master.Get(), &has), item.Get());
        if (has == VARIANT_TRUE) {
            double x = 0, y = 0, z = 0;
            Check(item->GetPoint(master.Get(), 0, &x, &y, &z), item.Get());
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
    Check(Deref(pipeline)->GetComponents(components.Receive()), pipeline.Get());
    HTREEITEM componentsItem = InsertEntityItem(components.Get(), L"Components", hParent, TVI_LAST, kComponentListImage, 0);
    Ptr<IRUVComponentGroups> groups;
    Check(pipeline->GetComponentGroups(3, 1, groups.Receive()), pipeline.Get());
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
    ForEachItem<IRUVInformationItem>(items, [&](const Ptr<IRUVInformationItem>& item, long) {
        ScopedBstr name;
        Check(Deref(item)->GetName(name.Receive()), item.Get());
        if (ruvtext::OrEmpty(name.Get()) != L"Spool-Summary")
            return;
        Ptr<IRUVAttributes> attributes;
        Check(item->GetAttributes(attributes.Receive()), item.Get());
        std::wstring sequence;
        if (ReadTextAttribute(attributes, L"SEQUENCE-NUMBER", sequence))
            summaries[sequence] = item; // a later item with the same number wins
    });
    return summaries;
}

void CRUV3TreeDisplay::PopulateSpools(Ptr<IRUVPipeline> pipeline, HTREEITEM pipelineItem)
{
    Ptr<IRUVComponentGroups> groups;
    Check(Deref(pipeline)->GetComponentGroups(3, 8, groups.Receive()), pipeline.Get());
    Deref(groups);
    Ptr<IRUVInformationItems> items;
    Check(pipeline->GetInformationItems(items.Receive()), pipeline.Get());
    const SpoolSummaryMap summaries = BuildSpoolSummaryMap(items);
    ForEachItem<IRUVComponentGroup>(groups, [&](const Ptr<IRUVComponentGroup>& group, long j) {
        ScopedBstr name;
        Check(Deref(group)->GetName(name.Receive()), group.Get());
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
    Check(Deref(summary)->GetAttributes(attributes.Receive()), summary.Get());
    std::wstring label = DisplayName(L"Unidentified Spool");
    std::wstring identifier;
    if (ReadTextAttribute(attributes, L"IDENTIFIER", identifier))
        label = identifier;
    HTREEITEM spoolItem = InsertEntityItem(summary.Get(), label, hParent, TVI_LAST, kSpoolImage, 0);
    Check(summary->GetAttributes(attributes.Receive()), summary.Get());
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
    Check(Deref(pipeline)->GetComponents(components.Receive()), pipeline.Get());
    HTREEITEM item = InsertEntityItem(components.Get(), DisplayName(L"Erection Items"), hParent, TVI_LAST,
                                      kComponentListImage, static_cast<DWORD_PTR>(groupIndex));
    ForEachMember(group, [&](Ptr<IRUVComponent> component, long k) {
        PopulateComponent(std::move(component), item, static_cast<int>(k + 1));
    });
    return item;
}
