#include "crystaloptics.h"

#include "bragg.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

// Directions and rotations use the full pi; only the energy/angle relation uses Bragg::pi.
constexpr double kPi = 3.141592653589793;

// The formats of the row's "Angle [deg]" and "Energy[eV]".
QString angleText(double deg)
{
    return QString::asprintf("%11.6f", deg);
}

QString energyText(double energy)
{
    return QString::asprintf("%10.4f", energy);
}

} // namespace

QString &CrystalTexts::operator[](CrystalField field)
{
    switch (field) {
    case CrystalField::X:
        return x;
    case CrystalField::Y:
        return y;
    case CrystalField::Deg:
        return deg;
    case CrystalField::Energy:
        return energy;
    case CrystalField::Length:
        return length;
    case CrystalField::InBeamC:
        return inBeamC;
    case CrystalField::BeamW:
        break;
    }
    return beamW;
}

const QString &CrystalTexts::operator[](CrystalField field) const
{
    return const_cast<CrystalTexts &>(*this)[field];
}

CrystalOptics::CrystalOptics() : CrystalOptics(0.0, 0.0, 0.0, 10.0) {}

CrystalOptics::CrystalOptics(double angle, double x, double y, double length)
{
    place(angle, x, y, length);
}

void CrystalOptics::place(double angle, double x, double y, double length)
{
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

void CrystalOptics::standAt(double angleDeg, double x, double y, double length)
{
    surface.setAngle(angleDeg);
    surface.length = length;
    moveCentreTo(x, y);
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
    t.deg = angleText(surface.deg);
    t.energy = energyText(energyEv(spacing));
    t.length = QString::asprintf("%10.5f", surface.length);
    t.inBeamC = QString::asprintf("%11.5f", inBeamCentre());
    t.beamW = QString::asprintf("%11.5f", beamWidth());
    return t;
}

std::optional<double> storedAngle(double storedDeg, double storedEnergy, double spacing)
{
    const QString wantDeg = angleText(storedDeg);
    const QString wantEnergy = energyText(storedEnergy);
    const auto showsBoth = [&](double deg) {
        return angleText(deg) == wantDeg && energyText(Bragg::energyEv(deg, spacing)) == wantEnergy;
    };

    QVector<double> candidates;
    // The energy relation takes the sine of deg / 180 * Bragg::pi; its solutions are asin(s) and
    // pi - asin(s) plus whole turns of that argument.
    const double s = (Bragg::hc / storedEnergy) / (spacing + spacing);
    if (std::abs(s) <= 1.0) {
        const double arg = storedDeg / 180.0 * Bragg::pi;
        double best = 0.0;
        double bestDistance = HUGE_VAL;
        for (const double base : {std::asin(s), kPi - std::asin(s)}) {
            const double turns = std::round((arg - base) / (2.0 * kPi));
            const double deg = (base + turns * 2.0 * kPi) / Bragg::pi * 180.0;
            if (std::abs(deg - storedDeg) < bestDistance) {
                bestDistance = std::abs(deg - storedDeg);
                best = deg;
            }
        }
        candidates << best;
        // Where the energy pins the angle more finely than its six decimals, the nearest angle
        // that still shows as the stored one, just inside its rounding interval.
        const double half = 0.5e-6 - 1e-12;
        candidates << std::clamp(best, storedDeg - half, storedDeg + half);
    }
    // Near 90 degrees the energy hardly changes with the angle: the stored angle itself.
    candidates << storedDeg;

    for (const double deg : qAsConst(candidates)) {
        if (showsBoth(deg))
            return deg;
    }
    return std::nullopt;
}
