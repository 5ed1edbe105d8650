#pragma once

#include "bandanalysis.h"

#include <QVector>

#include <optional>

// The check on the analytic bands: a Monte-Carlo ray trace of the array in the design plane.
// Rays leave the source (Gaussian in start and direction, as the analysis takes it) with
// energies uniform over the array's effective bands plus a margin; each meets the first crystal
// in its path (a thick crystal absorbs what it does not reflect) and is reflected with the
// probability of that crystal's reflectivity at the ray's deviation from the Bragg angle of its
// energy, for the source's polarisation (the curves tabulated once per crystal). A reflected ray
// goes on to the spot line; it is not traced into other crystals.
//
// With the same seed the result is the same whatever the number of threads: the rays are made
// in fixed chunks, each from its own seed.
//
// Energies in eV: about each crystal's label (as the bands of the analysis) unless a name says
// otherwise; positions in the design's length unit.

// The most rays one run traces (every reflected ray is kept until the spot is made), and the
// largest seed (2^53, so that the JSON report states it exactly).
inline constexpr qint64 kMaxRays = 100000000;
inline constexpr quint64 kMaxSeed = 9007199254740992ULL;

struct RayTraceParams
{
    qint64 rays = 1000000;
    quint64 seed = 1;
    int threads = 0;           // 0: one per core
    double energyMargin = 3.0; // in widths of the widest effective band, below and above
    int energyBins = 96;       // per crystal, over its effective band +- 3 of its widths
    int spotBins = 64;
};

// Equal bins: bin i covers [from + i step, from + (i + 1) step].
struct Histogram
{
    double from = 0;
    double step = 0;
    QVector<double> counts;
};

// Half-peak points of a profile, linearly interpolated between bin centres, and its peak; none
// when the profile does not fall below half on both sides.
struct ProfileWidth
{
    double low = 0;
    double high = 0;
    int peakBin = 0;
};
std::optional<ProfileWidth> profileWidth(const Histogram &h);
// The same for the level `half`, walking out from bin `top`.
std::optional<ProfileWidth> profileWidth(const Histogram &h, double half, int top);

struct RayCrystal
{
    qint64 hits = 0;      // rays that met this crystal first
    qint64 reflected = 0; // of those, reflected
    // The reflected rays by energy, and the efficiency per bin: reflected over the rays of that
    // bin's energies that met the crystal (expected from hits: the energies are uniform).
    Histogram energies;
    QVector<double> efficiency;
    QVector<double> efficiencyError; // one standard deviation, counting statistics
    // The half-peak energies of the efficiency and its peak (a parabola through the bins about
    // the highest); the widths are good to a fraction of a bin.
    std::optional<double> low, high;
    std::optional<double> fwhm;      // eV
    std::optional<double> fwhmError; // eV, one standard deviation
    std::optional<double> peakEfficiency;
    std::optional<double> peakEfficiencyError;
    // eV: reflected / hits times the rays' energy range, the integral of the efficiency over it.
    std::optional<double> bandPhotons;
    std::optional<double> bandPhotonsError;
    // The spot: where the reflected rays cross the line through the least-squares focus
    // perpendicular to their mean direction, as a signed distance from the focus along it.
    Histogram spot;
    std::optional<double> spotCentre; // the median crossing
    std::optional<double> spotFwhm;
};

struct RayTrace
{
    qint64 rays = 0;
    qint64 hits = 0;      // rays that met a crystal
    qint64 reflected = 0; // rays reflected
    double energyLow = 0; // eV, the rays' energies (where a real crystal reflects them)
    double energyHigh = 0;
    std::optional<PlanePoint> focus; // where the spots are taken
    QVector<RayCrystal> crystals;    // in the order of the analysis
    RayCrystal all;                  // every reflected ray's spot together (energies unused)
};

// Traces the crystals of the analysis (the same list it was made from), lit by its source. No
// rays without a source position, an effective band or a real lattice constant.
RayTrace traceRays(const BandsAnalysis &analysis,
                   const CrystalList &crystals,
                   const RayTraceParams &params = RayTraceParams());
