#include "plotcontrol.h"

#include "body.h"
#include "navigation.h"
#include "rastertarget.h"
#include "shapenames.h"

#include <QPaintEngine>
#include <QPainter>
#include <QToolTip>

namespace {

// A tooltip stays while its shape stays highlighted; Qt's default would drop it after 10 s.
constexpr int kToolTipMs = 3600 * 1000;

void setWorldFromView(ChCoord &cc, const QRectF &view)
{
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
}

// The image the painter paints into, when it paints into one (a window's backing store).
const QImage *paintedImage(QPainter *p)
{
    const QPaintEngine *engine = p->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return nullptr;
    const QPaintDevice *device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    return static_cast<const QImage *>(device);
}

} // namespace

PlotControl::PlotControl(Body &window) : QObject(&window), window(window) {}

void PlotControl::sceneChanged()
{
    ++scene;
}

void PlotControl::draw(DispABase *w, QPainter *p)
{
    ChCoord *cc = &w->disp.cc;
    if (!drawKept(w, p))
        window.drawScene(p, *w, cc);

    // The read-outs show the window painted last.
    const QPoint cur = w->disp.mc.curPos;
    window.MPos->setText(positionReadout(cc->toWorldX(cur.x()), cc->toWorldY(cur.y())));
    if (window.doc.focusState().hasFocus()) {
        const Point focus = newestOr0(window.avrCps);
        window.AvrCps->setText(positionReadout(focus.x, focus.y));
        const Point image = newestOr0(window.avrIps);
        window.AvrIps->setText(positionReadout(image.x, image.y));
    } else {
        // The histories' newest entries belong to another design, or to crystals that reflect
        // nothing.
        window.AvrCps->setText(noFocusText());
        window.AvrIps->setText(noFocusText());
    }
    window.MeasLength->setText(measureReadout(window.measLine));
}

QString PlotControl::noFocusText()
{
    return tr("no focus: fewer than two reflecting crystals");
}

void PlotControl::showFocusState()
{
    const FocusState &f = window.doc.focusState();
    const qint64 parallel = f.pairs.parallel;
    const qint64 behind = f.pairs.behind;
    const QString parallelPairs
        = parallel == 1 ? tr("1 parallel pair") : tr("%1 parallel pairs").arg(parallel);
    const QString behindPairs = behind == 1
                                    ? tr("1 pair crossing behind the crystals")
                                    : tr("%1 pairs crossing behind the crystals").arg(behind);
    QString why;
    if (parallel > 0 && behind > 0)
        why = tr("Includes %1 counted at (0, 0) and %2").arg(parallelPairs, behindPairs);
    else if (parallel > 0)
        why = tr("Includes %1 counted at (0, 0)").arg(parallelPairs);
    else if (behind > 0)
        why = tr("Includes %1").arg(behindPairs);
    // Set only on a change: a style sheet set again restyles the label.
    const QString sheet
        = why.isEmpty() ? QString() : QStringLiteral("background-color: rgb(255, 224, 160);");
    if (window.AvrCps->styleSheet() != sheet)
        window.AvrCps->setStyleSheet(sheet);
    if (window.AvrCps->toolTip() != why)
        window.AvrCps->setToolTip(why);

    QString leastSquares;
    if (!f.hasFocus())
        leastSquares = noFocusText();
    else if (f.leastSquares)
        leastSquares = tr("%1, RMS %2")
                           .arg(positionReadout(f.leastSquares->x, f.leastSquares->y),
                                readoutNumber(f.rms, 8, 3));
    else
        leastSquares = tr("none: the reflected lines do not meet");
    if (window.LsqFocus->text() != leastSquares)
        window.LsqFocus->setText(leastSquares);
    window.LsqFocusLabel->setVisible(!why.isEmpty());
    window.LsqFocus->setVisible(!why.isEmpty());
}

bool PlotControl::drawKept(DispABase *w, QPainter *p)
{
    const QImage *device = paintedImage(p);
    // Only a plain paint of the window's own surface: whole pixels, no transform of its own.
    if (!device || p->transform().type() > QTransform::TxTranslate)
        return false;
    const qreal ratio = device->devicePixelRatio();
    const QSize size = w->disp.size();
    Kept &k = kept[w];
    const SceneContent content = window.sceneContent();
    ChCoord *cc = &w->disp.cc;
    if (k.picture.format() != device->format() || k.picture.size() != size * ratio
        || k.picture.devicePixelRatio() != ratio || k.scene != scene || k.view != w->realC
        || k.selected != window.selectedShape || k.fastPaths != pixelFastPaths()) {
        // The surface as its paint leaves it before the scene: its background, in the painter's
        // pen, brush and font; texts at the window's resolution.
        k.picture = QImage(size * ratio, device->format());
        k.picture.setDevicePixelRatio(ratio);
        // Texts are laid out at the window's resolution, not at its backing store's.
        k.picture.setDotsPerMeterX(qRound(w->disp.logicalDpiX() / 0.0254));
        k.picture.setDotsPerMeterY(qRound(w->disp.logicalDpiY() / 0.0254));
        k.picture.fill(w->disp.bgColor);
        QPainter q(&k.picture);
        q.setPen(p->pen());
        q.setBrush(p->brush());
        q.setFont(p->font());
        q.setBackground(p->background());
        q.setRenderHints(p->renderHints());
        k.drawn = drawSceneBase(&q, cc, w->realC, content);
        q.end();
        k.scene = scene;
        k.view = w->realC;
        k.selected = window.selectedShape;
        k.fastPaths = pixelFastPaths();
        ++drawnAnew;
    }
    setWorldFromView(*cc, w->realC);
    if (!k.drawn)
        return true;
    p->drawImage(QPointF(0, 0), k.picture);
    drawSceneTop(p, cc, content);
    return true;
}

void PlotControl::mouseMoved(DispABase *w)
{
    QRectF view = w->realC;
    ChCoord &cc = w->disp.cc;
    setWorldFromView(cc, view);
    const MouseC &mc = w->disp.mc;

    if (!mc.pressed) {
        // Hover: a move with a modifier held keeps the highlight.
        if (mc.moveModifiers == 0) {
            const Point q(cc.toWorldX(mc.curPos.x()), cc.toWorldY(mc.curPos.y()));
            QVector<double> distances;
            distances.reserve(window.shapes.size());
            for (const Shape *s : qAsConst(window.shapes))
                distances.append(s ? s->distance(q) : -1.0);
            window.selectedShape = pickShape(distances, view.width(), view.height());
            showShapeToolTip(w);
        }
    } else if ((mc.pressModifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
               == 0) {
        if (mc.pressButton == Qt::LeftButton) {
            view = panView(view, cc, mc.curPos, mc.prevPos);
        } else if (mc.pressButton == Qt::RightButton) {
            const Point a(cc.toWorldX(mc.pressPos.x()), cc.toWorldY(mc.pressPos.y()));
            const Point b(cc.toWorldX(mc.curPos.x()), cc.toWorldY(mc.curPos.y()));
            measureLine(a, b, window.measLine);
        }
    }

    w->realC = view;
    w->update();
}

void PlotControl::wheelMoved(DispABase *w, int step)
{
    ChCoord &cc = w->disp.cc;
    setWorldFromView(cc, w->realC);
    w->realC = zoomView(w->realC, cc, w->disp.mc.curPos, step);
    w->update();
}

void PlotControl::showShapeToolTip(DispABase *w)
{
    const int selected = window.selectedShape;
    const ACrystal *crystal
        = selected >= 0 ? window.crystals.value(selected / kShapesPerCrystal) : nullptr;
    const QString text
        = crystal ? shapeToolTip(selected, crystal->energyEv(window.doc.design().spacing))
                  : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(
            w->disp.mapToGlobal(w->disp.mc.curPos), text, &w->disp, QRect(), kToolTipMs);
}
