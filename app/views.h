#pragma once

#include <QRectF>

// The visible rectangle r grown in its too-short direction, about its centre, so that one world
// unit spans as many pixels across as up on a surface of w x h pixels. A zero size on either
// side gives non-finite ratios, which are used as they come.
QRectF squaredView(const QRectF &r, int w, int h);
