#include "drawtext.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Text placed beyond this many pixels cannot be seen, and Qt's glyph positioning works in
// fixed point that overflows far below the int range.
constexpr double kTextLimit = 1e6;

bool placeable(const QRectF &r)
{
    for (double v : {r.left(), r.top(), r.right(), r.bottom()})
        if (!std::isfinite(v) || std::fabs(v) > kTextLimit)
            return false;
    return true;
}

} // namespace

DrawText::DrawText(QObject *parent) : QObject(parent) {}

void DrawText::drawText(
    QPainter *p, QRectF r, QFont font, int flags, int mode, QString text, double maxSize) const
{
    r = r.normalized();
    QFont f = font;
    bool show = placeable(r);
    if (show && mode == 1) {
        f.setPointSizeF(10.0);
        p->setFont(f);
        const QRectF b = p->boundingRect(QRectF(0, 0, 5000, 5000), flags, text);
        const double sx = b.width() == 0.0 ? 1.0 : r.width() / b.width();
        const double sy = b.height() == 0.0 ? 1.0 : r.height() / b.height();
        double size = 10.0 * std::min(sx, sy);
        if (maxSize > 0.0)
            size = std::min(maxSize, size);
        // A rectangle too small for any size (zero width or height) shows nothing.
        show = size > 0.0 && std::isfinite(size);
        if (show) {
            f.setPointSizeF(size);
            p->setFont(f);
        }
    } else {
        p->setFont(font);
    }
    if (show)
        p->drawText(r, flags, text);
    p->setFont(font);
}
