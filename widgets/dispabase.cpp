#include "dispabase.h"

#include <QPainter>

DispABase::DispABase(QWidget *parent) : QDialog(parent), realC0(-10, -10, 20, 20), realC(0, 0, 0, 0)
{
    setLayout(&layout);
    layout.addWidget(&disp);
    resize(900, 600);
    connect(&disp, &DispA::drawImage2, this, &DispABase::drawImage2);
    connect(&disp.mc, &MouseC::mMoved, this, &DispABase::mMoved);
    connect(&disp.mc, &MouseC::wMoved, this, &DispABase::wMoved);
}

void DispABase::drawImage2(QPainter *p)
{
    emit drawImage(p);
}

void DispABase::mMoved()
{
    emit mouseMoved();
}

void DispABase::wMoved(int step)
{
    emit wheelMoved(step);
}

void DispABase::resetScale()
{
    realC = realC0;
}

void DispABase::setRealC0(QRectF realC0)
{
    this->realC0 = realC0;
}

void DispABase::setRealC(QRectF realC)
{
    this->realC = realC;
}
