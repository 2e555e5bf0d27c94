#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "units/NumberText.h"

namespace {

TEST(NumberTextScan, ReadsTheDecimalFormOnly)
{
    struct ScanCase {
        const wchar_t* text;
        double value;
        std::size_t end;
    };
    const ScanCase readable[] = {
        {L"12.5e3x", 12500.0, 6},
        {L"  -0.5", -0.5, 6},
        {L"+.5", 0.5, 3},
        {L"5.", 5.0, 2},
        {L"1e", 1.0, 1},       // an exponent needs digits; the number ends before it
        {L"1e+", 1.0, 1},
        {L"1E-2", 0.01, 4},
        {L"0x1p3", 0.0, 1},    // no hexadecimal
        {L"007", 7.0, 3},
        {L"0.1", 0.1, 3},      // correctly rounded: the same double as the literal
        {L"2.2250738585072014e-308", 2.2250738585072014e-308, 23},
    };
    for (const ScanCase& c : readable) {
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

TEST(NumberTextScan, OutOfRangeSaturatesLikeStrtod)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(NumberText::Scan(L"1e999", 0)->value, inf);
    EXPECT_EQ(NumberText::Scan(L"-1e999", 0)->value, -inf);
    EXPECT_EQ(NumberText::Scan(L"0.0000001e316", 0)->value, inf);
    EXPECT_EQ(NumberText::Scan(L"1e-999", 0)->value, 0.0);
    EXPECT_EQ(NumberText::Scan(L"1000e-330", 0)->value, 0.0);
    EXPECT_EQ(NumberText::Scan(L"1e99999999999999999999", 0)->value, inf);
    EXPECT_EQ(NumberText::Scan(L"0e99999999999999999999", 0)->value, 0.0);
}

TEST(NumberTextWrite, ExponentsAndDigitsAreTheSameEverywhere)
{
    EXPECT_EQ(NumberText::Significant(0.03, 0), L"0.03");
    EXPECT_EQ(NumberText::Significant(1e20, 6), L"1e+20");
    EXPECT_EQ(NumberText::Significant(1e-5, 0), L"1e-05");
    EXPECT_EQ(NumberText::Significant(123456.0, 3), L"1.23e+05");
    EXPECT_EQ(NumberText::Significant(1.5e-300, 2), L"1.5e-300");
    EXPECT_EQ(NumberText::Significant(2.5, 1), L"2");   // ties go to even, as printf rounds the exact value
    EXPECT_EQ(NumberText::Significant(0.15, 1), L"0.1"); // 0.15 is stored a little below 0.15
    EXPECT_EQ(NumberText::Whole(-12.0), L"-12");
    EXPECT_EQ(NumberText::Whole(0.0), L"0");
    EXPECT_EQ(NumberText::Whole(1e22), L"10000000000000000000000");
    EXPECT_EQ(NumberText::NonFinite(-std::numeric_limits<double>::infinity()), L"-inf");
}

TEST(NumberTextWrite, DecimalExponentIsExactAtPowersOfTen)
{
    EXPECT_EQ(NumberText::DecimalExponent(1000.0), 3);
    EXPECT_EQ(NumberText::DecimalExponent(999.9999999999999), 2);
    EXPECT_EQ(NumberText::DecimalExponent(0.001), -3);
    EXPECT_EQ(NumberText::DecimalExponent(-0.015625), -2);
    EXPECT_EQ(NumberText::DecimalExponent(1e23), 22); // the double nearest 1e23 lies below it
    EXPECT_EQ(NumberText::DecimalExponent(5e-324), -324);
    EXPECT_EQ(NumberText::DecimalExponent(std::numeric_limits<double>::max()), 308);
}

} // namespace
