#pragma once

#include <QString>
#include <QVector>

class Point;

// The geometry of the design plane in world coordinates (y up): points, directions, rays,
// half-rays, segments and polygons as value objects, and the crossing of two rays. Nothing here
// draws; the plot library knows how each kind is drawn.

class Shape
{
public:
    // Kind codes kept in `type`.
    enum Kind : qint32 {
        PenType = 0,
        PolygonType = 1,
        PointType = 2,
        PointsType = 3,
        RayType = 4, // Ray, HRay and Line alike
        BoxType = 5
    };

    explicit Shape(Kind type);
    Shape(const Shape &) = default;
    Shape &operator=(const Shape &) = default;
    virtual ~Shape();

    virtual bool hasPosition() const;
    virtual Point center() const = 0;
    virtual double radius() const;
    // Negative means "never the nearest" (pens).
    virtual double distance(const Point &q) const = 0;

    Kind type;
    bool valid = true;
};

class Point : public Shape
{
public:
    Point();
    Point(double x, double y, const QString &label = QString());

    Point center() const override;
    double distance(const Point &q) const override;

    double x = 0.0;
    double y = 0.0;
    // Carried scalar; a crossing found along a ray holds its signed distance from the start.
    double t = 0.0;
    QString label;
};

// A direction: angle and unit vector. Only x and y are used by the geometry; an angle built
// from a vector lies in -90...90 degrees whatever the sign of x.
class Dir
{
public:
    Dir(); // 0 degrees
    explicit Dir(double deg);
    Dir(double vx, double vy); // any length; the zero vector gives (1, 0)

    double deg = 0.0;
    double rad = 0.0;
    double x = 1.0; // unit vector
    double y = 0.0;
    double vx = 1.0; // the vector as given (the unit vector when built from an angle)
    double vy = 0.0;
};

// The whole infinite line through a start point along a direction. Its Point part is the
// start, its Dir part the direction; use start() and dir() to read them unambiguously.
class Ray : public Dir, public Point
{
public:
    enum Form : int { RayForm = 0, HRayForm = 1, LineForm = 2 };

    Ray();
    Ray(const Point &start, const Dir &d);

    Point start() const { return static_cast<const Point &>(*this); }
    const Dir &dir() const { return *this; }
    // The point start + s * unit direction.
    Point pointAt(double s) const;
    // The same start and direction as a whole line (form 0), whatever this object is.
    Ray asRay() const;

    void setStart(double sx, double sy);
    void setStart(const Point &p); // takes x and y only
    void setDir(const Dir &d);
    void setAngle(double deg); // recomputes deg, rad, unit and given vector

    Point center() const override;
    // Perpendicular distance to the infinite line, also for HRay and Line.
    double distance(const Point &q) const override;

    Form form = RayForm;

protected:
    Ray(const Point &start, const Dir &d, Form form);
};

// The half-line from the start along the direction.
class HRay : public Ray
{
public:
    HRay();
    HRay(const Point &start, const Dir &d);

protected:
    HRay(const Point &start, const Dir &d, Form form);
};

// The segment from the start to start + length * unit direction.
class Line : public HRay
{
public:
    Line();
    Line(const Point &start, const Dir &d, double length);
    Line(const Point &a, const Point &b); // direction b - a, length |b - a|

    Point end() const;
    void setEnds(const Point &a, const Point &b);

    Point center() const override;
    double radius() const override;

    double length = 0.0;
};

// Crossing of two rays of any form (Ray, HRay, Line: all nine pairs). out is the crossing of
// the two infinite lines; the result says whether it also lies ahead of every half-ray's start
// (form 1 and 2) and within every segment (form 2; the far end counts as inside). Parallel
// lines, including opposite directions and any pair whose crossing is not finite, give out =
// the origin with valid false and the result false. A form-2 object that is not a Line (a Line
// sliced into a Ray) has no length and counts as a half-ray.
bool crossPoint(const Ray &a, const Ray &b, Point &out);

// sqrt(x^2 + y^2), falling back on hypot where the squares underflow or overflow.
double vectorLength(double vx, double vy);

// Points with a running sum of their coordinates, kept in step only by add() and clear(): the
// averaged focus is the sum times the reciprocal of the count.
class PointList
{
public:
    void add(const Point &p);
    void clear();
    // The mean of the points as sum * (1 / n); without points, the sum itself (the origin after
    // clear()).
    Point center() const;

    QVector<Point> points;
    Point sum;
};

// A closed ring of vertices; edges always hold the ring as segments.
class Polygon : public Shape
{
public:
    Polygon();

    void addVertex(const Point &v);
    // Where the infinite line r enters and leaves, sorted by signed distance t along r;
    // a crossing repeated at a corner is dropped. Appends to out; true when out is non-empty.
    bool edgeCrossings(const Ray &r, QVector<Point> &out) const;
    // The same for the half-line h: its start first when it lies inside.
    bool edgeCrossings(const HRay &h, QVector<Point> &out) const;
    // The first two points edgeCrossings gives for the whole line r (halfLine false) or for its
    // half-line (true), the same to the last bit, and how many it gives; without building a list.
    int edgeCrossingEnds(const Ray &r, bool halfLine, Point ends[2]) const;

    // Mean of the vertices; the origin with valid false when there are none.
    Point center() const override;
    double distance(const Point &q) const override;

    QVector<Point> vertices;
    QVector<Line> edges;

protected:
    explicit Polygon(Kind type);
};

// Axis-aligned rectangle, the clipping box of a paint: vertices (x0, y0), (x0, y1), (x1, y1),
// (x1, y0) with x0 <= x1 and y0 <= y1.
class Box : public Polygon
{
public:
    Box(double x0, double y0, double x1, double y1);

    double x0;
    double y0;
    double x1;
    double y1;
};
