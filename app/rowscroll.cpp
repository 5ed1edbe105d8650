#include "rowscroll.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>

RowScroll::RowScroll(QWidget *parent) : QScrollArea(parent)
{
    // Shown whole, the list looks as it does without the area around it.
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The fields take the keyboard focus, the area does not: Tab runs through the rows as before.
    setFocusPolicy(Qt::NoFocus);
}

void RowScroll::pinRow(QWidget *row, int gapBelow)
{
    QWidget *list = widget();
    if (!list || !row || row->parentWidget() != list)
        return;
    pinned = row;
    gap = gapBelow;
    pinnedShifted = false;
    // Rows pass under it: its own background hides them between its fields.
    row->setAutoFillBackground(true);
    row->installEventFilter(this);
    if (!cover) {
        cover = new QWidget(list);
        cover->setAutoFillBackground(true);
        cover->hide();
    }
    keepPinnedRowInView();
}

void RowScroll::setHeightLimit(int pixels)
{
    if (pixels == limit)
        return;
    limit = pixels;
    updateGeometry();
}

QSize RowScroll::minimumSizeHint() const
{
    const QWidget *list = widget();
    if (!list)
        return QScrollArea::minimumSizeHint();
    const QSize least = list->minimumSizeHint();
    // The pinned row and about one row under it stay, however small the screen.
    const int floor = pinned ? pinnedTop + 2 * (pinned->height() + gap) : 0;
    const int most = std::max(limit, floor);
    QSize size = least;
    if (least.height() > most) {
        // Beside the scroll bar the fields keep the width they have without it.
        size = QSize(list->sizeHint().expandedTo(least).width()
                         + verticalScrollBar()->sizeHint().width(),
                     most);
    }
    const int frame = 2 * frameWidth();
    return size + QSize(frame, frame);
}

QSize RowScroll::sizeHint() const
{
    // As tall as the whole list, should the user make the window taller.
    const QWidget *list = widget();
    if (!list)
        return QScrollArea::sizeHint();
    const QSize hint = list->sizeHint().expandedTo(list->minimumSizeHint());
    return QSize(std::max(minimumSizeHint().width(), hint.width() + 2 * frameWidth()),
                 hint.height() + 2 * frameWidth());
}

void RowScroll::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    keepPinnedRowInView();
}

bool RowScroll::eventFilter(QObject *watched, QEvent *event)
{
    const bool filtered = QScrollArea::eventFilter(watched, event);
    if (watched == pinned && event->type() == QEvent::Move && !movingPinned) {
        // The list's layout placed it: that is where it goes when the list is not scrolled.
        pinnedShifted = false;
        keepPinnedRowInView();
    } else if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        // The list's layout has just taken in a change (the layout sees the event first): the
        // size asked for follows.
        updateGeometry();
        keepPinnedRowInView();
    } else if (watched == widget() && event->type() == QEvent::Resize) {
        keepPinnedRowInView();
    }
    return filtered;
}

void RowScroll::keepPinnedRowInView()
{
    QWidget *list = widget();
    if (!pinned || !cover || !list)
        return;
    if (!pinnedShifted)
        pinnedTop = pinned->y();
    // The list sits at minus the scrolled distance in the view.
    const int scrolled = std::max(0, -list->y());
    const int y = pinnedTop + scrolled;
    if (pinned->y() != y) {
        movingPinned = true;
        pinned->move(pinned->x(), y);
        movingPinned = false;
    }
    pinnedShifted = scrolled > 0;
    if (scrolled == 0) {
        cover->hide();
        return;
    }
    cover->setGeometry(0, scrolled, list->width(), pinnedTop + pinned->height() + gap);
    cover->show();
    cover->raise();
    pinned->raise();
}
