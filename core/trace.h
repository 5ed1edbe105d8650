#pragma once

#include "crystaloptics.h"

#include <QRectF>
#include <QString>
#include <QVector>

// Tracing of a crystal array: crossings of the reflected centre beams, the focus (their
// average), the image point and the default extents of the plot windows. Crystals are given
// in list order; crystal i has the number i + 1.

using CrystalList = QVector<const CrystalOptics *>;

// The list of the crystals held in order by value (layouts, tests).
CrystalList crystalList(const QVector<CrystalOptics> &crystals);

// Midpoint of the surface as the tracing averages it: ((x + (L c + x)) / 2, ...).
Point surfaceCentre(const CrystalOptics &crystal);

// The pairs whose crossings the averaged focus takes although no beam meets there.
struct PairCounts
{
    qint64 parallel = 0; // the arithmetic cannot place the crossing: counted at the origin
    qint64 behind = 0;   // the crossing lies behind the start of either ray
};

// Clears both lists, then adds the crossing of the reflected centre rays of every pair (i, j),
// i < j, in the order (0, 1), (0, 2), ..., (1, 2), ... (the crossing of the infinite lines,
// the origin for parallel rays) and the surface centre of every crystal. Counts the parallel
// pairs and those crossing behind a ray's start into *counts, as focusQuality counts them.
void crossCentreRays(const CrystalList &crystals,
                     PointList &crossPoints,
                     PointList &centres,
                     PairCounts *counts = nullptr);

// The middle of the array mirrored through the focus.
Point imagePoint(const Point &focus, const Point &middle);

// "%1-%2[eV]" with both energies in general format, six significant digits.
QString energyRangeLabel(double firstEnergy, double lastEnergy);

// Appends the focus (average of the crossings) and the image point, both labelled, to the two
// histories. Without crossings (fewer than two crystals) nothing is added: returns false.
bool addFocus(const PointList &crossPoints,
              const PointList &centres,
              const QString &label,
              PointList &avrCps,
              PointList &avrIps);

// "Rest CPs": both histories restart from the current focus, the image seeded at twice the
// focus, without labels; both stay empty when there are no crossings.
void restartHistories(const PointList &crossPoints, PointList &avrCps, PointList &avrIps);

// Bounding box of the points with a 10 % margin on every side, as (x, y, width, height).
// Without points it is (1.2e300, 1.2e300, -2.4e300, -2.4e300).
QRectF marginBox(const QVector<Point> &points);

// Default view of the whole design: the start of every beam ray and the middle of every surface
// (every drawn shape that has a position), and the focus.
QRectF overallExtent(const CrystalList &crystals, const Point &crossAverage);

// Default view of the crystals: both ends of every surface.
QRectF crystalsExtent(const CrystalList &crystals);

// The rectangle moved so that its centre is p, its size kept.
QRectF centredOn(const QRectF &r, const Point &p);

// The newest entry of a history, or the origin when it is empty.
Point newestOr0(const PointList &history);
