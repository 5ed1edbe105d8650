#pragma once

#include "drawtext.h"
#include "geometry.h"

#include <QColor>
#include <QPen>
#include <QString>
#include <QVector>

class QPainter;
class ChCoord;

// What the plots draw besides the geometry itself: the pen changes of a shape list and point
// lists drawn with their labels and connecting segments.

// Sets the painter's pen for the shapes drawn after it.
class Pen : public Shape
{
public:
    Pen(); // black, width 1, solid
    Pen(const QColor &color, int width, const QVector<double> &dash);

    bool hasPosition() const override;
    Point center() const override;
    double radius() const override;
    double distance(const Point &q) const override;

    QPen pen;
};

// A list of points drawn as discs, optionally labelled and joined by segments.
class Points : public Shape, public PointList
{
public:
    Points();
    // The label painter is stateless and a QObject, so copies get a fresh one.
    Points(const Points &o);
    Points &operator=(const Points &o);

    Point center() const override;
    double radius() const override;
    double distance(const Point &q) const override;

    bool connect = false; // segments between consecutive points
    bool extend = false;  // with their dashed extension
    bool ownPen = false;  // segments in `pen`
    Pen pen;
    DrawText labels;
    bool showLabels = false;
};

// Draws one shape through cc, clipped to bb where the kind clips: a point as a disc, a ray as its
// dashed full line, a half-ray as its visible part (after the dashed full line when drawExt), a
// segment with a disc at each end, a point list with its labels and segments, a pen by setting
// it; polygons draw nothing. selected draws the shape heavier. Nothing is drawn for a shape whose
// screen position is not finite or lies beyond +-1e9 pixels.
void drawShape(
    QPainter *p, ChCoord *cc, const Box &bb, const Shape &s, bool selected, bool drawExt);
