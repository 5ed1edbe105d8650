#pragma once

#include <QPointer>
#include <QScrollArea>

// The crystal rows under their column titles. The rows scroll; the title row, which the list's
// layout puts above the first row, stays at the top of the view. The area asks for the height of
// the whole list up to a limit that the window sets, and, when the limit cuts the list, for its
// width plus the scroll bar's, so that the bar neither covers nor squeezes a field.
class RowScroll : public QScrollArea
{
    Q_OBJECT

public:
    explicit RowScroll(QWidget *parent = nullptr);

    // The row kept in view at the top, a child of the scrolled widget, and the gap its layout
    // leaves below it.
    void pinRow(QWidget *row, int gapBelow);
    // The most height the area asks for, in pixels; the rows beyond it scroll. It never asks for
    // less than the pinned row and about one row under it.
    void setHeightLimit(int pixels);
    int heightLimit() const { return limit; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepPinnedRowInView();

    QPointer<QWidget> pinned;
    // Background behind the pinned row while rows scroll under it.
    QPointer<QWidget> cover;
    int gap = 0;
    // Where the list's layout puts the pinned row, and whether it stands elsewhere now.
    int pinnedTop = 0;
    bool pinnedShifted = false;
    bool movingPinned = false;
    int limit = QWIDGETSIZE_MAX;
};
