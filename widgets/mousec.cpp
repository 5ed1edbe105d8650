#include "mousec.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace {

// Event positions come from the window system and are small, but a synthetic event can
// carry anything: keep the conversion to int defined.
int pixel(double v)
{
    constexpr double limit = 1e9;
    if (std::isnan(v))
        return 0;
    const double r = std::floor(v + 0.5);
    return static_cast<int>(r < -limit ? -limit : (r > limit ? limit : r));
}

} // namespace

MouseC::MouseC(QObject *parent) : QObject(parent) {}

QPoint MouseC::nearestPixel(const QPointF &p)
{
    return QPoint(pixel(p.x()), pixel(p.y()));
}

int MouseC::wheelStep(int delta)
{
    return static_cast<int>(delta * 0.125 / 15.0);
}

void MouseC::mouseMove(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = nearestPixel(e->localPos());
    moveButton = e->button();
    moveModifiers = static_cast<int>(e->modifiers());
    emit mMoved();
}

void MouseC::mousePress(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = pressPos = nearestPixel(e->localPos());
    pressed = true;
    pressButton = e->button();
    pressModifiers = static_cast<int>(e->modifiers());
    emit mPressed();
}

void MouseC::mouseRelease(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = releasePos = nearestPixel(e->localPos());
    pressed = false;
    releaseButton = e->button();
    releaseModifiers = static_cast<int>(e->modifiers());
    emit mReleased();
}

void MouseC::mouseDoubleClick(QMouseEvent *e)
{
    dClickPos = nearestPixel(e->localPos());
    dClickButton = e->button();
    dClickModifiers = static_cast<int>(e->modifiers());
    emit mDClicked();
}

void MouseC::wheel(QWheelEvent *e)
{
    // The dominant axis of the turn, as the single-axis delta of older Qt reported it.
    const QPoint a = e->angleDelta();
    const int delta = std::abs(a.x()) > std::abs(a.y()) ? a.x() : a.y();
    emit wMoved(wheelStep(delta));
}
