// The settings property page: keypoints, sequence numbers, component text and spools (dialog 204,
// "Settings").
#pragma once

#include "platform/activex/PropertyPage.h"

class CSettingsPropPage : public platform::PropertyPage {
public:
    static constexpr UINT kTemplateId = 204;
    static constexpr UINT kCaptionId = 201;
    static constexpr UINT kKeypointsBox = 204;
    static constexpr UINT kSequenceNosBox = 205;
    static constexpr UINT kComponentTextList = 206;
    static constexpr UINT kSpoolsBox = 207;

    CSettingsPropPage();

private:
    int m_bShowKeypoints = 0;
    int m_bSequenceNos = 0;
    int m_nComponentText = -1;
    int m_bShowSpools = 0;
};
