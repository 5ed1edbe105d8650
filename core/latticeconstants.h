#pragma once

#include <QString>

#include <optional>

// Lattice constants of real analyser crystals at a temperature: the constant of the cubic cell
// that the reflection physics uses, as opposed to the design's own constant, which only sets the
// crystals' angles. Temperatures in degrees Celsius, lattice constants in Angstrom.
namespace LatticeConstants {

// The temperature of the crystals unless one is given: CODATA's reference temperature for Si.
inline constexpr double defaultTemperature = 22.5;

// The temperatures (inclusive) for which the material's expansion law holds.
struct Range
{
    double lowest = 0;
    double highest = 0;
};

// The material's range, none for a material without a tabulated constant.
std::optional<Range> validRange(const QString &material);

// The lattice constant of "Si" or "Ge" at the temperature; none for another material or a
// temperature outside its range. At the reference temperature of the published value the result
// is that value exactly (Si at 22.5 degrees C: 5.431020511).
std::optional<double> at(const QString &material, double temperature);

} // namespace LatticeConstants
