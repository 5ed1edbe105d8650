#pragma once

#include <QFont>
#include <QObject>
#include <QRectF>
#include <QString>

class QPainter;

// Draws a text into a rectangle, optionally with the point size chosen so that it fits.
// Keeps no state between calls.
class DrawText : public QObject
{
    Q_OBJECT

public:
    explicit DrawText(QObject *parent = nullptr);

    // r in pixels, width and height may be negative; flags are Qt alignment/text flags;
    // mode 1 fits the size to r (never above maxSize when maxSize > 0), any other mode keeps
    // font. Afterwards the painter's font is font, whatever it was before.
    void drawText(
        QPainter *p, QRectF r, QFont font, int flags, int mode, QString text, double maxSize) const;
};
