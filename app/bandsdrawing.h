#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QVector>

class ChCoord;
class DispA;
class QPainter;

// Drawing shared by the Bands window's plots (the bands, the traced energies, the spot): world
// rectangles clipped before they reach the painter, axis titles, a legend and the note that says
// why a plot is empty. Views are world rectangles (x, y the lower left corner) as in the plot
// windows; `window` is the surface in pixels.

// The world rectangle x0...x1, y0...y1 filled (or outlined one pixel wide), at least one pixel
// wide and high so that a band narrower than a pixel still shows; clipped to the window first, so
// that far-off coordinates never reach the painter.
void fillWorldRect(QPainter *p,
                   const ChCoord &cc,
                   double x0,
                   double x1,
                   double y0,
                   double y1,
                   const QColor &colour,
                   const QRectF &window);
void outlineWorldRect(QPainter *p,
                      const ChCoord &cc,
                      double x0,
                      double x1,
                      double y0,
                      double y1,
                      const QColor &colour,
                      const QRectF &window);

// A step line through the bins (bin k covering [from + k step, from + (k + 1) step] at height
// values[k]), clipped to the window.
void drawSteps(QPainter *p,
               const ChCoord &cc,
               double from,
               double step,
               const QVector<double> &values,
               const QColor &colour,
               const QRectF &window);

// The titles of the axes: x centred along the bottom edge, y turned up along the left edge.
void drawAxisTitles(QPainter *p, const QRectF &window, const QString &x, const QString &y);

// One line of a legend: a swatch of the kind in the colour, then the text.
struct LegendEntry
{
    enum Kind { Fill, Outline, Tick, Line };
    Kind kind = Fill;
    QColor colour;
    QString text;
};
// The legend in a white box in the top right corner of the window.
void drawLegend(QPainter *p, const QRectF &window, const QVector<LegendEntry> &entries);

// Why a plot shows nothing, centred in the window and wrapped.
void drawEmptyNote(QPainter *p, const QRectF &window, const QString &text);

// A colour halfway to white: the second band of a crystal beside its own colour.
QColor paler(const QColor &c);
