#include "shapes.h"

#include "chcoord.h"
#include "pixelline.h"
#include "pointdiscs.h"

#include <QPainter>

#include <cmath>

namespace {

// Screen positions beyond this many pixels are not drawn: they cannot be on any screen, and
// it keeps truncation to int and the rasteriser's own integer arithmetic (line deltas) safe.
constexpr double kPixelLimit = 1e9;

bool drawable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kPixelLimit;
}

// Truncates toward zero, only for a finite value within the pixel limit.
bool toPixel(double v, int &out)
{
    if (!drawable(v))
        return false;
    out = static_cast<int>(v);
    return true;
}

bool toPixels(ChCoord *cc, double x, double y, int &sx, int &sy)
{
    return toPixel(cc->toScreenX(x), sx) && toPixel(cc->toScreenY(y), sy);
}

void drawPoint(QPainter *p, ChCoord *cc, const Point &pt, bool selected)
{
    fillPointDisc(p, cc->toScreenX(pt.x), cc->toScreenY(pt.y), selected);
}

// The dashed full line of any ray form, clipped to bb.
void drawFullLine(QPainter *p, ChCoord *cc, const Box &bb, const Ray &r, bool selected)
{
    Point l[2];
    if (bb.edgeCrossingEnds(r, false, l) < 2)
        return;
    int x0, y0, x1, y1;
    if (!toPixels(cc, l[0].x, l[0].y, x0, y0) || !toPixels(cc, l[1].x, l[1].y, x1, y1))
        return;
    const QPen saved = p->pen();
    QPen pen = saved;
    pen.setWidth(selected ? 3 : 1);
    pen.setDashPattern({3, 3});
    p->setPen(pen);
    drawPixelLine(p, x0, y0, x1, y1);
    p->setPen(saved);
}

void drawHalfLine(
    QPainter *p, ChCoord *cc, const Box &bb, const HRay &h, bool selected, bool drawExt)
{
    if (drawExt)
        drawFullLine(p, cc, bb, h, selected);
    Point l[2];
    if (bb.edgeCrossingEnds(h, true, l) < 2)
        return;
    int x0, y0, x1, y1;
    if (!toPixels(cc, l[0].x, l[0].y, x0, y0) || !toPixels(cc, l[1].x, l[1].y, x1, y1))
        return;
    const QPen saved = p->pen();
    QPen pen = saved;
    pen.setWidth(selected ? 3 : 1);
    p->setPen(pen);
    drawPixelLine(p, x0, y0, x1, y1);
    p->setPen(saved);
}

void drawSegment(
    QPainter *p, ChCoord *cc, const Box &bb, const Line &l, bool selected, bool drawExt)
{
    const QPen saved = p->pen();
    QPen pen = saved;
    if (selected)
        pen.setWidthF(saved.widthF() * 2.0);
    p->setPen(pen);
    if (drawExt)
        drawFullLine(p, cc, bb, l, selected);
    const Point e = l.end();
    int x0, y0, x1, y1;
    if (toPixels(cc, l.Point::x, l.Point::y, x0, y0) && toPixels(cc, e.x, e.y, x1, y1)) {
        drawPixelLine(p, x0, y0, x1, y1);
        fillPointDisc(p, cc->toScreenX(e.x), cc->toScreenY(e.y), false);
        fillPointDisc(p, cc->toScreenX(l.Point::x), cc->toScreenY(l.Point::y), false);
    }
    p->setPen(saved);
}

void drawPointList(QPainter *p, ChCoord *cc, const Box &bb, const Points &list, bool selected)
{
    const QPen saved = p->pen();
    for (const Point &pt : list.points) {
        drawPoint(p, cc, pt, selected);
        if (list.showLabels) {
            const double sx = cc->toScreenX(pt.x);
            const double sy = cc->toScreenY(pt.y);
            if (drawable(sx) && drawable(sy))
                list.labels.drawText(p,
                                     QRectF(sx, sy, 200, 20),
                                     QFont(),
                                     Qt::AlignLeft | Qt::AlignVCenter,
                                     1,
                                     pt.label,
                                     10);
        }
    }
    if (list.connect) {
        if (list.ownPen)
            p->setPen(list.pen.pen);
        for (int i = 0; i + 1 < list.points.size(); ++i)
            drawSegment(p, cc, bb, Line(list.points[i], list.points[i + 1]), selected, list.extend);
    }
    p->setPen(saved);
}

} // namespace

void drawShape(QPainter *p, ChCoord *cc, const Box &bb, const Shape &s, bool selected, bool drawExt)
{
    switch (s.type) {
    case Shape::PenType:
        p->setPen(static_cast<const Pen &>(s).pen);
        return;
    case Shape::PointType:
        drawPoint(p, cc, static_cast<const Point &>(s), selected);
        return;
    case Shape::PointsType:
        drawPointList(p, cc, bb, static_cast<const Points &>(s), selected);
        return;
    case Shape::RayType: {
        const auto &r = static_cast<const Ray &>(s);
        if (r.form == Ray::LineForm)
            drawSegment(p, cc, bb, static_cast<const Line &>(r), selected, drawExt);
        else if (r.form == Ray::HRayForm)
            drawHalfLine(p, cc, bb, static_cast<const HRay &>(r), selected, drawExt);
        else
            drawFullLine(p, cc, bb, r, selected);
        return;
    }
    case Shape::PolygonType:
    case Shape::BoxType:
        return;
    }
}

// ---------------------------------------------------------------- Pen

Pen::Pen() : Pen(Qt::black, 1, {}) {}

Pen::Pen(const QColor &color, int width, const QVector<double> &dash) : Shape(PenType)
{
    pen.setColor(color);
    pen.setWidth(width);
    pen.setDashPattern(dash);
}

bool Pen::hasPosition() const
{
    return false;
}

Point Pen::center() const
{
    return Point();
}

double Pen::radius() const
{
    return 0.0;
}

double Pen::distance(const Point &) const
{
    return -1.0;
}

// ---------------------------------------------------------------- Points

Points::Points() : Shape(PointsType) {}

Points::Points(const Points &o)
    : Shape(o), PointList(o), connect(o.connect), extend(o.extend), ownPen(o.ownPen), pen(o.pen),
      showLabels(o.showLabels)
{}

Points &Points::operator=(const Points &o)
{
    Shape::operator=(o);
    PointList::operator=(o);
    connect = o.connect;
    extend = o.extend;
    ownPen = o.ownPen;
    pen = o.pen;
    showLabels = o.showLabels;
    return *this;
}

Point Points::center() const
{
    return PointList::center();
}

double Points::radius() const
{
    return 0.0;
}

double Points::distance(const Point &q) const
{
    return center().distance(q);
}
