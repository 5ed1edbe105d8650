// What a user waits for, timed on the real main window under the offscreen platform: tracing
// alone, a full regeneration after Return in a field, a crystal-row edit, opening a design file of
// 100 or 1000 crystals, a repaint of the overall window (plain and after a long history), one
// wheel step, and the repaint of the overall window after a hover move and after a pan move at 100
// and 1000 crystals; the physics of the Bands window and the Monte-Carlo ray trace.
//
// Every paint goes the way it goes on screen: a slot asks for a repaint, the event loop paints the
// shown window into the platform's backing store (offscreen: an image in memory). Each case counts
// the paints of the plot windows and fails when they are not exactly the expected ones.
//
//   bench_lumivard [--benchmark_* options]        Google Benchmark timings
//   bench_lumivard --callgrind CASE [REPEATS]     CASE twice to warm up, then REPEATS times with
//                                                 callgrind counting the step alone (run under
//                                                 valgrind --tool=callgrind --instr-atstart=no
//                                                 --collect-atstart=no); the counts are in the
//                                                 dump made at the client request CASE
//   bench_lumivard --list                         the CASE names
#include "bandanalysis.h"
#include "body.h"
#include "child.h"
#include "designdocument.h"
#include "layout.h"
#include "plotcontrol.h"
#include "raytrace.h"
#include "resources.h"
#include "trace.h"
#include "units.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <random>
#include <string>
// The client requests are no-ops outside valgrind; without its headers the callgrind mode still
// runs, uncounted.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

namespace {

// Everything the event loop would do next: paints, layout requests, deferred deletions.
void runEventLoopOnce()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A plot window painted as the screen would show it now, offscreen into an image kept for the
// window from one paint to the next, as a window's backing store is (a fresh image per paint would
// add the mapping of its pages, which the screen does not pay).
void grab(DispABase &w)
{
    static std::map<const DispABase *, QImage> surfaces;
    QImage &image = surfaces[&w];
    if (image.size() != w.size())
        image = QImage(w.size(), QImage::Format_RGB32);
    w.render(&image);
    benchmark::DoNotOptimize(image.cacheKey());
}

// The main window as the program shows it, with a design of n crystals (type 3 otherwise at
// its defaults), and a count of the paints of each plot window. A step paints what it changes
// by grabbing; afterwards settle() lets the event loop do what it would do next (the main
// window's own repaint, the repaints the step asked for), outside the measurement.
class Session
{
public:
    explicit Session(int n)
    {
        body.show();
        startE = field("StartE");
        field("Num")->setText(QString::number(n));
        QTest::keyClick(startE, Qt::Key_Return);
        runEventLoopOnce();
        for (DispABase *v : views())
            QObject::connect(v, &DispABase::drawImage, [this, v](QPainter *) { ++paints[v]; });
        if (body.crystals.size() != n)
            qFatal("asked for %d crystals, got %d", n, int(body.crystals.size()));
    }

    QLineEdit *field(const char *name)
    {
        return child<QLineEdit>(child<QWidget>(&body, "CA"), name);
    }

    QVector<DispABase *> views()
    {
        return {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView};
    }

    // Return in "Start. Energy": newLayout, drawEverything, the four plot windows painted, and
    // the replaced crystals deleted.
    void regenerate()
    {
        QTest::keyClick(startE, Qt::Key_Return);
        for (DispABase *v : views())
            grab(*v);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // One paint of the overall window, its whole scene drawn (a window shows a kept picture of it
    // where only the cursor moved: no highlight, alternately by two names, lets it keep none).
    void repaintOverall()
    {
        body.selectedShape = body.selectedShape == -1 ? -2 : -1;
        grab(body.overallView);
    }

    // One notch of the wheel at the middle of the Focus Point window, alternately away from and
    // toward the user so that the view stays where it is, and the window painted.
    void wheelStepInFocus() { wheelStepIn(body.focusView); }
    // The same in the overall window.
    void wheelStepInOverall() { wheelStepIn(body.overallView); }

    void wheelStepIn(DispABase &w)
    {
        DispA &d = w.disp;
        const QPoint mid(d.width() / 2, d.height() / 2);
        QWheelEvent e(QPointF(mid),
                      QPointF(d.mapToGlobal(mid)),
                      QPoint(),
                      QPoint(0, wheelAway ? 120 : -120),
                      Qt::NoButton,
                      Qt::NoModifier,
                      Qt::NoScrollPhase,
                      false);
        wheelAway = !wheelAway;
        QApplication::sendEvent(&d, &e);
        grab(w);
    }

    // The cursor rests in the middle of the overall window (the wheel zooms about it).
    void pointAtOverallMiddle() { pointAtMiddle(body.overallView.disp); }
    // The cursor rests in the middle of the Focus Point window (the wheel zooms about it).
    void pointAtFocusMiddle() { pointAtMiddle(body.focusView.disp); }
    void pointAtMiddle(DispA &d)
    {
        const QPoint mid(d.width() / 2, d.height() / 2);
        QMouseEvent e(QEvent::MouseMove,
                      QPointF(mid),
                      QPointF(d.mapToGlobal(mid)),
                      Qt::NoButton,
                      Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(&d, &e);
        settle();
    }

    // A history of `entries` more focus and image points: all but the newest ten wandering in a
    // region right of the overall window's view, as when a crystal was dragged far out and back
    // while the overall window stayed put, the newest ten where the focus is now.
    void addHistory(int entries)
    {
        const QRectF v = body.overallView.realC;
        const Point f = body.avrCps.points.last();
        const Point i = body.avrIps.points.last();
        const QString label = f.label;
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> dx(1.0, 5.0);
        std::uniform_real_distribution<double> dy(-2.0, 2.0);
        for (int k = 0; k < entries; ++k) {
            if (k >= entries - 10) {
                body.avrCps.add(Point(f.x, f.y, label));
                body.avrIps.add(Point(i.x, i.y, label));
            } else {
                const double x = v.right() + dx(rng) * v.width();
                const double y = v.center().y() + dy(rng) * v.height();
                body.avrCps.add(Point(x, y, label));
                body.avrIps.add(Point(x + v.width(), y, label));
            }
        }
        settle();
    }

    // The paints of the step just done, per window in view order ("1 0 0 0": the overall window
    // once), then what the event loop would do next; its paints are not counted.
    QString settle()
    {
        QStringList s;
        for (DispABase *v : views())
            s << QString::number(paints[v]);
        runEventLoopOnce();
        paints.clear();
        return s.join(' ');
    }

    Body body;

private:
    QLineEdit *startE = nullptr;
    std::map<DispABase *, int> paints;
    bool wheelAway = true;
};

// Runs step once per iteration, settling the event loop between iterations without timing it;
// every step must paint exactly the windows given.
void runSteps(benchmark::State &state,
              Session &s,
              const std::function<void()> &step,
              const char *paints)
{
    s.settle();
    for (auto _ : state) {
        step();
        state.PauseTiming();
        const QString got = s.settle();
        if (got != QLatin1String(paints)) {
            state.SkipWithError(qPrintable("plot windows painted " + got + ", expected " + paints));
            state.ResumeTiming();
            break;
        }
        state.ResumeTiming();
    }
}

// ---- 1. Tracing alone: crossings of the reflected centre rays of every pair, and the centres.

void BM_trace(benchmark::State &state)
{
    LayoutParams p;
    p.count = int(state.range(0));
    const QVector<CrystalOptics> geometries = layOut(p, units.D);
    const CrystalList list = crystalList(geometries);
    Points crossPoints;
    Points centres;
    for (auto _ : state) {
        crossCentreRays(list, crossPoints, centres);
        benchmark::DoNotOptimize(crossPoints.sum);
    }
    state.SetComplexityN(state.range(0));
    state.counters["crossings"] = double(crossPoints.points.size());
}
BENCHMARK(BM_trace)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

// ---- 2. Full regeneration after Return in "Start. Energy", N crystals.

void BM_regenerate(benchmark::State &state)
{
    Session s(int(state.range(0)));
    runSteps(
        state, s, [&] { s.regenerate(); }, "1 1 1 1");
}
BENCHMARK(BM_regenerate)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- 3. One repaint of the 900 x 600 overall window, default design, without and with history.

void BM_repaintOverall(benchmark::State &state)
{
    Session s(10);
    s.body.overallView.resize(900, 600);
    runEventLoopOnce();
    s.addHistory(int(state.range(0)));
    runSteps(
        state, s, [&] { s.repaintOverall(); }, "1 0 0 0");
    state.counters["history"] = double(s.body.avrCps.points.size());
}
BENCHMARK(BM_repaintOverall)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

// ---- 4. One wheel step in the Focus Point window, default design.

void BM_wheelFocus(benchmark::State &state)
{
    Session s(10);
    s.pointAtFocusMiddle();
    runSteps(
        state, s, [&] { s.wheelStepInFocus(); }, "0 0 1 0");
}
BENCHMARK(BM_wheelFocus)->Unit(benchmark::kMillisecond);

// ---- 5. Physics of the array: every crystal's band, the coverage, the lattice offset and the
// focus quality of a type 3 design of Si 1 1 1 from 8000 eV down by 5 eV (1000 crystals reach
// 3005 eV, all above the cut-off); what the Bands window computes after each trace.

std::function<void()> analyseBandsStep(int n, const SourceParams &source = SourceParams())
{
    LayoutParams p;
    p.count = n;
    p.energyStep = -5;
    const double d = 3.13507;
    auto geometries = std::make_shared<const QVector<CrystalOptics>>(layOut(p, d));
    auto list = std::make_shared<CrystalList>(crystalList(*geometries));
    DesignMaterial m;
    m.material = QStringLiteral("Si");
    m.h = m.k = m.l = 1;
    m.latticeConstant = 5.4301;
    m.spacing = d;
    m.startEnergy = p.startEnergy;
    return [geometries, list, m, source] {
        const BandsAnalysis a = analyseBands(m, *list, source);
        if (a.coverage.bands != list->size() || a.effectiveCoverage.bands != list->size())
            qFatal("%d crystals, %d bands, %d effective bands",
                   int(list->size()),
                   a.coverage.bands,
                   a.effectiveCoverage.bands);
        benchmark::DoNotOptimize(a.coverage.covered);
    };
}

// A source that lights the whole array (its height is about n dY): 10 m away, as wide as the
// array, 100 urad of divergence, unpolarised.
SourceParams wideSource(int n)
{
    SourceParams s;
    s.distance = 10000;
    s.size = 2.0 * n;
    s.divergence = 100;
    s.polarisation = Reflection::Polarisation::unpolarised();
    return s;
}

void BM_analyseBands(benchmark::State &state)
{
    const std::function<void()> step = analyseBandsStep(int(state.range(0)));
    for (auto _ : state)
        step();
}
BENCHMARK(BM_analyseBands)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same with a real source: every crystal's band convolved with the directions it sees.
void BM_analyseBandsWithSource(benchmark::State &state)
{
    const int n = int(state.range(0));
    const std::function<void()> step = analyseBandsStep(n, wideSource(n));
    for (auto _ : state)
        step();
}
BENCHMARK(BM_analyseBandsWithSource)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- 6. The Monte-Carlo check: 10^6 rays through 100 crystals (the default design's type, 5 eV
// apart), lit by the wide source, on every core.

std::function<void()> rayTraceStep(qint64 rays, int crystals)
{
    LayoutParams p;
    p.count = crystals;
    p.energyStep = -5;
    const double d = 3.13507;
    auto geometries = std::make_shared<const QVector<CrystalOptics>>(layOut(p, d));
    auto list = std::make_shared<CrystalList>(crystalList(*geometries));
    const DesignMaterial m{QStringLiteral("Si"), 1, 1, 1, 5.4301, d, p.startEnergy};
    auto analysis
        = std::make_shared<const BandsAnalysis>(analyseBands(m, *list, wideSource(crystals)));
    RayTraceParams params;
    params.rays = rays;
    return [geometries, list, analysis, params] {
        const RayTrace t = traceRays(*analysis, *list, params);
        if (t.rays != params.rays || t.reflected == 0)
            qFatal("%lld rays traced, %lld reflected", t.rays, t.reflected);
        benchmark::DoNotOptimize(t.reflected);
    };
}

void BM_rayTrace(benchmark::State &state)
{
    const std::function<void()> step = rayTraceStep(state.range(0), int(state.range(1)));
    for (auto _ : state)
        step();
    state.counters["rays"] = double(state.range(0));
}
BENCHMARK(BM_rayTrace)
    ->Args({1000000, 100})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// ---- 5. A crystal-row edit: Return in the Length of the middle row of N crystals.

// The middle row scrolled into view, as a user brings it there before editing it (its fields are
// built then).
ACrystal *middleRow(Session &s)
{
    ACrystal *middle = s.body.crystals[s.body.crystals.size() / 2];
    child<QScrollArea>(&s.body, "CLScroll")->ensureWidgetVisible(middle);
    runEventLoopOnce();
    return middle;
}

// That crystal recomputed from its shown length, the design traced again (drawEverything), the
// four plot windows painted.
void editRow(Session &s)
{
    ACrystal *middle = s.body.crystals[s.body.crystals.size() / 2];
    QTest::keyClick(child<QLineEdit>(middle, "Length"), Qt::Key_Return);
    for (DispABase *v : s.views())
        grab(*v);
}

void BM_rowEdit(benchmark::State &state)
{
    Session s(int(state.range(0)));
    middleRow(s);
    runSteps(
        state, s, [&] { editRow(s); }, "1 1 1 1");
}
BENCHMARK(BM_rowEdit)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- 5. One repaint of the overall window after a hover move and after a pan move, N crystals.

// A mouse event on the overall window's surface at p, with the buttons held.
void mouseOnOverall(
    Session &s, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held)
{
    DispA &d = s.body.overallView.disp;
    QMouseEvent e(type, QPointF(p), QPointF(d.mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&d, &e);
}

// The middle of the overall window's surface, where the design lies after a regeneration.
QPoint overallMiddle(Session &s)
{
    const DispA &d = s.body.overallView.disp;
    return QPoint(d.width() / 2, d.height() / 2);
}

// The cursor moves by one pixel over the middle of the overall window, back and forth, without a
// button: the nearest shape is picked again and the window painted.
std::function<void()> hoverStep(Session &s)
{
    auto there = std::make_shared<bool>(false);
    return [&s, there] {
        *there = !*there;
        mouseOnOverall(s,
                       QEvent::MouseMove,
                       overallMiddle(s) + QPoint(*there, *there),
                       Qt::NoButton,
                       Qt::NoButton);
        grab(s.body.overallView);
    };
}

// The left button is held down in the middle of the overall window; each step drags the view by
// one pixel, back and forth, and the window is painted.
std::function<void()> panStep(Session &s)
{
    mouseOnOverall(s, QEvent::MouseButtonPress, overallMiddle(s), Qt::LeftButton, Qt::LeftButton);
    s.settle();
    auto there = std::make_shared<bool>(false);
    return [&s, there] {
        *there = !*there;
        mouseOnOverall(s,
                       QEvent::MouseMove,
                       overallMiddle(s) + QPoint(*there, 0),
                       Qt::NoButton,
                       Qt::LeftButton);
        grab(s.body.overallView);
    };
}

void BM_hoverOverall(benchmark::State &state)
{
    Session s(int(state.range(0)));
    runSteps(state, s, hoverStep(s), "1 0 0 0");
}
BENCHMARK(BM_hoverOverall)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_panOverall(benchmark::State &state)
{
    Session s(int(state.range(0)));
    runSteps(state, s, panStep(s), "1 0 0 0");
}
BENCHMARK(BM_panOverall)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_wheelOverall(benchmark::State &state)
{
    Session s(int(state.range(0)));
    s.pointAtOverallMiddle();
    runSteps(
        state, s, [&] { s.wheelStepInOverall(); }, "1 0 0 0");
}
BENCHMARK(BM_wheelOverall)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- 7. Opening a design file of N crystals (Load, as the dialog's choice does it) while the
// window shows the default design of 10: the file read, the rows, the four plot windows painted,
// the replaced crystals deleted. Between the steps the window goes back to 10 crystals, untimed.

// The resident size of the process, MiB.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * 4096 / (1024.0 * 1024.0);
}

struct DesignFiles
{
    QTemporaryDir dir;
    QString large;
    QString small;

    explicit DesignFiles(int n)
    {
        DesignDocument doc;
        small = dir.filePath(QStringLiteral("small.cfg"));
        doc.save(small);
        doc.apply(QStringLiteral("Num"), QString::number(n));
        // A crystal edited by hand, as a saved design often has one.
        doc.apply(QStringLiteral("crystal.2.Y"), QStringLiteral("12.5"));
        large = dir.filePath(QStringLiteral("large.cfg"));
        doc.save(large);
    }
};

void loadDesign(Session &s, const QString &path)
{
    QMetaObject::invokeMethod(&s.body, "load", Q_ARG(QString, path));
    for (DispABase *v : s.views())
        grab(*v);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_loadDesign(benchmark::State &state)
{
    const int n = int(state.range(0));
    const DesignFiles files(n);
    Session s(10);
    for (auto _ : state) {
        state.PauseTiming();
        loadDesign(s, files.small);
        s.settle();
        state.ResumeTiming();
        loadDesign(s, files.large);
        state.PauseTiming();
        if (s.body.crystals.size() != n)
            state.SkipWithError("the design file was not loaded");
        s.settle();
        state.ResumeTiming();
    }
    state.counters["residentMiB"] = residentMiB();
}
BENCHMARK(BM_loadDesign)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- Instruction counts: the same steps, collected by callgrind around the step only.

using Step = std::function<void()>;
using CaseSetUp = std::function<Step(std::unique_ptr<Session> &)>;

// The row-edit cases, rowEdit/N.
void addRowEditCases(std::map<std::string, CaseSetUp> &cases)
{
    for (int n : {10, 100, 1000}) {
        cases["rowEdit/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(n);
            middleRow(*s);
            return Step([raw = s.get()] { editRow(*raw); });
        };
    }
}

std::map<std::string, CaseSetUp> callgrindCases()
{
    std::map<std::string, CaseSetUp> cases;
    for (int n : {10, 100, 1000}) {
        cases["trace/" + std::to_string(n)] = [n](std::unique_ptr<Session> &) {
            LayoutParams p;
            p.count = n;
            auto geometries = std::make_shared<const QVector<CrystalOptics>>(layOut(p, units.D));
            auto list = std::make_shared<CrystalList>(crystalList(*geometries));
            auto cps = std::make_shared<Points>();
            auto centres = std::make_shared<Points>();
            return Step(
                [geometries, list, cps, centres] { crossCentreRays(*list, *cps, *centres); });
        };
        cases["regenerate/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(n);
            return Step([raw = s.get()] { raw->regenerate(); });
        };
    }
    for (int h : {0, 10000}) {
        cases["repaintOverall/" + std::to_string(h)] = [h](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(10);
            s->body.overallView.resize(900, 600);
            runEventLoopOnce();
            s->addHistory(h);
            return Step([raw = s.get()] { raw->repaintOverall(); });
        };
    }
    for (int n : {10, 1000}) {
        cases["analyseBands/" + std::to_string(n)]
            = [n](std::unique_ptr<Session> &) { return Step(analyseBandsStep(n)); };
        cases["analyseBandsWithSource/" + std::to_string(n)]
            = [n](std::unique_ptr<Session> &) { return Step(analyseBandsStep(n, wideSource(n))); };
    }
    cases["rayTrace/1000000/100"]
        = [](std::unique_ptr<Session> &) { return Step(rayTraceStep(1000000, 100)); };

    for (int n : {100, 1000}) {
        cases["hoverOverall/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(n);
            return Step(hoverStep(*s));
        };
        cases["panOverall/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(n);
            return Step(panStep(*s));
        };
    }
    for (int n : {100, 1000}) {
        cases["wheelOverall/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(n);
            s->pointAtOverallMiddle();
            return Step([raw = s.get()] { raw->wheelStepInOverall(); });
        };
        // The file is loaded at every step, each after the small one (not counted).
        cases["loadDesign/" + std::to_string(n)] = [n](std::unique_ptr<Session> &s) {
            s = std::make_unique<Session>(10);
            auto files = std::make_shared<DesignFiles>(n);
            return Step([raw = s.get(), files] {
                CALLGRIND_TOGGLE_COLLECT;
                loadDesign(*raw, files->small);
                raw->settle();
                CALLGRIND_TOGGLE_COLLECT;
                loadDesign(*raw, files->large);
            });
        };
    }
    cases["wheelFocus"] = [](std::unique_ptr<Session> &s) {
        s = std::make_unique<Session>(10);
        s->pointAtFocusMiddle();
        return Step([raw = s.get()] { raw->wheelStepInFocus(); });
    };
    addRowEditCases(cases);
    return cases;
}

int runCallgrindCase(const std::string &name, int repeats)
{
    const auto cases = callgrindCases();
    const auto it = cases.find(name);
    if (it == cases.end()) {
        std::fprintf(stderr, "unknown case %s (see --list)\n", name.c_str());
        return 2;
    }
    // Callgrind counts the thread that asks; the pictures another thread would draw are drawn
    // on this one, so the count is all of a step's work (and the same at every run).
    PlotControl::setSecondThread(false);
    std::unique_ptr<Session> session;
    const Step step = it->second(session);
    const auto settle = [&] {
        if (session)
            session->settle();
    };
    // Twice uncounted: the first runs fill font, glyph and pen caches.
    for (int i = 0; i < 2; ++i) {
        step();
        settle();
    }
    CALLGRIND_START_INSTRUMENTATION;
    for (int i = 0; i < repeats; ++i) {
        CALLGRIND_TOGGLE_COLLECT;
        step();
        CALLGRIND_TOGGLE_COLLECT;
        settle();
    }
    CALLGRIND_DUMP_STATS_AT(name.c_str());
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("%s repeats=%d\n", name.c_str(), repeats);
    return 0;
}

// The offscreen platform says at every shown window that it cannot pass size hints on.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char **argv)
{
    // As the program does (app/main.cpp).
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
    initLumivardResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);

    if (argc >= 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const auto &c : callgrindCases())
            std::printf("%s\n", c.first.c_str());
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--callgrind") == 0)
        return runCallgrindCase(argv[2], argc >= 4 ? std::atoi(argv[3]) : 10);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
