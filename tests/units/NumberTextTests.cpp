// Numbers in texts, the same in every build: reading the decimal form only, writing significant
// digits, exponents and whole numbers, and binary fractions as inches are written.
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "units/Fraction.h"
#include "units/NumberText.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, ScanReadsTheDecimalFormOnly)
{
    const struct { const wchar_t* text; double value; std::size_t end; } readable[] = {
        {L"12.5e3x", 12500.0, 6}, {L"  -0.5", -0.5, 6}, {L"+.5", 0.5, 3}, {L"5.", 5.0, 2},
        {L"1e", 1.0, 1},  // an exponent needs digits; the number ends before it
        {L"1e+", 1.0, 1}, {L"1E-2", 0.01, 4},
        {L"0x1p3", 0.0, 1}, // no hexadecimal
        {L"007", 7.0, 3},
        {L"0.1", 0.1, 3}, // correctly rounded: the same double as the literal
        {L"2.2250738585072014e-308", 2.2250738585072014e-308, 23},
        // Out of range: infinity or zero, as strtod gives them.
        {L"1e999", kInf, 5}, {L"-1e999", -kInf, 6}, {L"0.0000001e316", kInf, 13}, {L"1e-999", 0.0, 6},
        {L"1000e-330", 0.0, 9}, {L"1e99999999999999999999", kInf, 22}, {L"0e99999999999999999999", 0.0, 22},
    };
    for (const auto& c : readable) {
        auto scanned = NumberText::Scan(c.text, 0);
        ASSERT_TRUE(scanned.has_value()) << "case #" << (&c - readable);
        EXPECT_EQ(scanned->value, c.value) << "case #" << (&c - readable);
        EXPECT_EQ(scanned->end, c.end) << "case #" << (&c - readable);
    }
    for (const wchar_t* text : {L"", L" ", L".", L"-", L"+.", L"-.e1", L"inf", L"nan", L"e5", L"\u0665", L"\u00a05"})
        EXPECT_FALSE(NumberText::Scan(text, 0).has_value());
    EXPECT_FALSE(NumberText::Scan(L"5", 1).has_value());
    EXPECT_FALSE(NumberText::Scan(L"5", 7).has_value());
}

TEST(NumberText, WritesDigitsAndExponentsAsPrintfDoes)
{
    const struct { double value; int digits; const wchar_t* text; } significant[] = {
        {0.03, 0, L"0.03"}, {1e20, 6, L"1e+20"}, {1e-5, 0, L"1e-05"}, {123456.0, 3, L"1.23e+05"}, {1.5e-300, 2, L"1.5e-300"},
        {2.5, 1, L"2"},    // ties go to even, as printf rounds the exact value
        {0.15, 1, L"0.1"}, // 0.15 is stored a little below 0.15
    };
    for (const auto& c : significant)
        EXPECT_EQ(NumberText::Significant(c.value, c.digits), c.text) << c.value;
    EXPECT_EQ(NumberText::Whole(-12.0), L"-12");
    EXPECT_EQ(NumberText::Whole(0.0), L"0");
    EXPECT_EQ(NumberText::Whole(1e22), L"10000000000000000000000");
    EXPECT_EQ(NumberText::NonFinite(-kInf), L"-inf");
    // Exact at powers of ten, where log10 is not.
    const std::pair<double, int> exponents[] = {{1000.0, 3}, {999.9999999999999, 2}, {0.001, -3}, {-0.015625, -2},
                                                {1e23, 22}, // the double nearest 1e23 lies below it
                                                {5e-324, -324}, {std::numeric_limits<double>::max(), 308}};
    for (const auto& [value, exponent] : exponents)
        EXPECT_EQ(NumberText::DecimalExponent(value), exponent) << value;
}

TEST(NumberText, FractionsAreWholeNumbersAndBinaryFractions)
{
    const struct { double x; double maxDenominator; const wchar_t* text; } cases[] = {
        {0.25, 64, L"1/4"},
        {2.25, 64, L"2-1/4"},
        {1.0 / 3, 64, L"21/64"},  // 1/3 is exact but has no binary denominator
        {0.49, 64, L"31/64"},     // the convergent 24/49 gives way to the nearest 64th
        {0.26, 64, L"17/64"},     // so does 13/50
        {0.49, 256, L"125/256"},  // 49/100, then the nearest 256th
        {1.999, 64, L"2"},        // a rest of one carries into the whole number
        {0.9999, 64, L"1"},
        {0.005, 64, L"0"},        // nearer to 0 than to 1/64
        {0.01, 64, L"1/64"},      // nearer to 1/64 than to 0
        {0.0, 64, L"0"},
        {3.0, 64, L"3"},
        {0.5, 2, L"1/2"},
        {0.75, 2, L"1"},
        {1.0 / 512, 1024, L"1/256"}, // denominators stop at 256
        {0.3, 0.5, L"0"},             // below one: whole numbers only
        {0.7, kNaN, L"1"},
        {3.0 - 5e-15, 64, L"3"},
        // The sign is written once: on the whole number, or on the numerator when there is none.
        {-0.25, 64, L"-1/4"},
        {-2.25, 64, L"-2-1/4"},
        {-2.49, 64, L"-2-31/64"},
        {-1.999, 64, L"-2"},
        {-0.001, 64, L"0"},
        // Huge values: the whole number in full, nothing converted out of range.
        {1e20, 64, L"100000000000000000000"},
        {-9.3e18, 64, L"-9300000000000000000"},
        {kInf, 64, L"inf"},
        {kNaN, 64, L"nan"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FractionText(c.x, c.maxDenominator), c.text) << c.x << " up to " << c.maxDenominator;
}

} // namespace
