// The pixel fast paths against QPainter itself: lines, point discs and grid lines written straight
// into the image must set exactly the pixels Qt's own drawing sets, in every case they take on,
// and leave everything else to Qt (vector devices get the plain calls). Each case is drawn with the
// fast paths switched on and off (a grid line then as the line it stands for), and the images are
// compared byte for byte. The ends of a ray clipped to a box, which the beams are drawn between,
// are held bit for bit to the list of crossings they stand for.
#include "gridline.h"
#include "pixelline.h"
#include "pointdiscs.h"
#include "rastertarget.h"
#include "shapes.h"
#include "testsupport.h"

#include <QPicture>
#include <QtTest>
#include <QtWidgets>

#include <cstring>
#include <functional>
#include <map>
#include <random>

namespace {

using Paint = std::function<void(QPainter &)>;
// What bothWays() answers when the pixels are Qt's: with the fast paths writing them, or with
// everything left to Qt.
const QString taken("taken, same"), notTaken("left to Qt, same");

// A busy background, so that a pixel set twice or in another shade shows.
QImage background(QSize size, QImage::Format format)
{
    static std::map<QImage::Format, QImage> busy; // one per format, cut to size
    QImage &img = busy[format];
    if (img.isNull()) {
        img = QImage(400, 300, format);
        std::mt19937 rng(5);
        for (int i = 0; i < 400 * 300; ++i)
            img.setPixel(
                i % 400, i / 400, qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    }
    return img.copy(QRect(QPoint(), size));
}

// A widget that paints itself with `paint`.
struct Canvas : QWidget
{
    Paint paint;
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        paint(p);
    }
};

// `paint` over a busy image of `size` with the fast paths off (Qt's own drawing) and on: whether
// the fast paths could still write into the image after it, and whether the two images are the
// same byte for byte (the unused byte of RGB32 too). With a widget size, the painting is a
// widget's rendered into the image at `offset` through `clip` (empty: the widget's own rectangle).
QString bothWays(const Paint &paint,
                 QSize size,
                 QImage::Format format = QImage::Format_RGB32,
                 QSize widget = {},
                 QPoint offset = {},
                 const QRegion &clip = {})
{
    bool took = false;
    Canvas c;
    c.paint = [&](QPainter &p) {
        paint(p);
        took = RasterTarget(&p).isValid();
    };
    c.resize(widget);
    QImage img[2];
    for (const bool fast : {false, true}) {
        setPixelFastPaths(fast);
        img[fast] = background(size, format);
        QPainter p;
        if (widget.isValid())
            c.render(&img[fast], offset, clip, QWidget::RenderFlags());
        else if (p.begin(&img[fast]))
            c.paint(p);
    }
    setPixelFastPaths(true);
    const bool same
        = std::memcmp(img[0].constBits(), img[1].constBits(), img[0].sizeInBytes()) == 0;
    return QString(took ? "taken" : "left to Qt") + (same ? ", same" : ", differs");
}

// The same with the painting a widget's of `size`, rendered into a busy RGB32 image 40 pixels
// larger at `offset` through `clip` (empty: the widget's own rectangle).
QString inWidget(const Paint &paint, QSize size, QPoint offset, const QRegion &clip = {})
{
    return bothWays(paint, size + QSize(40, 40), QImage::Format_RGB32, size, offset, clip);
}

// Pen k of eight, in a random colour: solid, the dash patterns the program draws with and some it
// does not (whole pixels, fractions of a pixel, entries shorter than a pixel), width 0, a style's
// own pattern at an offset, flat ends.
QPen somePen(int k, std::mt19937 &rng)
{
    QPen pen(QColor(QRgb(rng())), k == 5 ? 0 : 1); // a random opaque colour
    const QVector<qreal> dashes[]
        = {{}, {3, 3}, {4, 3, 2, 3}, {2.5, 1.7}, {.3, .45, .2, 2}, {}, {}, {3, 3}};
    pen.setDashPattern(dashes[k]); // an empty pattern leaves the pen solid
    if (k == 6) {
        pen.setStyle(Qt::DashDotLine);
        pen.setDashOffset(0.37 * (rng() % 9));
    }
    if (k == 7)
        pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Lines from a text of x1 y1 x2 y2 groups.
QVector<QLine> linesOf(const QString &text)
{
    const QStringList v = text.split(' ', Qt::SkipEmptyParts);
    QVector<QLine> lines;
    for (int i = 0; i + 3 < v.size(); i += 4)
        lines << QLine(v[i].toInt(), v[i + 1].toInt(), v[i + 2].toInt(), v[i + 3].toInt());
    return lines;
}

// Discs at these places, one by one in these colours (or all in the first), or with a batch
// (PointDiscs) in the first colour.
Paint discsAt(const QVector<QPointF> &at, const QVector<QColor> &colours, bool batch, bool skip)
{
    return [=](QPainter &p) {
        p.setPen(colours[0]);
        PointDiscs discs(&p, skip);
        for (int k = 0; k < at.size(); ++k) {
            if (batch) {
                discs.fill(at[k].x(), at[k].y());
                continue;
            }
            p.setPen(colours.value(k, colours[0]));
            fillPointDisc(&p, at[k].x(), at[k].y(), false);
        }
    };
}

// A grid line with the fast paths on; with them off the line Qt draws, which it must match.
void gridLine(QPainter &p, const QLine &l)
{
    pixelFastPaths() ? drawGridLine(&p, l.x1(), l.y1(), l.x2(), l.y2()) : p.drawLine(l);
}

} // namespace

class tst_FastPixels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lines();
    void leftToQt_data();
    void leftToQt();
    void discsOfEveryClass();
    void discs();
    void boxCrossings();
};

// The fast paths hold only for the rasteriser they were proven on. Another Qt fails here first and
// plainly, rather than in a byte comparison below (or not at all, with the paths left off).
void tst_FastPixels::initTestCase()
{
    QVERIFY2(provenQtRelease(),
             qPrintable(QStringLiteral("the pixel fast paths were proven on Qt %1x and stay off on "
                                       "Qt %2: move kProvenQtRelease on and run these tests, which "
                                       "pass only where the paths set Qt's own pixels")
                            .arg(QLatin1String(kProvenQtRelease), QLatin1String(qVersion()))));
}

// Every octant, both ways round; ends off the image, through it, along and past its edges, far
// away, single points; as long as a grid line's fast path takes and a pixel longer; each in every
// pen. Then random lines, some very long, some very short: on a painter translated by whole pixels
// in every image format, or in a widget at an offset in its image through a clip of one or two
// rectangles. Each is drawn as a pixel line and, in a pen 1 or 2 wide, as a grid line (random
// ones made vertical or horizontal first).
void tst_FastPixels::lines()
{
    const QVector<QLine> fixed = linesOf(
        "80 60 150 80  80 60 100 130  80 60 60 130  80 60 10 80  80 60 10 40  80 60 60 -10 "
        "80 60 100 -10  80 60 150 40  80 60 130 110  80 60 140 60  80 60 80 0  50 100 50 20 "
        "-30 10 100 150  170 -5 -20 90  5 -400 40 500  -1000000000 3 1000000000 117 "
        "37 -1000000000 81 1000000000  0 0 159 0  159 119 159 -40  -1 50 160 50  0 120 0 0 "
        "-1000000000 -1000000000 -999999000 -999999990  70 70 70 70  159 119 159 119 "
        "200 30 200 30  -1000000000 120 -1000000000 0  -500000000 5 500000000 5 "
        "-500000000 5 500000001 5");
    const int format = QImage::Format_RGB32; // then ARGB32 and ARGB32_Premultiplied
    std::mt19937 rng(3);
    for (int i = 0; i < 7000; ++i) {
        const bool random = i >= 8 * fixed.size();
        const QPen pen = somePen(random ? int(rng() % 8) : i % 8, rng);
        const int range = i % 5 == 0 ? 100000 : 240;
        const auto r = [&] { return int(rng() % uint(range)) - range / 4; };
        QLine l = random ? QLine(r(), r(), r(), r()) : fixed[i / 8];
        if (random && i % 7 == 0)
            l.setP2(l.p1() + QPoint(int(rng() % 5) - 2, int(rng() % 5) - 2));
        const bool vertical = rng() % 2;
        const int width = 1 + (random ? int(rng() % 2) : i % 2);
        const QLine grid = !random    ? l
                           : vertical ? QLine(l.x1(), l.y1(), l.x1(), l.y2())
                                      : QLine(l.x1(), l.y1(), l.x2(), l.y1());
        const QPoint shift = random ? QPoint(rng() % 41, rng() % 41) - QPoint(20, 20) : QPoint();
        const QPoint offset(int(rng() % 40), int(rng() % 40));
        const QRegion clip = i % 3 ? QRegion()
                                   : QRegion(int(rng() % 100), int(rng() % 60), 40, 30)
                                         + QRegion(int(rng() % 100), int(rng() % 60), 35, 25);
        for (const bool asGrid : {false, true}) {
            const Paint paint = [&](QPainter &p) {
                p.translate(shift);
                p.setPen(asGrid ? QPen(pen.color(), width) : pen);
                if (asGrid)
                    gridLine(p, grid);
                else
                    drawPixelLine(&p, l.x1(), l.y1(), l.x2(), l.y2());
            };
            if (!random || i % 8)
                QCOMPARE(bothWays(paint, {160, 120}, QImage::Format(format + i % 3)), taken);
            else
                QCOMPARE(inWidget(paint, {121, 79}, offset, clip), taken);
        }
    }
}

// What the fast paths must leave to QPainter (a line, discs, grid lines): the result is Qt's
// either way. A recorded picture stands for SVG, PDF and print: it must get the very calls QPainter
// got.
void tst_FastPixels::leftToQt_data()
{
    QTest::addColumn<bool>("target"); // the painter still a RasterTarget: only the pen rules it out
    for (const char *how : {"antialiased", "scaled", "half-pixel translation", "own clip", "xor"})
        dataRow(how, false);
    for (const char *how : {"half opacity", "16-bit image", "recorded picture"})
        dataRow(how, false);
    for (const char *how : {"translucent pen", "3 pixels wide pen", "gradient pen"})
        dataRow(how, true);
}

void tst_FastPixels::leftToQt()
{
    QFETCH(bool, target);
    const QByteArray how = QTest::currentDataTag();
    const Paint paint = [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing, how == "antialiased");
        p.scale(how == "scaled" ? 1.5 : 1, how == "scaled" ? 1.5 : 1);
        p.translate(how == "half-pixel translation" ? 0.5 : 0, 0);
        if (how == "own clip")
            p.setClipRect(10, 5, 40, 30);
        p.setOpacity(how == "half opacity" ? 0.5 : 1);
        if (how == "xor")
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(QColor(200, 20, 40, how == "translucent pen" ? 120 : 255),
                 how == "3 pixels wide pen" ? 3 : 1);
        if (how == "gradient pen")
            pen.setBrush(QLinearGradient(0, 0, 90, 60));
        pen.setDashPattern({3, 3});
        p.setPen(pen);
        drawPixelLine(&p, 3, 50, 85, 7);
        fillPointDisc(&p, 40.3, 20.7, false);
        PointDiscs discs(&p, true);
        discs.fill(60.1, 30.2);
        discs.fill(60.1, 30.2);
        pen.setStyle(Qt::SolidLine);
        p.setPen(pen);
        gridLine(p, QLine(20, 55, 20, 4));
        pen.setWidth(pen.width() + 1);
        p.setPen(pen);
        gridLine(p, QLine(5, 40, 80, 40));
    };
    if (how != "recorded picture") {
        const QImage::Format format
            = how == "16-bit image" ? QImage::Format_RGB16 : QImage::Format_RGB32;
        QCOMPARE(bothWays(paint, {90, 60}, format), target ? taken : notTaken);
        return;
    }
    QByteArray calls[2];
    for (const bool fast : {false, true}) {
        setPixelFastPaths(fast);
        QPicture picture;
        QPainter p(&picture);
        paint(p);
        p.end();
        calls[fast] = QByteArray(picture.data(), int(picture.size()));
    }
    setPixelFastPaths(true);
    QVERIFY(calls[0].size() > 100);
    QCOMPARE(calls[1], calls[0]);
}

// The disc of every class on either axis (found by sweeping a pixel in steps finer than the
// narrowest class), in every combination: each the same as Qt's fill.
void tst_FastPixels::discsOfEveryClass()
{
    std::map<int, double> xs, ys; // a fraction of a pixel of each class
    for (int i = 0; i < 8192; ++i) {
        const double v = 64 + (i + 0.5) / 8192;
        int x = 0, y = 0;
        if (PointDiscs::classOf(v, v, x, y)) {
            xs.emplace(x, v - 64);
            ys.emplace(y, v - 64);
        }
    }
    // 64 positions of a 26.6 corner per pixel, at each of the seven fractions the nine corner
    // offsets fall at.
    QCOMPARE(int(xs.size()), 448);
    QCOMPARE(int(ys.size()), 448);
    for (const auto &row : ys) {
        QVector<QPointF> at; // all classes of x with this class of y, 8 pixels apart
        for (const auto &column : xs) {
            at << QPointF(8 + 8 * (at.size() % 32) + column.second,
                          8 + 8 * (at.size() / 32) + row.second);
            int x = 0, y = 0;
            QVERIFY(PointDiscs::classOf(at.last().x(), at.last().y(), x, y) && x == column.first
                    && y == row.first);
        }
        QCOMPARE(bothWays(discsAt(at, {QColor(0, 90, 250)}, true, false), {272, 128}), taken);
    }
}

// Discs in a widget at random places, in and out of the surface and across the edges of its clip
// (one rectangle or two), in random colours, some on exact 1/64 positions; stepped across each
// side and corner of a widget in 1/37 of a pixel, where Qt cuts their edges at the clip; in one
// colour, many on top of one another and many repeats, skipped or not.
void tst_FastPixels::discs()
{
    std::mt19937 rng(9);
    const auto r = [&](int n) { return int(rng() % n); };
    for (int i = 0; i < 60; ++i) {
        QVector<QPointF> at;
        QVector<QColor> colours;
        for (int k = 0; k < 41 * 29; ++k) {
            const double fx = r(50) ? r(1000000) / 5e5 : r(128) / 64.0, fy = r(1000000) / 5e5;
            at << QPointF(k % 41 * 8 - 16 + fx, k / 41 * 8 - 16 + fy);
            colours << QColor(QRgb(rng()));
        }
        const QRegion clip = i % 2 ? QRegion()
                                   : QRegion(r(200), r(150), 20 + r(150), 60)
                                         + QRegion(r(200), r(150), 80, 20 + r(50));
        const Paint paint = discsAt(at, colours, false, false);
        QCOMPARE(inWidget(paint, {300, 200}, QPoint(r(30), r(30)), clip), taken);
    }
    for (int i = 0; i < 9 * 37; ++i) {
        const double d = -4.5 + i / 37.0, along = 20 + (i % 37) / 37.0;
        QVector<QPointF> at;
        for (const double x : {d, 59 + d, along + 10})
            for (const double y : {d, 43 + d, along})
                at << QPointF(x, y);
        QCOMPARE(inWidget(discsAt(at, {QColor(250, 120, 0)}, false, false), {60, 44}, {20, 20}),
                 taken);
    }
    std::uniform_real_distribution<double> u(-10, 330);
    QVector<QPointF> at;
    for (int i = 0; i < 20000; ++i)
        at << (i % 4 == 3 ? at[r(at.size())] : QPointF(u(rng), u(rng) * 0.6));
    for (const bool skip : {false, true}) {
        const Paint paint = discsAt(at, {QColor(20, 200, 90)}, true, skip);
        QCOMPARE(bothWays(paint, {320, 200}, QImage::Format_ARGB32_Premultiplied), taken);
    }
}

// The ends of a line or half-line clipped to a box, without building the list: bit for bit the
// first two crossings of the list, and as many.
void tst_FastPixels::boxCrossings()
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int i = 0; i < 200000; ++i) {
        const double s = std::pow(10.0, int(rng() % 20) - 10);
        const Box bb(u(rng) * s, u(rng) * s, u(rng) * s, u(rng) * s);
        const Point start
            = i % 7 == 0 ? bb.vertices[int(rng() % 4)] : Point(u(rng) * s * 2, u(rng) * s * 2);
        const Dir d = i % 5 == 0   ? Dir(45.0 * double(rng() % 8))
                      : i % 3 == 0 ? Dir(u(rng), u(rng))
                                   : Dir(u(rng) * 36);
        for (const bool half : {false, true}) {
            QVector<Point> list;
            half ? bb.edgeCrossings(HRay(start, d), list) : bb.edgeCrossings(Ray(start, d), list);
            Point ends[2];
            QCOMPARE(bb.edgeCrossingEnds(Ray(start, d), half, ends), list.size());
            for (int k = 0; k < std::min(int(list.size()), 2); ++k)
                QVERIFY(std::memcmp(&ends[k].x, &list[k].x, sizeof(double)) == 0
                        && std::memcmp(&ends[k].y, &list[k].y, sizeof(double)) == 0);
        }
    }
}

LUMIVARD_TEST_MAIN(tst_FastPixels)
#include "tst_fastpixels.moc"
