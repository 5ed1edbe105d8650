#include "drawtext.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QtTest>

#include <limits>

namespace {

// Records the font and position of every piece of text drawn, so the size chosen for a label
// can be read off what actually reached the device.
class TextRecorder : public QPaintEngine
{
public:
    struct Item
    {
        QFont font;
        QPointF pos;
        QString text;
    };

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        items.append({item.font(), p, item.text()});
    }
    Type type() const override { return User; }

    QVector<Item> items;
};

class RecordingDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return 1000;
        case PdmHeight:
            return 1000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return 1 * QPaintDevice::devicePixelRatioFScale();
        default:
            return 1000;
        }
    }

    mutable TextRecorder engine;
};

// Width of text at the given point size on the recording device.
double textWidth(QPaintDevice *dev, const QString &text, double pointSize)
{
    QFont f;
    f.setPointSizeF(pointSize);
    return QFontMetricsF(f, dev)
        .boundingRect(QRectF(0, 0, 5000, 5000), Qt::AlignLeft, text)
        .width();
}

} // namespace

class tst_DrawText : public QObject
{
    Q_OBJECT

private slots:
    void fittedSize_data();
    void fittedSize();
    void unfittedKeepsFont();
    void negativeRectDrawsAtNormalisedPlace();
    void painterFontIsArgumentAfterwards_data();
    void painterFontIsArgumentAfterwards();
    void unusableRectDrawsNothing_data();
    void unusableRectDrawsNothing();
    void labelOnImageStaysInsideRect();
};

void tst_DrawText::fittedSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSizeF>("rect");
    QTest::addColumn<double>("maxSize");
    QTest::addColumn<double>("minExpected");
    QTest::addColumn<double>("maxExpected");
    QTest::addColumn<bool>("fillsWidth");

    QTest::newRow("short label held at maxSize")
        << "F3" << QSizeF(200, 20) << 10.0 << 10.0 << 10.0 << false;
    QTest::newRow("smaller maxSize wins") << "F3" << QSizeF(200, 20) << 6.5 << 6.5 << 6.5 << false;
    QTest::newRow("no bound grows with the box")
        << "F3" << QSizeF(2000, 200) << 0.0 << 50.0 << 1e9 << false;
    QTest::newRow("long label shrinks to the width")
        << "focus 12 (123.456, 789.012) averaged over all crossings" << QSizeF(200, 20) << 10.0
        << 1.0 << 9.99 << true;
}

void tst_DrawText::fittedSize()
{
    QFETCH(QString, text);
    QFETCH(QSizeF, rect);
    QFETCH(double, maxSize);
    QFETCH(double, minExpected);
    QFETCH(double, maxExpected);
    QFETCH(bool, fillsWidth);

    RecordingDevice dev;
    QPainter p(&dev);
    DrawText dt;
    const QRectF r(QPointF(10, 10), rect);
    dt.drawText(&p, r, QFont(), Qt::AlignLeft | Qt::AlignVCenter, 1, text, maxSize);
    p.end();

    QVERIFY(!dev.engine.items.isEmpty());
    const double size = dev.engine.items.first().font.pointSizeF();
    QVERIFY2(size >= minExpected && size <= maxExpected, qPrintable(QString::number(size)));
    // Whatever the size, the text fits the rectangle's width.
    QVERIFY(textWidth(&dev, text, size) <= r.width() + 1.0);
    if (fillsWidth)
        QVERIFY(textWidth(&dev, text, size) >= 0.9 * r.width());
}

void tst_DrawText::unfittedKeepsFont()
{
    RecordingDevice dev;
    QPainter p(&dev);
    QFont f("Sans", 23);
    DrawText().drawText(&p, QRectF(0, 0, 10, 5), f, Qt::AlignLeft, 0, "wide label", 10);
    p.end();
    QCOMPARE(dev.engine.items.size(), 1);
    QCOMPARE(dev.engine.items.first().font.pointSizeF(), 23.0);
}

void tst_DrawText::negativeRectDrawsAtNormalisedPlace()
{
    RecordingDevice dev;
    QPainter p(&dev);
    DrawText dt;
    const int flags = Qt::AlignRight | Qt::AlignBottom;
    dt.drawText(&p, QRectF(300, 200, -200, -50), QFont(), flags, 1, "1.5", 10);
    dt.drawText(&p, QRectF(100, 150, 200, 50), QFont(), flags, 1, "1.5", 10);
    p.end();
    QCOMPARE(dev.engine.items.size(), 2);
    QCOMPARE(dev.engine.items[0].pos, dev.engine.items[1].pos);
    QCOMPARE(dev.engine.items[0].font, dev.engine.items[1].font);
}

void tst_DrawText::painterFontIsArgumentAfterwards_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("fitted") << 1;
    QTest::newRow("as given") << 0;
}

void tst_DrawText::painterFontIsArgumentAfterwards()
{
    QFETCH(int, mode);

    QImage img(100, 40, QImage::Format_ARGB32);
    QPainter p(&img);
    p.setFont(QFont("Serif", 31));
    const QFont arg("Sans", 7);
    // The painter's own view of the argument font, for comparison.
    p.setFont(arg);
    const QFont expected = p.font();
    p.setFont(QFont("Serif", 31));
    DrawText().drawText(&p, QRectF(0, 0, 100, 40), arg, Qt::AlignLeft, mode, "x", 0);
    QCOMPARE(p.font(), expected);
}

void tst_DrawText::unusableRectDrawsNothing_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("mode");
    QTest::newRow("zero width, fitted") << QRectF(10, 10, 0, 20) << 1;
    QTest::newRow("far outside") << QRectF(1e8, 10, 100, 20) << 0;
    QTest::newRow("not finite") << QRectF(std::numeric_limits<double>::infinity(), 0, 100, 20) << 1;
}

void tst_DrawText::unusableRectDrawsNothing()
{
    QFETCH(QRectF, rect);
    QFETCH(int, mode);

    RecordingDevice dev;
    QPainter p(&dev);
    const QFont f("Sans", 9);
    p.setFont(f);
    const QFont expected = p.font();
    p.setFont(QFont("Serif", 31));
    DrawText().drawText(&p, rect, f, Qt::AlignLeft, mode, "label", 10);
    QCOMPARE(p.font(), expected);
    p.end();
    QVERIFY(dev.engine.items.isEmpty());
}

void tst_DrawText::labelOnImageStaysInsideRect()
{
    QImage img(300, 60, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    const QRect r(20, 20, 200, 20);
    DrawText().drawText(&p,
                        r,
                        QFont(),
                        Qt::AlignLeft | Qt::AlignVCenter,
                        1,
                        "a rather long point label that must shrink",
                        10);
    p.end();
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                ++(r.adjusted(-1, -1, 1, 1).contains(x, y) ? inside : outside);
    QVERIFY(inside > 0);
    QCOMPARE(outside, 0);
}

QTEST_MAIN(tst_DrawText)
#include "tst_drawtext.moc"
