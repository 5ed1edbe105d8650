#include "plotcontrol.h"

#include "body.h"
#include "chcoord.h"
#include "navigation.h"
#include "rastertarget.h"
#include "shapenames.h"

#include <QPaintEngine>
#include <QPainter>
#include <QSemaphore>
#include <QThread>
#include <QToolTip>

#include <atomic>
#include <vector>

namespace {

// A tooltip stays while its shape stays highlighted; Qt's default would drop it after 10 s.
constexpr int kToolTipMs = 3600 * 1000;

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

bool secondThread = QThread::idealThreadCount() > 1;

} // namespace

void PlotControl::setSecondThread(bool on)
{
    secondThread = on;
}

PlotControl::PlotControl(Body &window) : QObject(&window), window(window)
{
    helper.setMaxThreadCount(1);
    helper.setExpiryTimeout(-1);
}

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

PlotControl::PaintStart
PlotControl::startOf(const DispABase *w, const QImage &device, const QPainter *p) const
{
    PaintStart s;
    s.format = device.format();
    s.ratio = device.devicePixelRatio();
    s.size = w->disp.size();
    s.dotsPerMeterX = qRound(w->disp.logicalDpiX() / 0.0254);
    s.dotsPerMeterY = qRound(w->disp.logicalDpiY() / 0.0254);
    s.pen = p->pen();
    s.brush = p->brush();
    s.font = p->font();
    s.background = p->background();
    s.hints = p->renderHints();
    return s;
}

bool PlotControl::shows(const Kept &k, const DispABase *w, const PaintStart &start) const
{
    return k.start == start && k.scene == scene && k.view == w->realC
           && k.selected == window.selectedShape && k.fastPaths == pixelFastPaths();
}

void PlotControl::drawPicture(DispABase *w, Kept &k, const PaintStart &start)
{
    // The surface as its paint leaves it before the scene: its background, in the painter's
    // pen, brush and font.
    // The same buffer again where it fits: a fresh one of this size would be mapped anew, page by
    // page, at every drawing.
    const QSize pixels = start.size * start.ratio;
    if (k.picture.size() != pixels || k.picture.format() != start.format)
        k.picture = QImage(pixels, start.format);
    k.picture.setDevicePixelRatio(start.ratio);
    k.picture.setDotsPerMeterX(start.dotsPerMeterX);
    k.picture.setDotsPerMeterY(start.dotsPerMeterY);
    k.picture.fill(w->disp.bgColor);
    QPainter q(&k.picture);
    q.setPen(start.pen);
    q.setBrush(start.brush);
    q.setFont(start.font);
    q.setBackground(start.background);
    q.setRenderHints(start.hints);
    k.drawn = drawSceneBase(&q, &w->disp.cc, w->realC, window.sceneContent());
    q.end();
    k.start = start;
    k.scene = scene;
    k.view = w->realC;
    k.selected = window.selectedShape;
    k.fastPaths = pixelFastPaths();
}

void PlotControl::drawNewScene(DispABase *w, const PaintStart &start)
{
    struct Job
    {
        DispABase *window;
        Kept *kept;
        PaintStart start;
    };
    std::vector<Job> jobs{{w, &kept[w], start}};
    // The other windows start as they did last time, on a surface like this one; a guess that
    // proves wrong costs a second drawing when that window paints.
    for (DispABase *v :
         {&window.overallView, &window.crystalsView, &window.focusView, &window.imagingView}) {
        const auto k = kept.find(v);
        if (v != w && v->isVisible() && k != kept.end() && k->second.scene != scene) {
            PaintStart s = k->second.start;
            s.format = start.format;
            s.ratio = start.ratio;
            s.size = v->disp.size();
            jobs.push_back({v, &k->second, s});
        }
    }
    drawnAnew += int(jobs.size());
    // Each window's picture is its own, and the scene is only read: the two threads take the
    // windows in turn until none is left.
    std::atomic<size_t> next{0};
    const auto drawSome = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            drawPicture(jobs[i].window, *jobs[i].kept, jobs[i].start);
    };
    QSemaphore done;
    const bool shared = jobs.size() > 1 && secondThread && helper.tryStart([&] {
        drawSome();
        done.release();
    });
    drawSome();
    if (shared)
        done.acquire();
}

bool PlotControl::drawKept(DispABase *w, QPainter *p)
{
    const QImage *device = paintedImage(p);
    // Only a plain paint of the window's own surface: whole pixels, no transform of its own.
    if (!device || p->transform().type() > QTransform::TxTranslate)
        return false;
    const PaintStart start = startOf(w, *device, p);
    Kept &k = kept[w];
    if (!shows(k, w, start)) {
        if (k.scene != scene) {
            drawNewScene(w, start);
        } else {
            drawPicture(w, k, start);
            ++drawnAnew;
        }
    }
    ChCoord *cc = &w->disp.cc;
    setWorldFromView(*cc, w->realC);
    if (!k.drawn)
        return true;
    p->drawImage(QPointF(0, 0), k.picture);
    drawSceneTop(p, cc, window.sceneContent());
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
