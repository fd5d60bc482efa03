#include "nicerange.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Step factor for the leading digit 1..9 of the span.
constexpr double stepOfDigit[9] = {0.2, 0.2, 0.5, 0.5, 1.0, 1.0, 1.0, 2.0, 2.0};

// Allowance for quotients such as 0.3 / 0.1 = 2.9999999999999996 that should be whole.
constexpr double wholeTolerance = 1e-9;

// Grid lines at most per axis; a sane range needs far fewer.
constexpr int maxGridLines = 1000;

} // namespace

NiceRange niceRange(double a, double b)
{
    if (b < a)
        std::swap(a, b);
    const double span = b - a;
    NiceRange range;
    if (!std::isfinite(span) || span <= 0.0)
        return range;

    // floor rather than truncation: spans below 1 would otherwise get a leading digit of 0.
    double power = std::pow(10.0, std::floor(std::log10(span)));
    int digit = int(std::trunc(span / power + wholeTolerance));
    // log10 may land just beside a whole number for exact powers of ten.
    if (digit >= 10) {
        power *= 10.0;
        digit = int(std::trunc(span / power + wholeTolerance));
    } else if (digit < 1) {
        power /= 10.0;
        digit = int(std::trunc(span / power + wholeTolerance));
    }
    digit = std::clamp(digit, 1, 9);

    range.step = power * stepOfDigit[digit - 1];
    range.lo = std::ceil(a / range.step - wholeTolerance) * range.step;
    range.hi = std::floor(b / range.step + wholeTolerance) * range.step;
    return range;
}

QVector<double> niceGridValues(double a, double b)
{
    const NiceRange range = niceRange(a, b);
    QVector<double> values;
    for (int k = 0; k < maxGridLines; ++k) {
        const double v = range.lo + k * range.step;
        if (!(v <= range.hi + range.step * wholeTolerance))
            break;
        values.append(v);
    }
    return values;
}
