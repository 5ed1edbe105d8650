#include "chcoord.h"

#include <QtTest>

class tst_ChCoord : public QObject
{
    Q_OBJECT

private slots:
    void newMappingIsUnitSquare();
    void toScreen_data();
    void toScreen();
    void roundTrip_data();
    void roundTrip();
};

void tst_ChCoord::newMappingIsUnitSquare()
{
    const ChCoord cc;
    QCOMPARE(cc.toScreenX(0.25), 0.25);
    QCOMPARE(cc.toScreenY(0.75), 0.75);
    QCOMPARE(cc.toWorldX(1.0), 1.0);
}

void tst_ChCoord::toScreen_data()
{
    QTest::addColumn<QRectF>("world"); // x, y, width, height, y up
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QPointF>("w");
    QTest::addColumn<QPointF>("s");

    const QRectF view(-10, -10, 20, 20);
    const QSize size(300, 200);
    QTest::newRow("origin") << view << size << QPointF(0, 0) << QPointF(150, 100);
    QTest::newRow("top edge") << view << size << QPointF(10, 10) << QPointF(300, 0);
    QTest::newRow("bottom edge") << view << size << QPointF(-10, -10) << QPointF(0, 200);
    QTest::newRow("outside") << view << size << QPointF(20, -20) << QPointF(450, 300);
    QTest::newRow("offset view") << QRectF(100, 50, 50, 10) << QSize(500, 100) << QPointF(125, 52)
                                 << QPointF(250, 80);
}

void tst_ChCoord::toScreen()
{
    QFETCH(QRectF, world);
    QFETCH(QSize, widget);
    QFETCH(QPointF, w);
    QFETCH(QPointF, s);

    // As a plot surface and its owner set it up before a paint.
    ChCoord cc;
    cc.setScreen(0, widget.height(), widget.width(), 0);
    cc.setWorld(world.x(), world.y(), world.x() + world.width(), world.y() + world.height());
    QCOMPARE(cc.toScreenX(w.x()), s.x());
    QCOMPARE(cc.toScreenY(w.y()), s.y());
    QCOMPARE(cc.toWorldX(s.x()), w.x());
    QCOMPARE(cc.toWorldY(s.y()), w.y());
}

void tst_ChCoord::roundTrip_data()
{
    QTest::addColumn<double>("x");
    // Values where multiplying before dividing would change the last bits of x or y.
    QTest::newRow("0.1") << 0.1;
    QTest::newRow("-0.2") << -0.2;
    QTest::newRow("1e-9") << 1e-9;
}

void tst_ChCoord::roundTrip()
{
    QFETCH(double, x);

    ChCoord cc;
    cc.setScreen(0, 600, 900, 0);
    cc.setWorld(-0.3, -7, 0.9, 1.1);
    // ratio first, then product, then sum
    const double rx = 900.0 / (0.9 - -0.3);
    QCOMPARE(cc.toScreenX(x), rx * (x - -0.3) + 0.0);
    const double ry = (0.0 - 600.0) / (1.1 - -7.0);
    QCOMPARE(cc.toScreenY(x), ry * (x - -7.0) + 600.0);
    QVERIFY(qAbs(cc.toWorldX(cc.toScreenX(x)) - x) < 1e-12);
    QVERIFY(qAbs(cc.toWorldY(cc.toScreenY(x)) - x) < 1e-12);
}

QTEST_MAIN(tst_ChCoord)
#include "tst_chcoord.moc"
