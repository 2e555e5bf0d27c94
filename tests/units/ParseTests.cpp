#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "UnitsTestSupport.h"

namespace {

struct ParseCase {
    const wchar_t* text;
    int defaultUnits;
    double value;
    int units; // units of the first group, which the value is in
};

// Texts that read, with the default units they are read in.
const ParseCase kReadable[] = {
    {L"3-1/2", 4, 3.5, 4},
    {L"-3-1/2", 4, -3.5, 4},
    {L"1/2", 4, 0.5, 4},
    {L"1/ 2", 4, 0.5, 4},        // the denominator may follow blanks
    {L"3--1/2", 4, 2.5, 4},      // the fraction's numerator is a signed number
    {L"5 6", 3, 5.5, 3},         // a bare second group after feet is inches
    {L"5 6", 4, 11.0, 4},        // after inches it is inches too
    {L"5' 6", 3, 5.5, 3},
    {L"5'6\"", 0, 5.5, 3},
    {L"5 ft 6-1/2 in", 2, 5.0 + 6.5 / 12, 3},
    {L"-5 ft 6 in", 2, -5.5, 3},  // later groups take the first group's sign
    {L"-0 ft 6 in", 2, -0.5, 3},  // so does a negative zero
    {L"5' 6", 2, 5.0 + 6.0 / 304.8, 3}, // a bare second group is in the default units
    {L"1.2 m", 2, 1.2, 1},
    {L"1200 mm", 3, 1200.0, 2},
    {L"5 MM", 0, 5.0, 2},
    {L"5 Ft", 0, 5.0, 3},
    {L"5 IN", 0, 5.0, 4},
    {L"  +7.5e1mm", 0, 75.0, 2},
    {L"\t\n\v\f\r 7", 2, 7.0, 2},
    {L".5m", 0, 0.5, 1},
    {L"5.m", 0, 5.0, 1},
    {L"3 -1/2", 4, 2.5, 4},      // a signed fraction is a second group
    {L"7", 0, 7.0, 0},           // no units anywhere: the value has none
    {L"1 m 1 mm", 0, 1.001, 1},
    {L"1 m 0 ft 3", 0, 1.0, 1},   // a bare group in no units converts to nothing
};

TEST(SetText, ReadsNumbersFractionsAndUnitGroups)
{
    for (const ParseCase& c : kReadable) {
        CLength length;
        ASSERT_NO_THROW(length.SetText(c.text, c.defaultUnits)) << "text #" << (&c - kReadable);
        EXPECT_NEAR(length.GetValue(c.units), c.value, 1e-12) << "text #" << (&c - kReadable);
        EXPECT_EQ(length.GetText(), c.text);
        EXPECT_EQ(length.GetText(c.units), c.text) << "the text is in the first group's units";
    }
}

TEST(SetText, RejectsTextsThatAreNotNumbers)
{
    const wchar_t* const texts[] = {L"",    L"   ", L"abc",   L"mm 5", L".",    L"+",   L"-.e1", L"1/0",
                                    L"1/-0", L"3-1/0", L"3-4",  L"3-",   L"3-1/", L"3-1 /2", L"1/", L"1/x",
                                    L"inf", L"nan", L"-inf mm", L"\u0661\u0662", L"\u30005"};
    for (const wchar_t* text : texts) {
        CLength length;
        try {
            length.SetText(text, 2);
            ADD_FAILURE() << "read text #" << (&text - texts);
        } catch (const CUnitVal::BadUnits&) {
            ADD_FAILURE() << "BadUnits for text #" << (&text - texts);
        } catch (const CUnitVal::BadString&) {
        }
    }
}

TEST(SetText, RejectsUnknownUnitNames)
{
    // Every character between two numbers belongs to a unit name, so trailing text is never
    // silently dropped; letters that only look like ASCII are not ASCII.
    const wchar_t* const texts[] = {L"5 yd", L"5mm xyz", L"1e", L"0x10", L"5 mm 6 yd", L"5\nmm", L"5 \u212Am",
                                    L"5 m-m"};
    for (const wchar_t* text : texts)
        EXPECT_THROW(CLength().SetText(text, 2), CUnitVal::BadUnits) << "text #" << (&text - texts);
    EXPECT_THROW(CWeight().SetText(L"5 mm", 1), CUnitVal::BadUnits);
    EXPECT_THROW(CLength().SetText(L"5 kg", 2), CUnitVal::BadUnits);
}

TEST(SetText, OutOfRangeNumbersReadAsInfinityOrZero)
{
    CLength length;
    length.SetText(L"1e999 mm");
    EXPECT_EQ(length.GetValue(2), std::numeric_limits<double>::infinity());
    EXPECT_EQ(length.GetText(1), L"infm");
    length.SetText(L"-1e999");
    EXPECT_EQ(length.GetValue(), -std::numeric_limits<double>::infinity());
    length.SetText(L"1e-999 mm");
    EXPECT_EQ(length.GetValue(2), 0.0);
    length.SetText(L"0.0000001e316");
    EXPECT_EQ(length.GetValue(), std::numeric_limits<double>::infinity());
    length.SetText(L"123456789012345678901234567890e-400");
    EXPECT_EQ(length.GetValue(), 0.0);
}

TEST(SetText, FailureKeepsTheValueAndText)
{
    CLength length;
    length.SetText(L"5 mm");
    EXPECT_THROW(length.SetText(L"5 yd"), CUnitVal::BadUnits);
    EXPECT_THROW(length.SetText(L"3-4"), CUnitVal::BadString);
    EXPECT_EQ(length.GetText(), L"5 mm");
    EXPECT_EQ(length.GetValue(2), 5.0);
}

TEST(SetText, TextEndsAtItsFirstNul)
{
    CLength length;
    std::wstring text(L"5 mm\0 yd", 8);
    ASSERT_NO_THROW(length.SetText(text));
    EXPECT_EQ(length.GetValue(2), 5.0);
    EXPECT_EQ(length.GetText(), text);
}

TEST(UnitsFromName, EmptyNameGivesTheDefaultAndFeetContinueInInches)
{
    CLength length;
    EXPECT_EQ(length.UnitsFromName(L"", 1, 3), 3);
    EXPECT_EQ(length.UnitsFromName(L"", 2, 3), 4);
    EXPECT_EQ(length.UnitsFromName(L"", 0, 3), 4);
    EXPECT_EQ(length.UnitsFromName(L"", 2, 4), 4);
    EXPECT_EQ(length.UnitsFromName(L"", 1, 0), 0);
    EXPECT_EQ(CWeight().UnitsFromName(L"", 2, 3), 3);
    EXPECT_EQ(length.UnitsFromName(L"'", 1, 0), 3);
    EXPECT_EQ(length.UnitsFromName(L"\"", 1, 0), 4);
    EXPECT_EQ(length.UnitsFromName(L"mM", 1, 0), 2);
    EXPECT_THROW(length.UnitsFromName(L"yd", 1, 2), CUnitVal::BadUnits);
}

TEST(LookupUnits, TellsLengthsFromWeightsAndNeverThrows)
{
    CLength length;
    CWeight weight;
    EXPECT_EQ(length.LookupUnits(L"mm"), 2);
    EXPECT_EQ(length.LookupUnits(L"FT"), 3);
    EXPECT_EQ(weight.LookupUnits(L"mm"), 0);
    EXPECT_EQ(weight.LookupUnits(L"KG"), 1);
    EXPECT_EQ(weight.LookupUnits(L"Lb"), 2);
    EXPECT_EQ(length.LookupUnits(L"kg"), 0);
    EXPECT_EQ(length.LookupUnits(L""), 0);
    EXPECT_EQ(length.LookupUnits(L"m m"), 0);
    EXPECT_EQ(weight.LookupUnits(L"\u212Ag"), 0); // KELVIN SIGN lowers to k only outside ASCII
}

} // namespace
