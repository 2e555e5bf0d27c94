#include "Weight.h"

#include <map>

int CWeight::UnitsOfLowerCaseName(const std::wstring& name) const
{
    static const std::map<std::wstring, int> names = {{L"kg", eKilograms}, {L"lb", ePounds}};
    auto found = names.find(name);
    return found == names.end() ? 0 : found->second;
}

void CWeight::GetUnitInfo(int units, UnitInfo& info) const
{
    switch (units) {
    case eKilograms:
        info = {L"kg", 0, 0, 0.01};
        break;
    case ePounds:
        info = {L"lb", 0, 0, 0.01};
        break;
    default:
        break;
    }
}

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
