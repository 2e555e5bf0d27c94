// Values and the texts they format to. Every build runs this one table, so the native and the
// Windows builds write the same texts: exponent digits, huge and tiny values, fractions, signs.
#pragma once

#include <limits>

enum class Kind { Length, Weight };

struct FormatCase {
    Kind kind;
    double value;
    int units;
    const wchar_t* text;
};

inline constexpr double kInf = std::numeric_limits<double>::infinity();

inline const FormatCase kFormatCases[] = {
    // Feet and inches, binary fractions of an inch.
    {Kind::Length, 5.5, 3, L"5'6\""},
    {Kind::Length, 0.5, 3, L"6\""},
    {Kind::Length, 0.0, 3, L"0'"},
    {Kind::Length, -1.5, 3, L"-1'6\""},
    {Kind::Length, -0.5, 3, L"-6\""},
    {Kind::Length, -12.75, 3, L"-12'9\""},
    {Kind::Length, 5.0 + 6.5 / 12, 3, L"5'6-1/2\""},
    {Kind::Length, 1e-20, 3, L"0\""},
    {Kind::Length, 5.99999, 3, L"5'12\""},
    {Kind::Length, 2.25, 4, L"2-1/4\""},
    {Kind::Length, 1.0 / 3, 4, L"21/64\""},
    {Kind::Length, -0.25, 4, L"-1/4\""},
    {Kind::Length, -2.25, 4, L"-2-1/4\""},
    {Kind::Length, -2.49, 4, L"-2-31/64\""},
    {Kind::Length, 0.49, 4, L"31/64\""},
    {Kind::Length, 0.26, 4, L"17/64\""},
    {Kind::Length, 1.999, 4, L"2\""},
    {Kind::Length, 0.005, 4, L"0\""},
    {Kind::Length, 0.0, 4, L"0\""},
    // Decimal units: significant digits down to the unit's precision.
    {Kind::Length, 1234.56, 2, L"1234.6mm"},
    {Kind::Length, 12.3456, 1, L"12.3456m"},
    {Kind::Length, 0.0001, 1, L"0.0001m"},
    {Kind::Length, 1.5, 1, L"1.5m"},
    {Kind::Length, 0.03, 2, L"0.03mm"},
    {Kind::Length, 0.0, 2, L"0mm"},
    {Kind::Length, -0.0, 2, L"0mm"},
    {Kind::Length, -1234.56, 2, L"-1234.6mm"},
    {Kind::Length, 1e-5, 2, L"1e-05mm"},
    {Kind::Length, 5e-324, 2, L"5e-324mm"},
    {Kind::Length, 1e20, 2, L"100000000000000000000mm"},
    {Kind::Length, 1e23, 2, L"99999999999999991611392mm"},
    {Kind::Length, 1e300, 2, L"1.00000000000000005250476025520442024870446858110815915491585e+300mm"},
    {Kind::Length, 1e300, 3, L"1.00000000000000005250476025520442024870446858110815915491585e+300'"},
    {Kind::Length, 1e20, 4, L"100000000000000000000\""},
    // No units, or units the class does not know: six significant digits, no abbreviation.
    {Kind::Length, 1234.5678, 0, L"1234.57"},
    {Kind::Length, 1234.5678, 7, L"1234.57"},
    {Kind::Length, 1e-7, 0, L"1e-07"},
    // Weights.
    {Kind::Weight, 123.456, 1, L"123.46kg"},
    {Kind::Weight, 99.996, 1, L"100kg"},
    {Kind::Weight, 2.5, 2, L"2.5lb"},
    {Kind::Weight, 0.0, 2, L"0lb"},
    // Values that are not numbers of anything.
    {Kind::Length, kInf, 2, L"infmm"},
    {Kind::Length, -kInf, 3, L"-inf'"},
    {Kind::Length, std::numeric_limits<double>::quiet_NaN(), 4, L"nan\""},
    {Kind::Weight, kInf, 0, L"inf"},
};
