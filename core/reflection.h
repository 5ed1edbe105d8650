#pragma once

#include "xraydata.h"

#include <QString>
#include <QVector>

#include <array>
#include <complex>
#include <optional>

// Reflection of X-rays by one thick, perfect analyser crystal in the symmetric Bragg case: the
// structure factors of the material, whether the planes reflect at all, the susceptibilities of
// the real crystal, and its (Darwin-Prins) reflectivity with absorption and the exact deviation
// from the Bragg angle, as a rocking curve in angle and as the band of energies it passes at a
// fixed angle, for sigma, pi or partly polarised light; the harmonics n (h k l) that reflect at
// the same angle.
//
// Energies are eV and wavelengths come from the program's hc (Bragg::hc); angles in radians
// unless a name says otherwise; spacings and lattice constants in Angstrom and those of the real
// crystal (the design's spacing only sets the crystals' angles).
namespace Reflection {

template <class T> using Result = XrayData::Result<T>;

// Classical electron radius in Angstrom (CODATA 2018).
inline constexpr double electronRadius = 2.8179403262e-5;
// Indices beyond this are no planes anyone cuts a crystal to (and stay far inside int).
inline constexpr int maxIndex = 99;
// Harmonics are looked for up to this photon energy: above it the structure factors are damped
// by the temperature factor and sources give little.
inline constexpr double harmonicEnergyLimit = 100000.0;

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

// The linear polarisation of the incident beam: the fraction (1 + degree) / 2 of its intensity is
// sigma-polarised (electric field in the crystal surface), the rest pi.
struct Polarisation
{
    double degree = 1.0; // 1 sigma, -1 pi, 0 unpolarised; in [-1, 1]

    static constexpr Polarisation sigma() { return Polarisation{1.0}; }
    static constexpr Polarisation pi() { return Polarisation{-1.0}; }
    static constexpr Polarisation unpolarised() { return Polarisation{0.0}; }
    double sigmaWeight() const { return 0.5 * (1.0 + degree); }
    double piWeight() const { return 0.5 * (1.0 - degree); }
    // Also false for NaN.
    bool valid() const { return degree >= -1.0 && degree <= 1.0; }
};

// "sigma", "pi", "unpolarised" (any case), or a number from -1 to 1 in the C locale; none for
// anything else.
std::optional<Polarisation> parsePolarisation(const QString &text);
// The name for 1, -1 and 0, else the shortest number that reads back as the degree.
QString polarisationText(Polarisation p);

// Structure factors of one unit cell of the real crystal and its susceptibilities
// chi = -r_e lambda^2 F / (pi V). F_H and F_-H carry the temperature factor
// exp(-B (sin theta / lambda)^2) with sin theta / lambda = 1 / 2d; F_0 does not.
struct Factors
{
    std::complex<double> f0, fh, fhbar;
    std::complex<double> chi0, chih, chihbar;
    double theta = 0;   // glancing Bragg angle of the energy for the spacing
    double energy = 0;  // eV: the energy they hold at
    double spacing = 0; // the real crystal's d
};

// For the material and indices, a real crystal of spacing d (its cubic cell has
// a = d sqrt(h^2 + k^2 + l^2) and the volume a^3) at the energy E: no result when the energy has
// no Bragg angle (below hc / 2d), nothing is finite, or xraylib has no data.
Result<Factors>
factors(const QString &material, const Miller &hkl, double spacing, double energyEv);

// The thick crystal's reflectivity for a polarisation as a function of the deviation
// x = 2 sin thetaB (sin theta - sin thetaB) of the glancing angle theta from the Bragg angle
// thetaB of the photon energy (the exact deviation parameter alpha is -2x; for small deviations
// x = dTheta sin 2 thetaB). The susceptibilities are those of the energy the factors hold at: over
// a band they change by parts per million.
class Reflectivity
{
public:
    // None when neither polarisation in the mix couples (pi alone at 2 thetaB = 90 degrees) or
    // the numbers are not finite.
    static std::optional<Reflectivity> of(const Factors &f, Polarisation p);

    double at(double x) const;
    // The mean over [x0, x1] (x0 <= x1): exact to a few 1e-4 for intervals of any width.
    double mean(double x0, double x1) const;
    // The means over the n intervals [x0 + j step, x0 + (j + 1) step] into out[0 .. n-1].
    void means(double x0, double step, int n, double *out) const;
    // The integral of R over all x.
    double integral() const;
    // Half the width of the widest and of the narrowest total-reflection plateau in the mix
    // (|P sqrt(chi_h chi_-h)|), in x; equal for a pure polarisation.
    double widest() const;
    double narrowest() const;
    // The middle of the plateaus: the deviation that refraction moves the curve to (-Re chi_0).
    double middle() const { return -chi0r; }

    // One polarisation's curve R(u) in the reduced deviation u = (x + Re chi_0) / g, the
    // plateau of a crystal without absorption being -1 <= u <= 1.
    struct Part
    {
        double weight = 0;
        std::complex<double> phase; // |g| / g for g = P sqrt(chi_h chi_-h)
        double kappa = 0;           // Im chi_0 / |g|
        double ratio = 1;           // |chi_h / chi_-h|: 1 for a crystal of one element
        double g = 0;               // |g|

        double at(double u) const;
        // Far out (|u| > 6) the curve is ratio / (4 (u^2 + kappa^2)) within 1.5 %.
        double tail(double u) const { return ratio / (4.0 * (u * u + kappa * kappa)); }
        // The integral of tail from u0 to u1, both on one side of 0.
        double tailIntegral(double u0, double u1) const;
    };
    const std::array<Part, 2> &parts() const { return part; }
    int partCount() const { return count; }

private:
    std::array<Part, 2> part;
    int count = 0;
    double chi0r = 0;
};

// The reflectivity at the glancing angle thetaB + dTheta, at the energy the factors hold at.
double reflectivity(const Factors &f, Polarisation p, double dTheta);

// A rocking curve of the crystal, and the band of energies it passes when set at the Bragg angle
// of the factors' energy. Near backscattering the two differ: sin theta cannot exceed 1, so the
// rocking curve folds over at 90 degrees while the energy band does not.
struct Curve
{
    double peak = 0;       // the highest reflectivity, across the energy band
    double fwhm = 0;       // rad: full width at half peak of the rocking curve (at 90 degrees:
                           // at half of its own peak, both sides of 90 degrees counted)
    double centre = 0;     // rad: middle of the two half-peak angles, from thetaB
    double integrated = 0; // rad: integral of R over theta up to 90 degrees
    double low = 0;        // eV: the lower half-peak energy at the angle thetaB
    double high = 0;       // eV: the upper one
    double integratedEnergy = 0; // eV: integral of R over the energy at the angle thetaB
};

// None when the coupling vanishes, the angle is not inside (0, 90] degrees, or the numbers are
// not finite.
std::optional<Curve> rockingCurve(const Factors &f, Polarisation p);

// What one crystal set at the Bragg angle of the factors' energy E passes.
struct Band
{
    Curve sigma;
    std::optional<Curve> pi; // none where pi does not reflect
    double shift = 0;        // eV: the sigma band's centre lies at E + shift (refraction)
};

std::optional<Band> band(const Factors &f);

// The curve of a partly polarised beam when the sigma and pi curves of the same factors are
// known: only its peak and width are searched, the integrals are theirs mixed.
std::optional<Curve> rockingCurve(const Factors &f, Polarisation p, const Band &known);

// A reflection n (h k l) that the crystal set for the energy E also passes, at n E.
struct Harmonic
{
    int order = 0; // n
    Miller hkl;    // n h, n k, n l
    double energy = 0;
    Curve curve; // of the polarisation asked for
};

// The allowed harmonics n = 2, 3, ... of the reflection for the real crystal of spacing d, set
// at the Bragg angle of the energy E (of its fundamental), up to harmonicEnergyLimit and index
// maxIndex, for the polarisation p; forbidden orders (Si 2 2 2) are left out.
QVector<Harmonic> harmonics(
    const QString &material, const Miller &hkl, double spacing, double energyEv, Polarisation p);

} // namespace Reflection
