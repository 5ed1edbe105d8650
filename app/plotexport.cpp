#include "plotexport.h"

#include "body.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

// Pictures larger than this on a side are refused rather than left to fail in the allocator.
constexpr int kMaxPixels = 32768;

// The window's paint, onto another device: the background, then the scene through a mapping of
// its own, so that the window's mapping and read-outs stay as they are.
void paintPicture(Body &body, const DispABase &w, QPainter &p, QSize size)
{
    p.fillRect(QRect(QPoint(0, 0), size), w.disp.bgColor);
    ChCoord cc;
    cc.setScreen(0, static_cast<double>(size.height()), static_cast<double>(size.width()), 0);
    body.drawScene(&p, w, &cc);
}

// The resolution the window's texts are laid out at: a vector picture drawn at it shows them
// at the same size relative to the lines.
int screenDpi(const DispABase &w)
{
    return std::max(1, w.disp.logicalDpiY());
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The file appears only once complete; a failed write leaves what was there.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    return fail(error, file.errorString());
}

bool writePng(
    Body &body, const DispABase &w, const QString &path, QSize size, double scale, QString *error)
{
    const double width = std::ceil(size.width() * scale);
    const double height = std::ceil(size.height() * scale);
    if (!(scale > 0) || !(width <= kMaxPixels) || !(height <= kMaxPixels))
        return fail(error, QStringLiteral("The picture would be too large."));
    QImage image(
        static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return fail(error, QStringLiteral("Out of memory for the picture."));
    // Drawn as on the window's surface (transparent under the white fill, as a grab starts, and
    // its texts at the screen's resolution), at scale device pixels per window pixel.
    image.fill(Qt::transparent);
    const double dotsPerMeter = screenDpi(w) / 0.0254;
    image.setDotsPerMeterX(qRound(dotsPerMeter));
    image.setDotsPerMeterY(qRound(dotsPerMeter));
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    paintPicture(body, w, p, size);
    p.end();
    // Printed at twice the pixels, the picture keeps its size on paper.
    image.setDotsPerMeterX(qRound(dotsPerMeter * scale));
    image.setDotsPerMeterY(qRound(dotsPerMeter * scale));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG"))
        return fail(error, QStringLiteral("The picture cannot be encoded."));
    return writeFile(path, buffer.data(), error);
}

bool writeSvg(Body &body, const DispABase &w, const QString &path, QSize size, QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(screenDpi(w));
    svg.setTitle(QStringLiteral("Lumivard"));
    svg.setDescription(w.windowTitle());
    QPainter p;
    if (!p.begin(&svg))
        return fail(error, QStringLiteral("The drawing cannot be started."));
    paintPicture(body, w, p, size);
    p.end();
    return writeFile(path, buffer.data(), error);
}

bool writePdf(Body &body, const DispABase &w, const QString &path, QSize size, QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        // One page of exactly the picture's size, one window pixel per point of the resolution.
        const int dpi = screenDpi(w);
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Lumivard"));
        pdf.setTitle(w.windowTitle());
        pdf.setResolution(dpi);
        const QPageSize page(QSizeF(size) / dpi, QPageSize::Inch, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf))
            return fail(error, QStringLiteral("The document cannot be started."));
        paintPicture(body, w, p, size);
        if (!p.end())
            return fail(error, QStringLiteral("The document cannot be finished."));
    }
    return writeFile(path, buffer.data(), error);
}

} // namespace

PlotFormat plotFormatOf(const QString &path, PlotFormat fallback)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return PlotFormat::Png;
    if (suffix == QLatin1String("svg"))
        return PlotFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return PlotFormat::Pdf;
    return fallback;
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
    const DispABase &w = body.plotWindow(which);
    if (size.isEmpty() || size.width() > kMaxPixels || size.height() > kMaxPixels)
        return fail(error, QStringLiteral("The plot window has no picture to export."));
    switch (format) {
    case PlotFormat::Png:
        return writePng(body, w, path, size, scale, error);
    case PlotFormat::Svg:
        return writeSvg(body, w, path, size, error);
    case PlotFormat::Pdf:
        return writePdf(body, w, path, size, error);
    case PlotFormat::Unknown:
        break;
    }
    return fail(
        error,
        QStringLiteral("No picture format: the file name does not end in .png, .svg or .pdf."));
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
    paintPicture(body, w, p, size);
    return p.end();
}
