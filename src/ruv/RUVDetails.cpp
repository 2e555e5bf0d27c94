// The detail nodes under the objects of a file: attributes with their value texts in the working
// units, keypoints with their coordinate, bore and end-type rows, and sheets.
#include "ruv/RUVDisplayCommon.h"
#include "units/Length.h"
#include "units/NumberText.h"
#include "units/Weight.h"

namespace {

UnitsSpec FixedUnits(int units) { return UnitsSpec{units, nullptr, {}}; }

} // namespace

HTREEITEM CRUV3TreeDisplay::PopulateAttributes(Ptr<IRUVAttributes> attributes, HTREEITEM hParent, int image,
                                               int rowImage)
{
    if (!attributes)
        return nullptr;
    HTREEITEM node = InsertEntityItem(attributes.Get(), DisplayName(L"Attributes"), hParent, TVI_LAST, image, 0);
    ForEachItem<IRUVAttribute>(attributes, [&](const Ptr<IRUVAttribute>& attribute, long) {
        VARIANT_BOOL displayable = VARIANT_FALSE;
        Check(Deref(attribute)->IsDisplayable(&displayable), attribute.Get());
        if (displayable != VARIANT_TRUE)
            return;
        VARIANT_BOOL visible = VARIANT_FALSE;
        Check(attribute->IsVisible(&visible), attribute.Get());
        if (visible == VARIANT_FALSE)
            return;
        InsertEntityItem(attribute.Get(), FormatAttribute(attribute), node, TVI_LAST, rowImage, 0);
    });
    return node;
}

std::wstring CRUV3TreeDisplay::FormatAttribute(Ptr<IRUVAttribute> attribute)
{
    ScopedBstr label;
    Check(Deref(attribute)->GetLabel(label.Receive()), attribute.Get());
    std::wstring text = ruvtext::OrEmpty(label.Get()) + L" = ";

    SharedUnitValPtr value = MakeLengthValue(attribute, CTreeContentSettings::kCoordinatesKey, CLength::eMillimetres);
    if (!value)
        value = MakeWeightValue(attribute, CTreeContentSettings::kWeightsKey, CWeight::eKilograms);
    if (value) {
        value->ClearText();
        return text + value->GetText(0);
    }

    // Not a length or weight: the value as the model formats it, then the unit text.
    ScopedVariant raw;
    Check(attribute->GetValue(raw.Get()), attribute.Get());
    ScopedBstr formatted;
    ScopedBstr rawText(ruvtext::VariantText(raw.Value()));
    Check(attribute->FormatValue(rawText.Get(), formatted.Receive()), attribute.Get());
    std::wstring shown = ruvtext::OrEmpty(formatted.Get());
    if (shown.empty()) {
        Check(attribute->GetValue(raw.Receive()), attribute.Get());
        shown = ruvtext::VariantText(raw.Value());
    }
    ScopedBstr units;
    Check(attribute->GetUnits(units.Receive()), attribute.Get());
    return text + shown + L" " + ruvtext::OrEmpty(units.Get());
}

template <typename Value>
CRUV3TreeDisplay::SharedUnitValPtr CRUV3TreeDisplay::MakeUnitValue(Ptr<IRUVAttribute> attribute,
                                                                   const std::wstring& key, int native)
{
    ScopedBstr name;
    Check(Deref(attribute)->GetName(name.Receive()), attribute.Get());
    auto value = std::make_shared<Value>();

    std::wstring unitText;
    try {
        ScopedBstr units;
        Check(attribute->GetUnits(units.Receive()), attribute.Get());
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
        Check(attribute->GetUnits(units.Receive()), attribute.Get());
        const int code = value->LookupUnits(ruvtext::OrEmpty(units.Get()));
        ScopedVariant raw;
        Check(attribute->GetValue(raw.Get()), attribute.Get());
        value->SetText(ruvtext::VariantText(raw.Value()), code);
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
    Check(Deref(component)->GetKeypoints(keypoints.Receive()), component.Get());
    if (!keypoints)
        return nullptr;
    long count = 0;
    Check(keypoints->GetCount(&count), keypoints.Get());
    HTREEITEM node = InsertEntityItem(keypoints.Get(), DisplayName(L"Keypoints") + L" (" + std::to_wstring(count) + L")",
                                      hParent, TVI_LAST, image, 0);
    for (long i = 0;; ++i) {
        Check(component->GetKeypoints(keypoints.Receive()), component.Get());
        Check(Deref(keypoints)->GetCount(&count), keypoints.Get());
        if (i >= count)
            break;
        Check(component->GetKeypoints(keypoints.Receive()), component.Get());
        Ptr<IRUVKeypoint> keypoint;
        Check(Deref(keypoints)->Item(ScopedVariant(i).Value(), keypoint.Receive()), keypoints.Get());

        VARIANT_BOOL internal = VARIANT_FALSE;
        Check(Deref(keypoint)->IsInternal(&internal), keypoint.Get());
        ScopedBstr name;
        Check(keypoint->GetName(name.Receive()), keypoint.Get());
        HTREEITEM keypointItem = InsertEntityItem(
            keypoint.Get(), ruvtext::OrNull(name.Get()) + L" [" + DisplayName(internal ? L"Internal" : L"External") + L"]",
            node, TVI_LAST, keypointImage, 0);

        double x = 0, y = 0, z = 0;
        Check(keypoint->GetPosition(&x, &y, &z), keypoint.Get());
        InsertEntityItem(keypoint.Get(), DisplayName(L"Coordinate") + L" = " + FormatCoordinates(x, y, z), keypointItem,
                         TVI_LAST, rowImage, 1);

        ScopedBstr boreUnits;
        Check(keypoint->GetBoreUnits(boreUnits.Receive()), keypoint.Get());
        double bore = 0.0;
        Check(keypoint->GetBore(&bore), keypoint.Get());
        InsertEntityItem(keypoint.Get(),
                         DisplayName(L"Bore") + L" = " + NumberText::Significant(bore, 16) + L" " + ruvtext::OrNull(boreUnits.Get()),
                         keypointItem, TVI_LAST, rowImage, 2);

        // The end type is described by the file's type dictionary.
        Ptr<IRUVPipeline> pipeline;
        Check(component->GetPipeline(pipeline.Receive()), component.Get());
        Ptr<IRUVFile> file;
        Check(Deref(pipeline)->GetFile(file.Receive()), pipeline.Get());
        Ptr<IDispatch> dictionaryObject;
        Check(Deref(file)->GetTypeDictionary(dictionaryObject.Receive()), file.Get());
        Ptr<IRUVTypeDictionary> dictionary = QueryOrNull<IRUVTypeDictionary>(dictionaryObject.Get());

        std::wstring endText = DisplayName(L"End Type") + L" = ";
        ScopedBstr code;
        Check(keypoint->GetEndType(code.Receive()), keypoint.Get());
        if (!ruvtext::OrEmpty(code.Get()).empty()) {
            ScopedBstr description;
            Check(Deref(dictionary)->GetEndTypeDescription(code.Get(), description.Receive()), dictionary.Get());
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
        InsertEntityItem(Deref(sheet), FormatSheetName(sheet), node, TVI_LAST, sheetImage, 0);
    });
    return node;
}

std::wstring CRUV3TreeDisplay::FormatSheetName(Ptr<IRUVSheet> sheet)
{
    long number = 0;
    Check(Deref(sheet)->GetNumber(&number), sheet.Get());
    return DisplayName(L"Sheet") + L"_" + std::to_wstring(number);
}
