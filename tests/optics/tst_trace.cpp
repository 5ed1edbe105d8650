#include "trace.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// A crystal centred on (x, y) whose reflected centre ray leaves toward (tx, ty).
CrystalOptics aimedAt(double x, double y, double tx, double ty)
{
    const double twoTheta = std::atan2(ty - y, tx - x) / kPi * 180.0;
    return CrystalOptics(twoTheta / 2.0, x, y, 1.0);
}

CrystalOptics withReflection(double x, double y, double twoTheta)
{
    return CrystalOptics(twoTheta / 2.0, x, y, 1.0);
}

bool near(const Point &p, double x, double y, double tol = 1e-9)
{
    return std::fabs(p.x - x) <= tol && std::fabs(p.y - y) <= tol;
}

QString str(const Point &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x, 0, 'g', 17).arg(p.y, 0, 'g', 17);
}

CrystalList listOf(const QVector<CrystalOptics> &cs)
{
    CrystalList l;
    for (const CrystalOptics &c : cs)
        l << &c;
    return l;
}

} // namespace

Q_DECLARE_METATYPE(Point)

class tst_Trace : public QObject
{
    Q_OBJECT

private slots:
    void focusAndImage();
    void pairOrder();
    void parallelPairCountsAsOrigin();
    void fewerThanTwoCrystals_data();
    void fewerThanTwoCrystals();
    void colours_data();
    void colours();
    void shapesInDrawingOrder();
    void labels_data();
    void labels();
    void restart_data();
    void restart();
    void marginBoxes_data();
    void marginBoxes();
    void overallSkipsPens();
    void crystalsBox();
    void centring();
};

void tst_Trace::focusAndImage()
{
    const QVector<CrystalOptics> cs{aimedAt(0, 0, 100, 50), aimedAt(10, 0, 100, 50)};
    Points crossings, centres, avrCps, avrIps;
    crossCentreRays(listOf(cs), crossings, centres);
    QCOMPARE(crossings.points.size(), 1);
    QVERIFY2(near(crossings.points[0], 100, 50), qPrintable(str(crossings.points[0])));
    QVERIFY(near(centres.center(), 5, 0, 1e-12));

    QVERIFY(addFocus(crossings, centres, "8000-8090[eV]", avrCps, avrIps));
    QCOMPARE(avrCps.points.size(), 1);
    QCOMPARE(avrIps.points.size(), 1);
    QVERIFY(near(avrCps.points[0], 100, 50));
    QVERIFY2(near(avrIps.points[0], 195, 100), qPrintable(str(avrIps.points[0])));
    QCOMPARE(avrCps.points[0].label, QString("8000-8090[eV]"));
    QCOMPARE(avrIps.points[0].label, QString("8000-8090[eV]"));

    // Every analysis appends, also when nothing changed.
    QVERIFY(addFocus(crossings, centres, "x", avrCps, avrIps));
    QCOMPARE(avrCps.points.size(), 2);
    QCOMPARE(avrIps.points.size(), 2);
    QVERIFY(near(avrCps.sum, 200, 100));
}

void tst_Trace::pairOrder()
{
    // Reflections at 45, 90 and 0 degrees: y = x, x = 10 and y = 4.
    const QVector<CrystalOptics> cs{
        withReflection(0, 0, 45), withReflection(10, 0, 90), withReflection(0, 4, 0)};
    Points crossings, centres;
    crossCentreRays(listOf(cs), crossings, centres);
    QCOMPARE(crossings.points.size(), 3);
    QVERIFY2(near(crossings.points[0], 10, 10), qPrintable(str(crossings.points[0])));
    QVERIFY2(near(crossings.points[1], 4, 4), qPrintable(str(crossings.points[1])));
    QVERIFY2(near(crossings.points[2], 10, 4), qPrintable(str(crossings.points[2])));
    QVERIFY(near(crossings.center(), 8, 6));
    QCOMPARE(centres.points.size(), 3);
    QVERIFY(near(centres.points[1], 10, 0, 1e-12));
    QVERIFY(near(centres.points[2], 0, 4, 1e-12));

    // A second analysis replaces, not appends.
    crossCentreRays(listOf(cs), crossings, centres);
    QCOMPARE(crossings.points.size(), 3);
    QVERIFY(near(crossings.sum, 24, 18));
}

void tst_Trace::parallelPairCountsAsOrigin()
{
    const QVector<CrystalOptics> cs{
        withReflection(0, 0, 30), withReflection(0, 5, 30), withReflection(10, 0, 90)};
    Points crossings, centres;
    crossCentreRays(listOf(cs), crossings, centres);
    QCOMPARE(crossings.points.size(), 3);
    QCOMPARE(crossings.points[0].valid, false);
    QVERIFY(near(crossings.points[0], 0, 0, 0));
    // Behind a ray's start still counts: the crossing of the lines.
    QVERIFY(crossings.points[1].valid);
    const double t30 = std::tan(30.0 / 180.0 * kPi);
    QVERIFY(near(crossings.center(), (10 + 10) / 3.0, (10 * t30 + 5 + 10 * t30) / 3.0));
}

void tst_Trace::fewerThanTwoCrystals_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
}

void tst_Trace::fewerThanTwoCrystals()
{
    QFETCH(int, n);
    QVector<CrystalOptics> cs;
    for (int i = 0; i < n; ++i)
        cs << CrystalOptics(10, 3, 4, 2);
    Points crossings, centres, avrCps, avrIps;
    avrCps.add(Point(1, 1));
    avrIps.add(Point(2, 2));
    crossCentreRays(listOf(cs), crossings, centres);
    QCOMPARE(crossings.points.size(), 0);
    QCOMPARE(centres.points.size(), n);
    QVERIFY(!addFocus(crossings, centres, "l", avrCps, avrIps));
    QCOMPARE(avrCps.points.size(), 1);
    QCOMPARE(avrIps.points.size(), 1);
}

void tst_Trace::colours_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<QColor>>("colours");
    QTest::newRow("four") << 4
                          << QVector<QColor>{QColor(0, 255, 0),
                                             QColor(63, 191, 0),
                                             QColor(127, 127, 0),
                                             QColor(191, 63, 0)};
    QTest::newRow("one") << 1 << QVector<QColor>{QColor(0, 255, 0)};
    QTest::newRow("three") << 3
                           << QVector<QColor>{
                                  QColor(0, 255, 0), QColor(85, 170, 0), QColor(170, 85, 0)};
}

void tst_Trace::colours()
{
    QFETCH(int, n);
    QFETCH(QVector<QColor>, colours);
    QVector<QColor> got;
    for (int i = 0; i < n; ++i)
        got << crystalColour(i, n);
    QCOMPARE(got, colours);
}

void tst_Trace::shapesInDrawingOrder()
{
    CrystalOptics c(10, 0, 0, 1);
    QVector<Shape *> shapes;
    appendShapes(c, shapes);
    const QVector<Shape *> expected{&c.inPen,
                                    &c.inEdgeStart,
                                    &c.inCentre,
                                    &c.inEdgeEnd,
                                    &c.crystalPen,
                                    &c.surface,
                                    &c.outPen,
                                    &c.outEdgeStart,
                                    &c.outCentre,
                                    &c.outEdgeEnd};
    QCOMPARE(shapes, expected);
}

void tst_Trace::labels_data()
{
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::addColumn<QString>("label");
    QTest::newRow("whole energies") << 8000.0 << 8090.0 << "8000-8090[eV]";
    QTest::newRow("six significant digits") << 8012.3456 << 7865.0 << "8012.35-7865[eV]";
    QTest::newRow("unparsed text counts as 0") << 0.0 << 7865.0 << "0-7865[eV]";
    QTest::newRow("negative") << -113284.4296 << 1e7 << "-113284-1e+07[eV]";
}

void tst_Trace::labels()
{
    QFETCH(double, first);
    QFETCH(double, last);
    QFETCH(QString, label);
    QCOMPARE(energyRangeLabel(first, last), label);
}

void tst_Trace::restart_data()
{
    QTest::addColumn<int>("crystals");
    QTest::addColumn<int>("entries");
    QTest::newRow("one crystal") << 1 << 0;
    QTest::newRow("two crystals") << 2 << 1;
    QTest::newRow("three crystals") << 3 << 1;
}

void tst_Trace::restart()
{
    QFETCH(int, crystals);
    QFETCH(int, entries);
    const QVector<CrystalOptics> all{
        withReflection(0, 0, 45), withReflection(10, 0, 90), withReflection(0, 4, 0)};
    Points crossings, centres, avrCps, avrIps;
    crossCentreRays(listOf(all.mid(0, crystals)), crossings, centres);
    for (int i = 0; i < 3; ++i)
        addFocus(crossings, centres, "lbl", avrCps, avrIps);

    restartHistories(crossings, avrCps, avrIps);
    QCOMPARE(avrCps.points.size(), entries);
    QCOMPARE(avrIps.points.size(), entries);
    if (entries == 0) {
        QVERIFY(near(avrCps.sum, 0, 0, 0));
        QVERIFY(near(newestOr0(avrCps), 0, 0, 0));
        return;
    }
    const Point f = avrCps.points[0];
    QVERIFY(near(f, crossings.center().x, crossings.center().y, 0));
    // Twice the focus from the origin, not mirrored through the crystals' middle.
    QCOMPARE(avrIps.points[0].x, f.x + f.x);
    QCOMPARE(avrIps.points[0].y, f.y + f.y);
    QVERIFY(f.label.isEmpty());
    QVERIFY(avrIps.points[0].label.isEmpty());
    QVERIFY(near(avrCps.sum, f.x, f.y, 0));
}

void tst_Trace::marginBoxes_data()
{
    QTest::addColumn<QVector<Point>>("points");
    QTest::addColumn<QRectF>("box");
    QTest::newRow("no points") << QVector<Point>{} << QRectF(1.2e300, 1.2e300, -2.4e300, -2.4e300);
    QTest::newRow("one point") << QVector<Point>{Point(3, -2)} << QRectF(3, -2, 0, 0);
    QTest::newRow("spread") << QVector<Point>{Point(0, 0), Point(10, -5), Point(5, 15)}
                            << QRectF(-1, -7, 12, 24);
}

void tst_Trace::marginBoxes()
{
    QFETCH(QVector<Point>, points);
    QFETCH(QRectF, box);
    const QRectF got = marginBox(points);
    QCOMPARE(got.x(), box.x());
    QCOMPARE(got.y(), box.y());
    QCOMPARE(got.width(), box.width());
    QCOMPARE(got.height(), box.height());
}

void tst_Trace::overallSkipsPens()
{
    // Rays start at x 9, 10, 11 on y 10; the pens (no position) would pull the box to 0.
    CrystalOptics c(0, 10, 10, 2);
    QVector<Shape *> shapes;
    appendShapes(c, shapes);
    const QRectF r = overallExtent(shapes, Point(12, 20));
    QVERIFY(std::fabs(r.x() - 8.7) < 1e-12);
    QVERIFY(std::fabs(r.y() - 9.0) < 1e-12);
    QVERIFY(std::fabs(r.width() - 3.6) < 1e-12);
    QVERIFY(std::fabs(r.height() - 12.0) < 1e-12);
}

void tst_Trace::crystalsBox()
{
    const QVector<CrystalOptics> cs{CrystalOptics(90, 0, 0, 2), CrystalOptics(0, 10, 5, 4)};
    const QRectF r = crystalsExtent(listOf(cs));
    // Ends (0, -1), (0, 1), (8, 5), (12, 5).
    QVERIFY(std::fabs(r.x() + 1.2) < 1e-12);
    QVERIFY(std::fabs(r.y() + 1.6) < 1e-12);
    QVERIFY(std::fabs(r.width() - 14.4) < 1e-12);
    QVERIFY(std::fabs(r.height() - 7.2) < 1e-12);
    QCOMPARE(crystalsExtent(CrystalList()), QRectF(1.2e300, 1.2e300, -2.4e300, -2.4e300));
}

void tst_Trace::centring()
{
    QCOMPARE(centredOn(QRectF(-10, -10, 20, 40), Point(100, 50)), QRectF(90, 30, 20, 40));
    Points h;
    QVERIFY(near(newestOr0(h), 0, 0, 0));
    h.add(Point(1, 2));
    h.add(Point(3, 4));
    QVERIFY(near(newestOr0(h), 3, 4, 0));
}

QTEST_MAIN(tst_Trace)
#include "tst_trace.moc"
