#include "chcoord.h"

#include <QRectF>

#include <cmath>

ChCoord::ChCoord(QObject *parent) : QObject(parent) {}

void ChCoord::setScreen(double x0, double y0, double x1, double y1)
{
    sx0 = x0;
    sy0 = y0;
    sx1 = x1;
    sy1 = y1;
}

void ChCoord::setWorld(double x0, double y0, double x1, double y1)
{
    wx0 = x0;
    wy0 = y0;
    wx1 = x1;
    wy1 = y1;
}

// The ratio is taken first, then the product, then the sum: the rounding of mapped
// positions depends on that order, and grid lines and hit tests rely on it being stable.
double ChCoord::toScreenX(double x) const
{
    return (sx1 - sx0) / (wx1 - wx0) * (x - wx0) + sx0;
}

double ChCoord::toScreenY(double y) const
{
    return (sy1 - sy0) / (wy1 - wy0) * (y - wy0) + sy0;
}

double ChCoord::toWorldX(double sx) const
{
    return (wx1 - wx0) / (sx1 - sx0) * (sx - sx0) + wx0;
}

double ChCoord::toWorldY(double sy) const
{
    return (wy1 - wy0) / (sy1 - sy0) * (sy - sy0) + wy0;
}

bool mapsToPixels(const ChCoord &cc)
{
    const double kx = (cc.sx1 - cc.sx0) / (cc.wx1 - cc.wx0);
    const double ky = (cc.sy1 - cc.sy0) / (cc.wy1 - cc.wy0);
    return std::isfinite(kx) && std::isfinite(ky) && kx != 0 && ky != 0 && std::isfinite(cc.wx0)
           && std::isfinite(cc.wx1) && std::isfinite(cc.wy0) && std::isfinite(cc.wy1);
}

void setWorldFromView(ChCoord &cc, const QRectF &view)
{
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
}
