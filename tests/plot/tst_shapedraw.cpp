#include "chcoord.h"
#include "shapes.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

// A 100 x 100 image where world (x, y) maps to pixel (x, 100 - y).
struct Canvas
{
    Canvas() : img(100, 100, QImage::Format_ARGB32), bb(0, 0, 100, 100)
    {
        img.fill(kWhite);
        p.begin(&img);
        p.setPen(QPen(Qt::black));
        cc.setScreen(0, 100, 100, 0);
        cc.setWorld(0, 0, 100, 100);
    }

    QImage done()
    {
        p.end();
        return img;
    }

    QImage img;
    QPainter p;
    ChCoord cc;
    Box bb;
};

bool dark(const QImage &img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

// Bounding box of the non-white pixels.
QRect inked(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != kWhite)
                r |= QRect(x, y, 1, 1);
    return r;
}

int darkRowsAt(const QImage &img, int x)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += dark(img, x, y) ? 1 : 0;
    return n;
}

// Lengths of the alternating dark and light runs along row y between x0 and x1.
QVector<int> runs(const QImage &img, int y, int x0, int x1)
{
    QVector<int> out;
    bool state = dark(img, x0, y);
    int len = 0;
    for (int x = x0; x <= x1; ++x) {
        if (dark(img, x, y) != state) {
            out.append(len);
            len = 0;
            state = !state;
        }
        ++len;
    }
    return out;
}

} // namespace

class tst_ShapeDraw : public QObject
{
    Q_OBJECT

private slots:
    void pointDisc_data();
    void pointDisc();
    void rayWidthAndDashes();
    void selectedRayIsThreeWide();
    void rayClippedToView_data();
    void rayClippedToView();
    void halfRayWithExtension();
    void lineWidthDoubledWhenSelected_data();
    void lineWidthDoubledWhenSelected();
    void penShapeSetsPen();
    void pointsRestorePen();
    void pointsLabels();
    void drawingKeepsPainterPen();
    void degenerateViewDrawsNothing_data();
    void degenerateViewDrawsNothing();
    void unreachablePositionsDrawNothing_data();
    void unreachablePositionsDrawNothing();
    void farButInRangeLineIsDrawn();
};

void tst_ShapeDraw::pointDisc_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("size");
    QTest::newRow("plain") << false << 5;
    QTest::newRow("selected") << true << 9;
}

void tst_ShapeDraw::pointDisc()
{
    QFETCH(bool, selected);
    QFETCH(int, size);

    Canvas c;
    c.p.setPen(QPen(QColor(0, 160, 0), 1));
    Point(30, 70).draw(&c.p, &c.cc, c.bb, selected, false);
    const QImage img = c.done();
    const QRect r = inked(img);
    QCOMPARE(r.width(), size);
    QCOMPARE(r.height(), size);
    QCOMPARE(r.center(), QPoint(30, 30));
    QCOMPARE(img.pixel(30, 30), qRgb(0, 160, 0));
}

void tst_ShapeDraw::rayWidthAndDashes()
{
    Canvas c;
    Ray(Point(0, 80), Dir(0.0)).draw(&c.p, &c.cc, c.bb, false, false);
    const QImage img = c.done();
    QCOMPARE(darkRowsAt(img, 1), 1);
    QVERIFY(dark(img, 1, 20));
    // 3 on, 3 off along the whole width of the view.
    const QVector<int> r = runs(img, 20, 0, 95);
    QVERIFY(r.size() > 20);
    for (int len : r)
        QCOMPARE(len, 3);
}

void tst_ShapeDraw::selectedRayIsThreeWide()
{
    Canvas c;
    Ray(Point(0, 50), Dir(0.0)).draw(&c.p, &c.cc, c.bb, true, false);
    const QImage img = c.done();
    QCOMPARE(darkRowsAt(img, 1), 3);
    QVERIFY(dark(img, 1, 49) && dark(img, 1, 50) && dark(img, 1, 51));
    // Still dashed.
    QVERIFY(runs(img, 50, 0, 99).size() >= 6);
}

void tst_ShapeDraw::rayClippedToView_data()
{
    QTest::addColumn<QPointF>("start");
    QTest::addColumn<QPointF>("vec");
    QTest::addColumn<bool>("visible");
    QTest::newRow("through the view") << QPointF(-50, 0) << QPointF(1, 1) << true;
    QTest::newRow("missing the view") << QPointF(0, 150) << QPointF(1, 0) << false;
    QTest::newRow("touching one corner only") << QPointF(-50, 50) << QPointF(1, -1) << false;
}

void tst_ShapeDraw::rayClippedToView()
{
    QFETCH(QPointF, start);
    QFETCH(QPointF, vec);
    QFETCH(bool, visible);

    Canvas c;
    Ray(Point(start.x(), start.y()), Dir(vec.x(), vec.y())).draw(&c.p, &c.cc, c.bb, false, false);
    QCOMPARE(!inked(c.done()).isNull(), visible);
}

void tst_ShapeDraw::halfRayWithExtension()
{
    // Half-ray east from world (50, 60), i.e. pixel row 40.
    const HRay h(Point(50, 60), Dir(0.0));
    {
        Canvas c;
        h.draw(&c.p, &c.cc, c.bb, false, false);
        const QImage img = c.done();
        for (int x = 0; x < 49; ++x)
            QVERIFY2(!dark(img, x, 40), qPrintable(QString::number(x)));
        for (int x = 51; x < 100; ++x)
            QVERIFY2(dark(img, x, 40), qPrintable(QString::number(x)));
        QCOMPARE(darkRowsAt(img, 75), 1);
    }
    {
        Canvas c;
        h.draw(&c.p, &c.cc, c.bb, true, true);
        const QImage img = c.done();
        // Dashed extension behind the start, solid 3-pixel half-ray ahead.
        QVERIFY(runs(img, 40, 0, 45).size() >= 3);
        QCOMPARE(darkRowsAt(img, 75), 3);
        QVERIFY(runs(img, 40, 55, 99).isEmpty());
    }
}

void tst_ShapeDraw::lineWidthDoubledWhenSelected_data()
{
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("rows");
    QTest::newRow("width 1") << 1 << false << 1;
    QTest::newRow("width 2") << 2 << false << 2;
    QTest::newRow("width 2 selected") << 2 << true << 4;
    QTest::newRow("width 3 selected") << 3 << true << 6;
}

void tst_ShapeDraw::lineWidthDoubledWhenSelected()
{
    QFETCH(int, penWidth);
    QFETCH(bool, selected);
    QFETCH(int, rows);

    Canvas c;
    QPen pen(QColor(0, 0, 200));
    pen.setWidth(penWidth);
    c.p.setPen(pen);
    Line(Point(20, 40), Point(80, 40)).draw(&c.p, &c.cc, c.bb, selected, false);
    QCOMPARE(c.p.pen(), pen);
    const QImage img = c.done();
    QCOMPARE(darkRowsAt(img, 50), rows);
    // Not extended beyond its ends.
    QVERIFY(!dark(img, 10, 60) && !dark(img, 90, 60));
    // A 5-pixel disc at each end, in the pen's colour.
    QCOMPARE(darkRowsAt(img, 20), qMax(5, rows));
    QCOMPARE(darkRowsAt(img, 80), qMax(5, rows));
    QCOMPARE(img.pixel(80, 58), qRgb(0, 0, 200));
}

void tst_ShapeDraw::penShapeSetsPen()
{
    Canvas c;
    Pen(QColor(255, 0, 0), 1, {}).draw(&c.p, &c.cc, c.bb, false, false);
    Point(50, 50).draw(&c.p, &c.cc, c.bb, false, false);
    QCOMPARE(c.p.pen().color(), QColor(255, 0, 0));
    QCOMPARE(c.done().pixel(50, 50), qRgb(255, 0, 0));
}

void tst_ShapeDraw::pointsRestorePen()
{
    Canvas c;
    c.p.setPen(QPen(QColor(255, 0, 0), 1));
    Points pts;
    pts.connect = true;
    pts.ownPen = true;
    pts.pen = Pen(QColor(0, 0, 255), 1, {});
    pts.add(Point(10, 50));
    pts.add(Point(60, 50));
    pts.draw(&c.p, &c.cc, c.bb, false, false);
    QCOMPARE(c.p.pen().color(), QColor(255, 0, 0));
    // A point drawn afterwards is in the restored pen.
    Point(90, 50).draw(&c.p, &c.cc, c.bb, false, false);
    const QImage img = c.done();
    // The segment with its end discs in the list's own pen.
    QCOMPARE(img.pixel(35, 50), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(10, 48), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(90, 50), qRgb(255, 0, 0));
    // No extension unless asked for.
    QCOMPARE(img.pixel(75, 50), kWhite);
}

void tst_ShapeDraw::pointsLabels()
{
    Canvas c;
    Points pts;
    pts.add(Point(10, 50, "focus 1"));
    pts.add(Point(10, 20));
    pts.showLabels = true;
    const QFont before("Serif", 17);
    c.p.setFont(before);
    pts.draw(&c.p, &c.cc, c.bb, false, false);
    const QImage img = c.done();
    // Text right of and below the labelled point, nothing beside the unlabelled one.
    const QRect beside = inked(img.copy(15, 50, 80, 20));
    QVERIFY(!beside.isNull());
    QVERIFY(inked(img.copy(15, 80, 80, 20)).isNull());
}

void tst_ShapeDraw::drawingKeepsPainterPen()
{
    Canvas c;
    QPen pen(QColor(10, 20, 30));
    pen.setWidth(2);
    pen.setDashPattern({4, 3, 2, 3});
    c.p.setPen(pen);
    Ray(Point(0, 10), Dir(10.0)).draw(&c.p, &c.cc, c.bb, true, false);
    QCOMPARE(c.p.pen(), pen);
    HRay(Point(0, 10), Dir(10.0)).draw(&c.p, &c.cc, c.bb, true, true);
    QCOMPARE(c.p.pen(), pen);
    Line(Point(0, 10), Point(50, 70)).draw(&c.p, &c.cc, c.bb, true, true);
    QCOMPARE(c.p.pen(), pen);
    c.done();
}

void tst_ShapeDraw::degenerateViewDrawsNothing_data()
{
    QTest::addColumn<QRectF>("world");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("zero size") << QRectF(5, 5, 0, 0);
    QTest::newRow("zero width") << QRectF(5, 0, 0, 100);
    QTest::newRow("not a number") << QRectF(nan, 0, 10, 10);
    QTest::newRow("far too small") << QRectF(1, 1, 1e-300, 1e-300);
}

void tst_ShapeDraw::degenerateViewDrawsNothing()
{
    QFETCH(QRectF, world);

    Canvas c;
    const double x1 = world.x() + world.width(), y1 = world.y() + world.height();
    c.cc.setWorld(world.x(), world.y(), x1, y1);
    const Box bb(world.x(), world.y(), x1, y1);
    const Point a(0, 0, "label");
    const Point b(2, 3);
    Points pts;
    pts.add(a);
    pts.add(b);
    pts.connect = pts.extend = pts.showLabels = true;
    const Ray r(a, Dir(30.0));
    const HRay h(a, Dir(30.0));
    const Line l(a, b);
    for (const Shape *s : QVector<const Shape *>{&a, &pts, &r, &h, &l})
        for (bool selected : {false, true})
            s->draw(&c.p, &c.cc, bb, selected, true);
    QVERIFY(inked(c.done()).isNull());
}

void tst_ShapeDraw::unreachablePositionsDrawNothing_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<bool>("bothUnreachable");

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("far outside the view") << QPointF(-1e12, 50) << QPointF(1e12, 60) << true;
    QTest::newRow("one end far outside") << QPointF(50, 50) << QPointF(2e9, 50) << false;
    QTest::newRow("one end at infinity") << QPointF(50, 50) << QPointF(50, -inf) << false;
    QTest::newRow("at infinity") << QPointF(inf, 10) << QPointF(-inf, 10) << true;
    QTest::newRow("not a number") << QPointF(nan, 5) << QPointF(5, nan) << true;
    QTest::newRow("huge") << QPointF(1e300, 1e300) << QPointF(-1e300, 0) << true;
}

void tst_ShapeDraw::unreachablePositionsDrawNothing()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(bool, bothUnreachable);

    // The segment in both directions, and where no end is reachable the points and the
    // labelled, connected list too; the full-line extension is left out (it is clipped to
    // the view and legitimately visible).
    Canvas c;
    const Point pa(a.x(), a.y(), "label");
    const Point pb(b.x(), b.y(), "other");
    Points pts;
    pts.add(pa);
    pts.add(pb);
    pts.connect = pts.showLabels = true;
    for (bool selected : {false, true}) {
        Line(pa, pb).draw(&c.p, &c.cc, c.bb, selected, false);
        Line(pb, pa).draw(&c.p, &c.cc, c.bb, selected, false);
        pb.draw(&c.p, &c.cc, c.bb, selected, false);
        if (bothUnreachable) {
            pa.draw(&c.p, &c.cc, c.bb, selected, false);
            pts.draw(&c.p, &c.cc, c.bb, selected, false);
        }
    }
    QVERIFY(inked(c.done()).isNull());
}

void tst_ShapeDraw::farButInRangeLineIsDrawn()
{
    // Ends a hundred million pixels away are still drawn, dashed, wide and quickly.
    Canvas c;
    QPen pen(Qt::black);
    pen.setWidth(3);
    pen.setDashPattern({3, 3});
    c.p.setPen(pen);
    Line(Point(-1e8, 50), Point(1e8, 50)).draw(&c.p, &c.cc, c.bb, true, true);
    const QImage img = c.done();
    QVERIFY(dark(img, 50, 50));
    QVERIFY(dark(img, 0, 50) && dark(img, 99, 50));
}

QTEST_MAIN(tst_ShapeDraw)
#include "tst_shapedraw.moc"
