#include "WorkingUnits.h"

int CWorkingUnits::UnitsForKey(std::wstring key) const
{
    auto found = m_units.find(key);
    return found == m_units.end() ? 0 : found->second;
}

void CWorkingUnits::SetUnits(const std::wstring& key, int units) { m_units.insert_or_assign(key, units); }
