#include "plotgrid.h"

#include "chcoord.h"
#include "drawtext.h"
#include "gridline.h"
#include "navigation.h"
#include "ticks.h"

#include <QPainter>

QPen solidPen(const QColor &colour, int width)
{
    QPen pen;
    pen.setColor(colour);
    pen.setWidth(width);
    return pen;
}

void drawPlotGrid(QPainter *p, const ChCoord &grid, const DrawText &labels)
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    if (!screenPixel(grid.sx0, left) || !screenPixel(grid.sx1, right) || !screenPixel(grid.sy1, top)
        || !screenPixel(grid.sy0, bottom))
        return;
    QPen major = solidPen(QColor(239, 239, 239), 2);
    QPen minor = solidPen(QColor(239, 239, 239), 1);
    QPen label = minor;
    label.setColor(QColor(200, 200, 200));

    // Vertical lines, labelled along the top edge just right of each major line.
    const TickStep tx = tickStep(grid.wx0, grid.wx1);
    const QVector<double> majorX = majorTicks(tx);
    p->setPen(major);
    for (double v : majorX) {
        int x = 0;
        if (screenPixel(grid.toScreenX(v), x))
            drawGridLine(p, x, bottom, x, top);
    }
    p->setPen(minor);
    for (double v : minorTicks(tx)) {
        int x = 0;
        if (screenPixel(grid.toScreenX(v), x))
            drawGridLine(p, x, bottom, x, top);
    }
    p->setPen(label);
    for (double v : majorX) {
        int x = 0;
        if (screenPixel(grid.toScreenX(v), x))
            labels.drawText(p,
                            QRectF(x + 5, top - 2, 100, 20),
                            QFont(),
                            Qt::AlignLeft | Qt::AlignVCenter,
                            0,
                            QString::number(v, 'g', 6),
                            10);
    }

    // Horizontal lines, labelled along the left edge just below each major line.
    const TickStep ty = tickStep(grid.wy0, grid.wy1);
    const QVector<double> majorY = majorTicks(ty);
    p->setPen(major);
    for (double v : majorY) {
        int y = 0;
        if (screenPixel(grid.toScreenY(v), y))
            drawGridLine(p, left, y, right, y);
    }
    p->setPen(minor);
    for (double v : minorTicks(ty)) {
        int y = 0;
        if (screenPixel(grid.toScreenY(v), y))
            drawGridLine(p, left, y, right, y);
    }
    p->setPen(label);
    for (double v : majorY) {
        int y = 0;
        if (screenPixel(grid.toScreenY(v), y))
            labels.drawText(p,
                            QRectF(left + 5, y, 100, 20),
                            QFont(),
                            Qt::AlignLeft | Qt::AlignTop,
                            0,
                            QString::number(v, 'g', 6),
                            10);
    }
}
