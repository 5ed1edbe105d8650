#include "crystaldrawing.h"

CrystalDrawing::CrystalDrawing(const CrystalOptics &optics) : CrystalOptics(optics) {}

QColor crystalColour(int i, int n)
{
    const double t = (255.0 / n) * i;
    return QColor(static_cast<int>(t), static_cast<int>(255.0 - t), 0);
}

void colourCrystal(CrystalDrawing &crystal, int i, int n)
{
    const QColor colour = crystalColour(i, n);
    crystal.inPen.pen.setColor(colour);
    crystal.outPen.pen.setColor(colour);
}

void appendShapes(CrystalDrawing &crystal, QVector<Shape *> &shapes)
{
    shapes << &crystal.inPen << &crystal.inEdgeStart << &crystal.inCentre << &crystal.inEdgeEnd
           << &crystal.crystalPen << &crystal.surface << &crystal.outPen << &crystal.outEdgeStart
           << &crystal.outCentre << &crystal.outEdgeEnd;
}
