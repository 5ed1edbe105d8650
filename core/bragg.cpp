#include "bragg.h"

#include <cmath>

namespace Bragg {

double latticeSpacing(double a, double h, double k, double l)
{
    return a / std::sqrt(h * h + k * k + l * l);
}

double angleDeg(double energyEv, double spacing)
{
    const double s = (hc / energyEv) / (spacing + spacing);
    // Written so that a NaN sine also falls to the no-reflection angle.
    if (!(std::abs(s) <= 1.0))
        return noReflectionDeg;
    return std::asin(s) / pi * 180.0;
}

double energyEv(double angleDeg, double spacing)
{
    return hc / (2.0 * std::sin(angleDeg / 180.0 * pi) * spacing);
}

double cutOffEnergy(double spacing)
{
    return hc / (spacing + spacing);
}

bool reflects(double energyEv, double spacing)
{
    return energyEv > 0 && std::isfinite(energyEv) && spacing > 0 && std::isfinite(spacing)
           && angleDeg(energyEv, spacing) != noReflectionDeg;
}

} // namespace Bragg
