#pragma once

#include "picture.h"
#include "scene.h"

#include <QSize>
#include <QString>

class Body;
class QPrinter;

// Pictures of the main window's plot windows for other programs and for paper. Each shows exactly
// what the window shows (view, grid, labels, highlight, measurement), drawn by the window's own
// scene drawing; none changes the design, a view or a read-out, and none opens a dialog.

// The window's picture: the window's paint onto another device, through a mapping of its own, so
// that the window's mapping and read-outs stay as they are.
PlotPicture plotPicture(Body &body, PlotView which);

// Writes the window's picture at the size of its drawing surface, in the format its suffix
// names. scale applies to PNG only (2 for print: twice the pixels, the same picture); SVG and PDF
// are drawn at the surface's size in pixels of the screen's resolution. The file is replaced only
// once complete. False, with the reason in *error, when the window has no size, the suffix names
// no format or the file cannot be written.
bool exportPlotImage(
    Body &body, PlotView which, const QString &path, double scale, QString *error = nullptr);
// The same in the given format for a picture of the given size in pixels, as the window would
// show its current view at that size.
bool exportPlotImage(Body &body,
                     PlotView which,
                     const QString &path,
                     PlotFormat format,
                     QSize size,
                     double scale,
                     QString *error = nullptr);

// Prints the window's picture as large as fits the printer's page, centred, keeping its
// proportions. False when the printer cannot be painted on.
bool printPlotPage(Body &body, PlotView which, QPrinter &printer);
