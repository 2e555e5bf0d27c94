// What the file branches show and how their texts read: four switches, the working units, the
// attribute-to-units map and the captions of fixed nodes.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "units/WorkingUnits.h"

// What a component node's label names.
enum eComponentText : int { eCTComponentType = 0, eCTFlyText = 1 };

class CTreeContentSettings {
public:
    // The value-type keys of the two kinds of values.
    static constexpr const wchar_t* kCoordinatesKey = L"Coordinates";
    static constexpr const wchar_t* kWeightsKey = L"Weights";

    CTreeContentSettings();
    virtual ~CTreeContentSettings() = default;

    bool GetShowComponentKeypoints() const { return m_bShowComponentKeypoints; }
    bool GetShowSpools() const { return m_bShowSpools; }
    int GetComponentText() const { return m_componentText; }
    int GetComponentSequenceNos() const { return m_bComponentSequenceNos; }

    // Any nonzero value switches on.
    void SetShowComponentKeypoints(long value) { m_bShowComponentKeypoints = value != 0; }
    void SetShowSpools(long value) { m_bShowSpools = value != 0; }
    void SetComponentSequenceNos(long value) { m_bComponentSequenceNos = value != 0 ? 1 : 0; }
    // Stores 0 or 1; any other value leaves the setting as it was. True when it was stored.
    bool SetComponentText(long value);

    // The caption of a key. A key without a caption is entered with an empty one.
    std::wstring GetDisplayName(const std::wstring& key);
    // The caption of key without a copy (empty for a key without one), for the displays, which
    // read captions once per item.
    std::wstring_view FindDisplayName(const std::wstring& key) const;
    void SetDisplayName(const std::wstring& key, const std::wstring& caption);
    const std::map<std::wstring, std::wstring>& GetDisplayNames() const { return m_displayNames; }

    // The working units of a value-type key as the displays read them: a missing key is entered
    // with 0 (the value's native units).
    int GetWorkingUnits(const std::wstring& key) { return m_workingUnits[key]; }
    // The same without entering anything, as the host reads them.
    int PeekWorkingUnits(const std::wstring& key) const { return m_workingUnits.UnitsForKey(key); }
    void SetWorkingUnits(const std::wstring& key, int units) { m_workingUnits.SetUnits(key, units); }
    const CWorkingUnits& GetWorkingUnitsTable() const { return m_workingUnits; }

    // The value-type key stored for an attribute name, empty when none; enters nothing.
    std::wstring GetAttributeWorkingUnits(const std::wstring& attributeName) const;
    void SetAttributeWorkingUnits(const std::wstring& attributeName, const std::wstring& valueTypeKey);
    // The value-type key whose working units an attribute's value is written in: the stored one,
    // else the key of the value's kind (kCoordinatesKey or kWeightsKey).
    std::wstring ValueTypeKeyOfAttribute(const std::wstring& attributeName, const std::wstring& kindKey) const;

private:
    bool m_bShowComponentKeypoints = true;
    bool m_bShowSpools = false;
    int m_componentText = eCTComponentType;
    int m_bComponentSequenceNos = 1;
    CWorkingUnits m_workingUnits;
    std::map<std::wstring, std::wstring> m_attributeWorkingUnits;
    std::map<std::wstring, std::wstring> m_displayNames;
};
