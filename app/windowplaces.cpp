#include "windowplaces.h"

#include <algorithm>

namespace {

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

        QPoint best = corners.first();
        qint64 bestCover = -1;
        for (const QPoint &c : qAsConst(corners)) {
            const qint64 cover = coveredArea(QRect(c, size), occupied);
            if (bestCover < 0 || cover < bestCover) {
                best = c;
                bestCover = cover;
            }
            if (cover == 0)
                break;
        }
        places << best;
        occupied << QRect(best, size);
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
