#pragma once

#include "geometry.h"

#include <QString>

// The texts of the main window's read-outs.

// One number of a read-out, right-aligned in width characters with the given decimals; a number
// with more than 15 digits before the point (a view zoomed far out) as %.6e instead, so that the
// label stays short.
QString readoutNumber(double v, int width, int decimals);
// "(x, y): distance from the origin", each number right-aligned in 8 characters, 3 decimals.
QString positionReadout(double x, double y);
// "(x0, y0)-(x1, y1) : length", the length right-aligned in 11 characters, 6 decimals.
QString measureReadout(const Line &l);
