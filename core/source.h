#pragma once

#include "latticeconstants.h"
#include "reflection.h"

#include <QVector>

#include <optional>

// The X-ray source in front of an analyser array and what each crystal makes of it: the
// directions of the rays that meet the crystal, and the band of energies it then passes (its
// reflectivity averaged over those directions).
//
// The source lies upstream of the array along the incident beam (-x), in the design plane. Its
// rays are Gaussian in their start across the beam (size) and in their direction (divergence),
// the two independent: a parallel beam of a given width has divergence 0, a point source size 0.
// Each crystal sees the rays that meet its surface; near the source's axis and with a wide beam
// these are spread by the divergence alone, while a crystal that takes a thin slice of the beam
// sees the source's size across its distance, and a crystal off the axis sees the beam tilted.
//
// Positions and lengths in the design's length unit, angles in radians unless a name says
// otherwise, energies in eV.

// A position in the design plane.
struct PlanePoint
{
    double x = 0;
    double y = 0;
};

// 2 sqrt(2 ln 2): the FWHM of a Gaussian in units of its standard deviation.
inline constexpr double kFwhmPerSigma = 2.3548200450309493;

struct SourceParams
{
    double distance = 10000.0; // from crystal 1's centre upstream along the incident beam (-x)
    double size = 0.0;         // FWHM of the Gaussian profile across the beam
    double divergence = 0.0;   // FWHM of the Gaussian spread of directions, microradians;
                               // 0: every ray runs along +x (the parallel beam of the design)
    Reflection::Polarisation polarisation = Reflection::Polarisation::sigma();
    double temperature = LatticeConstants::defaultTemperature; // of the crystals, degrees C

    // Finite, distance > 0, size and divergence >= 0, a polarisation in [-1, 1]. (Whether the
    // temperature has lattice constants depends on the material.)
    bool isValid() const;
    bool operator==(const SourceParams &o) const;
    bool operator!=(const SourceParams &o) const { return !(*this == o); }
};

// The centre of the source for crystal 1's centre c: (c.x - distance, c.y).
PlanePoint sourceCentre(const SourceParams &s, const PlanePoint &firstCentre);

// The directions alpha (from +x, counter-clockwise) of the rays that meet a crystal, as
// probabilities over equal bins: a piecewise-constant density.
struct AngleSpread
{
    bool parallel = true;      // every ray along +x: the bins are unused
    double from = 0;           // rad: bin k covers [from + k step, from + (k + 1) step]
    double step = 0;           // rad
    QVector<double> weights;   // summing to 1
    double illumination = 1.0; // the fraction of the source's rays that meet the surface
                               // (other crystals in their way not counted)
    double mean = 0;           // rad
    double rms = 0;            // rad: standard deviation
};

// The Gaussian spread of the given FWHM (rad) about +x, every ray meeting the crystal: what a
// crystal that takes the whole beam sees. A FWHM of 0 gives the parallel beam.
AngleSpread gaussianSpread(double fwhm);

// The spread of the rays from a source centred at `source` that meet the surface from `start` to
// `end`: the Gaussian of the divergence weighted by the share of the source whose rays in that
// direction meet the surface. None when no ray of the source meets it within 6 standard
// deviations of its size and 7 of its divergence, or the surface does not lie wholly downstream
// of the source.
std::optional<AngleSpread> angleSpread(const SourceParams &s,
                                       const PlanePoint &source,
                                       const PlanePoint &start,
                                       const PlanePoint &end);

// What a crystal passes of a flat spectrum: its efficiency (the share of the photons of an energy
// that meet it and are reflected) against the energy.
struct EffectiveBand
{
    double low = 0;     // eV: the lower half-peak energy of the efficiency
    double high = 0;    // eV: the upper one
    double centre = 0;  // eV: their middle (refraction and the beam's tilt included)
    double fwhm = 0;    // rad: the same width as an angle at the crystal
    double peak = 0;    // the highest efficiency
    double photons = 0; // eV: the integral of the efficiency over the energy
};

// The crystal of the factors (its real spacing, at the energy it reflects at its angle) with the
// surface at `surfaceAngle` (rad; glancing angle sin(surfaceAngle - alpha) for a ray of direction
// alpha), lit by rays spread as given, for the polarisation p whose intrinsic curve is
// `intrinsic`. The reflectivity is averaged over the directions (a convolution that keeps the
// integral: photons does not change with the spread).
std::optional<EffectiveBand> effectiveBand(const Reflection::Factors &f,
                                           const Reflection::Curve &intrinsic,
                                           Reflection::Polarisation p,
                                           double surfaceAngle,
                                           const AngleSpread &spread);

// The efficiency at the photon energy E (where a real crystal reflects it) of the same crystal and
// spread, for drawing the analytic curve over a traced one: the spread's bins taken as steps, the
// reflectivity averaged over each (exact where the bins are narrower than the curve).
double efficiencyAt(const Reflection::Factors &f,
                    Reflection::Polarisation p,
                    double surfaceAngle,
                    const AngleSpread &spread,
                    double energyEv);
