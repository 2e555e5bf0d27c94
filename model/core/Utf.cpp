#include "Reader.h"

namespace ruvmodel {
namespace {

void AppendCodePoint(Text& out, char32_t c)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

} // namespace

Text Widen(std::string_view utf8)
{
    Text out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
        const unsigned char lead = byte(0);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // The length the lead byte announces and the range of its first continuation byte, which
        // rules out overlong forms, surrogates and code points past U+10FFFF.
        const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        char32_t c = static_cast<char32_t>(lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07));
        int taken = 1;
        for (; length && taken < length && i + taken < utf8.size(); ++taken) {
            const unsigned char next = byte(taken);
            if (taken == 1 ? next < low || next > high : (next & 0xC0) != 0x80)
                break;
            c = (c << 6) | (next & 0x3F);
        }
        // An ill-formed sequence becomes one U+FFFD for the bytes that began it, and the byte that
        // broke it is read again on its own (a quote after a broken sequence stays a quote).
        AppendCodePoint(out, taken == length ? c : 0xFFFD);
        i += static_cast<size_t>(taken);
    }
    return out;
}

std::string Narrow(const Text& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace ruvmodel
