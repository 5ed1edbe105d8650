// The four plot windows of the main window: set-up, repaint, default views and square grid.
#include "body.h"
#include "views.h"

void Body::setUpPlotWindows()
{
    // The overall window keeps the plot window's own size and has no title of its own.
    overallView.show();
    connect(ShowGraph, SIGNAL(clicked()), &overallView, SLOT(show()));

    crystalsView.setWindowTitle(tr("Crystals"));
    crystalsView.resize(600, 400);
    crystalsView.show();
    connect(ShowGraph, SIGNAL(clicked()), &crystalsView, SLOT(show()));

    focusView.setWindowTitle(tr("Focus Point"));
    focusView.resize(400, 400);
    focusView.show();
    connect(ShowGraph, SIGNAL(clicked()), &focusView, SLOT(show()));

    imagingView.setWindowTitle(tr("Imaging Point"));
    imagingView.resize(400, 400);
    imagingView.show();
    connect(ShowGraph, SIGNAL(clicked()), &imagingView, SLOT(show()));
}

void Body::updates()
{
    overallView.update();
    crystalsView.update();
    focusView.update();
    imagingView.update();
}

void Body::resetScale()
{
    for (DispABase *v : {&overallView, &crystalsView, &focusView, &imagingView})
        v->realC = v->realC0;
    updates();
}

void Body::squareG()
{
    for (DispABase *v : {&overallView, &crystalsView, &focusView, &imagingView})
        v->realC = squaredView(v->realC, v->disp.width(), v->disp.height());
    updates();
}
