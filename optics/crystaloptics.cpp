#include "crystaloptics.h"

#include "bragg.h"

#include <cmath>

namespace {

// Directions and rotations use the full pi; only the energy/angle relation uses Bragg::pi.
constexpr double kPi = 3.141592653589793;

} // namespace

CrystalOptics::CrystalOptics() : CrystalOptics(0.0, 0.0, 0.0, 10.0) {}

CrystalOptics::CrystalOptics(double angle, double x, double y, double length)
{
    place(angle, x, y, length);
}

void CrystalOptics::place(double angle, double x, double y, double length)
{
    crystalPen = Pen(QColor(128, 0, 192), 5, {});
    inPen = Pen(QColor(200, 200, 0), 1, {});
    outPen = Pen(QColor(255, 0, 0), 1, {});

    const Dir d(angle);
    const double half = length / 2.0;
    surface = Line(Point(x - half * d.x, y - half * d.y), d, std::fabs(length));
    computeRays();
}

void CrystalOptics::moveStart(const Point &p)
{
    surface.setStart(p);
    computeRays();
}

void CrystalOptics::computeRays()
{
    const Point m = centre();
    const Point e = endPoint();
    const Point p = startPoint();

    inCentre = HRay(m, Dir(180.0));
    inEdgeStart = inCentre;
    inEdgeStart.setStart(p);
    inEdgeEnd = inCentre;
    inEdgeEnd.setStart(e);

    outCentre = HRay(m, Dir(2.0 * surface.deg));
    outEdgeStart = outCentre;
    outEdgeStart.setStart(p);
    outEdgeEnd = outCentre;
    outEdgeEnd.setStart(e);
}

void CrystalOptics::moveCentreTo(double x, double y)
{
    const double half = surface.length / 2.0;
    surface.setStart(x - half * surface.Dir::x, y - half * surface.Dir::y);
    computeRays();
}

void CrystalOptics::turnTo(double angleDeg)
{
    surface.setAngle(angleDeg);
    computeRays();
}

void CrystalOptics::turnToEnergy(double energyEv, double spacing)
{
    turnTo(Bragg::angleDeg(energyEv, spacing));
}

void CrystalOptics::changeLength(double length)
{
    const double shift = (surface.length - length) / 2.0;
    surface.setStart(surface.Point::x + shift * surface.Dir::x,
                     surface.Point::y + shift * surface.Dir::y);
    surface.length = length;
    computeRays();
}

void CrystalOptics::rotateAboutOrigin(double deg)
{
    const double r = deg / 180.0 * kPi;
    const double c = std::cos(r);
    const double s = std::sin(r);
    const double px = surface.Point::x;
    const double py = surface.Point::y;
    surface.setStart(px * c - py * s, px * s + py * c);
    computeRays();
    surface.setAngle(surface.deg + deg);
    computeRays();
}

Point CrystalOptics::startPoint() const
{
    return Point(surface.Point::x, surface.Point::y);
}

Point CrystalOptics::endPoint() const
{
    return Point(surface.Point::x + surface.length * surface.Dir::x,
                 surface.Point::y + surface.length * surface.Dir::y);
}

Point CrystalOptics::centre() const
{
    const double half = surface.length / 2.0;
    return Point(surface.Point::x + half * surface.Dir::x,
                 surface.Point::y + half * surface.Dir::y);
}

double CrystalOptics::energyEv(double spacing) const
{
    return Bragg::energyEv(surface.deg, spacing);
}

double CrystalOptics::inBeamCentre() const
{
    return (surface.Point::y + endPoint().y) / 2.0;
}

double CrystalOptics::beamWidth() const
{
    return endPoint().y - surface.Point::y;
}

CrystalTexts CrystalOptics::texts(double spacing) const
{
    const Point m = centre();
    CrystalTexts t;
    t.x = QString::asprintf("%11.5f", m.x);
    t.y = QString::asprintf("%11.5f", m.y);
    t.deg = QString::asprintf("%11.6f", surface.deg);
    t.energy = QString::asprintf("%10.4f", energyEv(spacing));
    t.length = QString::asprintf("%10.5f", surface.length);
    t.inBeamC = QString::asprintf("%11.5f", inBeamCentre());
    t.beamW = QString::asprintf("%11.5f", beamWidth());
    return t;
}
