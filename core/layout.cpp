#include "layout.h"

#include "bragg.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

struct Energies
{
    double e0;
    double de;
    double spacing;
    // theta_i of crystal i
    double angle(int i) const { return braggAngle(i * de + e0, spacing); }
};

// sin of a generated angle; the no-reflection angle has its fixed sine.
double sinDeg(double deg)
{
    if (deg == Bragg::noReflectionDeg)
        return Bragg::noReflectionSin;
    return std::sin(deg / 180.0 * kPi);
}

// Types 1 and 2: every crystal starts where the previous one ends.
void touching(const LayoutParams &p,
              const Energies &en,
              bool fullWidth,
              QVector<CrystalOptics> &out)
{
    const int n = boundedCount(p.count);
    for (int i = 0; i == 0 || i < n; ++i) {
        const double theta = en.angle(i);
        const double length = fullWidth ? p.dy / sinDeg(theta) : p.length;
        CrystalOptics c(theta, 0.0, 0.0, length);
        if (i > 0)
            c.moveStart(out.last().endPoint());
        out.append(c);
    }
}

// Types 3 and 4: centre heights i dY, shifted along x against the previous reflected beam.
void stacked(const LayoutParams &p,
             const Energies &en,
             bool downstream,
             QVector<CrystalOptics> &out)
{
    const int n = boundedCount(p.count);
    out.append(CrystalOptics(en.angle(0), 0.0, 0.0, p.length));
    for (int i = 1; i < n; ++i) {
        CrystalOptics c(en.angle(i), 0.0, i * p.dy, p.length);
        const CrystalOptics &prev = out.last();
        Point x;
        if (downstream) {
            // Start point onto the downstream edge of the previous reflected beam.
            crossPoint(Ray(c.startPoint(), Dir(0.0)), prev.outEdgeEnd, x);
            c.moveStart(x);
        } else {
            // End point onto the upstream edge of the previous reflected beam.
            const Point e = c.endPoint();
            const Point s = c.startPoint();
            crossPoint(Ray(e, Dir(0.0)), prev.outEdgeStart, x);
            c.moveStart(Point(x.x + (s.x - e.x), x.y + (s.y - e.y)));
        }
        out.append(c);
    }
}

// Type 5: centres (i dX, i dY); crystals 2 and up aimed at the focus of the first two.
void fixedCentres(const LayoutParams &p, const Energies &en, QVector<CrystalOptics> &out)
{
    const int n = boundedCount(p.count);
    out.append(CrystalOptics(en.angle(0), 0.0, 0.0, p.length));
    out.append(CrystalOptics(en.angle(1), p.dx, p.dy, p.length));
    const Point f = focusOfFirstPair(out[0], out[1]);
    for (int i = 2; i < n; ++i) {
        const Point q(i * p.dx, i * p.dy);
        out.append(CrystalOptics(aimAngle(q, f), q.x, q.y, p.length));
    }
}

// (s u.x, s u.y) for the plane direction u.
Point along(const Dir &u, double s)
{
    return Point(s * u.x, s * u.y);
}

// Type 6: start points i dY along the plane of crystal 0.
void onPlane(const LayoutParams &p, const Energies &en, QVector<CrystalOptics> &out)
{
    const int n = boundedCount(p.count);
    const Dir u(en.angle(0));
    for (int i = 0; i < n; ++i) {
        CrystalOptics c(en.angle(i), 0.0, 0.0, p.length);
        c.moveStart(along(u, i * p.dy));
        out.append(c);
    }
}

// Type 7: as type 6, crystals 2 and up aimed at the focus from the middle of their slot.
void onPlaneAimed(const LayoutParams &p, const Energies &en, QVector<CrystalOptics> &out)
{
    const int n = boundedCount(p.count);
    const Dir u(en.angle(0));
    // Crystal 0 keeps its centre, not its start, at the origin.
    out.append(CrystalOptics(en.angle(0), 0.0, 0.0, p.length));
    CrystalOptics second(en.angle(1), 0.0, 0.0, p.length);
    second.moveStart(along(u, p.dy));
    out.append(second);
    const Point f = focusOfFirstPair(out[0], out[1]);
    for (int i = 2; i < n; ++i) {
        const Point q = along(u, (i + 0.5) * p.dy);
        CrystalOptics c(aimAngle(q, f), 0.0, 0.0, p.length);
        c.moveStart(along(u, i * p.dy));
        out.append(c);
    }
}

} // namespace

int boundedCount(int n)
{
    return std::min(n, kMaxCrystals);
}

double braggAngle(double energyEv, double spacing)
{
    return Bragg::angleDeg(energyEv, spacing);
}

Point focusOfFirstPair(const CrystalOptics &first, const CrystalOptics &second)
{
    Point f;
    crossPoint(first.outCentre, second.outCentre, f);
    return f;
}

double aimAngle(const Point &q, const Point &f)
{
    const double vx = f.x - q.x;
    const double vy = f.y - q.y;
    if (vx == 0.0 && vy == 0.0)
        return 0.0;
    const double phi = std::asin(vy / std::sqrt(vx * vx + vy * vy)) / kPi * 180.0;
    return std::fabs(phi) / 2.0;
}

QVector<CrystalOptics> layOut(const LayoutParams &params, double spacing)
{
    const Energies en{params.startEnergy, params.energyStep, spacing};
    QVector<CrystalOptics> out;
    switch (params.type) {
    case 2:
        touching(params, en, false, out);
        break;
    case 3:
        stacked(params, en, true, out);
        break;
    case 4:
        stacked(params, en, false, out);
        break;
    case 5:
        fixedCentres(params, en, out);
        break;
    case 6:
        onPlane(params, en, out);
        break;
    case 7:
        onPlaneAimed(params, en, out);
        break;
    default:
        touching(params, en, true, out);
        break;
    }
    return out;
}

double
laidOutEnergy(const LayoutParams &params, int i, const CrystalOptics &crystal, double spacing)
{
    // As Energies::angle computes it.
    const double e = i * params.energyStep + params.startEnergy;
    return braggAngle(e, spacing) == crystal.angleDeg() ? e : qQNaN();
}

void rotateAll(QVector<CrystalOptics> &crystals, double deg)
{
    for (CrystalOptics &c : crystals)
        c.rotateAboutOrigin(deg);
}
