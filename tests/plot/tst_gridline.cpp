#include "gridline.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <random>

namespace {

// A busy background, so that a difference in coverage or in blending shows.
QImage makeBackground()
{
    QImage img(240, 160, QImage::Format_ARGB32_Premultiplied);
    std::mt19937 rng(5);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    return img;
}

const QImage &background()
{
    static const QImage img = makeBackground();
    return img;
}

struct Setting
{
    QPen pen;
    QPoint shift;
    QRect clip;
    bool antialiased = false;
    double scale = 1;
};

QImage paint(const Setting &s, const QLine &l, bool asGridLine)
{
    QImage img = background().copy();
    QPainter p(&img);
    p.translate(s.shift);
    p.scale(s.scale, s.scale);
    if (!s.clip.isNull())
        p.setClipRect(s.clip);
    p.setRenderHint(QPainter::Antialiasing, s.antialiased);
    p.setPen(s.pen);
    if (asGridLine)
        drawGridLine(&p, l.x1(), l.y1(), l.x2(), l.y2());
    else
        p.drawLine(l);
    p.end();
    return img;
}

QPen pen(const QColor &c, int width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(c);
    p.setWidth(width);
    p.setStyle(style);
    return p;
}

} // namespace

class tst_GridLine : public QObject
{
    Q_OBJECT

private slots:
    void sameAsLine_data();
    void sameAsLine();
    void manyPlacesSameAsLine();
};

void tst_GridLine::sameAsLine_data()
{
    QTest::addColumn<QPen>("linePen");
    QTest::addColumn<QPoint>("shift");
    QTest::addColumn<QRect>("clip");
    QTest::addColumn<bool>("antialiased");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QLine>("line");

    const QColor grid(239, 239, 239);
    const QPen minor = pen(grid, 1);
    const QPen major = pen(grid, 2);
    // The grid's own lines: across a surface from its bottom to its top, or left to right.
    QTest::newRow("minor vertical, bottom to top")
        << minor << QPoint() << QRect() << false << 1.0 << QLine(37, 160, 37, 0);
    QTest::newRow("major vertical, bottom to top")
        << major << QPoint() << QRect() << false << 1.0 << QLine(37, 160, 37, 0);
    QTest::newRow("minor horizontal")
        << minor << QPoint() << QRect() << false << 1.0 << QLine(0, 81, 240, 81);
    QTest::newRow("major horizontal")
        << major << QPoint() << QRect() << false << 1.0 << QLine(0, 81, 240, 81);
    // Inside the surface, both ways round: the end pixels and the square caps.
    QTest::newRow("minor vertical inside")
        << minor << QPoint() << QRect() << false << 1.0 << QLine(50, 20, 50, 120);
    QTest::newRow("major vertical inside, reversed")
        << major << QPoint() << QRect() << false << 1.0 << QLine(50, 120, 50, 20);
    QTest::newRow("major horizontal inside")
        << major << QPoint() << QRect() << false << 1.0 << QLine(20, 60, 200, 60);
    QTest::newRow("minor horizontal inside, reversed")
        << minor << QPoint() << QRect() << false << 1.0 << QLine(200, 60, 20, 60);
    QTest::newRow("major of no length")
        << major << QPoint() << QRect() << false << 1.0 << QLine(70, 70, 70, 70);
    // On the edges of the image, and with a plot surface's offset and clip inside a window.
    QTest::newRow("major at the left edge")
        << major << QPoint() << QRect() << false << 1.0 << QLine(0, 160, 0, 0);
    QTest::newRow("major at the bottom edge")
        << major << QPoint() << QRect() << false << 1.0 << QLine(0, 160, 240, 160);
    QTest::newRow("major, window offset and clip")
        << major << QPoint(11, 9) << QRect(0, 0, 200, 120) << false << 1.0
        << QLine(199, 120, 199, 0);
    QTest::newRow("minor, window offset and clip")
        << minor << QPoint(11, 9) << QRect(0, 0, 200, 120) << false << 1.0
        << QLine(0, 119, 200, 119);
    QTest::newRow("far off the surface")
        << major << QPoint() << QRect() << false << 1.0 << QLine(-1000000000, 160, -1000000000, 0);
    // What is not a plain grid line is drawn as a line.
    QTest::newRow("antialiased") << major << QPoint() << QRect() << true << 1.0
                                 << QLine(37, 160, 37, 0);
    QTest::newRow("scaled") << minor << QPoint() << QRect() << false << 1.5
                            << QLine(37, 100, 37, 0);
    QTest::newRow("dashed") << pen(grid, 1, Qt::DashLine) << QPoint() << QRect() << false << 1.0
                            << QLine(37, 160, 37, 0);
    QTest::newRow("translucent") << pen(QColor(0, 0, 0, 100), 1) << QPoint() << QRect() << false
                                 << 1.0 << QLine(37, 160, 37, 0);
    QTest::newRow("width 3") << pen(grid, 3) << QPoint() << QRect() << false << 1.0
                             << QLine(37, 160, 37, 0);
    QTest::newRow("slanted") << minor << QPoint() << QRect() << false << 1.0
                             << QLine(0, 0, 100, 160);
}

void tst_GridLine::sameAsLine()
{
    QFETCH(QPen, linePen);
    QFETCH(QPoint, shift);
    QFETCH(QRect, clip);
    QFETCH(bool, antialiased);
    QFETCH(double, scale);
    QFETCH(QLine, line);
    const Setting s{linePen, shift, clip, antialiased, scale};
    const QImage expected = paint(s, line, false);
    QVERIFY(expected != background() || line.x1() < -1000);
    QCOMPARE(paint(s, line, true), expected);
}

// Every place and length, both widths and both directions, against the line drawn.
void tst_GridLine::manyPlacesSameAsLine()
{
    std::mt19937 rng(11);
    int differing = 0;
    for (int i = 0; i < 2000; ++i) {
        const Setting s{pen(QColor(239, 239, 239), 1 + i % 2),
                        QPoint(int(rng() % 21) - 10, int(rng() % 21) - 10),
                        QRect(5, 3, 220, 140),
                        false,
                        1.0};
        const int across = int(rng() % 280) - 20;
        const int from = int(rng() % 200) - 20;
        const int to = i % 9 == 0 ? from : int(rng() % 200) - 20;
        const QLine l = (i / 2) % 2 ? QLine(across, from, across, to)
                                    : QLine(from, across % 180, to, across % 180);
        if (paint(s, l, true) != paint(s, l, false))
            ++differing;
    }
    QCOMPARE(differing, 0);
}

QTEST_MAIN(tst_GridLine)
#include "tst_gridline.moc"
