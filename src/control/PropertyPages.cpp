// The control's two property pages: their dialogs, and which control edits which property.
#include "control/CorbelIdentity.h"
#include "control/CorbelPropPage.h"
#include "control/SettingsPropPage.h"

using Binding = platform::PropertyPage::Binding;
using Kind = Binding::Kind;

CCorbelPropPage::CCorbelPropPage() : PropertyPage(CLSID_CorbelPropPage, IDD_GENERAL_PAGE, IDS_GENERAL_PAGE_CAPTION)
{
    Bind({
        {IDC_ENABLED, Kind::Check, L"Enabled", &m_bEnabled, {}},
        {IDC_APPEARANCE, Kind::ListIndex, L"Appearance", &m_nAppearance, {L"0 - Flat", L"1 - 3D"}},
        {IDC_BORDER_STYLE, Kind::ListIndex, L"BorderStyle", &m_nBorderStyle, {L"0 - None", L"1 - Fixed Single"}},
    });
}

CSettingsPropPage::CSettingsPropPage() : PropertyPage(CLSID_SettingsPropPage, IDD_SETTINGS_PAGE, IDS_SETTINGS_PAGE_CAPTION)
{
    Bind({
        {IDC_SHOW_KEYPOINTS, Kind::Check, L"ShowComponentKeypoints", &m_bShowKeypoints, {}},
        {IDC_SEQUENCE_NUMBERS, Kind::Check, L"ComponentSequenceNos", &m_bSequenceNos, {}},
        {IDC_COMPONENT_TEXT, Kind::ListIndex, L"ComponentText", &m_nComponentText, {L"Component Type", L"Fly Text"}},
        {IDC_SHOW_SPOOLS, Kind::Check, L"ShowSpools", &m_bShowSpools, {}},
    });
}
