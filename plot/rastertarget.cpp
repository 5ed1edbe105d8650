#include "rastertarget.h"

#include <QColor>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::atomic<bool> fastPaths{true};

// A translation by whole pixels small enough that nothing shifted by it overflows.
bool wholePixels(double v, int &out)
{
    if (!(std::fabs(v) <= RasterTarget::kMaxSide) || v != std::floor(v))
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

void setPixelFastPaths(bool on)
{
    fastPaths = on;
}

bool pixelFastPaths()
{
    return fastPaths;
}

bool provenQtRelease()
{
    static const bool proven
        = QLatin1String(qVersion()).startsWith(QLatin1String(kProvenQtRelease));
    return proven;
}

RasterTarget::RasterTarget(QPainter *p)
{
    if (!fastPaths || !provenQtRelease() || !p || !p->isActive())
        return;
    QPaintEngine *engine = p->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return;
    QPaintDevice *device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    QImage *image = static_cast<QImage *>(device);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32
        && f != QImage::Format_ARGB32_Premultiplied)
        return;
    // Shared data would be copied by bits(), away from the buffer the engine paints into.
    if (!image->isDetached() || image->width() > kMaxSide || image->height() > kMaxSide
        || image->devicePixelRatioF() != 1.0)
        return;
    const QTransform &t = p->deviceTransform();
    if (t.type() > QTransform::TxTranslate || !wholePixels(t.dx(), dx) || !wholePixels(t.dy(), dy))
        return;
    if (p->hasClipping() || p->opacity() != 1.0
        || p->compositionMode() != QPainter::CompositionMode_SourceOver
        || p->testRenderHint(QPainter::Antialiasing)
        || p->testRenderHint(QPainter::Qt4CompatiblePainting))
        return;

    const QRect whole = image->rect();
    const QRegion system = engine->systemClip();
    if (system.isEmpty()) {
        clip.append(whole);
    } else {
        for (const QRect &r : system) {
            const QRect inside = r & whole;
            if (!inside.isEmpty())
                clip.append(inside);
        }
        if (clip.isEmpty())
            return;
    }
    width = image->width();
    height = image->height();
    stride = image->bytesPerLine() / 4;
    // Detached, so these are the very bytes the engine writes to; bits() would only bump the
    // image's serial number and run its cache hooks.
    pixels = reinterpret_cast<uint32_t *>(const_cast<uchar *>(image->constBits()));
}

void RasterTarget::fill(const QRect &r, uint32_t argb) const
{
    for (const QRect &c : clip) {
        const QRect part = r & c;
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::fill_n(row(y) + part.left(), part.width(), argb);
    }
}

bool opaquePixel(const QColor &c, uint32_t &argb)
{
    // The rounding of Qt's own solid fills: through the 16-bit colour.
    const QRgba64 c64 = c.rgba64();
    if (c64.alpha() != 0xffff)
        return false;
    argb = c64.toArgb32();
    return true;
}
