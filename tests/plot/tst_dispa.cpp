#include "dispa.h"
#include "dispabase.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

namespace {

void send(QWidget *w,
          QEvent::Type type,
          QPointF pos,
          Qt::MouseButton button = Qt::NoButton,
          Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButtons held
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, pos, w->mapToGlobal(pos.toPoint()), button, held, mods);
    QApplication::sendEvent(w, &e);
}

void wheel(QWidget *w, QPoint angleDelta)
{
    const QPointF pos(10, 10);
    QWheelEvent e(pos,
                  w->mapToGlobal(pos.toPoint()),
                  QPoint(),
                  angleDelta,
                  Qt::NoButton,
                  Qt::NoModifier,
                  Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

} // namespace

Q_DECLARE_METATYPE(QPainter *)

class tst_DispA : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QPainter *>(); }
    void moveRoundsToNearestPixel_data();
    void moveRoundsToNearestPixel();
    void pressAndRelease();
    void doubleClickKeepsPositionAndState();
    void altMoveIgnored();
    void mouseSignalOrder();
    void wheelSteps_data();
    void wheelSteps();
    void paintFillsWhiteWithoutSlots();
    void screenMappingSetBeforePaintSignal();
    void newPlotWindow();
    void windowSignals();
    void windowScaleSlots();
};

void tst_DispA::moveRoundsToNearestPixel_data()
{
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("negative half goes up") << QPointF(-0.5, 2.5) << QPoint(0, 3);
    QTest::newRow("below a negative half") << QPointF(-1.7, 0.4) << QPoint(-2, 0);
    QTest::newRow("just below a half") << QPointF(3.49, -2.51) << QPoint(3, -3);
    QTest::newRow("whole pixels") << QPointF(120, 45) << QPoint(120, 45);
}

void tst_DispA::moveRoundsToNearestPixel()
{
    QFETCH(QPointF, pos);
    QFETCH(QPoint, pixel);

    DispA d;
    send(&d, QEvent::MouseMove, QPointF(7, 8), Qt::NoButton, Qt::ShiftModifier);
    send(&d, QEvent::MouseMove, pos, Qt::NoButton, Qt::ControlModifier);
    QCOMPARE(d.mc.curPos, pixel);
    QCOMPARE(d.mc.prevPos, QPoint(7, 8));
    QCOMPARE(d.mc.moveModifiers, int(Qt::ControlModifier));
    QCOMPARE(d.mc.moveButton, 0);
    QVERIFY(!d.mc.pressed);
}

void tst_DispA::pressAndRelease()
{
    DispA d;
    send(&d, QEvent::MouseMove, QPointF(5, 5));
    send(&d, QEvent::MouseButtonPress, QPointF(20.4, 30.6), Qt::RightButton, Qt::ShiftModifier);
    QVERIFY(d.mc.pressed);
    QCOMPARE(d.mc.pressPos, QPoint(20, 31));
    QCOMPARE(d.mc.curPos, QPoint(20, 31));
    QCOMPARE(d.mc.prevPos, QPoint(5, 5));
    QCOMPARE(d.mc.pressButton, 2);
    QCOMPARE(d.mc.pressModifiers, int(Qt::ShiftModifier));

    send(&d, QEvent::MouseMove, QPointF(40, 50), Qt::NoButton);
    send(&d, QEvent::MouseButtonRelease, QPointF(41, 52), Qt::RightButton);
    QVERIFY(!d.mc.pressed);
    QCOMPARE(d.mc.releasePos, QPoint(41, 52));
    QCOMPARE(d.mc.prevPos, QPoint(40, 50));
    QCOMPARE(d.mc.releaseButton, 2);
    QCOMPARE(d.mc.releaseModifiers, 0);
    // The press is still on record for the owner.
    QCOMPARE(d.mc.pressPos, QPoint(20, 31));
}

void tst_DispA::doubleClickKeepsPositionAndState()
{
    DispA d;
    send(&d, QEvent::MouseMove, QPointF(3, 4));
    send(&d, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton);
    QSignalSpy spy(&d.mc, SIGNAL(mDClicked()));
    send(&d, QEvent::MouseButtonDblClick, QPointF(60.5, 70.2), Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(d.mc.dClickPos, QPoint(61, 70));
    QCOMPARE(d.mc.dClickButton, 1);
    QCOMPARE(d.mc.dClickModifiers, int(Qt::AltModifier));
    QCOMPARE(d.mc.curPos, QPoint(10, 10));
    QCOMPARE(d.mc.prevPos, QPoint(3, 4));
    QVERIFY(d.mc.pressed);
}

void tst_DispA::altMoveIgnored()
{
    DispA d;
    d.resize(200, 100);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    int paints = 0;
    connect(&d, &DispA::drawImage1, [&paints] { ++paints; });
    QCoreApplication::processEvents();
    paints = 0;

    QSignalSpy moved(&d.mc, SIGNAL(mMoved()));
    QSignalSpy moved0(&d, SIGNAL(mouseMoved0()));
    send(&d, QEvent::MouseMove, QPointF(30, 40), Qt::NoButton, Qt::AltModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    QCOMPARE(d.mc.curPos, QPoint(0, 0));
    QCOMPARE(d.mc.moveModifiers, 0);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(moved0.count(), 0);
    QCOMPARE(paints, 0);

    send(&d, QEvent::MouseMove, QPointF(30, 40), Qt::NoButton, Qt::ShiftModifier);
    QTRY_COMPARE(paints, 1);
    QCOMPARE(d.mc.curPos, QPoint(30, 40));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved0.count(), 1);
}

void tst_DispA::mouseSignalOrder()
{
    // The record's own signal arrives first, with the record already updated.
    DispA d;
    QStringList log;
    connect(&d.mc, &MouseC::mPressed, [&] { log << QString("mPressed %1").arg(d.mc.pressed); });
    connect(&d, &DispA::mousePressed0, [&] { log << "mousePressed0"; });
    connect(&d.mc, &MouseC::mReleased, [&] { log << "mReleased"; });
    connect(&d, &DispA::mouseReleased0, [&] { log << "mouseReleased0"; });
    connect(&d.mc, &MouseC::mDClicked, [&] { log << "mDClicked"; });
    connect(&d, &DispA::mouseDoubleClicked0, [&] { log << "mouseDoubleClicked0"; });
    connect(&d.mc, &MouseC::wMoved, [&](int s) { log << QString("wMoved %1").arg(s); });
    connect(&d, &DispA::wheelMoved0, [&] { log << "wheelMoved0"; });
    send(&d, QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton);
    send(&d, QEvent::MouseButtonRelease, QPointF(1, 1), Qt::LeftButton);
    send(&d, QEvent::MouseButtonDblClick, QPointF(1, 1), Qt::LeftButton);
    wheel(&d, QPoint(0, -120));
    QCOMPARE(log,
             QStringList({"mPressed 1",
                          "mousePressed0",
                          "mReleased",
                          "mouseReleased0",
                          "mDClicked",
                          "mouseDoubleClicked0",
                          "wMoved -1",
                          "wheelMoved0"}));
}

void tst_DispA::wheelSteps_data()
{
    QTest::addColumn<QPoint>("angleDelta");
    QTest::addColumn<int>("step");
    QTest::newRow("one notch away") << QPoint(0, 120) << 1;
    QTest::newRow("two notches toward") << QPoint(0, -240) << -2;
    QTest::newRow("half a notch") << QPoint(0, 60) << 0;
    QTest::newRow("just short of two, toward") << QPoint(0, -239) << -1;
    QTest::newRow("sideways turn") << QPoint(360, 10) << 3;
}

void tst_DispA::wheelSteps()
{
    QFETCH(QPoint, angleDelta);
    QFETCH(int, step);

    DispABase w;
    QSignalSpy inner(&w.disp.mc, SIGNAL(wMoved(int)));
    QSignalSpy outer(&w, SIGNAL(wheelMoved(int)));
    const QPoint before = w.disp.mc.curPos;
    wheel(&w.disp, angleDelta);
    QCOMPARE(inner.count(), 1);
    QCOMPARE(inner.first().first().toInt(), step);
    QCOMPARE(outer.count(), 1);
    QCOMPARE(outer.first().first().toInt(), step);
    QCOMPARE(w.disp.mc.curPos, before);
}

void tst_DispA::paintFillsWhiteWithoutSlots()
{
    DispA d;
    d.resize(120, 80);
    const QImage img = d.grab().toImage();
    QCOMPARE(img.size(), QSize(120, 80));
    for (QPoint p : {QPoint(0, 0), QPoint(119, 0), QPoint(60, 40), QPoint(0, 79), QPoint(119, 79)})
        QCOMPARE(img.pixel(p), qRgb(255, 255, 255));
}

void tst_DispA::screenMappingSetBeforePaintSignal()
{
    DispA d;
    d.resize(150, 90);
    d.cc.setWorld(0, 0, 15, 9);
    QVector<QRectF> seen;
    connect(&d, &DispA::drawImage2, [&](QPainter *p) {
        seen << QRectF(QPointF(d.cc.sx0, d.cc.sy0), QPointF(d.cc.sx1, d.cc.sy1));
        // Through the mapping, world (1, 1) is one tenth in from the bottom left.
        p->fillRect(QRectF(d.cc.toScreenX(1), d.cc.toScreenY(1), 2, 2), Qt::black);
    });
    const QImage img = d.grab().toImage();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first(), QRectF(QPointF(0, 90), QPointF(150, 0)));
    QCOMPARE(img.pixel(10, 80), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(10, 10), qRgb(255, 255, 255));
}

void tst_DispA::newPlotWindow()
{
    DispABase w;
    QCOMPARE(w.size(), QSize(900, 600));
    QCOMPARE(w.realC0, QRectF(-10, -10, 20, 20));
    QCOMPARE(w.realC, QRectF(0, 0, 0, 0));
    QCOMPARE(w.disp.parentWidget(), &w);
    QCOMPARE(w.disp.frameShape(), QFrame::StyledPanel);
    QVERIFY(w.disp.hasMouseTracking());
    QCOMPARE(w.disp.bgColor, QColor(255, 255, 255));
    // The surface fills the window.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.disp.width() > 850 && w.disp.height() > 550);
}

void tst_DispA::windowSignals()
{
    DispABase w;
    QSignalSpy draws(&w, SIGNAL(drawImage(QPainter *)));
    QSignalSpy moves(&w, SIGNAL(mouseMoved()));
    QSignalSpy wheels(&w, SIGNAL(wheelMoved(int)));

    w.disp.grab();
    QCOMPARE(draws.count(), 1);
    w.disp.grab();
    QCOMPARE(draws.count(), 2);

    send(&w.disp, QEvent::MouseMove, QPointF(12, 34));
    QCOMPARE(moves.count(), 1);
    // Presses, releases and double clicks are recorded, not signalled by the window.
    send(&w.disp, QEvent::MouseButtonPress, QPointF(12, 34), Qt::LeftButton);
    send(&w.disp, QEvent::MouseButtonRelease, QPointF(12, 34), Qt::LeftButton);
    send(&w.disp, QEvent::MouseButtonDblClick, QPointF(12, 34), Qt::LeftButton);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(wheels.count(), 0);
    send(&w.disp, QEvent::MouseMove, QPointF(13, 34), Qt::NoButton, Qt::AltModifier);
    QCOMPARE(moves.count(), 1);

    wheel(&w.disp, QPoint(0, 120));
    QCOMPARE(wheels.count(), 1);
    QCOMPARE(wheels.first().first().toInt(), 1);
    QCOMPARE(moves.count(), 1);
}

void tst_DispA::windowScaleSlots()
{
    DispABase w;
    bool painted = false;
    connect(&w, &DispABase::drawImage, [&painted] { painted = true; });
    QVERIFY(QMetaObject::invokeMethod(&w, "resetScale"));
    QCOMPARE(w.realC, QRectF(-10, -10, 20, 20));
    QVERIFY(QMetaObject::invokeMethod(&w, "setRealC0", Q_ARG(QRectF, QRectF(0, 0, 5, 4))));
    QVERIFY(QMetaObject::invokeMethod(&w, "setRealC", Q_ARG(QRectF, QRectF(1, 2, 3, 4))));
    QCOMPARE(w.realC0, QRectF(0, 0, 5, 4));
    QCOMPARE(w.realC, QRectF(1, 2, 3, 4));
    w.resetScale();
    QCOMPARE(w.realC, QRectF(0, 0, 5, 4));
    QCoreApplication::processEvents();
    QVERIFY(!painted);
}

QTEST_MAIN(tst_DispA)
#include "tst_dispa.moc"
