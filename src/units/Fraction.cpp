#include "Fraction.h"

#include <cmath>
#include <cstdint>

#include "NumberText.h"

namespace {

constexpr double kTolerance = 1e-14;
constexpr std::int64_t kLargestDenominator = 256;

struct Ratio {
    std::int64_t p; // numerator
    std::int64_t q; // denominator; 0 when there is no fraction
};

bool IsPowerOfTwoDenominator(std::int64_t q)
{
    return q >= 2 && q <= kLargestDenominator && (q & (q - 1)) == 0;
}

// Approximates the fraction f (0 < f < 1) by continued fractions, stopping before a denominator
// passes maxQ. Every quotient is checked against maxQ in floating point before it becomes an
// integer, so nothing here converts a value out of the integers' range.
Ratio ContinuedFraction(double f, std::int64_t maxQ)
{
    double r = f;
    double t = kTolerance;
    std::int64_t p = 1, q = 0, p1 = 0, p2 = 0;
    for (;;) {
        r = 1.0 / r;
        double k = std::trunc(r + t);
        r -= k;
        if (p1 != 0) {
            // r stays at least t here, so k is below 1e14 and p below maxQ: the product fits.
            p = static_cast<std::int64_t>(k) * p + p2;
        }
        double qd = std::trunc(static_cast<double>(p) / f + 0.5);
        if (qd > static_cast<double>(maxQ)) {
            if (p1 != 0)
                return {p1, static_cast<std::int64_t>(std::trunc(static_cast<double>(p1) / f + 0.5))};
            double one = 1.0 / static_cast<double>(maxQ);
            return std::fabs(one - f) > f ? Ratio{0, 1} : Ratio{1, maxQ};
        }
        q = static_cast<std::int64_t>(qd);
        double e = std::fabs(static_cast<double>(p) / static_cast<double>(q) - f);
        if (e <= kTolerance || r < t)
            return {p, q};
        t = kTolerance / e;
        p2 = p1;
        p1 = p;
    }
}

// A rest of one carries into the whole number; an empty fraction is no fraction.
void Normalise(double& whole, Ratio& ratio)
{
    if (ratio.p == ratio.q && ratio.q != 0) {
        whole += 1;
        ratio = {0, 0};
    } else if (ratio.q == 0 || ratio.p == 0) {
        ratio = {0, 0};
    }
}

} // namespace

std::wstring FractionText(double x, double maxDenominator)
{
    if (!std::isfinite(x))
        return NumberText::NonFinite(x);
    std::int64_t maxQ = 1;
    if (maxDenominator >= static_cast<double>(kLargestDenominator))
        maxQ = kLargestDenominator;
    else if (maxDenominator >= 1.0)
        maxQ = static_cast<std::int64_t>(maxDenominator);
    double magnitude = std::fabs(x);
    double whole = std::trunc(magnitude + kTolerance);
    double f = magnitude - whole;

    Ratio ratio{1, 0};
    if (f > kTolerance)
        ratio = ContinuedFraction(f, maxQ);

    Normalise(whole, ratio);
    if (ratio.q != 0 && !IsPowerOfTwoDenominator(ratio.q)) {
        // The nearest step of 1/maxQ, in lowest terms. The rest is taken from |x|, so that a
        // negative value gets the same fraction as its magnitude.
        ratio.q = maxQ;
        ratio.p = static_cast<std::int64_t>(std::trunc(f * static_cast<double>(maxQ) + 0.5));
        while (ratio.p != 0 && ratio.p % 2 == 0) {
            ratio.p /= 2;
            ratio.q /= 2;
        }
        Normalise(whole, ratio);
    }

    if (x < 0) {
        if (whole != 0)
            whole = -whole;
        else
            ratio.p = -ratio.p;
    }

    std::wstring wholeText = NumberText::Whole(whole);
    if (ratio.q == 0 || ratio.p == 0)
        return wholeText;
    std::wstring fractionText = std::to_wstring(ratio.p) + L'/' + std::to_wstring(ratio.q);
    if (whole == 0)
        return fractionText;
    return wholeText + L'-' + fractionText;
}
