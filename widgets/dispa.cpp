#include "dispa.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

DispA::DispA(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    // Moves without a held button drive the hover highlight and the cursor read-out.
    setAttribute(Qt::WA_MouseTracking);
}

void DispA::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), bgColor);
    cc.setScreen(0, static_cast<double>(height()), static_cast<double>(width()), 0);
    emit drawImage1(&p);
    emit drawImage2(&p);
    p.end();
}

void DispA::mouseMoveEvent(QMouseEvent *e)
{
    // Alt is left to the window manager (window drags): such moves are not ours.
    if (e->modifiers() & Qt::AltModifier)
        return;
    mc.mouseMove(e);
    emit mouseMoved0();
    update();
}

void DispA::mousePressEvent(QMouseEvent *e)
{
    mc.mousePress(e);
    emit mousePressed0();
    update();
}

void DispA::mouseReleaseEvent(QMouseEvent *e)
{
    mc.mouseRelease(e);
    emit mouseReleased0();
    update();
}

void DispA::mouseDoubleClickEvent(QMouseEvent *e)
{
    mc.mouseDoubleClick(e);
    emit mouseDoubleClicked0();
    update();
}

void DispA::wheelEvent(QWheelEvent *e)
{
    mc.wheel(e);
    emit wheelMoved0();
    update();
}
