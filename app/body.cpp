#include "body.h"

#include "calign.h"
#include "crystalrows.h"
#include "designfiles.h"
#include "designnotices.h"
#include "mainmenus.h"
#include "mcrystal.h"
#include "numberinput.h"
#include "plotcontrol.h"
#include "plotexports.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QWindow>

Body::Body(QWidget *parent)
    : QMainWindow(parent), measLine(startingMeasLine()), undoStack(doc.undoStack())
{
    setupUi(this);
    // Refused input is reported here; made now so that the window fits it from the start. So is
    // what a change of the design did that was not typed.
    notices = new DesignNotices(doc, statusBar(), this);
    // The panels show and edit the window's design.
    MC->setDocument(&doc);
    CA->setDocument(&doc);

    rows = new CrystalRows(*this);
    plots = new PlotControl(*this);
    ACrystal *titles = ACrystal::makeHeader();
    CL->addWidget(titles, 0, 0);
    CLScroll->pinRow(titles, CL->verticalSpacing());
    // Rows build their fields as they scroll into view.
    connect(
        CLScroll->verticalScrollBar(), &QScrollBar::valueChanged, rows, &CrystalRows::buildInView);
    setUpPlotWindows();
    styleHistories(avrCps, avrIps);

    // The first design, as the document laid it out and traced it.
    drawEverything();
    resetScale();

    connect(ScaleReset, &QPushButton::clicked, this, &Body::resetScale);
    connect(SquareG, &QPushButton::clicked, this, &Body::squareG);
    connect(ResetCPs, &QPushButton::clicked, this, &Body::clearAvrCps);
    // The panels and rows hand their edits to the document; every change it makes is shown from
    // here.
    connect(&doc, &DesignDocument::changed, this, &Body::showChanges);
    connect(&doc, &DesignDocument::aboutToTrace, this, [this] {
        static_cast<PointList &>(crossPoints) = PointList();
        static_cast<PointList &>(centres) = PointList();
    });
    connectPlotWindows();

    files = new DesignFiles(*this);
    connect(Save, &QPushButton::clicked, &saveDialog, &QWidget::show);
    connect(&saveDialog, &QFileDialog::fileSelected, this, &Body::save);
    connect(Load, &QPushButton::clicked, &loadDialog, &QWidget::show);
    connect(&loadDialog, &QFileDialog::fileSelected, this, &Body::load);
    exports = new PlotExports(*this, *files);
    menus = new MainMenus(*this, *files, *exports);
    setUpBands();

    // The comment is part of the design: its finished edits are undo steps, and the title marks
    // it as changed while it is typed.
    FieldGuard::guard(Comment, FieldKind::Text);
    connect(Comment, &QLineEdit::textEdited, files, &DesignFiles::updateTitle);
    connect(Comment, &QLineEdit::editingFinished, this, [this] {
        doc.setComment(Comment->text());
        files->updateTitle();
    });
    connect(QCoreApplication::instance(),
            &QCoreApplication::aboutToQuit,
            this,
            &Body::rememberWindowPlaces);
    files->updateTitle();
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
        connect(
            windowHandle(), &QWindow::screenChanged, rows, &CrystalRows::refitWhenScreenChanged);
    }
    rows->refitWhenScreenChanged();
}

void Body::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    rows->refitWhenScreenChanged();
}

void Body::closeEvent(QCloseEvent *event)
{
    if (!files->settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    emit finishing();
    event->accept();
}

void Body::connectPlotWindows()
{
    const QVector<DispABase *> views{&overallView, &crystalsView, &focusView, &imagingView};
    for (DispABase *v : views)
        connect(v, &DispABase::drawImage, this, &Body::draw);
    for (DispABase *v : views)
        connect(v, &DispABase::wheelMoved, this, &Body::wheelMoved);
    for (DispABase *v : views)
        connect(v, &DispABase::mouseMoved, this, &Body::mouseMoved);
}

void Body::showChanges(DesignDocument::Changes what)
{
    // The comment shows the design's, unless the user is typing one.
    if ((what & DesignDocument::DesignChanged) && Comment->text() != doc.design().comment
        && !(Comment->hasFocus() && Comment->isModified()))
        Comment->setText(doc.design().comment);
    if (what & (DesignDocument::DesignChanged | DesignDocument::Traced)) {
        drawEverything();
    } else if (what & DesignDocument::HistoriesChanged) {
        static_cast<PointList &>(avrCps) = doc.focusHistory();
        static_cast<PointList &>(avrIps) = doc.imageHistory();
        plots->sceneChanged();
        updates();
    }
    if (what & DesignDocument::FileChanged)
        files->updateTitle();
}

CrystalList Body::crystalList() const
{
    CrystalList list;
    list.reserve(crystals.size());
    for (const ACrystal *c : crystals)
        list.append(c);
    return list;
}

SceneContent Body::sceneContent() const
{
    return {shapes, selectedShape, crossPoints, centres, avrCps, avrIps, measLine, gridLabels};
}

PlotView Body::activePlot() const
{
    return exports->activePlot();
}

bool Body::designModified() const
{
    return files->modified();
}

void Body::openAtStart(const QString &file)
{
    files->openAtStart(file);
}

void Body::save(QString fname)
{
    files->write(fname);
}

void Body::load(QString fname)
{
    files->load(fname);
}

void Body::exportCrystalTable()
{
    exports->exportCrystalTable();
}

void Body::exportPlot()
{
    exports->exportPlot();
}

void Body::printPlot()
{
    exports->printPlot();
}
