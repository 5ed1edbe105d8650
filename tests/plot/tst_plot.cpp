#include "crystaldrawing.h"
#include "dispabase.h"
#include "navigation.h"
#include "testsupport.h"
#include "ticks.h"

#include <QtTest>
#include <QtWidgets>

// Most tables compare what a caller gets, written out as text, with what it should get.

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRectF square(0, 0, 100, 100);

QString num(double v)
{
    return QString::number(std::abs(v) < 1e-9 ? 0.0 : v, 'g', 10);
}

// The mapping of a w x h pixel surface showing the world rectangle v, as a window paints.
void map(ChCoord &cc, const QRectF &v, double w = 100, double h = 100)
{
    cc.setScreen(0, h, w, 0);
    cc.setWorld(v.left(), v.top(), v.right(), v.bottom());
}

// "on" or "off" both, the crossing of the lines, "invalid" when parallel; swapped arguments must
// give the same point to the last bit, and no stale t or label may be left.
QString cross(const Ray &a, const Ray &b)
{
    Point out(7, 7, "stale"), swapped;
    out.t = 3;
    const bool on = crossPoint(a, b, out);
    const bool same = crossPoint(b, a, swapped) == on && swapped.x == out.x && swapped.y == out.y
                      && swapped.valid == out.valid && out.t == 0 && out.label.isEmpty();
    return QString("%1 (%2, %3)").arg(on ? "on" : "off", num(out.x), num(out.y))
           + (out.valid ? "" : " invalid") + (same ? "" : ", not so swapped or stale");
}

// What shapes leave on a white 100 x 100 image showing view (y up), in a black pen 1 wide (3 for
// how & 4), selected for how & 1, extended for how & 2: the inked rectangle, pixels 0 to 15 of
// row 50, and whether the painter's pen changed.
QString drawn(const Shape &s, int how = 0, QRectF view = square, QVector<const Shape *> more = {})
{
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(white);
    QPainter p(&img);
    ChCoord cc;
    map(cc, view);
    const QPen pen(Qt::black, how & 4 ? 3 : 1);
    p.setPen(pen);
    const Box bb(view.left(), view.top(), view.right(), view.bottom());
    for (const Shape *x : more << &s)
        drawShape(&p, &cc, bb, *x, how & 1, how & 2);
    const bool kept = p.pen() == pen;
    p.end();
    QRect r;
    for (int i = 0; i < 100 * 100; ++i)
        r |= img.pixel(i % 100, i / 100) == white ? QRect() : QRect(i % 100, i / 100, 1, 1);
    QString row;
    for (int x = 0; x < 16; ++x)
        row += img.pixel(x, 50) == white ? '.' : '#';
    return QString("%1,%2 %3x%4 ").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()) + row
           + (kept ? "" : " pen changed");
}

// Every kind of shape at a (labelled) and from a to b, selected.
QString around(QPointF a, QPointF b, const QRectF &view = square)
{
    const Point pa(a.x(), a.y(), "label"), pb(b.x(), b.y());
    Points list;
    list.add(pa);
    list.showLabels = true;
    const Line ab(pa, pb), ba(pb, pa);
    const Ray ray(pa, Dir(30.0));
    const HRay half(pa, Dir(30.0));
    return drawn(pa, 1, view, {&list, &ab, &ba, &ray, &half});
}

// "same" when DrawText draws "F3" as QPainter does at the given point size in the normalised
// rectangle (nothing at all for size 0), and leaves the argument font on the painter.
QString label(const QRectF &r, int mode, double maxSize, double size)
{
    QFont font("Sans", 23);
    QImage got(300, 60, QImage::Format_RGB32);
    got.fill(white);
    QImage want = got.copy();
    QPainter p(&got), q(&want);
    p.setFont(QFont("Serif", 31));
    DrawText().drawText(&p, r, font, Qt::AlignLeft | Qt::AlignVCenter, mode, "F3", maxSize);
    if (p.font().pointSizeF() != 23)
        return QString("font left at %1 points").arg(p.font().pointSizeF());
    font.setPointSizeF(std::max(size, 1.0));
    q.setFont(font);
    q.drawText(r.normalized(), Qt::AlignLeft | Qt::AlignVCenter, size > 0 ? "F3" : "");
    p.end();
    q.end();
    return got == want ? "same" : "differs";
}

// A mouse event as the window system sends it, the right button for a press; for a wheel event
// pos is the angle turned.
void send(QWidget *w, QEvent::Type type, QPointF pos, Qt::KeyboardModifiers modifiers = {})
{
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton;
    const Qt::MouseButtons held(type == QEvent::MouseButtonRelease ? Qt::NoButton : b);
    QMouseEvent e(type, pos, pos, pos, b, held, modifiers);
    QWheelEvent wheel(pos, pos, {}, pos.toPoint(), {}, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, type == QEvent::Wheel ? static_cast<QEvent *>(&wheel) : &e);
}

// A window after a move to (7, 8), a right press at (10, 10) and one more event: its mouse
// record's position, the one before, whether the button is held, its count of mouseMoved() and
// the steps of its wheelMoved().
QString after(QEvent::Type type, QPointF pos, Qt::KeyboardModifiers modifiers = {})
{
    DispABase w;
    const MouseC &m = w.disp.mc;
    send(&w.disp, QEvent::MouseMove, QPointF(7, 8));
    send(&w.disp, QEvent::MouseButtonPress, QPointF(10, 10));
    QSignalSpy moves(&w, SIGNAL(mouseMoved())), steps(&w, SIGNAL(wheelMoved(int)));
    send(&w.disp, type, pos, modifiers);
    const QString wheel = steps.isEmpty() ? "" : ", wheel " + steps[0][0].toString();
    const auto xy = [](QPoint p) { return QString("%1,%2").arg(p.x()).arg(p.y()); };
    return xy(m.curPos) + " from " + xy(m.prevPos) + (m.pressed ? " held, " : " released, ")
           + QString::number(moves.count()) + " moved" + wheel;
}

// "step: major lines", each the shortest text of its double (so the one nearest its decimal
// value, as its label prints it), or "no grid". "!" marks a major line that is not every tenth
// minor line, " minors" minor lines not running from first - step to last + step.
QString grid(double lo, double hi, int decade = 99)
{
    const TickStep t = decade == 99 ? tickStep(lo, hi) : tickStepInDecade(lo, hi, decade);
    const QVector<double> majors = majorTicks(t), minors = minorTicks(t);
    if (!t.valid)
        return majors.isEmpty() && minors.isEmpty() ? "no grid" : "lines without a grid";
    QString s = QString::number(t.step, 'g', QLocale::FloatingPointShortest) + ":";
    for (int k = 0; k < majors.size(); ++k)
        s += " " + QString::number(majors[k], 'g', QLocale::FloatingPointShortest)
             + (minors.value(10 * k + 10) == majors[k] ? "" : "!");
    if (minors.size() != 10 * majors.size() + 11 || !near(minors[0], t.first - t.step)
        || !near(minors.last(), t.last + t.step))
        s += " minors";
    return s;
}

// The view on 100 x 100 pixels after a wheel turn of step notches at `to`, or for step 0 a left
// drag from (50, 50) to `to`.
QString moved(const QRectF &v, QPoint to, int step)
{
    ChCoord cc;
    map(cc, v);
    const QRectF r = step ? zoomView(v, cc, to, step) : panView(v, cc, to, QPoint(50, 50));
    return QString("%1 %2 %3 %4").arg(num(r.x()), num(r.y()), num(r.width()), num(r.height()));
}

// The read-out after a right drag from a to b on the measuring line as the program starts it.
QString measured(double ax, double ay, double bx, double by)
{
    Line l(Point(0, 0), Dir(0.0), 1.0);
    measureLine(Point(ax, ay), Point(bx, by), l);
    return measureReadout(l);
}

void geometryRows()
{
    const Dir east(1, 0), up(0, 1);
    const Ray ray(Point(), east);
    const HRay half(Point(), east), back(Point(), Dir(-1, 0));
    const Line line(Point(), Point(5, 0)), diag(Point(), Point(4, 4));
    const QString none("off (0, 0) invalid");
    dataRow("rays, behind both", cross(ray, Ray(Point(-5, 5), up)), "on (-5, 0)");
    dataRow("half-ray, ahead", cross(half, Ray(Point(5, 5), up)), "on (5, 0)");
    dataRow("half-ray, behind", cross(half, Ray(Point(-5, 5), up)), "off (-5, 0)");
    dataRow("half-rays, behind 2nd", cross(half, HRay(Point(5, 5), up)), "off (5, 0)");
    dataRow("at the start, to +x", cross(half, Ray(Point(0, -5), up)), "on (0, 0)");
    dataRow("at the start, to -x", cross(back, Ray(Point(0, -5), up)), "off (0, 0)");
    dataRow("line, at its far end", cross(line, Ray(Point(5, -1), up)), "on (5, 0)");
    dataRow("line, past its end", cross(line, Ray(Point(5.5, 1), up)), "off (5.5, 0)");
    dataRow("line, behind its start", cross(line, Ray(Point(-1, 1), up)), "off (-1, 0)");
    dataRow("line, half-ray behind", cross(line, HRay(Point(2, 1), up)), "off (2, 0)");
    dataRow("lines", cross(diag, Line(Point(0, 4), Point(4, 0))), "on (2, 2)");
    dataRow("lines, 2nd short", cross(diag, Line(Point(0, 4), Point(1, 3))), "off (2, 2)");
    dataRow("parallel", cross(half, HRay(Point(0, 3), Dir(2, 0))), none);
    // Unit vectors that differ, yet the denominator comes out exactly zero.
    const HRay ulp(Point(10, 0), Dir(15.921149105586297));
    dataRow("one ulp apart", cross(HRay(Point(), Dir(15.921149105586295)), ulp), none);
    dataRow("nearly parallel", cross(ray, Ray(Point(0, 1e10), Dir(1, 3e-300))), none);
    dataRow("start at infinity", cross(ray, Ray(Point(qInf(), 0), up)), none);
    dataRow("start not a number", cross(ray, HRay(Point(qQNaN(), 0), up)), none);
    // Distances from a point: for every kind of ray, perpendicular to the whole line.
    Points points;
    points.add(Point(0, 0));
    points.add(Point(4, 0));
    dataRow("point", num(Point(3, 4).distance(Point())), "5");
    dataRow("pen, never the nearest", num(Pen().distance(Point())), "-1");
    dataRow("45-degree ray", num(Ray(Point(), Dir(45.0)).distance(Point(0, 2))), "1.414213562");
    dataRow("beyond a line's end", num(Line(Point(), Point(3, 4)).distance(Point(10, 10))), "2");
    dataRow("points, from their centre", num(points.distance(Point(2, 3))), "3");
    dataRow("no points, from the origin", num(Points().distance(Point(3, 4))), "5");
    dataRow("ray of a zero vector", num(Ray(Point(), Dir(0.0, 0.0)).distance(Point(7, 5))), "5");
    dataRow("tiny vector", num(Ray(Point(), Dir(3e-200, 4e-200)).distance(Point(4, -3))), "5");
    dataRow("huge vector", num(Ray(Point(), Dir(3e200, 4e200)).distance(Point(4, -3))), "5");
}

void drawingRows()
{
    const Point p(50, 50);
    const Ray ray(Point(0, 50), Dir(0.0));
    const HRay half(p, Dir(0.0));
    const Line line(Point(20, 50), Point(80, 50));
    Points joined; // in its own pen, blue and 7 wide
    joined.add(Point(40, 50));
    joined.add(Point(60, 50));
    joined.connect = joined.ownPen = true;
    joined.pen = Pen(Qt::blue, 7, {});
    // Dashes 3 on, 3 off in units of the pen's width (square ends add half a width each side).
    const QString none(16, '.'), full(16, '#'), dash("###...###...###."), wide("###########.....");
    dataRow("point disc", drawn(p), "48,48 5x5 " + none);
    dataRow("point disc, selected", drawn(p, 1), "46,46 9x9 " + none);
    dataRow("ray", drawn(ray), "0,50 99x1 " + dash);
    dataRow("ray, wide pen", drawn(ray, 4), "0,50 99x1 " + dash);
    dataRow("ray, selected", drawn(ray, 1), "0,49 100x3 " + wide);
    dataRow("ray, two corners", drawn(Ray(Point(-5, -5), Dir(1, 1))), "1,2 98x98 " + none);
    dataRow("ray, one corner", drawn(Ray(Point(-5, 5), Dir(1, -1))), "0,0 0x0 " + none);
    dataRow("half-ray from inside", drawn(half), "50,50 50x1 " + none);
    dataRow("half-ray from before", drawn(HRay(Point(-9, 50), Dir(0.0))), "0,50 100x1 " + full);
    dataRow("half-ray from beyond", drawn(HRay(Point(150, 50), Dir(0.0))), "0,0 0x0 " + none);
    dataRow("half-ray, extended", drawn(half, 2), "0,50 100x1 " + dash);
    dataRow("half-ray, selected", drawn(half, 3), "0,49 100x3 " + wide);
    dataRow("line, pen 3", drawn(line, 4), "18,48 65x5 " + none);
    dataRow("line, pen 3, selected", drawn(line, 5), "17,47 66x6 " + none);
    dataRow("line, extended", drawn(line, 2), "0,48 99x5 " + dash);
    dataRow("points in their pen", drawn(joined), "37,47 27x7 " + none);
    // Crystal i of 4 in its colour: t = 255 / 4 * i truncated toward zero.
    QStringList colours;
    for (int i = 0; i < 4; ++i)
        colours << crystalColour(i, 4).name();
    dataRow("crystal colours", colours.join(' '), "#00ff00 #3fbf00 #7f7f00 #bf3f00");
    // Nothing drawn, and no undefined conversion to int, where positions are out of reach.
    const QString nothing("0,0 0x0 " + none);
    const QPointF o(0, 0), q(2, 3), mid(50, 50);
    dataRow("ends 1e8 px away", around(QPointF(-1e8, 50), QPointF(1e8, 50)), "0,49 100x2 " + full);
    dataRow("zero-sized view", around(o, q, QRectF(5, 5, 0, 0)), nothing);
    dataRow("view not a number", around(o, q, QRectF(qQNaN(), 0, 10, 10)), nothing);
    dataRow("view far too small", around(o, q, QRectF(1, 1, 1e-300, 1e-300)), nothing);
    dataRow("one end far outside", around(QPointF(2e9, 50), mid), nothing);
    dataRow("one end infinite", around(QPointF(50, -qInf()), mid), nothing);
    dataRow("ends not a number", around(QPointF(qQNaN(), 5), QPointF(5, qQNaN())), nothing);
    dataRow("ends huge", around(QPointF(1e300, 1e300), QPointF(-1e300, 0)), nothing);
    // Text labels, fitted (mode 1) or not.
    const QRectF r(10, 10, 200, 30);
    dataRow("label held at maxSize", label(r, 1, 6.5, 6.5), "same");
    dataRow("label, negative rectangle", label(QRectF(210, 40, -200, -30), 1, 10, 10), "same");
    dataRow("label not fitted", label(QRectF(10, 10, 20, 5), 0, 10, 23), "same");
    dataRow("label, zero width", label(QRectF(10, 10, 0, 20), 1, 10, 0), "same");
    dataRow("label far outside", label(QRectF(1e8, 10, 100, 20), 0, 10, 0), "same");
    dataRow("label not finite", label(QRectF(qInf(), 0, 100, 20), 1, 10, 0), "same");
}

void tickRows()
{
    dataRow("0..35", grid(0, 35), "5: 0 5 10 15 20 25 30 35");
    dataRow("0..0.8", grid(0, 0.8), "0.2: 0 0.2 0.4 0.6 0.8");
    dataRow("-3..7", grid(-3, 7), "2: -2 0 2 4 6");
    dataRow("100..1000", grid(100, 1000), "200: 200 400 600 800 1000");
    dataRow("2..3", grid(2, 3), "0.2: 2 2.2 2.4 2.6 2.8 3");
    dataRow("q = 2", grid(0, 2), "0.2: 0 0.2 0.4 0.6 0.8 1 1.2 1.4 1.6 1.8 2");
    dataRow("q = 4", grid(0, 4), "0.5: 0 0.5 1 1.5 2 2.5 3 3.5 4");
    dataRow("q = 5", grid(0, 5), "1: 0 1 2 3 4 5");
    dataRow("q = 7", grid(0, 7), "1: 0 1 2 3 4 5 6 7");
    dataRow("log10 too low, q = 10", grid(0, 1000, 2), "200: 0 200 400 600 800 1000");
    dataRow("log10 too high, q = 0", grid(0, 999.9, 3), "200: 0 200 400 600 800");
    dataRow("log10 rounded up", grid(0, 99.99999999999999), "20: 0 20 40 60 80");
    dataRow("zero range", grid(5, 5), "no grid");
    dataRow("negative range", grid(7, -3), "no grid");
    dataRow("ticks, not a number", grid(qQNaN(), 1), "no grid");
    dataRow("ticks, infinite", grid(-qInf(), qInf()), "no grid");
    dataRow("overflowing range", grid(-1.7e308, 1.7e308), "no grid");
    dataRow("below resolution at 1", grid(1, 1 + 4.5e-16), "no grid");
    dataRow("below resolution at 1e16", grid(1e16, 1e16 + 8), "no grid");
    dataRow("denormal range", grid(0, 1e-320), "no grid");
}

void navigationRows()
{
    // The mouse record of a window, relayed as its signals.
    const auto move = QEvent::MouseMove, wheel = QEvent::Wheel;
    const QString still("10,10 from 7,8 held, 0 moved");
    dataRow("move, -0.5 up", after(move, QPointF(-0.5, 2.5)), "0,3 from 10,10 held, 1 moved");
    dataRow("move, -1.7 down", after(move, QPointF(-1.7, 0.4)), "-2,0 from 10,10 held, 1 moved");
    dataRow("move with Alt", after(move, QPointF(30, 40), Qt::AltModifier), still);
    dataRow("double click", after(QEvent::MouseButtonDblClick, QPointF(60, 70)), still);
    dataRow("release",
            after(QEvent::MouseButtonRelease, QPointF(20.4, 30.6)),
            "20,31 from 10,10 released, 0 moved");
    dataRow("wheel, a notch away", after(wheel, QPointF(0, 120)), still + ", wheel 1");
    dataRow("wheel, two toward", after(wheel, QPointF(0, -240)), still + ", wheel -2");
    dataRow("wheel, half a notch", after(wheel, QPointF(0, 60)), still + ", wheel 0");
    dataRow("wheel, short of two", after(wheel, QPointF(0, -239)), still + ", wheel -1");
    // Pan and zoom.
    const QRectF v(0, 0, 100, 100), far(9e299, 0, 1e299, 100);
    const QRectF none(1.2e300, 1.2e300, -2.4e300, -2.4e300); // the Crystals window, no crystals
    const QPoint mid(50, 50);
    dataRow("pan right", moved(v, QPoint(60, 50), 0), "-10 0 100 100");
    dataRow("pan up, left", moved(v, QPoint(25, 40), 0), "25 -10 100 100");
    dataRow("pan past the range", moved(far, QPoint(40, 60), 0), "9e+299 10 1e+299 100");
    dataRow("zoom in", moved(v, mid, 1), "5 5 90 90");
    dataRow("zoom in off centre", moved(v, QPoint(20, 70), 1), "2 3 90 90");
    dataRow("zoom out", moved(v, mid, -1), "-5.555555556 -5.555555556 111.1111111 111.1111111");
    dataRow("near the left: y only", moved(v, QPoint(3, 50), 1), "0 5 100 90");
    dataRow("on the 5 % line: y only", moved(v, QPoint(5, 50), 1), "0 5 100 90");
    dataRow("near the top: x only", moved(v, QPoint(50, 2), 1), "5 0 90 100");
    dataRow("in a corner: nothing", moved(v, QPoint(1, 1), 1), "0 0 100 100");
    dataRow("huge step in", moved(v, mid, 100000), "0 0 100 100");
    dataRow("huge step out", moved(v, mid, -100000), "0 0 100 100");
    dataRow("reversed huge view", moved(none, mid, 1), "1.2e+300 1.2e+300 -2.4e+300 -2.4e+300");
    const QString o("(   0.000,    0.000)-"), unit(o + "(   1.000,    0.000) :    1.000000");
    dataRow("cursor", positionReadout(1.5, -2), "(   1.500,   -2.000):    2.500");
    dataRow("wide", positionReadout(12345.6789, -0.0004), "(12345.679,   -0.000): 12345.679");
    // Past 15 digits before the point, a number is shown in exponent form; the others not.
    dataRow("15 and 16 digits",
            positionReadout(123456789012345, 1234567890123456),
            "(123456789012345.000, 1.234568e+15): 1.240725e+15");
    dataRow("1e15, 16 digits", positionReadout(1e15, 0), "(1.000000e+15,    0.000): 1.000000e+15");
    dataRow("zoomed far out",
            positionReadout(1e300, -2.5e16),
            "(1.000000e+300, -2.500000e+16):      inf");
    dataRow("nan read-out", positionReadout(qQNaN(), 1), "(     nan,    1.000):      nan");
    dataRow("measured far", measured(0, 0, 1e17, 0), o + "(1.000000e+17,    0.000) : 1.000000e+17");
    dataRow("measured", measured(0, 0, 3, 4), o + "(   3.000,    4.000) :    5.000000");
    dataRow("no drag", measured(0, 0, 0, 0), o + "(   0.000,    0.000) :    0.000000");
    dataRow("not finite: kept", measured(qQNaN(), 0, 1, 1), unit);
    dataRow("overflow: kept", measured(-1.5e308, 0, 1.5e308, 0), unit);
    // The shape highlighted by its distance from the cursor (pens -1), for views whose
    // diagonal's 5 % is 2.5 (30 x 40), 0.5 (6 x 8) or 0.55 (6.6 x 8.8).
    dataRow("not below 5 %", QString::number(pickShape({0.5}, 6, 8)), "-1");
    dataRow("below 5 %", QString::number(pickShape({0.5}, 6.6, 8.8)), "0");
    dataRow("1.0 is never near", QString::number(pickShape({1.0}, 3e3, 4e3)), "-1");
    dataRow("under 1.0", QString::number(pickShape({0.999}, 3e3, 4e3)), "0");
    dataRow("nearest", QString::number(pickShape({0.9, 0.2, 0.5}, 30, 40)), "1");
    dataRow("pens, ties", QString::number(pickShape({-1, 0.3, -1, 0.3}, 30, 40)), "1");
    dataRow("pick, not a number", QString::number(pickShape({qQNaN(), 0.4}, 30, 40)), "1");
    dataRow("reversed view", QString::number(pickShape({0.5}, -30, -40)), "0");
}

} // namespace

class tst_Plot : public QObject
{
    Q_OBJECT

private slots:
    // What callers get from the crossings, distances, drawing, labels, ticks, mouse record,
    // navigation and read-outs, written out as text, against what they should get.
    void results_data();
    void results()
    {
        QFETCH(QString, got);
        QFETCH(QString, want);
        QCOMPARE(got, want);
    }
    void window();
    void zoomDeepInAndOut();
    void culledDrawing();
};

void tst_Plot::results_data()
{
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("want");
    geometryRows();
    drawingRows();
    tickRows();
    navigationRows();
}

// A plot window of 900 x 600 draws its scene once per paint. A surface of 300 x 200 pixels showing
// world -10 ... 10 both ways is white with nothing connected, and its paint sets its mapping's
// screen side: the world rectangle onto the whole surface, y up.
void tst_Plot::window()
{
    DispABase w;
    QCOMPARE(w.size(), QSize(900, 600));
    int draws = 0;
    connect(&w, &DispABase::drawImage, [&] { ++draws; });
    w.disp.grab();
    QCOMPARE(draws, 1);
    DispA d;
    d.resize(300, 200);
    d.cc.setWorld(-10, -10, 10, 10);
    QCOMPARE(d.grab().toImage().convertToFormat(QImage::Format_Indexed8).colorTable(),
             QVector<QRgb>{white});
    const ChCoord &cc = d.cc;
    QCOMPARE(QRectF(QPointF(cc.toScreenX(-10), cc.toScreenY(10)),
                    QPointF(cc.toScreenX(10), cc.toScreenY(-10))),
             QRectF(0, 0, 300, 200));
    QCOMPARE(QPointF(cc.toWorldX(75), cc.toWorldY(50)), QPointF(-5, 5));
}

void tst_Plot::zoomDeepInAndOut()
{
    // Notch by notch as the wheel delivers them: the deepest view still has a grid, and the
    // view zooms back out.
    QRectF v(5e6, -3e4, 400, 300);
    for (int step : {1, -1})
        for (int i = 0; i < 2000; ++i) {
            ChCoord cc;
            map(cc, v);
            v = zoomView(v, cc, QPoint(37, 61), step);
            QVERIFY(tickStep(v.left(), v.right()).valid && tickStep(v.top(), v.bottom()).valid);
        }
    QVERIFY(v.width() > 400 && v.height() > 300);
}

void tst_Plot::culledDrawing()
{
    // A labelled spiral about the window with now and then a point far away, so that long
    // segments cross the window; the window shows world -10 ... 20 by -5 ... 15 on 300 x 200.
    Points list;
    for (int i = 0; i < 600; ++i) {
        const double r = i % 50 ? 0.05 * i : 3e4;
        list.add(Point(5 + r * std::cos(i * 0.7), 5 + r * std::sin(i * 0.7), "8090[eV]"));
    }
    list.connect = list.ownPen = list.showLabels = true;
    list.pen = Pen(QColor(200, 0, 200), 1, {4, 3, 2, 3});
    ChCoord cc;
    map(cc, QRectF(-10, -5, 30, 20), 300, 200);
    for (bool extend : {false, true}) {
        list.extend = extend;
        QImage full(300, 200, QImage::Format_RGB32);
        full.fill(white);
        QImage cut = full.copy();
        QPainter p(&full), q(&cut);
        drawShape(&p, &cc, Box(-10, -5, 20, 15), list, false, false);
        drawPointsInView(&q, &cc, Box(-10, -5, 20, 15), list, QRectF(0, 0, 300, 200));
        QCOMPARE(q.pen(), p.pen());
        p.end();
        q.end();
        QCOMPARE(cut, full);
    }
}

LUMIVARD_TEST_MAIN(tst_Plot)
#include "tst_plot.moc"
