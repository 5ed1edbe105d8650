#pragma once

#include "crystaloptics.h"
#include "shapes.h"

#include <QColor>
#include <QVector>

// A crystal as the plots draw it: its optics and the pens of its incident beam, its surface and
// its reflected beam.
class CrystalDrawing : public CrystalOptics
{
public:
    CrystalDrawing() = default;
    explicit CrystalDrawing(const CrystalOptics &optics);

    Pen inPen{QColor(200, 200, 0), 1, {}};
    Pen outPen{QColor(255, 0, 0), 1, {}};
    Pen crystalPen{QColor(128, 0, 192), 5, {}};
};

// Colour of crystal i of n: green for the first, moving toward (but never reaching) red.
QColor crystalColour(int i, int n);

// Crystal i of n drawn in its colour: both beams take it, the surface keeps its own.
void colourCrystal(CrystalDrawing &crystal, int i, int n);

// Appends the crystal's ten drawable shapes in drawing order: incident pen and rays, crystal
// pen and surface, reflected pen and rays. The pointers borrow from the crystal.
void appendShapes(CrystalDrawing &crystal, QVector<Shape *> &shapes);
