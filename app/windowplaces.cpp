#include "windowplaces.h"

#include <QRegion>

#include <algorithm>

namespace {

// The least of a window that must show for it to count as in sight: a piece to grab and raise.
constexpr qint64 kGripArea = 64 * 16;

// Area of r that none of the rectangles above it covers.
qint64 shownArea(const QRect &r, const QVector<QRect> &above)
{
    QRegion shown(r);
    for (const QRect &a : above)
        shown -= a;
    qint64 area = 0;
    for (const QRect &piece : shown)
        area += qint64(piece.width()) * piece.height();
    return area;
}

// Whether a window put at r, above the windows placed before it and under the taken ones, shows
// a grip of itself and leaves one of each placed window that showed one.
bool keepsAllInSight(const QRect &r, const QVector<QRect> &taken, const QVector<QRect> &placed)
{
    if (shownArea(r, taken) < kGripArea)
        return false;
    for (int j = 0; j < placed.size(); ++j) {
        QVector<QRect> above = taken + placed.mid(j + 1);
        if (shownArea(placed[j], above) < kGripArea)
            continue;
        above << r;
        if (shownArea(placed[j], above) < kGripArea)
            return false;
    }
    return true;
}

// Area that r covers of the rectangles in taken.
qint64 coveredArea(const QRect &r, const QVector<QRect> &taken)
{
    qint64 area = 0;
    for (const QRect &t : taken) {
        const QRect both = r.intersected(t);
        if (!both.isEmpty())
            area += qint64(both.width()) * both.height();
    }
    return area;
}

// The position p moved just far enough that a window of size s stays inside a, where it fits.
QPoint keepInside(QPoint p, QSize s, const QRect &a)
{
    p.setX(std::max(a.left(), std::min(p.x(), a.left() + a.width() - s.width())));
    p.setY(std::max(a.top(), std::min(p.y(), a.top() + a.height() - s.height())));
    return p;
}

} // namespace

QVector<QPoint>
windowPlaces(const QRect &available, const QVector<QRect> &taken, const QVector<QSize> &frameSizes)
{
    QVector<QRect> occupied = taken;
    QVector<QRect> placed;
    QVector<QPoint> places;
    for (const QSize &size : frameSizes) {
        QVector<int> xs{available.left(), available.left() + available.width() - size.width()};
        QVector<int> ys{available.top(), available.top() + available.height() - size.height()};
        for (const QRect &r : qAsConst(occupied)) {
            xs << r.left() + r.width();
            ys << r.top() + r.height();
        }
        // Corners in reading order: the top row first, each from the left.
        QVector<QPoint> corners;
        for (int y : qAsConst(ys))
            for (int x : qAsConst(xs))
                corners << keepInside(QPoint(x, y), size, available);
        std::stable_sort(corners.begin(), corners.end(), [](const QPoint &a, const QPoint &b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        });

        // The first free corner; else the one that covers the least and keeps every window in
        // sight; else the one that covers the least.
        QPoint best = corners.first();
        qint64 bestCover = -1;
        bool bestInSight = false;
        for (const QPoint &c : qAsConst(corners)) {
            const qint64 cover = coveredArea(QRect(c, size), occupied);
            const bool inSight = cover == 0 || keepsAllInSight(QRect(c, size), taken, placed);
            if (bestCover < 0 || (inSight && !bestInSight)
                || (inSight == bestInSight && cover < bestCover)) {
                best = c;
                bestCover = cover;
                bestInSight = inSight;
            }
            if (cover == 0)
                break;
        }
        places << best;
        occupied << QRect(best, size);
        placed << QRect(best, size);
    }
    return places;
}

bool reachableOnScreens(const QRect &frame, const QVector<QRect> &screens)
{
    if (frame.isEmpty())
        return false;
    const QRect titleStrip(frame.topLeft(), QSize(frame.width(), std::min(frame.height(), 16)));
    const int gripWidth = std::min(frame.width(), 64);
    for (const QRect &screen : screens) {
        const QRect onScreen = titleStrip.intersected(screen);
        if (onScreen.width() >= gripWidth && onScreen.height() >= titleStrip.height())
            return true;
    }
    return false;
}

QMargins frameMarginsOf(const QRect &frame, const QRect &contents)
{
    if (frame == contents || !frame.contains(contents))
        return kFrameAllowance;
    return QMargins(contents.left() - frame.left(),
                    contents.top() - frame.top(),
                    frame.right() - contents.right(),
                    frame.bottom() - contents.bottom());
}
