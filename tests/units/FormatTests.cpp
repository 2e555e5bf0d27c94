#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "UnitsTestSupport.h"

namespace {

std::string Describe(const FormatCase& c)
{
    return (c.kind == Kind::Length ? "length " : "weight ") + std::to_string(c.value) + " in units " +
           std::to_string(c.units);
}

TEST(FormatInUnits, WritesEveryTableCaseIdenticallyInEveryBuild)
{
    for (const FormatCase& c : kFormatCases) {
        auto value = MakeUnitVal(c.kind);
        EXPECT_EQ(value->FormatInUnits(c.value, c.units), c.text) << Describe(c);
    }
}

TEST(FormatInUnits, HugePartsAreWrittenWhole)
{
    // 1e300 inches: the whole number has 301 digits; nothing may cut or overflow it.
    std::wstring text = CLength().FormatInUnits(1e300, CLength::eInches);
    ASSERT_EQ(text.size(), 302u);
    EXPECT_EQ(text.substr(0, 40), L"1000000000000000052504760255204420248704");
    EXPECT_EQ(text.back(), L'"');
    // The largest double in feet: one part, no inches, no overflow.
    std::wstring feet = CLength().FormatInUnits(std::numeric_limits<double>::max(), CLength::eFeet);
    EXPECT_EQ(feet.substr(feet.size() - 6), L"e+308'");
}

TEST(FormatInUnits, NeverThrowsForAnyValueOrUnits)
{
    const double values[] = {0.0, -0.0, 1e-320, -1e-320, 0.5, -0.5, 1.0 / 3, 1e15 + 0.5, 9.2e18, -9.3e18,
                             1e19, 1e300, -1e300, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(), std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (Kind kind : {Kind::Length, Kind::Weight}) {
        auto value = MakeUnitVal(kind);
        for (int units = -1; units <= 6; ++units) {
            for (double v : values) {
                std::wstring text;
                EXPECT_NO_THROW(text = value->FormatInUnits(v, units)) << v << " in " << units;
                EXPECT_FALSE(text.empty());
            }
        }
    }
}

// For every unit and a spread of values: the text a value formats to reads back as the value,
// within the step the unit shows. (A fraction may be a convergent short of the nearest step:
// 11.988 in writes as 12 in.)
TEST(FormatInUnits, FormattedTextParsesBackWithinThePrecision)
{
    struct Unit {
        Kind kind;
        int units;
        double step; // the smallest step the text shows
    };
    const Unit units[] = {
        {Kind::Length, CLength::eMetres, 0.0001},     {Kind::Length, CLength::eMillimetres, 0.1},
        {Kind::Length, CLength::eFeet, 1.0 / 64 / 12}, {Kind::Length, CLength::eInches, 1.0 / 64},
        {Kind::Weight, CWeight::eKilograms, 0.01},    {Kind::Weight, CWeight::ePounds, 0.01},
    };
    const double values[] = {0.0,    0.001, 0.05,     0.1,    0.5,       1.0,      3.14159265, 12.5,
                             99.999, 100.0, 1234.567, 1e6 / 7, 98765.4321, 1e9 + 0.3, 4.2e12};
    for (const Unit& u : units) {
        auto value = MakeUnitVal(u.kind);
        for (double magnitude : values) {
            for (double v : {magnitude, -magnitude}) {
                std::wstring text = value->FormatInUnits(v, u.units);
                auto reader = MakeUnitVal(u.kind);
                ASSERT_NO_THROW(reader->SetText(text, u.units)) << "text " << std::string(text.begin(), text.end());
                double tolerance = u.step + std::fabs(v) * 1e-15;
                EXPECT_NEAR(reader->GetValue(u.units), v, tolerance)
                    << "units " << u.units << " text " << std::string(text.begin(), text.end());
            }
        }
    }
}

} // namespace
