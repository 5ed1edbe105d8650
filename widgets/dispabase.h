#pragma once

#include "dispa.h"

#include <QDialog>
#include <QGridLayout>
#include <QRectF>

class QPainter;

// A plot window: one drawing surface and the visible world rectangles (x, y, width, height
// with x, y the lower left corner). Emits drawImage once per paint, mouseMoved after every
// recorded move and wheelMoved after every wheel event. Nothing here repaints by itself.
class DispABase : public QDialog
{
    Q_OBJECT

public:
    explicit DispABase(QWidget *parent = nullptr);

    QGridLayout layout;
    DispA disp;
    QRectF realC0; // default view
    QRectF realC;  // current view

signals:
    void drawImage(QPainter *p);
    void wheelMoved(int step);
    void mouseMoved();

public slots:
    void drawImage2(QPainter *p);
    void mMoved();
    void wMoved(int step);
    void resetScale();
    void setRealC0(QRectF realC0);
    void setRealC(QRectF realC);
};
