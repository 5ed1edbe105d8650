#include "reflection.h"

#include "bragg.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace Reflection {

namespace {

constexpr double kPi = 3.141592653589793;
// Beyond this reduced deviation the curves are taken by their tails (within 1.5 %).
constexpr double kCore = 6.0;
// The step of the midpoint sums over the core, in reduced units.
constexpr double kCoreStep = 0.2;

// Gauss-Legendre nodes and weights on [-1, 1].
struct Rule
{
    std::vector<double> x, w;
};

Rule legendre(int n)
{
    Rule r;
    r.x.resize(n);
    r.w.resize(n);
    for (int i = 0; i < n; ++i) {
        double z = std::cos(kPi * (i + 0.75) / (n + 0.5));
        double dp = 1.0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p1 = 1.0;
            double p2 = 0.0;
            for (int j = 1; j <= n; ++j) {
                const double p3 = p2;
                p2 = p1;
                p1 = ((2.0 * j - 1.0) * z * p2 - (j - 1.0) * p3) / j;
            }
            dp = n * (z * p1 - p2) / (z * z - 1.0);
            const double step = p1 / dp;
            z -= step;
            if (std::fabs(step) < 1e-15)
                break;
        }
        r.x[i] = z;
        r.w[i] = 2.0 / ((1.0 - z * z) * dp * dp);
    }
    return r;
}

// Nodes and weights for the integral of a rocking curve over all reduced deviations u: the
// plateau through u = sin(phi), whose square-root edges become smooth, the wings through
// u = +-cosh(tau), where R sinh(tau) falls like exp(-tau) / 2. Beyond u = +-cosh(kTauEnd) the
// tails are added in closed form.
constexpr double kTauEnd = 7.0;

struct Nodes
{
    std::vector<double> u, w;
    double end = std::cosh(kTauEnd);
};

const Nodes &curveNodes()
{
    static const Nodes nodes = [] {
        Nodes n;
        const Rule plateau = legendre(12);
        for (size_t i = 0; i < plateau.x.size(); ++i) {
            const double phi = 0.5 * kPi * plateau.x[i];
            n.u.push_back(std::sin(phi));
            n.w.push_back(0.5 * kPi * plateau.w[i] * std::cos(phi));
        }
        const Rule wing = legendre(16);
        for (size_t i = 0; i < wing.x.size(); ++i) {
            const double tau = 0.5 * kTauEnd * (wing.x[i] + 1.0);
            const double w = 0.5 * kTauEnd * wing.w[i] * std::sinh(tau);
            n.u.push_back(std::cosh(tau));
            n.w.push_back(w);
            n.u.push_back(-std::cosh(tau));
            n.w.push_back(w);
        }
        return n;
    }();
    return nodes;
}

// atan(t) / t, 1 at t = 0; its series where t is small (the far tails, most of them).
double atanRatio(double t)
{
    const double t2 = t * t;
    if (t2 < 0.01)
        return 1.0 - t2 * (1.0 / 3.0 - t2 * (1.0 / 5.0 - t2 / 7.0));
    return std::atan(t) / t;
}

// The half-peak crossing between `inside` (at or above half) and `outside` (below it), where
// the curve falls monotonically: regula falsi with the Illinois step, a few evaluations where
// bisection needs thirty.
template <class F> double halfCrossing(const F &r, double inside, double outside, double half)
{
    const double tolerance = 1e-10 * std::fabs(outside - inside);
    double a = inside, b = outside;
    double fa = r(a) - half, fb = r(b) - half;
    int kept = 0; // +1: a was kept last time, -1: b
    double c = 0.5 * (a + b);
    for (int i = 0; i < 60; ++i) {
        c = (a * fb - b * fa) / (fb - fa);
        if (!(c > std::min(a, b) && c < std::max(a, b)))
            c = 0.5 * (a + b);
        const double fc = r(c) - half;
        if (fc >= 0) {
            a = c;
            fa = fc;
            if (kept == -1)
                fb *= 0.5;
            kept = -1;
        } else {
            b = c;
            fb = fc;
            if (kept == 1)
                fa *= 0.5;
            kept = 1;
        }
        if (std::fabs(b - a) < tolerance || std::fabs(fc) < 1e-13)
            break;
    }
    return c;
}

// Steps outward from `from` until the curve is below half: by a growing step, then by doubling
// distances (a strongly absorbing crystal has low, wide wings). The last point at or above half
// and the first below it.
template <class F>
std::optional<std::pair<double, double>>
belowHalf(const F &r, double from, double direction, double half, double unit)
{
    double inside = from;
    double step = 0.5 * unit;
    for (int i = 0; i < 80; ++i) {
        const double x = from + direction * step;
        if (!std::isfinite(x))
            return std::nullopt;
        if (r(x) < half)
            return std::make_pair(inside, x);
        inside = x;
        step = i < 12 ? step + 0.5 * unit : step * 2.0;
    }
    return std::nullopt;
}

struct Peak
{
    double x = 0;
    double value = 0;
};

// The curve has one peak within a few plateau half-widths of the middle: a grid brackets it, a
// golden-section search finds it.
template <class F> Peak findPeak(const F &r, double middle, double widest, double narrowest)
{
    const double step = std::max(narrowest, 0.25 * widest);
    const int n = int(std::lround(12.0 * widest / step)) + 1;
    const double from = middle - 6.0 * widest;
    int best = 0;
    double bestR = -1;
    for (int i = 0; i < n; ++i) {
        const double v = r(from + i * step);
        if (v > bestR) {
            bestR = v;
            best = i;
        }
    }
    double lo = from + std::max(best - 1, 0) * step;
    double hi = from + std::min(best + 1, n - 1) * step;
    constexpr double kGolden = 0.6180339887498949;
    double x1 = hi - kGolden * (hi - lo);
    double x2 = lo + kGolden * (hi - lo);
    double r1 = r(x1);
    double r2 = r(x2);
    for (int i = 0; i < 22; ++i) {
        if (r1 < r2) {
            lo = x1;
            x1 = x2;
            r1 = r2;
            x2 = lo + kGolden * (hi - lo);
            r2 = r(x2);
        } else {
            hi = x2;
            x2 = x1;
            r2 = r1;
            x1 = hi - kGolden * (hi - lo);
            r1 = r(x1);
        }
    }
    Peak p{0.5 * (lo + hi), 0.0};
    p.value = r(p.x);
    if (bestR > p.value)
        p = Peak{from + best * step, bestR};
    return p;
}

// The two half-peak deviations about the peak at x.
template <class F>
std::optional<std::pair<double, double>>
halfPoints(const F &r, double x, double half, double narrowest)
{
    const auto left = belowHalf(r, x, -1.0, half, narrowest);
    const auto right = belowHalf(r, x, 1.0, half, narrowest);
    if (!left || !right)
        return std::nullopt;
    return std::make_pair(halfCrossing(r, left->first, left->second, half),
                          halfCrossing(r, right->first, right->second, half));
}

} // namespace

std::optional<double> debyeWallerB(const QString &material)
{
    if (material == QLatin1String("Si"))
        return 0.4632;
    if (material == QLatin1String("Ge"))
        return 0.565;
    return std::nullopt;
}

std::optional<Miller> wholeIndices(double h, double k, double l)
{
    Miller m;
    int *out[] = {&m.h, &m.k, &m.l};
    const double in[] = {h, k, l};
    for (int i = 0; i < 3; ++i) {
        // Also false for NaN.
        if (!(std::fabs(in[i]) <= maxIndex) || in[i] != std::trunc(in[i]))
            return std::nullopt;
        *out[i] = static_cast<int>(in[i]);
    }
    return m;
}

Check checkReflection(const QString &material, double h, double k, double l)
{
    Check c;
    const std::optional<Miller> m = wholeIndices(h, k, l);
    if (!m) {
        c.status = Status::NotWhole;
        return c;
    }
    c.hkl = *m;
    if (m->h == 0 && m->k == 0 && m->l == 0) {
        c.status = Status::NoPlanes;
        return c;
    }
    const Result<XrayData::Cell> cell = XrayData::cell(material);
    if (!cell.ok()) {
        c.error = cell.error;
        return c;
    }
    // Where the accepted planes reflect at 30 degrees: any energy the reflection reaches
    // gives the same answer, this one is well clear of the cut-off.
    const double d = cell.value->a / std::sqrt(double(m->h * m->h + m->k * m->k + m->l * m->l));
    const double e = Bragg::hc / d;
    const auto fh = XrayData::structureFactor(material, e, m->h, m->k, m->l, 1.0);
    const auto f0 = XrayData::structureFactor(material, e, 0, 0, 0, 1.0);
    if (!fh.ok() || !f0.ok() || !(std::abs(*f0.value) > 0)) {
        c.error = !fh.ok() ? fh.error : f0.error;
        return c;
    }
    c.relativeF = std::abs(*fh.value) / std::abs(*f0.value);
    c.status = c.relativeF < 1e-8 ? Status::Forbidden : Status::Allowed;
    return c;
}

std::optional<Polarisation> parsePolarisation(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("sigma"))
        return Polarisation::sigma();
    if (t == QLatin1String("pi"))
        return Polarisation::pi();
    if (t == QLatin1String("unpolarised"))
        return Polarisation::unpolarised();
    bool ok = false;
    const Polarisation p{QLocale::c().toDouble(t, &ok)};
    if (!ok || !p.valid())
        return std::nullopt;
    return p;
}

QString polarisationText(Polarisation p)
{
    if (p.degree == 1.0)
        return QStringLiteral("sigma");
    if (p.degree == -1.0)
        return QStringLiteral("pi");
    if (p.degree == 0.0)
        return QStringLiteral("unpolarised");
    return QString::number(p.degree, 'g', QLocale::FloatingPointShortest);
}

Result<Factors> factors(const QString &material, const Miller &hkl, double spacing, double energyEv)
{
    using R = Result<Factors>;
    const std::optional<double> b = debyeWallerB(material);
    if (!b)
        return R::fail(QStringLiteral("no temperature factor for %1").arg(material));
    const double lambda = Bragg::hc / energyEv;
    const double sinTheta = lambda / (2.0 * spacing);
    if (!(sinTheta > 0 && sinTheta <= 1) || !std::isfinite(lambda))
        return R::fail(QStringLiteral("no Bragg angle at %1 eV").arg(energyEv));
    const double a = spacing * std::sqrt(double(hkl.h * hkl.h + hkl.k * hkl.k + hkl.l * hkl.l));
    if (!(a > 0) || !std::isfinite(a))
        return R::fail(QStringLiteral("no cell for the spacing %1").arg(spacing));

    // sin theta / lambda = 1 / 2d.
    const double s = 1.0 / (2.0 * spacing);
    const double debye = std::exp(-*b * s * s);
    const auto sf
        = XrayData::realStructureFactors(material, a, energyEv, hkl.h, hkl.k, hkl.l, debye);
    if (!sf.ok())
        return R::fail(sf.error);

    Factors f;
    f.f0 = sf.value->f0;
    f.fh = sf.value->fh;
    f.fhbar = sf.value->fhbar;
    const double gamma = electronRadius * lambda * lambda / (kPi * a * a * a);
    f.chi0 = -gamma * f.f0;
    f.chih = -gamma * f.fh;
    f.chihbar = -gamma * f.fhbar;
    f.theta = std::asin(sinTheta);
    f.energy = energyEv;
    f.spacing = spacing;
    return R{f, QString()};
}

double Reflectivity::Part::at(double u) const
{
    // eta = (u + i kappa) phase, written out: this runs millions of times for an array.
    const double er = u * phase.real() - kappa * phase.imag();
    const double ei = u * phase.imag() + kappa * phase.real();
    // sqrt(eta^2 - 1) by its principal branch, without std::sqrt's care for overflow (|eta| stays
    // far below 1e100).
    const double zr = er * er - ei * ei - 1.0;
    const double zi = 2.0 * er * ei;
    const double modulus = std::sqrt(zr * zr + zi * zi);
    const double t = std::sqrt(0.5 * (modulus + std::fabs(zr)));
    double rr = 0.0, ri = 0.0;
    if (t > 0.0) {
        if (zr >= 0.0) {
            rr = t;
            ri = zi / (2.0 * t);
        } else {
            rr = std::fabs(zi) / (2.0 * t);
            ri = std::copysign(t, zi);
        }
    }
    // Of the two roots eta -+ sqrt(eta^2 - 1), whose product is 1, the thick crystal reflects
    // the smaller: 1 / the larger, which keeps its digits far out on the tails.
    const double plus = (er + rr) * (er + rr) + (ei + ri) * (ei + ri);
    const double minus = (er - rr) * (er - rr) + (ei - ri) * (ei - ri);
    return ratio / std::max(plus, minus);
}

double Reflectivity::Part::tailIntegral(double u0, double u1) const
{
    // An antiderivative of tail(u) that stays accurate when kappa is tiny:
    // -atan(kappa / u) / (4 kappa) = -(atan(t) / t) / (4 u), t = kappa / u.
    const auto f = [this](double u) { return -atanRatio(kappa / u) / (4.0 * u); };
    return ratio * (f(u1) - f(u0));
}

std::optional<Reflectivity> Reflectivity::of(const Factors &f, Polarisation p)
{
    if (!p.valid())
        return std::nullopt;
    Reflectivity r;
    r.chi0r = f.chi0.real();
    const std::complex<double> coupling = std::sqrt(f.chih * f.chihbar);
    const double weights[] = {p.sigmaWeight(), p.piWeight()};
    // pi couples with |cos 2 theta|; at 45 degrees that is zero to rounding.
    const double cos2 = std::fabs(std::cos(2.0 * f.theta));
    const double factors[] = {1.0, cos2 < 1e-12 ? 0.0 : cos2};
    for (int i = 0; i < 2; ++i) {
        if (!(weights[i] > 0))
            continue;
        const std::complex<double> g = factors[i] * coupling;
        Part part;
        part.weight = weights[i];
        part.g = std::abs(g);
        if (!(part.g > 0) || !std::isfinite(part.g))
            continue; // no coupling: this polarisation is not reflected at all
        part.phase = part.g / g;
        part.kappa = f.chi0.imag() / part.g;
        part.ratio = std::abs(f.chih) / std::abs(f.chihbar);
        if (!std::isfinite(part.kappa) || !std::isfinite(part.ratio)
            || !std::isfinite(part.phase.real()) || !std::isfinite(part.phase.imag()))
            return std::nullopt;
        r.part[r.count++] = part;
    }
    if (r.count == 0 || !std::isfinite(r.chi0r))
        return std::nullopt;
    return r;
}

double Reflectivity::at(double x) const
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const Part &p = part[i];
        sum += p.weight * p.at((x + chi0r) / p.g);
    }
    return sum;
}

double Reflectivity::mean(double x0, double x1) const
{
    if (!(x1 > x0))
        return at(x0);
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const Part &p = part[i];
        const double u0 = (x0 + chi0r) / p.g;
        const double u1 = (x1 + chi0r) / p.g;
        double integral = 0.0;
        if (u0 < -kCore)
            integral += p.tailIntegral(u0, std::min(u1, -kCore));
        if (u1 > kCore)
            integral += p.tailIntegral(std::max(u0, kCore), u1);
        const double a = std::max(u0, -kCore);
        const double b = std::min(u1, kCore);
        if (b > a) {
            const int n = std::max(1, int(std::ceil((b - a) / kCoreStep)));
            const double h = (b - a) / n;
            double s = 0.0;
            for (int j = 0; j < n; ++j)
                s += p.at(a + (j + 0.5) * h);
            integral += s * h;
        }
        sum += p.weight * integral / (u1 - u0);
    }
    return sum;
}

void Reflectivity::means(double x0, double step, int n, double *out) const
{
    std::fill(out, out + n, 0.0);
    for (int i = 0; i < count; ++i) {
        const Part &p = part[i];
        const double du = step / p.g;
        const double from = (x0 + chi0r) / p.g;
        const double kappa2 = p.kappa * p.kappa;
        for (int j = 0; j < n; ++j) {
            const double u0 = from + j * du;
            const double u1 = u0 + du;
            double mean = 0.0;
            if (u1 <= -kCore || u0 >= kCore) {
                // The tail's mean over [u0, u1], 1 / (u0 u1) for kappa = 0, within
                // (kappa du / u^2)^2 otherwise.
                mean = p.ratio / (4.0 * (u0 * u1 + kappa2));
            } else {
                double integral = 0.0;
                if (u0 < -kCore)
                    integral += p.tailIntegral(u0, -kCore);
                if (u1 > kCore)
                    integral += p.tailIntegral(kCore, u1);
                const double a = std::max(u0, -kCore);
                const double b = std::min(u1, kCore);
                const int m = std::max(1, int(std::ceil((b - a) / kCoreStep)));
                const double h = (b - a) / m;
                double s = 0.0;
                for (int k = 0; k < m; ++k)
                    s += p.at(a + (k + 0.5) * h);
                mean = (integral + s * h) / du;
            }
            out[j] += p.weight * mean;
        }
    }
}

double Reflectivity::integral() const
{
    const Nodes &nodes = curveNodes();
    const double far = std::numeric_limits<double>::infinity();
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const Part &p = part[i];
        double s = p.tailIntegral(-far, -nodes.end) + p.tailIntegral(nodes.end, far);
        for (size_t j = 0; j < nodes.u.size(); ++j)
            s += nodes.w[j] * p.at(nodes.u[j]);
        sum += p.weight * p.g * s;
    }
    return sum;
}

double Reflectivity::widest() const
{
    double g = 0.0;
    for (int i = 0; i < count; ++i)
        g = std::max(g, part[i].g);
    return g;
}

double Reflectivity::narrowest() const
{
    double g = part[0].g;
    for (int i = 1; i < count; ++i)
        g = std::min(g, part[i].g);
    return g;
}

double reflectivity(const Factors &f, Polarisation p, double dTheta)
{
    const std::optional<Reflectivity> r = Reflectivity::of(f, p);
    if (!r)
        return 0.0;
    const double sB = std::sin(f.theta);
    return r->at(2.0 * sB * (std::sin(f.theta + dTheta) - sB));
}

namespace {

// The rocking curve; when `known` holds the sigma and pi curves, its integrals are theirs mixed
// (integrals add) instead of being made again.
std::optional<Curve> curve(const Factors &f, Polarisation p, const Band *known)
{
    const std::optional<Reflectivity> reflectivity = Reflectivity::of(f, p);
    const double sB = std::sin(f.theta);
    if (!reflectivity || !(sB > 0 && sB <= 1) || !(f.spacing > 0))
        return std::nullopt;
    const Reflectivity &r = *reflectivity;
    const auto at = [&r](double x) { return r.at(x); };

    const Peak top = findPeak(at, r.middle(), r.widest(), r.narrowest());
    if (!(top.value > 0) || !std::isfinite(top.value))
        return std::nullopt;
    const auto half = halfPoints(at, top.x, 0.5 * top.value, r.narrowest());
    if (!half)
        return std::nullopt;
    const double x1 = half->first;
    const double x2 = half->second;

    Curve c;
    c.peak = top.value;
    // Energy: at the fixed angle, x = 2 sB(E) (sB - sB(E)) for the Bragg sine sB(E) of E.
    const auto energy = [&](double x) {
        const double root = std::sqrt(sB * sB - 2.0 * x);
        return Bragg::hc / (f.spacing * (sB + root));
    };
    c.low = energy(x1);
    c.high = energy(x2);

    // Angle: at the fixed energy, sin theta = sB + x / (2 sB), which cannot exceed 1.
    const auto sine = [&](double x) { return sB + x / (2.0 * sB); };
    const double halfPi = 0.5 * kPi;
    if (sine(top.x) <= 1.0 && sine(x2) <= 1.0) {
        const double t1 = std::asin(sine(x1));
        const double t2 = std::asin(sine(x2));
        c.fwhm = t2 - t1;
        c.centre = 0.5 * (t1 + t2) - f.theta;
    } else if (sine(top.x) <= 1.0) {
        // Above half up to 90 degrees: the curve folds over onto the other side.
        c.fwhm = kPi - 2.0 * std::asin(sine(x1));
        c.centre = halfPi - f.theta;
    } else {
        // The peak lies beyond 90 degrees: the rocking curve peaks at 90 degrees.
        const double x90 = 2.0 * sB * (1.0 - sB);
        const double half90 = 0.5 * r.at(x90);
        const auto left = belowHalf(at, x90, -1.0, half90, r.narrowest());
        if (!left)
            return std::nullopt;
        const double x = halfCrossing(at, left->first, left->second, half90);
        c.fwhm = kPi - 2.0 * std::asin(sine(x));
        c.centre = halfPi - f.theta;
    }

    // Integrals over the reduced deviation, with the Jacobians of angle and energy.
    if (known) {
        const double ws = p.sigmaWeight();
        const double wp = p.piWeight();
        c.integrated
            = ws * known->sigma.integrated + (known->pi ? wp * known->pi->integrated : 0.0);
        c.integratedEnergy = ws * known->sigma.integratedEnergy
                             + (known->pi ? wp * known->pi->integratedEnergy : 0.0);
    }
    const Nodes &nodes = curveNodes();
    for (int i = 0; i < (known ? 0 : r.partCount()); ++i) {
        const Reflectivity::Part &part = r.parts()[i];
        const auto add = [&](double u, double weightedR) {
            const double x = u * part.g + r.middle();
            const double s = sine(x);
            if (s > 0.0 && s < 1.0)
                c.integrated += weightedR * part.g / (2.0 * sB * std::sqrt(1.0 - s * s));
            const double disc = sB * sB - 2.0 * x;
            if (disc > 0.0) {
                const double sE = 0.5 * (sB + std::sqrt(disc));
                c.integratedEnergy += weightedR * part.g * Bragg::hc / (f.spacing * 2.0 * sE)
                                      / (2.0 * sE * std::sqrt(disc));
            }
        };
        for (size_t j = 0; j < nodes.u.size(); ++j)
            add(nodes.u[j], part.weight * nodes.w[j] * part.at(nodes.u[j]));
        const double far = std::numeric_limits<double>::infinity();
        add(nodes.end, part.weight * part.tailIntegral(nodes.end, far));
        add(-nodes.end, part.weight * part.tailIntegral(-far, -nodes.end));
    }
    if (!std::isfinite(c.fwhm) || !std::isfinite(c.centre) || !std::isfinite(c.low)
        || !std::isfinite(c.high) || !std::isfinite(c.integrated)
        || !std::isfinite(c.integratedEnergy))
        return std::nullopt;
    return c;
}

} // namespace

std::optional<Curve> rockingCurve(const Factors &f, Polarisation p)
{
    return curve(f, p, nullptr);
}

std::optional<Curve> rockingCurve(const Factors &f, Polarisation p, const Band &known)
{
    return curve(f, p, &known);
}

std::optional<Band> band(const Factors &f)
{
    const std::optional<Curve> sigma = rockingCurve(f, Polarisation::sigma());
    if (!sigma)
        return std::nullopt;
    Band b;
    b.sigma = *sigma;
    b.pi = rockingCurve(f, Polarisation::pi());
    b.shift = 0.5 * (sigma->low + sigma->high) - f.energy;
    return b;
}

QVector<Harmonic> harmonics(
    const QString &material, const Miller &hkl, double spacing, double energyEv, Polarisation p)
{
    QVector<Harmonic> list;
    const int largest = std::max({std::abs(hkl.h), std::abs(hkl.k), std::abs(hkl.l)});
    if (!(energyEv > 0) || largest == 0)
        return list;
    for (int n = 2; n * energyEv <= harmonicEnergyLimit && n * largest <= maxIndex; ++n) {
        const Miller m{n * hkl.h, n * hkl.k, n * hkl.l};
        if (checkReflection(material, m.h, m.k, m.l).status != Status::Allowed)
            continue;
        const Result<Factors> f = factors(material, m, spacing / n, n * energyEv);
        if (!f.ok())
            continue;
        if (const std::optional<Curve> c = rockingCurve(*f.value, p))
            list.append(Harmonic{n, m, n * energyEv, *c});
    }
    return list;
}

} // namespace Reflection
