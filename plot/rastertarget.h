#pragma once

#include <QRect>
#include <QVarLengthArray>

#include <cstdint>

class QColor;
class QPainter;

// The pixel fast paths (plain lines, point discs, grid lines written straight into the raster
// image) are on unless switched off here, process-wide. Off, every shape is drawn with the plain
// QPainter calls: the reference drawing that the fast paths are compared with.
void setPixelFastPaths(bool on);
bool pixelFastPaths();

// The Qt release whose raster engine the fast paths were proven against, pixel for pixel. Under any
// other release they stay off (a reimplemented rasteriser could drift from Qt's own) until the
// pixel tests are run against it and this is moved on.
constexpr char kProvenQtRelease[] = "5.15.";
// Whether the running Qt is that release.
bool provenQtRelease();

// The 32-bit raster image that a painter is drawing into, for code that sets the very pixels Qt's
// raster engine would set, in an opaque colour. Valid only while all of this holds (otherwise
// isValid() is false and the caller draws with QPainter):
// - the fast paths are on and the running Qt is the proven release;
// - Qt's raster engine paints a QImage (a widget's backing store, a pixmap or an image) of format
//   RGB32, ARGB32 or ARGB32_Premultiplied, not shared, at most kMaxSide pixels a side; vector
//   devices (SVG, PDF, printers, pictures) never qualify;
// - the painter maps by a translation of whole pixels (a widget's offset in its window) and has no
//   clip of its own (the clip of a widget paint, the system clip, is honoured);
// - no antialiasing and no Qt 4 compatible rounding, composition source-over, opacity 1.
// Read it afresh for every batch of drawing: it describes the painter's state when it was made.
class RasterTarget
{
public:
    static constexpr int kMaxSide = 16384;

    explicit RasterTarget(QPainter *p);

    bool isValid() const { return pixels != nullptr; }

    // Sets pixel (x, y), in device pixels, when it lies within the clip.
    void set(int x, int y, uint32_t argb) const
    {
        for (const QRect &r : clip)
            if (x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom()) {
                pixels[qsizetype(y) * stride + x] = argb;
                return;
            }
    }
    // The clip rectangle that holds the whole of r, or null when r is not inside one.
    const QRect *clipHolding(const QRect &r) const
    {
        for (const QRect &c : clip)
            if (r.left() >= c.left() && r.right() <= c.right() && r.top() >= c.top()
                && r.bottom() <= c.bottom())
                return &c;
        return nullptr;
    }
    uint32_t *row(int y) const { return pixels + qsizetype(y) * stride; }
    // Sets the pixels of r (device pixels) that lie within the clip.
    void fill(const QRect &r, uint32_t argb) const;

    uint32_t *pixels = nullptr;
    qsizetype stride = 0; // in pixels
    int width = 0;        // of the whole image, which bounds Qt's own line clipping
    int height = 0;
    int dx = 0; // device pixel = painter position + (dx, dy)
    int dy = 0;
    // Where pixels may be set: the image, or its part inside the system clip. Disjoint.
    QVarLengthArray<QRect, 4> clip;
};

// The 32-bit premultiplied value an opaque colour is written as; false when it is not opaque.
bool opaquePixel(const QColor &c, uint32_t &argb);
