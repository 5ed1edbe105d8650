#include "views.h"

#include <QtTest>

#include <cmath>

class tst_Views : public QObject
{
    Q_OBJECT

private slots:
    void squared_data();
    void squared();
    void squaredTwiceIsSquared();
    void degenerate();
};

void tst_Views::squared_data()
{
    QTest::addColumn<QRectF>("view");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("surface relatively taller: height grows about the centre")
        << QRectF(0, 0, 100, 10) << 400 << 200 << QRectF(0, -20, 100, 50);
    QTest::newRow("surface relatively wider: width grows about the centre")
        << QRectF(-10, -10, 20, 20) << 600 << 300 << QRectF(-20, -10, 40, 20);
    QTest::newRow("already square: equal ratios keep it")
        << QRectF(1, 2, 30, 15) << 400 << 200 << QRectF(1, 2, 30, 15);
    QTest::newRow("negative origin")
        << QRectF(-50, -5, 10, 10) << 100 << 300 << QRectF(-50, -15, 10, 30);
}

void tst_Views::squared()
{
    QFETCH(QRectF, view);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QRectF, expected);
    QCOMPARE(squaredView(view, w, h), expected);
}

void tst_Views::squaredTwiceIsSquared()
{
    const QRectF once = squaredView(QRectF(0.3, -7.1, 13.7, 2.9), 587, 411);
    const QRectF twice = squaredView(once, 587, 411);
    QVERIFY(std::fabs(twice.width() - once.width()) < 1e-12);
    QVERIFY(std::fabs(twice.height() - once.height()) < 1e-12);
    QVERIFY(std::fabs(twice.x() - once.x()) < 1e-12);
    QVERIFY(std::fabs(twice.y() - once.y()) < 1e-12);
}

void tst_Views::degenerate()
{
    // No check is made: a surface without width makes the view infinitely high ...
    const QRectF a = squaredView(QRectF(0, 0, 10, 10), 0, 100);
    QCOMPARE(a.width(), 10.0);
    QVERIFY(std::isinf(a.height()));
    QVERIFY(std::isinf(a.y()) && a.y() < 0);
    // ... and an empty view compares as NaN, so it stays empty.
    QCOMPARE(squaredView(QRectF(0, 0, 0, 0), 100, 100), QRectF(0, 0, 0, 0));
}

QTEST_MAIN(tst_Views)
#include "tst_views.moc"
