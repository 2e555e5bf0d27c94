#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace NumberText {
namespace {

bool IsCSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Grows the buffer until std::to_chars fits, so that no length of output is ever cut.
template <typename... Args>
std::wstring ToChars(double v, Args... args)
{
    std::string buffer(64, '\0');
    for (;;) {
        auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, args...);
        if (ec == std::errc{})
            return Widen(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
        buffer.resize(buffer.size() * 2);
    }
}

// Whether a digit string (point removed) with this exponent lies above the range of double
// rather than below it: the place of its first non-zero digit decides.
bool Overflows(std::string_view mantissa, long long exponent)
{
    std::size_t point = mantissa.find('.');
    long long intDigits = static_cast<long long>(point == std::string_view::npos ? mantissa.size() : point);
    long long index = 0; // digits before the first non-zero one
    for (char c : mantissa) {
        if (c == '.')
            continue;
        if (c != '0')
            break;
        ++index;
    }
    return intDigits - index - 1 + exponent >= 0;
}

} // namespace

std::optional<Scanned> Scan(std::wstring_view text, std::size_t pos)
{
    std::size_t p = pos;
    while (p < text.size() && IsCSpace(text[p]))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == L'+' || text[p] == L'-')) {
        negative = text[p] == L'-';
        ++p;
    }
    std::size_t mantissaStart = p;
    std::size_t digits = 0;
    while (p < text.size() && IsDigit(text[p]))
        ++p, ++digits;
    if (p < text.size() && text[p] == L'.') {
        ++p;
        while (p < text.size() && IsDigit(text[p]))
            ++p, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    std::size_t mantissaEnd = p;

    long long exponent = 0;
    if (p < text.size() && (text[p] == L'e' || text[p] == L'E')) {
        std::size_t q = p + 1;
        bool negativeExponent = false;
        if (q < text.size() && (text[q] == L'+' || text[q] == L'-'))
            negativeExponent = text[q++] == L'-';
        if (q < text.size() && IsDigit(text[q])) {
            while (q < text.size() && IsDigit(text[q])) {
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[q] - L'0');
                ++q;
            }
            if (negativeExponent)
                exponent = -exponent;
            p = q;
        }
    }

    // Every character is ASCII now; from_chars reads it with correct rounding in every build.
    std::string ascii(text.begin() + static_cast<std::ptrdiff_t>(mantissaStart),
                      text.begin() + static_cast<std::ptrdiff_t>(p));
    double magnitude = 0.0;
    auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), magnitude);
    if (ec == std::errc::result_out_of_range) {
        std::string_view mantissa(ascii.data(), mantissaEnd - mantissaStart);
        magnitude = Overflows(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc{} || end != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    return Scanned{negative ? -magnitude : magnitude, p};
}

bool NumberOrEndAt(std::wstring_view text, std::size_t pos)
{
    return pos >= text.size() || Scan(text, pos).has_value();
}

int DecimalExponent(double v)
{
    // Seventeen significant digits never round across a power of ten, so the written exponent
    // is the exact one.
    char buffer[40];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::scientific, 16);
    (void)ec; // 17 digits and an exponent always fit
    const char* e = std::find(buffer, end, 'e') + 1;
    if (*e == '+')
        ++e;
    int exponent = 0;
    std::from_chars(e, end, exponent);
    return exponent;
}

std::wstring Significant(double v, int digits)
{
    return ToChars(v, std::chars_format::general, digits);
}

std::wstring Whole(double v)
{
    return ToChars(v, std::chars_format::fixed, 0);
}

std::wstring NonFinite(double v)
{
    if (std::isnan(v))
        return L"nan";
    return v < 0 ? L"-inf" : L"inf";
}

} // namespace NumberText
