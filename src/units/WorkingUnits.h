// The host's working units per value-type key ("Coordinates", "Weights", or any key of its own).
#pragma once

#include <map>
#include <string>

#include "UnitVal.h"

class CWorkingUnits : public CUnitVal::IIndirectUnits {
public:
    // The stored code, 0 when the key was never stored; stores nothing.
    int UnitsForKey(std::wstring key) const override;
    // Stores the code for the key, replacing what was there; any number is kept as given.
    void SetUnits(const std::wstring& key, int units);
    // The code for the key, entering the key with 0 when it is missing (how the displays read).
    int& operator[](const std::wstring& key) { return m_units[key]; }

    bool Contains(const std::wstring& key) const { return m_units.count(key) != 0; }

private:
    std::map<std::wstring, int> m_units;
};
