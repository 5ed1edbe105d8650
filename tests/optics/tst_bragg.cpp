#include "bragg.h"

#include <QtTest>

#include <cmath>
#include <limits>

class tst_Bragg : public QObject
{
    Q_OBJECT

private slots:
    void spacing_data();
    void spacing();
    void spacingDegenerate();
    void knownEnergies();
    void roundTrip_data();
    void roundTrip();
    void noReflection_data();
    void noReflection();
    void negativeEnergyMirrorsAngle();
    void zeroAngleEnergyIsInfinite();
    void noReflectionConstantsAgree();
};

void tst_Bragg::spacing_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("l");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Si 1 1 1") << 5.4301 << 1.0 << 1.0 << 1.0 << "3.13507";
    QTest::newRow("Ge 1 1 1") << 5.6754 << 1.0 << 1.0 << 1.0 << "3.27669";
    QTest::newRow("Si 2 2 0") << 5.4301 << 2.0 << 2.0 << 0.0 << "1.91983";
    QTest::newRow("5.431 1 1 1") << 5.431 << 1.0 << 1.0 << 1.0 << "3.13559";
    QTest::newRow("Si -1 -1 -1") << 5.4301 << -1.0 << -1.0 << -1.0 << "3.13507";
    QTest::newRow("Si -2 2 0") << 5.4301 << -2.0 << 2.0 << 0.0 << "1.91983";
    QTest::newRow("Si 0 0 4") << 5.4301 << 0.0 << 0.0 << 4.0 << "1.35753";
    QTest::newRow("fractional 0.5 0.5 0") << 4.0 << 0.5 << 0.5 << 0.0 << "5.65685";
    QTest::newRow("lattice 0") << 0.0 << 1.0 << 1.0 << 1.0 << "0";
}

void tst_Bragg::spacing()
{
    QFETCH(double, a);
    QFETCH(double, h);
    QFETCH(double, k);
    QFETCH(double, l);
    QFETCH(QString, shown);

    QCOMPARE(QString::number(Bragg::latticeSpacing(a, h, k, l), 'g', 6), shown);
}

void tst_Bragg::spacingDegenerate()
{
    QVERIFY(std::isinf(Bragg::latticeSpacing(5.4301, 0, 0, 0)));
    QVERIFY(Bragg::latticeSpacing(5.4301, 0, 0, 0) > 0);
    QVERIFY(std::isnan(Bragg::latticeSpacing(0, 0, 0, 0)));
}

void tst_Bragg::knownEnergies()
{
    // A crystal at 30 degrees and at the no-reflection angle, with the spacing at start-up.
    const double d = 3.13553;
    QCOMPARE(QString::asprintf("%.4f", Bragg::energyEv(30.0, d)), QStringLiteral("3954.1718"));
    QCOMPARE(QString::asprintf("%.4f", Bragg::energyEv(-1.0, d)), QStringLiteral("-113284.4296"));
    QCOMPARE(QString::asprintf("%.6f", Bragg::angleDeg(3954.1718, d)), QStringLiteral("30.000000"));
}

void tst_Bragg::roundTrip_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<double>("spacing");

    QTest::newRow("just above cut-off") << 1978.0 << 3.13553;
    QTest::newRow("5 keV") << 5000.0 << 3.13553;
    QTest::newRow("8 keV") << 8000.0 << 3.13553;
    QTest::newRow("8 keV on Ge") << 8000.0 << 3.27669;
    QTest::newRow("30 keV") << 30000.0 << 3.13553;
    QTest::newRow("negative") << -8000.0 << 3.13553;
}

void tst_Bragg::roundTrip()
{
    QFETCH(double, energy);
    QFETCH(double, spacing);

    const double angle = Bragg::angleDeg(energy, spacing);
    QVERIFY(angle > -90 && angle < 90 && angle != -1);
    QVERIFY(std::abs(Bragg::energyEv(angle, spacing) - energy) < 1e-9 * std::abs(energy));
}

void tst_Bragg::noReflection_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<double>("spacing");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("below cut-off") << 1977.0 << 3.13553;
    QTest::newRow("1 keV") << 1000.0 << 3.13553;
    QTest::newRow("zero energy") << 0.0 << 3.13553;
    QTest::newRow("small negative energy") << -1000.0 << 3.13553;
    QTest::newRow("NaN energy") << nan << 3.13553;
    QTest::newRow("zero spacing") << 8000.0 << 0.0;
    QTest::newRow("NaN spacing") << 8000.0 << nan;
}

void tst_Bragg::noReflection()
{
    QFETCH(double, energy);
    QFETCH(double, spacing);

    QCOMPARE(Bragg::angleDeg(energy, spacing), -1.0);
    QCOMPARE(Bragg::angleDeg(energy, spacing), Bragg::noReflectionDeg);
}

void tst_Bragg::negativeEnergyMirrorsAngle()
{
    QCOMPARE(Bragg::angleDeg(-8000, 3.13553), -Bragg::angleDeg(8000, 3.13553));
}

void tst_Bragg::zeroAngleEnergyIsInfinite()
{
    QVERIFY(std::isinf(Bragg::energyEv(0.0, 3.13553)));
}

void tst_Bragg::noReflectionConstantsAgree()
{
    // The stored radians, cosine and sine belong to -1 degree (to the last bits of a double).
    const double rad = -1.0 / 180.0 * 3.141592653589793;
    QVERIFY(std::abs(Bragg::noReflectionRad - rad) < 1e-18);
    QVERIFY(std::abs(Bragg::noReflectionCos - std::cos(rad)) < 1e-16);
    QVERIFY(std::abs(Bragg::noReflectionSin - std::sin(rad)) < 1e-17);
}

QTEST_MAIN(tst_Bragg)
#include "tst_bragg.moc"
