// Whole numbers with binary fractions, as inches are written: 2-1/4, 21/64, -1/4.
#pragma once

#include <string>

// The text of a finite x with denominators up to maxDenominator (capped at 256): the continued
// fraction's best convergent when its denominator is a power of two, else the nearest step of
// 1/maxDenominator.
std::wstring FractionText(double x, double maxDenominator);
