#pragma once

#include "rastertarget.h"

#include <cstdint>
#include <limits>
#include <vector>

class QPainter;

// The disc that marks a point at screen position (sx, sy): an ellipse path in the rectangle
// (sx - 2, sy - 2, 5, 5), or (sx - 4, sy - 4, 9, 9) when large, filled with a solid brush of the
// painter's pen colour, no outline.
void fillPointDisc(QPainter *p, double sx, double sy, bool large);

// Many 5-pixel discs in the pen colour the painter has at construction, pixel for pixel as
// fillPointDisc draws them one by one, the painter's state unchanged in between.
//
// Qt fills such a disc by flattening its four Bezier quarters in floating point (16 edges),
// rounding the corners to 26.6 fixed point and setting the pixels whose centres lie inside, row by
// row in 16.16. Moved by whole pixels, the same corners give the same pixels moved; so the pixels
// depend only on where the corners fall within their 1/64 of a pixel. On each axis the corners lie
// at nine offsets from the disc's position: the first rounds to one of 64 places in the pixel, and
// the others then round up or down at six thresholds of the fraction it lost, 448 classes per axis
// in all. Each pair of classes has one pixel mask, worked out on first use by the same fixed point
// scan and kept. A disc across a side of a single clip rectangle is worked out by that scan with
// Qt's cut at the clip. Left to Qt: a disc whose corner lies within a hair of a rounding threshold
// (where the floating point steps could tip it), at the top or left edge of the image, across a
// clip of several rectangles, or not drawn into a RasterTarget.
class PointDiscs
{
public:
    // skipRepeats: a disc at exactly the position of an earlier one sets no new pixel when the
    // colour is opaque and the fill aliased; with it, such a repeat that Qt would fill is not drawn
    // again (a mask is written again at less cost than a look-up). Only for discs drawn one after
    // another with nothing else between them.
    PointDiscs(QPainter *p, bool skipRepeats);

    void fill(double sx, double sy);

    // Class numbers on each axis (448 of them occur). classOf gives the classes of a disc at
    // device position (sx, sy), or false where its corners lie too near a threshold (or at the
    // image's top or left edge) and Qt fills it.
    static constexpr int kClasses = 577;
    static bool classOf(double sx, double sy, int &xClass, int &yClass);

private:
    // The bits of a position's doubles; a NaN x (never drawn) marks a free slot.
    struct Position
    {
        quint64 x = kFree, y = 0;
    };
    static constexpr quint64 kFree = 0x7ff8000000000000ULL;

    bool fillFast(double sx, double sy);
    bool seen(double sx, double sy);
    bool insert(Position key);

    QPainter *painter;
    RasterTarget target;
    uint32_t argb = 0;
    bool fast = false;
    bool skipRepeats = false;
    std::vector<Position> repeats; // open addressing on the positions drawn
    size_t repeatCount = 0;
    // The disc written last by the fast path (NaN: none).
    double lastX = std::numeric_limits<double>::quiet_NaN();
    double lastY = std::numeric_limits<double>::quiet_NaN();
};
