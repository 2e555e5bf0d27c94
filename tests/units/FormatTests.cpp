// Values written in units: feet and inches, binary fractions of an inch, decimal units to their
// precision, no units, and values that are not numbers of anything; texts read back as the values.
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "units/Length.h"
#include "units/Weight.h"

namespace {

enum class Kind { Length, Weight };

std::unique_ptr<CUnitVal> Make(Kind kind)
{
    if (kind == Kind::Length)
        return std::make_unique<CLength>();
    return std::make_unique<CWeight>();
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatInUnits, WritesEveryCase)
{
    const struct { Kind kind; double value; int units; const wchar_t* text; } cases[] = {
        // Feet and inches; inches as binary fractions (their rounding is FractionText's).
        {Kind::Length, 5.5, 3, L"5'6\""},
        {Kind::Length, 0.5, 3, L"6\""},
        {Kind::Length, 0.0, 3, L"0'"},
        {Kind::Length, -1.5, 3, L"-1'6\""},
        {Kind::Length, -0.5, 3, L"-6\""},
        {Kind::Length, -12.75, 3, L"-12'9\""},
        {Kind::Length, 5.0 + 6.5 / 12, 3, L"5'6-1/2\""},
        {Kind::Length, 1e-20, 3, L"0\""},
        {Kind::Length, 5.99999, 3, L"5'12\""},
        {Kind::Length, -2.49, 4, L"-2-31/64\""},
        {Kind::Length, 0.0, 4, L"0\""},
        // Decimal units: significant digits down to the unit's precision.
        {Kind::Length, 1234.56, 2, L"1234.6mm"},
        {Kind::Length, 12.3456, 1, L"12.3456m"},
        {Kind::Length, 0.0001, 1, L"0.0001m"},
        {Kind::Length, 0.03, 2, L"0.03mm"},
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
    for (const auto& c : cases)
        EXPECT_EQ(Make(c.kind)->FormatInUnits(c.value, c.units), c.text) << c.value << " in " << c.units;

    // Huge parts are written whole: 1e300 inches has 301 digits; the largest double in feet is one
    // part, with no inches.
    const std::wstring inches = CLength().FormatInUnits(1e300, CLength::eInches);
    EXPECT_EQ(inches.size(), 302u);
    EXPECT_EQ(inches.substr(0, 40), L"1000000000000000052504760255204420248704");
    const std::wstring feet = CLength().FormatInUnits(std::numeric_limits<double>::max(), CLength::eFeet);
    EXPECT_EQ(feet.substr(feet.size() - 6), L"e+308'");
}

// For every unit and a spread of values: the text a value formats to reads back as the value,
// within the step the unit shows. (A fraction may be a convergent short of the nearest step:
// 11.988 in writes as 12 in.)
TEST(FormatInUnits, TextsReadBackWithinThePrecision)
{
    const struct { Kind kind; int units; double step; } units[] = {
        {Kind::Length, CLength::eMetres, 0.0001},      {Kind::Length, CLength::eMillimetres, 0.1},
        {Kind::Length, CLength::eFeet, 1.0 / 64 / 12}, {Kind::Length, CLength::eInches, 1.0 / 64},
        {Kind::Weight, CWeight::eKilograms, 0.01},     {Kind::Weight, CWeight::ePounds, 0.01},
    };
    const double values[] = {0.0,    0.001, 0.05,    0.1,        0.5,       1.0,   3.14159265, 12.5,
                             99.999, 100.0, 1234.567, 1e6 / 7, 98765.4321, 1e9 + 0.3, 4.2e12};
    for (const auto& u : units) {
        for (double magnitude : values) {
            for (double v : {magnitude, -magnitude}) {
                const std::wstring text = Make(u.kind)->FormatInUnits(v, u.units);
                auto reader = Make(u.kind);
                ASSERT_NO_THROW(reader->SetText(text, u.units)) << Narrow(text);
                EXPECT_NEAR(reader->GetValue(u.units), v, u.step + std::fabs(v) * 1e-15) << Narrow(text);
            }
        }
    }
}

} // namespace
