// A value with units: a number that remembers its units, converts between them, reads texts such
// as 5 ft 6-1/2 in and writes itself in any unit with that unit's precision.
#pragma once

#include <string>

// What one unit looks like when written. Callers start from an empty record; GetUnitInfo leaves it
// as it was for a code it does not know.
struct UnitInfo {
    std::wstring m_abbreviation;
    int m_subUnits = 0;       // unit of the rest after the whole part; 0: written in one piece
    int m_fractionStyle = 0;  // 0: decimal; 2: whole number and binary fraction
    double m_precision = 0.0; // smallest step shown; 0: six significant digits
};

// Where a value's default units come from: a variable the owner keeps current, else a value-type
// key answered by the process-wide source, else fixed units.
struct UnitsSpec {
    int m_units = 0;
    const int* m_pUnits = nullptr;
    std::wstring m_key;

    int Resolve() const;
};

class CUnitVal {
public:
    // Answers the units of a value-type key ("Coordinates", "Weights", ...).
    class IIndirectUnits {
    public:
        virtual ~IIndirectUnits() = default;
        virtual int UnitsForKey(std::wstring key) const = 0;
    };
    // Thrown when a text cannot be read as a number.
    class BadString {};
    // Thrown when a unit name is not one of the class's names.
    class BadUnits : public BadString {};

    virtual ~CUnitVal() = default;

    // The source that UnitsSpec keys resolve through; null (the default) means none.
    static void SetIndirectUnits(const IIndirectUnits* pSource);
    static const IIndirectUnits* GetIndirectUnits();

    void SetSpecs(const UnitsSpec& valueSpec, const UnitsSpec& textSpec);
    void SetValue(double value, int units = 0);
    double GetValue(int units = 0) const;
    void ClearText();
    void SetText(const std::wstring& text, int units = 0);
    std::wstring GetText(int units = 0) const;
    int LookupUnits(const std::wstring& name) const;
    std::wstring FormatInUnits(double value, int units) const;

    virtual int UnitsFromName(std::wstring name, int group, int defaultUnits) const;
    virtual void GetUnitInfo(int units, UnitInfo& info) const = 0;
    virtual double Convert(double value, int from, int to) const = 0;

protected:
    CUnitVal() : CUnitVal(UnitsSpec{}, UnitsSpec{}) {}
    CUnitVal(const UnitsSpec& valueSpec, const UnitsSpec& textSpec);

    // Unit code of a lower-case unit name, 0 when the class has no such name.
    virtual int UnitsOfLowerCaseName(const std::wstring& name) const = 0;

private:
    struct Parsed {
        double value;
        int units;
    };
    Parsed Parse(const std::wstring& text, int defaultUnits) const;
    std::wstring FormatPart(double part, const UnitInfo& info) const;

    UnitsSpec m_valueSpec;
    UnitsSpec m_textSpec;
    double m_value = 0.0;
    int m_valueUnits = 0;
    std::wstring m_text;
    int m_textUnits = 0;
};
