// The "Bands" window of the View menu and the analysis it shows.
#include "body.h"
#include "report.h"

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
    // The window follows the document, and hands it the source's edits.
    bandsWindow.setDocument(&doc);
    connect(bands, &QAction::triggered, &bandsWindow, &BandsWindow::showWindow);
}

BandsAnalysis Body::bandsAnalysis() const
{
    return designBands(doc.design());
}
