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
class QAction;
class QCloseEvent;
class QMenu;
class QMessageBox;
class QMoveEvent;
class QPainter;
class QPrintDialog;
class QPrinter;
class QShowEvent;

// The main window: the material and arrangement panels, the crystal rows, the read-outs and the
// buttons of the design, and the four plot windows. It shows the design its document holds and
// hands it what the user does; closing it ends the program (main() connects finishing() to
// closeAllWindows).
//
// The data members are public so that the plot windows' owners and tests can read the design as
// shown: the crystals with their pens, the shapes drawn, the crossings and histories as the
// document last traced them.
class Body : public QMainWindow, private Ui_Body
{
    Q_OBJECT

public:
    explicit Body(QWidget *parent = nullptr);
    ~Body() override;

    // Built in this order before the form, destroyed in reverse.
    DrawText gridLabels;    // painter of the grid's tick labels
    DispABase overallView;  // the whole design
    DispABase crystalsView; // framed on the crystals
    DispABase focusView;    // centred on the newest focus
    DispABase imagingView;  // centred on the newest image point
    // The design, crystal number = index + 1. The rows are children of CLBase once placed.
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

    // Paints the scene of plot window w into p as the window's paint does, through cc, whose
    // screen side the caller has set; sets cc's world from the window's view. Neither the
    // window's own mapping nor the read-outs change.
    void drawScene(QPainter *p, const DispABase &w, ChCoord *cc);
    DispABase &plotWindow(PlotView which);
    // The plot window the user activated last; the overall one before any was.
    PlotView activePlot() const { return lastActivePlot; }

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
    // The menus. Open and a recent file ask about unsaved changes first; Save writes the current
    // file without a dialog when there is one.
    void openDesign();
    void saveDesign();
    void saveDesignAs();
    void openRecent();
    void showAbout();
    // The comment as finished: one undo step when it changed.
    void recordChange();
    // The modified mark follows the comment while it is typed.
    void commentEdited();
    // The save dialogs append ".cfg" to a name without a suffix only under the "*.cfg" filter.
    void useSuffixOf(const QString &nameFilter);

public slots:
    // The File menu's exports. Each opens a non-modal dialog; the design and the views stay as
    // they are.
    // "Export Crystal Table...": the crystals as CSV, offered under the design file's name.
    void exportCrystalTable();
    // "Export Plot...": one plot window as PNG, SVG or PDF, the active one preselected.
    void exportPlot();
    // "Print Plot...": one plot window fitted to the page.
    void printPlot();
    // Stores where the plot windows and the main window are, for the next start (done at quit).
    void rememberWindowPlaces();

private:
    void setUpMenus();
    // What the document changed, shown.
    void showChanges(DesignDocument::Changes what);
    // Writes the design to fname, which becomes the current file; false, with the message,
    // when it cannot be written.
    bool writeDesign(const QString &fname);
    // Save, Discard or Cancel when the design has unsaved changes; false to stay (Cancel, or a
    // save that did not happen).
    bool settleUnsavedChanges();
    bool saveBeforeLeaving();
    void updateTitle();
    void rememberRecentFile(const QString &path);
    // The folder of a file chosen in a dialog: every open, save and export dialog starts there,
    // now and at the next start.
    void rememberFolder(const QString &file);
    void showRecentFiles();
    // Tells the user in a window of its own that does not hold anything up, one per kind.
    void tellUserOnce(QPointer<QMessageBox> &box, const QString &text);

    void setUpPlotWindows();
    void setUpHistories();
    void connectPlotWindows();
    void setUpFileDialogs();
    void setUpBands();
    // The menu bar's View menu (object name "menuView"), made here if nothing made it yet.
    QMenu *viewMenu();
    // As many rows as the design has crystals, each showing its crystal; the new ones go into
    // the table.
    void showRows();
    // The rows in view (and one beyond either end, where Tab goes next) build their fields.
    void buildRowsInView();
    // The window's layouts take in a changed table; the rows get the height the screen leaves.
    void fitToRows();
    // The height the rows may take on the window's screen, the layouts being up to date.
    int rowsHeightLimit() const;
    // The window fitted again when its screen, the screen's free area or the window's frame
    // (known only once a window manager has framed it) leaves the rows another height.
    void refitWhenScreenChanged();
    void calcScales();

    // Exports, printing and the hover tooltip (body_export.cpp).
    void setUpExports();
    // Names the highlighted shape of window w in a tooltip at the cursor, or hides the tooltip.
    void showShapeToolTip(DispABase *w);
    void saveCrystalTable(const QString &path);
    void savePlot(const QString &path);
    void printChosenPlot(QPrinter *printer);
    // The main window and the plot windows where they were last time; else the main window at the
    // top left of the screen and the plot windows beside and below it (body_views.cpp).
    void placeWindows();

    bool windowsPlaced = false;
    PlotView lastActivePlot = PlotView::Overall;
    QPointer<QFileDialog> tableDialog;
    QPointer<QFileDialog> plotDialog;
    QPointer<QPrintDialog> printDialog;
    std::unique_ptr<QPrinter> printer;
    // The number of rows the window was last fitted to; -1 before the first fit.
    int fittedRows = -1;
    bool screenWatched = false;

    QVector<QAction *> recentActions;
    QAction *recentSeparator = nullptr;
    QPointer<QMessageBox> aboutBox;
    QPointer<QMessageBox> noDesignBox;
    QPointer<QMessageBox> missingFileBox;
};
