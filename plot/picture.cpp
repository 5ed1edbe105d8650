#include "picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

// Pictures larger than this on a side are refused rather than left to fail in the allocator.
constexpr int kMaxPixels = 32768;

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool pngBytes(const PlotPicture &pic, QSize size, double scale, QByteArray &bytes, QString *error)
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
    const double dotsPerMeter = std::max(1, pic.dpi) / 0.0254;
    image.setDotsPerMeterX(qRound(dotsPerMeter));
    image.setDotsPerMeterY(qRound(dotsPerMeter));
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    pic.paint(p, size);
    p.end();
    // Printed at twice the pixels, the picture keeps its size on paper.
    image.setDotsPerMeterX(qRound(dotsPerMeter * scale));
    image.setDotsPerMeterY(qRound(dotsPerMeter * scale));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG"))
        return fail(error, QStringLiteral("The picture cannot be encoded."));
    bytes = buffer.data();
    return true;
}

bool svgBytes(const PlotPicture &pic, QSize size, QByteArray &bytes, QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(std::max(1, pic.dpi));
    svg.setTitle(QStringLiteral("Lumivard"));
    svg.setDescription(pic.title);
    QPainter p;
    if (!p.begin(&svg))
        return fail(error, QStringLiteral("The drawing cannot be started."));
    pic.paint(p, size);
    p.end();
    bytes = buffer.data();
    return true;
}

bool pdfBytes(const PlotPicture &pic, QSize size, QByteArray &bytes, QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        // One page of exactly the picture's size, one window pixel per point of the resolution.
        const int dpi = std::max(1, pic.dpi);
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Lumivard"));
        pdf.setTitle(pic.title);
        pdf.setResolution(dpi);
        const QPageSize page(QSizeF(size) / dpi, QPageSize::Inch, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf))
            return fail(error, QStringLiteral("The document cannot be started."));
        pic.paint(p, size);
        if (!p.end())
            return fail(error, QStringLiteral("The document cannot be finished."));
    }
    bytes = buffer.data();
    return true;
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

bool plotPictureBytes(const PlotPicture &picture,
                      PlotFormat format,
                      QSize size,
                      double scale,
                      QByteArray &bytes,
                      QString *error)
{
    if (size.isEmpty() || size.width() > kMaxPixels || size.height() > kMaxPixels)
        return fail(error, QStringLiteral("The plot window has no picture to export."));
    switch (format) {
    case PlotFormat::Png:
        return pngBytes(picture, size, scale, bytes, error);
    case PlotFormat::Svg:
        return svgBytes(picture, size, bytes, error);
    case PlotFormat::Pdf:
        return pdfBytes(picture, size, bytes, error);
    case PlotFormat::Unknown:
        break;
    }
    return fail(
        error,
        QStringLiteral("No picture format: the file name does not end in .png, .svg or .pdf."));
}

bool writePlotPicture(const PlotPicture &picture,
                      const QString &path,
                      PlotFormat format,
                      QSize size,
                      double scale,
                      QString *error)
{
    QByteArray bytes;
    if (!plotPictureBytes(picture, format, size, scale, bytes, error))
        return false;
    // The file appears only once complete; a failed write leaves what was there.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    return fail(error, file.errorString());
}
