// What the plot windows of the main window show and how the mouse moves them: the surfaces are
// grabbed into images and driven with synthetic mouse and wheel events.
#include "body.h"
#include "navigation.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

class tst_Render : public QObject
{
    Q_OBJECT

    QScopedPointer<Body> body;
    DispABase *w = nullptr; // the overall window unless a test picks another
    const QColor white{255, 255, 255}, green{0, 255, 0}; // green: the first crystal's beams

    // The surface as the user sees it; its mapping is then the one it was painted with.
    QImage paint() { return w->disp.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Pixels of colour c; for an invalid c, those not light grey (white, the grid, its labels).
    static int count(const QImage &img, const QColor &c)
    {
        int n = 0;
        for (int i = 0; i < img.width() * img.height(); ++i) {
            const QColor p = img.pixelColor(i % img.width(), i / img.width());
            n += c.isValid() ? p == c : p != QColor(p.red(), p.red(), p.red()) || p.red() < 200;
        }
        return n;
    }
    // Ten pixels per world unit, (x, y) at the lower left corner.
    QRectF view(double x, double y) { return {x, y, w->disp.width() * .1, w->disp.height() * .1}; }
    QString shown(const char *label) { return child<QLabel>(body.data(), label)->text(); }
    void send(QEvent &&e) { QApplication::sendEvent(&w->disp, &e); }
    void move(QPoint p) { send(QMouseEvent(QEvent::MouseMove, p, Qt::NoButton, {}, {})); }
    // Press with the modifiers held, move in four steps without them, release.
    void drag(Qt::MouseButton b, QPoint from, QPoint to, Qt::KeyboardModifiers m = {})
    {
        move(from);
        send(QMouseEvent(QEvent::MouseButtonPress, from, b, b, m));
        for (int i = 1; i <= 4; ++i)
            send(QMouseEvent(QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton, b, {}));
        send(QMouseEvent(QEvent::MouseButtonRelease, to, b, {}, {}));
    }
    void wheel(QPoint p, int n) { send(QWheelEvent(p, p, {}, {0, 120 * n}, {}, {}, {}, false)); }

private slots:
    void init()
    {
        body.reset(new Body);
        w = &body->overallView;
        paint();
    }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Far from the design the grid alone, a major line and its label in their greys; on the
    // design the middle of the array in magenta, the first crystal's beams in green, the focus
    // track.
    void scene()
    {
        w->realC = view(505, 505);
        QImage img = paint();
        QCOMPARE(count(img, QColor()), 0);
        // x = 520 is a major line 150 pixels in; y = 512.5 lies between minor lines.
        QCOMPARE(img.pixelColor(150, img.height() - 75), QColor(239, 239, 239));
        QVERIFY(count(img.copy(156, 0, 34, 16), QColor(200, 200, 200)) > 0); // its label "520"
        w = &body->crystalsView;
        img = paint();
        const Point m = body->centres.center();
        QCOMPARE(img.pixelColor(w->disp.cc.toScreenX(m.x), w->disp.cc.toScreenY(m.y)),
                 QColor(255, 0, 200));
        QVERIFY(count(img, green) > img.width());
        type(child<QLineEdit>(body.data(), "StartE"), "8150");
        w = &body->focusView; // centred on the new focus, the track from the old one through it
        QVERIFY(count(paint(), QColor(200, 0, 200)) > 50);
        // The read-outs show the newer of the two analyses.
        const QVector<Point> &cps = body->avrCps.points, &ips = body->avrIps.points;
        QVERIFY(cps.size() == 2 && cps[0].x != cps[1].x && ips[0].x != ips[1].x);
        QCOMPARE(shown("AvrCps") + shown("AvrIps"),
                 positionReadout(cps[1].x, cps[1].y) + positionReadout(ips[1].x, ips[1].y));
    }

    void extremeViews_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<bool>("onlyGrid"); // the design is far away or cannot be placed
        QTest::newRow("the default view") << QRectF() << false;
        QTest::newRow("zero size") << QRectF(1, 1, 0, 0) << true;
        QTest::newRow("not a number") << QRectF(qQNaN(), 0, 10, 10) << true;
        QTest::newRow("infinite") << QRectF(-qInf(), -qInf(), qInf(), qInf()) << true;
        QTest::newRow("20 wide at 1e300") << QRectF(1e300, 1e300, 20, 20) << true;
        QTest::newRow("far up left") << QRectF(-1e6, 1e6, 20, 20) << true;
        QTest::newRow("very far") << QRectF(3e200, -3e200, 5e190, 5e190) << true;
        QTest::newRow("reversed huge") << QRectF(1.2e300, 1.2e300, -2.4e300, -2.4e300) << false;
    }
    // 2000 notches in, as many out and on to the limit, a pan towards 1e300 and a measurement
    // all finish, painting too; "Scale Reset" brings the design back.
    void extremeViews()
    {
        QFETCH(QRectF, view);
        QFETCH(bool, onlyGrid);
        w->realC = view == QRectF() ? w->realC : view;
        QCOMPARE(count(paint(), QColor()) == 0, onlyGrid);
        const QPoint p(w->disp.width() / 3, w->disp.height() / 2);
        move(p);
        for (int i = 0; i < 2000; ++i)
            wheel(p, 1);
        paint();
        for (int i = 0; i < 10000 && (i < 2000 || w->realC.width() < 1e299); ++i)
            wheel(p, -1);
        for (int i = 0; i < 50; ++i)
            drag(Qt::LeftButton, {w->disp.width() - 5, 5}, {5, w->disp.height() - 5});
        drag(Qt::RightButton, {50, 50}, {150, 120});
        QVERIFY(view != QRectF() || (std::isfinite(w->realC.right()) && w->realC.right() > 5e299));
        paint();
        child<QPushButton>(body.data(), "ScaleReset")->click();
        QCOMPARE(w->realC, w->realC0);
        QVERIFY(count(paint(), green) > 0);
    }

    // A surface of no pixels draws nothing and still rewrites the read-outs, here of an empty
    // history and of one crystal, which has no focus of its own.
    void emptySurface()
    {
        type(child<QLineEdit>(body.data(), "Num"), "1");
        child<QPushButton>(body.data(), "ResetCPs")->click();
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(white);
        QPainter p(&img);
        w->disp.cc.setScreen(0, 0, 0, 0);
        child<QLabel>(body.data(), "AvrCps")->setText("stale");
        emit w->drawImage(&p);
        QCOMPARE(count(img, white), 40 * 30);
        QCOMPARE(shown("AvrCps"), QStringLiteral("no focus: fewer than two reflecting crystals"));
    }

    // Ten pixels per unit, world (0, 0) at pixel (100, h - 100): hover, measure, pan and zoom.
    void mouse()
    {
        const int h = w->disp.height();
        const QRectF start = w->realC = view(-10, -10);
        // Alone in the scene, a ray half a pixel above y = 1; under the cursor it is drawn wider.
        Pen pen(Qt::blue, 1, {});
        HRay ray(Point(-8, 1.05), Dir(0.0));
        body->shapes = {&pen, &ray};
        const auto width = [&] { return count(paint().copy(300, h - 114, 1, 9), Qt::blue); };
        QCOMPARE(width(), 1);
        move({250, h - 113}); // 0.25 above the ray
        QVERIFY(body->selectedShape == 1 && width() == 3);
        move({250, h - 140}); // 2.95 above it
        QVERIFY(body->selectedShape == -1 && width() == 1);
        body->shapes.clear();
        // Shift held at the press neither pans nor measures; a right drag to (3, 4) measures.
        drag(Qt::LeftButton, {100, h - 100}, {130, h - 140}, Qt::ShiftModifier);
        drag(Qt::RightButton, {100, h - 100}, {130, h - 140}, Qt::ShiftModifier);
        paint();
        QCOMPARE(shown("MeasLength"),
                 QStringLiteral("(   0.000,    0.000)-(   1.000,    0.000) :    1.000000"));
        drag(Qt::RightButton, {100, h - 100}, {130, h - 140});
        move({115, h - 80}); // world (1.5, -2)
        paint();
        QCOMPARE(w->realC, start);
        QCOMPARE(shown("MPos"), QStringLiteral("(   1.500,   -2.000):    2.500"));
        QCOMPARE(shown("MeasLength"),
                 QStringLiteral("(   0.000,    0.000)-(   3.000,    4.000) :    5.000000"));
        // A left drag pans: the world point under the cursor follows it.
        drag(Qt::LeftButton, {100, h - 100}, {130, h - 140});
        QVERIFY(near(w->realC, start.translated(-3, -4)));
        // The wheel zooms about the cursor; near a border only along that border.
        for (const QPoint p : {QPoint(w->disp.width() / 2, h / 2), QPoint(5, h / 2)}) {
            const QRectF before = w->realC;
            move(p);
            const QPointF under(w->disp.cc.toWorldX(p.x()), w->disp.cc.toWorldY(p.y()));
            wheel(p, 1);
            paint();
            QVERIFY(near(w->realC.width() / before.width(), p.x() == 5 ? 1 : 0.9));
            QVERIFY(near(w->realC.height() / before.height(), 0.9));
            QVERIFY(near(w->disp.cc.toWorldX(p.x()), under.x()));
            QVERIFY(near(w->disp.cc.toWorldY(p.y()), under.y()));
        }
    }
};

LUMIVARD_TEST_MAIN(tst_Render)
#include "tst_render.moc"
