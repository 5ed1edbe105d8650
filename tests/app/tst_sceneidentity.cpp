// The scene of every plot window drawn both ways: with the pixel fast paths (lines, discs and grid
// lines written straight into the image) and with the plain QPainter calls they stand in for. The
// two must be the same byte for byte, for designs of every type and size, rotated, zoomed, panned,
// at the edge of what can be placed, with a highlight and a measurement.
#include "body.h"
#include "plotcontrol.h"
#include "rastertarget.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>

class tst_SceneIdentity : public QObject
{
    Q_OBJECT

    QScopedPointer<Body> body;
    bool took = false; // the last paint with the fast paths on could write into its image
    bool coloured = false;

    QVector<DispABase *> windows; // the four plot windows

    // The window as it shows itself (offset in its dialog, clipped to its surface), or rendered
    // into an image through a clip of two rectangles.
    static QImage shot(DispABase &w, bool twoRects)
    {
        if (!twoRects)
            return w.grab().toImage();
        QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::darkGray);
        w.render(&img,
                 QPoint(),
                 QRegion(30, 20, w.width() / 2, w.height() / 3)
                     + QRegion(w.width() / 3, w.height() / 2, w.width() / 2, 90));
        return img;
    }

    // "same" when drawn both ways the same byte for byte (the unused byte of RGB32 too), the fast
    // paths taking the painter; notes whether anything was in colour (not white, not the greys of
    // the grid and its labels).
    QString compare(DispABase &w, bool twoRects = false)
    {
        took = false;
        const QImage fast = shot(w, twoRects);
        if (!took)
            return "not taken";
        setPixelFastPaths(false);
        const QImage plain = shot(w, twoRects);
        setPixelFastPaths(true);
        const QImage grey = plain.convertToFormat(QImage::Format_Grayscale8);
        coloured = coloured || grey.convertToFormat(plain.format()) != plain;
        const bool same
            = fast.sizeInBytes() == plain.sizeInBytes()
              && std::memcmp(fast.constBits(), plain.constBits(), plain.sizeInBytes()) == 0;
        return same ? "same" : "differs";
    }

private slots:
    void init()
    {
        body.reset(new Body);
        coloured = false;
        windows = {&body->overallView, &body->crystalsView, &body->focusView, &body->imagingView};
        for (DispABase *w : windows)
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
    void keptPicture_data();
    void keptPicture();
};

void tst_SceneIdentity::designs_data()
{
    // Steps: buttons clicked and fields typed into, from the default design of 10 crystals.
    QTest::addColumn<QString>("steps");
    // Views of the overall window, each from its default view: "windows" the four windows as
    // they are, "zoom" 8 times in, "pan" half a window, "edge" the design a pixel short of 1e9
    // pixels off to the left (its rays still cross), "huge" a view a trillion times the design,
    // "tiny" a millionth of it about a crystal, "ray" and "surface" a highlight, "measure" a
    // measurement across the window, "far" one from -1e9 to 1e9 pixels, "rects" drawn through a
    // clip of two rectangles.
    QTest::addColumn<QString>("views");
    const auto row = [](const char *name, const char *steps, const char *views) {
        QTest::newRow(name) << QString(steps) << QString(views);
    };
    for (int t = 1; t <= 7; ++t)
        row(qPrintable(QString("type %1, 7 crystals").arg(t)),
            qPrintable(QString("Type%1; Num=7").arg(t)),
            "windows zoom pan");
    row("1 crystal", "Num=1", "windows ray measure");
    row("2 crystals", "Num=2", "windows zoom");
    row("10 crystals, extreme views", "", "edge huge tiny ray surface measure far rects");
    row("100 crystals", "Num=100", "windows ray surface measure rects");
    row("1000 crystals", "Num=1000", "overall");
    row("type 3 turned 90 degrees", "RotateAllDeg=90; RotateAll", "windows zoom ray");
    row("type 5, 12 crystals, turned 33.3 degrees",
        "Type5; Num=12; RotateAllDeg=33.3; RotateAll",
        "windows zoom surface");
    row("type 7, 30 crystals, turned -140 degrees",
        "Type7; Num=30; RotateAllDeg=-140; RotateAll",
        "windows pan");
}

void tst_SceneIdentity::designs()
{
    QFETCH(QString, steps);
    QFETCH(QString, views);
    for (const QString &s : steps.split("; ", Qt::SkipEmptyParts)) {
        if (s.contains('='))
            type(child<QLineEdit>(body.data(), qPrintable(s.section('=', 0, 0))),
                 s.section('=', 1));
        else
            child<QAbstractButton>(body.data(), qPrintable(s))->click();
    }
    DispABase &w = body->overallView;
    const QRectF start = w.realC0;
    const int middle = body->crystals.size() / 2;
    const Point c = body->centres.points.value(middle);
    const double perPixel = start.width() / w.disp.width();
    // The default view scaled by f about `at`.
    const auto about = [&](QPointF at, double f) {
        return QRectF(at - QPointF(start.width(), start.height()) * f / 2, start.size() * f);
    };
    for (const QString &v : views.split(' ')) {
        w.realC = start;
        body->selectedShape = v == "ray" ? 10 * middle + 8 : v == "surface" ? 10 * middle + 5 : -1;
        body->measLine = Line(Point(0, 0), Dir(0.0), 1.0);
        if (v == "windows") {
            for (DispABase *d : windows)
                QCOMPARE(d->windowTitle() + ": " + compare(*d), d->windowTitle() + ": same");
            continue;
        }
        if (v == "zoom")
            w.realC = about(start.center(), 1.0 / 8);
        if (v == "pan")
            w.realC = start.translated(start.width() / 2, start.height() / 3);
        if (v == "edge")
            w.realC = start.translated(c.x - start.left() + (1e9 - 1000) * perPixel, 0);
        if (v == "huge" || v == "tiny")
            w.realC = about(QPointF(c.x, c.y), v == "huge" ? 1e12 : 1e-6);
        if (v == "measure")
            body->measLine = Line(Point(start.left() + start.width() * 0.1, start.top()),
                                  Point(start.right(), start.bottom() - start.height() * 0.3));
        if (v == "far")
            body->measLine = Line(Point(start.left() - (1e9 - 10) * perPixel, start.top()),
                                  Point(start.left() + (1e9 - 10) * perPixel, start.bottom()));
        QCOMPARE(v + ": " + compare(w, v == "rects"), v + ": same");
    }
    QVERIFY(coloured);
}

void tst_SceneIdentity::keptPicture_data()
{
    QTest::addColumn<int>("crystals");
    QTest::addColumn<QString>("change"); // what moves between two paints of the overall window
    const char *const changes[] = {"cursor", "measurement", "highlight", "zoom", "design"};
    for (int n : {10, 100}) {
        for (const char *c : changes)
            QTest::newRow(qPrintable(QString("%1 crystals, %2").arg(n).arg(c))) << n << QString(c);
    }
}

// A window whose cursor or measurement alone moves shows a kept picture of its scene with the
// measurement drawn over it: byte for byte what drawing the whole scene in place gives. A
// highlight or a new view draws the picture anew; a new design draws every shown window's picture
// at once, on two threads, each as it would be drawn alone.
void tst_SceneIdentity::keptPicture()
{
    QFETCH(int, crystals);
    QFETCH(QString, change);
    type(child<QLineEdit>(body.data(), "Num"), QString::number(crystals));
    DispABase &w = body->overallView;
    const auto inPlace = [&](DispABase &v) {
        QImage img(v.disp.size(), QImage::Format_ARGB32_Premultiplied);
        img.setDotsPerMeterX(qRound(v.disp.logicalDpiX() / 0.0254));
        img.setDotsPerMeterY(qRound(v.disp.logicalDpiY() / 0.0254));
        img.fill(v.disp.bgColor);
        QPainter p(&img);
        ChCoord cc;
        cc.setScreen(0, v.disp.height(), v.disp.width(), 0);
        body->drawScene(&p, v, &cc);
        return img;
    };
    const auto shown = [&](DispABase &v) {
        return v.disp.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    DispABase *const windows[]
        = {&body->overallView, &body->crystalsView, &body->focusView, &body->imagingView};
    for (DispABase *v : windows)
        QCOMPARE(shown(*v), inPlace(*v));
    const int drawn = body->plotControl().picturesDrawn();
    const QPoint middle(w.disp.width() / 2, w.disp.height() / 2);
    auto move = [&](QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(QEvent::MouseMove, at, Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(&w.disp, &e);
    };
    if (change == "cursor") {
        // Far from every beam: nothing becomes highlighted.
        w.realC = w.realC0.translated(0, 10 * w.realC0.height());
        w.disp.grab();
        move(middle, Qt::NoButton);
        move(middle + QPoint(7, 3), Qt::NoButton);
        QCOMPARE(body->selectedShape, -1);
    } else if (change == "measurement") {
        QMouseEvent press(QEvent::MouseButtonPress, middle, Qt::RightButton, Qt::RightButton, {});
        QApplication::sendEvent(&w.disp, &press);
        move(middle + QPoint(80, -50), Qt::RightButton);
    } else if (change == "design") {
        // A new scene: the other windows' pictures are drawn with this one's, on two threads.
        type(child<QLineEdit>(body.data(), "StartE"), "9000");
    } else if (change == "highlight") {
        body->selectedShape = 10 * (crystals / 2) + 8;
    } else {
        w.realC = w.realC0.adjusted(0, 0, -w.realC0.width() / 3, -w.realC0.height() / 3);
    }
    const int before = body->plotControl().picturesDrawn();
    QCOMPARE(shown(w), inPlace(w));
    const bool kept = body->plotControl().picturesDrawn() == before;
    QCOMPARE(kept, change == "cursor" || change == "measurement");
    QVERIFY(body->plotControl().picturesDrawn() >= drawn);
    if (change == "design") {
        const int together = body->plotControl().picturesDrawn();
        for (DispABase *v : windows)
            QCOMPARE(shown(*v), inPlace(*v));
        QCOMPARE(body->plotControl().picturesDrawn(), together);
    }
}

LUMIVARD_TEST_MAIN(tst_SceneIdentity)
#include "tst_sceneidentity.moc"
