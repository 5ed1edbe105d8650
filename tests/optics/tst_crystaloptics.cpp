#include "bragg.h"
#include "crystaloptics.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr double kD = 3.13553;
constexpr double kTol = 1e-12;

bool near(double a, double b, double tol = kTol)
{
    return std::fabs(a - b) <= tol;
}

} // namespace

class tst_CrystalOptics : public QObject
{
    Q_OBJECT

private slots:
    void shownTexts_data();
    void shownTexts();
    void endPointsAndRays();
    void pensAfterPlace();
    void edits_data();
    void edits();
    void energyRoundTrip_data();
    void energyRoundTrip();
    void noReflection();
    void rotateAboutOrigin();
    void nonFinite();
};

void tst_CrystalOptics::shownTexts_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("length");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("30 deg, length 2") << 30.0 << 0.0 << 0.0 << 2.0
                                      << QStringList{"    0.00000",
                                                     "    0.00000",
                                                     "  30.000000",
                                                     " 3954.1718",
                                                     "   2.00000",
                                                     "    0.00000",
                                                     "    1.00000"};
    QTest::newRow("-1 deg: negative energy wider than the field") << -1.0 << 0.0 << 0.0 << 4.0
                                                                  << QStringList{"    0.00000",
                                                                                 "    0.00000",
                                                                                 "  -1.000000",
                                                                                 "-113284.4296",
                                                                                 "   4.00000",
                                                                                 "    0.00000",
                                                                                 "   -0.06981"};
    QTest::newRow("negative length: centre moves by |L| along the surface")
        << 45.0 << 1.5 << -2.25 << -3.0
        << QStringList{"    3.62132",
                       "   -0.12868",
                       "  45.000000",
                       " 2796.0217",
                       "   3.00000",
                       "   -0.12868",
                       "    2.12132"};
    QTest::newRow("beyond 90 deg") << 120.0 << 10.0 << 5.0 << 1.0
                                   << QStringList{"   10.00000",
                                                  "    5.00000",
                                                  " 120.000000",
                                                  " 2282.9422",
                                                  "   1.00000",
                                                  "    5.00000",
                                                  "    0.86603"};
}

void tst_CrystalOptics::shownTexts()
{
    QFETCH(double, angle);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, length);
    QFETCH(QStringList, texts);

    const CrystalTexts t = CrystalOptics(angle, x, y, length).texts(kD);
    QCOMPARE(QStringList({t.x, t.y, t.deg, t.energy, t.length, t.inBeamC, t.beamW}), texts);
}

void tst_CrystalOptics::endPointsAndRays()
{
    const CrystalOptics c(30.0, 0.0, 0.0, 2.0);
    const double c30 = std::sqrt(3.0) / 2.0;
    QVERIFY(near(c.startPoint().x, -c30));
    QVERIFY(near(c.startPoint().y, -0.5));
    QVERIFY(near(c.endPoint().x, c30));
    QVERIFY(near(c.endPoint().y, 0.5));
    QCOMPARE(c.surface.length, 2.0);

    // Incident rays point back at the source from start, centre and end.
    QCOMPARE(c.inCentre.deg, 180.0);
    QCOMPARE(c.inCentre.Dir::x, -1.0);
    QCOMPARE(c.inCentre.Dir::y, 1.2246467991473532e-16);
    QCOMPARE(c.inEdgeStart.Point::x, c.startPoint().x);
    QCOMPARE(c.inEdgeEnd.Point::y, c.endPoint().y);
    QCOMPARE(c.inEdgeStart.form, int(Ray::HRayForm));

    // Reflected rays leave at twice the surface angle.
    for (const HRay *r : {&c.outEdgeStart, &c.outCentre, &c.outEdgeEnd}) {
        QCOMPARE(r->deg, 60.0);
        QVERIFY(near(r->Dir::x, 0.5));
    }
    QCOMPARE(c.outCentre.Point::x, c.centre().x);
    QCOMPARE(c.outEdgeStart.Point::y, c.startPoint().y);
    QCOMPARE(c.outEdgeEnd.Point::x, c.endPoint().x);
}

void tst_CrystalOptics::pensAfterPlace()
{
    CrystalOptics c(10.0, 0.0, 0.0, 1.0);
    c.inPen.pen.setColor(Qt::blue);
    c.place(20.0, 1.0, 1.0, 2.0);
    QCOMPARE(c.inPen.pen.color(), QColor(200, 200, 0));
    QCOMPARE(c.inPen.pen.width(), 1);
    QCOMPARE(c.outPen.pen.color(), QColor(255, 0, 0));
    QCOMPARE(c.crystalPen.pen.color(), QColor(128, 0, 192));
    QCOMPARE(c.crystalPen.pen.width(), 5);
    QCOMPARE(c.crystalPen.pen.style(), Qt::SolidLine);
}

void tst_CrystalOptics::edits_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<double>("value");
    // Expected start point, angle and (signed) length afterwards, for a crystal at 30 degrees
    // centred on (0, 0) with length 2.
    QTest::addColumn<double>("px");
    QTest::addColumn<double>("py");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("length");

    const double c30 = std::sqrt(3.0) / 2.0;
    QTest::newRow("centre x to 5") << "centre" << 5.0 << 5.0 - c30 << -0.5 << 30.0 << 2.0;
    QTest::newRow("turn keeps the start") << "angle" << 90.0 << -c30 << -0.5 << 90.0 << 2.0;
    QTest::newRow("longer about the centre") << "length" << 4.0 << -2 * c30 << -1.0 << 30.0 << 4.0;
    QTest::newRow("negative length swaps the ends")
        << "length" << -2.0 << c30 << 0.5 << 30.0 << -2.0;
}

void tst_CrystalOptics::edits()
{
    QFETCH(QString, edit);
    QFETCH(double, value);
    QFETCH(double, px);
    QFETCH(double, py);
    QFETCH(double, angle);
    QFETCH(double, length);

    CrystalOptics c(30.0, 0.0, 0.0, 2.0);
    if (edit == "centre")
        c.moveCentreTo(value, 0.0);
    else if (edit == "angle")
        c.turnTo(value);
    else
        c.changeLength(value);

    QVERIFY2(near(c.startPoint().x, px), qPrintable(QString::number(c.startPoint().x, 'g', 17)));
    QVERIFY2(near(c.startPoint().y, py), qPrintable(QString::number(c.startPoint().y, 'g', 17)));
    QCOMPARE(c.angleDeg(), angle);
    QCOMPARE(c.surface.length, length);
    // Rays always follow the surface.
    QCOMPARE(c.outCentre.Point::x, c.centre().x);
    QCOMPARE(c.outCentre.deg, 2 * angle);
    QCOMPARE(c.inEdgeEnd.Point::y, c.endPoint().y);
}

void tst_CrystalOptics::energyRoundTrip_data()
{
    QTest::addColumn<double>("energy");
    QTest::newRow("8000") << 8000.0;
    QTest::newRow("7985") << 7985.0;
    QTest::newRow("2000.1234") << 2000.1234;
    QTest::newRow("25000.5") << 25000.5;
}

void tst_CrystalOptics::energyRoundTrip()
{
    QFETCH(double, energy);
    CrystalOptics c(30.0, 1.0, 2.0, 3.0);
    const Point p = c.startPoint();
    c.turnToEnergy(energy, kD);
    QCOMPARE(c.texts(kD).energy, QString::asprintf("%10.4f", energy));
    // Turned about the start point.
    QCOMPARE(c.startPoint().x, p.x);
    QCOMPARE(c.startPoint().y, p.y);
}

void tst_CrystalOptics::noReflection()
{
    CrystalOptics c(30.0, 0.0, 0.0, 2.0);
    c.turnToEnergy(0.0, kD);
    QCOMPARE(c.texts(kD).deg, QString("  -1.000000"));
    QCOMPARE(c.surface.rad, Bragg::noReflectionRad);
    QCOMPARE(c.surface.Dir::x, Bragg::noReflectionCos);
    QCOMPARE(c.surface.Dir::y, Bragg::noReflectionSin);
    QCOMPARE(c.texts(kD).energy, QString("-113284.4296"));

    // 1977.0859 eV is the lowest energy the spacing reflects (at 90 degrees).
    c.turnToEnergy(1977.08, kD);
    QCOMPARE(c.angleDeg(), -1.0);
    c.turnToEnergy(1977.09, kD);
    QVERIFY(c.angleDeg() > 89.0);
}

void tst_CrystalOptics::rotateAboutOrigin()
{
    CrystalOptics c(14.0, 3.0, 1.0, 4.0);
    const Point p = c.startPoint();
    c.rotateAboutOrigin(90.0);
    QVERIFY(near(c.startPoint().x, -p.y));
    QVERIFY(near(c.startPoint().y, p.x));
    QCOMPARE(c.angleDeg(), 104.0);
    QCOMPARE(c.surface.length, 4.0);
    QCOMPARE(c.outCentre.deg, 208.0);
    QCOMPARE(c.outCentre.Point::x, c.centre().x);
}

void tst_CrystalOptics::nonFinite()
{
    // 0 degrees reflects nothing finite: the energy is shown as the toolkit writes infinity.
    CrystalOptics c(0.0, 0.0, 0.0, 2.0);
    QCOMPARE(c.texts(kD).energy, QString("       inf"));
    // An infinite spacing gives sin 0 and a 0-degree surface.
    c.turnToEnergy(8000.0, std::numeric_limits<double>::infinity());
    QCOMPARE(c.angleDeg(), 0.0);
    // A NaN spacing reflects nothing.
    c.turnToEnergy(8000.0, std::nan(""));
    QCOMPARE(c.angleDeg(), -1.0);
    QCOMPARE(c.texts(std::nan("")).energy, QString("       nan"));
}

QTEST_MAIN(tst_CrystalOptics)
#include "tst_crystaloptics.moc"
