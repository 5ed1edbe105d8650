#include "gridline.h"

#include "rastertarget.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

void drawGridLine(QPainter *p, int x0, int y0, int x1, int y1)
{
    const QPen &pen = p->pen();
    const int w = pen.width();
    const bool plain = (w == 1 || w == 2) && pen.style() == Qt::SolidLine
                       && pen.capStyle() == Qt::SquareCap && pen.brush().style() == Qt::SolidPattern
                       && pen.color().alpha() == 255 && !pen.isCosmetic()
                       && p->transform().type() <= QTransform::TxTranslate
                       && p->transform().dx() == std::floor(p->transform().dx())
                       && p->transform().dy() == std::floor(p->transform().dy())
                       && !p->testRenderHint(QPainter::Antialiasing)
                       && p->compositionMode() == QPainter::CompositionMode_SourceOver
                       && p->device() && p->device()->devicePixelRatioF() == 1.0
                       && p->paintEngine()->type() == QPaintEngine::Raster;
    const qint64 along = x0 == x1 ? qint64(y1) - y0 : qint64(x1) - x0;
    if (!plain || (x0 != x1 && y0 != y1) || along > 1000000000 || along < -1000000000) {
        p->drawLine(x0, y0, x1, y1);
        return;
    }
    // Width 1 sets both end pixels. Width 2 with square caps covers [c - 1, c + 1] across and one
    // pixel more before the nearer end: the pixels whose centres lie inside are the rows (or
    // columns) c - 1 and c, from lo - 1 to hi.
    const int ext = w == 2 ? 1 : 0;
    QRect r;
    if (x0 == x1) {
        const int lo = std::min(y0, y1);
        const int hi = std::max(y0, y1);
        r = QRect(x0 - ext, lo - ext, w, hi - lo + 1 + ext);
    } else {
        const int lo = std::min(x0, x1);
        const int hi = std::max(x0, x1);
        r = QRect(lo - ext, y0 - ext, hi - lo + 1 + ext, w);
    }
    // Straight into the image where it can be, else through the engine's rectangle fill.
    const RasterTarget t(p);
    uint32_t argb = 0;
    if (t.isValid() && opaquePixel(pen.color(), argb))
        t.fill(r.translated(t.dx, t.dy), argb);
    else
        p->fillRect(r, pen.color());
}
