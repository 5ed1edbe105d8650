#pragma once

#include "scene.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Body;
class DesignFiles;
class QFileDialog;
class QPrintDialog;
class QPrinter;

// The design and its plots for other programs and for paper: the crystal table as CSV, a plot
// window as PNG, SVG or PDF, a plot window printed. Each opens a non-modal dialog; the design and
// the views stay as they are. The plot window the user activated last is the one preselected.
class PlotExports : public QObject
{
    Q_OBJECT

public:
    PlotExports(Body &window, DesignFiles &files);
    ~PlotExports() override;

    // The plot window the user activated last; the overall one before any was.
    PlotView activePlot() const { return lastActivePlot; }

public slots:
    // "Export Crystal Table...": the crystals as CSV, offered under the design file's name.
    void exportCrystalTable();
    // "Export Plot...": one plot window as PNG, SVG or PDF, the active one preselected.
    void exportPlot();
    // "Print Plot...": one plot window fitted to the page.
    void printPlot();

private:
    void saveCrystalTable(const QString &path);
    void savePlot(const QString &path);
    void printChosenPlot(QPrinter *printer);

    Body &window;
    DesignFiles &files;
    PlotView lastActivePlot = PlotView::Overall;
    QPointer<QFileDialog> tableDialog;
    QPointer<QFileDialog> plotDialog;
    QPointer<QPrintDialog> printDialog;
    std::unique_ptr<QPrinter> printer;
};
