// Small helpers shared by the units tests.
#pragma once

#include <memory>

#include "FormatCases.h"
#include "units/Length.h"
#include "units/Weight.h"

inline std::unique_ptr<CUnitVal> MakeUnitVal(Kind kind)
{
    if (kind == Kind::Length)
        return std::make_unique<CLength>();
    return std::make_unique<CWeight>();
}

// A spec that resolves to fixed units.
inline UnitsSpec Fixed(int units) { return UnitsSpec{units, nullptr, {}}; }
