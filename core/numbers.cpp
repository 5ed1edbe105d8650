#include "numbers.h"

#include <climits>
#include <cmath>

std::optional<double> finiteNumber(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> wholeNumber(const QString &text)
{
    const std::optional<double> v = finiteNumber(text);
    if (!v || std::floor(*v) != *v)
        return std::nullopt;
    if (*v >= double(INT_MAX))
        return INT_MAX;
    if (*v <= double(INT_MIN))
        return INT_MIN;
    return int(*v);
}
