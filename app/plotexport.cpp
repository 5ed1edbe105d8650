#include "plotexport.h"

#include "body.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace {

// The resolution the window's texts are laid out at: a vector picture drawn at it shows them
// at the same size relative to the lines.
int screenDpi(const DispABase &w)
{
    return std::max(1, w.disp.logicalDpiY());
}

} // namespace

PlotPicture plotPicture(Body &body, PlotView which)
{
    const DispABase &w = body.plotWindow(which);
    return {[&body, &w](QPainter &p, QSize size) {
                p.fillRect(QRect(QPoint(0, 0), size), w.disp.bgColor);
                ChCoord cc;
                cc.setScreen(
                    0, static_cast<double>(size.height()), static_cast<double>(size.width()), 0);
                body.drawScene(&p, w, &cc);
            },
            w.windowTitle(),
            screenDpi(w)};
}

bool exportPlotImage(Body &body, PlotView which, const QString &path, double scale, QString *error)
{
    return exportPlotImage(
        body, which, path, plotFormatOf(path), body.plotWindow(which).disp.size(), scale, error);
}

bool exportPlotImage(Body &body,
                     PlotView which,
                     const QString &path,
                     PlotFormat format,
                     QSize size,
                     double scale,
                     QString *error)
{
    return writePlotPicture(plotPicture(body, which), path, format, size, scale, error);
}

bool printPlotPage(Body &body, PlotView which, QPrinter &printer)
{
    const DispABase &w = body.plotWindow(which);
    const QSize size = w.disp.size();
    if (size.isEmpty())
        return false;
    // Page units at the screen's resolution: the scene's texts keep their size relative to the
    // lines, and the printer still gets vectors.
    printer.setResolution(screenDpi(w));
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const double pageWidth = printer.width();
    const double pageHeight = printer.height();
    const double k = std::min(pageWidth / size.width(), pageHeight / size.height());
    p.translate((pageWidth - k * size.width()) / 2, (pageHeight - k * size.height()) / 2);
    p.scale(k, k);
    p.setClipRect(QRect(QPoint(0, 0), size));
    plotPicture(body, which).paint(p, size);
    return p.end();
}
