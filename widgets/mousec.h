#pragma once

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWheelEvent;

// The last mouse events on one plot surface, relayed as signals. Positions are widget pixels.
class MouseC : public QObject
{
    Q_OBJECT

public:
    explicit MouseC(QObject *parent = nullptr);

    // Called by the surface's event handlers; each records the event, then emits.
    void mouseMove(QMouseEvent *e);
    void mousePress(QMouseEvent *e);
    void mouseRelease(QMouseEvent *e);
    void mouseDoubleClick(QMouseEvent *e); // leaves curPos and prevPos alone
    void wheel(QWheelEvent *e);

    // One notch per 15 degrees of wheel turn, truncated toward zero, sign kept.
    static int wheelStep(int delta);
    // Nearest pixel per coordinate, halves going up.
    static QPoint nearestPixel(const QPointF &p);

    QPoint prevPos;
    QPoint curPos;
    QPoint pressPos;
    QPoint releasePos;
    QPoint dClickPos;
    bool pressed = false;
    int moveButton = 0;
    int pressButton = 0; // Qt::LeftButton 1, Qt::RightButton 2
    int releaseButton = 0;
    int dClickButton = 0;
    int moveModifiers = 0;
    int pressModifiers = 0;
    int releaseModifiers = 0;
    int dClickModifiers = 0;

signals:
    void mMoved();
    void mPressed();
    void mReleased();
    void mDClicked();
    void wMoved(int step);
};
