// Lengths: 1 metre, 2 millimetre, 3 foot (written with inches), 4 inch (binary fractions).
#pragma once

#include "UnitVal.h"

class CLength : public CUnitVal {
public:
    enum : int { eMetres = 1, eMillimetres = 2, eFeet = 3, eInches = 4 };

    CLength() = default;
    CLength(const UnitsSpec& valueSpec, const UnitsSpec& textSpec) : CUnitVal(valueSpec, textSpec) {}

    int UnitsFromName(std::wstring name, int group, int defaultUnits) const override;
    void GetUnitInfo(int units, UnitInfo& info) const override;
    double Convert(double value, int from, int to) const override;

protected:
    int UnitsOfLowerCaseName(const std::wstring& name) const override;
};
