#pragma once

#include "readouts.h"
#include "shapes.h"

#include <QPoint>
#include <QRectF>
#include <QString>
#include <QVector>

class ChCoord;
class QPainter;

// Navigation and read-out arithmetic of a plot window. Views are world rectangles (x, y, width,
// height) with x, y the lower left corner; cc is the window's mapping with its world rectangle
// set from the view. An axis whose result would not be finite keeps its old values, so a window
// never ends up where it cannot be drawn or moved back.

// Left drag: the world point under prevPos moves to curPos.
QRectF panView(const QRectF &view, const ChCoord &cc, QPoint curPos, QPoint prevPos);

// Wheel: scales the view by 0.9^step about the world point under curPos (step > 0 zooms in).
// An axis is zoomed only while the cursor lies strictly inside the inner 90 % of its range, and
// only as far as the view stays wider than kMinViewWidth times its coordinates (and
// kMinViewExtent) and within +-kMaxViewExtent. Deeper, the coordinates could no longer place
// lines within a fraction of a pixel (4096 representable values across the window) and a view
// squeezed to nothing could not be zoomed back out.
constexpr double kMinViewWidth = 4096 * 2.220446049250313e-16;
constexpr double kMinViewExtent = 1e-280;
constexpr double kMaxViewExtent = 1e300;
QRectF zoomView(const QRectF &view, const ChCoord &cc, QPoint curPos, int step);

// Right drag: the measuring segment from a to b (direction (1, 0) and length 0 when a = b).
// False, leaving out alone, when a, b or the length is not finite.
bool measureLine(const Point &a, const Point &b, Line &out);

// Hover: the index of the nearest shape by distance in list order (negative distances are pens,
// skipped; the first of equal distances wins), if it is nearer than 1.0 world unit and than 5 %
// of the visible diagonal; -1 otherwise.
int pickShape(const QVector<double> &distances, double viewWidth, double viewHeight);

// Culling of what a paint cannot show; both answer conservatively (true when in doubt), so
// skipping on false leaves every pixel as drawing would. window is the surface in pixels.
// A point's disc (5 pixels about sx, sy) and, with a label, its label box (sx, sy, 200, 20).
bool pointMarkMayShow(double sx, double sy, bool withLabel, const QRectF &window);
// A segment between two screen positions with its end discs, drawn with a pen of penWidth.
bool segmentMayShow(
    double sx0, double sy0, double sx1, double sy1, double penWidth, const QRectF &window);

// A point list as Points::draw draws it (not selected), leaving out the points whose disc and
// label cannot reach the window and the segments that pass it by: the pixels are the same, and
// the cost no longer grows with entries out of sight.
void drawPointsInView(
    QPainter *p, ChCoord *cc, const Box &bb, const Points &list, const QRectF &window);

// Integer pixel of a screen position, truncated toward zero; false when it is not finite or
// beyond +-1e9 pixels (nothing there is on any screen, and int must not overflow).
bool screenPixel(double s, int &out);
