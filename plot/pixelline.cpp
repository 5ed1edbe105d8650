#include "pixelline.h"

#include "rastertarget.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Qt's raster engine draws a 1-pixel pen with its cosmetic stroker: the line is clipped in floating
// point to the image widened by one pixel, its ends are truncated to 26.6 fixed point, and it is
// walked one pixel per step along its longer axis with the other coordinate in 16.16. Square and
// round caps reach half a pixel further at both ends; a line of no length sets one pixel. The dash
// pattern, in 26.6 steps, is walked one pixel at a time from the line's start; a line walked
// against its direction (the walk always runs down or right) uses the reversed pattern, phased so
// that the start still begins the pattern. This file takes the same steps and writes the pixels.

namespace {

constexpr int kMaxDashes = 16;

// The pen's dash pattern as the stroker walks it: cumulative ends of the dashes and gaps in 26.6.
struct Dashes
{
    int count = 0; // 0: solid
    int length = 0;
    int forward[kMaxDashes] = {};
    int backward[kMaxDashes] = {}; // the pattern reversed
    int phase = 0;                 // the pen's dash offset
};

bool readDashes(const QPen &pen, Dashes &d)
{
    const QVector<qreal> pattern = pen.dashPattern();
    if (pattern.isEmpty())
        return true;
    const double offset = pen.dashOffset() * 64;
    if (pattern.size() > kMaxDashes || !(std::fabs(offset) < 1e9))
        return false;
    d.count = pattern.size();
    for (int i = 0, sum = 0; i < d.count; ++i) {
        if (!std::isfinite(pattern[i]))
            return false;
        sum += static_cast<int>(std::clamp(pattern[i] * 64, 1.0, 65536.0));
        d.forward[i] = sum;
    }
    for (int i = 0, sum = 0; i < d.count; ++i) {
        sum += static_cast<int>(std::clamp(pattern[d.count - 1 - i] * 64, 1.0, 65536.0));
        d.backward[i] = sum;
    }
    d.length = d.forward[d.count - 1];
    d.phase = static_cast<int>(offset);
    return true;
}

// Where the walk is in the pattern. Each pixel advances it by 64 and moves to the next entry at
// most once, even past an entry shorter than a pixel, as the stroker does. When every entry is a
// whole number of pixels the entries after the first are walked whole, so the walk goes by them.
class DashWalk
{
public:
    // The walk over the pixels first ... last - 1 (in units of 64 per pixel) of a line walked
    // forward, or backward (reversed pattern).
    DashWalk(const Dashes &d, bool backward, int first, int last) : d(&d)
    {
        if (!d.count)
            return;
        ends = backward ? d.backward : d.forward;
        on0 = backward ? 0 : 1;
        const int along = last - first;
        // first is a whole pixel, so the pattern is sampled at pixel centres (+ 32).
        offset = backward ? d.length - d.phase - along + 32 : d.phase + 32;
        offset %= d.length;
        if (offset < 0)
            offset += d.length;
        while (index < d.count - 1 && offset >= ends[index])
            ++index;
        whole = true;
        for (int i = 0; i < d.count; ++i) {
            const int entry = ends[i] - (i ? ends[i - 1] : 0);
            whole = whole && entry % 64 == 0;
            pixels[i] = entry / 64;
        }
        left = pixelsToNext();
    }

    bool on() const { return !d->count || ((index + on0) & 1); }

    // Pixels until the entry changes (at least 1); unbounded for a solid pen.
    int run() const
    {
        if (!d->count)
            return INT32_MAX;
        return whole ? left : pixelsToNext();
    }

    // Advances by n pixels, n <= run().
    void advance(int n)
    {
        if (!d->count)
            return;
        if (whole) {
            left -= n;
            if (left == 0) {
                index = index + 1 == d->count ? 0 : index + 1;
                left = pixels[index];
            }
            return;
        }
        offset += 64 * n;
        if (offset >= ends[index])
            index = (index + 1) % d->count;
        offset %= d->length;
    }

    // A pattern of whole pixels: after the current entry every entry is walked whole.
    bool wholeEntries() const { return d->count && whole; }
    int entry() const { return index; }
    int entries() const { return d->count; }
    int pixelsLeft() const { return left; }
    int entryPixels(int i) const { return pixels[i]; }
    bool entryOn(int i) const { return (i + on0) & 1; }

    // Advances by any number of pixels.
    void skip(int n)
    {
        while (n > 0) {
            const int step = std::min(n, run());
            advance(step);
            n -= step;
        }
    }

private:
    int pixelsToNext() const
    {
        const int toEnd = ends[index] - offset;
        return toEnd <= 64 ? 1 : (toEnd + 63) / 64;
    }

    const Dashes *d;
    const int *ends = nullptr;
    int on0 = 1;
    int offset = 0;
    int index = 0;
    bool whole = false;
    int left = 0; // whole entries: pixels left in the current one
    int pixels[kMaxDashes] = {};
};

// Clips the line to [xmin, xmax] x [ymin, ymax] as the stroker does, in the same order and the same
// floating point steps; false when nothing is left.
bool clipLine(double &x1, double &y1, double &x2, double &y2, const double box[4])
{
    const double xmin = box[0], xmax = box[1], ymin = box[2], ymax = box[3];
    if (x1 < xmin) {
        if (x2 <= xmin)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax)
            return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax)
            return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

// a / b in 16.16, truncated toward zero.
int fixedRatio(int a, int b)
{
    return static_cast<int>(static_cast<qint64>(a) * 65536 / b);
}

// The first k >= 0 at which a + k * step reaches `bound` (step > 0) or falls below it (step < 0);
// 0 when it is there already, INT32_MAX when it never gets there.
int stepsTo(qint64 a, int step, qint64 bound)
{
    if (step > 0)
        return a >= bound ? 0 : int(std::min<qint64>((bound - a + step - 1) / step, INT32_MAX));
    if (step < 0)
        return a < bound ? 0 : int(std::min<qint64>((a - bound) / -step + 1, INT32_MAX));
    return INT32_MAX;
}

// Sets n pixels of a walk from k on, the other coordinate at a (16.16, advanced past them) moving
// by step; all of them inside the image and the clip.
template <bool Steep>
inline void plot(const RasterTarget &t, uint32_t argb, int k, int n, int &a, int step)
{
    if (Steep) {
        uint32_t *p = t.row(k);
        for (int i = 0; i < n; ++i, p += t.stride, a += step)
            p[a >> 16] = argb;
    } else if (step == 0) {
        std::fill_n(t.row(a >> 16) + k, n, argb);
    } else if (n < 16) {
        uint32_t *p = t.pixels + k;
        for (int i = 0; i < n; ++i, ++p, a += step)
            p[qsizetype(a >> 16) * t.stride] = argb;
    } else {
        // A long stretch of a flat line: row by row.
        while (n > 0) {
            const int y = a >> 16;
            qint64 inRow = n;
            if (step > 0)
                inRow = ((qint64(y + 1) << 16) - a + step - 1) / step;
            else if (step < 0)
                inRow = (a - (qint64(y) << 16)) / -step + 1;
            const int m = int(std::min<qint64>(inRow, n));
            std::fill_n(t.row(y) + k, m, argb);
            k += m;
            n -= m;
            a += m * step;
        }
    }
}

// The pixels of one walk: along the longer axis over [first, last), the other coordinate starting
// at `across` (16.16) and moving by `step` per pixel; (across, along) pixels when steep, else
// (along, across). Each clip rectangle takes the stretch of the walk within its extent: along the
// walk directly, across it where the monotonic other coordinate enters and leaves.
template <bool Steep>
void walk(const RasterTarget &t,
          uint32_t argb,
          int first,
          int last,
          int across,
          int step,
          const DashWalk &start)
{
    for (const QRect &c : t.clip) {
        int from = std::max(first, Steep ? c.top() : c.left());
        int to = std::min(last, (Steep ? c.bottom() : c.right()) + 1);
        if (from >= to)
            continue;
        const qint64 low = qint64(Steep ? c.left() : c.top()) << 16;
        const qint64 high = qint64((Steep ? c.right() : c.bottom()) + 1) << 16;
        const qint64 a0 = across + qint64(from - first) * step;
        // Inside [low, high) from `enter` steps on until `leave` steps.
        int enter = 0;
        int leave = INT32_MAX;
        if (step == 0) {
            if (a0 < low || a0 >= high)
                continue;
        } else {
            enter = stepsTo(a0, step, step > 0 ? low : high);
            leave = stepsTo(a0, step, step > 0 ? high : low);
        }
        const int stop = int(std::min<qint64>(to, qint64(from) + leave));
        from = int(std::min<qint64>(to, qint64(from) + enter));
        to = stop;
        if (from >= to)
            continue;
        DashWalk dash = start;
        dash.skip(from - first);
        // Within the image widened by a pixel, so within int.
        int a = static_cast<int>(across + qint64(from - first) * step);
        if (dash.run() == INT32_MAX) {
            plot<Steep>(t, argb, from, to - from, a, step);
        } else if (dash.wholeEntries()) {
            int entry = dash.entry();
            for (int k = from, n = dash.pixelsLeft();;) {
                const int m = std::min(n, to - k);
                if (dash.entryOn(entry))
                    plot<Steep>(t, argb, k, m, a, step);
                else
                    a += m * step;
                k += m;
                if (k == to)
                    break;
                entry = entry + 1 == dash.entries() ? 0 : entry + 1;
                n = dash.entryPixels(entry);
            }
        } else {
            for (int k = from; k < to;) {
                const int n = std::min(dash.run(), to - k);
                if (dash.on())
                    plot<Steep>(t, argb, k, n, a, step);
                else
                    a += n * step;
                k += n;
                dash.advance(n);
            }
        }
    }
}

bool fastLine(QPainter *p, int px0, int py0, int px1, int py1)
{
    const RasterTarget t(p);
    if (!t.isValid())
        return false;
    const QPen &pen = p->pen();
    uint32_t argb = 0;
    const double w = pen.widthF();
    if ((w != 1.0 && w != 0.0) || pen.style() == Qt::NoPen
        || pen.brush().style() != Qt::SolidPattern || !pen.brush().transform().isIdentity()
        || !opaquePixel(pen.color(), argb))
        return false;
    Dashes dashes;
    if (!readDashes(pen, dashes))
        return false;

    double x1 = double(px0) + t.dx, y1 = double(py0) + t.dy;
    double x2 = double(px1) + t.dx, y2 = double(py1) + t.dy;
    if (x1 == x2 && y1 == y2) {
        t.set(static_cast<int>(x1), static_cast<int>(y1), argb);
        return true;
    }
    // The image widened by a pixel: the stroker clips to the whole device, not to the clip.
    const double box[4] = {-1.0, t.width + 1.0, -1.0, t.height + 1.0};
    if (!clipLine(x1, y1, x2, y2, box))
        return true;
    int ax = static_cast<int>(x1 * 64.), ay = static_cast<int>(y1 * 64.);
    int bx = static_cast<int>(x2 * 64.), by = static_cast<int>(y2 * 64.);
    const bool caps = pen.capStyle() != Qt::FlatCap;
    const bool steep = std::abs(bx - ax) < std::abs(by - ay);
    if (!steep && ax == bx)
        return true;
    // Walk down (steep) or right: a line the other way round is walked from its end.
    bool backward = steep ? ay > by : ax > bx;
    if (backward) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    // Along the walk: from a to b; across: the other axis.
    const int a0 = steep ? ay : ax, a1 = steep ? by : bx;
    const int c0 = steep ? ax : ay, c1 = steep ? bx : by;
    const int step = fixedRatio(c1 - c0, a1 - a0);
    int across = c0 * 1024;
    int from = a0, to = a1;
    if (caps) {
        from -= 32;
        across -= step >> 1;
        to += 32;
    }
    const int first = (from + 32) >> 6;
    const int last = (to + 32) >> 6;
    if (first == last)
        return true;
    across += ((first * 64) + (step > 0 ? 32 : 0) - from) * step >> 6;
    const DashWalk dash(dashes, backward, first * 64, last * 64);
    if (steep)
        walk<true>(t, argb, first, last, across, step, dash);
    else
        walk<false>(t, argb, first, last, across, step, dash);
    return true;
}

} // namespace

void drawPixelLine(QPainter *p, int x0, int y0, int x1, int y1)
{
    if (!fastLine(p, x0, y0, x1, y1))
        p->drawLine(x0, y0, x1, y1);
}
