// What the plot windows show and how the mouse moves them, on the real main window and its plot
// windows: the surfaces are grabbed into images and driven with synthetic mouse and wheel events.
#include "body.h"
#include "chcoord.h"
#include "ticks.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGrid(239, 239, 239);
const QColor kGridLabel(200, 200, 200);
const QColor kFirstCrystal(0, 255, 0);
const QColor kArrayCentre(255, 0, 200);
const QColor kFocusTrack(200, 0, 200);
const QColor kImageTrack(0, 160, 200);

// The surface as a user sees it after a repaint.
QImage paint(DispABase &w)
{
    return w.disp.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor at(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// The mapping the window paints with, rebuilt here from its view and its surface's size.
struct Mapping
{
    explicit Mapping(const DispABase &w)
    {
        cc.setScreen(0, w.disp.height(), w.disp.width(), 0);
        cc.setWorld(w.realC.x(),
                    w.realC.y(),
                    w.realC.x() + w.realC.width(),
                    w.realC.y() + w.realC.height());
    }
    int px(double x) const { return static_cast<int>(cc.toScreenX(x)); }
    int py(double y) const { return static_cast<int>(cc.toScreenY(y)); }
    ChCoord cc;
};

void mouse(DispABase &w,
           QEvent::Type type,
           QPoint pos,
           Qt::MouseButton button = Qt::NoButton,
           Qt::MouseButtons held = Qt::NoButton,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w.disp.mapToGlobal(pos)), button, held, mods);
    QApplication::sendEvent(&w.disp, &e);
}

void move(DispABase &w, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    mouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton, mods);
}

// Press at from, move in a few steps to to, release there.
void drag(DispABase &w,
          Qt::MouseButton button,
          QPoint from,
          QPoint to,
          Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    move(w, from);
    mouse(w, QEvent::MouseButtonPress, from, button, button, mods);
    for (int i = 1; i <= 4; ++i)
        mouse(w, QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton, button, mods);
    mouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton, mods);
}

// One wheel notch per 120 of delta, away from the user for positive notches.
void wheel(DispABase &w, QPoint pos, int notches)
{
    QWheelEvent e(QPointF(pos),
                  QPointF(w.disp.mapToGlobal(pos)),
                  QPoint(),
                  QPoint(0, 120 * notches),
                  Qt::NoButton,
                  Qt::NoModifier,
                  Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(&w.disp, &e);
}

bool near(double a, double b, double tol)
{
    return std::fabs(a - b) <= tol;
}

bool sameView(const QRectF &a, const QRectF &b, double tol)
{
    return near(a.x(), b.x(), tol) && near(a.y(), b.y(), tol) && near(a.width(), b.width(), tol)
           && near(a.height(), b.height(), tol);
}

QString viewText(const QRectF &r)
{
    return QStringLiteral("(%1, %2, %3, %4)")
        .arg(r.x(), 0, 'g', 17)
        .arg(r.y(), 0, 'g', 17)
        .arg(r.width(), 0, 'g', 17)
        .arg(r.height(), 0, 'g', 17);
}

// Grey levels only: white, grid, labels and their antialiased edges.
bool onlyGridColours(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = at(img, x, y);
            if (c.red() != c.green() || c.green() != c.blue() || c.red() < 200)
                return false;
        }
    return true;
}

int countColour(const QImage &img, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) == c)
                ++n;
    return n;
}

// A view with a whole number of pixels per world unit, its lower left corner at (x0, y0).
QRectF pixelView(const DispABase &w, double x0, double y0, double pixelsPerUnit)
{
    return QRectF(x0, y0, w.disp.width() / pixelsPerUnit, w.disp.height() / pixelsPerUnit);
}

DispABase &window(Body &b, int index)
{
    DispABase *views[] = {&b.overallView, &b.crystalsView, &b.focusView, &b.imagingView};
    return *views[index];
}

QString labelText(Body &b, const char *name)
{
    QLabel *l = b.findChild<QLabel *>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace

class tst_Render : public QObject
{
    Q_OBJECT

private slots:
    void gridOfAnEmptyRegion_data();
    void gridOfAnEmptyRegion();
    void defaultDesign_data();
    void defaultDesign();
    void focusTrack();
    void readoutFollowsCursor_data();
    void readoutFollowsCursor();
    void leftDragPans_data();
    void leftDragPans();
    void rightDragMeasures();
    void modifierAtPressDoesNothing_data();
    void modifierAtPressDoesNothing();
    void altMovesIgnored();
    void wheelZoomsAboutCursor_data();
    void wheelZoomsAboutCursor();
    void highlightThresholds_data();
    void highlightThresholds();
    void highlightIsDrawnWide();
    void farAwayDesignLeavesOnlyGrid_data();
    void farAwayDesignLeavesOnlyGrid();
    void degenerateViewsPaint_data();
    void degenerateViewsPaint();
    void extremeNavigationStaysUsable();
    void emptySurfacePaints();
};

void tst_Render::gridOfAnEmptyRegion_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QRectF>("realC");

    // Regions far from the design, the x axis and the history: nothing but the grid there.
    QTest::newRow("overall, 0.2 steps") << 0 << QRectF(500, 500, 2.5, 1.5);
    QTest::newRow("crystals, step 20") << 1 << QRectF(-9000, 7000, 120, 85);
    QTest::newRow("focus, tiny decimals") << 2 << QRectF(3000.0123, 3000, 0.007, 0.007);
    QTest::newRow("imaging, large") << 3 << QRectF(4e7, 4e7, 3e5, 3e5);
}

void tst_Render::gridOfAnEmptyRegion()
{
    QFETCH(int, view);
    QFETCH(QRectF, realC);

    Body b;
    DispABase &w = window(b, view);
    w.realC = realC;
    const QImage img = paint(w);
    const Mapping m(w);
    QVERIFY(onlyGridColours(img));

    const TickStep tx = tickStep(realC.left(), realC.right());
    const TickStep ty = tickStep(realC.top(), realC.bottom());
    QVERIFY(tx.valid && ty.valid);
    const QVector<double> majorX = majorTicks(tx);
    const QVector<double> majorY = majorTicks(ty);
    // A pixel in the middle of a minor cell near the middle of the window, away from the labels.
    const int xGap = m.px(majorX[majorX.size() / 2] + tx.step * 0.05);
    const int yGap = m.py(majorY[majorY.size() / 2] + ty.step * 0.05);
    QVERIFY(xGap > 60 && yGap > 30);
    QCOMPARE(at(img, xGap, yGap), kWhite);

    // Major lines: two pixels wide in the grid colour across the window.
    for (double v : majorX) {
        const int x = m.px(v);
        if (x < 1 || x >= img.width() - 1)
            continue;
        QCOMPARE(at(img, x, yGap), kGrid);
        QVERIFY(at(img, x - 1, yGap) == kGrid || at(img, x + 1, yGap) == kGrid);
    }
    for (double v : majorY) {
        const int y = m.py(v);
        if (y < 1 || y >= img.height() - 1)
            continue;
        QCOMPARE(at(img, xGap, y), kGrid);
        QVERIFY(at(img, xGap, y - 1) == kGrid || at(img, xGap, y + 1) == kGrid);
    }
    // Minor lines one pixel wide, ten to a step.
    int minorLines = 0;
    for (int x = m.px(majorX[0]) + 3; x < m.px(majorX[1]) - 2; ++x)
        if (at(img, x, yGap) == kGrid)
            ++minorLines;
    QCOMPARE(minorLines, 9);

    // Labels in their own grey, right of the vertical lines along the top: the darkest pixel of
    // each label box is exactly the label colour.
    for (double v : majorX) {
        const int x = m.px(v);
        int darkest = 255;
        for (int y = 0; y < 16; ++y)
            for (int dx = 6; dx < 40 && x + dx < img.width(); ++dx)
                darkest = std::min(darkest, at(img, x + dx, y).red());
        if (x + 40 < img.width())
            QCOMPARE(darkest, kGridLabel.red());
    }
}

void tst_Render::defaultDesign_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("raysApart"); // the crystals' reflected beams drawn apart
    QTest::newRow("overall") << 0 << false;
    QTest::newRow("crystals") << 1 << true;
}

void tst_Render::defaultDesign()
{
    QFETCH(int, view);
    QFETCH(bool, raysApart);

    Body b;
    DispABase &w = window(b, view);
    const QImage img = paint(w);
    const Mapping m(w);

    // The array centre: a magenta disc at the middle of the crystals.
    const Point mid = b.centres.center();
    QCOMPARE(at(img, m.px(mid.x), m.py(mid.y)), kArrayCentre);

    // The first crystal's beams are pure green: its reflected centre beam leaves the crystal's
    // centre at twice its angle.
    QVERIFY(!b.crystals.isEmpty());
    const ACrystal *first = b.crystals.first();
    QCOMPARE(first->inPen.pen.color(), kFirstCrystal);
    QCOMPARE(first->outPen.pen.color(), kFirstCrystal);
    const Point c = first->centre();
    const Dir d = first->outCentre.dir();
    const double pixel = w.realC.width() / w.disp.width();
    int samples = 0;
    int green = 0;
    for (double t = 20 * pixel;; t += 7 * pixel) {
        const int x = m.px(c.x + t * d.x);
        const int y = m.py(c.y + t * d.y);
        if (x < 2 || y < 2 || x >= img.width() - 2 || y >= img.height() - 2)
            break;
        bool hit = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                hit = hit || at(img, x + dx, y + dy) == kFirstCrystal;
        green += hit ? 1 : 0;
        ++samples;
    }
    QVERIFY(samples > 10);
    // Where the beams lie on top of each other, the later crystals cover the first.
    QVERIFY(green > 0);
    if (raysApart)
        QVERIFY2(green > samples * 3 / 4,
                 qPrintable(QStringLiteral("%1 of %2").arg(green).arg(samples)));

    // A grid under it all.
    QVERIFY(countColour(img, kGrid) > img.width());
    QVERIFY(countColour(img, kGridLabel) > 0);
}

void tst_Render::focusTrack()
{
    Body b;
    QLineEdit *start = b.findChild<QLineEdit *>(QStringLiteral("StartE"));
    QVERIFY(start);
    const int before = b.avrCps.points.size();
    start->setText(QString::number(start->text().toDouble() + 150));
    QTest::keyClick(start, Qt::Key_Return);
    QCOMPARE(b.avrCps.points.size(), before + 1);

    // Show both newest history points in the focus window, their track between them.
    const Point p0 = b.avrCps.points[before - 1];
    const Point p1 = b.avrCps.points[before];
    const double span = std::max(std::fabs(p1.x - p0.x), std::fabs(p1.y - p0.y));
    QVERIFY(span > 0);
    const double cx = (p0.x + p1.x) / 2;
    const double cy = (p0.y + p1.y) / 2;
    b.focusView.realC = QRectF(cx - span, cy - span, 2 * span, 2 * span);
    const QImage img = paint(b.focusView);
    const Mapping m(b.focusView);
    // Along the segment, away from the end dots: the dashed track in the focus colour.
    int onTrack = 0;
    int samples = 0;
    for (int i = 10; i <= 90; ++i) {
        const double t = i / 100.0;
        const int x = m.px(p0.x + (p1.x - p0.x) * t);
        const int y = m.py(p0.y + (p1.y - p0.y) * t);
        bool hit = false;
        for (int dy = -1; dy <= 1 && !hit; ++dy)
            for (int dx = -1; dx <= 1 && !hit; ++dx)
                hit = at(img, x + dx, y + dy) == kFocusTrack;
        onTrack += hit ? 1 : 0;
        ++samples;
    }
    QVERIFY2(onTrack > samples / 3, qPrintable(QString::number(onTrack)));
    // The read-outs show the newest focus and image point.
    QCOMPARE(labelText(b, "AvrCps"),
             QStringLiteral("(%1, %2): %3")
                 .arg(p1.x, 8, 'f', 3)
                 .arg(p1.y, 8, 'f', 3)
                 .arg(std::sqrt(p1.x * p1.x + p1.y * p1.y), 8, 'f', 3));
    const Point i1 = b.avrIps.points.last();
    QCOMPARE(labelText(b, "AvrIps"),
             QStringLiteral("(%1, %2): %3")
                 .arg(i1.x, 8, 'f', 3)
                 .arg(i1.y, 8, 'f', 3)
                 .arg(std::sqrt(i1.x * i1.x + i1.y * i1.y), 8, 'f', 3));
    // The image track in its own colour somewhere in the imaging window's default view.
    b.imagingView.realC = QRectF(b.avrIps.points[before - 1].x - span,
                                 b.avrIps.points[before - 1].y - span,
                                 2 * span + std::fabs(i1.x - b.avrIps.points[before - 1].x),
                                 2 * span + std::fabs(i1.y - b.avrIps.points[before - 1].y));
    QVERIFY(countColour(paint(b.imagingView), kImageTrack) > 0);
}

void tst_Render::readoutFollowsCursor_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<double>("wx");
    QTest::addColumn<double>("wy");
    QTest::addColumn<QString>("text");

    QTest::newRow("overall") << 0 << 1.5 << -2.0 << "(   1.500,   -2.000):    2.500";
    QTest::newRow("crystals") << 1 << 3.0 << 4.0 << "(   3.000,    4.000):    5.000";
    QTest::newRow("focus") << 2 << -7.5 << 0.0 << "(  -7.500,    0.000):    7.500";
    QTest::newRow("imaging") << 3 << 0.0 << 0.0 << "(   0.000,    0.000):    0.000";
}

void tst_Render::readoutFollowsCursor()
{
    QFETCH(int, view);
    QFETCH(double, wx);
    QFETCH(double, wy);
    QFETCH(QString, text);

    Body b;
    DispABase &w = window(b, view);
    paint(w); // the surface's own size for its mapping
    // Ten pixels per unit with world (-10, -10) at the lower left.
    w.realC = pixelView(w, -10, -10, 10);
    const QPoint p(static_cast<int>((wx + 10) * 10),
                   w.disp.height() - static_cast<int>((wy + 10) * 10));
    move(w, p);
    paint(w);
    QCOMPARE(labelText(b, "MPos"), text);
    // The measuring line read-out shows the unit segment along +x until the first measurement.
    QCOMPARE(labelText(b, "MeasLength"),
             QStringLiteral("(   0.000,    0.000)-(   1.000,    0.000) :    1.000000"));
}

void tst_Render::leftDragPans_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");

    QTest::newRow("right") << QPoint(100, 100) << QPoint(180, 100);
    QTest::newRow("up and left") << QPoint(200, 150) << QPoint(130, 40);
    QTest::newRow("down") << QPoint(60, 50) << QPoint(60, 250);
    QTest::newRow("back to the start") << QPoint(60, 50) << QPoint(60, 50);
}

void tst_Render::leftDragPans()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);

    Body b;
    DispABase &w = b.overallView;
    paint(w);
    const QRectF start = pixelView(w, -10, -10, 10);
    w.realC = start;
    const QString measured = labelText(b, "MeasLength");
    drag(w, Qt::LeftButton, from, to);
    // The world point under the cursor followed it: ten pixels per unit, y up.
    const QRectF expected(start.x() - (to.x() - from.x()) / 10.0,
                          start.y() + (to.y() - from.y()) / 10.0,
                          start.width(),
                          start.height());
    QVERIFY2(sameView(w.realC, expected, 1e-9), qPrintable(viewText(w.realC)));
    // Only that window moved, and nothing was measured.
    QCOMPARE(b.crystalsView.realC, b.crystalsView.realC0);
    paint(w);
    QCOMPARE(labelText(b, "MeasLength"), measured);
}

void tst_Render::rightDragMeasures()
{
    Body b;
    DispABase &w = b.crystalsView;
    paint(w);
    const QRectF view = pixelView(w, -10, -10, 10);
    w.realC = view;
    const int h = w.disp.height();
    // World (0, 0) to (3, 4).
    drag(w, Qt::RightButton, QPoint(100, h - 100), QPoint(130, h - 140));
    QCOMPARE(w.realC, view);
    paint(w);
    QCOMPARE(labelText(b, "MeasLength"),
             QStringLiteral("(   0.000,    0.000)-(   3.000,    4.000) :    5.000000"));
    // The measuring line in its olive colour between the two points.
    const QImage img = paint(w);
    int olive = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            olive += at(img, 115 + dx, h - 120 + dy) == QColor(192, 192, 0) ? 1 : 0;
    QVERIFY(olive >= 3);
}

void tst_Render::modifierAtPressDoesNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("mods");

    QTest::newRow("left with shift") << int(Qt::LeftButton) << int(Qt::ShiftModifier);
    QTest::newRow("right with shift") << int(Qt::RightButton) << int(Qt::ShiftModifier);
    QTest::newRow("left with ctrl") << int(Qt::LeftButton) << int(Qt::ControlModifier);
    QTest::newRow("right with ctrl") << int(Qt::RightButton) << int(Qt::ControlModifier);
    QTest::newRow("left with alt") << int(Qt::LeftButton) << int(Qt::AltModifier);
    QTest::newRow("middle button") << int(Qt::MiddleButton) << int(Qt::NoModifier);
}

void tst_Render::modifierAtPressDoesNothing()
{
    QFETCH(int, button);
    QFETCH(int, mods);

    Body b;
    DispABase &w = b.overallView;
    paint(w);
    w.realC = pixelView(w, -10, -10, 10);
    const QRectF view = w.realC;
    const QString measured = labelText(b, "MeasLength");
    // The modifier is held at the press only; the moves come without it.
    move(w, QPoint(100, 100));
    mouse(w,
          QEvent::MouseButtonPress,
          QPoint(100, 100),
          Qt::MouseButton(button),
          Qt::MouseButton(button),
          Qt::KeyboardModifiers(mods));
    for (int i = 1; i <= 4; ++i)
        mouse(w,
              QEvent::MouseMove,
              QPoint(100 + 20 * i, 100 + 10 * i),
              Qt::NoButton,
              Qt::MouseButton(button));
    QCOMPARE(w.realC, view);
    paint(w);
    QCOMPARE(labelText(b, "MeasLength"), measured);
}

void tst_Render::altMovesIgnored()
{
    Body b;
    DispABase &w = b.overallView;
    paint(w);
    w.realC = pixelView(w, -10, -10, 10);
    const QRectF view = w.realC;
    move(w, QPoint(100, 100));
    paint(w);
    const QString position = labelText(b, "MPos");
    // Neither a hover nor a drag with Alt held is seen.
    move(w, QPoint(140, 120), Qt::AltModifier);
    QCOMPARE(w.disp.mc.curPos, QPoint(100, 100));
    mouse(w, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseMove, QPoint(200, 150), Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(w.realC, view);
    QCOMPARE(w.disp.mc.curPos, QPoint(100, 100));
    paint(w);
    QCOMPARE(labelText(b, "MPos"), position);
}

void tst_Render::wheelZoomsAboutCursor_data()
{
    QTest::addColumn<QPointF>("cursor"); // as a fraction of the surface, from the top left
    QTest::addColumn<int>("notches");
    QTest::addColumn<bool>("zoomX");
    QTest::addColumn<bool>("zoomY");

    QTest::newRow("middle, in") << QPointF(0.5, 0.5) << 1 << true << true;
    QTest::newRow("off centre, in") << QPointF(0.3, 0.7) << 1 << true << true;
    QTest::newRow("off centre, out") << QPointF(0.3, 0.7) << -1 << true << true;
    QTest::newRow("three notches") << QPointF(0.6, 0.4) << 3 << true << true;
    QTest::newRow("near the left border") << QPointF(0.02, 0.5) << 1 << false << true;
    QTest::newRow("near the right border") << QPointF(0.98, 0.5) << 1 << false << true;
    QTest::newRow("near the top") << QPointF(0.5, 0.02) << 1 << true << false;
    QTest::newRow("near the bottom") << QPointF(0.5, 0.99) << 1 << true << false;
    QTest::newRow("in a corner") << QPointF(0.01, 0.01) << 1 << false << false;
}

void tst_Render::wheelZoomsAboutCursor()
{
    QFETCH(QPointF, cursor);
    QFETCH(int, notches);
    QFETCH(bool, zoomX);
    QFETCH(bool, zoomY);

    Body b;
    DispABase &w = b.focusView;
    paint(w);
    w.realC = pixelView(w, -20, 30, 4);
    const QRectF before = w.realC;
    const QPoint p(static_cast<int>(cursor.x() * w.disp.width()),
                   static_cast<int>(cursor.y() * w.disp.height()));
    move(w, p);
    const Mapping m(w);
    const double cx = m.cc.toWorldX(p.x());
    const double cy = m.cc.toWorldY(p.y());
    wheel(w, p, notches);
    const double f = std::pow(0.9, notches);
    const QRectF &after = w.realC;
    const double tol = 1e-9;
    QVERIFY2(near(after.width(), before.width() * (zoomX ? f : 1), tol)
                 && near(after.height(), before.height() * (zoomY ? f : 1), tol),
             qPrintable(viewText(after)));
    // The world point under the cursor stays there.
    const Mapping m2(w);
    QVERIFY(near(m2.cc.toWorldX(p.x()), cx, tol));
    QVERIFY(near(m2.cc.toWorldY(p.y()), cy, tol));
}

void tst_Render::highlightThresholds_data()
{
    QTest::addColumn<QRectF>("realC");
    QTest::addColumn<double>("distance");
    QTest::addColumn<bool>("picked");

    // 5 % of the diagonal of a 30 x 40 view is 2.5, of 6 x 8 is 0.5, of 3 x 4 is 0.25.
    QTest::newRow("0.5 in a wide view") << QRectF(0, 0, 30, 40) << 0.5 << true;
    QTest::newRow("0.55 against 0.5") << QRectF(0, 0, 6, 8) << 0.55 << false;
    QTest::newRow("0.45 against 0.5") << QRectF(0, 0, 6, 8) << 0.45 << true;
    QTest::newRow("0.3 against 0.25") << QRectF(0, 0, 3, 4) << 0.3 << false;
    QTest::newRow("1.2 is never near") << QRectF(0, 0, 3000, 4000) << 1.2 << false;
    QTest::newRow("0.95 in a huge view") << QRectF(0, 0, 3000, 4000) << 0.95 << true;
}

// A horizontal half-ray at a known distance below the cursor, alone in the shape list.
void tst_Render::highlightThresholds()
{
    QFETCH(QRectF, realC);
    QFETCH(double, distance);
    QFETCH(bool, picked);

    Body b;
    DispABase &w = b.overallView;
    paint(w);
    w.realC = realC;
    const QPoint p(w.disp.width() / 2, w.disp.height() / 2);
    const Mapping m(w);
    const double cy = m.cc.toWorldY(p.y());
    Pen pen(QColor(0, 0, 255), 1, {});
    HRay ray(Point(realC.left(), cy - distance), Dir(0.0));
    b.shapes = {&pen, &ray};
    move(w, p);
    QCOMPARE(b.selectedShape, picked ? 1 : -1);
    // A move with a modifier keeps whatever is highlighted.
    b.shapes = {&pen};
    move(w, p + QPoint(3, 0), Qt::ShiftModifier);
    QCOMPARE(b.selectedShape, picked ? 1 : -1);
    b.shapes.clear();
    move(w, p);
    QCOMPARE(b.selectedShape, -1);
}

void tst_Render::highlightIsDrawnWide()
{
    Body b;
    DispABase &w = b.overallView;
    paint(w);
    w.realC = pixelView(w, 0, 0, 10);
    const int h = w.disp.height();
    Pen pen(QColor(0, 0, 255), 1, {});
    HRay first(Point(2, 10.05), Dir(0.0));
    HRay second(Point(2, 20.05), Dir(0.0));
    b.shapes = {&pen, &first, &second};
    const int x = 300;
    auto thickness = [&](int row) {
        const QImage img = paint(w);
        int n = 0;
        for (int y = row - 4; y <= row + 4; ++y)
            if (at(img, x, y) == QColor(0, 0, 255))
                ++n;
        return n;
    };
    const int row1 = h - 100;
    const int row2 = h - 200;
    QCOMPARE(thickness(row1), 1);
    QCOMPARE(thickness(row2), 1);
    move(w, QPoint(250, row2 - 3)); // 0.3 units above the second ray
    QCOMPARE(b.selectedShape, 2);
    QCOMPARE(thickness(row1), 1);
    QCOMPARE(thickness(row2), 3);
}

void tst_Render::farAwayDesignLeavesOnlyGrid_data()
{
    QTest::addColumn<QRectF>("realC");
    QTest::newRow("far up left") << QRectF(-1e6, 1e6, 20, 20);
    QTest::newRow("far up, zoomed in") << QRectF(-10, 1e9, 1e-3, 1e-3);
    QTest::newRow("very far") << QRectF(3e200, -3e200, 5e190, 5e190);
}

void tst_Render::farAwayDesignLeavesOnlyGrid()
{
    QFETCH(QRectF, realC);
    Body b;
    for (int i = 0; i < 4; ++i) {
        DispABase &w = window(b, i);
        w.realC = realC;
        QVERIFY(onlyGridColours(paint(w)));
    }
}

void tst_Render::degenerateViewsPaint_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QRectF>("realC");
    QTest::addColumn<bool>("blank"); // nothing can be placed in it: background only
    QTest::newRow("zero size") << QRectF(1, 1, 0, 0) << true;
    QTest::newRow("zero width") << QRectF(1, 1, 0, 5) << true;
    QTest::newRow("not a number") << QRectF(nan, 0, 10, 10) << true;
    QTest::newRow("infinite") << QRectF(-inf, -inf, inf, inf) << true;
    QTest::newRow("denormal") << QRectF(0, 0, 1e-320, 1e-320) << true;
    QTest::newRow("at 1e300") << QRectF(1e300, 1e300, 20, 20) << true;
    // Drawable, the whole design shrunk to a few pixels.
    QTest::newRow("reversed huge") << QRectF(1.2e300, 1.2e300, -2.4e300, -2.4e300) << false;
    QTest::newRow("widest") << QRectF(-1.7e308, -1.7e308, 1.7e308, 1.7e308) << false;
}

// Paint, hover, drag, measure and wheel in a view that cannot be drawn: everything finishes,
// and "Scale Reset" brings the design back.
void tst_Render::degenerateViewsPaint()
{
    QFETCH(QRectF, realC);
    QFETCH(bool, blank);
    Body b;
    DispABase &w = b.overallView;
    w.realC = realC;
    QImage img = paint(w);
    QVERIFY(!blank || countColour(img, kWhite) == img.width() * img.height());
    drag(w, Qt::LeftButton, QPoint(50, 50), QPoint(150, 120));
    drag(w, Qt::RightButton, QPoint(50, 50), QPoint(150, 120));
    wheel(w, QPoint(100, 100), 3);
    wheel(w, QPoint(100, 100), -3);
    move(w, QPoint(60, 60));
    img = paint(w);
    QVERIFY(!blank || countColour(img, kWhite) == img.width() * img.height());
    QVERIFY(!labelText(b, "MPos").isEmpty());

    QTest::mouseClick(b.findChild<QPushButton *>(QStringLiteral("ScaleReset")), Qt::LeftButton);
    QCOMPARE(w.realC, w.realC0);
    QVERIFY(countColour(paint(w), kFirstCrystal) > 0);
}

// 2000 wheel notches in and out again, a pan out to 1e300 and the way back.
void tst_Render::extremeNavigationStaysUsable()
{
    Body b;
    DispABase &w = b.overallView;
    paint(w);
    const QRectF start = w.realC;
    const QPoint p(w.disp.width() / 3, w.disp.height() / 2);
    move(w, p);
    for (int i = 0; i < 2000; ++i) {
        wheel(w, p, 1);
        if (i % 200 == 0)
            paint(w);
    }
    QVERIFY(w.realC.width() > 0 && w.realC.width() < start.width() * 1e-6);
    paint(w);
    for (int i = 0; i < 2000; ++i) {
        wheel(w, p, -1);
        if (i % 200 == 0)
            paint(w);
    }
    QVERIFY(std::isfinite(w.realC.x()) && std::isfinite(w.realC.width()));
    QVERIFY(w.realC.width() > start.width());
    paint(w);

    // Zoomed out to the limit, a few long drags carry the view to the edge of the range.
    for (int i = 0; i < 10000 && w.realC.width() < 1e299; ++i)
        wheel(w, p, -1);
    for (int i = 0; i < 50; ++i)
        drag(w, Qt::LeftButton, QPoint(w.disp.width() - 5, 5), QPoint(5, w.disp.height() - 5));
    QVERIFY(std::isfinite(w.realC.right()) && std::isfinite(w.realC.top()));
    QVERIFY2(w.realC.right() > 5e299, qPrintable(viewText(w.realC)));
    paint(w);
    w.realC = QRectF(1e300, 1e300, 20, 20);
    drag(w, Qt::LeftButton, QPoint(10, 10), QPoint(300, 200));
    wheel(w, p, 5);
    QVERIFY(onlyGridColours(paint(w)));

    QTest::mouseClick(b.findChild<QPushButton *>(QStringLiteral("ScaleReset")), Qt::LeftButton);
    QCOMPARE(w.realC, w.realC0);
    const QImage img = paint(w);
    QVERIFY(countColour(img, kFirstCrystal) > 0);
    QVERIFY(countColour(img, kArrayCentre) > 0);
}

// A surface of no pixels (a window shrunk to nothing) maps nothing: the paint draws nothing and
// still rewrites the read-outs.
void tst_Render::emptySurfacePaints()
{
    Body b;
    DispABase &w = b.overallView;
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::white);
    QLabel *mpos = b.findChild<QLabel *>(QStringLiteral("MPos"));
    QVERIFY(mpos);
    mpos->clear();
    {
        QPainter p(&img);
        w.disp.cc.setScreen(0, 0, 0, 0);
        emit w.drawImage(&p);
    }
    QCOMPARE(countColour(img, kWhite), 40 * 30);
    QVERIFY(!mpos->text().isEmpty());
    QCOMPARE(labelText(b, "MeasLength"),
             QStringLiteral("(   0.000,    0.000)-(   1.000,    0.000) :    1.000000"));
}

QTEST_MAIN(tst_Render)
#include "tst_render.moc"
