#include "Length.h"

#include <map>

int CLength::UnitsFromName(std::wstring name, int group, int defaultUnits) const
{
    // A bare number after a number of feet is a number of inches: 5 6 is 5'6".
    if (name.empty() && defaultUnits == eFeet)
        return group == 1 ? eFeet : eInches;
    return CUnitVal::UnitsFromName(std::move(name), group, defaultUnits);
}

int CLength::UnitsOfLowerCaseName(const std::wstring& name) const
{
    static const std::map<std::wstring, int> names = {
        {L"m", eMetres}, {L"mm", eMillimetres}, {L"'", eFeet}, {L"ft", eFeet}, {L"\"", eInches}, {L"in", eInches},
    };
    auto found = names.find(name);
    return found == names.end() ? 0 : found->second;
}

void CLength::GetUnitInfo(int units, UnitInfo& info) const
{
    switch (units) {
    case eMetres:
        info = {L"m", 0, 0, 0.0001};
        break;
    case eMillimetres:
        info = {L"mm", 0, 0, 0.1};
        break;
    case eFeet:
        info = {L"'", eInches, 0, 0.1};
        break;
    case eInches:
        info = {L"\"", 0, 2, 0.015625};
        break;
    default:
        break;
    }
}

double CLength::Convert(double value, int from, int to) const
{
    if (from == to)
        return value;
    switch (from) {
    case eMetres:
        return Convert(value * 1000, eMillimetres, to);
    case eMillimetres:
        switch (to) {
        case eMetres: return value / 1000;
        case eFeet: return value / 304.8;
        case eInches: return value / 25.4;
        default: return 0.0;
        }
    case eFeet:
        return Convert(value * 12, eInches, to);
    case eInches:
        switch (to) {
        case eMetres: return value * 0.0254;
        case eMillimetres: return value * 25.4;
        case eFeet: return value / 12;
        default: return 0.0;
        }
    default:
        return 0.0;
    }
}
