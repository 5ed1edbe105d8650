#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

// Where windows open on the screen. Rectangles are window frames in screen pixels (title bar and
// borders included), as QWidget::pos() and move() place them.

// What a window manager adds around a window's contents, before it is known: a title bar and thin
// borders. Windows placed apart with this allowance do not cover each other's title bars.
constexpr QMargins kFrameAllowance(4, 32, 4, 4);

// The frame around a window's contents (QWidget::geometry()) with the given frame margins.
inline QRect frameAround(const QRect &contents, const QMargins &frame = kFrameAllowance)
{
    return contents.marginsAdded(frame);
}
// Where a window's contents go for its frame to stand at frameTopLeft.
inline QPoint contentsAt(const QPoint &frameTopLeft, const QMargins &frame = kFrameAllowance)
{
    return frameTopLeft + QPoint(frame.left(), frame.top());
}
// The margins of a window's frame (QWidget::frameGeometry() around geometry()) where the window
// system has told them, else the allowance.
QMargins frameMarginsOf(const QRect &frame, const QRect &contents);

// Top-left corners for windows of the given frame sizes, placed one after the other inside
// `available` (a screen's available geometry) around the rectangles already taken (the main
// window, windows at remembered places) and the ones placed before them. Each window goes to the
// first corner, from the top and then from the left, where it lies inside `available` and covers
// nothing; the corners tried are those that the screen's edges and the taken rectangles' right
// and bottom edges offer. Where no such corner exists (a small screen) it goes where it covers
// the least area, still inside `available`, among the corners where every window stays in sight:
// a piece of 64 x 16 pixels of it shows, the taken windows lying above all the placed ones and
// each placed window above those placed before it (the order in which they are shown). A window
// larger than the screen on a side keeps its size and is aligned to the screen's left or top
// edge.
QVector<QPoint>
windowPlaces(const QRect &available, const QVector<QRect> &taken, const QVector<QSize> &frameSizes);

// Whether a remembered frame can be used: the strip along its top, where the title bar is, lies
// on one of the screens with at least a grip of 64 x 16 pixels (or the whole strip, for a
// smaller window), so the user can reach and move it. A frame off every screen is not used.
bool reachableOnScreens(const QRect &frame, const QVector<QRect> &screens);
