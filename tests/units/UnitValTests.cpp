// Values with units: conversions, the texts a value keeps or writes, where its units come from,
// and the working units table.
#include <gtest/gtest.h>

#include "units/Length.h"
#include "units/Weight.h"
#include "units/WorkingUnits.h"

namespace {

UnitsSpec Fixed(int units) { return UnitsSpec{units, nullptr, {}}; }

TEST(Convert, LengthsAndWeights)
{
    const CLength length;
    const CWeight weight;
    const struct { const CUnitVal& kind; int from; int to; double value; double expected; } cases[] = {
        {length, 1, 2, 1.5, 1500.0},  {length, 1, 3, 0.3048, 1.0}, {length, 1, 4, 0.0254, 1.0},
        {length, 2, 1, 1500.0, 1.5},  {length, 2, 3, 304.8, 1.0},  {length, 2, 4, 25.4, 1.0},
        {length, 3, 1, 1.0, 0.3048},  {length, 3, 2, 1.0, 304.8},  {length, 3, 4, 1.5, 18.0},
        {length, 4, 1, 1.0, 0.0254},  {length, 4, 2, 1.0, 25.4},   {length, 4, 3, 18.0, 1.5},
        {length, 2, 2, 7.25, 7.25},   {length, 0, 0, 7.25, 7.25},  {length, 9, 9, 7.25, 7.25},
        // An unknown length code on either side converts to nothing.
        {length, 2, 0, 7.25, 0.0},    {length, 0, 2, 7.25, 0.0},   {length, 1, 9, 7.25, 0.0},
        {length, 3, 9, 7.25, 0.0},    {length, 4, 0, 7.25, 0.0},   {length, -1, 2, 7.25, 0.0},
        // The weight factors are rounded separately; a kilogram or pound value converts by its
        // factor whatever the target code.
        {weight, 1, 2, 1.0, 2.2046},  {weight, 2, 1, 1.0, 0.4536}, {weight, 1, 1, 3.0, 3.0},
        {weight, 1, 7, 1.0, 2.2046},  {weight, 2, 0, 1.0, 0.4536}, {weight, 0, 1, 1.0, 0.0},
        {weight, 5, 2, 1.0, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.kind.Convert(c.value, c.from, c.to), c.expected, 1e-12) << c.from << " -> " << c.to;
}

TEST(CUnitVal, TheTextAsPassedUntilAValueIsSet)
{
    CLength length(Fixed(2), Fixed(3));
    EXPECT_EQ(length.GetText(), L"0'") << "a new value is zero";
    length.SetText(L"5' 6");
    EXPECT_EQ(length.GetText(), L"5' 6");
    EXPECT_EQ(length.GetText(3), L"5' 6");
    EXPECT_EQ(length.GetText(2), L"1676.4mm");
    EXPECT_EQ(length.GetText(4), L"66\"");
    EXPECT_DOUBLE_EQ(length.GetValue(), 1676.4) << "in the value spec's units";
    EXPECT_DOUBLE_EQ(length.GetValue(3), 5.5);

    // A value set clears the text: it is written in the text spec's units.
    length.SetSpecs(Fixed(2), Fixed(1));
    length.SetValue(1500.0);
    EXPECT_EQ(length.GetText(), L"1.5m");
    EXPECT_EQ(length.GetText(3), L"4'11-1/16\"");
    length.SetValue(2.0, 1);
    EXPECT_DOUBLE_EQ(length.GetValue(), 2000.0);

    // A text spec of no units writes nothing; millimetres into no units convert to nothing.
    CLength plain;
    plain.SetValue(12.0, 2);
    EXPECT_EQ(plain.GetText(), L"");
    EXPECT_EQ(plain.GetText(2), L"12mm");
    EXPECT_DOUBLE_EQ(plain.GetValue(), 0.0);
}

TEST(UnitsSpec, ResolvesPointerThenKeyThenFixedUnits)
{
    int current = 3;
    const UnitsSpec byPointer{2, &current, L"Coordinates"};
    EXPECT_EQ(byPointer.Resolve(), 3);
    current = 4;
    EXPECT_EQ(byPointer.Resolve(), 4);

    const UnitsSpec byKey{2, nullptr, L"Coordinates"};
    EXPECT_EQ(byKey.Resolve(), 2) << "no process-wide source is installed";
    CWorkingUnits working;
    working.SetUnits(L"Coordinates", 1);
    CUnitVal::SetIndirectUnits(&working);
    EXPECT_EQ(byKey.Resolve(), 1);
    EXPECT_EQ((UnitsSpec{2, nullptr, L"Weights"}.Resolve()), 0) << "the source answers 0 for keys it lacks";
    EXPECT_EQ((UnitsSpec{2, nullptr, L""}.Resolve()), 2);
    CLength length(byKey, byKey);
    length.SetText(L"1.5");
    EXPECT_EQ(length.GetText(2), L"1500mm");
    CUnitVal::SetIndirectUnits(nullptr);
    EXPECT_EQ(byKey.Resolve(), 2);
}

TEST(CWorkingUnits, StoresAnyCodeAndReadsUnknownKeysAsZeroWithoutStoringThem)
{
    CWorkingUnits units;
    units.SetUnits(L"Coordinates", 3);
    units.SetUnits(L"Coordinates", 4);
    units.SetUnits(L"Negative", -7);
    EXPECT_EQ(units.UnitsForKey(L"Coordinates"), 4);
    EXPECT_EQ(units.UnitsForKey(L"Negative"), -7);
    EXPECT_EQ(units.UnitsForKey(L"coordinates"), 0) << "keys compare exactly";
    EXPECT_FALSE(units.Contains(L"coordinates"));
    // The displays' read enters a missing key with 0.
    EXPECT_EQ(units[L"Weights"], 0);
    EXPECT_TRUE(units.Contains(L"Weights"));
}

} // namespace
