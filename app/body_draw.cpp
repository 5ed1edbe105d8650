// The plot windows' signals: each painting and mouse or wheel report goes to the plot control of
// the window that sent it.
#include "body.h"
#include "plotcontrol.h"
#include "plotgrid.h"

void Body::draw(QPainter *p)
{
    if (auto *w = qobject_cast<DispABase *>(sender()); w && p)
        plots->draw(w, p);
}

void Body::drawScene(QPainter *p, const DispABase &w, ChCoord *cc)
{
    ::drawScene(p, cc, w.realC, sceneContent());
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
    if (auto *w = qobject_cast<DispABase *>(sender()))
        plots->mouseMoved(w);
}

void Body::wheelMoved(int step)
{
    if (auto *w = qobject_cast<DispABase *>(sender()))
        plots->wheelMoved(w, step);
}
