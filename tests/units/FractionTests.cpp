#include <limits>

#include <gtest/gtest.h>

#include "units/Fraction.h"

namespace {

struct FractionCase {
    double x;
    double maxDenominator;
    const wchar_t* text;
};

TEST(FractionText, WholeNumbersAndBinaryFractions)
{
    const FractionCase cases[] = {
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
        {0.7, std::numeric_limits<double>::quiet_NaN(), L"1"},
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
        {std::numeric_limits<double>::infinity(), 64, L"inf"},
        {std::numeric_limits<double>::quiet_NaN(), 64, L"nan"},
    };
    for (const FractionCase& c : cases)
        EXPECT_EQ(FractionText(c.x, c.maxDenominator), c.text) << c.x << " up to " << c.maxDenominator;
}

} // namespace
