#pragma once

// Bragg's law for the analyser crystals: energies in eV, spacings and lattice constants in
// Angstrom, angles in degrees.
namespace Bragg {

// hc in eV·Angstrom: a photon of energy E has the wavelength hc / E.
inline constexpr double hc = 12398.424360387684;
// The energy/angle relation works with this ten-decimal pi; every other degree/radian conversion in
// the program uses the full double value, and designs depend on the difference in the last digits.
inline constexpr double pi = 3.1415926535;

// The angle given to an energy that no crystal angle reflects, with its radians, cosine and sine as
// the crystal and layout code use them.
inline constexpr double noReflectionDeg = -1.0;
inline constexpr double noReflectionRad = -0.017453292519943295;
inline constexpr double noReflectionCos = 0.9998476951563913;
inline constexpr double noReflectionSin = -0.01745240643728351;

// Spacing of the (h k l) planes of a cubic lattice with constant a: a / sqrt(h² + k² + l²).
// Fractional and negative indices are accepted; h = k = l = 0 gives a non-finite result (or NaN for
// a = 0).
double latticeSpacing(double a, double h, double k, double l);

// Bragg angle that reflects the energy; noReflectionDeg (-1) when sin would leave [-1, 1], which
// includes zero, non-finite and NaN energies or spacings.
double angleDeg(double energyEv, double spacing);

// Energy reflected at the angle: hc / (2 d sin theta). Non-finite at 0 degrees.
double energyEv(double angleDeg, double spacing);

// hc / 2d: the lowest energy that planes of the spacing reflect (at 90 degrees).
double cutOffEnergy(double spacing);

// Whether the energy has a Bragg angle for the spacing: both finite and positive, and the energy
// not below the cut-off (angleDeg gives no marker).
bool reflects(double energyEv, double spacing);

} // namespace Bragg
