// Feeds arbitrary texts, unit codes and doubles through reading, converting and writing values
// with units. Nothing may crash, hang or trip a sanitizer; bad texts may only throw BadString.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "units/Length.h"
#include "units/Weight.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    CLength length;
    CWeight mass;
    CUnitVal& value = input.ConsumeBool() ? static_cast<CUnitVal&>(mass) : static_cast<CUnitVal&>(length);
    const int defaultUnits = input.ConsumeIntegralInRange(-1, 6), otherUnits = input.ConsumeIntegralInRange(-1, 6);
    const double number = input.ConsumeFloatingPoint<double>();
    (void)value.FormatInUnits(number, otherUnits);
    value.SetValue(number, defaultUnits);
    (void)value.GetText(otherUnits);

    // The rest as UTF-16 code units, the way texts arrive from COM.
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    (void)value.LookupUnits(text);
    try {
        value.SetText(text, defaultUnits);
    } catch (const CUnitVal::BadString&) {
        return 0;
    }
    if (value.GetText(0) != text)
        __builtin_trap(); // the text read back must be the text as passed
    for (int units = -1; units <= 6; ++units)
        (void)value.GetText(units);
    (void)value.GetValue(otherUnits);
    return 0;
}
