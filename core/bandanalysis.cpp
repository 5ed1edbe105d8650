#include "bandanalysis.h"

#include "bragg.h"
#include "latticeconstants.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMicro = 1e6;

bool finite(const Point &p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// d of the real crystal for the design's indices; none when it is not finite.
std::optional<double> acceptedSpacing(const DesignMaterial &design, double a)
{
    const double d = Bragg::latticeSpacing(a, design.h, design.k, design.l);
    if (!(d > 0) || !std::isfinite(d))
        return std::nullopt;
    return d;
}

PlanePoint planePoint(const Point &p)
{
    return PlanePoint{p.x, p.y};
}

// An energy with a Bragg angle for the design's spacing.
bool hasBraggAngle(double e, double d)
{
    return Bragg::reflects(e, d);
}

std::optional<double> finiteOrNone(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

Coverage coverage(const QVector<std::optional<Interval>> &bands)
{
    Coverage c;
    c.gapAbove.resize(bands.size());
    QVector<int> order;
    for (int i = 0; i < bands.size(); ++i) {
        const std::optional<Interval> &b = bands[i];
        if (b && std::isfinite(b->low) && std::isfinite(b->high) && b->low <= b->high)
            order.append(i);
    }
    c.bands = order.size();
    if (order.isEmpty())
        return c;

    const auto at = [&](int i) -> const Interval & { return *bands[i]; };
    // Energy order by the bands' centres; equal centres keep the crystal order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return at(a).low + at(a).high < at(b).low + at(b).high;
    });
    c.low = at(order.first()).low;
    c.high = at(order.first()).high;
    for (int i : order) {
        c.low = std::min(c.low, at(i).low);
        c.high = std::max(c.high, at(i).high);
    }
    for (int k = 0; k + 1 < order.size(); ++k) {
        const double gap = at(order[k + 1]).low - at(order[k]).high;
        c.gapAbove[order[k]] = gap;
        c.largestGap = std::max(c.largestGap, gap);
    }

    // The union of the bands, swept in order of their low ends.
    QVector<Interval> sorted;
    for (int i : order)
        sorted.append(at(i));
    std::sort(sorted.begin(), sorted.end(), [](const Interval &a, const Interval &b) {
        return a.low < b.low;
    });
    double from = sorted.first().low;
    double to = sorted.first().high;
    for (const Interval &b : sorted) {
        if (b.low > to) {
            c.covered += to - from;
            from = b.low;
            to = b.high;
        } else {
            to = std::max(to, b.high);
        }
    }
    c.covered += to - from;
    if (c.high > c.low)
        c.fraction = c.covered / (c.high - c.low);
    return c;
}

double realEnergy(double designEnergy, double designSpacing, double realSpacing)
{
    return designEnergy * (designSpacing / realSpacing);
}

FocusQuality focusQuality(const QVector<HRay> &rays, const QVector<bool> &inLeastSquares)
{
    FocusQuality q;
    const int n = rays.size();
    q.pairs = qint64(n) * (n - 1) / 2;

    // Every pair crossed with the arithmetic of the tracing, so that the average below is the
    // averaged focus to the last bit and "parallel" means what it means there.
    double sumX = 0.0;
    double sumY = 0.0;
    for (int i = 0; i < n; ++i) {
        const Ray &a = rays[i];
        const double ax = a.Point::x, ay = a.Point::y, dx = a.Dir::x, dy = a.Dir::y;
        for (int j = i + 1; j < n; ++j) {
            const Ray &b = rays[j];
            const double bx = b.Point::x, by = b.Point::y, ex = b.Dir::x, ey = b.Dir::y;
            bool parallel = ex == dx && ey == dy;
            double cx = 0.0;
            double cy = 0.0;
            if (!parallel) {
                const double den = ex * dy - ey * dx;
                const double s = ((ax - bx) * ey - (ay - by) * ex) / den;
                cx = ax + s * dx;
                cy = ay + s * dy;
                parallel = den == 0.0 || !std::isfinite(cx) || !std::isfinite(cy);
            }
            if (parallel) {
                ++q.parallelPairs;
                cx = 0.0;
                cy = 0.0;
            } else if ((cx - ax) * dx + (cy - ay) * dy < 0.0
                       || (cx - bx) * ex + (cy - by) * ey < 0.0) {
                ++q.virtualPairs;
            }
            sumX += cx;
            sumY += cy;
        }
    }
    if (q.pairs > 0) {
        const double r = 1.0 / double(q.pairs);
        const Point avg(sumX * r, sumY * r);
        if (finite(avg))
            q.averaged = avg;
    }

    const LeastSquaresFocus l = leastSquaresFocus(rays, inLeastSquares);
    q.lines = l.lines;
    q.focus = l.focus;
    q.rms = l.rms;
    return q;
}

LeastSquaresFocus leastSquaresFocus(const QVector<HRay> &rays, const QVector<bool> &inLeastSquares)
{
    LeastSquaresFocus q;
    const int n = rays.size();
    // Least squares: sum (I - u u^T) (x - p) = 0, solved about the mean start for accuracy.
    QVector<const Ray *> lines;
    double mx = 0.0;
    double my = 0.0;
    for (int i = 0; i < n; ++i) {
        const HRay &r = rays[i];
        if (i < inLeastSquares.size() && !inLeastSquares[i])
            continue;
        if (finite(r.start()) && std::isfinite(r.Dir::x) && std::isfinite(r.Dir::y)) {
            lines.append(&r);
            mx += r.Point::x;
            my += r.Point::y;
        }
    }
    q.lines = lines.size();
    if (q.lines < 2)
        return q;
    mx /= q.lines;
    my /= q.lines;
    double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
    for (const Ray *r : lines) {
        const double ux = r->Dir::x, uy = r->Dir::y;
        const double px = r->Point::x - mx, py = r->Point::y - my;
        a11 += 1.0 - ux * ux;
        a12 -= ux * uy;
        a22 += 1.0 - uy * uy;
        b1 += (1.0 - ux * ux) * px - ux * uy * py;
        b2 += -ux * uy * px + (1.0 - uy * uy) * py;
    }
    const double det = a11 * a22 - a12 * a12;
    const double trace = a11 + a22;
    // All lines (nearly) parallel: no point lies nearer to all of them than any other.
    if (!(det > 1e-12 * trace * trace))
        return q;
    const Point f((a22 * b1 - a12 * b2) / det + mx, (a11 * b2 - a12 * b1) / det + my);
    if (!finite(f))
        return q;
    double sum2 = 0.0;
    for (const Ray *r : lines) {
        const double cross = (f.x - r->Point::x) * r->Dir::y - (f.y - r->Point::y) * r->Dir::x;
        sum2 += cross * cross;
    }
    const double rms = std::sqrt(sum2 / q.lines);
    if (!std::isfinite(rms))
        return q;
    q.focus = f;
    q.rms = rms;
    return q;
}

BandsAnalysis
analyseBands(const DesignMaterial &design, const CrystalList &crystals, const SourceParams &source)
{
    using namespace Reflection;
    BandsAnalysis a;
    a.design = design;
    a.source = source;
    a.reflection = checkReflection(design.material, design.h, design.k, design.l);
    const bool allowed = a.reflection.status == Status::Allowed;
    const double d = design.spacing;
    const Polarisation polarisation = source.polarisation;

    std::optional<double> dReal;
    a.acceptedLattice = LatticeConstants::at(design.material, source.temperature);
    if (a.acceptedLattice) {
        dReal = acceptedSpacing(design, *a.acceptedLattice);
        a.realSpacing = dReal;
    }
    if (!crystals.isEmpty() && source.isValid())
        a.sourcePosition = sourceCentre(source, planePoint(crystals.first()->centre()));

    const double e0 = design.startEnergy;
    const bool e0Reflects = hasBraggAngle(e0, d);
    if (dReal && e0Reflects)
        a.offsetAtStart = finiteOrNone(realEnergy(e0, d, *dReal) - e0);
    if (allowed && e0Reflects && a.offsetAtStart) {
        const double offset = *a.offsetAtStart;
        const Result<Factors> f = factors(design.material, a.reflection.hkl, *dReal, e0 + offset);
        if (f.ok()) {
            a.fhAtStart = finiteOrNone(std::abs(f.value->fh));
            if (const std::optional<Band> b = band(*f.value)) {
                a.fwhmSigmaAtStart = b->sigma.fwhm * kMicro;
                if (b->pi)
                    a.fwhmPiAtStart = b->pi->fwhm * kMicro;
                a.shiftAtStart = b->shift;
            }
            a.harmonics
                = harmonics(design.material, a.reflection.hkl, *dReal, e0 + offset, polarisation);
            // About the labels: harmonic n lies n times the offset away from n E0.
            for (Harmonic &h : a.harmonics) {
                const double shift = h.order * offset;
                h.energy -= shift;
                h.curve.low -= shift;
                h.curve.high -= shift;
            }
        }
    }

    QVector<std::optional<Interval>> intervals;
    QVector<std::optional<Interval>> effective;
    QVector<bool> reflecting;
    intervals.reserve(crystals.size());
    effective.reserve(crystals.size());
    reflecting.reserve(crystals.size());
    a.crystals.reserve(crystals.size());
    for (int i = 0; i < crystals.size(); ++i) {
        const CrystalOptics &crystal = *crystals[i];
        CrystalBand c;
        c.number = i + 1;
        const double e = crystal.energyEv(d);
        c.energy = finiteOrNone(e);
        c.reflects = hasBraggAngle(e, d);
        if (!c.reflects) {
            c.state = BandState::NoReflection;
        } else if (!allowed) {
            c.state
                = a.reflection.status == Status::NoData ? BandState::NoData : BandState::Forbidden;
        } else {
            c.state = BandState::NoData;
            const double eReal = dReal ? realEnergy(e, d, *dReal) : qQNaN();
            const double offset = eReal - e;
            const Result<Factors> f
                = dReal && std::isfinite(offset)
                      ? factors(design.material, a.reflection.hkl, *dReal, eReal)
                      : Result<Factors>::fail(QString());
            const std::optional<Band> b = f.ok() ? band(*f.value) : std::nullopt;
            if (b) {
                c.state = BandState::Band;
                c.factors = *f.value;
                c.realEnergy = eReal;
                c.latticeOffset = offset;
                c.fwhmSigma = b->sigma.fwhm * kMicro;
                c.low = b->sigma.low - offset;
                c.high = b->sigma.high - offset;
                c.shift = b->shift;
                c.peakReflectivitySigma = b->sigma.peak;
                c.integratedReflectivitySigma = b->sigma.integrated * kMicro;
                if (b->pi) {
                    c.fwhmPi = b->pi->fwhm * kMicro;
                    c.peakReflectivityPi = b->pi->peak;
                    c.integratedReflectivityPi = b->pi->integrated * kMicro;
                    c.lowPi = b->pi->low - offset;
                    c.highPi = b->pi->high - offset;
                }
                const std::optional<Curve> chosen = polarisation.degree == 1.0 ? b->sigma
                                                    : polarisation.degree == -1.0
                                                        ? b->pi
                                                        : rockingCurve(*f.value, polarisation, *b);
                if (chosen) {
                    c.fwhmPolarised = chosen->fwhm * kMicro;
                    std::optional<AngleSpread> spread;
                    if (a.sourcePosition)
                        spread = angleSpread(source,
                                             *a.sourcePosition,
                                             planePoint(crystal.startPoint()),
                                             planePoint(crystal.endPoint()));
                    if (spread)
                        c.illumination = spread->illumination;
                    else if (source.divergence == 0 && source.isValid())
                        spread = AngleSpread();
                    const double surface = crystal.angleDeg() / 180.0 * Bragg::pi;
                    const std::optional<EffectiveBand> eb
                        = spread ? effectiveBand(*f.value, *chosen, polarisation, surface, *spread)
                                 : std::nullopt;
                    if (eb) {
                        c.effectiveBandLow = eb->low - offset;
                        c.effectiveBandHigh = eb->high - offset;
                        c.effectiveCentre = eb->centre - offset;
                        c.effectiveFwhm = eb->fwhm * kMicro;
                        c.peakEfficiency = eb->peak;
                        c.bandPhotons = eb->photons;
                    }
                }
            }
        }
        intervals.append(c.state == BandState::Band ? std::optional<Interval>({c.low, c.high})
                                                    : std::nullopt);
        effective.append(c.effectiveBandLow
                             ? std::optional<Interval>({*c.effectiveBandLow, *c.effectiveBandHigh})
                             : std::nullopt);
        reflecting.append(c.reflects);
        a.crystals.append(c);
    }

    a.coverage = coverage(intervals);
    a.effectiveCoverage = coverage(effective);
    for (int i = 0; i < a.crystals.size(); ++i) {
        a.crystals[i].gapAbove = a.coverage.gapAbove[i];
        a.crystals[i].effectiveGapAbove = a.effectiveCoverage.gapAbove[i];
    }

    QVector<HRay> rays;
    rays.reserve(crystals.size());
    for (const CrystalOptics *c : crystals)
        rays.append(c->outCentre);
    a.focus = focusQuality(rays, reflecting);
    return a;
}
