// The crystal rows: one per crystal of the design, numbered, placed in the table under the
// column titles, their fields built once they come into view; the window fitted to them.
#include "body.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>

void Body::showRows()
{
    const Design &d = doc.design();
    const int n = d.crystals.size();
    // Rows are kept from one layout to the next: only the difference in count is made or thrown
    // away, the others show their crystal anew.
    while (crystals.size() > n) {
        ACrystal *c = crystals.takeLast();
        disconnect(c, nullptr, this, nullptr);
        // Out of the table now, so that the window can shrink to the rows left at once; the
        // object itself goes once control is back in the event loop.
        c->hide();
        CL->removeWidget(c);
        c->deleteLater();
    }
    const int kept = crystals.size();
    for (int i = 0; i < kept; ++i)
        crystals[i]->showCrystal(d.crystals.at(i), i + 1);
    if (kept == n)
        return;
    // Each row shown into the visible table would have Qt lay the whole table out again, once per
    // row: quadratic in the number of crystals. The table is hidden while new rows go in and is
    // shown once after (unless it holds the keyboard focus, which hiding would move).
    const QWidget *focus = QApplication::focusWidget();
    const bool hideTable = CLBase->isVisible() && !(focus && CLBase->isAncestorOf(focus));
    if (hideTable)
        CLBase->hide();
    for (int i = kept; i < n; ++i) {
        auto *c = new ACrystal(&doc, i + 1, CLBase);
        crystals.append(c);
        CL->addWidget(c, i + 1, 0);
        // Shown now rather than from the event loop, so that the fit counts it.
        c->show();
    }
    if (hideTable)
        CLBase->show();
}

void Body::buildRowsInView()
{
    if (crystals.isEmpty())
        return;
    // The part of the table the scroll area shows, in the table's own coordinates.
    const QRect view(QPoint(0, -CLBase->y()), CLScroll->viewport()->size());
    // Rows stand in order from the top: the first row at or below the view's top, found by
    // halving, and on from there while rows reach into the view.
    int lo = 0, hi = crystals.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (crystals[mid]->geometry().bottom() < view.top())
            lo = mid + 1;
        else
            hi = mid;
    }
    // One row beyond either end, so that Tab and the arrow of the scroll bar find fields there.
    int i = std::max(0, lo - 1);
    for (; i < crystals.size() && crystals[i]->geometry().top() <= view.bottom(); ++i)
        crystals[i]->buildRow();
    if (i < crystals.size())
        crystals[i]->buildRow();
}

void Body::fitToRows()
{
    // The nested layouts would take in the new rows only from the event loop, one level per
    // pass, too late for the window's resize (and not at all before the window is first shown).
    const auto layOutUpToWindow = [this] {
        for (QWidget *w = CLBase; w; w = w->parentWidget()) {
            if (QLayout *l = w->layout()) {
                l->invalidate();
                l->activate();
            }
            // The scroll area has no layout of its own to pass the table's new size on.
            if (w == CLScroll)
                w->updateGeometry();
            if (w == this)
                break;
        }
    };
    layOutUpToWindow();
    const int limit = rowsHeightLimit();
    if (limit != CLScroll->heightLimit()) {
        CLScroll->setHeightLimit(limit);
        layOutUpToWindow();
    }
    fittedRows = crystals.size();
}

int Body::rowsHeightLimit() const
{
    // The panels, the read-outs, the buttons and the comment stay on the screen; the rows take
    // the height left and scroll.
    const int rest = minimumSize().height() - CLScroll->minimumSizeHint().height();
    const int frame = frameGeometry().height() - geometry().height();
    const QScreen *s = screen();
    const int available = s ? s->availableGeometry().height() : QWIDGETSIZE_MAX;
    return available - frame - rest;
}

void Body::refitWhenScreenChanged()
{
    if (fittedRows >= 0 && rowsHeightLimit() != CLScroll->heightLimit()) {
        fitToRows();
        resize(0, 0);
    }
    buildRowsInView();
}
