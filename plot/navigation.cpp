#include "navigation.h"

#include "chcoord.h"
#include "pointdiscs.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool withinExtent(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxViewExtent;
}

// Scales lo ... hi about c by f. Refused (false) when a bound would leave the drawable range, or
// when zooming in would shrink the range below what its coordinates can still resolve.
bool scaleAxis(double &lo, double &hi, double c, double f)
{
    const double nlo = (lo - c) * f + c;
    const double nhi = (hi - c) * f + c;
    if (!withinExtent(nlo) || !withinExtent(nhi))
        return false;
    const double width = nhi - nlo;
    const double floor
        = std::max(kMinViewWidth * std::max(std::fabs(nlo), std::fabs(nhi)), kMinViewExtent);
    if (!(width >= floor) && !(width > hi - lo))
        return false;
    lo = nlo;
    hi = nhi;
    return true;
}

// Glyphs of a fitted label may reach a little past its box; discs and pens past their centre.
constexpr double kLabelSlack = 32.0;
constexpr double kPixelLimit = 1e9;

} // namespace

QRectF panView(const QRectF &view, const ChCoord &cc, QPoint curPos, QPoint prevPos)
{
    double x = view.x();
    double y = view.y();
    const double nx = x - cc.toWorldX(curPos.x()) + cc.toWorldX(prevPos.x());
    const double ny = y - cc.toWorldY(curPos.y()) + cc.toWorldY(prevPos.y());
    if (withinExtent(nx) && withinExtent(nx + view.width()))
        x = nx;
    if (withinExtent(ny) && withinExtent(ny + view.height()))
        y = ny;
    return QRectF(x, y, view.width(), view.height());
}

QRectF zoomView(const QRectF &view, const ChCoord &cc, QPoint curPos, int step)
{
    const double w = view.width();
    const double h = view.height();
    double x0 = view.x();
    double y0 = view.y();
    double x1 = x0 + w;
    double y1 = y0 + h;
    const double f = std::pow(0.9, step);
    const double cx = cc.toWorldX(curPos.x());
    const double cy = cc.toWorldY(curPos.y());

    // Only while the cursor is in the inner 90 % of an axis: near a border only the other
    // axis zooms. An axis left alone keeps its exact origin and extent.
    double x = view.x();
    double y = view.y();
    double width = w;
    double height = h;
    if (x0 + 0.05 * w < cx && cx < x1 - 0.05 * w && scaleAxis(x0, x1, cx, f)) {
        x = x0;
        width = x1 - x0;
    }
    if (y0 + 0.05 * h < cy && cy < y1 - 0.05 * h && scaleAxis(y0, y1, cy, f)) {
        y = y0;
        height = y1 - y0;
    }
    return QRectF(x, y, width, height);
}

bool measureLine(const Point &a, const Point &b, Line &out)
{
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return false;
    const Line l(Point(a.x, a.y), Point(b.x, b.y));
    if (!std::isfinite(l.length))
        return false;
    out = l;
    return true;
}

int pickShape(const QVector<double> &distances, double viewWidth, double viewHeight)
{
    int candidate = -1;
    double nearest = 1.0; // nothing at 1.0 world unit or more is ever picked
    for (int i = 0; i < distances.size(); ++i) {
        const double d = distances[i];
        if (d < 0)
            continue;
        if (d < nearest) {
            nearest = d;
            candidate = i;
        }
    }
    if (candidate >= 0
        && nearest < 0.05 * std::sqrt(viewWidth * viewWidth + viewHeight * viewHeight))
        return candidate;
    return -1;
}

namespace {

// pointMarkMayShow with the window's edges taken out, for loops over many points.
struct MarkCull
{
    MarkCull(bool withLabel, const QRectF &window)
        : withLabel(withLabel), left(window.left()), right(window.right()), top(window.top()),
          bottom(window.bottom())
    {}

    // A position that is not finite fails every comparison.
    bool mayShow(double sx, double sy) const
    {
        return (withLabel ? sx + 200 : sx + 3) + kLabelSlack > left && sx - 2 - kLabelSlack < right
               && (withLabel ? sy + 20 : sy + 3) + kLabelSlack > top
               && sy - 2 - kLabelSlack < bottom;
    }

    bool withLabel;
    double left, right, top, bottom;
};

} // namespace

bool pointMarkMayShow(double sx, double sy, bool withLabel, const QRectF &window)
{
    return MarkCull(withLabel, window).mayShow(sx, sy);
}

bool segmentMayShow(
    double sx0, double sy0, double sx1, double sy1, double penWidth, const QRectF &window)
{
    if (!std::isfinite(sx0) || !std::isfinite(sy0) || !std::isfinite(sx1) || !std::isfinite(sy1)
        || !std::isfinite(penWidth))
        return true;
    const double margin = 2 * penWidth + 8; // end discs, square caps and wide pens
    if (std::max(sx0, sx1) + margin < window.left() || std::min(sx0, sx1) - margin > window.right()
        || std::max(sy0, sy1) + margin < window.top()
        || std::min(sy0, sy1) - margin > window.bottom())
        return false;
    const double dx = sx1 - sx0;
    const double dy = sy1 - sy0;
    const double len = std::hypot(dx, dy);
    if (!(len > 0))
        return true;
    // Signed distances of the window's corners from the segment's line: all beyond the margin
    // on one side means the line passes the window by.
    const double nx = -dy / len;
    const double ny = dx / len;
    const double corners[4][2] = {{window.left(), window.top()},
                                  {window.right(), window.top()},
                                  {window.right(), window.bottom()},
                                  {window.left(), window.bottom()}};
    int above = 0;
    int below = 0;
    for (const auto &c : corners) {
        const double s = nx * (c[0] - sx0) + ny * (c[1] - sy0);
        if (s > margin)
            ++above;
        else if (s < -margin)
            ++below;
    }
    return above < 4 && below < 4;
}

void drawPointsInView(
    QPainter *p, ChCoord *cc, const Box &bb, const Points &list, const QRectF &window)
{
    const QPen saved = p->pen();
    // Without labels the discs follow one another in one colour: a repeated position is skipped.
    PointDiscs discs(p, !list.showLabels);
    // toScreenX and toScreenY, their ratios taken once: the same arithmetic in the same order.
    const double kx = (cc->sx1 - cc->sx0) / (cc->wx1 - cc->wx0);
    const double ky = (cc->sy1 - cc->sy0) / (cc->wy1 - cc->wy0);
    const MarkCull cull(list.showLabels, window);
    for (const Point &pt : list.points) {
        const double sx = kx * (pt.x - cc->wx0) + cc->sx0;
        const double sy = ky * (pt.y - cc->wy0) + cc->sy0;
        if (!cull.mayShow(sx, sy))
            continue;
        discs.fill(sx, sy);
        if (list.showLabels)
            list.labels.drawText(p,
                                 QRectF(sx, sy, 200, 20),
                                 QFont(),
                                 Qt::AlignLeft | Qt::AlignVCenter,
                                 1,
                                 pt.label,
                                 10);
    }
    if (list.connect) {
        if (list.ownPen)
            p->setPen(list.pen.pen);
        const double width = std::max(p->pen().widthF(), 1.0);
        for (int i = 0; i + 1 < list.points.size(); ++i) {
            const Point &a = list.points[i];
            const Point &b = list.points[i + 1];
            // With its dashed extension a segment crosses the whole window wherever it lies.
            if (!list.extend
                && !segmentMayShow(cc->toScreenX(a.x),
                                   cc->toScreenY(a.y),
                                   cc->toScreenX(b.x),
                                   cc->toScreenY(b.y),
                                   width,
                                   window))
                continue;
            drawShape(p, cc, bb, Line(a, b), false, list.extend);
        }
    }
    p->setPen(saved);
}

bool screenPixel(double s, int &out)
{
    if (!std::isfinite(s) || std::fabs(s) > kPixelLimit)
        return false;
    out = static_cast<int>(s);
    return true;
}
