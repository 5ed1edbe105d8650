#include "source.h"

#include "bragg.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
// Bins of an angle spread.
constexpr int kSpreadBins = 48;
// How far a spread reaches, in standard deviations of the divergence and of the size.
constexpr double kDirectionReach = 5.0;
constexpr double kSizeReach = 6.0;
// Grid steps per FWHM of the effective curve.
constexpr double kStepsPerWidth = 24.0;

double normalCdf(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

double normalPdf(double z)
{
    return std::exp(-0.5 * z * z) / std::sqrt(2.0 * kPi);
}

// An antiderivative of normalCdf.
double cdfIntegral(double z)
{
    return z * normalCdf(z) + normalPdf(z);
}

// Mean and standard deviation of the bins' centres.
void moments(AngleSpread &s)
{
    double mean = 0.0;
    for (int k = 0; k < s.weights.size(); ++k)
        mean += s.weights[k] * (s.from + (k + 0.5) * s.step);
    double var = 0.0;
    for (int k = 0; k < s.weights.size(); ++k) {
        const double d = s.from + (k + 0.5) * s.step - mean;
        // A bin's own width adds step^2 / 12.
        var += s.weights[k] * (d * d + s.step * s.step / 12.0);
    }
    s.mean = mean;
    s.rms = std::sqrt(var);
}

// Adds `mass`, spread evenly over [lo, hi], to the bins of width h centred on k h, k from
// `first`.
void deposit(std::vector<double> &bins, int first, double h, double lo, double hi, double mass)
{
    const auto index = [&](double v) { return int(std::floor(v / h + 0.5)) - first; };
    const int a = std::clamp(index(lo), 0, int(bins.size()) - 1);
    const int b = std::clamp(index(hi), 0, int(bins.size()) - 1);
    if (a == b || !(hi > lo)) {
        bins[a] += mass;
        return;
    }
    for (int i = a; i <= b; ++i) {
        const double binLo = (i + first - 0.5) * h;
        const double overlap = std::min(hi, binLo + h) - std::max(lo, binLo);
        if (overlap > 0)
            bins[i] += mass * overlap / (hi - lo);
    }
}

} // namespace

bool SourceParams::isValid() const
{
    // Written so that NaN fails every test.
    return distance > 0 && std::isfinite(distance) && size >= 0 && std::isfinite(size)
           && divergence >= 0 && std::isfinite(divergence) && polarisation.valid()
           && std::isfinite(temperature);
}

bool SourceParams::operator==(const SourceParams &o) const
{
    return distance == o.distance && size == o.size && divergence == o.divergence
           && polarisation.degree == o.polarisation.degree && temperature == o.temperature;
}

PlanePoint sourceCentre(const SourceParams &s, const PlanePoint &firstCentre)
{
    return PlanePoint{firstCentre.x - s.distance, firstCentre.y};
}

AngleSpread gaussianSpread(double fwhm)
{
    AngleSpread s;
    if (!(fwhm > 0) || !std::isfinite(fwhm))
        return s;
    const double sigma = fwhm / kFwhmPerSigma;
    s.parallel = false;
    s.from = -kDirectionReach * sigma;
    s.step = 2.0 * kDirectionReach * sigma / kSpreadBins;
    s.weights.resize(kSpreadBins);
    double sum = 0.0;
    for (int k = 0; k < kSpreadBins; ++k) {
        s.weights[k] = normalPdf((s.from + (k + 0.5) * s.step) / sigma);
        sum += s.weights[k];
    }
    for (double &w : s.weights)
        w /= sum;
    moments(s);
    return s;
}

std::optional<AngleSpread> angleSpread(const SourceParams &s,
                                       const PlanePoint &source,
                                       const PlanePoint &start,
                                       const PlanePoint &end)
{
    const double sigmaA = s.divergence * 1e-6 / kFwhmPerSigma;
    const double sigma0 = s.size / kFwhmPerSigma;
    // Relative to the source's centre; a ray leaves (0, y0) in the direction alpha and meets the
    // surface when y0 lies between the heights E.y - E.x tan(alpha) of its two ends E.
    struct End
    {
        double x, y;
    };
    const End ends[]
        = {{start.x - source.x, start.y - source.y}, {end.x - source.x, end.y - source.y}};
    for (const End &e : ends) {
        if (!(e.x > 0) || !std::isfinite(e.x) || !std::isfinite(e.y))
            return std::nullopt;
    }
    // The share of the source's starts whose ray in the direction alpha meets the surface.
    const auto share = [&](double alpha) {
        const double t = std::tan(alpha);
        const double a = ends[0].y - ends[0].x * t;
        const double b = ends[1].y - ends[1].x * t;
        if (sigma0 > 0)
            return std::fabs(normalCdf(b / sigma0) - normalCdf(a / sigma0));
        return std::min(a, b) <= 0.0 && 0.0 <= std::max(a, b) ? 1.0 : 0.0;
    };
    if (!(sigmaA > 0)) {
        AngleSpread parallel;
        parallel.illumination = share(0.0);
        return parallel;
    }

    // The directions in which rays from within kSizeReach sizes meet the surface, within
    // kDirectionReach divergences.
    double lo = kDirectionReach * sigmaA;
    double hi = -lo;
    for (const End &e : ends) {
        for (const double y0 : {-kSizeReach * sigma0, kSizeReach * sigma0}) {
            const double a = std::atan((e.y - y0) / e.x);
            lo = std::min(lo, a);
            hi = std::max(hi, a);
        }
    }
    lo = std::max(lo, -kDirectionReach * sigmaA);
    hi = std::min(hi, kDirectionReach * sigmaA);
    if (!(hi > lo))
        return std::nullopt;

    AngleSpread spread;
    spread.parallel = false;
    spread.from = lo;
    spread.step = (hi - lo) / kSpreadBins;
    spread.weights.resize(kSpreadBins);
    // The share integrated over each bin. Where the source, seen from the surface, is wider than
    // a few bins, the share changes little across a bin and is taken at its middle. Otherwise
    // each end's z = height / sigma0 is taken as linear in alpha across a bin, where the integral
    // of the Gaussian CDF is closed-form (z Phi(z) + phi(z)), with the values at the bins' edges
    // shared. A point source takes the directions between those of the two ends.
    const double nearest = std::min(ends[0].x, ends[1].x);
    const bool smooth = sigma0 > 2.0 * spread.step * nearest;
    std::vector<double> z0, z1, c0, c1;
    if (sigma0 > 0 && !smooth) {
        z0.resize(kSpreadBins + 1);
        z1.resize(kSpreadBins + 1);
        c0.resize(kSpreadBins + 1);
        c1.resize(kSpreadBins + 1);
        for (int k = 0; k <= kSpreadBins; ++k) {
            const double t = std::tan(lo + k * spread.step);
            z0[k] = (ends[0].y - ends[0].x * t) / sigma0;
            z1[k] = (ends[1].y - ends[1].x * t) / sigma0;
            c0[k] = cdfIntegral(z0[k]);
            c1[k] = cdfIntegral(z1[k]);
        }
    }
    const double pa = std::atan(ends[0].y / ends[0].x);
    const double pb = std::atan(ends[1].y / ends[1].x);
    double total = 0.0;
    for (int k = 0; k < kSpreadBins; ++k) {
        const double a = lo + k * spread.step;
        const double b = a + spread.step;
        double integral = 0.0;
        if (smooth) {
            integral = share(0.5 * (a + b)) * spread.step;
        } else if (sigma0 > 0) {
            // mean of Phi(z) over the bin = (C(z_a) - C(z_b)) / (z_a - z_b) for linear z.
            const auto meanCdf = [](double za, double zb, double ca, double cb) {
                return std::fabs(za - zb) > 1e-9 ? (ca - cb) / (za - zb)
                                                 : normalCdf(0.5 * (za + zb));
            };
            integral = std::fabs(meanCdf(z1[k], z1[k + 1], c1[k], c1[k + 1])
                                 - meanCdf(z0[k], z0[k + 1], c0[k], c0[k + 1]))
                       * spread.step;
        } else {
            integral = std::max(0.0, std::min(b, std::max(pa, pb)) - std::max(a, std::min(pa, pb)));
        }
        // The Gaussian of the direction at the bin's middle (the midpoint rule keeps its
        // variance; the bins' own width adds step^2 / 12).
        const double w = normalPdf((a + 0.5 * spread.step) / sigmaA) / sigmaA * integral;
        spread.weights[k] = w;
        total += w;
    }
    if (!(total > 0) || !std::isfinite(total))
        return std::nullopt;
    for (double &w : spread.weights)
        w /= total;
    spread.illumination = std::min(1.0, total);
    moments(spread);
    return spread;
}

std::optional<EffectiveBand> effectiveBand(const Reflection::Factors &f,
                                           const Reflection::Curve &intrinsic,
                                           Reflection::Polarisation p,
                                           double surfaceAngle,
                                           const AngleSpread &spread)
{
    EffectiveBand band;
    if (spread.parallel) {
        band.low = intrinsic.low;
        band.high = intrinsic.high;
        band.centre = 0.5 * (intrinsic.low + intrinsic.high);
        band.fwhm = intrinsic.fwhm;
        band.peak = intrinsic.peak;
        band.photons = intrinsic.integratedEnergy;
        return band;
    }
    const std::optional<Reflection::Reflectivity> r = Reflection::Reflectivity::of(f, p);
    const double sB = std::sin(f.theta);
    if (!r || !(sB > 0) || !(f.spacing > 0) || spread.weights.isEmpty() || !(spread.step > 0))
        return std::nullopt;

    // Everything on one grid in sines: a ray of direction alpha meets the crystal at the glancing
    // sine s = sin(surfaceAngle - alpha); a photon of energy E has the Bragg sine sB + y. The
    // reflectivity depends on x = 2 (sB + y) (s - sB - y), across the band 2 sB (ds - y) with
    // ds = s - sB, so the efficiency at y is the spread of ds correlated with R(2 sB t).
    const auto sineOfEnergy = [&](double e) { return Bragg::hc / (2.0 * f.spacing * e) - sB; };
    const auto energyOfSine = [&](double y) { return Bragg::hc / (2.0 * f.spacing * (sB + y)); };
    const double widthR = std::fabs(sineOfEnergy(intrinsic.low) - sineOfEnergy(intrinsic.high));

    // The spread's bins as intervals of ds, split where the glancing angle passes 90 degrees.
    struct Piece
    {
        double lo, hi, mass;
    };
    std::vector<Piece> pieces;
    pieces.reserve(spread.weights.size() + 1);
    const double halfPi = 0.5 * kPi;
    bool folded = false;
    const int bins = spread.weights.size();
    // Glancing angles and their sines at the bins' edges, shared by neighbouring bins.
    std::vector<double> edgeSine(bins + 1);
    for (int k = 0; k <= bins; ++k)
        edgeSine[k] = std::sin(surfaceAngle - (spread.from + k * spread.step)) - sB;
    for (int k = 0; k < bins; ++k) {
        const double w = spread.weights[k];
        if (!(w > 0))
            continue;
        const double a = surfaceAngle - (spread.from + (k + 1) * spread.step);
        const double b = surfaceAngle - (spread.from + k * spread.step);
        const double sa = edgeSine[k + 1];
        const double sb = edgeSine[k];
        if (a < halfPi && b > halfPi) {
            const double top = 1.0 - sB;
            folded = true;
            pieces.push_back({sa, top, w * (halfPi - a) / (b - a)});
            pieces.push_back({sb, top, w * (b - halfPi) / (b - a)});
        } else {
            pieces.push_back({std::min(sa, sb), std::max(sa, sb), w});
        }
    }
    if (pieces.empty())
        return std::nullopt;
    double mean = 0.0;
    double second = 0.0;
    double lo = pieces.front().lo;
    double hi = pieces.front().hi;
    for (const Piece &q : pieces) {
        const double m = 0.5 * (q.lo + q.hi);
        mean += q.mass * m;
        second += q.mass * (m * m + (q.hi - q.lo) * (q.hi - q.lo) / 12.0);
        lo = std::min(lo, q.lo);
        hi = std::max(hi, q.hi);
    }
    const double widthK = kFwhmPerSigma * std::sqrt(std::max(0.0, second - mean * mean));
    const double h = std::hypot(widthR, widthK) / kStepsPerWidth;
    if (!(h > 0) || !std::isfinite(h))
        return std::nullopt;
    // A spread much wider than the curve and its own bins would need a huge grid (and the grid's
    // indices must stay far inside int).
    const double middle = r->middle() / (2.0 * sB);
    if (!((hi - lo) / h < 20000 && std::fabs(lo) / h < 1e6 && std::fabs(hi) / h < 1e6
          && std::fabs(mean - middle) / h < 1e6))
        return std::nullopt;
    const int kLo = int(std::floor(lo / h + 0.5));
    const int kHi = int(std::floor(hi / h + 0.5));
    std::vector<double> kernel(kHi - kLo + 1, 0.0);
    const double stepS = spread.step * std::fabs(std::cos(surfaceAngle - spread.mean));
    if (folded || stepS <= h) {
        for (const Piece &q : pieces)
            deposit(kernel, kLo, h, q.lo, q.hi, q.mass);
    } else {
        // The spread's bins are wider than the grid's: a density stepping from bin to bin would
        // make the efficiency a staircase. The density is interpolated (Catmull-Rom) and taken
        // at the grid's points instead.
        const auto weight = [&](int j) { return j < 0 || j >= bins ? 0.0 : spread.weights[j]; };
        // The glancing angle of a sine sB + ds, by its Taylor series about the spread's mean
        // (the spread is narrow: the cubic term stays below 1e-8 rad for ds up to 0.01).
        const double g0 = surfaceAngle - spread.mean;
        const double s0 = std::sin(g0);
        const double c0 = std::cos(g0);
        const bool series = std::fabs(c0) > 0.1;
        const double d0 = sB - s0;
        double sum = 0.0;
        for (int k = kLo; k <= kHi; ++k) {
            const double ds = k * h;
            const double sine = sB + ds;
            if (!(std::fabs(sine) < 1.0))
                continue;
            double glancing;
            if (series) {
                const double d = d0 + ds;
                glancing = g0 + d / c0 + s0 * d * d / (2.0 * c0 * c0 * c0);
            } else {
                glancing = c0 >= 0 ? std::asin(sine) : kPi - std::asin(sine);
            }
            const double pos = (surfaceAngle - glancing - spread.from) / spread.step - 0.5;
            const int i = int(std::floor(pos));
            const double t = pos - i;
            const double p0 = weight(i - 1), p1 = weight(i), p2 = weight(i + 1), p3 = weight(i + 2);
            const double v = p1
                             + 0.5 * t
                                   * (p2 - p0
                                      + t
                                            * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3
                                               + t * (3.0 * (p1 - p2) + p3 - p0)));
            // Density in alpha times |d alpha / d sine| = 1 / cos(glancing).
            const double mass = std::max(0.0, v) * h / (spread.step * std::sqrt(1.0 - sine * sine));
            kernel[k - kLo] = mass;
            sum += mass;
        }
        if (!(sum > 0))
            return std::nullopt;
        for (double &m : kernel)
            m /= sum;
    }

    // The efficiency at y_n = n h is the sum over k of kernel_k times the mean of R over the
    // bin k - n of t = x / (2 sB). It is made only about its peak: from where the spread's mean
    // meets the curve's middle, out to the half-peak points.
    const double width = std::hypot(widthR, widthK);
    const int reach = int(std::ceil(2.0 * width / h)) + 4;
    const int n0 = int(std::lround((mean - middle) / h));
    const int nLo = n0 - reach;
    const int nHi = n0 + reach;
    const int rLo = kLo - nHi;
    const int rHi = kHi - nLo;
    const int rCount = rHi - rLo + 1;
    // The curve's bin means, made when first needed (the efficiency is made only near its
    // peak, so most far bins are never used); those made form one interval [made0, made1).
    std::vector<double> curve(rCount);
    int made0 = 0, made1 = 0;
    const auto curveFrom = [&](int first, int count) {
        const int last = first + count;
        if (made0 == made1) {
            r->means(2.0 * sB * (rLo + first - 0.5) * h, 2.0 * sB * h, count, curve.data() + first);
            made0 = first;
            made1 = last;
            return;
        }
        if (first < made0) {
            r->means(2.0 * sB * (rLo + first - 0.5) * h,
                     2.0 * sB * h,
                     made0 - first,
                     curve.data() + first);
            made0 = first;
        }
        if (last > made1) {
            r->means(2.0 * sB * (rLo + made1 - 0.5) * h,
                     2.0 * sB * h,
                     last - made1,
                     curve.data() + made1);
            made1 = last;
        }
    };
    const int kCount = kHi - kLo + 1;
    std::vector<double> eff(nHi - nLo + 1, -1.0);
    const auto at = [&](int n) {
        double &e = eff[n - nLo];
        if (e >= 0)
            return e;
        curveFrom(kLo - n - rLo, kCount);
        const double *c = curve.data() + (kLo - n - rLo);
        const double *kp = kernel.data();
        // Four running sums keep the additions independent of each other.
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        int k = 0;
        for (; k + 3 < kCount; k += 4) {
            s0 += kp[k] * c[k];
            s1 += kp[k + 1] * c[k + 1];
            s2 += kp[k + 2] * c[k + 2];
            s3 += kp[k + 3] * c[k + 3];
        }
        for (; k < kCount; ++k)
            s0 += kp[k] * c[k];
        e = (s0 + s1) + (s2 + s3);
        return e;
    };

    // Uphill to the peak, then down each side below half of it.
    int top = n0;
    while (top > nLo && at(top - 1) > at(top))
        --top;
    while (top < nHi && at(top + 1) > at(top))
        ++top;
    const double peak = at(top);
    if (!(peak > 0) || !std::isfinite(peak) || top == nLo || top == nHi)
        return std::nullopt;
    // The peak refined through the parabola of its neighbours.
    double peakValue = peak;
    {
        const double a = at(top - 1), c = at(top + 1);
        const double den = a - 2.0 * peak + c;
        if (den < 0)
            peakValue = peak - 0.125 * (c - a) * (c - a) / den;
    }
    const double half = 0.5 * peakValue;
    int i = top;
    while (i > nLo && at(i) >= half)
        --i;
    int j = top;
    while (j < nHi && at(j) >= half)
        ++j;
    if (at(i) >= half || at(j) >= half)
        return std::nullopt;
    // The half-peak crossing between grid points a and a + 1: on the parabola through them and
    // the next point outward (or the line, where the parabola leaves the interval).
    const auto crossing = [&](int a, int outward) {
        const double fa = at(a) - half, fb = at(a + 1) - half;
        double t = fa / (fa - fb);
        const int o = outward < 0 ? a - 1 : a + 2;
        if (o >= nLo && o <= nHi) {
            // Through (0, fa), (1, fb) and (-1 or 2, fo): f(t) = fa + b t + c t^2.
            const double fo = at(o) - half;
            const double c = outward < 0 ? 0.5 * (fb + fo) - fa : 0.5 * (fo - 2.0 * fb + fa);
            const double b = fb - fa - c;
            if (c != 0.0) {
                const double disc = b * b - 4.0 * c * fa;
                if (disc >= 0.0) {
                    const double root = std::sqrt(disc);
                    for (const double q : {(-b + root) / (2.0 * c), (-b - root) / (2.0 * c)}) {
                        if (q >= 0.0 && q <= 1.0) {
                            t = q;
                            break;
                        }
                    }
                }
            }
        }
        return (a + t) * h;
    };
    double y1 = crossing(i, -1);
    double y2 = crossing(j - 1, 1);
    // A spread of a few bins leaves the efficiency as sharp as the curve, where interpolating
    // between grid points is coarse: there the crossings are found on the efficiency itself,
    // the kernel correlated with the curve's means over bins moved to y.
    std::vector<std::pair<double, double>> few;
    for (int k = kLo; k <= kHi && few.size() <= 8; ++k) {
        if (kernel[k - kLo] > 0)
            few.emplace_back(k * h, kernel[k - kLo]);
    }
    if (few.size() <= 8) {
        const auto direct = [&](double y) {
            double sum = 0.0;
            for (const auto &[centre, mass] : few)
                sum += mass
                       * r->mean(2.0 * sB * (centre - y - 0.5 * h),
                                 2.0 * sB * (centre - y + 0.5 * h));
            return sum;
        };
        const auto refine = [&](double inside, double outside) {
            double a = inside, b = outside;
            if (!(direct(a) >= half && direct(b) < half))
                return 0.5 * (a + b);
            for (int iteration = 0; iteration < 40 && std::fabs(b - a) > 1e-6 * h; ++iteration) {
                const double c = 0.5 * (a + b);
                (direct(c) >= half ? a : b) = c;
            }
            return 0.5 * (a + b);
        };
        y1 = refine((i + 1) * h, i * h);
        y2 = refine((j - 1) * h, j * h);
    }

    // y grows with the Bragg sine, so down in energy.
    band.low = energyOfSine(y2);
    band.high = energyOfSine(y1);
    band.centre = 0.5 * (band.low + band.high);
    band.fwhm = std::asin(std::min(1.0, sB + y2)) - std::asin(std::min(1.0, sB + y1));
    band.peak = peakValue;
    // Averaging over directions keeps the integral of R; only dE / dy = hc / (2 d (sB + y)^2)
    // changes where the beam's tilt moves the band.
    const double y0 = sineOfEnergy(0.5 * (intrinsic.low + intrinsic.high));
    const double yTilt = y0 + mean;
    band.photons
        = intrinsic.integratedEnergy * ((sB + y0) * (sB + y0)) / ((sB + yTilt) * (sB + yTilt));
    if (!std::isfinite(band.low) || !std::isfinite(band.high) || !std::isfinite(band.photons))
        return std::nullopt;
    return band;
}

double efficiencyAt(const Reflection::Factors &f,
                    Reflection::Polarisation p,
                    double surfaceAngle,
                    const AngleSpread &spread,
                    double energyEv)
{
    const std::optional<Reflection::Reflectivity> r = Reflection::Reflectivity::of(f, p);
    if (!r || !(f.spacing > 0) || !(energyEv > 0))
        return 0.0;
    const double sB = Bragg::hc / (2.0 * f.spacing * energyEv);
    const auto deviation
        = [&](double alpha) { return 2.0 * sB * (std::sin(surfaceAngle - alpha) - sB); };
    if (spread.parallel)
        return r->at(deviation(0.0));
    const double halfPi = 0.5 * kPi;
    double sum = 0.0;
    for (int k = 0; k < spread.weights.size(); ++k) {
        const double w = spread.weights[k];
        if (!(w > 0))
            continue;
        const double a = spread.from + k * spread.step;
        const double b = a + spread.step;
        // A bin whose glancing angle passes 90 degrees is taken in its two parts.
        const double fold = surfaceAngle - halfPi;
        if (a < fold && fold < b) {
            const double top = deviation(fold);
            sum += w * (fold - a) / spread.step * r->mean(std::min(deviation(a), top), top);
            sum += w * (b - fold) / spread.step * r->mean(std::min(deviation(b), top), top);
            continue;
        }
        const double x0 = deviation(a);
        const double x1 = deviation(b);
        sum += w * (x0 == x1 ? r->at(x0) : r->mean(std::min(x0, x1), std::max(x0, x1)));
    }
    return sum;
}
