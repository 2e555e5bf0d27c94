// Texts read as values: numbers, fractions and groups of units (5 ft 6-1/2 in), and the texts that
// are not numbers or name no unit of the class.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "units/Length.h"
#include "units/Weight.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SetText, ReadsNumbersFractionsAndUnitGroups)
{
    const struct {
        const wchar_t* text;
        int defaultUnits;
        double value;
        int units; // of the first group, which the value is in
    } cases[] = {
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
        // Out of range: infinity or zero.
        {L"1e999 mm", 0, kInf, 2},
        {L"-1e999", 0, -kInf, 0},
        {L"1e-999 mm", 0, 0.0, 2},
        {L"0.0000001e316", 0, kInf, 0},
        {L"123456789012345678901234567890e-400", 0, 0.0, 0},
    };
    for (const auto& c : cases) {
        const std::string name = "text #" + std::to_string(&c - cases);
        CLength length;
        ASSERT_NO_THROW(length.SetText(c.text, c.defaultUnits)) << name;
        const double value = length.GetValue(c.units);
        EXPECT_TRUE(value == c.value || std::fabs(value - c.value) < 1e-12) << name << ": " << value;
        EXPECT_EQ(length.GetText(), c.text) << name;
        EXPECT_EQ(length.GetText(c.units), c.text) << name << ": the text is in the first group's units";
    }
}

TEST(SetText, RefusesTextsThatAreNotNumbersAndNamesThatAreNotUnits)
{
    for (const wchar_t* text : {L"", L"   ", L"abc", L"mm 5", L".", L"+", L"-.e1", L"1/0", L"1/-0", L"3-1/0", L"3-4",
                                L"3-", L"3-1/", L"3-1 /2", L"1/", L"1/x", L"inf", L"nan", L"-inf mm", L"\u0661\u0662",
                                L"\u30005"}) {
        try {
            CLength().SetText(text, 2);
            ADD_FAILURE() << "read " << std::string(text, text + wcslen(text));
        } catch (const CUnitVal::BadUnits&) {
            ADD_FAILURE() << "BadUnits for " << std::string(text, text + wcslen(text));
        } catch (const CUnitVal::BadString&) {
        }
    }
    // Every character between two numbers belongs to a unit name, so trailing text is never
    // silently dropped; letters that only look like ASCII are not ASCII.
    for (const wchar_t* text : {L"5 yd", L"5mm xyz", L"1e", L"0x10", L"5 mm 6 yd", L"5\nmm", L"5 \u212Am", L"5 m-m", L"5 kg"})
        EXPECT_THROW(CLength().SetText(text, 2), CUnitVal::BadUnits) << std::string(text, text + wcslen(text));
    for (const wchar_t* text : {L"5 mm", L"5 \u212Ag"}) // KELVIN SIGN lowers to k only outside ASCII
        EXPECT_THROW(CWeight().SetText(text, 1), CUnitVal::BadUnits);
}

TEST(SetText, AFailureKeepsTheValueAndTextAndATextEndsAtItsFirstNul)
{
    CLength length;
    length.SetText(L"5 mm");
    EXPECT_THROW(length.SetText(L"5 yd"), CUnitVal::BadUnits);
    EXPECT_THROW(length.SetText(L"3-4"), CUnitVal::BadString);
    EXPECT_EQ(length.GetText(), L"5 mm");
    EXPECT_EQ(length.GetValue(2), 5.0);

    const std::wstring text(L"6 mm\0 yd", 8);
    ASSERT_NO_THROW(length.SetText(text));
    EXPECT_EQ(length.GetValue(2), 6.0);
    EXPECT_EQ(length.GetText(), text);
}

} // namespace
