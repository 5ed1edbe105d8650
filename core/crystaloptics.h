#pragma once

#include "geometry.h"

#include <QString>

#include <optional>

// The fields of a crystal row, in file order.
enum class CrystalField { X, Y, Deg, Energy, Length, InBeamC, BeamW };

// The seven texts of a crystal row, exactly as the row shows them (leading blanks included).
struct CrystalTexts
{
    QString &operator[](CrystalField field);
    const QString &operator[](CrystalField field) const;
    bool operator==(const CrystalTexts &o) const
    {
        return x == o.x && y == o.y && deg == o.deg && energy == o.energy && length == o.length
               && inBeamC == o.inBeamC && beamW == o.beamW;
    }

    QString x;       // "Pos. X", centre x
    QString y;       // "Pos. Y", centre y
    QString deg;     // "Angle [deg]"
    QString energy;  // "Energy[eV]"
    QString length;  // "Length"
    QString inBeamC; // "In Beam C.", middle height of the intercepted band
    QString beamW;   // "Beam W.", signed height of that band
};

// The optics of one flat analyser crystal: its reflecting surface and the three edges of the
// incident beam it intercepts and of the beam it reflects.
// The incident beam travels along +x, so the incident rays point back at 180 degrees and the
// reflected ones leave at twice the surface angle. Every operation leaves the rays consistent
// with `surface`; nothing here knows about widgets or emits anything.
class CrystalOptics
{
public:
    // Angle 0, centre (0, 0), length 10: what a fresh crystal row shows before it is placed.
    CrystalOptics();
    // Angle in degrees, (x, y) the centre.
    CrystalOptics(double angle, double x, double y, double length);

    // Sets the surface from centre, angle and (signed) length, rebuilds the rays. A negative length
    // keeps the start where a positive one would have its end.
    void place(double angle, double x, double y, double length);
    // Start point P := p, angle and length kept.
    void moveStart(const Point &p);
    // Rebuilds the six rays from `surface`.
    void computeRays();

    // The four edits of a crystal row.
    // Centre to (x, y), angle and length kept.
    void moveCentreTo(double x, double y);
    // Turns about the start point P.
    void turnTo(double angleDeg);
    // The Bragg angle of the energy for this spacing (-1 degree without reflection), about P.
    void turnToEnergy(double energyEv, double spacing);
    // New length about the centre; a negative length is kept negative.
    void changeLength(double length);

    // Turns the start point about the origin and the surface by the same angle.
    void rotateAboutOrigin(double deg);

    // Centre (x, y), angle in degrees and signed length all at once, as a design file stores them;
    // a negative length keeps its sign and the centre stays at (x, y).
    void standAt(double angleDeg, double x, double y, double length);

    Point startPoint() const;
    Point endPoint() const;
    // P + (L/2)(cos, sin): the centre the row shows and the beams start from.
    Point centre() const;
    double angleDeg() const { return surface.deg; }
    double energyEv(double spacing) const;
    double inBeamCentre() const;
    double beamWidth() const;

    // The row's texts for the given lattice spacing.
    CrystalTexts texts(double spacing) const;

    Line surface;
    HRay inEdgeStart;
    HRay inCentre;
    HRay inEdgeEnd;
    HRay outEdgeStart;
    HRay outCentre;
    HRay outEdgeEnd;
};

// The angle that a crystal read back from a design file takes when its stored angle and energy
// agree: an angle that shows as the stored angle ("%11.6f") and whose energy shows as the stored
// energy ("%10.4f"), preferring the Bragg angle of the stored energy on the branch nearest the
// stored angle (asin, 180 degrees minus it, plus whole turns), so beyond +-90 degrees too. None
// when no angle shows as both, that is when the energy was edited by hand.
std::optional<double> storedAngle(double storedDeg, double storedEnergy, double spacing);
