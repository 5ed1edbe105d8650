#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

// Pictures of a plot window for other programs: exactly what the window shows, drawn by the
// window's own scene drawing onto an image, an SVG or a PDF.

// PNG holds the pixels; SVG and PDF are vector drawings.
enum class PlotFormat { Unknown, Png, Svg, Pdf };

// The format that a file name's suffix asks for (".png", ".svg", ".pdf", in any case), else
// fallback (the file type chosen in a dialog).
PlotFormat plotFormatOf(const QString &path, PlotFormat fallback = PlotFormat::Unknown);

// One plot window's picture: how it paints itself at a size in pixels (its background included),
// its title, and the resolution its texts are laid out at (the screen's).
struct PlotPicture
{
    std::function<void(QPainter &p, QSize size)> paint;
    QString title;
    int dpi = 96;
};

// The picture of the given size as file bytes in the format. scale applies to PNG only (2 for
// print: twice the pixels, the same picture); SVG and PDF are drawn at the size in pixels of the
// picture's resolution. False, with the reason in *error, for an empty or too large picture, an
// unknown format, or a drawing that cannot be made.
bool plotPictureBytes(const PlotPicture &picture,
                      PlotFormat format,
                      QSize size,
                      double scale,
                      QByteArray &bytes,
                      QString *error = nullptr);

// The same written to a file, which is replaced only once complete.
bool writePlotPicture(const PlotPicture &picture,
                      const QString &path,
                      PlotFormat format,
                      QSize size,
                      double scale,
                      QString *error = nullptr);
