#include "chcoord.h"
#include "shapes.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

// Most tables compare what a caller gets, written out as text, with what it should get.

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRectF square(0, 0, 100, 100);

QString num(double v)
{
    return QString::number(std::abs(v) < 1e-9 ? 0.0 : v, 'g', 10);
}

// The mapping of a w x h pixel surface showing the world rectangle v, as a window paints.
void map(ChCoord &cc, const QRectF &v, double w = 100, double h = 100)
{
    cc.setScreen(0, h, w, 0);
    cc.setWorld(v.left(), v.top(), v.right(), v.bottom());
}

// "on" or "off" both, the crossing of the lines, "invalid" when parallel; swapped arguments must
// give the same point to the last bit, and no stale t or label may be left.
QString cross(const Ray &a, const Ray &b)
{
    Point out(7, 7, "stale"), swapped;
    out.t = 3;
    const bool on = crossPoint(a, b, out);
    const bool same = crossPoint(b, a, swapped) == on && swapped.x == out.x && swapped.y == out.y
                      && swapped.valid == out.valid && out.t == 0 && out.label.isEmpty();
    return QString("%1 (%2, %3)").arg(on ? "on" : "off", num(out.x), num(out.y))
           + (out.valid ? "" : " invalid") + (same ? "" : ", not so swapped or stale");
}

// What shapes leave on a white 100 x 100 image showing view (y up), in a black pen 1 wide (3 for
// how & 4), selected for how & 1, extended for how & 2: the inked rectangle, pixels 0 to 15 of
// row 50, and whether the painter's pen changed.
QString drawn(const Shape &s, int how = 0, QRectF view = square, QVector<const Shape *> more = {})
{
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(white);
    QPainter p(&img);
    ChCoord cc;
    map(cc, view);
    const QPen pen(Qt::black, how & 4 ? 3 : 1);
    p.setPen(pen);
    const Box bb(view.left(), view.top(), view.right(), view.bottom());
    for (const Shape *x : more << &s)
        x->draw(&p, &cc, bb, how & 1, how & 2);
    const bool kept = p.pen() == pen;
    p.end();
    QRect r;
    for (int i = 0; i < 100 * 100; ++i)
        r |= img.pixel(i % 100, i / 100) == white ? QRect() : QRect(i % 100, i / 100, 1, 1);
    QString row;
    for (int x = 0; x < 16; ++x)
        row += img.pixel(x, 50) == white ? '.' : '#';
    return QString("%1,%2 %3x%4 ").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()) + row
           + (kept ? "" : " pen changed");
}

// Every kind of shape at a (labelled) and from a to b, selected.
QString around(QPointF a, QPointF b, const QRectF &view = square)
{
    const Point pa(a.x(), a.y(), "label"), pb(b.x(), b.y());
    Points list;
    list.add(pa);
    list.showLabels = true;
    const Line ab(pa, pb), ba(pb, pa);
    const Ray ray(pa, Dir(30.0));
    const HRay half(pa, Dir(30.0));
    return drawn(pa, 1, view, {&list, &ab, &ba, &ray, &half});
}

// "same" when DrawText draws "F3" as QPainter does at the given point size in the normalised
// rectangle (nothing at all for size 0), and leaves the argument font on the painter.
QString label(const QRectF &r, int mode, double maxSize, double size)
{
    QFont font("Sans", 23);
    QImage got(300, 60, QImage::Format_RGB32);
    got.fill(white);
    QImage want = got.copy();
    QPainter p(&got), q(&want);
    p.setFont(QFont("Serif", 31));
    DrawText().drawText(&p, r, font, Qt::AlignLeft | Qt::AlignVCenter, mode, "F3", maxSize);
    if (p.font().pointSizeF() != 23)
        return QString("font left at %1 points").arg(p.font().pointSizeF());
    font.setPointSizeF(std::max(size, 1.0));
    q.setFont(font);
    q.drawText(r.normalized(), Qt::AlignLeft | Qt::AlignVCenter, size > 0 ? "F3" : "");
    p.end();
    q.end();
    return got == want ? "same" : "differs";
}

} // namespace

class tst_Plot : public QObject
{
    Q_OBJECT

    static void columns()
    {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("want");
    }
    static void compare()
    {
        QFETCH(QString, got);
        QFETCH(QString, want);
        QCOMPARE(got, want);
    }

private slots:
    void geometry_data();
    void geometry() { compare(); }
    void drawing_data();
    void drawing() { compare(); }
};

void tst_Plot::geometry_data()
{
    columns();
    const Dir east(1, 0), up(0, 1);
    const Ray ray(Point(), east);
    const HRay half(Point(), east), back(Point(), Dir(-1, 0));
    const Line line(Point(), Point(5, 0)), diag(Point(), Point(4, 4));
    const QString none("off (0, 0) invalid");
    dataRow("rays, behind both", cross(ray, Ray(Point(-5, 5), up)), "on (-5, 0)");
    dataRow("half-ray, ahead", cross(half, Ray(Point(5, 5), up)), "on (5, 0)");
    dataRow("half-ray, behind", cross(half, Ray(Point(-5, 5), up)), "off (-5, 0)");
    dataRow("half-rays, behind 2nd", cross(half, HRay(Point(5, 5), up)), "off (5, 0)");
    dataRow("at the start, to +x", cross(half, Ray(Point(0, -5), up)), "on (0, 0)");
    dataRow("at the start, to -x", cross(back, Ray(Point(0, -5), up)), "off (0, 0)");
    dataRow("line, at its far end", cross(line, Ray(Point(5, -1), up)), "on (5, 0)");
    dataRow("line, past its end", cross(line, Ray(Point(5.5, 1), up)), "off (5.5, 0)");
    dataRow("line, behind its start", cross(line, Ray(Point(-1, 1), up)), "off (-1, 0)");
    dataRow("line, half-ray behind", cross(line, HRay(Point(2, 1), up)), "off (2, 0)");
    dataRow("lines", cross(diag, Line(Point(0, 4), Point(4, 0))), "on (2, 2)");
    dataRow("lines, 2nd short", cross(diag, Line(Point(0, 4), Point(1, 3))), "off (2, 2)");
    dataRow("parallel", cross(half, HRay(Point(0, 3), Dir(2, 0))), none);
    dataRow("exactly opposite", cross(ray, Line(Point(1, 1), Point(-2, 1))), none);
    // Unit vectors that differ, yet the denominator comes out exactly zero.
    const HRay ulp(Point(10, 0), Dir(15.921149105586297));
    dataRow("one ulp apart", cross(HRay(Point(), Dir(15.921149105586295)), ulp), none);
    dataRow("nearly parallel", cross(ray, Ray(Point(0, 1e10), Dir(1, 3e-300))), none);
    dataRow("start at infinity", cross(ray, Ray(Point(qInf(), 0), up)), none);
    dataRow("start not a number", cross(ray, HRay(Point(qQNaN(), 0), up)), none);
    // Distances from a point: for every kind of ray, perpendicular to the whole line.
    Points points;
    points.add(Point(0, 0));
    points.add(Point(4, 0));
    dataRow("point", num(Point(3, 4).distance(Point())), "5");
    dataRow("pen, never the nearest", num(Pen().distance(Point())), "-1");
    dataRow("45-degree ray", num(Ray(Point(), Dir(45.0)).distance(Point(0, 2))), "1.414213562");
    dataRow("line, past its end", num(Line(Point(), Point(3, 4)).distance(Point(10, 10))), "2");
    dataRow("points, from their centre", num(points.distance(Point(2, 3))), "3");
    dataRow("no points, from the origin", num(Points().distance(Point(3, 4))), "5");
    dataRow("ray of a zero vector", num(Ray(Point(), Dir(0.0, 0.0)).distance(Point(7, 5))), "5");
    dataRow("tiny vector", num(Ray(Point(), Dir(3e-200, 4e-200)).distance(Point(4, -3))), "5");
    dataRow("huge vector", num(Ray(Point(), Dir(3e200, 4e200)).distance(Point(4, -3))), "5");
}

void tst_Plot::drawing_data()
{
    columns();
    const Point p(50, 50);
    const Ray ray(Point(0, 50), Dir(0.0));
    const HRay half(p, Dir(0.0));
    const Line line(Point(20, 50), Point(80, 50));
    Points joined; // in its own pen, blue and 7 wide
    joined.add(Point(40, 50));
    joined.add(Point(60, 50));
    joined.connect = joined.ownPen = true;
    joined.pen = Pen(Qt::blue, 7, {});
    // Dashes 3 on, 3 off in units of the pen's width (square ends add half a width each side).
    const QString none(16, '.'), full(16, '#'), dash("###...###...###."), wide("###########.....");
    dataRow("point", drawn(p), "48,48 5x5 " + none);
    dataRow("point, selected", drawn(p, 1), "46,46 9x9 " + none);
    dataRow("ray", drawn(ray), "0,50 99x1 " + dash);
    dataRow("ray, wide pen", drawn(ray, 4), "0,50 99x1 " + dash);
    dataRow("ray, selected", drawn(ray, 1), "0,49 100x3 " + wide);
    dataRow("ray, two corners", drawn(Ray(Point(-5, -5), Dir(1, 1))), "1,2 98x98 " + none);
    dataRow("ray, one corner", drawn(Ray(Point(-5, 5), Dir(1, -1))), "0,0 0x0 " + none);
    dataRow("half-ray from inside", drawn(half), "50,50 50x1 " + none);
    dataRow("half-ray from before", drawn(HRay(Point(-9, 50), Dir(0.0))), "0,50 100x1 " + full);
    dataRow("half-ray from beyond", drawn(HRay(Point(150, 50), Dir(0.0))), "0,0 0x0 " + none);
    dataRow("half-ray, extended", drawn(half, 2), "0,50 100x1 " + dash);
    dataRow("half-ray, selected", drawn(half, 3), "0,49 100x3 " + wide);
    dataRow("line, pen 3", drawn(line, 4), "18,48 65x5 " + none);
    dataRow("line, pen 3, selected", drawn(line, 5), "17,47 66x6 " + none);
    dataRow("line, extended", drawn(line, 2), "0,48 99x5 " + dash);
    dataRow("points in their pen", drawn(joined), "37,47 27x7 " + none);
    // Nothing drawn, and no undefined conversion to int, where positions are out of reach.
    const QString nothing("0,0 0x0 " + none);
    const QPointF o(0, 0), q(2, 3), mid(50, 50);
    dataRow("ends 1e8 px away", around(QPointF(-1e8, 50), QPointF(1e8, 50)), "0,49 100x2 " + full);
    dataRow("zero-sized view", around(o, q, QRectF(5, 5, 0, 0)), nothing);
    dataRow("view not a number", around(o, q, QRectF(qQNaN(), 0, 10, 10)), nothing);
    dataRow("view far too small", around(o, q, QRectF(1, 1, 1e-300, 1e-300)), nothing);
    dataRow("ends far outside", around(QPointF(-1e12, 50), QPointF(1e12, 60)), nothing);
    dataRow("one end far outside", around(QPointF(2e9, 50), mid), nothing);
    dataRow("one end infinite", around(QPointF(50, -qInf()), mid), nothing);
    dataRow("not a number", around(QPointF(qQNaN(), 5), QPointF(5, qQNaN())), nothing);
    dataRow("huge", around(QPointF(1e300, 1e300), QPointF(-1e300, 0)), nothing);
    // Text labels, fitted (mode 1) or not.
    const QRectF r(10, 10, 200, 30);
    dataRow("label held at maxSize", label(r, 1, 10, 10), "same");
    dataRow("label, smaller maxSize", label(r, 1, 6.5, 6.5), "same");
    dataRow("label, negative rectangle", label(QRectF(210, 40, -200, -30), 1, 10, 10), "same");
    dataRow("label not fitted", label(QRectF(10, 10, 20, 5), 0, 10, 23), "same");
    dataRow("label, zero width", label(QRectF(10, 10, 0, 20), 1, 10, 0), "same");
    dataRow("label far outside", label(QRectF(1e8, 10, 100, 20), 0, 10, 0), "same");
    dataRow("label not finite", label(QRectF(qInf(), 0, 100, 20), 1, 10, 0), "same");
}

QTEST_MAIN(tst_Plot)
#include "tst_plot.moc"
