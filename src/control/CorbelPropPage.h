// The general property page: appearance, border and enabled (dialog 200, "General").
#pragma once

#include "platform/activex/PropertyPage.h"

class CCorbelPropPage : public platform::PropertyPage {
public:
    static constexpr UINT kTemplateId = 200;
    static constexpr UINT kCaptionId = 200;
    static constexpr UINT kAppearanceList = 201;
    static constexpr UINT kBorderList = 202;
    static constexpr UINT kEnabledBox = 203;

    CCorbelPropPage();

private:
    int m_bEnabled = 0;
    int m_nAppearance = -1;
    int m_nBorderStyle = -1;
};
