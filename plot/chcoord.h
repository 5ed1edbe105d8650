#pragma once

#include <QObject>

class QRectF;

// Linear world <-> screen mapping of one plot, independently in x and y.
// World y grows upwards; the owner passes the screen rectangle with its y edges swapped.
// A degenerate rectangle (zero width or height) yields non-finite results; callers that
// convert to integer pixels must check for that.
class ChCoord : public QObject
{
    Q_OBJECT

public:
    explicit ChCoord(QObject *parent = nullptr);

    void setScreen(double x0, double y0, double x1, double y1);
    void setWorld(double x0, double y0, double x1, double y1);

    double toScreenX(double x) const;
    double toScreenY(double y) const;
    double toWorldX(double sx) const;
    double toWorldY(double sy) const;

    // Pixels: sy0 and sy1 are the rows that correspond to wy0 and wy1.
    double sx0 = 0.0;
    double sx1 = 1.0;
    double sy0 = 0.0;
    double sy1 = 1.0;
    // World units.
    double wx0 = 0.0;
    double wx1 = 1.0;
    double wy0 = 0.0;
    double wy1 = 1.0;
};

// cc's world set from a view: a world rectangle, x and y its lower left corner.
void setWorldFromView(ChCoord &cc, const QRectF &view);

// A view that maps world to finite, distinct pixels. A zero-sized, reversed-to-nothing or
// non-finite view, or an empty surface, shows only the background.
bool mapsToPixels(const ChCoord &cc);
