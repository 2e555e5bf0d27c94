#include "ObjectText.h"

#include "platform/automation/DispatchDriver.h"
#include "platform/com/ScopedVariant.h"

using platform::DispatchDriver;
using platform::DispatchResult;

namespace {

// The text of a member that takes no arguments, when the object has it and it gives text.
bool TextOf(IDispatch* object, const wchar_t* member, std::wstring& text)
{
    const DispatchDriver driver(object);
    if (driver.IdOf(member) == DISPID_UNKNOWN)
        return false;
    const DispatchResult result = driver.Call(member);
    if (FAILED(result.hr))
        return false;
    const platform::ScopedVariant converted = platform::ScopedVariant::Converted(result.value.Value(), VT_BSTR);
    if (converted.Type() != VT_BSTR)
        return false;
    text = converted.Text();
    return true;
}

std::wstring FileNameOnly(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

std::wstring ObjectName(IDispatch* object)
{
    if (!object)
        return L"(none)";
    std::wstring text;
    if (TextOf(object, L"GetName", text) && !text.empty())
        return text;
    if (TextOf(object, L"GetFileName", text))
        return FileNameOnly(text);
    if (TextOf(object, L"GetFlyText", text) && !text.empty())
        return L"component " + text;
    // A component: its material's item code.
    const DispatchResult material = DispatchDriver(object).Call(L"GetMaterial");
    if (SUCCEEDED(material.hr) && material.value.Object() && TextOf(material.value.Object(), L"GetItemCode", text))
        return L"component " + text;
    if (TextOf(object, L"GetItemCode", text))
        return L"material " + text;
    if (TextOf(object, L"GetNumber", text))
        return L"sheet " + text;
    return L"(object)";
}

std::vector<std::wstring> ObjectAttributes(IDispatch* object)
{
    std::vector<std::wstring> lines;
    if (!object)
        return lines;
    const DispatchResult attributes = DispatchDriver(object).Call(L"GetAttributes");
    if (FAILED(attributes.hr) || !attributes.value.Object())
        return lines;
    const DispatchDriver list(attributes.value.Object());
    const long count = list.Call(L"GetCount").value.ToLong().value_or(0);
    for (long i = 0; i < count; ++i) {
        const DispatchResult attribute = list.Call(L"Item", {i});
        if (FAILED(attribute.hr) || !attribute.value.Object())
            continue;
        std::wstring label, value;
        if (!TextOf(attribute.value.Object(), L"GetLabel", label) || label.empty())
            TextOf(attribute.value.Object(), L"GetName", label);
        TextOf(attribute.value.Object(), L"GetValue", value);
        lines.push_back(label + L" = " + value);
    }
    return lines;
}
