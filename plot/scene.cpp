#include "scene.h"

#include "chcoord.h"
#include "designdocument.h"
#include "navigation.h"
#include "plotgrid.h"
#include "pointdiscs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

// The drawing surface in pixels, as the surface set it before painting.
QRectF surfaceRect(const ChCoord &cc)
{
    return QRectF(std::min(cc.sx0, cc.sx1),
                  std::min(cc.sy0, cc.sy1),
                  std::fabs(cc.sx1 - cc.sx0),
                  std::fabs(cc.sy1 - cc.sy0));
}

} // namespace

namespace {

struct PlotViewNames
{
    const char *key;
    const char *name;
};
// In PlotView order.
constexpr PlotViewNames kPlotViewNames[]
    = {{"overall", QT_TRANSLATE_NOOP("Body", "Overall")},
       {"crystals", QT_TRANSLATE_NOOP("Body", "Crystals")},
       {"focus", QT_TRANSLATE_NOOP("Body", "Focus Point")},
       {"imaging", QT_TRANSLATE_NOOP("Body", "Imaging Point")}};

} // namespace

QString plotViewKey(PlotView which)
{
    return QString::fromLatin1(kPlotViewNames[int(which)].key);
}

bool plotViewFromKey(const QString &key, PlotView *which)
{
    for (PlotView v : kPlotViews) {
        if (key == QLatin1String(kPlotViewNames[int(v)].key)) {
            *which = v;
            return true;
        }
    }
    return false;
}

QString plotViewName(PlotView which)
{
    return QCoreApplication::translate("Body", kPlotViewNames[int(which)].name);
}

QString plotWindowTitle(PlotView which)
{
    return which == PlotView::Overall ? QString() : plotViewName(which);
}

QSize plotWindowSize(PlotView which)
{
    switch (which) {
    case PlotView::Overall:
        return QSize(900, 600);
    case PlotView::Crystals:
        return QSize(600, 400);
    case PlotView::Focus:
    case PlotView::Imaging:
        break;
    }
    return QSize(400, 400);
}

bool drawSceneBase(QPainter *p, ChCoord *cc, const QRectF &view, const SceneContent &scene)
{
    setWorldFromView(*cc, view);
    if (!mapsToPixels(*cc))
        return false;
    const Box bb(cc->wx0, cc->wy0, cc->wx1, cc->wy1);
    const QRectF window = surfaceRect(*cc);

    drawPlotGrid(p, *cc, scene.gridLabels);
    for (int i = 0; i < scene.shapes.size(); ++i)
        drawShape(p, cc, bb, *scene.shapes[i], i == scene.selectedShape, true);
    // Cross points in the last crystal's reflected-ray colour, then the focus and image
    // histories with their labels and dashed tracks.
    drawPointsInView(p, cc, bb, scene.crossPoints, window);
    drawPointsInView(p, cc, bb, scene.avrCps, window);
    drawPointsInView(p, cc, bb, scene.avrIps, window);
    return true;
}

void drawSceneTop(QPainter *p, ChCoord *cc, const SceneContent &scene)
{
    const Box bb(cc->wx0, cc->wy0, cc->wx1, cc->wy1);
    const QRectF window = surfaceRect(*cc);
    p->setPen(solidPen(QColor(192, 192, 0), 1));
    drawShape(p, cc, bb, scene.measLine, false, true);

    // The middle of the crystal array.
    p->setPen(solidPen(QColor(255, 0, 200), 1));
    const Point m = scene.centres.center();
    const double sx = cc->toScreenX(m.x);
    const double sy = cc->toScreenY(m.y);
    if (pointMarkMayShow(sx, sy, false, window))
        fillPointDisc(p, sx, sy, false);
}

void drawScene(QPainter *p, ChCoord *cc, const QRectF &view, const SceneContent &scene)
{
    if (drawSceneBase(p, cc, view, scene))
        drawSceneTop(p, cc, scene);
}

void styleHistories(Points &avrCps, Points &avrIps)
{
    const QVector<double> dashDot{4, 3, 2, 3};
    for (Points *h : {&avrCps, &avrIps}) {
        h->connect = true;
        h->extend = false;
        h->ownPen = true;
        h->showLabels = true;
    }
    avrCps.pen = Pen(QColor(200, 0, 200), 1, dashDot);
    avrIps.pen = Pen(QColor(0, 160, 200), 1, dashDot);
}

Line startingMeasLine()
{
    return Line(Point(0.0, 0.0), Dir(0.0), 1.0);
}

DesignScene::DesignScene(const DesignDocument &doc) : measLine(startingMeasLine())
{
    const Design &d = doc.design();
    const int n = d.crystals.size();
    crystals.reserve(n);
    for (const DesignCrystal &c : d.crystals)
        crystals.append(CrystalDrawing(c));
    shapes.reserve(10 * n);
    for (int i = 0; i < n; ++i) {
        colourCrystal(crystals[i], i, n);
        appendShapes(crystals[i], shapes);
    }
    static_cast<PointList &>(crossPoints) = doc.crossings();
    static_cast<PointList &>(centres) = doc.centres();
    static_cast<PointList &>(avrCps) = doc.focusHistory();
    static_cast<PointList &>(avrIps) = doc.imageHistory();
    styleHistories(avrCps, avrIps);
}

SceneContent DesignScene::content() const
{
    return {shapes, -1, crossPoints, centres, avrCps, avrIps, measLine, gridLabels};
}

QRectF DesignScene::defaultView(PlotView which) const
{
    // The Focus Point and Imaging Point windows start 20 units wide.
    const QRectF start(-10, -10, 20, 20);
    switch (which) {
    case PlotView::Overall: {
        CrystalList list;
        for (const CrystalDrawing &c : crystals)
            list.append(&c);
        return designView(list, crossPoints);
    }
    case PlotView::Crystals: {
        CrystalList list;
        for (const CrystalDrawing &c : crystals)
            list.append(&c);
        return crystalsExtent(list);
    }
    case PlotView::Focus:
        return followingView(start, avrCps);
    case PlotView::Imaging:
        break;
    }
    return followingView(start, avrIps);
}

QRectF designView(const CrystalList &crystals, const PointList &crossings)
{
    return overallExtent(crystals, crossings.center());
}

QRectF followingView(const QRectF &view, const PointList &history)
{
    return centredOn(view, newestOr0(history));
}

PlotPicture defaultViewPicture(const DesignScene &scene, PlotView which)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return {[&scene, which](QPainter &p, QSize size) {
                p.fillRect(QRect(QPoint(0, 0), size), QColor(255, 255, 255));
                ChCoord cc;
                cc.setScreen(
                    0, static_cast<double>(size.height()), static_cast<double>(size.width()), 0);
                drawScene(&p, &cc, scene.defaultView(which), scene.content());
            },
            plotWindowTitle(which),
            screen ? qRound(screen->logicalDotsPerInchY()) : 96};
}
