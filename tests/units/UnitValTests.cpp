#include <gtest/gtest.h>

#include "UnitsTestSupport.h"
#include "units/WorkingUnits.h"

namespace {

TEST(CUnitVal, GetTextGivesTheTextAsPassedOrFormatsInOtherUnits)
{
    CLength length(Fixed(2), Fixed(3));
    length.SetText(L"5' 6");
    EXPECT_EQ(length.GetText(), L"5' 6");
    EXPECT_EQ(length.GetText(3), L"5' 6");
    EXPECT_EQ(length.GetText(2), L"1676.4mm");
    EXPECT_EQ(length.GetText(4), L"66\"");
    EXPECT_DOUBLE_EQ(length.GetValue(), 1676.4); // the value spec's units
    EXPECT_DOUBLE_EQ(length.GetValue(3), 5.5);
}

TEST(CUnitVal, SetValueClearsTheTextAndFormatsInTheTextSpec)
{
    CLength length(Fixed(2), Fixed(1));
    length.SetText(L"5 ft");
    length.SetValue(1500.0);
    EXPECT_EQ(length.GetText(), L"1.5m");
    EXPECT_EQ(length.GetText(3), L"4'11-1/16\"");
    length.SetValue(2.0, 1);
    EXPECT_DOUBLE_EQ(length.GetValue(), 2000.0);
    length.ClearText();
    EXPECT_EQ(length.GetText(), L"2m");
}

TEST(CUnitVal, TextSpecOfNoUnitsGivesAnEmptyTextAfterSetValue)
{
    CLength length;
    length.SetValue(12.0, 2);
    EXPECT_EQ(length.GetText(), L"");
    EXPECT_EQ(length.GetText(2), L"12mm");
    EXPECT_DOUBLE_EQ(length.GetValue(), 0.0) << "millimetres into no units convert to nothing";
}

TEST(CUnitVal, ConstructionStartsAtZeroInTheValueSpecUnits)
{
    CWeight weight(Fixed(2), Fixed(1));
    EXPECT_EQ(weight.GetValue(), 0.0);
    EXPECT_EQ(weight.GetText(), L"0kg");
    EXPECT_EQ(weight.GetText(2), L"0lb");
}

TEST(UnitsSpec, ResolvesPointerThenKeyThenFixedUnits)
{
    int current = 3;
    UnitsSpec byPointer{2, &current, L"Coordinates"};
    EXPECT_EQ(byPointer.Resolve(), 3);
    current = 4;
    EXPECT_EQ(byPointer.Resolve(), 4);

    UnitsSpec byKey{2, nullptr, L"Coordinates"};
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

} // namespace
