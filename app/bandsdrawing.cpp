#include "bandsdrawing.h"

#include "chcoord.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Screen positions of world rectangles are kept within this many pixels of the window before
// they are drawn: nothing beyond is seen, and the painter's fixed point must not overflow.
constexpr double kReach = 1e5;

double clampToReach(double v)
{
    return std::clamp(v, -kReach, kReach);
}

// The rectangle's pixels, at least one either way, clipped to the window with a small margin;
// empty when it is not on the screen or its corners are not finite.
QRectF screenRect(const ChCoord &cc, double x0, double x1, double y0, double y1, const QRectF &w)
{
    const double sx0 = cc.toScreenX(x0), sx1 = cc.toScreenX(x1);
    const double sy0 = cc.toScreenY(y0), sy1 = cc.toScreenY(y1);
    if (!std::isfinite(sx0) || !std::isfinite(sx1) || !std::isfinite(sy0) || !std::isfinite(sy1))
        return QRectF();
    const auto span = [](double a, double b) {
        double lo = std::min(a, b);
        double hi = std::max(a, b);
        if (hi - lo < 1.0) {
            const double mid = 0.5 * (lo + hi);
            lo = mid - 0.5;
            hi = mid + 0.5;
        }
        return std::make_pair(lo, hi);
    };
    const auto x = span(sx0, sx1);
    const auto y = span(sy0, sy1);
    return QRectF(QPointF(x.first, y.first), QPointF(x.second, y.second))
        .intersected(w.adjusted(-2, -2, 2, 2));
}

} // namespace

void fillWorldRect(QPainter *p,
                   const ChCoord &cc,
                   double x0,
                   double x1,
                   double y0,
                   double y1,
                   const QColor &colour,
                   const QRectF &window)
{
    const QRectF r = screenRect(cc, x0, x1, y0, y1, window);
    if (!r.isEmpty())
        p->fillRect(r, colour);
}

void outlineWorldRect(QPainter *p,
                      const ChCoord &cc,
                      double x0,
                      double x1,
                      double y0,
                      double y1,
                      const QColor &colour,
                      const QRectF &window)
{
    // Unclipped first, so that only the edges in sight are drawn.
    const QRectF whole
        = screenRect(cc, x0, x1, y0, y1, QRectF(-kReach, -kReach, 2 * kReach, 2 * kReach));
    if (whole.isEmpty())
        return;
    const QRectF shown = whole.intersected(window.adjusted(-2, -2, 2, 2));
    if (shown.isEmpty())
        return;
    const auto edge = [&](const QRectF &e) {
        const QRectF r = e.intersected(shown);
        if (!r.isEmpty())
            p->fillRect(r, colour);
    };
    edge(QRectF(whole.left(), whole.top(), whole.width(), 1));
    edge(QRectF(whole.left(), whole.bottom() - 1, whole.width(), 1));
    edge(QRectF(whole.left(), whole.top(), 1, whole.height()));
    edge(QRectF(whole.right() - 1, whole.top(), 1, whole.height()));
}

void drawSteps(QPainter *p,
               const ChCoord &cc,
               double from,
               double step,
               const QVector<double> &values,
               const QColor &colour,
               const QRectF &window)
{
    if (values.isEmpty() || !(step > 0))
        return;
    QPolygonF line;
    line.reserve(2 * values.size() + 2);
    const auto add = [&](double x, double y) {
        const double sx = cc.toScreenX(x), sy = cc.toScreenY(y);
        if (std::isfinite(sx) && std::isfinite(sy))
            line.append(QPointF(clampToReach(sx), clampToReach(sy)));
    };
    add(from, 0.0);
    for (int k = 0; k < values.size(); ++k) {
        add(from + k * step, values[k]);
        add(from + (k + 1) * step, values[k]);
    }
    add(from + values.size() * step, 0.0);
    if (!line.boundingRect().intersects(window.adjusted(-2, -2, 2, 2)))
        return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    QPen pen(colour);
    pen.setWidth(2);
    p->setPen(pen);
    p->drawPolyline(line);
    p->restore();
}

void drawAxisTitles(QPainter *p, const QRectF &window, const QString &x, const QString &y)
{
    p->save();
    const QFontMetrics fm(p->font());
    const int h = fm.height();
    // On a light ground, so that the grid's labels and the bars do not cross the words.
    const auto title = [&](const QRectF &line, const QString &text) {
        const double w = fm.horizontalAdvance(text) + 8;
        p->fillRect(QRectF(line.center().x() - w / 2, line.top(), w, line.height()),
                    QColor(255, 255, 255, 220));
        p->setPen(QColor(64, 64, 64));
        p->drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, text);
    };
    title(QRectF(window.left(), window.bottom() - h - 3, window.width(), h), x);
    p->translate(window.left() + 2, window.center().y());
    p->rotate(-90);
    title(QRectF(-window.height() / 2, 0, window.height(), h), y);
    p->restore();
}

void drawLegend(QPainter *p, const QRectF &window, const QVector<LegendEntry> &entries)
{
    if (entries.isEmpty())
        return;
    p->save();
    const QFontMetrics fm(p->font());
    const int line = fm.height() + 2;
    const int swatch = 18;
    int textWidth = 0;
    for (const LegendEntry &e : entries)
        textWidth = std::max(textWidth, fm.horizontalAdvance(e.text));
    const QRectF box(window.right() - textWidth - swatch - 22,
                     window.top() + 22,
                     textWidth + swatch + 16,
                     entries.size() * line + 8);
    p->fillRect(box, QColor(255, 255, 255, 235));
    p->setPen(QColor(160, 160, 160));
    p->drawRect(box.adjusted(0, 0, -1, -1));
    for (int i = 0; i < entries.size(); ++i) {
        const LegendEntry &e = entries.at(i);
        const double top = box.top() + 4 + i * line;
        const QRectF s(box.left() + 5, top + 3, swatch, line - 6);
        switch (e.kind) {
        case LegendEntry::Fill:
            p->fillRect(s, e.colour);
            break;
        case LegendEntry::Outline:
            p->setPen(e.colour);
            p->drawRect(s.adjusted(0, 0, -1, -1));
            break;
        case LegendEntry::Tick:
            p->fillRect(QRectF(s.center().x() - 1, s.top() - 2, 2, s.height() + 4), e.colour);
            break;
        case LegendEntry::Line: {
            QPen pen(e.colour);
            pen.setWidth(2);
            p->setPen(pen);
            p->drawLine(QPointF(s.left(), s.center().y()), QPointF(s.right(), s.center().y()));
            break;
        }
        }
        p->setPen(QColor(32, 32, 32));
        p->drawText(QRectF(s.right() + 6, top, textWidth + 4, line),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    e.text);
    }
    p->restore();
}

void drawEmptyNote(QPainter *p, const QRectF &window, const QString &text)
{
    if (text.isEmpty())
        return;
    p->save();
    const QRectF box = window.adjusted(window.width() * 0.1, 0, -window.width() * 0.1, 0);
    p->setPen(QColor(40, 60, 120));
    p->drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
    p->restore();
}

QColor paler(const QColor &c)
{
    return QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2);
}
