#include "UnitVal.h"

#include <climits>
#include <cmath>
#include <string_view>

#include "Fraction.h"
#include "NumberText.h"

namespace {

const CUnitVal::IIndirectUnits* g_pIndirectUnits = nullptr;

// Decimal parts carry at most this many significant digits.
constexpr int kMaxSignificantDigits = 60;
// A unit's chain of sub-units (feet, then inches) is never longer than this.
constexpr int kMaxUnitChain = 8;

struct Group {
    double number = 0.0;
    std::wstring unitText;
};

bool IsZeroOrNaN(double d) { return d == 0.0 || std::isnan(d); }

// Reads one group (a number, its fraction, its unit text) at pos. False when no number starts
// there; throws BadString when a fraction after the number is malformed.
bool ReadGroup(std::wstring_view text, std::size_t& pos, Group& group)
{
    auto first = NumberText::Scan(text, pos);
    if (!first)
        return false;
    std::size_t p = first->end;
    double value = first->value;

    if (p < text.size() && text[p] == L'/') {
        auto denominator = NumberText::Scan(text, p + 1);
        if (!denominator || IsZeroOrNaN(denominator->value))
            throw CUnitVal::BadString();
        value /= denominator->value;
        p = denominator->end;
    } else if (p < text.size() && text[p] == L'-') {
        // A mixed number, 3-1/2: the fraction goes away from zero, with the whole number's sign.
        auto numerator = NumberText::Scan(text, p + 1);
        if (!numerator || numerator->end >= text.size() || text[numerator->end] != L'/')
            throw CUnitVal::BadString();
        auto denominator = NumberText::Scan(text, numerator->end + 1);
        if (!denominator || IsZeroOrNaN(denominator->value))
            throw CUnitVal::BadString();
        double fraction = numerator->value / denominator->value;
        value = std::signbit(value) ? value - fraction : value + fraction;
        p = denominator->end;
    }

    // The unit text runs up to the next number or the end; spaces and tabs inside it are dropped.
    group.number = value;
    group.unitText.clear();
    if (!NumberText::NumberOrEndAt(text, p)) {
        while (p < text.size()) {
            wchar_t c = text[p++];
            if (c != L' ' && c != L'\t')
                group.unitText += c;
            if (NumberText::NumberOrEndAt(text, p))
                break;
        }
    }
    pos = p;
    return true;
}

std::wstring AsciiLower(std::wstring name)
{
    for (wchar_t& c : name) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return name;
}

} // namespace

int UnitsSpec::Resolve() const
{
    if (m_pUnits)
        return *m_pUnits;
    if (!m_key.empty() && g_pIndirectUnits)
        return g_pIndirectUnits->UnitsForKey(m_key);
    return m_units;
}

void CUnitVal::SetIndirectUnits(const IIndirectUnits* pSource) { g_pIndirectUnits = pSource; }

const CUnitVal::IIndirectUnits* CUnitVal::GetIndirectUnits() { return g_pIndirectUnits; }

CUnitVal::CUnitVal(const UnitsSpec& valueSpec, const UnitsSpec& textSpec)
    : m_valueSpec(valueSpec), m_textSpec(textSpec), m_valueUnits(valueSpec.Resolve())
{
}

void CUnitVal::SetSpecs(const UnitsSpec& valueSpec, const UnitsSpec& textSpec)
{
    m_valueSpec = valueSpec;
    m_textSpec = textSpec;
}

void CUnitVal::SetValue(double value, int units)
{
    m_value = value;
    m_valueUnits = units != 0 ? units : m_valueSpec.Resolve();
    ClearText();
}

double CUnitVal::GetValue(int units) const
{
    return Convert(m_value, m_valueUnits, units != 0 ? units : m_valueSpec.Resolve());
}

void CUnitVal::ClearText()
{
    m_text.clear();
    m_textUnits = 0;
}

void CUnitVal::SetText(const std::wstring& text, int units)
{
    Parsed parsed = Parse(text, units != 0 ? units : m_textSpec.Resolve());
    m_value = parsed.value;
    m_valueUnits = parsed.units;
    m_textUnits = parsed.units;
    m_text = text;
}

std::wstring CUnitVal::GetText(int units) const
{
    if (units == 0)
        units = m_text.empty() ? m_textSpec.Resolve() : m_textUnits;
    if (units == m_textUnits)
        return m_text;
    return FormatInUnits(Convert(m_value, m_valueUnits, units), units);
}

int CUnitVal::LookupUnits(const std::wstring& name) const
{
    try {
        return UnitsFromName(name, 0, 0);
    } catch (const BadUnits&) {
        return 0;
    }
}

int CUnitVal::UnitsFromName(std::wstring name, int /*group*/, int defaultUnits) const
{
    if (name.empty())
        return defaultUnits;
    int units = UnitsOfLowerCaseName(AsciiLower(std::move(name)));
    if (units == 0)
        throw BadUnits();
    return units;
}

CUnitVal::Parsed CUnitVal::Parse(const std::wstring& text, int defaultUnits) const
{
    // Like the C runtime's scanning, the text ends at its first NUL.
    std::wstring_view view(text.c_str());
    std::size_t pos = 0;
    Group group;
    if (!ReadGroup(view, pos, group))
        throw BadString();

    // Later groups are converted into the first group's units and take its sign: -5 ft 6 in.
    Parsed result{group.number, UnitsFromName(group.unitText, 1, defaultUnits)};
    bool negative = std::signbit(group.number);
    for (int n = 2; ReadGroup(view, pos, group); n = n < INT_MAX ? n + 1 : n) {
        double add = Convert(group.number, UnitsFromName(group.unitText, n, defaultUnits), result.units);
        result.value += negative ? -add : add;
    }
    return result;
}

std::wstring CUnitVal::FormatInUnits(double value, int units) const
{
    if (!std::isfinite(value)) {
        UnitInfo info;
        GetUnitInfo(units, info);
        return NumberText::NonFinite(value) + info.m_abbreviation;
    }

    std::wstring result;
    for (int step = 0; step < kMaxUnitChain; ++step) {
        UnitInfo info;
        GetUnitInfo(units, info);
        double part = value;
        bool hasSubUnits = info.m_subUnits != 0;
        if (hasSubUnits) {
            part = value < 0 ? std::ceil(value) : std::floor(value);
            double rest = value - part;
            if (part < 0)
                rest = std::fabs(rest);
            value = Convert(rest, units, info.m_subUnits);
            units = info.m_subUnits;
        }
        // A zero whole part is left out when the rest says it all: 0.5 ft is 6".
        if (!(part == 0 && hasSubUnits && value != 0))
            result += FormatPart(part, info);
        if (!hasSubUnits || value == 0)
            break;
    }
    return result;
}

std::wstring CUnitVal::FormatPart(double part, const UnitInfo& info) const
{
    double precision = std::fabs(info.m_precision);
    if (info.m_fractionStyle == 2)
        return FractionText(part, std::trunc(1.0 / precision)) + info.m_abbreviation;
    if (part == 0)
        return L"0" + info.m_abbreviation;
    if (!(precision > 0))
        return NumberText::Significant(part, 6) + info.m_abbreviation;
    // As many significant digits as reach down to the unit's precision.
    int digits = NumberText::DecimalExponent(part) + 1 - NumberText::DecimalExponent(precision);
    if (digits < 0)
        digits = 0;
    if (digits > kMaxSignificantDigits)
        digits = kMaxSignificantDigits;
    return NumberText::Significant(part, digits) + info.m_abbreviation;
}
