#include "chcoord.h"
#include "navigation.h"
#include "ticks.h"

#include <QPainter>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

// The mapping a window paints with: the surface w x h pixels, the world rectangle from view.
void mapView(ChCoord &cc, const QRectF &view, double w, double h)
{
    cc.setScreen(0, h, w, 0);
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
}

bool near(double a, double b, double tol)
{
    return std::fabs(a - b) <= tol;
}

} // namespace

class tst_Navigation : public QObject
{
    Q_OBJECT

private slots:
    void pan_data();
    void pan();
    void zoom_data();
    void zoom();
    void zoomDeepInAndOut_data();
    void zoomDeepInAndOut();
    void measure_data();
    void measure();
    void pick_data();
    void pick();
    void readouts_data();
    void readouts();
    void pointCulling_data();
    void pointCulling();
    void segmentCulling_data();
    void segmentCulling();
    void pixels_data();
    void pixels();
    void culledDrawingSamePixels_data();
    void culledDrawingSamePixels();
};

void tst_Navigation::pan_data()
{
    QTest::addColumn<QRectF>("view");
    QTest::addColumn<QPoint>("prev");
    QTest::addColumn<QPoint>("cur");
    QTest::addColumn<QRectF>("expected");

    // 200 x 200 pixels on 20 x 20 world units: 10 pixels per unit.
    const QRectF v(-10, -10, 20, 20);
    QTest::newRow("still") << v << QPoint(50, 50) << QPoint(50, 50) << v;
    QTest::newRow("right 10 px") << v << QPoint(50, 50) << QPoint(60, 50)
                                 << QRectF(-11, -10, 20, 20);
    QTest::newRow("left 25 px") << v << QPoint(50, 50) << QPoint(25, 50)
                                << QRectF(-7.5, -10, 20, 20);
    QTest::newRow("up 10 px") << v << QPoint(50, 50) << QPoint(50, 40) << QRectF(-10, -11, 20, 20);
    QTest::newRow("down and right")
        << v << QPoint(0, 0) << QPoint(30, 40) << QRectF(-13, -6, 20, 20);
    // Far out, a further drag would leave the drawable range: that axis stays.
    QTest::newRow("x beyond range") << QRectF(9e299, 0, 1e299, 20) << QPoint(50, 50)
                                    << QPoint(40, 60) << QRectF(9e299, 1, 1e299, 20);
}

void tst_Navigation::pan()
{
    QFETCH(QRectF, view);
    QFETCH(QPoint, prev);
    QFETCH(QPoint, cur);
    QFETCH(QRectF, expected);

    ChCoord cc;
    mapView(cc, view, 200, 200);
    const QRectF out = panView(view, cc, cur, prev);
    const double tol = 1e-12 * std::max(std::fabs(expected.x()), 1.0);
    QVERIFY2(near(out.x(), expected.x(), tol), qPrintable(QString::number(out.x(), 'g', 17)));
    QVERIFY2(near(out.y(), expected.y(), 1e-12), qPrintable(QString::number(out.y(), 'g', 17)));
    QCOMPARE(out.width(), expected.width());
    QCOMPARE(out.height(), expected.height());

    // The world point that was under prev is now under cur.
    if (out.x() != view.x()) {
        ChCoord before;
        mapView(before, view, 200, 200);
        ChCoord after;
        mapView(after, out, 200, 200);
        QVERIFY(near(after.toWorldX(cur.x()), before.toWorldX(prev.x()), 1e-9));
        QVERIFY(near(after.toWorldY(cur.y()), before.toWorldY(prev.y()), 1e-9));
    }
}

void tst_Navigation::zoom_data()
{
    QTest::addColumn<QRectF>("view");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("step");
    QTest::addColumn<QRectF>("expected");

    // 100 x 100 pixels on 100 x 100 units, y up: pixel (px, py) is world (px, 100 - py).
    const QRectF v(0, 0, 100, 100);
    QTest::newRow("in about the middle") << v << QPoint(50, 50) << 1 << QRectF(5, 5, 90, 90);
    QTest::newRow("in about a point off centre")
        << v << QPoint(20, 70) << 1 << QRectF(2, 3, 90, 90);
    QTest::newRow("out about the middle")
        << v << QPoint(50, 50) << -1 << QRectF(50 - 50 / 0.9, 50 - 50 / 0.9, 100 / 0.9, 100 / 0.9);
    QTest::newRow("two notches in") << v << QPoint(50, 50) << 2 << QRectF(9.5, 9.5, 81, 81);
    QTest::newRow("zero notches") << v << QPoint(50, 50) << 0 << v;
    QTest::newRow("near the left border: only y")
        << v << QPoint(3, 50) << 1 << QRectF(0, 5, 100, 90);
    QTest::newRow("on the 5 % line: only y") << v << QPoint(5, 50) << 1 << QRectF(0, 5, 100, 90);
    QTest::newRow("near the right border: only y")
        << v << QPoint(97, 50) << 1 << QRectF(0, 5, 100, 90);
    QTest::newRow("near the top: only x") << v << QPoint(50, 2) << 1 << QRectF(5, 0, 90, 100);
    QTest::newRow("near the bottom: only x") << v << QPoint(50, 99) << 1 << QRectF(5, 0, 90, 100);
    QTest::newRow("in a corner: nothing") << v << QPoint(1, 1) << 1 << v;
    QTest::newRow("huge step in: refused") << v << QPoint(50, 50) << 100000 << v;
    QTest::newRow("huge step out: refused") << v << QPoint(50, 50) << -100000 << v;
    // The Crystals window of a design without crystals has a reversed, huge rectangle.
    const QRectF reversed(1.2e300, 1.2e300, -2.4e300, -2.4e300);
    QTest::newRow("reversed rectangle") << reversed << QPoint(50, 50) << 1 << reversed;
}

void tst_Navigation::zoom()
{
    QFETCH(QRectF, view);
    QFETCH(QPoint, cursor);
    QFETCH(int, step);
    QFETCH(QRectF, expected);

    ChCoord cc;
    mapView(cc, view, 100, 100);
    const QRectF out = zoomView(view, cc, cursor, step);
    const double tol = 1e-12 * std::max(std::fabs(expected.width()), 1.0);
    QVERIFY2(near(out.x(), expected.x(), tol) && near(out.y(), expected.y(), tol)
                 && near(out.width(), expected.width(), tol)
                 && near(out.height(), expected.height(), tol),
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(out.x(), 0, 'g', 17)
                            .arg(out.y(), 0, 'g', 17)
                            .arg(out.width(), 0, 'g', 17)
                            .arg(out.height(), 0, 'g', 17)));
}

void tst_Navigation::zoomDeepInAndOut_data()
{
    QTest::addColumn<QRectF>("view");
    QTest::addColumn<QPoint>("cursor");

    QTest::newRow("default view, off centre") << QRectF(-10, -10, 20, 20) << QPoint(37, 61);
    QTest::newRow("design far from the origin") << QRectF(5e6, -3e4, 400, 300) << QPoint(50, 50);
    QTest::newRow("tiny view at the origin") << QRectF(-1e-9, -1e-9, 2e-9, 2e-9) << QPoint(50, 50);
}

// 2000 notches in, then 2000 out, one at a time as the wheel delivers them.
void tst_Navigation::zoomDeepInAndOut()
{
    QFETCH(QRectF, view);
    QFETCH(QPoint, cursor);

    ChCoord cc;
    QRectF v = view;
    mapView(cc, v, 100, 100);
    const double wx = cc.toWorldX(cursor.x());
    const double wy = cc.toWorldY(cursor.y());
    for (int i = 0; i < 2000; ++i) {
        mapView(cc, v, 100, 100);
        v = zoomView(v, cc, cursor, 1);
        QVERIFY(std::isfinite(v.x()) && std::isfinite(v.width()));
        QVERIFY(v.width() > 0 && v.height() > 0);
        // Still a view whose coordinates tell pixels apart well enough to move back out.
        QVERIFY(v.x() + v.width() != v.x() && v.y() + v.height() != v.y());
    }
    QVERIFY(v.width() < view.width() * 1e-3);
    // At the deepest zoom the coordinates still resolve the grid.
    QVERIFY(tickStep(v.left(), v.right()).valid);
    QVERIFY(tickStep(v.top(), v.bottom()).valid);
    // The world point under the cursor stayed under it, up to the rounding of the wider views
    // it passed through.
    mapView(cc, v, 100, 100);
    QVERIFY(near(cc.toWorldX(cursor.x()), wx, v.width() + view.width() * 1e-12));
    QVERIFY(near(cc.toWorldY(cursor.y()), wy, v.height() + view.height() * 1e-12));

    for (int i = 0; i < 2000; ++i) {
        mapView(cc, v, 100, 100);
        v = zoomView(v, cc, cursor, -1);
        QVERIFY(std::isfinite(v.x()) && std::isfinite(v.width()));
        QVERIFY(std::fabs(v.x()) <= kMaxViewExtent && std::fabs(v.y()) <= kMaxViewExtent);
    }
    QVERIFY(v.width() > view.width() && v.height() > view.height());
}

void tst_Navigation::measure_data()
{
    QTest::addColumn<double>("ax");
    QTest::addColumn<double>("ay");
    QTest::addColumn<double>("bx");
    QTest::addColumn<double>("by");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("dirX");
    QTest::addColumn<double>("dirY");

    QTest::newRow("3-4-5") << 0.0 << 0.0 << 3.0 << 4.0 << true << 5.0 << 0.6 << 0.8;
    QTest::newRow("leftwards") << 2.0 << 1.0 << -2.0 << 1.0 << true << 4.0 << -1.0 << 0.0;
    QTest::newRow("no drag") << 1.5 << -2.0 << 1.5 << -2.0 << true << 0.0 << 1.0 << 0.0;
    QTest::newRow("not finite") << kNan << 0.0 << 1.0 << 1.0 << false << 1.0 << 1.0 << 0.0;
    QTest::newRow("overflowing length")
        << -1.5e308 << 0.0 << 1.5e308 << 0.0 << false << 1.0 << 1.0 << 0.0;
}

void tst_Navigation::measure()
{
    QFETCH(double, ax);
    QFETCH(double, ay);
    QFETCH(double, bx);
    QFETCH(double, by);
    QFETCH(bool, ok);
    QFETCH(double, length);
    QFETCH(double, dirX);
    QFETCH(double, dirY);

    // Starts as the unit segment along +x, as the main window's measuring line does.
    Line l(Point(0, 0), Dir(0.0), 1.0);
    QCOMPARE(measureLine(Point(ax, ay), Point(bx, by), l), ok);
    QCOMPARE(l.length, length);
    QVERIFY(near(l.dir().x, dirX, 1e-15));
    QVERIFY(near(l.dir().y, dirY, 1e-15));
    if (ok) {
        QCOMPARE(l.start().x, ax);
        QCOMPARE(l.start().y, ay);
    }
}

void tst_Navigation::pick_data()
{
    QTest::addColumn<QVector<double>>("distances");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("picked");

    // 5 % of the diagonal of a 30 x 40 view is 2.5, of 6 x 8 is 0.5, of 3 x 4 is 0.25.
    QTest::newRow("near in a wide view") << QVector<double>{0.5} << 30.0 << 40.0 << 0;
    QTest::newRow("0.5 against 5 % = 0.5") << QVector<double>{0.5} << 6.0 << 8.0 << -1;
    QTest::newRow("0.5 against 5 % = 0.55") << QVector<double>{0.5} << 6.6 << 8.8 << 0;
    QTest::newRow("0.3 against 5 % = 0.25") << QVector<double>{0.3} << 3.0 << 4.0 << -1;
    QTest::newRow("1.0 is never near") << QVector<double>{1.0} << 3000.0 << 4000.0 << -1;
    QTest::newRow("just under 1.0") << QVector<double>{0.999} << 3000.0 << 4000.0 << 0;
    QTest::newRow("nearest wins") << QVector<double>{0.9, 0.2, 0.5} << 30.0 << 40.0 << 1;
    QTest::newRow("pens skipped, first of equals wins")
        << QVector<double>{-1, 0.3, -1, 0.3} << 30.0 << 40.0 << 1;
    QTest::newRow("all pens") << QVector<double>{-1, -1} << 30.0 << 40.0 << -1;
    QTest::newRow("nothing") << QVector<double>{} << 30.0 << 40.0 << -1;
    QTest::newRow("not finite distance skipped") << QVector<double>{kNan, 0.4} << 30.0 << 40.0 << 1;
    QTest::newRow("reversed view counts by size") << QVector<double>{0.5} << -30.0 << -40.0 << 0;
}

void tst_Navigation::pick()
{
    QFETCH(QVector<double>, distances);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, picked);

    QCOMPARE(pickShape(distances, width, height), picked);
}

void tst_Navigation::readouts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("cursor") << positionReadout(1.5, -2) << "(   1.500,   -2.000):    2.500";
    QTest::newRow("origin") << positionReadout(0, 0) << "(   0.000,    0.000):    0.000";
    QTest::newRow("wider than the field")
        << positionReadout(12345.6789, -0.0004) << "(12345.679,   -0.000): 12345.679";
    QTest::newRow("rounding") << positionReadout(-0.0125, 99.9996)
                              << "(  -0.013,  100.000):  100.000";
    QTest::newRow("measured 3-4-5") << measureReadout(Line(Point(0, 0), Point(3, 4)))
                                    << "(   0.000,    0.000)-(   3.000,    4.000) :    5.000000";
    QTest::newRow("measuring line at start")
        << measureReadout(Line(Point(0, 0), Dir(0.0), 1.0))
        << "(   0.000,    0.000)-(   1.000,    0.000) :    1.000000";
    QTest::newRow("measured leftwards")
        << measureReadout(Line(Point(10.25, -3), Point(-20.5, 1)))
        << "(  10.250,   -3.000)-( -20.500,    1.000) :   31.009071";
}

void tst_Navigation::readouts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void tst_Navigation::pointCulling_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<bool>("label");
    QTest::addColumn<bool>("mayShow");

    QTest::newRow("inside") << 50.0 << 50.0 << true << true;
    QTest::newRow("disc just over the left edge") << -2.0 << 50.0 << false << true;
    QTest::newRow("label reaching in from the left") << -190.0 << 50.0 << true << true;
    QTest::newRow("far left, labelled") << -300.0 << 50.0 << true << false;
    QTest::newRow("far left, no label") << -60.0 << 50.0 << false << false;
    QTest::newRow("above") << 50.0 << -80.0 << true << false;
    QTest::newRow("below") << 50.0 << 500.0 << true << false;
    QTest::newRow("right") << 500.0 << 50.0 << true << false;
    QTest::newRow("not finite") << kNan << 50.0 << true << false;
    QTest::newRow("far away") << 1e15 << -1e15 << true << false;
}

void tst_Navigation::pointCulling()
{
    QFETCH(double, sx);
    QFETCH(double, sy);
    QFETCH(bool, label);
    QFETCH(bool, mayShow);
    QCOMPARE(pointMarkMayShow(sx, sy, label, QRectF(0, 0, 400, 300)), mayShow);
}

void tst_Navigation::segmentCulling_data()
{
    QTest::addColumn<QLineF>("segment");
    QTest::addColumn<bool>("mayShow");

    QTest::newRow("inside") << QLineF(10, 10, 100, 100) << true;
    QTest::newRow("crossing, ends far outside") << QLineF(-1e8, 150, 1e8, 160) << true;
    QTest::newRow("left of the window") << QLineF(-100, 10, -50, 290) << false;
    QTest::newRow("end disc touching the edge") << QLineF(-100, 10, -1, 10) << true;
    QTest::newRow("below") << QLineF(0, 400, 400, 350) << false;
    QTest::newRow("passing a corner by") << QLineF(-100, 80, 80, -100) << false;
    QTest::newRow("clipping a corner") << QLineF(-100, 140, 140, -100) << true;
    QTest::newRow("diagonal far outside") << QLineF(1e6, -1e6 + 500, 2e6, -2e6 + 500) << false;
    QTest::newRow("point-like") << QLineF(200, 100, 200, 100) << true;
}

void tst_Navigation::segmentCulling()
{
    QFETCH(QLineF, segment);
    QFETCH(bool, mayShow);
    QCOMPARE(
        segmentMayShow(
            segment.x1(), segment.y1(), segment.x2(), segment.y2(), 1.0, QRectF(0, 0, 400, 300)),
        mayShow);
}

void tst_Navigation::pixels_data()
{
    QTest::addColumn<double>("s");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("pixel");

    QTest::newRow("truncates") << 3.7 << true << 3;
    QTest::newRow("toward zero") << -3.7 << true << -3;
    QTest::newRow("limit") << 1e9 << true << 1000000000;
    QTest::newRow("beyond") << 2.5e9 << false << 0;
    QTest::newRow("nan") << kNan << false << 0;
    QTest::newRow("infinite") << -std::numeric_limits<double>::infinity() << false << 0;
}

void tst_Navigation::pixels()
{
    QFETCH(double, s);
    QFETCH(bool, ok);
    QFETCH(int, pixel);
    int out = 0;
    QCOMPARE(screenPixel(s, out), ok);
    QCOMPARE(out, pixel);
}

void tst_Navigation::culledDrawingSamePixels_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<bool>("extend");
    QTest::addColumn<bool>("visible");

    // The window shows world -10 ... 20 by -5 ... 15 on 300 x 200 pixels.
    QVector<QPointF> spiral;
    for (int i = 0; i < 600; ++i) {
        const double r = 0.05 * i;
        spiral.append(QPointF(5 + r * std::cos(i * 0.7), 5 + r * std::sin(i * 0.7)));
    }
    QVector<QPointF> far;
    for (int i = 0; i < 300; ++i)
        far.append(QPointF(1e4 + i, -3e4 + 0.5 * i));
    // Long segments through the window between ends far outside, and points whose label
    // alone reaches into it from the left.
    const QVector<QPointF> crossing{
        {-1e3, 4}, {1e3, 6}, {3e4, -2e4}, {-3e4, 2e4}, {-25, 14.5}, {-12, -4}, {-12, 30}};
    QVector<QPointF> inside;
    for (int i = 0; i < 40; ++i)
        inside.append(QPointF(-9 + 0.7 * i, -4 + 0.45 * i));

    QTest::newRow("spiral, partly out of sight") << spiral << true << false << true;
    QTest::newRow("spiral without labels") << spiral << false << false << true;
    QTest::newRow("spiral with extensions") << spiral << true << true << true;
    QTest::newRow("all far away") << far << true << false << false;
    QTest::newRow("crossing segments") << crossing << true << false << true;
    QTest::newRow("all inside") << inside << true << false << true;
}

// The culled drawing leaves every pixel as the full drawing of the same list does.
void tst_Navigation::culledDrawingSamePixels()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(bool, labels);
    QFETCH(bool, extend);
    QFETCH(bool, visible);

    Points list;
    list.connect = true;
    list.extend = extend;
    list.ownPen = true;
    list.showLabels = labels;
    list.pen = Pen(QColor(200, 0, 200), 1, {4, 3, 2, 3});
    for (int i = 0; i < points.size(); ++i)
        list.add(Point(points[i].x(), points[i].y(), QStringLiteral("%1-8090[eV]").arg(8000 + i)));

    const QRectF view(-10, -5, 30, 20);
    const QRectF window(0, 0, 300, 200);
    ChCoord cc;
    mapView(cc, view, window.width(), window.height());
    const Box bb(view.left(), view.top(), view.right(), view.bottom());

    QImage full(300, 200, QImage::Format_RGB32);
    QImage culled(300, 200, QImage::Format_RGB32);
    for (QImage *img : {&full, &culled}) {
        img->fill(Qt::white);
        QPainter p(img);
        p.setPen(QPen(QColor(0, 255, 0), 1));
        if (img == &full)
            list.draw(&p, &cc, bb, false, false);
        else
            drawPointsInView(&p, &cc, bb, list, window);
        // Both restore the pen they found.
        QCOMPARE(p.pen().color(), QColor(0, 255, 0));
    }
    QCOMPARE(culled, full);

    QImage blank(300, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QCOMPARE(full != blank, visible);
}

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
