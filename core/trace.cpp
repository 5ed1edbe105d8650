#include "trace.h"

#include <cmath>

CrystalList crystalList(const QVector<CrystalOptics> &crystals)
{
    CrystalList list;
    list.reserve(crystals.size());
    for (const CrystalOptics &c : crystals)
        list.append(&c);
    return list;
}

Point surfaceCentre(const CrystalOptics &crystal)
{
    const Line &s = crystal.surface;
    const double x = s.Point::x;
    const double y = s.Point::y;
    return Point((x + (s.length * s.Dir::x + x)) * 0.5, (y + (s.length * s.Dir::y + y)) * 0.5);
}

void crossCentreRays(const CrystalList &crystals,
                     PointList &crossPoints,
                     PointList &centres,
                     PairCounts *counts)
{
    const int n = crystals.size();
    const qsizetype pairs = qsizetype(n) * (n - 1) / 2;

    // crossPoint's arithmetic for two half-rays, in its order, without what tracing does not use:
    // whether the crossing lies ahead of both starts, and a labelled point built per pair. The
    // tests hold the two to the same bits. The list keeps its storage from one tracing to the
    // next; every field of every point is written.
    QVector<Point> &out = crossPoints.points;
    // A list shared with a view of the last tracing is made anew rather than copied first.
    if (out.isDetached())
        out.resize(int(pairs));
    else
        out = QVector<Point>(int(pairs));
    Point *p = out.data();
    double sumX = 0.0;
    double sumY = 0.0;
    qint64 parallel = 0;
    qint64 behind = 0;
    for (int i = 0; i < n; ++i) {
        const HRay &a = crystals[i]->outCentre;
        const double ax = a.Point::x, ay = a.Point::y, dx = a.Dir::x, dy = a.Dir::y;
        for (int j = i + 1; j < n; ++j, ++p) {
            const HRay &b = crystals[j]->outCentre;
            const double bx = b.Point::x, by = b.Point::y, ex = b.Dir::x, ey = b.Dir::y;
            double cx = 0.0;
            double cy = 0.0;
            bool valid = false;
            if (ex != dx || ey != dy) {
                const double den = ex * dy - ey * dx;
                const double s = ((ax - bx) * ey - (ay - by) * ex) / den;
                cx = ax + s * dx;
                cy = ay + s * dy;
                valid = den != 0.0 && std::isfinite(cx) && std::isfinite(cy);
                if (!valid) {
                    // Parallel as far as the arithmetic can tell: the origin.
                    cx = 0.0;
                    cy = 0.0;
                }
            }
            // As focusQuality tells them apart, to the bit.
            if (!valid)
                ++parallel;
            else if ((cx - ax) * dx + (cy - ay) * dy < 0.0 || (cx - bx) * ex + (cy - by) * ey < 0.0)
                ++behind;
            p->type = Shape::PointType;
            p->valid = valid;
            p->x = cx;
            p->y = cy;
            p->t = 0.0;
            if (!p->label.isNull())
                p->label = QString();
            // Summed as PointList::add sums them.
            sumX += cx;
            sumY += cy;
        }
    }
    if (counts)
        *counts = {parallel, behind};
    crossPoints.sum = Point();
    crossPoints.sum.x = sumX;
    crossPoints.sum.y = sumY;

    centres.clear();
    for (int i = 0; i < n; ++i)
        centres.add(surfaceCentre(*crystals[i]));
}

Point imagePoint(const Point &focus, const Point &middle)
{
    const double dx = focus.x - middle.x;
    const double dy = focus.y - middle.y;
    return Point((dx + dx) + middle.x, (dy + dy) + middle.y);
}

QString energyRangeLabel(double firstEnergy, double lastEnergy)
{
    return QStringLiteral("%1-%2[eV]")
        .arg(QString::number(firstEnergy, 'g', 6), QString::number(lastEnergy, 'g', 6));
}

bool addFocus(const PointList &crossPoints,
              const PointList &centres,
              const QString &label,
              PointList &avrCps,
              PointList &avrIps)
{
    if (crossPoints.points.isEmpty())
        return false;
    Point f = crossPoints.center();
    const Point m = centres.center();
    Point i = imagePoint(f, m);
    f.label = label;
    i.label = label;
    avrCps.add(f);
    avrIps.add(i);
    return true;
}

void restartHistories(const PointList &crossPoints, PointList &avrCps, PointList &avrIps)
{
    avrCps.clear();
    avrIps.clear();
    if (crossPoints.points.isEmpty())
        return;
    const Point c = crossPoints.center();
    const Point f(c.x, c.y);
    avrCps.add(f);
    avrIps.add(Point(f.x + f.x, f.y + f.y));
}

QRectF marginBox(const QVector<Point> &points)
{
    double xmin = 1e300, ymin = 1e300, xmax = -1e300, ymax = -1e300;
    for (const Point &p : points) {
        if (p.x < xmin)
            xmin = p.x;
        if (p.x > xmax)
            xmax = p.x;
        if (p.y < ymin)
            ymin = p.y;
        if (p.y > ymax)
            ymax = p.y;
    }
    const double dx = xmax - xmin;
    const double dy = ymax - ymin;
    return QRectF(xmin - 0.1 * dx, ymin - 0.1 * dy, 1.2 * dx, 1.2 * dy);
}

QRectF overallExtent(const CrystalList &crystals, const Point &crossAverage)
{
    QVector<Point> points;
    points.reserve(7 * crystals.size() + 1);
    for (const CrystalOptics *c : crystals) {
        for (const Ray *r : {&c->inEdgeStart, &c->inCentre, &c->inEdgeEnd})
            points.append(r->start());
        points.append(c->surface.center());
        for (const Ray *r : {&c->outEdgeStart, &c->outCentre, &c->outEdgeEnd})
            points.append(r->start());
    }
    points.append(crossAverage);
    return marginBox(points);
}

QRectF crystalsExtent(const CrystalList &crystals)
{
    QVector<Point> points;
    points.reserve(2 * crystals.size());
    for (const CrystalOptics *c : crystals) {
        const Line &s = c->surface;
        points.append(Point(s.Point::x, s.Point::y));
        points.append(Point(s.Point::x + s.length * s.Dir::x, s.Point::y + s.length * s.Dir::y));
    }
    return marginBox(points);
}

QRectF centredOn(const QRectF &r, const Point &p)
{
    return QRectF(p.x - r.width() / 2.0, p.y - r.height() / 2.0, r.width(), r.height());
}

Point newestOr0(const PointList &history)
{
    if (history.points.isEmpty())
        return Point(0.0, 0.0);
    return history.points.last();
}
