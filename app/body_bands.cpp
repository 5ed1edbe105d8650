// The "Bands" window of the View menu and the analysis it shows.
#include "body.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QMenu *Body::viewMenu()
{
    QMenuBar *bar = menuBar();
    if (QMenu *view = bar->findChild<QMenu *>(QStringLiteral("menuView")))
        return view;
    auto *view = new QMenu(tr("View"), bar);
    view->setObjectName(QStringLiteral("menuView"));
    bar->addMenu(view);
    return view;
}

void Body::setUpBands()
{
    auto *bands = new QAction(tr("Bands"), this);
    bands->setObjectName(QStringLiteral("actionBands"));
    viewMenu()->addAction(bands);
    bandsWindow.setSource([this] { return bandsAnalysis(); });
    connect(bands, SIGNAL(triggered()), &bandsWindow, SLOT(showWindow()));
    connect(this, SIGNAL(traced()), &bandsWindow, SLOT(designTraced()));
}

BandsAnalysis Body::bandsAnalysis() const
{
    const Design &d = doc.design();
    return analyseBands(d.bandsMaterial(), d.crystalList());
}
