#include "settings/TreeContentSettings.h"

#include <iterator>

namespace {

// Every fixed caption the displays show, each initially its own caption.
const wchar_t* const kDisplayNameKeys[] = {
    L"Keypoints",      L"Internal",          L"External",        L"Coordinate",
    L"Bore",           L"End Type",          L"Information Items", L"Material",
    L"Component Type", L"SKEY",              L"Item Code",       L"Description",
    L"Group",          L"Configuration",     L"Construction Material", L"Pressure Rating",
    L"Weight",         L"Attributes",        L"Sheet",           L"Sheets",
    L"Components",     L"Unidentified Spool", L"Erection Items",
};
static_assert(std::size(kDisplayNameKeys) == 23);

} // namespace

CTreeContentSettings::CTreeContentSettings()
{
    for (const wchar_t* key : kDisplayNameKeys)
        m_displayNames.emplace(key, key);
}

bool CTreeContentSettings::SetComponentText(long value)
{
    if (value != eCTComponentType && value != eCTFlyText)
        return false;
    m_componentText = static_cast<int>(value);
    return true;
}

std::wstring CTreeContentSettings::GetDisplayName(const std::wstring& key) { return m_displayNames[key]; }

std::wstring_view CTreeContentSettings::FindDisplayName(const std::wstring& key) const
{
    auto found = m_displayNames.find(key);
    return found == m_displayNames.end() ? std::wstring_view() : std::wstring_view(found->second);
}

void CTreeContentSettings::SetDisplayName(const std::wstring& key, const std::wstring& caption)
{
    m_displayNames.insert_or_assign(key, caption);
}

std::wstring CTreeContentSettings::GetAttributeWorkingUnits(const std::wstring& attributeName) const
{
    auto found = m_attributeWorkingUnits.find(attributeName);
    return found == m_attributeWorkingUnits.end() ? std::wstring() : found->second;
}

void CTreeContentSettings::SetAttributeWorkingUnits(const std::wstring& attributeName,
                                                    const std::wstring& valueTypeKey)
{
    m_attributeWorkingUnits.insert_or_assign(attributeName, valueTypeKey);
}

std::wstring CTreeContentSettings::ValueTypeKeyOfAttribute(const std::wstring& attributeName,
                                                           const std::wstring& kindKey) const
{
    auto found = m_attributeWorkingUnits.find(attributeName);
    return found == m_attributeWorkingUnits.end() ? kindKey : found->second;
}
