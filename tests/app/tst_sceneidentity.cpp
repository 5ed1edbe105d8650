// The scene of every plot window drawn both ways: with the pixel fast paths (lines, discs and grid
// lines written straight into the image) and with the plain QPainter calls they stand in for. The
// two must be the same byte for byte, for designs of every type and size, rotated, zoomed, panned,
// at the edge of what can be placed, with a highlight and a measurement.
#include "body.h"
#include "rastertarget.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>

namespace {

bool sameBytes(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.bytesPerLine())) != 0)
            return false;
    return true;
}

// Pixels in a colour: not white, not the greys of the grid and its labels.
int coloured(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            n += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
        }
    return n;
}

} // namespace

class tst_SceneIdentity : public QObject
{
    Q_OBJECT

    QScopedPointer<Body> body;
    bool took = false; // the last paint with the fast paths on could write into its image

    // The window as it shows itself (offset in its dialog, clipped to its surface), or rendered
    // into an image through a clip of two rectangles.
    QImage shot(DispABase &w, bool fast, bool twoRects)
    {
        setPixelFastPaths(fast);
        QImage img;
        if (twoRects) {
            img = QImage(w.size(), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::darkGray);
            const QRegion clip = QRegion(30, 20, w.width() / 2, w.height() / 3)
                                 + QRegion(w.width() / 3, w.height() / 2, w.width() / 2, 90);
            w.render(&img, QPoint(), clip);
        } else {
            img = w.grab().toImage();
        }
        setPixelFastPaths(true);
        return img;
    }

    // Both ways the same; the number of coloured pixels.
    int compare(DispABase &w, const QString &what, bool twoRects = false)
    {
        took = false;
        const QImage fast = shot(w, true, twoRects);
        if (!took)
            QTest::qFail(
                qPrintable(what + ": the fast paths did not take the painter"), __FILE__, __LINE__);
        const QImage plain = shot(w, false, twoRects);
        if (!sameBytes(fast, plain))
            QTest::qFail(qPrintable(what + ": differs"), __FILE__, __LINE__);
        return coloured(plain);
    }

    void run(const QString &steps)
    {
        for (const QString &s : steps.split("; ", Qt::SkipEmptyParts)) {
            if (!s.contains('='))
                child<QAbstractButton>(body.data(), qPrintable(s))->click();
            else
                type(child<QLineEdit>(body.data(), qPrintable(s.section('=', 0, 0))),
                     s.section('=', 1));
        }
    }

private slots:
    void init()
    {
        body.reset(new Body);
        for (DispABase *w :
             {&body->overallView, &body->crystalsView, &body->focusView, &body->imagingView})
            connect(w, &DispABase::drawImage, this, [this](QPainter *p) {
                took = pixelFastPaths() && RasterTarget(p).isValid();
            });
    }
    void cleanup()
    {
        body.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void designs_data();
    void designs();
};

void tst_SceneIdentity::designs_data()
{
    QTest::addColumn<QString>("steps");
    // Views of the overall window, each from its default view: "windows" the four windows as
    // they are, "zoom" 8 times in, "pan" half a window, "edge" the design a pixel short of 1e9
    // pixels off to the left (its rays still cross), "huge" a view a trillion times the design,
    // "tiny" a millionth of it about a crystal, "ray" and "surface" a highlight, "measure" a
    // measurement across the window, "far" one from -1e9 to 1e9 pixels, "rects" drawn through a
    // clip of two rectangles.
    QTest::addColumn<QString>("views");
    for (int t = 1; t <= 7; ++t)
        dataRow(qPrintable(QString("type %1, 7 crystals").arg(t)),
                QString("Type%1; Num=7").arg(t),
                QString("windows zoom pan"));
    dataRow("1 crystal", QString("Num=1"), QString("windows ray measure"));
    dataRow("2 crystals", QString("Num=2"), QString("windows zoom"));
    dataRow("10 crystals, extreme views",
            QString(),
            QString("edge huge tiny ray surface measure far rects"));
    dataRow("100 crystals", QString("Num=100"), QString("windows ray surface measure rects"));
    dataRow("1000 crystals", QString("Num=1000"), QString("overall"));
    dataRow("type 3 turned 90 degrees",
            QString("RotateAllDeg=90; RotateAll"),
            QString("windows zoom ray"));
    dataRow("type 5 turned 33.3 degrees",
            QString("Type5; Num=12; RotateAllDeg=33.3; RotateAll"),
            QString("windows zoom surface"));
    dataRow("type 7 turned -140 degrees, 30 crystals",
            QString("Type7; Num=30; RotateAllDeg=-140; RotateAll"),
            QString("windows pan"));
}

void tst_SceneIdentity::designs()
{
    QFETCH(QString, steps);
    QFETCH(QString, views);
    run(steps);
    DispABase &w = body->overallView;
    const QRectF start = w.realC0;
    int seen = 0;
    for (const QString &v : views.split(' ')) {
        w.realC = start;
        body->selectedShape = -1;
        body->measLine = Line(Point(0, 0), Dir(0.0), 1.0);
        const int middle = body->crystals.size() / 2;
        const Point c = body->centres.points.value(middle);
        const double perPixel = start.width() / w.disp.width();
        if (v == "windows") {
            for (DispABase *d :
                 {&body->overallView, &body->crystalsView, &body->focusView, &body->imagingView})
                seen += compare(*d, v + " " + d->windowTitle());
            continue;
        }
        if (v == "zoom")
            w.realC = QRectF(start.center() - QPointF(start.width(), start.height()) / 16,
                             start.size() / 8);
        else if (v == "pan")
            w.realC = start.translated(start.width() / 2, start.height() / 3);
        else if (v == "edge")
            w.realC = start.translated(c.x - start.left() + (1e9 - 1000) * perPixel, 0);
        else if (v == "huge")
            w.realC = QRectF(c.x - start.width() * 5e11,
                             c.y - start.height() * 5e11,
                             start.width() * 1e12,
                             start.height() * 1e12);
        else if (v == "tiny")
            w.realC = QRectF(c.x - start.width() * 5e-7,
                             c.y - start.height() * 5e-7,
                             start.width() * 1e-6,
                             start.height() * 1e-6);
        else if (v == "ray")
            body->selectedShape = 10 * middle + 8;
        else if (v == "surface")
            body->selectedShape = 10 * middle + 5;
        else if (v == "measure")
            body->measLine = Line(Point(start.left() + start.width() * 0.1, start.top()),
                                  Point(start.right(), start.bottom() - start.height() * 0.3));
        else if (v == "far")
            body->measLine = Line(Point(start.left() - (1e9 - 10) * perPixel, start.top()),
                                  Point(start.left() + (1e9 - 10) * perPixel, start.bottom()));
        seen += compare(w, v, v == "rects");
    }
    QVERIFY(seen > 0);
}

QTEST_MAIN(tst_SceneIdentity)
#include "tst_sceneidentity.moc"
