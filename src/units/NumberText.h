// Reading and writing numbers in texts, the same in every build: C runtimes disagree on exponent
// digits, on "inf", "nan" and hexadecimal input, and on log10 at powers of ten.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace NumberText {

struct Scanned {
    double value;
    std::size_t end; // position just past the number
};

// Reads a decimal floating-point number at pos, after C white space: optional sign, digits with an
// optional point and fraction (at least one digit), optional exponent. Nothing else is a number.
// Out-of-range magnitudes read as infinity or zero, as strtod gives them.
std::optional<Scanned> Scan(std::wstring_view text, std::size_t pos);

// True when Scan finds a number at pos or the text ends there.
bool NumberOrEndAt(std::wstring_view text, std::size_t pos);

// The decimal exponent of a finite non-zero value: the e with 10^e <= |v| < 10^(e+1), exactly.
int DecimalExponent(double v);

// printf's "%.*g": at most `digits` significant digits (0 counts as 1), trailing zeros dropped,
// exponents written with at least two digits.
std::wstring Significant(double v, int digits);

// A whole-numbered finite value in plain decimal digits, however large.
std::wstring Whole(double v);

// "inf", "-inf" or "nan".
std::wstring NonFinite(double v);

} // namespace NumberText
