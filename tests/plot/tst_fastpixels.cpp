// The pixel fast paths against QPainter itself: lines and point discs written straight into the
// image must set exactly the pixels Qt's own drawing sets, in every case they take on, and leave
// everything else to Qt (vector devices get the plain calls). Each case is drawn both ways, with
// the fast paths switched on and off, and the images are compared byte for byte.
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

// Byte for byte, whatever the format (QImage's == ignores the unused byte of RGB32).
bool sameBytes(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.bytesPerLine())) != 0)
            return false;
    return true;
}

// A busy background, so that a pixel set twice or in another shade shows.
QImage background(QSize size, QImage::Format format)
{
    QImage img(size, format);
    std::mt19937 rng(5);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    return img;
}

// The image painted with the fast paths on or off, and whether the fast paths could take the
// painter (a RasterTarget) when on.
QImage painted(const QImage &start, const Paint &paint, bool fast, bool *took = nullptr)
{
    setPixelFastPaths(fast);
    QImage img = start.copy();
    QPainter p(&img);
    if (took)
        *took = RasterTarget(&p).isValid();
    paint(p);
    p.end();
    setPixelFastPaths(true);
    return img;
}

// A widget painted by `paint`, rendered into an image at an offset with a clip of two rectangles:
// the translated painter and the system clip of a widget paint.
class Canvas : public QWidget
{
public:
    Paint paint;
    bool took = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        took = RasterTarget(&p).isValid();
        paint(p);
    }
};

QImage rendered(Canvas &c, QPoint offset, const QRegion &clip, bool fast)
{
    setPixelFastPaths(fast);
    QImage img = background(c.size() + QSize(40, 40), QImage::Format_RGB32);
    c.render(&img, offset, clip, QWidget::RenderFlags());
    setPixelFastPaths(true);
    return img;
}

QPen linePen(const QColor &c, const QVector<double> &dashes, double width = 1)
{
    QPen pen(c);
    pen.setWidthF(width);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

// The dash patterns the program draws with and some it does not: whole pixels, fractions of a
// pixel, entries shorter than a pixel, a style's own pattern with an offset.
QVector<QPen> somePens(std::mt19937 &rng)
{
    const QColor c(int(rng() % 256), int(rng() % 256), int(rng() % 256));
    QPen dotted = linePen(c, {});
    dotted.setStyle(Qt::DashDotLine);
    dotted.setDashOffset(0.37 * (rng() % 9));
    QPen flat = linePen(c, {3, 3});
    flat.setCapStyle(Qt::FlatCap);
    return {linePen(c, {}),
            linePen(c, {3, 3}),
            linePen(c, {4, 3, 2, 3}),
            linePen(c, {2.5, 1.7}),
            linePen(c, {0.3, 0.45, 0.2, 2}),
            linePen(c, {}, 0),
            dotted,
            flat};
}

} // namespace

class tst_FastPixels : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void manyLines();
    void linesInWidgets();
    void notTaken_data();
    void notTaken();
    void vectorDevicesGetPlainCalls();
    void discsOfEveryClass();
    void manyDiscs();
    void discsAcrossClipSides();
    void repeatedDiscs();
    void boxCrossings();
};

void tst_FastPixels::lines_data()
{
    QTest::addColumn<QLine>("line");
    QTest::addColumn<int>("dash"); // index into somePens
    QTest::addColumn<int>("format");
    const QImage::Format formats[3]
        = {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied};
    // Every octant, both ways round, in every pen; all three formats in turn.
    int i = 0;
    for (const QPoint to : {QPoint(70, 20),
                            QPoint(20, 70),
                            QPoint(-20, 70),
                            QPoint(-70, 20),
                            QPoint(-70, -20),
                            QPoint(-20, -70),
                            QPoint(20, -70),
                            QPoint(70, -20),
                            QPoint(50, 50),
                            QPoint(60, 0),
                            QPoint(0, -60)})
        for (int dash = 0; dash < 8; ++dash, ++i)
            dataRow(qPrintable(QString("(%1, %2) pen %3").arg(to.x()).arg(to.y()).arg(dash)),
                    QLine(QPoint(80, 60), QPoint(80, 60) + to),
                    dash,
                    int(formats[i % 3]));
    // Ends off the surface, through it, along its edges, far away, a single point.
    const QLine clipped[] = {QLine(-30, 10, 100, 150),
                             QLine(170, -5, -20, 90),
                             QLine(5, -400, 40, 500),
                             QLine(-1000000000, 3, 1000000000, 117),
                             QLine(37, -1000000000, 81, 1000000000),
                             QLine(0, 0, 159, 0),
                             QLine(159, 119, 159, -40),
                             QLine(-1, 50, 160, 50),
                             QLine(-1000000000, -1000000000, -999999000, -999999990),
                             QLine(70, 70, 70, 70),
                             QLine(159, 119, 159, 119),
                             QLine(200, 30, 200, 30)};
    for (const QLine &l : clipped)
        for (int dash : {0, 1, 2})
            dataRow(qPrintable(QString("(%1, %2)-(%3, %4) pen %5")
                                   .arg(l.x1())
                                   .arg(l.y1())
                                   .arg(l.x2())
                                   .arg(l.y2())
                                   .arg(dash)),
                    l,
                    dash,
                    int(QImage::Format_ARGB32_Premultiplied));
}

void tst_FastPixels::lines()
{
    QFETCH(QLine, line);
    QFETCH(int, dash);
    QFETCH(int, format);
    std::mt19937 rng{uint(dash)};
    const QPen pen = somePens(rng)[dash];
    const QImage start = background({160, 120}, QImage::Format(format));
    const Paint paint = [&](QPainter &p) {
        p.setPen(pen);
        drawPixelLine(&p, line.x1(), line.y1(), line.x2(), line.y2());
    };
    bool took = false;
    const QImage fast = painted(start, paint, true, &took);
    QVERIFY(took);
    QVERIFY(sameBytes(fast, painted(start, paint, false)));
}

// Random lines of every kind at random offsets of the painter: none may differ.
void tst_FastPixels::manyLines()
{
    std::mt19937 rng(3);
    const QImage start = background({97, 71}, QImage::Format_RGB32);
    int differing = 0;
    for (int i = 0; i < 6000; ++i) {
        const QVector<QPen> pens = somePens(rng);
        const QPen pen = pens[int(rng() % pens.size())];
        const int range = i % 5 == 0 ? 100000 : 160;
        const auto r = [&] { return int(rng() % uint(2 * range)) - range / 2; };
        QLine l(r(), r(), r(), r());
        if (i % 7 == 0)
            l.setP2(l.p1() + QPoint(int(rng() % 5) - 2, int(rng() % 5) - 2));
        const QPoint shift(int(rng() % 9) - 4, int(rng() % 9) - 4);
        const Paint paint = [&](QPainter &p) {
            p.translate(shift);
            p.setPen(pen);
            drawPixelLine(&p, l.x1(), l.y1(), l.x2(), l.y2());
        };
        differing += !sameBytes(painted(start, paint, true), painted(start, paint, false));
    }
    QCOMPARE(differing, 0);
}

// Inside a widget: the painter translated by the widget's place in the image, and the system
// clip of two rectangles.
void tst_FastPixels::linesInWidgets()
{
    std::mt19937 rng(4);
    Canvas c;
    c.resize(70, 50);
    int differing = 0;
    for (int i = 0; i < 800; ++i) {
        const QVector<QPen> pens = somePens(rng);
        const QPen pen = pens[int(rng() % 3)];
        const auto r = [&] { return int(rng() % 200) - 60; };
        const QLine l(r(), r(), r(), r());
        c.paint = [&](QPainter &p) {
            p.setPen(pen);
            drawPixelLine(&p, l.x1(), l.y1(), l.x2(), l.y2());
        };
        const QPoint offset(int(rng() % 30), int(rng() % 30));
        const QRegion clip = i % 3 == 0 ? QRegion()
                                        : QRegion(int(rng() % 60), int(rng() % 40), 30, 20)
                                              + QRegion(int(rng() % 60), int(rng() % 40), 25, 15);
        const QImage fast = rendered(c, offset, clip, true);
        QVERIFY(c.took);
        differing += !sameBytes(fast, rendered(c, offset, clip, false));
    }
    QCOMPARE(differing, 0);
}

// What the fast paths must leave to QPainter; the result is Qt's either way.
void tst_FastPixels::notTaken_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("target"); // a RasterTarget still (the pen or the image rules it out)
    const char *names[] = {"antialiased",
                           "scaled",
                           "half-pixel translation",
                           "own clip",
                           "translucent pen",
                           "3 pixels wide",
                           "gradient pen",
                           "half opacity",
                           "xor",
                           "16-bit image"};
    const bool target[] = {false, false, false, false, true, true, true, false, false, false};
    for (int i = 0; i < 10; ++i)
        dataRow(names[i], i, target[i]);
}

void tst_FastPixels::notTaken()
{
    QFETCH(int, how);
    QFETCH(bool, target);
    const QImage start
        = background({90, 60}, how == 9 ? QImage::Format_RGB16 : QImage::Format_RGB32);
    bool took = false;
    const Paint paint = [&](QPainter &p) {
        QPen pen = linePen(QColor(200, 20, 40), {3, 3});
        p.setRenderHint(QPainter::Antialiasing, how == 0);
        if (how == 1)
            p.scale(1.5, 1.5);
        if (how == 2)
            p.translate(0.5, 0);
        if (how == 3)
            p.setClipRect(10, 5, 40, 30);
        if (how == 4)
            pen.setColor(QColor(200, 20, 40, 120));
        if (how == 5)
            pen.setWidth(3);
        if (how == 6)
            pen.setBrush(QLinearGradient(0, 0, 90, 60));
        if (how == 7)
            p.setOpacity(0.5);
        if (how == 8)
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(pen);
        took = took || RasterTarget(&p).isValid();
        drawPixelLine(&p, 3, 50, 85, 7);
        fillPointDisc(&p, 40.3, 20.7, false);
        PointDiscs discs(&p, true);
        discs.fill(60.1, 30.2);
        discs.fill(60.1, 30.2);
    };
    const QImage fast = painted(start, paint, true);
    QCOMPARE(took, target);
    QVERIFY(sameBytes(fast, painted(start, paint, false)));
}

// A recorded picture stands for SVG, PDF and print: the very calls QPainter was given, so the
// commands recorded with the fast paths on are those recorded without.
void tst_FastPixels::vectorDevicesGetPlainCalls()
{
    const auto record = [](bool fast) {
        setPixelFastPaths(fast);
        QPicture picture;
        QPainter p(&picture);
        p.setPen(linePen(Qt::red, {3, 3}));
        drawPixelLine(&p, 3, 50, 85, 7);
        PointDiscs discs(&p, true);
        for (int i = 0; i < 3; ++i)
            discs.fill(60.1, 30.2);
        fillPointDisc(&p, 20.5, 10.25, false);
        p.end();
        setPixelFastPaths(true);
        return QByteArray(picture.data(), int(picture.size()));
    };
    const QByteArray plain = record(false);
    QVERIFY(plain.size() > 100);
    QCOMPARE(record(true), plain);
}

// The disc of every class on either axis (found by sweeping a pixel in steps finer than the
// narrowest class), in every combination, drawn side by side: each the same as Qt's fill.
void tst_FastPixels::discsOfEveryClass()
{
    std::map<int, double> xs, ys;
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
    int differing = 0, classed = 0;
    for (const auto &row : ys) {
        QVector<QPointF> at;
        for (const auto &column : xs) {
            at << QPointF(8 + 8 * at.size() + column.second, 8 + row.second);
            int x = 0, y = 0;
            classed += PointDiscs::classOf(at.last().x(), at.last().y(), x, y) && x == column.first
                       && y == row.first;
        }
        const Paint paint = [&](QPainter &p) {
            p.setPen(QColor(0, 90, 250));
            PointDiscs discs(&p, false);
            for (const QPointF &q : at)
                discs.fill(q.x(), q.y());
        };
        const QImage start = background({int(xs.size()) * 8 + 16, 20}, QImage::Format_RGB32);
        differing += !sameBytes(painted(start, paint, true), painted(start, paint, false));
    }
    QCOMPARE(classed, 448 * 448);
    QCOMPARE(differing, 0);
}

// Discs in widgets at random places, in and out of the surface and across the edges of its clip
// (one rectangle or two), in random colours, some on exact 1/64 positions.
void tst_FastPixels::manyDiscs()
{
    std::mt19937_64 rng(9);
    Canvas c;
    c.resize(300, 200);
    int differing = 0;
    for (int i = 0; i < 60; ++i) {
        QVector<QPointF> at;
        QVector<QColor> colours;
        for (int gy = -2; gy < 27; ++gy)
            for (int gx = -2; gx < 39; ++gx) {
                double fx = double(rng() % 1000000) / 5e5, fy = double(rng() % 1000000) / 5e5;
                if (rng() % 50 == 0)
                    fx = double(rng() % 128) / 64;
                at << QPointF(gx * 8 + fx, gy * 8 + fy);
                colours << QColor(int(rng() % 256), int(rng() % 256), int(rng() % 256));
            }
        c.paint = [&](QPainter &p) {
            for (int k = 0; k < at.size(); ++k) {
                p.setPen(colours[k]);
                fillPointDisc(&p, at[k].x(), at[k].y(), false);
            }
        };
        const QPoint offset(int(rng() % 30), int(rng() % 30));
        const QRegion clip
            = i % 2 ? QRegion()
                    : QRegion(int(rng() % 200), int(rng() % 150), 20 + int(rng() % 150), 60)
                          + QRegion(int(rng() % 200), int(rng() % 150), 80, 20 + int(rng() % 50));
        const QImage fast = rendered(c, offset, clip, true);
        QVERIFY(c.took);
        differing += !sameBytes(fast, rendered(c, offset, clip, false));
    }
    QCOMPARE(differing, 0);
}

// Discs stepped across each side and corner of a widget's clip in 1/37 of a pixel, where Qt cuts
// their edges at the clip.
void tst_FastPixels::discsAcrossClipSides()
{
    Canvas c;
    c.resize(60, 44);
    int differing = 0;
    for (int i = 0; i < 9 * 37; ++i) {
        const double d = -4.5 + i / 37.0;
        const double along = 20 + (i % 37) / 37.0;
        const QPointF at[] = {{d, along},
                              {59 + d, along},
                              {along + 10, d},
                              {along + 10, 43 + d},
                              {d, d},
                              {59 + d, 43 + d}};
        c.paint = [&](QPainter &p) {
            p.setPen(QColor(250, 120, 0));
            for (const QPointF &q : at)
                fillPointDisc(&p, q.x(), q.y(), false);
        };
        const QImage fast = rendered(c, QPoint(20, 20), QRegion(), true);
        QVERIFY(c.took);
        differing += !sameBytes(fast, rendered(c, QPoint(20, 20), QRegion(), false));
    }
    QCOMPARE(differing, 0);
}

// One colour, many discs on top of one another and many repeats, skipped or not.
void tst_FastPixels::repeatedDiscs()
{
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> u(-10, 330);
    QVector<QPointF> at;
    for (int i = 0; i < 20000; ++i)
        at << (i % 4 == 3 ? at[int(rng() % at.size())] : QPointF(u(rng), u(rng) * 0.6));
    const QImage start = background({320, 200}, QImage::Format_ARGB32_Premultiplied);
    const QImage plain = painted(
        start,
        [&](QPainter &p) {
            p.setPen(QColor(20, 200, 90));
            for (const QPointF &q : at)
                fillPointDisc(&p, q.x(), q.y(), false);
        },
        false);
    for (bool skip : {false, true}) {
        const Paint batch = [&](QPainter &p) {
            p.setPen(QColor(20, 200, 90));
            PointDiscs discs(&p, skip);
            for (const QPointF &q : at)
                discs.fill(q.x(), q.y());
        };
        QVERIFY(sameBytes(painted(start, batch, true), plain));
    }
}

// The ends of a line or half-line clipped to a box, without building the list: bit for bit the
// first two crossings of the list, and as many.
void tst_FastPixels::boxCrossings()
{
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> u(-10, 10);
    int differing = 0;
    for (int i = 0; i < 200000; ++i) {
        const double s = std::pow(10.0, int(rng() % 20) - 10);
        const Box bb(u(rng) * s, u(rng) * s, u(rng) * s, u(rng) * s);
        const Point start
            = i % 7 == 0 ? bb.vertices[int(rng() % 4)] : Point(u(rng) * s * 2, u(rng) * s * 2);
        const Dir d = i % 5 == 0   ? Dir(45.0 * double(rng() % 8))
                      : i % 3 == 0 ? Dir(u(rng), u(rng))
                                   : Dir(u(rng) * 36);
        for (bool half : {false, true}) {
            QVector<Point> list;
            if (half)
                bb.edgeCrossings(HRay(start, d), list);
            else
                bb.edgeCrossings(Ray(start, d), list);
            Point ends[2];
            const int n = bb.edgeCrossingEnds(Ray(start, d), half, ends);
            bool same = n == list.size();
            for (int k = 0; same && k < std::min(n, 2); ++k)
                same = std::memcmp(&ends[k].x, &list[k].x, sizeof(double)) == 0
                       && std::memcmp(&ends[k].y, &list[k].y, sizeof(double)) == 0;
            differing += !same;
        }
    }
    QCOMPARE(differing, 0);
}

QTEST_MAIN(tst_FastPixels)
#include "tst_fastpixels.moc"
