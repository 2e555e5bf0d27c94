#include "Weight.h"

#include "UnitTable.h"

namespace {

// Built on first use; lives until the module unloads.
const UnitTable& Weights()
{
    static const UnitTable table{
        {CWeight::eKilograms, {L"kg", 0, 0, 0.01}, {L"kg"}},
        {CWeight::ePounds, {L"lb", 0, 0, 0.01}, {L"lb"}},
    };
    return table;
}

} // namespace

int CWeight::UnitsOfLowerCaseName(const std::wstring& name) const { return Weights().UnitsOfName(name); }

void CWeight::GetUnitInfo(int units, UnitInfo& info) const { Weights().Describe(units, info); }

double CWeight::Convert(double value, int from, int to) const
{
    // The two factors are rounded separately and are not exact inverses; stored values rely on
    // them as they are.
    if (from == to)
        return value;
    switch (from) {
    case eKilograms: return value * 2.2046;
    case ePounds: return value * 0.4536;
    default: return 0.0;
    }
}
