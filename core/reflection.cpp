#include "reflection.h"

#include "bragg.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Reflection {

namespace {

constexpr double kPi = 3.141592653589793;

// The rocking curve in the reduced deviation u: eta = (u + i kappa) |g| / g, where
// g = P sqrt(chi_h chi_-h), u |g| = dTheta sin 2theta + Re chi_0 and kappa = Im chi_0 / |g|.
// The total-reflection plateau of a crystal without absorption is -1 <= u <= 1.
struct Reduced
{
    std::complex<double> phase; // |g| / g
    double kappa = 0;
    double ratio = 1; // |chi_h / chi_-h|: 1 for a crystal of one element
    double g = 0;     // |g|
    double sin2 = 0;  // sin 2theta
    double chi0r = 0; // Re chi_0

    double at(double u) const
    {
        const std::complex<double> eta = std::complex<double>(u, kappa) * phase;
        const std::complex<double> root = std::sqrt(eta * eta - 1.0);
        // Of the two roots eta -+ sqrt(eta^2 - 1), whose product is 1, the thick crystal
        // reflects the smaller: 1 / the larger, which keeps its digits far out on the tails.
        const std::complex<double> plus = eta + root;
        const std::complex<double> minus = eta - root;
        const double larger = std::max(std::norm(plus), std::norm(minus));
        return ratio / larger;
    }
    double toU(double dTheta) const { return (dTheta * sin2 + chi0r) / g; }
    double toAngle(double u) const { return (u * g - chi0r) / sin2; }
};

std::optional<Reduced> reduce(const Factors &f, double polarisation)
{
    Reduced r;
    const std::complex<double> g = polarisation * std::sqrt(f.chih * f.chihbar);
    r.g = std::abs(g);
    r.sin2 = std::sin(2.0 * f.theta);
    if (!(r.g > 0) || !std::isfinite(r.g) || !(r.sin2 > 0) || !std::isfinite(r.sin2))
        return std::nullopt;
    r.phase = r.g / g;
    r.kappa = f.chi0.imag() / r.g;
    r.ratio = std::abs(f.chih) / std::abs(f.chihbar);
    r.chi0r = f.chi0.real();
    if (!std::isfinite(r.kappa) || !std::isfinite(r.ratio) || !std::isfinite(r.chi0r)
        || !std::isfinite(r.phase.real()) || !std::isfinite(r.phase.imag()))
        return std::nullopt;
    return r;
}

// The half-peak crossing between `inside` (at or above half) and `outside` (below it), where
// the curve falls monotonically: regula falsi with the Illinois step, a few evaluations where
// bisection needs thirty.
double halfCrossing(const Reduced &r, double inside, double outside, double half)
{
    double a = inside, b = outside;
    double fa = r.at(a) - half, fb = r.at(b) - half;
    int kept = 0; // +1: a was kept last time, -1: b
    double c = 0.5 * (a + b);
    for (int i = 0; i < 60; ++i) {
        c = (a * fb - b * fa) / (fb - fa);
        if (!(c > std::min(a, b) && c < std::max(a, b)))
            c = 0.5 * (a + b);
        const double fc = r.at(c) - half;
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
        if (std::fabs(b - a) < 1e-10 || std::fabs(fc) < 1e-13)
            break;
    }
    return c;
}

// Steps outward from the peak until the curve is below half: by the coarse grid's step, then
// by doubling distances (a strongly absorbing crystal has low, wide wings). The last point at
// or above half and the first below it.
std::optional<std::pair<double, double>>
belowHalf(const Reduced &r, double from, double direction, double half)
{
    double inside = from;
    double step = 0.5;
    for (int i = 0; i < 60; ++i) {
        const double u = from + direction * step;
        if (!std::isfinite(u))
            return std::nullopt;
        if (r.at(u) < half)
            return std::make_pair(inside, u);
        inside = u;
        step = i < 12 ? step + 0.5 : step * 2.0;
    }
    return std::nullopt;
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
    const Result<XrayData::Cell> cell = XrayData::cell(material);
    if (!cell.ok())
        return R::fail(cell.error);

    // sin theta / lambda = 1 / 2d.
    const double s = 1.0 / (2.0 * spacing);
    const double debye = std::exp(-*b * s * s);
    const auto f0 = XrayData::structureFactor(material, energyEv, 0, 0, 0, 1.0);
    const auto fh = XrayData::structureFactor(material, energyEv, hkl.h, hkl.k, hkl.l, debye);
    const auto fhbar = XrayData::structureFactor(material, energyEv, -hkl.h, -hkl.k, -hkl.l, debye);
    for (const auto *r : {&f0, &fh, &fhbar}) {
        if (!r->ok())
            return R::fail(r->error);
    }

    Factors f;
    f.f0 = *f0.value;
    f.fh = *fh.value;
    f.fhbar = *fhbar.value;
    const double gamma = electronRadius * lambda * lambda / (kPi * cell.value->volume);
    f.chi0 = -gamma * f.f0;
    f.chih = -gamma * f.fh;
    f.chihbar = -gamma * f.fhbar;
    f.theta = std::asin(sinTheta);
    return R{f, QString()};
}

double reflectivity(const Factors &f, double polarisation, double dTheta)
{
    const std::optional<Reduced> r = reduce(f, polarisation);
    if (!r)
        return 0.0;
    return r->at(r->toU(dTheta));
}

std::optional<Curve> rockingCurve(const Factors &f, double polarisation)
{
    const std::optional<Reduced> reduced = reduce(f, polarisation);
    if (!reduced)
        return std::nullopt;
    const Reduced &r = *reduced;

    // The curve has one peak, within a few plateau half-widths of u = 0: a coarse grid
    // brackets it, a golden-section search finds it.
    constexpr int kGrid = 13;
    constexpr double kStep = 1.0;
    constexpr double kFrom = -6.0;
    int best = 0;
    double bestR = -1;
    for (int i = 0; i < kGrid; ++i) {
        const double v = r.at(kFrom + i * kStep);
        if (v > bestR) {
            bestR = v;
            best = i;
        }
    }
    double lo = kFrom + std::max(best - 1, 0) * kStep;
    double hi = kFrom + std::min(best + 1, kGrid - 1) * kStep;
    constexpr double kGolden = 0.6180339887498949;
    double x1 = hi - kGolden * (hi - lo);
    double x2 = lo + kGolden * (hi - lo);
    double r1 = r.at(x1);
    double r2 = r.at(x2);
    for (int i = 0; i < 28; ++i) {
        if (r1 < r2) {
            lo = x1;
            x1 = x2;
            r1 = r2;
            x2 = lo + kGolden * (hi - lo);
            r2 = r.at(x2);
        } else {
            hi = x2;
            x2 = x1;
            r2 = r1;
            x1 = hi - kGolden * (hi - lo);
            r1 = r.at(x1);
        }
    }
    double top = 0.5 * (lo + hi);
    double peak = r.at(top);
    if (bestR > peak) {
        top = kFrom + best * kStep;
        peak = bestR;
    }
    if (!(peak > 0) || !std::isfinite(peak))
        return std::nullopt;

    const double half = 0.5 * peak;
    const auto left = belowHalf(r, top, -1.0, half);
    const auto right = belowHalf(r, top, 1.0, half);
    if (!left || !right)
        return std::nullopt;
    const double uLeft = halfCrossing(r, left->first, left->second, half);
    const double uRight = halfCrossing(r, right->first, right->second, half);

    Curve c;
    c.fwhm = (uRight - uLeft) * r.g / r.sin2;
    c.centre = r.toAngle(0.5 * (uLeft + uRight));
    c.peak = peak;
    if (!std::isfinite(c.fwhm) || !std::isfinite(c.centre))
        return std::nullopt;
    return c;
}

double energyWidth(double energyEv, double theta, double dTheta)
{
    return energyEv * dTheta / std::tan(theta);
}

std::optional<Band> band(const Factors &f, double energyEv)
{
    const std::optional<Curve> sigma = rockingCurve(f, 1.0);
    if (!sigma)
        return std::nullopt;
    Band b;
    b.fwhmSigma = sigma->fwhm;
    if (const std::optional<Curve> pi = rockingCurve(f, std::fabs(std::cos(2.0 * f.theta))))
        b.fwhmPi = pi->fwhm;
    b.shift = energyWidth(energyEv, f.theta, sigma->centre);
    const double half = 0.5 * energyWidth(energyEv, f.theta, sigma->fwhm);
    b.low = energyEv + b.shift - half;
    b.high = energyEv + b.shift + half;
    if (!std::isfinite(b.low) || !std::isfinite(b.high))
        return std::nullopt;
    return b;
}

} // namespace Reflection
