// Scene rendering of the plot windows, the grid with its labels, the read-outs, and the mouse
// navigation: hover highlight, left-drag pan, right-drag measurement and wheel zoom.

#include "body.h"
#include "gridline.h"
#include "navigation.h"
#include "plotgrid.h"
#include "pointdiscs.h"
#include "scene.h"
#include "ticks.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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
    ::drawScene(
        p,
        cc,
        w.realC,
        {shapes, selectedShape, crossPoints, centres, avrCps, avrIps, measLine, gridLabels});
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
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
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
    const QRectF &view = w->realC;
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
    w->realC = zoomView(w->realC, cc, w->disp.mc.curPos, step);
    w->update();
}
