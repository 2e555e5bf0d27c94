// The detail nodes under the objects of a file: attributes with their value texts in the working
// units, keypoints with their coordinate, bore and end-type rows, and sheets.
#include "ruv/RUVDisplayCommon.h"
#include "units/Length.h"
#include "units/NumberText.h"
#include "units/Weight.h"

namespace {

UnitsSpec FixedUnits(int units) { return UnitsSpec{units, nullptr, {}}; }

} // namespace

std::wstring AttributeText(const platform::ComPtr<IRUVAttribute>& attribute)
{
    constexpr auto kGetValue = &IRUVAttribute::GetValue;
    ScopedVariant value;
    Call<kGetValue>(attribute, value.Get());
    if (value.Type() == VT_BSTR)
        return value.Text();
    ScopedVariant text;
    const HRESULT hr = VariantChangeType(text.Get(), value.Get(), 0, VT_BSTR);
    if (FAILED(hr))
        ruvcall::RaiseUnconverted(hr, ruvcall::MethodName<kGetValue>(), L"text");
    return text.Text();
}

HTREEITEM CRUV3TreeDisplay::PopulateAttributes(Ptr<IRUVAttributes> attributes, HTREEITEM hParent, int image,
                                               int rowImage)
{
    if (!attributes)
        return nullptr;
    HTREEITEM node = InsertEntityItem(attributes.Get(), DisplayName(L"Attributes"), hParent, TVI_LAST, image, 0);
    ForEachItem<IRUVAttribute>(attributes, [&](const Ptr<IRUVAttribute>& attribute, long) {
        VARIANT_BOOL displayable = VARIANT_FALSE;
        Call<&IRUVAttribute::IsDisplayable>(attribute, &displayable);
        if (displayable != VARIANT_TRUE)
            return;
        VARIANT_BOOL visible = VARIANT_FALSE;
        Call<&IRUVAttribute::IsVisible>(attribute, &visible);
        if (visible == VARIANT_FALSE)
            return;
        InsertEntityItem(attribute.Get(), FormatAttribute(attribute), node, TVI_LAST, rowImage, 0);
    });
    return node;
}

std::wstring CRUV3TreeDisplay::FormatAttribute(Ptr<IRUVAttribute> attribute)
{
    ScopedBstr label;
    Call<&IRUVAttribute::GetLabel>(attribute, label.Receive());
    std::wstring text = ruvtext::OrEmpty(label.Get()) + L" = ";

    SharedUnitValPtr value = MakeLengthValue(attribute, CTreeContentSettings::kCoordinatesKey, CLength::eMillimetres);
    if (!value)
        value = MakeWeightValue(attribute, CTreeContentSettings::kWeightsKey, CWeight::eKilograms);
    if (value) {
        value->ClearText();
        return text + value->GetText(0);
    }

    // Not a length or weight: the value as the model formats it, then the unit text.
    const ScopedBstr rawText = TextArgument(AttributeText(attribute));
    ScopedBstr formatted;
    Call<&IRUVAttribute::FormatValue>(attribute, rawText.Get(), formatted.Receive());
    std::wstring shown = ruvtext::OrEmpty(formatted.Get());
    if (shown.empty())
        shown = AttributeText(attribute);
    ScopedBstr units;
    Call<&IRUVAttribute::GetUnits>(attribute, units.Receive());
    return text + shown + L" " + ruvtext::OrEmpty(units.Get());
}

template <typename Value>
CRUV3TreeDisplay::SharedUnitValPtr CRUV3TreeDisplay::MakeUnitValue(Ptr<IRUVAttribute> attribute,
                                                                   const std::wstring& key, int native)
{
    ScopedBstr name;
    Call<&IRUVAttribute::GetName>(attribute, name.Receive());
    auto value = std::make_shared<Value>();

    std::wstring unitText;
    try {
        ScopedBstr units;
        Call<&IRUVAttribute::GetUnits>(attribute, units.Receive());
        unitText = ruvtext::OrEmpty(units.Get());
    } catch (...) {
        unitText.clear(); // a unit text that cannot be read counts as none
    }
    if (value->LookupUnits(unitText) == 0)
        return nullptr;

    // The attribute's own mapping chooses the value-type key; else the key of its kind.
    const std::wstring valueTypeKey = GetSettings()->ValueTypeKeyOfAttribute(ruvtext::OrEmpty(name.Get()), key);
    int display = GetSettings()->GetWorkingUnits(valueTypeKey);
    if (display == 0)
        display = native;
    value->SetSpecs(FixedUnits(native), FixedUnits(display));

    try {
        ScopedBstr units;
        Call<&IRUVAttribute::GetUnits>(attribute, units.Receive());
        const int code = value->LookupUnits(ruvtext::OrEmpty(units.Get()));
        value->SetText(AttributeText(attribute), code);
    } catch (const CUnitVal::BadString&) {
        return nullptr;
    }
    return value;
}

CRUV3TreeDisplay::SharedUnitValPtr CRUV3TreeDisplay::MakeLengthValue(Ptr<IRUVAttribute> attribute,
                                                                     const std::wstring& key, int native)
{
    return MakeUnitValue<CLength>(std::move(attribute), key, native);
}

CRUV3TreeDisplay::SharedUnitValPtr CRUV3TreeDisplay::MakeWeightValue(Ptr<IRUVAttribute> attribute,
                                                                     const std::wstring& key, int native)
{
    return MakeUnitValue<CWeight>(std::move(attribute), key, native);
}

std::wstring CRUV3TreeDisplay::FormatCoordinates(double x, double y, double z)
{
    int units = GetSettings()->GetWorkingUnits(CTreeContentSettings::kCoordinatesKey);
    if (units == 0)
        units = CLength::eMillimetres;
    auto text = [units](double coordinate) {
        CLength length(FixedUnits(CLength::eMillimetres), FixedUnits(units));
        length.SetValue(coordinate, 0);
        return length.GetText(0);
    };
    return L"(" + text(x) + L", " + text(y) + L", " + text(z) + L")";
}

HTREEITEM CRUV3TreeDisplay::PopulateKeypoints(Ptr<IRUVComponent> component, HTREEITEM hParent, int image,
                                              int keypointImage, int rowImage)
{
    Ptr<IRUVKeypoints> keypoints;
    Call<&IRUVComponent::GetKeypoints>(component, keypoints.Receive());
    if (!keypoints)
        return nullptr;
    long count = 0;
    Call<&IRUVKeypoints::GetCount>(keypoints, &count);
    HTREEITEM node = InsertEntityItem(keypoints.Get(), DisplayName(L"Keypoints") + L" (" + std::to_wstring(count) + L")",
                                      hParent, TVI_LAST, image, 0);
    for (long i = 0;; ++i) {
        Call<&IRUVComponent::GetKeypoints>(component, keypoints.Receive());
        Call<&IRUVKeypoints::GetCount>(keypoints, &count);
        if (i >= count)
            break;
        Call<&IRUVComponent::GetKeypoints>(component, keypoints.Receive());
        Ptr<IRUVKeypoint> keypoint;
        ItemAt(keypoints, i, keypoint.Receive());

        VARIANT_BOOL internal = VARIANT_FALSE;
        Call<&IRUVKeypoint::IsInternal>(keypoint, &internal);
        ScopedBstr name;
        Call<&IRUVKeypoint::GetName>(keypoint, name.Receive());
        HTREEITEM keypointItem = InsertEntityItem(
            keypoint.Get(), ruvtext::OrNull(name.Get()) + L" [" + DisplayName(internal ? L"Internal" : L"External") + L"]",
            node, TVI_LAST, keypointImage, 0);

        double x = 0, y = 0, z = 0;
        Call<&IRUVKeypoint::GetPosition>(keypoint, &x, &y, &z);
        InsertEntityItem(keypoint.Get(), DisplayName(L"Coordinate") + L" = " + FormatCoordinates(x, y, z), keypointItem,
                         TVI_LAST, rowImage, 1);

        ScopedBstr boreUnits;
        Call<&IRUVKeypoint::GetBoreUnits>(keypoint, boreUnits.Receive());
        double bore = 0.0;
        Call<&IRUVKeypoint::GetBore>(keypoint, &bore);
        InsertEntityItem(keypoint.Get(),
                         DisplayName(L"Bore") + L" = " + NumberText::Significant(bore, 16) + L" " + ruvtext::OrNull(boreUnits.Get()),
                         keypointItem, TVI_LAST, rowImage, 2);

        // The end type is described by the file's type dictionary.
        Ptr<IRUVPipeline> pipeline;
        Call<&IRUVComponent::GetPipeline>(component, pipeline.Receive());
        Ptr<IRUVFile> file;
        Call<&IRUVPipeline::GetFile>(pipeline, file.Receive());
        Ptr<IDispatch> dictionaryObject;
        Call<&IRUVFile::GetTypeDictionary>(file, dictionaryObject.Receive());
        Ptr<IRUVTypeDictionary> dictionary = QueryOrNull<IRUVTypeDictionary>(dictionaryObject.Get());

        std::wstring endText = DisplayName(L"End Type") + L" = ";
        ScopedBstr code;
        Call<&IRUVKeypoint::GetEndType>(keypoint, code.Receive());
        if (!ruvtext::OrEmpty(code.Get()).empty()) {
            ScopedBstr description;
            Call<&IRUVTypeDictionary::GetEndTypeDescription>(dictionary, code.Get(), description.Receive());
            endText += ruvtext::OrEmpty(code.Get()) + L" (" + ruvtext::OrNull(description.Get()) + L")";
        }
        InsertEntityItem(keypoint.Get(), endText, keypointItem, TVI_LAST, rowImage, 3);
    }
    return node;
}

HTREEITEM CRUV3TreeDisplay::PopulateSheets(Ptr<IRUVSheets> sheets, HTREEITEM hParent, int image, int sheetImage)
{
    if (!sheets)
        return nullptr;
    HTREEITEM node = InsertEntityItem(sheets.Get(), DisplayName(L"Sheets"), hParent, TVI_LAST, image, 0);
    ForEachItem<IRUVSheet>(sheets, [&](const Ptr<IRUVSheet>& sheet, long) {
        InsertEntityItem(sheet.Get(), FormatSheetName(sheet), node, TVI_LAST, sheetImage, 0);
    });
    return node;
}

std::wstring CRUV3TreeDisplay::FormatSheetName(Ptr<IRUVSheet> sheet)
{
    long number = 0;
    Call<&IRUVSheet::GetNumber>(sheet, &number);
    return DisplayName(L"Sheet") + L"_" + std::to_wstring(number);
}
