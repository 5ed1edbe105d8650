#include "body.h"

#include "calign.h"
#include "mcrystal.h"
#include "undo.h"
#include "units.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QPrinter>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QWindow>

Body::Body(QWidget *parent) : QMainWindow(parent), measLine(Point(0.0, 0.0), Dir(0.0), 1.0)
{
    // The panels compute their first values here and announce them before anyone listens.
    setupUi(this);
    // Refused input is reported here; made now so that the window fits it from the start.
    statusBar();

    ACrystal *titles = ACrystal::makeHeader();
    CL->addWidget(titles, 0, 0);
    CLScroll->pinRow(titles, CL->verticalSpacing());
    setUpPlotWindows();
    setUpHistories();

    // The first design uses the spacing the material panel shows, as every later one does;
    // otherwise the shown energies would disagree with the shown spacing until the first change.
    units.setD(MC->Spacing->text().toDouble());
    newLayout();
    resetScale();

    connect(ScaleReset, SIGNAL(clicked()), this, SLOT(resetScale()));
    connect(SquareG, SIGNAL(clicked()), this, SLOT(squareG()));
    connect(ResetCPs, SIGNAL(clicked()), this, SLOT(clearAvrCps()));
    connect(MC, SIGNAL(newValue()), this, SLOT(newCrystal()));
    connect(CA, SIGNAL(newValue()), this, SLOT(newLayout()));
    connectPlotWindows();

    setUpFileDialogs();
    setUpMenus();
    setUpBands();
    setUpExports();
    connect(
        QCoreApplication::instance(), SIGNAL(aboutToQuit()), this, SLOT(rememberWindowPlaces()));

    // The design as it starts is the first undo step's starting point, and needs no saving.
    undoStack.setUndoLimit(kUndoSteps);
    recordedText = designText();
    recordedPacked = packDesignText(recordedText);
    recordedComment = Comment->text();
    savedText = recordedText;
    recording = true;
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

CrystalList Body::crystalList() const
{
    CrystalList list;
    list.reserve(crystals.size());
    for (const ACrystal *c : crystals)
        list.append(c);
    return list;
}
