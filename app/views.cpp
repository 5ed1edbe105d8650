#include "views.h"

QRectF squaredView(const QRectF &r, int w, int h)
{
    const double pw = w;
    const double ph = h;
    if (ph / pw <= r.height() / r.width()) {
        const double width = (pw / ph) * r.height();
        return QRectF(r.x() - (width - r.width()) * 0.5, r.y(), width, r.height());
    }
    const double height = r.width() * (ph / pw);
    return QRectF(r.x(), r.y() - (height - r.height()) * 0.5, r.width(), height);
}
