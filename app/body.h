#pragma once

#include "acrystal.h"
#include "dispabase.h"
#include "drawtext.h"
#include "shapes.h"
#include "trace.h"
#include "ui_body.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QVector>

class ChCoord;
class QCloseEvent;
class QPainter;

// The main window: the material and arrangement panels, the crystal rows, the read-outs and the
// buttons of the design. Closing it ends the program (main() connects finishing() to
// closeAllWindows).
//
// The data members are public so that the plot windows' owners and tests can read the traced
// design; only the window's own slots change them.
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

signals:
    // The window is asked to close.
    void finishing();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The screen and the window frame decide how much of the table fits.
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

    // In this order in the meta-object.
private slots:
    // "Rest CPs": restart both histories from the current focus.
    void clearAvrCps();
    // The material panel changed: take its shown spacing, lay out again.
    void newCrystal();
    // Throw the crystals away and lay them out afresh from the panels.
    void newLayout();
    // Number, colour and place the rows, trace, fit the default views, repaint.
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

private:
    void setUpPlotWindows();
    void setUpHistories();
    void connectPlotWindows();
    void setUpFileDialogs();
    // A field of a crystal row loses the keyboard focus without finishing its edit.
    void releaseRowFocus();
    // Turns every crystal about the origin by "Rotate All [deg]".
    void rotateAll();
    // Numbers the rows and puts the new ones into the table.
    void placeRows();
    // The window's layouts take in a changed table; the rows get the height the screen leaves.
    void fitToRows();
    // The height the rows may take on the window's screen, the layouts being up to date.
    int rowsHeightLimit() const;
    // The window fitted again when its screen, the screen's free area or the window's frame
    // (known only once a window manager has framed it) leaves the rows another height.
    void refitWhenScreenChanged();
    void calcCrossPoints();
    void calcScales();
    // The crystals as the tracing core sees them.
    CrystalList crystalList() const;

    // The number of rows the window was last fitted to; -1 before the first fit.
    int fittedRows = -1;
    bool screenWatched = false;
};
