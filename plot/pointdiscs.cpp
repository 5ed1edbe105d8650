#include "pointdiscs.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace {

// Screen positions beyond this are not drawn at all (as for every shape).
constexpr double kPixelLimit = 1e9;

// ---------------------------------------------------------------- the outline Qt fills

// A corner closer than this (in 1/64 pixel) to a rounding threshold is left to Qt: Qt reaches it
// through a different chain of floating point steps, each off by up to half a unit in the last
// place, some 1e-9 of a 1/64 pixel for images of kMaxSide pixels.
constexpr double kMargin = 1e-6;

constexpr int kCorners = 17; // 16 edges, the last corner repeating the first
constexpr int kOffsets = 9;  // distinct corner offsets per axis

// The corners of the 5-pixel disc at (0, 0), flattened as Qt flattens its path: the ellipse in
// (-2, -2, 5, 5) as four cubic quarters with the circle constant 0.5522847498, each cut in halves
// until the control points lie within 0.25 of the chord (QBezier::addToPolygon), in doubles.
struct Outline
{
    double x[kCorners];
    double y[kCorners];
    int n = 0;
    double nearestDecision = 1e300; // how far the flattening was from cutting a piece differently
};

struct Cubic
{
    double x[4];
    double y[4];
};

void halve(const Cubic &b, Cubic &first, Cubic &second)
{
    const auto mid = [](double a, double c) { return (a + c) * .5; };
    for (int axis = 0; axis < 2; ++axis) {
        const double *p = axis ? b.y : b.x;
        double *f = axis ? first.y : first.x;
        double *s = axis ? second.y : second.x;
        const double m12 = mid(p[0], p[1]);
        const double m23 = mid(p[1], p[2]);
        const double m34 = mid(p[2], p[3]);
        const double m1223 = mid(m12, m23);
        const double m2334 = mid(m23, m34);
        const double m = mid(m1223, m2334);
        f[0] = p[0], f[1] = m12, f[2] = m1223, f[3] = m;
        s[0] = m, s[1] = m2334, s[2] = m34, s[3] = p[3];
    }
}

void flatten(const Cubic &whole, Outline &o)
{
    Cubic stack[10];
    int levels[10];
    stack[0] = whole;
    levels[0] = 9;
    int top = 0;
    while (top >= 0) {
        const Cubic &b = stack[top];
        const double dy = b.y[3] - b.y[0];
        const double dx = b.x[3] - b.x[0];
        double l = std::fabs(dx) + std::fabs(dy);
        double d;
        if (l > 1.) {
            d = std::fabs(dx * (b.y[0] - b.y[1]) - dy * (b.x[0] - b.x[1]))
                + std::fabs(dx * (b.y[0] - b.y[2]) - dy * (b.x[0] - b.x[2]));
        } else {
            d = std::fabs(b.x[0] - b.x[1]) + std::fabs(b.y[0] - b.y[1]) + std::fabs(b.x[0] - b.x[2])
                + std::fabs(b.y[0] - b.y[2]);
            l = 1.;
        }
        o.nearestDecision = std::min(o.nearestDecision, std::fabs(d - 0.25 * l));
        if (d < 0.25 * l || levels[top] == 0) {
            if (o.n < kCorners) {
                o.x[o.n] = b.x[3];
                o.y[o.n] = b.y[3];
            }
            ++o.n;
            --top;
        } else {
            Cubic first, second;
            halve(b, first, second);
            levels[top + 1] = --levels[top];
            stack[top] = second;
            stack[top + 1] = first;
            ++top;
        }
    }
}

Outline unitDisc()
{
    const double x = -2, y = -2, w = 5, h = 5;
    const double w2 = w / 2, w2k = w2 * 0.5522847498;
    const double h2 = h / 2, h2k = h2 * 0.5522847498;
    const double px[13] = {x + w,
                           x + w,
                           x + w2 + w2k,
                           x + w2,
                           x + w2 - w2k,
                           x,
                           x,
                           x,
                           x + w2 - w2k,
                           x + w2,
                           x + w2 + w2k,
                           x + w,
                           x + w};
    const double py[13] = {y + h2,
                           y + h2 + h2k,
                           y + h,
                           y + h,
                           y + h,
                           y + h2 + h2k,
                           y + h2,
                           y + h2 - h2k,
                           y,
                           y,
                           y,
                           y + h2 - h2k,
                           y + h2};
    Outline o;
    o.x[0] = px[0];
    o.y[0] = py[0];
    o.n = 1;
    for (int q = 0; q < 4; ++q) {
        Cubic c;
        for (int i = 0; i < 4; ++i) {
            c.x[i] = px[3 * q + i];
            c.y[i] = py[3 * q + i];
        }
        flatten(c, o);
    }
    return o;
}

// ---------------------------------------------------------------- classes and masks

// The pixels of one class, rows relative to the base pixel: row r of the mask is row base + top +
// r, columns base + start[r] ... + count[r] - 1.
struct Mask
{
    int8_t top = 0;
    int8_t rows = 0;
    int8_t start[8] = {};
    int8_t count[8] = {};
};

class DiscModel
{
public:
    DiscModel()
    {
        const Outline o = unitDisc();
        // The flattening must not be on the verge of cutting differently anywhere it is drawn.
        usable = o.n == kCorners && o.x[0] == o.x[kCorners - 1] && o.y[0] == o.y[kCorners - 1]
                 && o.nearestDecision > 1e-6;
        if (!usable)
            return;
        usable = offsetsOf(o.x, xOffset, xCorner, xBase) && offsetsOf(o.y, yOffset, yCorner, yBase);
    }

    bool usable = false;
    double xOffset[kOffsets];
    double yOffset[kOffsets];
    int xCorner[kCorners]; // which offset each corner has
    int yCorner[kCorners];
    int xBase = 0; // the key of the lowest class
    int yBase = 0;

    // The 26.6 corners of one axis of the disc at device position v, relative to the base pixel
    // (returned in base); false near a rounding threshold.
    bool
    corners(double v, const double *offset, int keyBase, int r[kOffsets], int &base, int &key) const
    {
        int sum = 0;
        for (int i = 0; i < kOffsets; ++i) {
            const double u = (v + offset[i]) * 64 + 0.5;
            const int f = static_cast<int>(u); // u > 0
            const double frac = u - f;
            if (frac < kMargin || frac > 1 - kMargin)
                return false;
            r[i] = f;
            sum += f;
        }
        base = r[0] >> 6; // offset 0 is the leftmost (topmost) corner
        for (int i = 0; i < kOffsets; ++i)
            r[i] -= base * 64;
        key = sum - kOffsets * 64 * base - keyBase;
        return key >= 0 && key < PointDiscs::kClasses;
    }

    // The mask of a class, worked out on first use: 0 not yet, 1 no mask (Qt fills), else index
    // + 2.
    const Mask *mask(int xKey, int yKey, const int rx[kOffsets], const int ry[kOffsets])
    {
        if (table.empty())
            table.assign(size_t(PointDiscs::kClasses) * PointDiscs::kClasses, 0);
        uint16_t &entry = table[size_t(xKey) * PointDiscs::kClasses + yKey];
        if (entry == 0)
            entry = scan(rx, ry);
        return entry == 1 ? nullptr : &masks[entry - 2];
    }

private:
    // Sorted distinct offsets, the smallest first; every corner's offset; the key of the class
    // just above the lowest position (the one that rounds every corner down).
    static bool offsetsOf(const double *c, double *offset, int *corner, int &keyBase)
    {
        double sorted[kCorners];
        std::copy(c, c + kCorners, sorted);
        std::sort(sorted, sorted + kCorners);
        int n = 0;
        for (double v : sorted)
            if (n == 0 || v - offset[n - 1] > 1e-9) {
                if (n == kOffsets)
                    return false;
                offset[n++] = v;
            }
        if (n != kOffsets)
            return false;
        for (int i = 0; i < kCorners; ++i) {
            int best = 0;
            for (int k = 1; k < kOffsets; ++k)
                if (std::fabs(c[i] - offset[k]) < std::fabs(c[i] - offset[best]))
                    best = k;
            corner[i] = best;
        }
        // The lowest class: every corner rounded down, with the disc's left (top) edge at 0.
        const double shift = -offset[0];
        keyBase = 0;
        for (int k = 0; k < kOffsets; ++k)
            keyBase += static_cast<int>(std::floor((offset[k] + shift) * 64));
        return true;
    }

    // Qt's scan of the 16 edges: rows whose centres lie in (top, bottom] of an edge, the edge's x
    // at the centre in 16.16 from its 26.6 ends, the pixels from one crossing's floor(x + 0.5) to
    // the next's where the crossings passed so far are odd (the path fills odd-even).
    uint16_t scan(const int rx[kOffsets], const int ry[kOffsets])
    {
        struct Edge
        {
            int x, step, top, bottom, winding;
        };
        Edge edges[kCorners - 1];
        int count = 0;
        // Two pixels of room around the base, so that every corner is positive as Qt's are.
        const int room = 128;
        int minTop = INT32_MAX, maxBottom = INT32_MIN;
        for (int i = 0; i + 1 < kCorners; ++i) {
            int ax = rx[xCorner[i]] + room, ay = ry[yCorner[i]] + room;
            int bx = rx[xCorner[i + 1]] + room, by = ry[yCorner[i + 1]] + room;
            int winding = 1;
            if (ay > by) {
                std::swap(ax, bx);
                std::swap(ay, by);
                winding = -1;
            }
            const int top = (ay + 32) >> 6;
            const int bottom = (by - 32) >> 6;
            if (top > bottom)
                continue;
            const int aFP = 32768 + ax * 1024;
            int x = aFP;
            int step = 0;
            if (bx != ax) {
                const double slope = (bx - ax) / double(by - ay);
                step = static_cast<int>(slope * 65536.);
                x = aFP
                    + static_cast<int>((qint64(step) * qint64(top * 65536 + 32768 - ay * 1024))
                                       >> 16);
            }
            edges[count++] = {x, step, top, bottom, winding};
            minTop = std::min(minTop, top);
            maxBottom = std::max(maxBottom, bottom);
        }
        // Every pixel within 8 x 8 of the base pixel, inside the clip test's box.
        const int base = room / 64;
        Mask m;
        if (count == 0 || minTop < base || maxBottom > base + 7)
            return 1;
        m.top = static_cast<int8_t>(minTop - base);
        m.rows = static_cast<int8_t>(maxBottom - minTop + 1);
        for (int y = minTop; y <= maxBottom; ++y) {
            int xs[kCorners], ws[kCorners], n = 0;
            for (int e = 0; e < count; ++e)
                if (edges[e].top <= y && y <= edges[e].bottom) {
                    const int x = edges[e].x + (y - edges[e].top) * edges[e].step;
                    int j = n++;
                    for (; j > 0 && x < xs[j - 1]; --j) {
                        xs[j] = xs[j - 1];
                        ws[j] = ws[j - 1];
                    }
                    xs[j] = x;
                    ws[j] = edges[e].winding;
                }
            int from = -1, to = -1, winding = 0, x = 0;
            for (int k = 0; k < n; ++k) {
                const int current = xs[k] >> 16;
                if ((winding & 1) && current > x) {
                    if (from >= 0 && x != to)
                        return 1; // two runs in a row: not a disc, Qt fills it
                    if (from < 0)
                        from = x;
                    to = current;
                }
                x = current;
                winding += ws[k];
            }
            const int r = y - minTop;
            if (from < 0) {
                m.start[r] = 0;
                m.count[r] = 0;
                continue;
            }
            if (from - base < 0 || to - base > 8)
                return 1;
            m.start[r] = static_cast<int8_t>(from - base);
            m.count[r] = static_cast<int8_t>(to - from);
        }
        // Many classes share a mask: keep each mask once.
        quint64 key = quint64(m.rows) | quint64(m.top) << 4;
        for (int r = 0; r < m.rows; ++r)
            key |= quint64(m.start[r] | m.count[r] << 3) << (7 + 7 * r);
        const auto known = maskIndex.find(key);
        if (known != maskIndex.end())
            return known->second;
        if (masks.size() + 2 > 0xffff)
            return 1;
        masks.push_back(m);
        const uint16_t entry = static_cast<uint16_t>(masks.size() + 1);
        maskIndex.emplace(key, entry);
        return entry;
    }

    std::vector<uint16_t> table;
    std::vector<Mask> masks;
    std::map<quint64, uint16_t> maskIndex;
};

DiscModel &model()
{
    static DiscModel m;
    return m;
}

void qtDisc(QPainter *p, double sx, double sy, bool large)
{
    QPainterPath path;
    if (large)
        path.addEllipse(sx - 4, sy - 4, 9, 9);
    else
        path.addEllipse(sx - 2, sy - 2, 5, 5);
    p->fillPath(path, QBrush(p->pen().color()));
}

bool drawable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kPixelLimit;
}

} // namespace

void fillPointDisc(QPainter *p, double sx, double sy, bool large)
{
    if (!drawable(sx) || !drawable(sy))
        return;
    if (large) {
        qtDisc(p, sx, sy, true);
        return;
    }
    PointDiscs(p, false).fill(sx, sy);
}

PointDiscs::PointDiscs(QPainter *p, bool skipRepeats) : painter(p), target(p)
{
    // The masks are shared: only the thread that owns the application draws with them.
    const bool guiThread = QCoreApplication::instance()
                           && QThread::currentThread() == QCoreApplication::instance()->thread();
    const bool opaque = opaquePixel(p->pen().color(), argb);
    fast = target.isValid() && opaque && guiThread && model().usable;
    // A repeat is harmless to skip wherever the fill is aliased and opaque in source-over, which
    // every RasterTarget guarantees.
    this->skipRepeats = skipRepeats && fast;
}

bool PointDiscs::classOf(double sx, double sy, int &xClass, int &yClass)
{
    const DiscModel &m = model();
    int rx[kOffsets], ry[kOffsets], bx, by;
    return m.usable && m.corners(sx, m.xOffset, m.xBase, rx, bx, xClass)
           && m.corners(sy, m.yOffset, m.yBase, ry, by, yClass);
}

void PointDiscs::fill(double sx, double sy)
{
    if (!drawable(sx) || !drawable(sy))
        return;
    if (skipRepeats && seen(sx, sy))
        return;
    if (!fast || !fillFast(sx, sy))
        qtDisc(painter, sx, sy, false);
}

bool PointDiscs::fillFast(double sx, double sy)
{
    const double x = sx + target.dx;
    const double y = sy + target.dy;
    // Every pixel the disc could set has its centre within 2.5 pixels of (x + 0.5, y + 0.5): a
    // disc whose surroundings miss the clip sets none.
    const QRect around(int(std::floor(x)) - 4, int(std::floor(y)) - 4, 9, 9);
    bool meetsClip = false;
    for (const QRect &c : target.clip)
        meetsClip = meetsClip || c.intersects(around);
    if (!meetsClip)
        return true;
    // Corners at positive coordinates, as in the classes' scan.
    if (!(x >= 4 && y >= 4))
        return false;
    DiscModel &m = model();
    int rx[kOffsets], ry[kOffsets], bx, by, kx, ky;
    if (!m.corners(x, m.xOffset, m.xBase, rx, bx, kx)
        || !m.corners(y, m.yOffset, m.yBase, ry, by, ky))
        return false;
    // The disc and a pixel around it within one clip rectangle: Qt's outline and scan then meet no
    // clip edge. Or, with a single clip rectangle, across it: Qt's scan then only leaves out the
    // rows above or below it, its outline keeps every corner that falls inside.
    const QRect box(bx - 1, by - 1, 9, 9);
    int top = INT32_MIN, bottom = INT32_MAX;
    if (!target.clipHolding(box)) {
        if (target.clip.size() != 1)
            return false;
        const QRect &c = target.clip[0];
        if (box.left() < c.left() || box.right() > c.right())
            return false;
        top = c.top();
        bottom = c.bottom();
    }
    const Mask *mask = m.mask(kx, ky, rx, ry);
    if (!mask)
        return false;
    for (int r = 0; r < mask->rows; ++r) {
        const int row = by + mask->top + r;
        if (row < top || row > bottom)
            continue;
        uint32_t *p = target.row(row) + bx + mask->start[r];
        for (int c = 0; c < mask->count[r]; ++c)
            p[c] = argb;
    }
    return true;
}

bool PointDiscs::seen(double sx, double sy)
{
    Position key;
    std::memcpy(&key.x, &sx, sizeof key.x);
    std::memcpy(&key.y, &sy, sizeof key.y);
    if (2 * (repeatCount + 1) > repeats.size()) {
        std::vector<Position> old;
        old.swap(repeats);
        repeats.assign(std::max<size_t>(64, old.size() * 2), Position());
        repeatCount = 0;
        for (const Position &o : old)
            if (o.used)
                insert(o);
    }
    return !insert(key);
}

bool PointDiscs::insert(Position key)
{
    const size_t mask = repeats.size() - 1;
    quint64 h
        = key.x * 0x9e3779b97f4a7c15ULL ^ (key.y + 0x632be59bd9b4e019ULL) * 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        Position &slot = repeats[i];
        if (!slot.used) {
            slot = key;
            slot.used = true;
            ++repeatCount;
            return true;
        }
        if (slot.x == key.x && slot.y == key.y)
            return false;
    }
}
