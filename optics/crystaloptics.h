#pragma once

#include "shapes.h"

#include <QString>

// The seven texts of a crystal row, exactly as the row shows them (leading blanks included).
struct CrystalTexts
{
    QString x;       // "Pos. X", centre x
    QString y;       // "Pos. Y", centre y
    QString deg;     // "Angle [deg]"
    QString energy;  // "Energy[eV]"
    QString length;  // "Length"
    QString inBeamC; // "In Beam C.", middle height of the intercepted band
    QString beamW;   // "Beam W.", signed height of that band
};

// The optics of one flat analyser crystal: its reflecting surface, the three edges of the
// incident beam it intercepts and of the beam it reflects, and the pens that draw them.
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

    // Resets the pens, sets the surface from centre, angle and (signed) length, rebuilds the
    // rays. A negative length keeps the start where a positive one would have its end.
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
    Pen inPen;
    Pen outPen;
    Pen crystalPen;
};
