#pragma once

#include "geometry.h"
#include "reflection.h"
#include "source.h"
#include "trace.h"

#include <QString>
#include <QVector>

#include <optional>

// The physics of a whole crystal array: the band every crystal passes, intrinsic and with a real
// source, how the bands cover the array's energy range, the harmonics, the material's accepted
// lattice constant against the design's, and how well the reflected centre lines meet in one
// focus. Pure values: nothing here knows about widgets. Energies in eV, angle widths and
// integrated reflectivities in microradians, positions in design length units.
//
// One convention throughout: a crystal's angle is the design's (its surface angle, set with the
// design's spacing), its reflection is that of a real crystal at the source's temperature (the
// accepted lattice constant: the spacing, the cell volume, the form factors at 1 / 2d and the
// temperature factor). At its angle a real crystal reflects realEnergy = energy + latticeOffset;
// band edges are given about the design's label `energy`, that is with latticeOffset taken off,
// so that bands can be drawn at the labels or, adding latticeOffset, where a real crystal
// reflects them.

// The design's material as the material panel shows it.
struct DesignMaterial
{
    QString material;           // "Si", "Ge": the structure and data from xraylib
    double h = 0, k = 0, l = 0; // Miller indices, as the fields give them
    double latticeConstant = 0; // the design's a, Angstrom
    double spacing = 0;         // the design's d (the one the crystals are laid out with)
    double startEnergy = 0;     // the arrangement panel's start energy
};

// Why a crystal has no band.
enum class BandState {
    Band,         // it reflects: widths, band and offsets are given
    NoReflection, // no Bragg angle: the -1 degree marker, at or below the cut-off, or no finite
                  // positive energy
    Forbidden,    // the design's reflection does not reflect (forbidden, 0 0 0, fractional)
    NoData        // no data for the material, or the curve could not be evaluated
};

struct CrystalBand
{
    int number = 0;               // crystal number, index + 1
    std::optional<double> energy; // the energy its angle selects; none when not finite
    BandState state = BandState::NoReflection;
    // False where the energy has no Bragg solution (state NoReflection): the crystal then takes
    // no part in coverage, gaps and the least-squares focus, and every optional below is none.
    bool reflects = false;
    // The fields below hold for state Band; the plain numbers are 0 otherwise.
    double fwhmSigma = 0;           // microradians
    std::optional<double> fwhmPi;   // microradians; none where pi does not reflect
    double low = 0, high = 0;       // sigma band, eV
    double shift = 0;               // refraction: the band's centre is energy + shift
    double latticeOffset = 0;       // energy * (d / d_accepted - 1): the accepted lattice
    std::optional<double> gapAbove; // to the next band up in energy; negative: overlap

    std::optional<double> lowPi, highPi; // pi band, eV; none where pi does not reflect
    std::optional<double> realEnergy;    // energy + latticeOffset
    std::optional<double> peakReflectivitySigma;
    std::optional<double> peakReflectivityPi;
    std::optional<double> integratedReflectivitySigma; // microradians
    std::optional<double> integratedReflectivityPi;    // microradians
    std::optional<double> fwhmPolarised;               // microradians, the source's polarisation
    // With the source: the efficiency's half-peak energies and their middle, its width as an
    // angle, its peak, its integral over the energy, and the share of the source's rays that
    // meet the crystal. None where no ray of the source meets it.
    std::optional<double> effectiveBandLow;
    std::optional<double> effectiveBandHigh;
    std::optional<double> effectiveCentre;
    std::optional<double> effectiveFwhm; // microradians
    std::optional<double> peakEfficiency;
    std::optional<double> bandPhotons; // eV of a flat spectrum that the crystal passes
    std::optional<double> illumination;
    std::optional<double> effectiveGapAbove; // as gapAbove, between effective bands
    // The real crystal's structure and susceptibilities at realEnergy, for ray tracing.
    std::optional<Reflection::Factors> factors;
};

// A band as an interval of energies.
struct Interval
{
    double low = 0;
    double high = 0;
};

struct Coverage
{
    int bands = 0;                  // how many of the given entries are bands
    double low = 0, high = 0;       // the array's energy range: lowest low to highest high
    double covered = 0;             // eV inside at least one band
    std::optional<double> fraction; // covered / (high - low); none without a range
    double largestGap = 0;          // the widest gap between neighbours, 0 when none
    // Per entry: the gap (positive) or overlap (negative) to the next band up in energy
    // order (bands ordered by their centres); none for the top band and for non-bands.
    QVector<std::optional<double>> gapAbove;
};

// Coverage of the bands; entries without a band (nullopt) take no part.
Coverage coverage(const QVector<std::optional<Interval>> &bands);

struct FocusQuality
{
    int lines = 0;                 // finite lines taken into the least-squares focus
    std::optional<Point> focus;    // minimises the summed squared distance to the lines
    double rms = 0;                // root mean square distance of the lines from it
    qint64 pairs = 0;              // n (n - 1) / 2
    qint64 virtualPairs = 0;       // pairs that cross behind the start of either ray
    qint64 parallelPairs = 0;      // pairs the averaged focus counts at the origin
    std::optional<Point> averaged; // the average of all pairwise crossings (the read-out)
};

// Focus quality of the reflected centre rays: the least-squares focus of their lines (none
// when they are all parallel or fewer than two), and the pairwise crossings as the tracing
// makes them: a parallel pair, which the averaged focus counts at the origin, is one whose
// crossing the arithmetic cannot place; a virtual one lies behind either ray's start. When
// `inLeastSquares` is given (one flag per ray) only the flagged lines make the least-squares
// focus and its RMS; the pairs are always all of them.
FocusQuality focusQuality(const QVector<HRay> &rays, const QVector<bool> &inLeastSquares = {});

struct LeastSquaresFocus
{
    int lines = 0;              // finite lines taken
    std::optional<Point> focus; // none when fewer than two, or (nearly) all parallel
    double rms = 0;
};

// The least-squares part of focusQuality alone, linear in the number of rays (the main window's
// read-out after every tracing).
LeastSquaresFocus leastSquaresFocus(const QVector<HRay> &rays,
                                    const QVector<bool> &inLeastSquares = {});

// What the real crystal reflects at the angle that the design's spacing gives the energy:
// energy * d / d_real. Non-finite where d_real is not positive.
double realEnergy(double designEnergy, double designSpacing, double realSpacing);

struct BandsAnalysis
{
    DesignMaterial design;
    SourceParams source;
    Reflection::Check reflection;
    std::optional<double> fhAtStart;        // |F_H| with temperature factor at the start energy
    std::optional<double> fwhmSigmaAtStart; // microradians
    std::optional<double> fwhmPiAtStart;    // microradians
    // The lattice constant of the real crystal at the source's temperature, Angstrom; none for
    // a material or temperature without one (and then no crystal has a band).
    std::optional<double> acceptedLattice;
    std::optional<double> realSpacing;        // its d for the design's indices
    std::optional<double> offsetAtStart;      // start energy * (d / d_accepted - 1), eV
    std::optional<double> shiftAtStart;       // refraction shift at the start energy, eV
    std::optional<PlanePoint> sourcePosition; // the source's centre
    // The harmonics that pass at the angle of the start energy, energies about its label
    // (n times the start energy), for the source's polarisation.
    QVector<Reflection::Harmonic> harmonics;
    QVector<CrystalBand> crystals;
    Coverage coverage;          // of the intrinsic sigma bands
    Coverage effectiveCoverage; // of the effective bands
    FocusQuality focus;
};

// The whole analysis of the crystals (in list order) for the design's material, lit by the
// source (the default: a sigma-polarised parallel beam at 22.5 degrees C).
BandsAnalysis analyseBands(const DesignMaterial &design,
                           const CrystalList &crystals,
                           const SourceParams &source = SourceParams());
