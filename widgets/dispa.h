#pragma once

#include "chcoord.h"
#include "mousec.h"

#include <QColor>
#include <QFrame>

class QPainter;

// The drawing surface of a plot: clears itself, fixes the screen side of its mapping and asks
// by signal to be painted; mouse and wheel events go to its mouse record and on as signals.
class DispA : public QFrame
{
    Q_OBJECT

public:
    explicit DispA(QWidget *parent = nullptr);

    ChCoord cc;
    MouseC mc;
    QColor bgColor = QColor(255, 255, 255);

signals:
    void drawImage1(QPainter *p);
    void drawImage2(QPainter *p);
    void mouseMoved0();
    void mousePressed0();
    void mouseReleased0();
    void mouseDoubleClicked0();
    void wheelMoved0();

public slots:
    void paintEvent(QPaintEvent *p) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
};
