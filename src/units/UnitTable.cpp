#include "UnitTable.h"

UnitTable::UnitTable(std::initializer_list<Unit> units)
{
    for (const Unit& unit : units) {
        m_infos.emplace(unit.units, unit.info);
        for (const std::wstring& name : unit.names)
            m_names.emplace(name, unit.units);
    }
}

void UnitTable::Describe(int units, UnitInfo& info) const
{
    auto found = m_infos.find(units);
    if (found != m_infos.end())
        info = found->second;
}

int UnitTable::UnitsOfName(const std::wstring& lowerCaseName) const
{
    auto found = m_names.find(lowerCaseName);
    return found == m_names.end() ? 0 : found->second;
}
