// The design as traced, shown: colours, shapes, crossings, histories and default views; the
// slots that ask the document to lay out or trace again.
#include "body.h"
#include "crystalrows.h"
#include "plotcontrol.h"
#include "scene.h"
#include "units.h"

void Body::newCrystal()
{
    doc.useShownSpacing();
}

void Body::newLayout()
{
    doc.layOutAgain();
}

void Body::drawEverything()
{
    // The one place the shared spacing follows the design's.
    units.setD(doc.design().spacing);
    rows->show();
    const int n = crystals.size();
    shapes.clear();
    shapes.reserve(10 * n);
    for (int i = 0; i < n; ++i) {
        ACrystal *c = crystals[i];
        colourCrystal(*c, i, n);
        appendShapes(*c, shapes);
    }
    // The lists share the document's points until it traces again.
    static_cast<PointList &>(crossPoints) = doc.crossings();
    static_cast<PointList &>(centres) = doc.centres();
    static_cast<PointList &>(avrCps) = doc.focusHistory();
    static_cast<PointList &>(avrIps) = doc.imageHistory();
    plots->sceneChanged();
    plots->showFocusState();
    calcScales();
    updates();
    // The toolkit clamps this to the minimum size: the window fits the crystal table, or as much
    // of it as the screen leaves room for.
    rows->fitIfCountChanged();
    resize(0, 0);
    rows->buildInView();
    emit traced();
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
    doc.restartHistories();
}

void Body::crystalsUpdated()
{
    doc.traceAgain();
}
