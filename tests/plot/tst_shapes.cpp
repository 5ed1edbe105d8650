#include "shapes.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(QVector<QPointF>)

namespace {

constexpr double kTol = 1e-9;

// A ray of the given form (0 Ray, 1 HRay, 2 Line) from (x, y) along the vector (vx, vy).
std::unique_ptr<Ray> makeRay(int form, double x, double y, double vx, double vy, double length)
{
    const Point s(x, y);
    const Dir d(vx, vy);
    switch (form) {
    case Ray::HRayForm:
        return std::make_unique<HRay>(s, d);
    case Ray::LineForm:
        return std::make_unique<Line>(s, d, length);
    default:
        return std::make_unique<Ray>(s, d);
    }
}

bool near(double a, double b)
{
    return std::fabs(a - b) <= kTol;
}

} // namespace

class tst_Shapes : public QObject
{
    Q_OBJECT

private slots:
    void direction_data();
    void direction();
    void crossing_data();
    void crossing();
    void crossingOfAnglesOneUlpApart();
    void crossingNeverYieldsNonFinite_data();
    void crossingNeverYieldsNonFinite();
    void edgeCrossings_data();
    void edgeCrossings();
    void edgeCrossingsAppend();
    void polygonRing();
    void boxOrdersCorners();
    void distance_data();
    void distance();
    void centres();
    void lineFromPoints();
    void raySetters();
    void pointsCopyAndClear();
    void penFields();
};

void tst_Shapes::direction_data()
{
    QTest::addColumn<bool>("fromAngle");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("deg");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    QTest::newRow("angle 30") << true << 30.0 << 0.0 << 30.0 << std::sqrt(3.0) / 2 << 0.5;
    QTest::newRow("angle 180") << true << 180.0 << 0.0 << 180.0 << -1.0 << 0.0;
    QTest::newRow("vector 3,4") << false << 3.0 << 4.0 << 53.13010235415598 << 0.6 << 0.8;
    // The angle of a vector lies in -90..90 whatever the sign of x.
    QTest::newRow("vector -3,4") << false << -3.0 << 4.0 << 53.13010235415598 << -0.6 << 0.8;
    QTest::newRow("vector 0,-2") << false << 0.0 << -2.0 << -90.0 << 0.0 << -1.0;
    QTest::newRow("zero vector") << false << 0.0 << 0.0 << 0.0 << 1.0 << 0.0;
    // Squares that underflow must not make a division by zero.
    QTest::newRow("tiny vector") << false << 3e-200 << 4e-200 << 53.13010235415598 << 0.6 << 0.8;
    QTest::newRow("huge vector") << false << 3e200 << 4e200 << 53.13010235415598 << 0.6 << 0.8;
}

void tst_Shapes::direction()
{
    QFETCH(bool, fromAngle);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, deg);
    QFETCH(double, x);
    QFETCH(double, y);

    const Dir d = fromAngle ? Dir(a) : Dir(a, b);
    QVERIFY2(near(d.deg, deg), qPrintable(QString::number(d.deg, 'g', 17)));
    QVERIFY(near(d.rad, deg / 180.0 * 3.141592653589793));
    QVERIFY2(near(d.x, x), qPrintable(QString::number(d.x, 'g', 17)));
    QVERIFY(near(d.y, y));
    QCOMPARE(d.vx, fromAngle ? d.x : a);
    QCOMPARE(d.vy, fromAngle ? d.y : b);
}

void tst_Shapes::crossing_data()
{
    QTest::addColumn<int>("formA");
    QTest::addColumn<QPointF>("startA");
    QTest::addColumn<QPointF>("vecA");
    QTest::addColumn<double>("lenA");
    QTest::addColumn<int>("formB");
    QTest::addColumn<QPointF>("startB");
    QTest::addColumn<QPointF>("vecB");
    QTest::addColumn<double>("lenB");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("valid");

    const int R = Ray::RayForm, H = Ray::HRayForm, L = Ray::LineForm;
    const QPointF east(1, 0), north(0, 1), west(-1, 0);

    QTest::newRow("ray x ray ahead") << R << QPointF(0, 0) << east << 0.0 << R << QPointF(5, -5)
                                     << north << 0.0 << true << QPointF(5, 0) << true;
    QTest::newRow("ray x ray behind both starts")
        << R << QPointF(0, 0) << east << 0.0 << R << QPointF(-5, 5) << north << 0.0 << true
        << QPointF(-5, 0) << true;
    QTest::newRow("hray x ray ahead") << H << QPointF(0, 0) << east << 0.0 << R << QPointF(5, 5)
                                      << north << 0.0 << true << QPointF(5, 0) << true;
    QTest::newRow("hray x ray behind the half-ray")
        << H << QPointF(0, 0) << east << 0.0 << R << QPointF(-5, 5) << north << 0.0 << false
        << QPointF(-5, 0) << true;
    QTest::newRow("hray x hray behind the second")
        << H << QPointF(0, 0) << east << 0.0 << H << QPointF(5, 5) << north << 0.0 << false
        << QPointF(5, 0) << true;
    QTest::newRow("hray crossed at its start, pointing east")
        << H << QPointF(0, 0) << east << 0.0 << R << QPointF(0, -5) << north << 0.0 << true
        << QPointF(0, 0) << true;
    QTest::newRow("hray crossed at its start, pointing west")
        << H << QPointF(0, 0) << west << 0.0 << R << QPointF(0, -5) << north << 0.0 << false
        << QPointF(0, 0) << true;
    QTest::newRow("line x ray inside") << L << QPointF(0, 0) << east << 5.0 << R << QPointF(2, -1)
                                       << north << 0.0 << true << QPointF(2, 0) << true;
    QTest::newRow("line x ray at the far end")
        << L << QPointF(0, 0) << east << 5.0 << R << QPointF(5, -1) << north << 0.0 << true
        << QPointF(5, 0) << true;
    QTest::newRow("line x ray beyond the far end")
        << L << QPointF(0, 0) << east << 5.0 << R << QPointF(5.5, -1) << north << 0.0 << false
        << QPointF(5.5, 0) << true;
    QTest::newRow("line x ray behind the start")
        << L << QPointF(0, 0) << east << 5.0 << R << QPointF(-1, -1) << north << 0.0 << false
        << QPointF(-1, 0) << true;
    QTest::newRow("line x hray behind the half-ray")
        << L << QPointF(0, 0) << east << 5.0 << H << QPointF(2, 1) << north << 0.0 << false
        << QPointF(2, 0) << true;
    QTest::newRow("line x line crossing")
        << L << QPointF(0, 0) << QPointF(1, 1) << std::sqrt(32.0) << L << QPointF(0, 4)
        << QPointF(1, -1) << std::sqrt(32.0) << true << QPointF(2, 2) << true;
    QTest::newRow("line x line, second too short")
        << L << QPointF(0, 0) << QPointF(1, 1) << std::sqrt(32.0) << L << QPointF(0, 4)
        << QPointF(1, -1) << 2.0 << false << QPointF(2, 2) << true;
    QTest::newRow("parallel equal directions")
        << H << QPointF(0, 0) << QPointF(2, 1) << 0.0 << H << QPointF(0, 3) << QPointF(4, 2) << 0.0
        << false << QPointF(0, 0) << false;
    QTest::newRow("same line") << R << QPointF(0, 0) << east << 0.0 << L << QPointF(3, 0) << east
                               << 1.0 << false << QPointF(0, 0) << false;
    QTest::newRow("exactly opposite directions")
        << R << QPointF(0, 0) << east << 0.0 << R << QPointF(1, 1) << west << 0.0 << false
        << QPointF(0, 0) << false;
    QTest::newRow("opposite lines") << L << QPointF(0, 0) << north << 3.0 << L << QPointF(0, 3)
                                    << QPointF(0, -1) << 3.0 << false << QPointF(0, 0) << false;
}

void tst_Shapes::crossing()
{
    QFETCH(int, formA);
    QFETCH(QPointF, startA);
    QFETCH(QPointF, vecA);
    QFETCH(double, lenA);
    QFETCH(int, formB);
    QFETCH(QPointF, startB);
    QFETCH(QPointF, vecB);
    QFETCH(double, lenB);
    QFETCH(bool, result);
    QFETCH(QPointF, point);
    QFETCH(bool, valid);

    const auto a = makeRay(formA, startA.x(), startA.y(), vecA.x(), vecA.y(), lenA);
    const auto b = makeRay(formB, startB.x(), startB.y(), vecB.x(), vecB.y(), lenB);

    Point out(7, 7, "stale");
    out.t = 3;
    QCOMPARE(crossPoint(*a, *b, out), result);
    QVERIFY2(near(out.x, point.x()) && near(out.y, point.y()),
             qPrintable(QString("(%1, %2)").arg(out.x, 0, 'g', 17).arg(out.y, 0, 'g', 17)));
    QCOMPARE(out.valid, valid);
    QCOMPARE(out.type, qint32(Shape::PointType));
    QCOMPARE(out.t, 0.0);
    QVERIFY(out.label.isEmpty());

    // Either order gives the same point to the last bit.
    Point swapped;
    QCOMPARE(crossPoint(*b, *a, swapped), result);
    QCOMPARE(swapped.x, out.x);
    QCOMPARE(swapped.y, out.y);
    QCOMPARE(swapped.valid, out.valid);
}

void tst_Shapes::crossingOfAnglesOneUlpApart()
{
    // Two reflected beams whose angles differ in the last digit: their unit vectors differ,
    // yet the crossing's denominator is exactly zero.
    const HRay a(Point(0, 0), Dir(15.921149105586295));
    const HRay b(Point(10, 0), Dir(15.921149105586297));
    QVERIFY(a.Dir::x != b.Dir::x || a.Dir::y != b.Dir::y);
    QCOMPARE(b.Dir::x * a.Dir::y - b.Dir::y * a.Dir::x, 0.0);

    Point out;
    QVERIFY(!crossPoint(a, b, out));
    QCOMPARE(out.x, 0.0);
    QCOMPARE(out.y, 0.0);
    QVERIFY(!out.valid);
}

void tst_Shapes::crossingNeverYieldsNonFinite_data()
{
    QTest::addColumn<double>("angleA");
    QTest::addColumn<double>("angleB");
    QTest::addColumn<QPointF>("startB");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nearly parallel far away") << 1e-300 << 3e-300 << QPointF(0, 1e10);
    QTest::newRow("start at infinity") << 0.0 << 90.0 << QPointF(inf, 0);
    QTest::newRow("start not a number")
        << 0.0 << 90.0 << QPointF(std::numeric_limits<double>::quiet_NaN(), 0);
}

void tst_Shapes::crossingNeverYieldsNonFinite()
{
    QFETCH(double, angleA);
    QFETCH(double, angleB);
    QFETCH(QPointF, startB);

    Point out;
    const bool on = crossPoint(
        Ray(Point(0, 0), Dir(angleA)), Ray(Point(startB.x(), startB.y()), Dir(angleB)), out);
    QVERIFY(std::isfinite(out.x) && std::isfinite(out.y));
    if (!on) {
        QVERIFY(!out.valid);
        QCOMPARE(out.x, 0.0);
    }
}

void tst_Shapes::edgeCrossings_data()
{
    QTest::addColumn<bool>("half");
    QTest::addColumn<QPointF>("start");
    QTest::addColumn<QPointF>("vec");
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<QVector<double>>("ts");

    using P = QVector<QPointF>;
    using T = QVector<double>;
    // All against the box (0, 0)-(10, 10).
    QTest::newRow("ray across") << false << QPointF(-5, 2) << QPointF(1, 0) << P{{0, 2}, {10, 2}}
                                << T{5, 15};
    QTest::newRow("ray from inside, backwards crossing negative")
        << false << QPointF(5, 2) << QPointF(1, 0) << P{{0, 2}, {10, 2}} << T{-5, 5};
    QTest::newRow("ray pointing west")
        << false << QPointF(5, 2) << QPointF(-1, 0) << P{{10, 2}, {0, 2}} << T{-5, 5};
    QTest::newRow("ray through two corners drops the duplicates")
        << false << QPointF(-5, -5) << QPointF(1, 1) << P{{0, 0}, {10, 10}}
        << T{std::sqrt(50.0), std::sqrt(450.0)};
    QTest::newRow("ray touching one corner")
        << false << QPointF(-5, 5) << QPointF(1, -1) << P{{0, 0}} << T{std::sqrt(50.0)};
    QTest::newRow("ray missing") << false << QPointF(-5, 20) << QPointF(1, 0) << P{} << T{};
    QTest::newRow("half-ray starting inside")
        << true << QPointF(5, 2) << QPointF(1, 0) << P{{5, 2}, {10, 2}} << T{0, 5};
    QTest::newRow("half-ray starting before")
        << true << QPointF(-5, 2) << QPointF(1, 0) << P{{0, 2}, {10, 2}} << T{5, 15};
    QTest::newRow("half-ray beyond, pointing away")
        << true << QPointF(15, 2) << QPointF(1, 0) << P{} << T{};
    QTest::newRow("half-ray beyond, pointing back")
        << true << QPointF(15, 2) << QPointF(-1, 0) << P{{10, 2}, {0, 2}} << T{5, 15};
    QTest::newRow("half-ray starting on the edge")
        << true << QPointF(0, 2) << QPointF(1, 0) << P{{0, 2}, {10, 2}} << T{0, 10};
}

void tst_Shapes::edgeCrossings()
{
    QFETCH(bool, half);
    QFETCH(QPointF, start);
    QFETCH(QPointF, vec);
    QFETCH(QVector<QPointF>, points);
    QFETCH(QVector<double>, ts);

    const Box box(0, 0, 10, 10);
    QVector<Point> out;
    const Point s(start.x(), start.y());
    const Dir d(vec.x(), vec.y());
    const bool found
        = half ? box.edgeCrossings(HRay(s, d), out) : box.edgeCrossings(Ray(s, d), out);
    QCOMPARE(found, !points.isEmpty());
    QCOMPARE(out.size(), points.size());
    for (int i = 0; i < out.size(); ++i) {
        QVERIFY2(near(out[i].x, points[i].x()) && near(out[i].y, points[i].y()),
                 qPrintable(QString("%1: (%2, %3)").arg(i).arg(out[i].x).arg(out[i].y)));
        QVERIFY2(near(out[i].t, ts[i]), qPrintable(QString("%1: t %2").arg(i).arg(out[i].t)));
    }
}

void tst_Shapes::edgeCrossingsAppend()
{
    // A Line handed to the half-ray version is clipped as the half-ray, not as the segment.
    const Box box(0, 0, 10, 10);
    QVector<Point> out{Point(-1, -1)};
    QVERIFY(box.edgeCrossings(Line(Point(2, 5), Dir(0.0), 1.0), out));
    QCOMPARE(out.size(), 3);
    QCOMPARE(out[0].x, -1.0);
    QCOMPARE(out[1].x, 2.0);
    QCOMPARE(out[2].x, 10.0);
}

void tst_Shapes::polygonRing()
{
    Polygon poly;
    poly.addVertex(Point(0, 0));
    QVERIFY(poly.edges.isEmpty());

    poly.addVertex(Point(4, 0));
    QCOMPARE(poly.edges.size(), 2);
    QCOMPARE(poly.edges[0].end().x, 4.0);
    QCOMPARE(poly.edges[1].Point::x, 4.0);
    QCOMPARE(poly.edges[1].end().x, 0.0);

    poly.addVertex(Point(4, 3, "corner"));
    QCOMPARE(poly.edges.size(), 3);
    const QVector<QPointF> starts{{0, 0}, {4, 0}, {4, 3}};
    const QVector<double> lengths{4, 3, 5};
    for (int i = 0; i < 3; ++i) {
        const Line &e = poly.edges[i];
        QCOMPARE(QPointF(e.Point::x, e.Point::y), starts[i]);
        QCOMPARE(e.length, lengths[i]);
        QCOMPARE(e.form, int(Ray::LineForm));
        QCOMPARE(e.type, qint32(Shape::RayType));
        QVERIFY(e.label.isEmpty());
        QVERIFY(e.valid);
    }
    // The ring closes back on the first vertex.
    QVERIFY(near(poly.edges[2].end().x, 0.0) && near(poly.edges[2].end().y, 0.0));
}

void tst_Shapes::boxOrdersCorners()
{
    const Box box(10, 8, -2, 3);
    QCOMPARE(box.type, qint32(Shape::BoxType));
    QCOMPARE(box.x0, -2.0);
    QCOMPARE(box.y0, 3.0);
    QCOMPARE(box.x1, 10.0);
    QCOMPARE(box.y1, 8.0);
    const QVector<QPointF> corners{{-2, 3}, {-2, 8}, {10, 8}, {10, 3}};
    QCOMPARE(box.vertices.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(QPointF(box.vertices[i].x, box.vertices[i].y), corners[i]);
    QCOMPARE(box.edges.size(), 4);
}

void tst_Shapes::distance_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QPointF>("query");
    QTest::addColumn<double>("expected");

    // kinds: 0 Point (3, 4); 1 Pen; 2 Ray 45 degrees through the origin; 3 HRay east from the
    // origin; 4 Line (0, 0)-(3, 4); 5 Points (0, 0), (4, 0); 6 Box (0, 0)-(4, 2).
    QTest::newRow("point") << 0 << QPointF(0, 0) << 5.0;
    QTest::newRow("pen is never nearest") << 1 << QPointF(0, 0) << -1.0;
    QTest::newRow("45-degree ray") << 2 << QPointF(0, 2) << std::sqrt(2.0);
    QTest::newRow("45-degree ray, behind the start") << 2 << QPointF(-3, -1) << std::sqrt(2.0);
    QTest::newRow("point on the 45-degree ray") << 2 << QPointF(3, 3) << 0.0;
    QTest::newRow("half-ray, behind its start") << 3 << QPointF(-5, 3) << 3.0;
    QTest::newRow("segment, beside it") << 4 << QPointF(4, -3) << 5.0;
    QTest::newRow("segment, beyond its end") << 4 << QPointF(10, 10) << 2.0;
    QTest::newRow("points, to their centre") << 5 << QPointF(2, 3) << 3.0;
    QTest::newRow("box, to its centre") << 6 << QPointF(2, 4) << 3.0;
}

void tst_Shapes::distance()
{
    QFETCH(int, kind);
    QFETCH(QPointF, query);
    QFETCH(double, expected);

    Points pts;
    pts.add(Point(0, 0));
    pts.add(Point(4, 0));
    const Point p(3, 4);
    const Pen pen;
    const Ray ray(Point(0, 0), Dir(45.0));
    const HRay hray(Point(0, 0), Dir(0.0));
    const Line line(Point(0, 0), Point(3, 4));
    const Box box(0, 0, 4, 2);
    const Shape *shapes[] = {&p, &pen, &ray, &hray, &line, &pts, &box};

    const double d = shapes[kind]->distance(Point(query.x(), query.y()));
    QVERIFY2(near(d, expected), qPrintable(QString::number(d, 'g', 17)));
}

void tst_Shapes::centres()
{
    Points pts;
    Point c = pts.center();
    QCOMPARE(QPointF(c.x, c.y), QPointF(0, 0));
    QVERIFY(c.valid);

    pts.add(Point(1, 2));
    pts.add(Point(3, 4));
    pts.add(Point(5, 9));
    c = pts.center();
    QVERIFY(near(c.x, 3.0) && near(c.y, 5.0));
    QCOMPARE(pts.radius(), 0.0);

    pts.clear();
    QVERIFY(pts.points.isEmpty());
    c = pts.center();
    QCOMPARE(QPointF(c.x, c.y), QPointF(0, 0));

    const Line line(Point(1, 1), Point(7, 9));
    c = line.center();
    QVERIFY(near(c.x, 4.0) && near(c.y, 5.0));
    QCOMPARE(c.type, qint32(Shape::PointType));
    QVERIFY(near(line.radius(), 5.0));

    Ray ray(Point(2, 3), Dir(10.0));
    c = ray.center();
    QCOMPARE(QPointF(c.x, c.y), QPointF(2, 3));
    QCOMPARE(c.type, qint32(Shape::RayType));
    QCOMPARE(ray.radius(), 0.0);

    const Box box(0, 0, 4, 2);
    c = box.center();
    QCOMPARE(QPointF(c.x, c.y), QPointF(2, 1));
    QCOMPARE(box.radius(), 0.0);
    QVERIFY(!Polygon().center().valid);

    const Pen pen;
    QVERIFY(!pen.hasPosition());
    QVERIFY(Point().hasPosition());
    QVERIFY(box.hasPosition());
    QVERIFY(line.hasPosition());
}

void tst_Shapes::lineFromPoints()
{
    const Line l(Point(1, 1, "a"), Point(4, 5));
    QCOMPARE(l.length, 5.0);
    QVERIFY(near(l.Dir::x, 0.6) && near(l.Dir::y, 0.8));
    QCOMPARE(l.form, int(Ray::LineForm));
    QVERIFY(l.label.isEmpty());
    QCOMPARE(l.end().x, 4.0);
    QCOMPARE(l.end().y, 5.0);

    const Line same(Point(2, 2), Point(2, 2));
    QCOMPARE(same.length, 0.0);
    QCOMPARE(same.Dir::x, 1.0);
    QCOMPARE(same.deg, 0.0);
}

void tst_Shapes::raySetters()
{
    HRay beam(Point(1, 2), Dir(0.0));
    beam.setAngle(90.0);
    QCOMPARE(beam.deg, 90.0);
    QVERIFY(near(beam.Dir::x, 0.0));
    QCOMPARE(beam.Dir::y, 1.0);
    QCOMPARE(beam.vx, beam.Dir::x);
    beam.setStart(Point(5, 6, "ignored"));
    QCOMPARE(beam.start().x, 5.0);
    QCOMPARE(beam.start().y, 6.0);
    QVERIFY(beam.label.isEmpty());
    QCOMPARE(beam.form, int(Ray::HRayForm));
    QVERIFY(near(beam.pointAt(2).y, 8.0));
    QCOMPARE(beam.asRay().form, int(Ray::RayForm));

    Line l;
    l.setEnds(Point(0, 0), Point(0, -2));
    QCOMPARE(l.length, 2.0);
    QCOMPARE(l.end().y, -2.0);
}

void tst_Shapes::pointsCopyAndClear()
{
    Points a;
    a.connect = true;
    a.ownPen = true;
    a.pen = Pen(QColor(200, 0, 200), 2, {4, 3, 2, 3});
    a.add(Point(1, 1, "first"));
    a.add(Point(3, 5));
    const Points b = a;
    QCOMPARE(b.points.size(), 2);
    QCOMPARE(b.points[0].label, QString("first"));
    QCOMPARE(b.sum.x, 4.0);
    QCOMPARE(b.sum.y, 6.0);
    QVERIFY(b.connect && b.ownPen && !b.extend && !b.showLabels);
    QCOMPARE(b.pen.pen.color(), QColor(200, 0, 200));
    a.clear();
    QCOMPARE(a.sum.x, 0.0);
    QCOMPARE(b.points.size(), 2);
}

void tst_Shapes::penFields()
{
    const Pen solid(QColor(10, 20, 30), 2, {});
    QCOMPARE(solid.type, qint32(Shape::PenType));
    QCOMPARE(solid.pen.style(), Qt::SolidLine);
    QCOMPARE(solid.pen.width(), 2);
    QCOMPARE(solid.pen.color(), QColor(10, 20, 30));
    const Pen dashed(Qt::red, 1, {4, 3, 2, 3});
    QCOMPARE(dashed.pen.dashPattern(), QVector<qreal>({4, 3, 2, 3}));
    QCOMPARE(Pen().pen.color(), QColor(Qt::black));
}

QTEST_MAIN(tst_Shapes)
#include "tst_shapes.moc"
