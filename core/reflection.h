#pragma once

#include "xraydata.h"

#include <QString>

#include <complex>
#include <optional>

// Reflection of X-rays by one thick, perfect analyser crystal in the symmetric Bragg case:
// the structure factors of the panel's material, whether the planes reflect at all, the
// susceptibilities and the intrinsic (Darwin-Prins) rocking curve with absorption, and the
// energy band it passes at the crystal's angle.
//
// Energies are eV and wavelengths come from the program's hc (Bragg::hc); angles in radians
// unless a name says otherwise; the spacing d is the design's.
namespace Reflection {

template <class T> using Result = XrayData::Result<T>;

// Classical electron radius in Angstrom (CODATA 2018).
inline constexpr double electronRadius = 2.8179403262e-5;
// Indices beyond this are no planes anyone cuts a crystal to (and stay far inside int).
inline constexpr int maxIndex = 99;

// Debye-Waller B of the material at room temperature in Angstrom^2 (Si 0.4632, Ge 0.565);
// none for a material without a tabulated value.
std::optional<double> debyeWallerB(const QString &material);

struct Miller
{
    int h = 0;
    int k = 0;
    int l = 0;
};

// What the panel's material and indices make of a reflection.
enum class Status {
    Allowed,   // F_H is not zero: the planes reflect
    Forbidden, // F_H is zero by the symmetry of the structure (diamond: 200, 222, 420, ...)
    NoPlanes,  // 0 0 0
    NotWhole,  // an index is not a whole number within +-maxIndex
    NoData     // no structure for the material, or xraylib could not evaluate it
};

struct Check
{
    Status status = Status::NoData;
    Miller hkl;
    double relativeF = 0; // |F_H| / |F_0| (without temperature factor), when evaluated
    QString error;        // why there is no data
};

// Whole-number indices within +-maxIndex, all zero included.
std::optional<Miller> wholeIndices(double h, double k, double l);

// Allowed or forbidden from the structure factor itself: the reflection is forbidden when
// |F_H| is below 1e-8 |F_0| (symmetry makes it vanish to rounding, ~1e-16).
Check checkReflection(const QString &material, double h, double k, double l);

// Structure factors of one unit cell and the susceptibilities chi = -r_e lambda^2 F / (pi V).
// F_H and F_-H carry the temperature factor exp(-B (sin theta / lambda)^2); F_0 does not.
struct Factors
{
    std::complex<double> f0, fh, fhbar;
    std::complex<double> chi0, chih, chihbar;
    double theta = 0; // glancing Bragg angle of the energy for the design's spacing
};

// For the material, indices and the design's spacing d at the energy E: no result when the
// energy has no Bragg angle (below hc / 2d), nothing is finite, or xraylib has no data.
Result<Factors>
factors(const QString &material, const Miller &hkl, double spacing, double energyEv);

// Reflectivity of the thick crystal at the angle dTheta from the Bragg angle (positive: a
// steeper crystal), polarisation factor 1 for sigma and |cos 2 theta| for pi.
double reflectivity(const Factors &f, double polarisation, double dTheta);

struct Curve
{
    double fwhm = 0;   // full width at half of the peak, rad
    double centre = 0; // middle of the two half-peak angles from the Bragg angle, rad
    double peak = 0;   // highest reflectivity
};

// The rocking curve's width, centre and peak; none when the coupling vanishes (pi at 45
// degrees), the angle is not inside (0, 90) degrees, or the numbers are not finite.
std::optional<Curve> rockingCurve(const Factors &f, double polarisation);

// What one crystal set at its (program) angle for the energy E passes.
struct Band
{
    double fwhmSigma = 0;         // rad
    std::optional<double> fwhmPi; // rad; none where pi does not reflect
    double shift = 0;             // eV: the band's centre lies at E + shift (refraction)
    double low = 0;               // eV, sigma
    double high = 0;              // eV, sigma
};

// The angle width dTheta at the glancing angle theta as an energy width: E dTheta / tan theta.
double energyWidth(double energyEv, double theta, double dTheta);

// The sigma band E + E (centre +- fwhm / 2) / tan theta, and both widths.
std::optional<Band> band(const Factors &f, double energyEv);

} // namespace Reflection
