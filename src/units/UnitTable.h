// The units one value class knows: how each is written and the names it is read by.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "UnitVal.h"

class UnitTable {
public:
    struct Unit {
        int units;
        UnitInfo info;
        std::vector<std::wstring> names; // lower case
    };

    UnitTable(std::initializer_list<Unit> units);

    // Fills info for a known code; leaves it as it was for any other.
    void Describe(int units, UnitInfo& info) const;
    // The code of a lower-case name, 0 for a name the table lacks.
    int UnitsOfName(const std::wstring& lowerCaseName) const;

private:
    std::map<int, UnitInfo> m_infos;
    std::map<std::wstring, int> m_names;
};
