// The control's two property pages: their dialogs, and which control edits which property.
#include "control/CorbelIdentity.h"
#include "control/CorbelPropPage.h"
#include "control/SettingsPropPage.h"

using Binding = platform::PropertyPage::Binding;
using Kind = Binding::Kind;

CCorbelPropPage::CCorbelPropPage() : PropertyPage(CLSID_CorbelPropPage, kTemplateId, kCaptionId)
{
    Bind({
        {kEnabledBox, Kind::Check, L"Enabled", &m_bEnabled, {}},
        {kAppearanceList, Kind::ListIndex, L"Appearance", &m_nAppearance, {L"0 - Flat", L"1 - 3D"}},
        {kBorderList, Kind::ListIndex, L"BorderStyle", &m_nBorderStyle, {L"0 - None", L"1 - Fixed Single"}},
    });
}

CSettingsPropPage::CSettingsPropPage() : PropertyPage(CLSID_SettingsPropPage, kTemplateId, kCaptionId)
{
    Bind({
        {kKeypointsBox, Kind::Check, L"ShowComponentKeypoints", &m_bShowKeypoints, {}},
        {kSequenceNosBox, Kind::Check, L"ComponentSequenceNos", &m_bSequenceNos, {}},
        {kComponentTextList, Kind::ListIndex, L"ComponentText", &m_nComponentText, {L"Component Type", L"Fly Text"}},
        {kSpoolsBox, Kind::Check, L"ShowSpools", &m_bShowSpools, {}},
    });
}
