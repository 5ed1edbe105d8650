#include "raytrace.h"

#include "bragg.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
// Rays per chunk: each chunk has its own seed, so the results do not depend on the threads.
constexpr qint64 kChunk = 8192;
// The tables reach this many plateau half-widths from the curves' middle; beyond, the tails'
// closed form is within 1e-3 of the curve.
constexpr double kTableReach = 32.0;

// xoshiro256** (Blackman and Vigna), seeded through splitmix64.
class Random
{
public:
    explicit Random(std::uint64_t seed)
    {
        for (std::uint64_t &v : s) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            v = z ^ (z >> 31);
        }
    }
    std::uint64_t next()
    {
        const std::uint64_t result = rotl(s[1] * 5, 7) * 9;
        const std::uint64_t t = s[1] << 17;
        s[2] ^= s[0];
        s[3] ^= s[1];
        s[1] ^= s[2];
        s[0] ^= s[3];
        s[2] ^= t;
        s[3] = rotl(s[3], 45);
        return result;
    }
    // In [0, 1).
    double uniform() { return double(next() >> 11) * 0x1.0p-53; }
    // Two independent standard normals (Box-Muller).
    void normals(double &a, double &b)
    {
        const double u = 1.0 - uniform(); // (0, 1]
        const double r = std::sqrt(-2.0 * std::log(u));
        const double phi = 2.0 * kPi * uniform();
        a = r * std::cos(phi);
        b = r * std::sin(phi);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s[4];
};

// One crystal's reflectivity against the deviation x, tabulated about its middle.
struct Table
{
    bool reflects = false;
    double from = 0;
    double inverseStep = 0;
    std::vector<double> values;
    struct Tail
    {
        double scale = 0; // weight * ratio / 4
        double g = 0;
        double kappa2 = 0;
    };
    Tail tails[2];
    int tailCount = 0;
    double chi0r = 0;

    double at(double x) const
    {
        const double pos = (x - from) * inverseStep;
        if (pos >= 0 && pos < double(values.size() - 1)) {
            const auto i = std::size_t(pos);
            const double f = pos - double(i);
            return values[i] + f * (values[i + 1] - values[i]);
        }
        double r = 0.0;
        for (int k = 0; k < tailCount; ++k) {
            const double u = (x + chi0r) / tails[k].g;
            r += tails[k].scale / (u * u + tails[k].kappa2);
        }
        return r;
    }
};

Table makeTable(const Reflection::Factors &f, Reflection::Polarisation p)
{
    Table t;
    const std::optional<Reflection::Reflectivity> r = Reflection::Reflectivity::of(f, p);
    if (!r)
        return t;
    const double widest = r->widest();
    const double step = std::min(widest / 64.0, r->narrowest() / 16.0);
    const int n = int(std::min(65536.0, std::ceil(2.0 * kTableReach * widest / step))) + 1;
    t.from = r->middle() - kTableReach * widest;
    t.inverseStep = 1.0 / step;
    t.values.resize(n);
    for (int i = 0; i < n; ++i)
        t.values[i] = r->at(t.from + i * step);
    t.chi0r = -r->middle();
    for (int k = 0; k < r->partCount(); ++k) {
        const Reflection::Reflectivity::Part &part = r->parts()[k];
        t.tails[k] = Table::Tail{part.weight * part.ratio / 4.0, part.g, part.kappa * part.kappa};
    }
    t.tailCount = r->partCount();
    t.reflects = true;
    return t;
}

struct TraceCrystal
{
    double px = 0, py = 0; // start of the surface
    double ex = 0, ey = 0; // end minus start
    double sinPhi = 0, cosPhi = 0;
    Table table;
    double offset = 0; // eV: the real crystal reflects at the label + offset
    double binFrom = 0;
    double binStep = 0;
    int bins = 0;
};

struct Reflected
{
    int crystal;
    double x, y;   // where it left the surface
    double vx, vy; // its direction
};

// What one thread counts; integers, so that adding them up does not depend on the order.
struct Counts
{
    std::vector<qint64> hits, reflected, bins;
};

struct Setup
{
    std::vector<TraceCrystal> crystals;
    double sourceX = 0, sourceY = 0;
    double sigmaSize = 0, sigmaDirection = 0;
    double energyLow = 0, energyHigh = 0;
    double hcOver2d = 0;
    int maxBins = 0;
};

void traceChunk(const Setup &s,
                quint64 seed,
                qint64 chunk,
                qint64 count,
                Counts &counts,
                std::vector<Reflected> &out)
{
    Random random(seed ^ (std::uint64_t(chunk) * 0xd1342543de82ef95ULL));
    const int n = int(s.crystals.size());
    const double range = s.energyHigh - s.energyLow;
    for (qint64 i = 0; i < count; ++i) {
        double z0, z1;
        random.normals(z0, z1);
        const double energy = s.energyLow + range * random.uniform();
        const double oy = s.sourceY + s.sigmaSize * z0;
        const double alpha = s.sigmaDirection * z1;
        const double dx = std::cos(alpha);
        const double dy = std::sin(alpha);

        // The first surface in the ray's path: ray O + t d against segment P + u e.
        int best = -1;
        double bestT = std::numeric_limits<double>::infinity();
        for (int c = 0; c < n; ++c) {
            const TraceCrystal &k = s.crystals[c];
            const double den = dx * k.ey - dy * k.ex;
            if (den == 0.0)
                continue;
            const double wx = k.px - s.sourceX;
            const double wy = k.py - oy;
            const double inv = 1.0 / den;
            const double t = (wx * k.ey - wy * k.ex) * inv;
            const double u = (wx * dy - wy * dx) * inv;
            if (t > 0.0 && t < bestT && u >= 0.0 && u <= 1.0) {
                bestT = t;
                best = c;
            }
        }
        if (best < 0)
            continue;
        ++counts.hits[best];
        const TraceCrystal &k = s.crystals[best];
        if (!k.table.reflects)
            continue;
        // The glancing sine sin(phi - alpha) against the Bragg sine of the energy.
        const double glancing = k.sinPhi * dx - k.cosPhi * dy;
        if (!(glancing > 0.0))
            continue;
        const double sB = s.hcOver2d / energy;
        if (random.uniform() >= k.table.at(2.0 * sB * (glancing - sB)))
            continue;
        ++counts.reflected[best];
        const double pos = (energy - k.offset - k.binFrom) / k.binStep;
        if (pos >= 0.0 && pos < k.bins)
            ++counts.bins[std::size_t(best) * s.maxBins + std::size_t(pos)];
        // Mirrored about the surface: v = 2 (d . s) s - d.
        const double along = dx * k.cosPhi + dy * k.sinPhi;
        out.push_back(Reflected{best,
                                s.sourceX + bestT * dx,
                                oy + bestT * dy,
                                2.0 * along * k.cosPhi - dx,
                                2.0 * along * k.sinPhi - dy});
    }
}

// The spot of the rays: crossings of the line through f perpendicular to their mean direction.
void makeSpot(const std::vector<const Reflected *> &rays,
              const PlanePoint &f,
              int bins,
              RayCrystal &out)
{
    if (rays.size() < 2 || bins < 1)
        return;
    double mx = 0.0, my = 0.0;
    for (const Reflected *r : rays) {
        mx += r->vx;
        my += r->vy;
    }
    const double norm = std::hypot(mx, my);
    if (!(norm > 0))
        return;
    mx /= norm;
    my /= norm;
    std::vector<double> s;
    s.reserve(rays.size());
    for (const Reflected *r : rays) {
        const double along = r->vx * mx + r->vy * my;
        if (!(along > 0))
            continue;
        const double t = ((f.x - r->x) * mx + (f.y - r->y) * my) / along;
        const double cx = r->x + t * r->vx - f.x;
        const double cy = r->y + t * r->vy - f.y;
        const double v = -cx * my + cy * mx;
        if (std::isfinite(v))
            s.push_back(v);
    }
    if (s.size() < 2)
        return;
    const auto quantile = [&](double q) {
        std::vector<double> copy = s;
        const auto k = std::size_t(q * double(copy.size() - 1));
        std::nth_element(copy.begin(), copy.begin() + std::ptrdiff_t(k), copy.end());
        return copy[k];
    };
    out.spotCentre = quantile(0.5);
    double lo = quantile(0.005);
    double hi = quantile(0.995);
    const double pad = 0.1 * (hi - lo);
    lo -= pad;
    hi += pad;
    if (!(hi > lo))
        return;
    out.spot.from = lo;
    out.spot.step = (hi - lo) / bins;
    out.spot.counts.fill(0.0, bins);
    for (const double v : s) {
        const double pos = (v - lo) / out.spot.step;
        if (pos >= 0 && pos < bins)
            out.spot.counts[int(pos)] += 1.0;
    }
    if (const std::optional<ProfileWidth> w = profileWidth(out.spot))
        out.spotFwhm = w->high - w->low;
}

} // namespace

std::optional<ProfileWidth> profileWidth(const Histogram &h)
{
    const QVector<double> &v = h.counts;
    if (v.isEmpty())
        return std::nullopt;
    const int top = int(std::max_element(v.begin(), v.end()) - v.begin());
    return profileWidth(h, 0.5 * v[top], top);
}

std::optional<ProfileWidth> profileWidth(const Histogram &h, double half, int top)
{
    const QVector<double> &v = h.counts;
    if (!(top >= 0 && top < v.size()) || !(h.step > 0) || !(half > 0) || !std::isfinite(half))
        return std::nullopt;
    int i = top;
    while (i > 0 && v[i] >= half)
        --i;
    int j = top;
    while (j + 1 < v.size() && v[j] >= half)
        ++j;
    if (v[i] >= half || v[j] >= half)
        return std::nullopt;
    const auto centre = [&](double bin) { return h.from + (bin + 0.5) * h.step; };
    ProfileWidth w;
    w.low = centre(i + (half - v[i]) / (v[i + 1] - v[i]));
    w.high = centre(j - 1 + (v[j - 1] - half) / (v[j - 1] - v[j]));
    w.peakBin = top;
    return w;
}

RayTrace
traceRays(const BandsAnalysis &analysis, const CrystalList &crystals, const RayTraceParams &params)
{
    RayTrace result;
    result.crystals.resize(crystals.size());
    const SourceParams &source = analysis.source;
    if (!analysis.sourcePosition || !analysis.realSpacing
        || crystals.size() != analysis.crystals.size() || params.rays <= 0
        || !(params.energyMargin >= 0) || params.energyBins < 1)
        return result;

    // The rays' energies: every effective band, where a real crystal reflects it, and the margin.
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    double widest = 0.0;
    for (const CrystalBand &c : analysis.crystals) {
        if (!c.effectiveBandLow)
            continue;
        low = std::min(low, *c.effectiveBandLow + c.latticeOffset);
        high = std::max(high, *c.effectiveBandHigh + c.latticeOffset);
        widest = std::max(widest, *c.effectiveBandHigh - *c.effectiveBandLow);
    }
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return result;

    Setup s;
    s.sourceX = analysis.sourcePosition->x;
    s.sourceY = analysis.sourcePosition->y;
    s.sigmaSize = source.size / kFwhmPerSigma;
    s.sigmaDirection = source.divergence * 1e-6 / kFwhmPerSigma;
    s.energyLow = low - params.energyMargin * widest;
    s.energyHigh = high + params.energyMargin * widest;
    s.hcOver2d = Bragg::hc / (2.0 * *analysis.realSpacing);
    s.maxBins = params.energyBins;
    if (!(s.energyLow > 0))
        return result;
    result.energyLow = s.energyLow;
    result.energyHigh = s.energyHigh;
    s.crystals.resize(crystals.size());
    for (int i = 0; i < crystals.size(); ++i) {
        const CrystalOptics &c = *crystals[i];
        const CrystalBand &band = analysis.crystals[i];
        TraceCrystal &t = s.crystals[i];
        const Point a = c.startPoint();
        const Point b = c.endPoint();
        t.px = a.x;
        t.py = a.y;
        t.ex = b.x - a.x;
        t.ey = b.y - a.y;
        const double phi = c.angleDeg() / 180.0 * Bragg::pi;
        t.sinPhi = std::sin(phi);
        t.cosPhi = std::cos(phi);
        if (!std::isfinite(t.px) || !std::isfinite(t.py) || !std::isfinite(t.ex)
            || !std::isfinite(t.ey) || !std::isfinite(phi)) {
            t = TraceCrystal(); // a degenerate surface: never met
            continue;
        }
        if (band.factors && band.state == BandState::Band)
            t.table = makeTable(*band.factors, source.polarisation);
        t.offset = band.latticeOffset;
        if (band.effectiveCentre && band.effectiveBandHigh && band.effectiveBandLow) {
            const double w = *band.effectiveBandHigh - *band.effectiveBandLow;
            t.binFrom = *band.effectiveCentre - 3.0 * w;
            t.binStep = 6.0 * w / params.energyBins;
            t.bins = t.binStep > 0 ? params.energyBins : 0;
        }
    }

    const qint64 chunks = (params.rays + kChunk - 1) / kChunk;
    const int hardware = int(std::max(1u, std::thread::hardware_concurrency()));
    const int threads
        = int(std::min<qint64>(params.threads > 0 ? params.threads : hardware, chunks));
    const std::size_t n = s.crystals.size();
    std::vector<Counts> counts(threads);
    for (Counts &c : counts) {
        c.hits.assign(n, 0);
        c.reflected.assign(n, 0);
        c.bins.assign(n * s.maxBins, 0);
    }
    std::vector<std::vector<Reflected>> out(chunks);
    std::atomic<qint64> next(0);
    const auto work = [&](int thread) {
        for (qint64 chunk = next++; chunk < chunks; chunk = next++) {
            const qint64 count = std::min(kChunk, params.rays - chunk * kChunk);
            traceChunk(s, params.seed, chunk, count, counts[thread], out[chunk]);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, t);
    work(0);
    for (std::thread &t : pool)
        t.join();

    result.rays = params.rays;
    const double range = s.energyHigh - s.energyLow;
    // Filled as a std::vector: GCC 12 warns wrongly about writes through QVector's detach here.
    std::vector<RayCrystal> traced(n);
    std::vector<std::vector<const Reflected *>> byCrystal(n);
    std::vector<const Reflected *> every;
    for (const std::vector<Reflected> &chunk : out) {
        for (const Reflected &r : chunk) {
            byCrystal[r.crystal].push_back(&r);
            every.push_back(&r);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        RayCrystal &rc = traced[i];
        for (const Counts &c : counts) {
            rc.hits += c.hits[i];
            rc.reflected += c.reflected[i];
        }
        result.hits += rc.hits;
        result.reflected += rc.reflected;
        if (rc.hits > 0) {
            const double p = double(rc.reflected) / double(rc.hits);
            rc.bandPhotons = p * range;
            rc.bandPhotonsError = std::sqrt(p * (1.0 - p) / double(rc.hits)) * range;
        }
        const TraceCrystal &t = s.crystals[i];
        if (t.bins > 0) {
            rc.energies.from = t.binFrom;
            rc.energies.step = t.binStep;
            rc.energies.counts.fill(0.0, t.bins);
            rc.efficiency.fill(0.0, t.bins);
            rc.efficiencyError.fill(0.0, t.bins);
            for (const Counts &c : counts) {
                for (int b = 0; b < t.bins; ++b)
                    rc.energies.counts[b] += double(c.bins[i * s.maxBins + b]);
            }
            for (int b = 0; b < t.bins; ++b) {
                // The rays of the bin's energies that met the crystal, expected from all its hits.
                const double e0 = t.binFrom + b * t.binStep + t.offset;
                const double overlap = std::max(
                    0.0, std::min(e0 + t.binStep, s.energyHigh) - std::max(e0, s.energyLow));
                const double expected = double(rc.hits) * overlap / range;
                if (!(expected > 0))
                    continue;
                // The reflected count is binomial over all hits with the chance (bin's share of
                // the range) x p: nearly Poisson, variance p / expected.
                const double p = rc.energies.counts[b] / expected;
                const double share = overlap / range;
                rc.efficiency[b] = p;
                rc.efficiencyError[b]
                    = std::sqrt(std::max(p * (1.0 - share * p), 1.0 / expected) / expected);
            }
            // The peak is the top of a parabola fitted (least squares) to the five bins about
            // the highest: the highest of many noisy bins alone would overstate it. The half-peak
            // points are those of the bins themselves, interpolated between their centres.
            Histogram eff = rc.energies;
            eff.counts = rc.efficiency;
            const int top
                = int(std::max_element(eff.counts.begin(), eff.counts.end()) - eff.counts.begin());
            double peak = eff.counts[top];
            double peakError = rc.efficiencyError[top];
            if (top >= 2 && top + 2 < t.bins) {
                double sum = 0.0, first = 0.0, second = 0.0;
                for (int k = -2; k <= 2; ++k) {
                    const double y = eff.counts[top + k];
                    sum += y;
                    first += k * y;
                    second += (k * k - 2) * y;
                }
                const double c = second / 14.0;
                const double b = first / 10.0;
                const double a = (sum - 10.0 * c) / 5.0;
                const double vertex = c < 0 ? -b / (2.0 * c) : 0.0;
                const double fitted = std::fabs(vertex) <= 1.0 ? a - b * b / (4.0 * c) : a;
                // A parabola does not fit a sharp edge (a point source's slice): there the
                // highest bin stays.
                if (fitted <= peak + peakError) {
                    peak = fitted;
                    // The fitted value's variance: 17 / 35 of a bin's.
                    peakError *= std::sqrt(17.0 / 35.0);
                }
            }
            const std::optional<ProfileWidth> w
                = peak > 0 ? profileWidth(eff, 0.5 * peak, top) : std::nullopt;
            if (w) {
                rc.low = w->low;
                rc.high = w->high;
                rc.fwhm = w->high - w->low;
                rc.peakEfficiency = peak;
                rc.peakEfficiencyError = peakError;
                // The half-peak points move with the counts at them and with the peak.
                const auto crossing = [&](double x, double &slope) {
                    const double pos = (x - eff.from) / eff.step - 0.5;
                    const int b = std::clamp(int(std::floor(pos)), 0, t.bins - 2);
                    slope = std::fabs(rc.efficiency[b + 1] - rc.efficiency[b]) / eff.step;
                    const double f = pos - b;
                    return (1.0 - f) * rc.efficiencyError[b] + f * rc.efficiencyError[b + 1];
                };
                double slopeLow = 0.0, slopeHigh = 0.0;
                const double errLow = crossing(w->low, slopeLow);
                const double errHigh = crossing(w->high, slopeHigh);
                if (slopeLow > 0 && slopeHigh > 0) {
                    const double peakShift
                        = 0.5 * *rc.peakEfficiencyError * (1.0 / slopeLow + 1.0 / slopeHigh);
                    rc.fwhmError
                        = std::sqrt(std::pow(errLow / slopeLow, 2)
                                    + std::pow(errHigh / slopeHigh, 2) + peakShift * peakShift);
                }
            }
        }
        if (analysis.focus.focus)
            makeSpot(byCrystal[i],
                     PlanePoint{analysis.focus.focus->x, analysis.focus.focus->y},
                     params.spotBins,
                     rc);
    }
    result.crystals = QVector<RayCrystal>(traced.begin(), traced.end());
    if (analysis.focus.focus) {
        result.focus = PlanePoint{analysis.focus.focus->x, analysis.focus.focus->y};
        makeSpot(every, *result.focus, params.spotBins, result.all);
    }
    return result;
}
