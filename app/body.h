#pragma once

#include "acrystal.h"
#include "bandanalysis.h"
#include "bandswindow.h"
#include "designdocument.h"
#include "dispabase.h"
#include "drawtext.h"
#include "plotexport.h"
#include "shapes.h"
#include "trace.h"
#include "ui_body.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QPointer>
#include <QVector>

#include <memory>

class ChCoord;
class CrystalRows;
class DesignFiles;
class DesignNotices;
class MainMenus;
class PlotControl;
class PlotExports;
class QCloseEvent;
class QMenu;
class QMoveEvent;
class QPainter;
class QShowEvent;

// The main window: the material and arrangement panels, the crystal rows, the read-outs and the
// buttons of the design, and the four plot windows. It shows the design its document holds and
// wires its parts, each in a class of its own: the design files and the title (DesignFiles), the
// crystal rows (CrystalRows), the plot windows' painting and mouse (PlotControl), the exports and
// printing (PlotExports), the menus (MainMenus). Closing it ends the program (main() connects
// finishing() to closeAllWindows).
//
// The data members are public so that the plot windows' owners and tests can read the design as
// shown: the crystals with their pens, the shapes drawn, the crossings and histories as the
// document last traced them.
class Body : public QMainWindow, private Ui_Body
{
    Q_OBJECT
    // The window's parts work on its form.
    friend class CrystalRows;
    friend class DesignFiles;
    friend class MainMenus;
    friend class PlotControl;
    friend class PlotExports;

public:
    explicit Body(QWidget *parent = nullptr);
    ~Body() override;

    // Built in this order before the form, destroyed in reverse.
    DrawText gridLabels;    // painter of the grid's tick labels
    DispABase overallView;  // the whole design
    DispABase crystalsView; // framed on the crystals
    DispABase focusView;    // centred on the newest focus
    DispABase imagingView;  // centred on the newest image point
    // The design, crystal number = index + 1. The rows are children of CLBase.
    QVector<ACrystal *> crystals;
    int selectedShape = -1; // index into shapes under the mouse, -1 none
    // Ten shapes per crystal in drawing order; borrowed from the crystals.
    QVector<Shape *> shapes;
    Points crossPoints; // reflected centre rays of every pair crossed, pair order
    Points centres;     // surface centre of every crystal
    Points avrCps;      // history of the focus, one entry per analysis
    Points avrIps;      // history of the image point, in step with avrCps
    Line measLine;      // the measuring segment of a right-button drag
    QFileDialog saveDialog;
    QFileDialog loadDialog;
    // "Bands" of the View menu: the physics of the array, made while it is shown.
    BandsWindow bandsWindow;
    // The design and what was done to it.
    DesignDocument doc;

    // The physics of the current design: bands, coverage, lattice offset, focus quality.
    BandsAnalysis bandsAnalysis() const;
    // The crystals as the tracing core sees them.
    CrystalList crystalList() const;

    // What the plot windows draw, and how they draw it.
    SceneContent sceneContent() const;
    const PlotControl &plotControl() const { return *plots; }
    // Paints the scene of plot window w into p as the window's paint does, through cc, whose
    // screen side the caller has set; sets cc's world from the window's view. Neither the
    // window's own mapping nor the read-outs change.
    void drawScene(QPainter *p, const DispABase &w, ChCoord *cc);
    DispABase &plotWindow(PlotView which);
    // The plot window the user activated last; the overall one before any was.
    PlotView activePlot() const;

    // One step per change of the design through the interface, at most kUndoSteps.
    UndoStack &undoStack;
    static constexpr int kUndoSteps = DesignDocument::kUndoSteps;

    // Opens the design named on the command line as Load does, once the event loop runs with the
    // window up: a file that cannot be opened gets Load's message.
    void openAtStart(const QString &file);

    // What a save would write now.
    QString designText() const { return doc.text(); }
    // The design file last saved or loaded (absolute), empty when none.
    QString currentFile() const { return doc.currentFile(); }
    // The design differs from what a save to the current file last wrote (or from the design at
    // start-up or after the last load): finished edits, and the comment as typed.
    bool designModified() const;

signals:
    // The window is asked to close.
    void finishing();
    // The design was traced again (after every layout and every edit of a crystal) and shown.
    void traced();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The first show places the windows on the screen; the screen and the window frame decide
    // how much of the table fits.
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

    // In this order in the meta-object.
private slots:
    // "Rest CPs": restart both histories from the current focus.
    void clearAvrCps();
    // Take the shown spacing, lay out again.
    void newCrystal();
    // Lay the crystals out afresh from the panels.
    void newLayout();
    // Show the design as the document holds it: number, colour and place the rows, fit the
    // default views, repaint.
    void drawEverything();
    // Every plot window back to its default view.
    void resetScale();
    // One world unit as many pixels across as up in every plot window.
    void squareG();
    // Repaint the four plot windows.
    void updates();
    // Trace the crystals again as they stand.
    void crystalsUpdated();
    // Scene rendering.
    void draw(QPainter *p);
    void drawShapes(QPainter *p, ChCoord *cc, Box bb, QVector<Shape *> &shapes, bool drawExt);
    void drawShapes(QPainter *p, ChCoord *cc, Box bb, QVector<Shape *> &shapes);
    void drawGrid(QPainter *p, ChCoord *cc);
    void mouseMoved();
    void wheelMoved(int step);
    // Design files.
    void save(QString fname);
    void load(QString fname);

public slots:
    // The File menu's exports; each opens a non-modal dialog.
    void exportCrystalTable();
    void exportPlot();
    void printPlot();
    // Stores where the plot windows and the main window are, for the next start (done at quit).
    void rememberWindowPlaces();

private:
    // What the document changed, shown.
    void showChanges(DesignDocument::Changes what);
    void setUpPlotWindows();
    void connectPlotWindows();
    void setUpBands();
    // The menu bar's View menu (object name "menuView"), made here if nothing made it yet.
    QMenu *viewMenu();
    void calcScales();
    // The main window and the plot windows where they were last time; else the main window at the
    // top left of the screen and the plot windows beside and below it (body_views.cpp).
    void placeWindows();

    DesignFiles *files = nullptr;
    DesignNotices *notices = nullptr;
    CrystalRows *rows = nullptr;
    PlotControl *plots = nullptr;
    PlotExports *exports = nullptr;
    MainMenus *menus = nullptr;
    bool windowsPlaced = false;
    bool screenWatched = false;
};
