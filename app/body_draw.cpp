// Scene rendering of the plot windows, the grid with its labels, the read-outs, and the mouse
// navigation: hover highlight, left-drag pan, right-drag measurement and wheel zoom.

#include "body.h"
#include "gridline.h"
#include "navigation.h"
#include "plotgrid.h"
#include "pointdiscs.h"
#include "ticks.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

void setWorldFromView(ChCoord &cc, const QRectF &view)
{
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
}

// The drawing surface in pixels, as the surface set it before painting.
QRectF surfaceRect(const ChCoord &cc)
{
    return QRectF(std::min(cc.sx0, cc.sx1),
                  std::min(cc.sy0, cc.sy1),
                  std::fabs(cc.sx1 - cc.sx0),
                  std::fabs(cc.sy1 - cc.sy0));
}

// A view that maps world to finite, distinct pixels. A zero-sized, reversed-to-nothing or
// non-finite view, or an empty surface, shows only the background.
bool mapsToPixels(const ChCoord &cc)
{
    const double kx = (cc.sx1 - cc.sx0) / (cc.wx1 - cc.wx0);
    const double ky = (cc.sy1 - cc.sy0) / (cc.wy1 - cc.wy0);
    return std::isfinite(kx) && std::isfinite(ky) && kx != 0 && ky != 0 && std::isfinite(cc.wx0)
           && std::isfinite(cc.wx1) && std::isfinite(cc.wy0) && std::isfinite(cc.wy1);
}

} // namespace

void Body::draw(QPainter *p)
{
    DispABase *w = qobject_cast<DispABase *>(sender());
    if (!w || !p)
        return;
    ChCoord *cc = &w->disp.cc;
    drawScene(p, *w, cc);

    // The read-outs show the window painted last.
    const QPoint cur = w->disp.mc.curPos;
    MPos->setText(positionReadout(cc->toWorldX(cur.x()), cc->toWorldY(cur.y())));
    const Point focus = avrCps.points.isEmpty() ? Point(0, 0) : avrCps.points.last();
    AvrCps->setText(positionReadout(focus.x, focus.y));
    const Point image = avrIps.points.isEmpty() ? Point(0, 0) : avrIps.points.last();
    AvrIps->setText(positionReadout(image.x, image.y));
    MeasLength->setText(measureReadout(measLine));
}

void Body::drawScene(QPainter *p, const DispABase &w, ChCoord *cc)
{
    setWorldFromView(*cc, w.realC);
    const Box bb(cc->wx0, cc->wy0, cc->wx1, cc->wy1);
    const QRectF window = surfaceRect(*cc);

    if (mapsToPixels(*cc)) {
        drawGrid(p, cc);
        drawShapes(p, cc, bb, shapes, true);
        // Cross points in the last crystal's reflected-ray colour, then the focus and image
        // histories with their labels and dashed tracks.
        drawPointsInView(p, cc, bb, crossPoints, window);
        drawPointsInView(p, cc, bb, avrCps, window);
        drawPointsInView(p, cc, bb, avrIps, window);

        p->setPen(solidPen(QColor(192, 192, 0), 1));
        drawShape(p, cc, bb, measLine, false, true);

        // The middle of the crystal array.
        p->setPen(solidPen(QColor(255, 0, 200), 1));
        const Point m = centres.center();
        const double sx = cc->toScreenX(m.x);
        const double sy = cc->toScreenY(m.y);
        if (pointMarkMayShow(sx, sy, false, window))
            fillPointDisc(p, sx, sy, false);
    }
}

void Body::drawShapes(QPainter *p, ChCoord *cc, Box bb, QVector<Shape *> &shapes, bool drawExt)
{
    for (int i = 0; i < shapes.size(); ++i)
        if (shapes[i])
            drawShape(p, cc, bb, *shapes[i], i == selectedShape, drawExt);
}

void Body::drawShapes(QPainter *p, ChCoord *cc, Box bb, QVector<Shape *> &shapes)
{
    drawShapes(p, cc, bb, shapes, true);
}

void Body::drawGrid(QPainter *p, ChCoord *cc)
{
    drawPlotGrid(p, *cc, gridLabels);
}

void Body::mouseMoved()
{
    DispABase *w = qobject_cast<DispABase *>(sender());
    if (!w)
        return;
    QRectF view = w->realC;
    ChCoord &cc = w->disp.cc;
    setWorldFromView(cc, view);
    const MouseC &mc = w->disp.mc;

    if (!mc.pressed) {
        // Hover: a move with a modifier held keeps the highlight.
        if (mc.moveModifiers == 0) {
            const Point q(cc.toWorldX(mc.curPos.x()), cc.toWorldY(mc.curPos.y()));
            QVector<double> distances;
            distances.reserve(shapes.size());
            for (const Shape *s : qAsConst(shapes))
                distances.append(s ? s->distance(q) : -1.0);
            selectedShape = pickShape(distances, view.width(), view.height());
            showShapeToolTip(w);
        }
    } else if ((mc.pressModifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
               == 0) {
        if (mc.pressButton == Qt::LeftButton) {
            view = panView(view, cc, mc.curPos, mc.prevPos);
        } else if (mc.pressButton == Qt::RightButton) {
            const Point a(cc.toWorldX(mc.pressPos.x()), cc.toWorldY(mc.pressPos.y()));
            const Point b(cc.toWorldX(mc.curPos.x()), cc.toWorldY(mc.curPos.y()));
            measureLine(a, b, measLine);
        }
    }

    w->realC = view;
    w->update();
}

void Body::wheelMoved(int step)
{
    DispABase *w = qobject_cast<DispABase *>(sender());
    if (!w)
        return;
    ChCoord &cc = w->disp.cc;
    setWorldFromView(cc, w->realC);
    w->realC = zoomView(w->realC, cc, w->disp.mc.curPos, step);
    w->update();
}
