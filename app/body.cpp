#include "body.h"

#include "calign.h"
#include "mcrystal.h"
#include "units.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QWindow>

Body::Body(QWidget *parent)
    : QMainWindow(parent), measLine(startingMeasLine()), undoStack(doc.undoStack())
{
    setupUi(this);
    // Refused input is reported here; made now so that the window fits it from the start.
    statusBar();
    // The panels show and edit the window's design.
    MC->setDocument(&doc);
    CA->setDocument(&doc);

    ACrystal *titles = ACrystal::makeHeader();
    CL->addWidget(titles, 0, 0);
    CLScroll->pinRow(titles, CL->verticalSpacing());
    // Rows build their fields as they scroll into view.
    connect(CLScroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &Body::buildRowsInView);
    setUpPlotWindows();
    setUpHistories();

    // The first design, as the document laid it out and traced it.
    drawEverything();
    resetScale();

    connect(ScaleReset, SIGNAL(clicked()), this, SLOT(resetScale()));
    connect(SquareG, SIGNAL(clicked()), this, SLOT(squareG()));
    connect(ResetCPs, SIGNAL(clicked()), this, SLOT(clearAvrCps()));
    // The panels hand their edits to the document; every change it makes is shown from here.
    connect(&doc, &DesignDocument::changed, this, &Body::showChanges);
    connectPlotWindows();

    setUpFileDialogs();
    setUpMenus();
    setUpBands();
    setUpExports();
    connect(
        QCoreApplication::instance(), SIGNAL(aboutToQuit()), this, SLOT(rememberWindowPlaces()));
    updateTitle();
}

Body::~Body()
{
    // Qt 5 emits editingFinished from a focused field while the window is being torn down, after
    // this destructor has run: nothing inside the window may reach this object's slots by then.
    // The top-level windows held by value go before the form, and the crystals scheduled for
    // deletion may still be pending.
    const QList<QObject *> inside = findChildren<QObject *>();
    for (QObject *child : inside)
        child->disconnect(this);
    for (DispABase *view : {&overallView, &crystalsView, &focusView, &imagingView})
        view->disconnect(this);
    saveDialog.disconnect(this);
    loadDialog.disconnect(this);
    doc.disconnect(this);
    if (windowHandle())
        windowHandle()->disconnect(this);
}

void Body::showEvent(QShowEvent *event)
{
    if (!windowsPlaced) {
        windowsPlaced = true;
        placeWindows();
    }
    QMainWindow::showEvent(event);
    if (!screenWatched && windowHandle()) {
        screenWatched = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &Body::refitWhenScreenChanged);
    }
    refitWhenScreenChanged();
}

void Body::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    refitWhenScreenChanged();
}

void Body::setUpHistories()
{
    styleHistories(avrCps, avrIps);
}

void Body::connectPlotWindows()
{
    const QVector<DispABase *> views{&overallView, &crystalsView, &focusView, &imagingView};
    for (DispABase *v : views)
        connect(v, SIGNAL(drawImage(QPainter *)), this, SLOT(draw(QPainter *)));
    for (DispABase *v : views)
        connect(v, SIGNAL(wheelMoved(int)), this, SLOT(wheelMoved(int)));
    for (DispABase *v : views)
        connect(v, SIGNAL(mouseMoved()), this, SLOT(mouseMoved()));
}

void Body::showChanges(DesignDocument::Changes what)
{
    // The comment shows the design's, unless the user is typing one.
    if ((what & DesignDocument::DesignChanged) && Comment->text() != doc.design().comment
        && !(Comment->hasFocus() && Comment->isModified()))
        Comment->setText(doc.design().comment);
    if (what & (DesignDocument::DesignChanged | DesignDocument::Traced))
        drawEverything();
    else if (what & DesignDocument::HistoriesChanged) {
        static_cast<PointList &>(avrCps) = doc.focusHistory();
        static_cast<PointList &>(avrIps) = doc.imageHistory();
        updates();
    }
    if (what & DesignDocument::FileChanged)
        updateTitle();
}

CrystalList Body::crystalList() const
{
    CrystalList list;
    list.reserve(crystals.size());
    for (const ACrystal *c : crystals)
        list.append(c);
    return list;
}
