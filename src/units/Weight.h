// Weights: 1 kilogram, 2 pound.
#pragma once

#include "UnitVal.h"

class CWeight : public CUnitVal {
public:
    enum : int { eKilograms = 1, ePounds = 2 };

    CWeight() = default;
    CWeight(const UnitsSpec& valueSpec, const UnitsSpec& textSpec) : CUnitVal(valueSpec, textSpec) {}

    void GetUnitInfo(int units, UnitInfo& info) const override;
    double Convert(double value, int from, int to) const override;

protected:
    int UnitsOfLowerCaseName(const std::wstring& name) const override;
};
