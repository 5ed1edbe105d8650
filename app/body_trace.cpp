// Tracing of the design: numbering, colours, crossings, histories and default views.
#include "body.h"
#include "scene.h"

#include <QApplication>
#include <QScreen>

void Body::drawEverything()
{
    const int n = crystals.size();
    shapes.clear();
    shapes.reserve(10 * n);
    for (int i = 0; i < n; ++i) {
        ACrystal *c = crystals[i];
        colourCrystal(*c, i, n);
        appendShapes(*c, shapes);
    }
    placeRows();
    calcCrossPoints();
    calcScales();
    updates();
    // The toolkit clamps this to the minimum size: the window fits the crystal table, or as much
    // of it as the screen leaves room for.
    if (fittedRows != n)
        fitToRows();
    resize(0, 0);
    // Every change of the design ends here: one undo step if what a save writes changed.
    recordChange();
    emit traced();
}

void Body::placeRows()
{
    // Rows are kept from one layout to the next and only ever added or taken away at the end:
    // those still without a place are the new ones at the end, in CL row index + 1 (row 0 holds
    // the column titles).
    const int n = crystals.size();
    int placed = n;
    while (placed > 0 && crystals[placed - 1]->parentWidget() != CLBase)
        --placed;
    // Each row shown into the visible table would have Qt lay the whole table out again, once per
    // row: quadratic in the number of crystals. The table is hidden while new rows go in and is
    // shown once after (unless it holds the keyboard focus, which hiding would move).
    const QWidget *focus = QApplication::focusWidget();
    const bool hideTable
        = placed < n && CLBase->isVisible() && !(focus && CLBase->isAncestorOf(focus));
    if (hideTable)
        CLBase->hide();
    for (int i = 0; i < n; ++i) {
        ACrystal *c = crystals[i];
        c->setNumber(i + 1);
        if (i >= placed) {
            CL->addWidget(c, i + 1, 0);
            // Shown now rather than from the event loop, so that the fit counts it.
            c->show();
        }
    }
    if (hideTable)
        CLBase->show();
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
}

void Body::calcCrossPoints()
{
    crossCentreRays(crystalList(), crossPoints, centres);
    if (crossPoints.points.isEmpty())
        return;
    const QString label = energyRangeLabel(crystals.first()->energyText().toDouble(),
                                           crystals.last()->energyText().toDouble());
    addFocus(crossPoints, centres, label, avrCps, avrIps);
}

void Body::calcScales()
{
    overallView.realC0 = designView(crystalList(), crossPoints);

    const QRectF c = crystalsExtent(crystalList());
    crystalsView.realC0 = c;
    crystalsView.realC = c;

    focusView.realC0 = followingView(focusView.realC0, avrCps);
    focusView.realC = followingView(focusView.realC, avrCps);
    imagingView.realC0 = followingView(imagingView.realC0, avrIps);
    imagingView.realC = followingView(imagingView.realC, avrIps);
}

void Body::clearAvrCps()
{
    restartHistories(crossPoints, avrCps, avrIps);
    updates();
}

void Body::crystalsUpdated()
{
    calcCrossPoints();
    updates();
}
