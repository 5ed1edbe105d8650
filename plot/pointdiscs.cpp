#include "pointdiscs.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
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

// Where one axis of a disc falls: its base pixel, the 1/64 of a pixel its first corner rounds to
// within it, and how many of the other corners' thresholds that corner has passed.
struct AxisClass
{
    int base = 0;
    int low = 0;
    int passed = 0;
    int key() const { return kOffsets * low + passed; }
};

// One axis of the disc: the nine distinct offsets of its corners from the disc's position (the
// first the smallest, the rectangle's edge at -2). With the first corner u = 64 x rounded to the
// nearest 1/64, the corner of offset d rounds to u + floor(64 (d - d0)), plus one once the
// fraction u lost in rounding passes 1 - frac(64 (d - d0)), its threshold.
class Axis
{
public:
    bool build(const double *corners)
    {
        double sorted[kCorners];
        std::copy(corners, corners + kCorners, sorted);
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
                if (std::fabs(corners[i] - offset[k]) < std::fabs(corners[i] - offset[best]))
                    best = k;
            corner[i] = best;
        }
        double up[kOffsets];
        for (int k = 0; k < kOffsets; ++k) {
            const double d = 64 * (offset[k] - offset[0]);
            whole[k] = static_cast<int>(std::floor(d));
            up[k] = d - whole[k] < 1e-9 ? 2.0 : 1 - (d - whole[k]); // 2: never
            if (up[k] < 1.0)
                threshold[thresholds++] = up[k];
        }
        std::sort(threshold, threshold + thresholds);
        for (int k = 0; k < kOffsets; ++k)
            below[k]
                = up[k] < 1.0
                      ? int(std::lower_bound(threshold, threshold + thresholds, up[k]) - threshold)
                      : kOffsets;
        // The thresholds passed anywhere in each bucket of the fraction, or kUnsure where one lies
        // within the margin of the bucket.
        for (int b = 0; b < kBuckets; ++b) {
            const double lo = double(b) / kBuckets - kMargin;
            const double hi = double(b + 1) / kBuckets + kMargin;
            int passed = 0;
            bool sure = b > 0 && b + 1 < kBuckets;
            for (int j = 0; j < thresholds; ++j) {
                passed += threshold[j] < lo;
                sure = sure && (threshold[j] < lo || threshold[j] > hi);
            }
            bucket[b] = sure ? uint8_t(passed) : kUnsure;
        }
        return kOffsets * 63 + thresholds < PointDiscs::kClasses;
    }

    // The class of the axis of a disc at device position v (positive); false where a corner lies
    // within kMargin of rounding the other way, where Qt's floating point steps could tip it.
    bool classify(double v, AxisClass &c) const
    {
        const double u = (v + offset[0]) * 64 + 0.5;
        const int rounded = static_cast<int>(u);
        const double lost = u - rounded;
        c.base = rounded >> 6;
        c.low = rounded & 63;
        const int b = bucket[static_cast<int>(lost * kBuckets)];
        if (b != kUnsure) {
            c.passed = b;
            return true;
        }
        bool near = lost < kMargin || lost > 1 - kMargin;
        int passed = 0;
        for (int j = 0; j < thresholds; ++j) {
            const double d = lost - threshold[j];
            passed += d >= 0;
            near = near || std::fabs(d) < kMargin;
        }
        c.passed = passed;
        return !near;
    }

    // The 26.6 corners of each offset, relative to the base pixel.
    void corners(const AxisClass &c, int r[kOffsets]) const
    {
        for (int k = 0; k < kOffsets; ++k)
            r[k] = c.low + whole[k] + (c.passed > below[k] ? 1 : 0);
    }

    double offset[kOffsets];
    int corner[kCorners]; // which offset each corner of the outline has

private:
    static constexpr int kBuckets = 4096;
    static constexpr uint8_t kUnsure = 0xff;
    int whole[kOffsets];
    int below[kOffsets]; // thresholds lower than this offset's (kOffsets: it has none)
    double threshold[kOffsets];
    int thresholds = 0;
    uint8_t bucket[kBuckets];
};

class DiscModel
{
public:
    DiscModel()
    {
        const Outline o = unitDisc();
        // The flattening must not be on the verge of cutting differently anywhere it is drawn.
        usable = o.n == kCorners && o.x[0] == o.x[kCorners - 1] && o.y[0] == o.y[kCorners - 1]
                 && o.nearestDecision > 1e-6 && x.build(o.x) && y.build(o.y);
    }

    bool usable = false;
    Axis x;
    Axis y;

    // The mask of a class, worked out on first use: 0 not yet, 1 no mask (Qt fills), else index
    // + 2.
    const Mask *mask(const AxisClass &cx, const AxisClass &cy)
    {
        if (table.empty())
            table.assign(size_t(PointDiscs::kClasses) * PointDiscs::kClasses, 0);
        uint16_t &entry = table[size_t(cx.key()) * PointDiscs::kClasses + cy.key()];
        if (entry == 0) {
            Mask m;
            entry = scan(cx, cy, Bounds(), m) ? keep(m) : 1;
        }
        return entry == 1 ? nullptr : &masks[entry - 2];
    }

    // Qt's clip, relative to the base pixel: columns left ... right, rows top ... bottom.
    struct Bounds
    {
        int left = -64, right = 64, top = -64, bottom = 64;
    };

    // Qt's scan of the 16 edges, clipped to b as Qt clips: rows whose centres lie in (top,
    // bottom] of an edge, the edge's x at the centre in 16.16 from its 26.6 ends, the pixels from
    // one crossing's floor(x + 0.5) to the next's where the crossings passed so far are odd (the
    // path fills odd-even). An edge crossing a side of the clip is cut there and its outer part
    // runs along the side. False when the pixels are not one run per row within 8 x 8 of the base.
    bool scan(const AxisClass &cx, const AxisClass &cy, const Bounds &b, Mask &m) const
    {
        int rx[kOffsets], ry[kOffsets];
        x.corners(cx, rx);
        y.corners(cy, ry);
        // Two pixels of room around the base, so that every corner is positive as Qt's are.
        constexpr int room = 2;
        const auto clamp = [](int v) { return std::clamp(v, -16, 24) + room; };
        const int leftFP = clamp(b.left) * 65536;
        const int rightFP = (clamp(b.right) + 1) * 65536;
        const int clipTop = clamp(b.top);
        const int clipBottom = clamp(b.bottom);
        Edge edges[3 * (kCorners - 1)];
        int count = 0;
        for (int i = 0; i + 1 < kCorners; ++i) {
            int ax = rx[x.corner[i]] + 64 * room, ay = ry[y.corner[i]] + 64 * room;
            int bx = rx[x.corner[i + 1]] + 64 * room, by = ry[y.corner[i + 1]] + 64 * room;
            int winding = 1;
            if (ay > by) {
                std::swap(ax, bx);
                std::swap(ay, by);
                winding = -1;
            }
            int top = std::max(clipTop, (ay + 32) >> 6);
            int bottom = std::min(clipBottom, (by - 32) >> 6);
            if (top > bottom)
                continue;
            const int aFP = 32768 + ax * 1024;
            if (bx == ax) {
                edges[count++] = {std::clamp(aFP, leftFP, rightFP), 0, top, bottom, winding};
                continue;
            }
            const double slope = (bx - ax) / double(by - ay);
            const int step = static_cast<int>(slope * 65536.);
            int x = aFP
                    + static_cast<int>((qint64(step) * qint64(top * 65536 + 32768 - ay * 1024))
                                       >> 16);
            if (cut(x, top, bottom, step, leftFP, false, winding, edges, count)
                || cut(x, top, bottom, step, rightFP, true, winding, edges, count))
                continue;
            edges[count++] = {x, step, top, bottom, winding};
        }
        int minTop = INT32_MAX, maxBottom = INT32_MIN;
        for (int e = 0; e < count; ++e) {
            minTop = std::min(minTop, edges[e].top);
            maxBottom = std::max(maxBottom, edges[e].bottom);
        }
        // Every pixel within 8 x 8 of the base pixel, inside the clip test's box.
        if (count == 0 || minTop < room || maxBottom > room + 7)
            return false;
        m.top = static_cast<int8_t>(minTop - room);
        m.rows = static_cast<int8_t>(maxBottom - minTop + 1);
        for (int y = minTop; y <= maxBottom; ++y) {
            int xs[3 * kCorners], ws[3 * kCorners], n = 0;
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
                        return false; // two runs in a row: not a disc
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
            if (from < room || to > room + 8)
                return false;
            m.start[r] = static_cast<int8_t>(from - room);
            m.count[r] = static_cast<int8_t>(to - from);
        }
        return true;
    }

private:
    struct Edge
    {
        int x, step, top, bottom, winding;
    };

    // Qt's cut of a sloped edge at a side of the clip (edgeFP, the right side when right): the
    // part beyond it becomes a vertical edge along the side. True when nothing of the sloped edge
    // is left.
    static bool cut(int &xFP,
                    int &top,
                    int &bottom,
                    int step,
                    int edgeFP,
                    bool right,
                    int winding,
                    Edge *edges,
                    int &count)
    {
        if (xFP == edgeFP) {
            if ((step > 0) ^ right)
                return false;
            edges[count++] = {edgeFP, 0, top, bottom, winding};
            return true;
        }
        const int lastFP = xFP + step * (bottom - top);
        if (lastFP == edgeFP) {
            if ((step < 0) ^ right)
                return false;
            edges[count++] = {edgeFP, 0, top, bottom, winding};
            return true;
        }
        if ((lastFP < edgeFP) ^ (xFP < edgeFP)) {
            const int deltaY = static_cast<int>((edgeFP - xFP) / (step / 65536.));
            if ((xFP < edgeFP) ^ right) {
                const int height = (deltaY + 1) >> 16;
                const int middle = top + height;
                edges[count++] = {edgeFP, 0, top, middle, winding};
                if (middle == bottom)
                    return true;
                xFP += step * (height + 1);
                top = middle + 1;
            } else {
                const int height = deltaY >> 16;
                const int middle = top + height;
                if (middle != bottom) {
                    edges[count++] = {edgeFP, 0, middle + 1, bottom, winding};
                    bottom = middle;
                }
            }
            return false;
        }
        if ((xFP < edgeFP) ^ right) {
            edges[count++] = {edgeFP, 0, top, bottom, winding};
            return true;
        }
        return false;
    }

    // Many classes share a mask: each is kept once.
    uint16_t keep(const Mask &m)
    {
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

// Each thread that draws works its masks out for itself.
DiscModel &model()
{
    thread_local DiscModel m;
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
    const bool opaque = opaquePixel(p->pen().color(), argb);
    fast = target.isValid() && opaque && model().usable;
    // A repeat is harmless to skip wherever the fill is aliased and opaque in source-over, which
    // every RasterTarget guarantees.
    this->skipRepeats = skipRepeats && fast;
}

bool PointDiscs::classOf(double sx, double sy, int &xClass, int &yClass)
{
    const DiscModel &m = model();
    AxisClass cx, cy;
    if (!m.usable || !(sx >= 4 && sy >= 4) || !m.x.classify(sx, cx) || !m.y.classify(sy, cy))
        return false;
    xClass = cx.key();
    yClass = cy.key();
    return true;
}

void PointDiscs::fill(double sx, double sy)
{
    if (!drawable(sx) || !drawable(sy))
        return;
    // A disc just written at the same place sets no new pixel where nothing but discs is drawn:
    // every disc of a batch is opaque and of one colour. (Parallel pairs of beams all cross at
    // the origin, one after another.)
    if (skipRepeats && sx == lastX && sy == lastY)
        return;
    // A mask written again costs less than looking its position up; a repeat of a disc Qt fills
    // is skipped.
    if (fast && fillFast(sx, sy)) {
        lastX = sx;
        lastY = sy;
        return;
    }
    if (skipRepeats && seen(sx, sy))
        return;
    qtDisc(painter, sx, sy, false);
}

bool PointDiscs::fillFast(double sx, double sy)
{
    const double x = sx + target.dx;
    const double y = sy + target.dy;
    // Every pixel the disc could set has its centre within 2.5 pixels of (x + 0.5, y + 0.5): a
    // disc whose surroundings miss the clip sets none.
    const int ax = int(x) - (x < int(x)), ay = int(y) - (y < int(y)); // floor; |x| < 2^31
    bool meetsClip = false;
    for (const QRect &c : target.clip)
        meetsClip = meetsClip
                    || (ax + 4 >= c.left() && ax - 4 <= c.right() && ay + 4 >= c.top()
                        && ay - 4 <= c.bottom());
    if (!meetsClip)
        return true;
    // Corners at positive coordinates, as in the classes' scan.
    if (!(x >= 4 && y >= 4))
        return false;
    DiscModel &m = model();
    AxisClass cx, cy;
    if (!m.x.classify(x, cx) || !m.y.classify(y, cy))
        return false;
    const int bx = cx.base;
    const int by = cy.base;
    // The disc and a pixel around it within one clip rectangle: Qt's outline and scan then meet no
    // clip edge, and the mask of its class holds. Across the edge of a single clip rectangle, its
    // pixels are worked out with Qt's cut at the clip (the outline Qt flattens differs only
    // outside the clip, where Qt replaces a quarter that lies wholly outside by its chord).
    const QRect box(bx - 1, by - 1, 9, 9);
    const Mask *mask = nullptr;
    Mask across;
    if (target.clipHolding(box)) {
        mask = m.mask(cx, cy);
    } else if (target.clip.size() == 1) {
        const QRect &c = target.clip[0];
        DiscModel::Bounds b;
        b.left = c.left() - bx;
        b.right = c.right() - bx;
        b.top = c.top() - by;
        b.bottom = c.bottom() - by;
        if (m.scan(cx, cy, b, across))
            mask = &across;
    }
    if (!mask)
        return false;
    for (int r = 0; r < mask->rows; ++r) {
        uint32_t *p = target.row(by + mask->top + r) + bx + mask->start[r];
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
            if (o.x != kFree)
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
        if (slot.x == kFree) {
            slot = key;
            ++repeatCount;
            return true;
        }
        if (slot.x == key.x && slot.y == key.y)
            return false;
    }
}
