// Feeds arbitrary texts, unit codes and doubles through reading, converting and writing values
// with units. Nothing may crash, hang or trip a sanitizer; bad texts may only throw BadString.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "units/Length.h"
#include "units/Weight.h"

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;

    std::uint8_t Byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    double Double()
    {
        double d = 0.0;
        std::size_t n = size < sizeof d ? size : sizeof d;
        std::memcpy(&d, data, n);
        data += n;
        size -= n;
        return d;
    }
    // The rest as UTF-16 code units, the way texts arrive from COM.
    std::wstring Text()
    {
        std::wstring text;
        for (; size >= 2; data += 2, size -= 2)
            text += static_cast<wchar_t>(data[0] | (data[1] << 8));
        return text;
    }
};

int Units(std::uint8_t byte) { return static_cast<int>(byte % 8) - 1; }

void Exercise(CUnitVal& value, Input& input)
{
    int defaultUnits = Units(input.Byte());
    int otherUnits = Units(input.Byte());
    double number = input.Double();
    (void)value.FormatInUnits(number, otherUnits);
    value.SetValue(number, defaultUnits);
    (void)value.GetText(otherUnits);

    std::wstring text = input.Text();
    (void)value.LookupUnits(text);
    try {
        value.SetText(text, defaultUnits);
    } catch (const CUnitVal::BadString&) {
        return;
    }
    if (value.GetText(0) != text)
        __builtin_trap(); // the text read back must be the text as passed
    for (int units = -1; units <= 6; ++units)
        (void)value.GetText(units);
    (void)value.GetValue(otherUnits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input{data, size};
    bool weight = input.Byte() & 1;
    CLength length;
    CWeight mass;
    Exercise(weight ? static_cast<CUnitVal&>(mass) : static_cast<CUnitVal&>(length), input);
    return 0;
}
