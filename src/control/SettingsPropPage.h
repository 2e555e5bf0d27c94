// The settings property page: keypoints, sequence numbers, component text and spools (dialog 204,
// "Settings").
#pragma once

#include "platform/activex/PropertyPage.h"

class CSettingsPropPage : public platform::PropertyPage {
public:
    CSettingsPropPage();

private:
    int m_bShowKeypoints = 0;
    int m_bSequenceNos = 0;
    int m_nComponentText = -1;
    int m_bShowSpools = 0;
};
