#include "navigation.h"

#include "chcoord.h"

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

QString readoutNumber(double v, int width, int decimals)
{
    // The digits before the point as the fixed format writes them, sign aside.
    const QString fixed = QString::number(v, 'f', decimals);
    int digits = fixed.indexOf(QLatin1Char('.'));
    if (digits < 0)
        digits = fixed.size();
    if (fixed.startsWith(QLatin1Char('-')))
        --digits;
    if (std::isfinite(v) && digits > 15)
        return QStringLiteral("%1").arg(QString::asprintf("%.6e", v), width);
    return QStringLiteral("%1").arg(v, width, 'f', decimals, QLatin1Char(' '));
}

QString positionReadout(double x, double y)
{
    return QStringLiteral("(%1, %2): %3")
        .arg(readoutNumber(x, 8, 3),
             readoutNumber(y, 8, 3),
             readoutNumber(std::sqrt(x * x + y * y), 8, 3));
}

QString measureReadout(const Line &l)
{
    const Point s = l.start();
    const Dir &d = l.dir();
    return QStringLiteral("(%1, %2)-(%3, %4) : %5")
        .arg(readoutNumber(s.x, 8, 3),
             readoutNumber(s.y, 8, 3),
             readoutNumber(s.x + l.length * d.x, 8, 3),
             readoutNumber(s.y + l.length * d.y, 8, 3),
             readoutNumber(l.length, 11, 6));
}

bool pointMarkMayShow(double sx, double sy, bool withLabel, const QRectF &window)
{
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return false;
    const double left = sx - 2 - kLabelSlack;
    const double top = sy - 2 - kLabelSlack;
    const double right = (withLabel ? sx + 200 : sx + 3) + kLabelSlack;
    const double bottom = (withLabel ? sy + 20 : sy + 3) + kLabelSlack;
    return right > window.left() && left < window.right() && bottom > window.top()
           && top < window.bottom();
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
    for (const Point &pt : list.points) {
        const double sx = cc->toScreenX(pt.x);
        const double sy = cc->toScreenY(pt.y);
        if (!pointMarkMayShow(sx, sy, list.showLabels, window))
            continue;
        pt.draw(p, cc, bb, false, true);
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
            Line(a, b).draw(p, cc, bb, false, list.extend);
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
