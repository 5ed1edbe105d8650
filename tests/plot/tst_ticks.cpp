#include "ticks.h"

#include <QtTest>

#include <cmath>
#include <limits>

class tst_Ticks : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void misroundedDecade_data();
    void misroundedDecade();
    void noGrid_data();
    void noGrid();
    void minorLines_data();
    void minorLines();
    void invariants_data();
    void invariants();
};

void tst_Ticks::steps_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("step");
    QTest::addColumn<QVector<double>>("majors");

    QTest::newRow("0..10") << 0.0 << 10.0 << 2.0 << QVector<double>{0, 2, 4, 6, 8, 10};
    QTest::newRow("0..35") << 0.0 << 35.0 << 5.0 << QVector<double>{0, 5, 10, 15, 20, 25, 30, 35};
    QTest::newRow("0..0.8") << 0.0 << 0.8 << 0.2 << QVector<double>{0, 0.2, 0.4, 0.6, 0.8};
    QTest::newRow("-3..7") << -3.0 << 7.0 << 2.0 << QVector<double>{-2, 0, 2, 4, 6};
    QTest::newRow("100..1000") << 100.0 << 1000.0 << 200.0
                               << QVector<double>{200, 400, 600, 800, 1000};
    // Summing 0.2 from 2 overshoots 3 and loses the last line.
    QTest::newRow("2..3") << 2.0 << 3.0 << 0.2 << QVector<double>{2, 2.2, 2.4, 2.6, 2.8, 3};
    // log10 of this range rounds up to 2: q = 0 belongs to the decade below.
    QTest::newRow("0..99.99999999999999")
        << 0.0 << 99.99999999999999 << 20.0 << QVector<double>{0, 20, 40, 60, 80};
    QTest::newRow("negative only") << -7.3 << -2.1 << 1.0 << QVector<double>{-7, -6, -5, -4, -3};
    QTest::newRow("small decimals")
        << 0.0123 << 0.0181 << 0.001 << QVector<double>{0.013, 0.014, 0.015, 0.016, 0.017, 0.018};
    QTest::newRow("large offset") << 12345.6 << 12351.1 << 1.0
                                  << QVector<double>{12346, 12347, 12348, 12349, 12350, 12351};
}

void tst_Ticks::steps()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, step);
    QFETCH(QVector<double>, majors);

    const TickStep t = tickStep(lo, hi);
    QVERIFY(t.valid);
    QCOMPARE(t.step, step);
    QCOMPARE(t.first, majors.first());
    QCOMPARE(t.last, majors.last());
    // Exact: each line is the double nearest to its decimal value, as the labels print it.
    QCOMPARE(majorTicks(t), majors);
}

void tst_Ticks::misroundedDecade_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<int>("decade");
    QTest::addColumn<double>("step");

    // A logarithm one too low makes the leading digit 10: twice the (too small) decade.
    QTest::newRow("q=10, 0..1000") << 0.0 << 1000.0 << 2 << 200.0;
    QTest::newRow("q=10, 0..10") << 0.0 << 10.0 << 0 << 2.0;
    QTest::newRow("q=10, 0..0.1") << 0.0 << 0.1 << -2 << 0.02;
    // A logarithm one too high makes it 0: the decade below decides.
    QTest::newRow("q=0, 0..999.9") << 0.0 << 999.9 << 3 << 200.0;
    QTest::newRow("q=0, 0..99.99999999999999") << 0.0 << 99.99999999999999 << 2 << 20.0;
}

void tst_Ticks::misroundedDecade()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(int, decade);
    QFETCH(double, step);

    const TickStep t = tickStepInDecade(lo, hi, decade);
    QVERIFY(t.valid);
    QCOMPARE(t.step, step);
    // The same grid as the correctly rounded logarithm gives.
    const TickStep exact = tickStep(lo, hi);
    QCOMPARE(t.step, exact.step);
    QCOMPARE(majorTicks(t), majorTicks(exact));
    QCOMPARE(minorTicks(t), minorTicks(exact));
}

void tst_Ticks::noGrid_data()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");

    QTest::newRow("zero range") << 5.0 << 5.0;
    QTest::newRow("negative range") << 7.0 << -3.0;
    QTest::newRow("crystals window without crystals") << 1.2e300 << -1.2e300;
    QTest::newRow("nan") << nan << 1.0;
    QTest::newRow("infinite") << -inf << inf;
    QTest::newRow("overflowing range") << -1.7e308 << 1.7e308;
    QTest::newRow("below resolution near 1") << 1.0 << 1.0 + 4.5e-16;
    QTest::newRow("below resolution at 1e16") << 1e16 << 1e16 + 8.0;
    QTest::newRow("below resolution at -3e10") << -3e10 << -3e10 + 1e-5;
    QTest::newRow("denormal range") << 0.0 << 1e-320;
}

void tst_Ticks::noGrid()
{
    QFETCH(double, lo);
    QFETCH(double, hi);

    const TickStep t = tickStep(lo, hi);
    QVERIFY(!t.valid);
    QVERIFY(majorTicks(t).isEmpty());
    QVERIFY(minorTicks(t).isEmpty());
}

void tst_Ticks::minorLines_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("firstMinor");
    QTest::addColumn<double>("lastMinor");
    QTest::addColumn<int>("count");

    // From first - step to last + step every step / 10, both ends included.
    QTest::newRow("2..3") << 2.0 << 3.0 << 1.8 << 3.2 << 71;
    QTest::newRow("0..10") << 0.0 << 10.0 << -2.0 << 12.0 << 71;
    QTest::newRow("-3..7") << -3.0 << 7.0 << -4.0 << 8.0 << 61;
    QTest::newRow("0..0.8") << 0.0 << 0.8 << -0.2 << 1.0 << 61;
}

void tst_Ticks::minorLines()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, firstMinor);
    QFETCH(double, lastMinor);
    QFETCH(int, count);

    const TickStep t = tickStep(lo, hi);
    const QVector<double> minors = minorTicks(t);
    QCOMPARE(minors.size(), count);
    QCOMPARE(minors.first(), firstMinor);
    QCOMPARE(minors.last(), lastMinor);
    const double spacing = t.step * 0.1;
    for (int i = 0; i < minors.size(); ++i)
        QVERIFY2(std::fabs(minors[i] - (firstMinor + i * spacing)) < 1e-9 * t.step,
                 qPrintable(QString::number(i)));
    // Every tenth minor line coincides with a major line.
    const QVector<double> majors = majorTicks(t);
    for (int k = 0; k < majors.size(); ++k)
        QCOMPARE(minors[10 * (k + 1)], majors[k]);
}

void tst_Ticks::invariants_data()
{
    QTest::addColumn<double>("origin");
    QTest::addColumn<double>("scale");

    QTest::newRow("unit ranges at zero") << 0.0 << 1.0;
    QTest::newRow("millimetre design") << 250.0 << 100.0;
    QTest::newRow("tiny ranges") << -1e-6 << 1e-7;
    QTest::newRow("huge ranges") << 3e40 << 1e41;
    QTest::newRow("zoomed in far from origin") << 12345.678 << 1e-8;
}

void tst_Ticks::invariants()
{
    QFETCH(double, origin);
    QFETCH(double, scale);

    // Ranges of every leading digit, with offsets that are not multiples of the step.
    for (int i = 1; i < 400; ++i) {
        const double r = scale * (0.1 + i * 0.0237);
        const double lo = origin + scale * std::sin(i * 1.7);
        const double hi = lo + r;
        const TickStep t = tickStep(lo, hi);
        const QString where = QStringLiteral("lo %1 hi %2").arg(lo, 0, 'g', 17).arg(hi, 0, 'g', 17);
        QVERIFY2(t.valid, qPrintable(where));
        QVERIFY2(t.step > 0, qPrintable(where));
        const double steps = (hi - lo) / t.step;
        QVERIFY2(steps >= 4 && steps < 15, qPrintable(where));
        QVERIFY2(t.first >= lo && t.first - t.step < lo, qPrintable(where));
        QVERIFY2(t.last <= hi && t.last + t.step > hi, qPrintable(where));
        const QVector<double> majors = majorTicks(t);
        QVERIFY2(majors.size() >= 4 && majors.size() <= 16, qPrintable(where));
        QCOMPARE(majors.first(), t.first);
        QCOMPARE(majors.last(), t.last);
        const QVector<double> minors = minorTicks(t);
        QCOMPARE(minors.size(), 10 * (majors.size() + 1) + 1);
        for (int k = 1; k < minors.size(); ++k)
            QVERIFY2(minors[k] > minors[k - 1], qPrintable(where));
    }
}

QTEST_MAIN(tst_Ticks)
#include "tst_ticks.moc"
