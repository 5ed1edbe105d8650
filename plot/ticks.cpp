#include "ticks.h"

#include <algorithm>
#include <cmath>

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[]
    = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double powerOfTen(int e)
{
    if (e >= 0 && e <= 22)
        return kExactPowers[e];
    return std::pow(10.0, e);
}

// Beyond this many steps from zero, step / 10 is below the resolution of the coordinates anyway;
// it keeps every index product inside qint64.
constexpr double kMaxIndex = 1e16;

// step = mantissa * 10^(decade - 1) by the leading digit q of the range: 0.2, 0.5, 1 or 2 times
// the decade. q = 10 continues the sequence with 2 times the decade.
int mantissaFor(int q)
{
    static const int table[] = {0, 2, 2, 5, 5, 10, 10, 10, 20, 20, 20};
    return table[q];
}

// Leading digit of r in the decade e, or -1 when it cannot be taken (a decade beyond the range of
// doubles).
int leadingDigit(double r, int e)
{
    const double base = powerOfTen(e);
    if (!(base > 0) || !std::isfinite(base))
        return -1;
    const double q = r / base;
    if (!(q >= 0) || !(q < 100))
        return -1;
    return static_cast<int>(q);
}

} // namespace

double tickMultiple(qint64 n, int mantissa, int exponent)
{
    const double m = static_cast<double>(n * mantissa);
    if (exponent >= 0)
        return m * powerOfTen(exponent);
    return m / powerOfTen(-exponent);
}

TickStep tickStep(double lo, double hi)
{
    const double r = hi - lo;
    if (!(r > 0) || !std::isfinite(r))
        return TickStep();
    // log10 of a positive finite double lies within -324 ... 309: safe to convert.
    return tickStepInDecade(lo, hi, static_cast<int>(std::floor(std::log10(r))));
}

TickStep tickStepInDecade(double lo, double hi, int decade)
{
    TickStep t;
    const double r = hi - lo;
    if (!(r > 0) || !std::isfinite(r))
        return t;

    int e = decade;
    int q = leadingDigit(r, e);
    if (q == 0) { // the logarithm came out just above a power of ten: r belongs to the decade below
        --e;
        q = leadingDigit(r, e);
    }
    if (q < 1)
        return t;
    q = std::min(q, 10);

    t.mantissa = mantissaFor(q);
    t.exponent = e - 1;
    t.step = tickMultiple(1, t.mantissa, t.exponent);
    if (!(t.step > 0) || !std::isfinite(t.step))
        return t;

    const double a = std::ceil(lo / t.step);
    const double b = std::floor(hi / t.step);
    if (!(std::fabs(a) <= kMaxIndex) || !(std::fabs(b) <= kMaxIndex))
        return t;
    qint64 k0 = static_cast<qint64>(a);
    qint64 k1 = static_cast<qint64>(b);
    // The quotients are rounded: settle on the outermost multiples inside [lo, hi] as they will be
    // drawn. Each loop moves by at most one or two.
    for (int i = 0; i < 4 && tickMultiple(k0, t.mantissa, t.exponent) < lo; ++i)
        ++k0;
    for (int i = 0; i < 4 && tickMultiple(k0 - 1, t.mantissa, t.exponent) >= lo; ++i)
        --k0;
    for (int i = 0; i < 4 && tickMultiple(k1, t.mantissa, t.exponent) > hi; ++i)
        --k1;
    for (int i = 0; i < 4 && tickMultiple(k1 + 1, t.mantissa, t.exponent) <= hi; ++i)
        ++k1;
    if (k1 < k0 || k1 - k0 + 1 > kMaxMajorTicks)
        return t;

    // Below the resolution of the coordinates the minor lines would pile onto the same values.
    const double minorStep = tickMultiple(1, t.mantissa, t.exponent - 1);
    const double lowest = tickMultiple(10 * (k0 - 1), t.mantissa, t.exponent - 1);
    const double highest = tickMultiple(10 * (k1 + 1), t.mantissa, t.exponent - 1);
    if (!std::isfinite(lowest) || !std::isfinite(highest) || !(minorStep > 0)
        || lowest + minorStep == lowest || highest + minorStep == highest)
        return t;

    t.firstIndex = k0;
    t.lastIndex = k1;
    t.first = tickMultiple(k0, t.mantissa, t.exponent);
    t.last = tickMultiple(k1, t.mantissa, t.exponent);
    t.valid = true;
    return t;
}

QVector<double> majorTicks(const TickStep &t)
{
    QVector<double> v;
    if (!t.valid)
        return v;
    const qint64 count = std::min<qint64>(t.lastIndex - t.firstIndex + 1, kMaxMajorTicks);
    v.reserve(static_cast<int>(count));
    for (qint64 k = 0; k < count; ++k)
        v.append(tickMultiple(t.firstIndex + k, t.mantissa, t.exponent));
    return v;
}

QVector<double> minorTicks(const TickStep &t)
{
    QVector<double> v;
    if (!t.valid)
        return v;
    // first - step ... last + step every step / 10, both ends included.
    const qint64 begin = 10 * (t.firstIndex - 1);
    const qint64 count = std::min<qint64>(10 * (t.lastIndex - t.firstIndex + 2) + 1,
                                          10 * (kMaxMajorTicks + 1) + 1);
    v.reserve(static_cast<int>(count));
    for (qint64 j = 0; j < count; ++j)
        v.append(tickMultiple(begin + j, t.mantissa, t.exponent - 1));
    return v;
}
