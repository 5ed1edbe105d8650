#include "geometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

Point parallelResult()
{
    Point out(0.0, 0.0);
    out.valid = false;
    return out;
}

} // namespace

double vectorLength(double vx, double vy)
{
    // Where the squares underflow or overflow, hypot keeps a tiny or huge but finite vector from
    // turning into 0 or infinity (and then into a division by zero).
    const double n = std::sqrt(vx * vx + vy * vy);
    if ((n == 0.0 && (vx != 0.0 || vy != 0.0)) || std::isinf(n))
        return std::hypot(vx, vy);
    return n;
}

// ---------------------------------------------------------------- Shape

Shape::Shape(Kind type) : type(type) {}

Shape::~Shape() = default;

bool Shape::hasPosition() const
{
    return true;
}

double Shape::radius() const
{
    return distance(center());
}

// ---------------------------------------------------------------- Point

Point::Point() : Shape(PointType) {}

Point::Point(double x, double y, const QString &label) : Shape(PointType), x(x), y(y), label(label)
{}

Point Point::center() const
{
    return *this;
}

double Point::distance(const Point &q) const
{
    return std::sqrt((x - q.x) * (x - q.x) + (y - q.y) * (y - q.y));
}

// ---------------------------------------------------------------- Dir

Dir::Dir() = default;

Dir::Dir(double deg) : deg(deg), rad(deg / 180.0 * kPi)
{
    x = std::cos(rad);
    y = std::sin(rad);
    vx = x;
    vy = y;
}

Dir::Dir(double vx, double vy) : vx(vx), vy(vy)
{
    if (vx == 0.0 && vy == 0.0) {
        deg = 0.0;
        rad = 0.0;
        x = 1.0;
        y = 0.0;
        return;
    }
    const double n = vectorLength(vx, vy);
    x = vx / n;
    y = vy / n;
    rad = std::asin(std::clamp(y, -1.0, 1.0));
    deg = rad / kPi * 180.0;
}

// ---------------------------------------------------------------- Ray

Ray::Ray() : Ray(Point(), Dir(), RayForm) {}

Ray::Ray(const Point &start, const Dir &d) : Ray(start, d, RayForm) {}

Ray::Ray(const Point &start, const Dir &d, Form form) : Dir(d), Point(start.x, start.y), form(form)
{
    type = RayType;
}

Point Ray::pointAt(double s) const
{
    return Point(Point::x + s * Dir::x, Point::y + s * Dir::y);
}

Ray Ray::asRay() const
{
    return Ray(start(), dir());
}

void Ray::setStart(double sx, double sy)
{
    Point::x = sx;
    Point::y = sy;
}

void Ray::setStart(const Point &p)
{
    setStart(p.x, p.y);
}

void Ray::setDir(const Dir &d)
{
    static_cast<Dir &>(*this) = d;
}

void Ray::setAngle(double deg)
{
    setDir(Dir(deg));
}

Point Ray::center() const
{
    return start();
}

double Ray::distance(const Point &q) const
{
    const Ray perpendicular(q, Dir(-Dir::y, Dir::x));
    Point foot;
    // A unit direction and its perpendicular never make a parallel pair.
    crossPoint(perpendicular, asRay(), foot);
    return q.distance(foot);
}

// ---------------------------------------------------------------- HRay

HRay::HRay() : HRay(Point(), Dir(), HRayForm) {}

HRay::HRay(const Point &start, const Dir &d) : HRay(start, d, HRayForm) {}

HRay::HRay(const Point &start, const Dir &d, Form form) : Ray(start, d, form) {}

// ---------------------------------------------------------------- Line

Line::Line() : HRay(Point(), Dir(), LineForm) {}

Line::Line(const Point &start, const Dir &d, double length)
    : HRay(start, d, LineForm), length(length)
{}

Line::Line(const Point &a, const Point &b)
    : HRay(a, Dir(b.x - a.x, b.y - a.y), LineForm), length(vectorLength(b.x - a.x, b.y - a.y))
{}

Point Line::end() const
{
    return pointAt(length);
}

void Line::setEnds(const Point &a, const Point &b)
{
    *this = Line(a, b);
}

Point Line::center() const
{
    return Point((2.0 * Point::x + Dir::x * length) * 0.5,
                 (2.0 * Point::y + Dir::y * length) * 0.5);
}

double Line::radius() const
{
    return start().distance(center());
}

// ---------------------------------------------------------------- crossPoint

namespace {

// The segment length of a form-2 argument, or -1 when it has none.
double segmentLength(const Ray &r)
{
    if (r.form != Ray::LineForm)
        return -1.0;
    const Line *l = dynamic_cast<const Line *>(&r);
    return l ? l->length : -1.0;
}

} // namespace

bool crossPoint(const Ray &first, const Ray &second, Point &out)
{
    // Mixed pairs are computed in one order (lower form first) so that swapping the
    // arguments gives the same point to the last bit.
    const bool swap = second.form < first.form;
    const Ray &a = swap ? second : first;
    const Ray &b = swap ? first : second;

    const double ax = a.Point::x, ay = a.Point::y, dx = a.Dir::x, dy = a.Dir::y;
    const double bx = b.Point::x, by = b.Point::y, ex = b.Dir::x, ey = b.Dir::y;
    if (ex == dx && ey == dy) {
        out = parallelResult();
        return false;
    }
    // Opposite or nearly equal directions can make the denominator exactly zero; such lines
    // are parallel as far as the arithmetic can tell.
    const double den = ex * dy - ey * dx;
    const double s = ((ax - bx) * ey - (ay - by) * ex) / den;
    const double cx = ax + s * dx;
    const double cy = ay + s * dy;
    if (den == 0.0 || !std::isfinite(cx) || !std::isfinite(cy)) {
        out = parallelResult();
        return false;
    }
    bool on = true;
    for (const Ray *r : {&a, &b}) {
        if (r->form == Ray::RayForm)
            continue;
        const double vx = cx - r->Point::x;
        const double vy = cy - r->Point::y;
        const Dir w(vx, vy);
        if (w.x * r->Dir::x + w.y * r->Dir::y < 0.0)
            on = false;
        const double len = segmentLength(*r);
        if (len >= 0.0 && vectorLength(vx, vy) > len)
            on = false;
    }
    // Written last, so that out may be one of the arguments (a ray is a point too).
    out = Point(cx, cy);
    return on;
}

// ---------------------------------------------------------------- PointList

void PointList::add(const Point &p)
{
    points.append(p);
    sum.x += p.x;
    sum.y += p.y;
}

void PointList::clear()
{
    points.clear();
    sum = Point();
}

Point PointList::center() const
{
    if (points.isEmpty())
        return sum;
    const double r = 1.0 / points.size();
    return Point(sum.x * r, sum.y * r);
}

// ---------------------------------------------------------------- Polygon

Polygon::Polygon() : Shape(PolygonType) {}

Polygon::Polygon(Kind type) : Shape(type) {}

void Polygon::addVertex(const Point &v)
{
    vertices.append(v);
    const int n = vertices.size();
    if (n < 2)
        return;
    if (!edges.isEmpty())
        edges.removeLast();
    edges.append(Line(vertices[n - 2], vertices[n - 1]));
    edges.append(Line(vertices[n - 1], vertices[0]));
}

bool Polygon::edgeCrossings(const Ray &r, QVector<Point> &out) const
{
    const Ray line = r.asRay();
    QVector<Point> found;
    for (const Line &e : edges) {
        Point c;
        if (!crossPoint(line, e, c))
            continue;
        const double vx = c.x - line.Point::x;
        const double vy = c.y - line.Point::y;
        const Dir u(vx, vy);
        c.t = (u.x * line.Dir::x + u.y * line.Dir::y) * vectorLength(vx, vy);
        found.append(c);
    }
    const int m = found.size();
    for (int i = 0; i + 1 < m; ++i)
        for (int j = i + 1; j < m; ++j)
            if (found[j].t < found[i].t)
                std::swap(found[i], found[j]);
    for (int i = 0; i < m; ++i)
        if (i == 0 || found[i].t > found[i - 1].t)
            out.append(found[i]);
    return !out.isEmpty();
}

bool Polygon::edgeCrossings(const HRay &h, QVector<Point> &out) const
{
    QVector<Point> l;
    edgeCrossings(h.asRay(), l);
    if (l.size() > 1 && l.first().t < 0.0 && l.last().t > 0.0)
        out.append(h.start());
    for (const Point &c : l)
        if (c.t >= 0.0)
            out.append(c);
    return !out.isEmpty();
}

namespace {

// The unit vector of (vx, vy) as Dir builds it, without its angle.
void unitOf(double vx, double vy, double &ux, double &uy)
{
    if (vx == 0.0 && vy == 0.0) {
        ux = 1.0;
        uy = 0.0;
        return;
    }
    const double n = vectorLength(vx, vy);
    ux = vx / n;
    uy = vy / n;
}

// crossPoint(line, edge, c) for a whole line and a segment, in its order of arithmetic: true when
// the crossing lies on the segment.
bool crossesEdge(const Ray &line, const Line &edge, double &cx, double &cy)
{
    const double ax = line.Point::x, ay = line.Point::y, dx = line.Dir::x, dy = line.Dir::y;
    const double bx = edge.Point::x, by = edge.Point::y, ex = edge.Dir::x, ey = edge.Dir::y;
    if (ex == dx && ey == dy)
        return false;
    const double den = ex * dy - ey * dx;
    const double s = ((ax - bx) * ey - (ay - by) * ex) / den;
    cx = ax + s * dx;
    cy = ay + s * dy;
    if (den == 0.0 || !std::isfinite(cx) || !std::isfinite(cy))
        return false;
    const double vx = cx - bx;
    const double vy = cy - by;
    double wx, wy;
    unitOf(vx, vy, wx, wy);
    return !(wx * ex + wy * ey < 0.0) && !(vectorLength(vx, vy) > edge.length);
}

} // namespace

int Polygon::edgeCrossingEnds(const Ray &r, bool halfLine, Point ends[2]) const
{
    if (edges.size() > 4) {
        QVector<Point> l;
        if (halfLine)
            edgeCrossings(HRay(r.start(), r.dir()), l);
        else
            edgeCrossings(r.asRay(), l);
        for (int i = 0; i < 2 && i < l.size(); ++i)
            ends[i] = l[i];
        return l.size();
    }
    // The crossings with the edges, each with its signed distance t along the line.
    double x[4], y[4], t[4];
    int m = 0;
    for (const Line &e : edges) {
        if (!crossesEdge(r, e, x[m], y[m]))
            continue;
        const double vx = x[m] - r.Point::x;
        const double vy = y[m] - r.Point::y;
        double ux, uy;
        unitOf(vx, vy, ux, uy);
        t[m] = (ux * r.Dir::x + uy * r.Dir::y) * vectorLength(vx, vy);
        ++m;
    }
    // The same exchange sort, then a repeated t dropped.
    for (int i = 0; i + 1 < m; ++i)
        for (int j = i + 1; j < m; ++j)
            if (t[j] < t[i]) {
                std::swap(x[i], x[j]);
                std::swap(y[i], y[j]);
                std::swap(t[i], t[j]);
            }
    int n = 0;
    for (int i = 0; i < m; ++i)
        if (i == 0 || t[i] > t[i - 1]) {
            x[n] = x[i];
            y[n] = y[i];
            t[n] = t[i];
            ++n;
        }
    int count = 0;
    const auto put = [&](double px, double py) {
        if (count < 2)
            ends[count] = Point(px, py);
        ++count;
    };
    if (!halfLine) {
        for (int i = 0; i < n; ++i)
            put(x[i], y[i]);
        return count;
    }
    // The half-line: its start first when the line enters behind it and leaves ahead of it.
    if (n > 1 && t[0] < 0.0 && t[n - 1] > 0.0)
        put(r.Point::x, r.Point::y);
    for (int i = 0; i < n; ++i)
        if (t[i] >= 0.0)
            put(x[i], y[i]);
    return count;
}

Point Polygon::center() const
{
    if (vertices.isEmpty()) {
        Point none;
        none.valid = false;
        return none;
    }
    double sx = 0.0, sy = 0.0;
    for (const Point &v : vertices) {
        sx += v.x;
        sy += v.y;
    }
    return Point(sx / vertices.size(), sy / vertices.size());
}

double Polygon::distance(const Point &q) const
{
    return center().distance(q);
}

// ---------------------------------------------------------------- Box

Box::Box(double ax, double ay, double bx, double by)
    : Polygon(BoxType), x0(std::min(ax, bx)), y0(std::min(ay, by)), x1(std::max(ax, bx)),
      y1(std::max(ay, by))
{
    addVertex(Point(x0, y0));
    addVertex(Point(x0, y1));
    addVertex(Point(x1, y1));
    addVertex(Point(x1, y0));
}
