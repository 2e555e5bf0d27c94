#include <utility>

#include <gtest/gtest.h>

#include "UnitsTestSupport.h"

namespace {

struct ConversionCase {
    int from;
    int to;
    double value;
    double expected;
};

TEST(Convert, LengthFactors)
{
    const ConversionCase cases[] = {
        {1, 2, 1.5, 1500.0},         {1, 3, 0.3048, 1.0},       {1, 4, 0.0254, 1.0},
        {2, 1, 1500.0, 1.5},         {2, 3, 304.8, 1.0},        {2, 4, 25.4, 1.0},
        {3, 1, 1.0, 0.3048},         {3, 2, 1.0, 304.8},        {3, 4, 1.5, 18.0},
        {4, 1, 1.0, 0.0254},         {4, 2, 1.0, 25.4},         {4, 3, 18.0, 1.5},
        {2, 2, 7.25, 7.25},          {0, 0, 7.25, 7.25},        {9, 9, 7.25, 7.25},
        // An unknown code on either side converts to nothing.
        {2, 0, 7.25, 0.0},           {0, 2, 7.25, 0.0},         {1, 9, 7.25, 0.0},
        {3, 9, 7.25, 0.0},           {4, 0, 7.25, 0.0},         {-1, 2, 7.25, 0.0},
    };
    CLength length;
    for (const ConversionCase& c : cases)
        EXPECT_NEAR(length.Convert(c.value, c.from, c.to), c.expected, 1e-12) << c.from << " -> " << c.to;
}

TEST(Convert, WeightFactorsAreRoundedSeparately)
{
    CWeight weight;
    EXPECT_DOUBLE_EQ(weight.Convert(1.0, 1, 2), 2.2046);
    EXPECT_DOUBLE_EQ(weight.Convert(1.0, 2, 1), 0.4536);
    EXPECT_DOUBLE_EQ(weight.Convert(weight.Convert(1.0, 1, 2), 2, 1), 1.00000656);
    EXPECT_DOUBLE_EQ(weight.Convert(3.0, 1, 1), 3.0);
    // A kilogram or pound value converts by its factor whatever the target code.
    EXPECT_DOUBLE_EQ(weight.Convert(1.0, 1, 7), 2.2046);
    EXPECT_DOUBLE_EQ(weight.Convert(1.0, 2, 0), 0.4536);
    EXPECT_EQ(weight.Convert(1.0, 0, 1), 0.0);
    EXPECT_EQ(weight.Convert(1.0, 5, 2), 0.0);
}

TEST(GetUnitInfo, LeavesTheRecordAloneForCodesTheClassLacks)
{
    const std::pair<Kind, int> unknown[] = {{Kind::Length, 0}, {Kind::Length, 5}, {Kind::Length, -1},
                                            {Kind::Weight, 0}, {Kind::Weight, 3}, {Kind::Weight, 3000}};
    for (auto [kind, units] : unknown) {
        UnitInfo info{L"keep", 9, 9, 9.5};
        MakeUnitVal(kind)->GetUnitInfo(units, info);
        EXPECT_EQ(info.m_abbreviation, L"keep");
        EXPECT_EQ(info.m_subUnits, 9);
        EXPECT_EQ(info.m_fractionStyle, 9);
        EXPECT_EQ(info.m_precision, 9.5);
    }
}

} // namespace
