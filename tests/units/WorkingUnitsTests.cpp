#include <gtest/gtest.h>

#include "units/WorkingUnits.h"

namespace {

TEST(CWorkingUnits, StoresAnyCodeAndReadsUnknownKeysAsZeroWithoutStoringThem)
{
    CWorkingUnits units;
    EXPECT_EQ(units.UnitsForKey(L"Coordinates"), 0);
    EXPECT_FALSE(units.Contains(L"Coordinates"));

    units.SetUnits(L"Coordinates", 3);
    units.SetUnits(L"Coordinates", 4);
    units.SetUnits(L"Custom", 42);
    units.SetUnits(L"Negative", -7);
    EXPECT_EQ(units.UnitsForKey(L"Coordinates"), 4);
    EXPECT_EQ(units.UnitsForKey(L"Custom"), 42);
    EXPECT_EQ(units.UnitsForKey(L"Negative"), -7);
    EXPECT_EQ(units.UnitsForKey(L"coordinates"), 0) << "keys compare exactly";

    // The displays' read enters a missing key with 0.
    EXPECT_EQ(units[L"Weights"], 0);
    EXPECT_TRUE(units.Contains(L"Weights"));
    EXPECT_EQ(units[L"Coordinates"], 4);
}

} // namespace
