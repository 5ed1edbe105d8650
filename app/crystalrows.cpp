#include "crystalrows.h"

#include "body.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

CrystalRows::CrystalRows(Body &window) : QObject(&window), window(window) {}

void CrystalRows::show()
{
    const Design &d = window.doc.design();
    const int n = d.crystals.size();
    // Rows are kept from one layout to the next: only the difference in count is made or thrown
    // away, the others show their crystal anew.
    while (window.crystals.size() > n) {
        ACrystal *c = window.crystals.takeLast();
        disconnect(c, nullptr, &window, nullptr);
        // Out of the table now, so that the window can shrink to the rows left at once; the
        // object itself goes once control is back in the event loop.
        c->hide();
        window.CL->removeWidget(c);
        c->deleteLater();
    }
    const int kept = window.crystals.size();
    for (int i = 0; i < kept; ++i)
        window.crystals[i]->showCrystal(d.crystals.at(i), i + 1);
    if (kept == n)
        return;
    // Each row shown into the visible table would have Qt lay the whole table out again, once per
    // row: quadratic in the number of crystals. The table is hidden while new rows go in and is
    // shown once after (unless it holds the keyboard focus, which hiding would move).
    const QWidget *focus = QApplication::focusWidget();
    const bool hideTable
        = window.CLBase->isVisible() && !(focus && window.CLBase->isAncestorOf(focus));
    if (hideTable)
        window.CLBase->hide();
    for (int i = kept; i < n; ++i) {
        auto *c = new ACrystal(&window.doc, i + 1, window.CLBase);
        window.crystals.append(c);
        window.CL->addWidget(c, i + 1, 0);
        // Shown now rather than from the event loop, so that the fit counts it.
        c->show();
    }
    if (hideTable)
        window.CLBase->show();
}

void CrystalRows::buildInView()
{
    if (window.crystals.isEmpty())
        return;
    // The rows stand where the table's layout puts them at the table's full height, which the
    // scroll area gives it only from the event loop: given here first, so that the rows below the
    // view are not taken to be in it.
    QWidget *table = window.CLBase;
    const int height = std::max(table->height(), table->minimumSizeHint().height());
    if (table->height() != height) {
        table->resize(table->width(), height);
        if (QLayout *l = table->layout())
            l->activate();
    }
    // The part of the table the scroll area shows, in the table's own coordinates.
    const QRect view(QPoint(0, -window.CLBase->y()), window.CLScroll->viewport()->size());
    // Rows stand in order from the top: the first row at or below the view's top, found by
    // halving, and on from there while rows reach into the view.
    int lo = 0, hi = window.crystals.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (window.crystals[mid]->geometry().bottom() < view.top())
            lo = mid + 1;
        else
            hi = mid;
    }
    // One row beyond either end, so that Tab and the arrow of the scroll bar find fields there.
    int i = std::max(0, lo - 1);
    for (; i < window.crystals.size() && window.crystals[i]->geometry().top() <= view.bottom(); ++i)
        window.crystals[i]->buildRow();
    if (i < window.crystals.size())
        window.crystals[i]->buildRow();
}

void CrystalRows::fit()
{
    // The nested layouts would take in the new rows only from the event loop, one level per
    // pass, too late for the window's resize (and not at all before the window is first shown).
    const auto layOutUpToWindow = [this] {
        for (QWidget *w = window.CLBase; w; w = w->parentWidget()) {
            if (QLayout *l = w->layout()) {
                l->invalidate();
                l->activate();
            }
            // The scroll area has no layout of its own to pass the table's new size on.
            if (w == window.CLScroll)
                w->updateGeometry();
            if (w == &window)
                break;
        }
    };
    layOutUpToWindow();
    const int limit = heightLimit();
    if (limit != window.CLScroll->heightLimit()) {
        window.CLScroll->setHeightLimit(limit);
        layOutUpToWindow();
    }
    fittedRows = window.crystals.size();
}

int CrystalRows::heightLimit() const
{
    // The panels, the read-outs, the buttons and the comment stay on the screen; the rows take
    // the height left and scroll.
    const int rest = window.minimumSize().height() - window.CLScroll->minimumSizeHint().height();
    const int frame = window.frameGeometry().height() - window.geometry().height();
    const QScreen *s = window.screen();
    const int available = s ? s->availableGeometry().height() : QWIDGETSIZE_MAX;
    return available - frame - rest;
}

void CrystalRows::refitWhenScreenChanged()
{
    if (fittedRows >= 0 && heightLimit() != window.CLScroll->heightLimit()) {
        fit();
        window.resize(0, 0);
    }
    buildInView();
}

void CrystalRows::fitIfCountChanged()
{
    if (fittedRows != window.crystals.size())
        fit();
}
