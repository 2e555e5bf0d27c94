#include "Length.h"

#include "UnitTable.h"

int CLength::UnitsFromName(std::wstring name, int group, int defaultUnits) const
{
    // A bare number after a number of feet is a number of inches: 5 6 is 5'6".
    if (name.empty() && defaultUnits == eFeet)
        return group == 1 ? eFeet : eInches;
    return CUnitVal::UnitsFromName(std::move(name), group, defaultUnits);
}

namespace {

// Built on first use; lives until the module unloads.
const UnitTable& Lengths()
{
    static const UnitTable table{
        {CLength::eMetres, {L"m", 0, 0, 0.0001}, {L"m"}},
        {CLength::eMillimetres, {L"mm", 0, 0, 0.1}, {L"mm"}},
        {CLength::eFeet, {L"'", CLength::eInches, 0, 0.1}, {L"'", L"ft"}},
        {CLength::eInches, {L"\"", 0, 2, 0.015625}, {L"\"", L"in"}},
    };
    return table;
}

} // namespace

int CLength::UnitsOfLowerCaseName(const std::wstring& name) const { return Lengths().UnitsOfName(name); }

void CLength::GetUnitInfo(int units, UnitInfo& info) const { Lengths().Describe(units, info); }

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
