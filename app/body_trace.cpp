// Tracing of the design: numbering, colours, crossings, histories and default views.
#include "body.h"

#include <QApplication>

void Body::drawEverything()
{
    const int n = crystals.size();
    shapes.clear();
    // Each row shown into the visible table would have Qt lay the whole table out again, once per
    // row: quadratic in the number of crystals. The table is hidden while new rows go in and is
    // shown once after (unless it holds the keyboard focus, which hiding would move).
    const QWidget *focus = QApplication::focusWidget();
    const bool hideTable = CLBase->isVisible() && !(focus && CLBase->isAncestorOf(focus));
    bool tableHidden = false;
    for (int i = 0; i < n; ++i) {
        ACrystal *c = crystals[i];
        const QColor colour = crystalColour(i, n);
        c->inPen.pen.setColor(colour);
        c->outPen.pen.setColor(colour);
        c->setNumber(i + 1);
        // Row 0 is the column-title row.
        int row = -1, column, rowSpan, columnSpan;
        const int at = CL->indexOf(c);
        if (at >= 0)
            CL->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        if (row != i + 1) {
            if (hideTable && !tableHidden) {
                CLBase->hide();
                tableHidden = true;
            }
            CL->addWidget(c, i + 1, 0);
            // Shown now rather than from the event loop, so that the fit below counts it.
            c->show();
        }
        appendShapes(*c, shapes);
    }
    if (tableHidden)
        CLBase->show();
    calcCrossPoints();
    calcScales();
    updates();
    // The toolkit clamps this to the minimum size: the window fits the crystal table. The
    // nested layouts would otherwise take in the new rows only from the event loop, one level
    // per pass, too late for the clamp (and not at all before the window is first shown).
    for (QWidget *w = CLBase; w; w = w->parentWidget()) {
        if (QLayout *l = w->layout()) {
            l->invalidate();
            l->activate();
        }
        if (w == this)
            break;
    }
    resize(0, 0);
    emit traced();
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
    overallView.realC0 = overallExtent(shapes, crossPoints.center());

    const QRectF c = crystalsExtent(crystalList());
    crystalsView.realC0 = c;
    crystalsView.realC = c;

    const Point f = newestOr0(avrCps);
    focusView.realC0 = centredOn(focusView.realC0, f);
    focusView.realC = centredOn(focusView.realC, f);

    const Point i = newestOr0(avrIps);
    imagingView.realC0 = centredOn(imagingView.realC0, i);
    imagingView.realC = centredOn(imagingView.realC, i);
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
