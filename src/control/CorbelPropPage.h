// The general property page: appearance, border and enabled (dialog 200, "General").
#pragma once

#include "platform/activex/PropertyPage.h"

class CCorbelPropPage : public platform::PropertyPage {
public:
    CCorbelPropPage();

private:
    int m_bEnabled = 0;
    int m_nAppearance = -1;
    int m_nBorderStyle = -1;
};
