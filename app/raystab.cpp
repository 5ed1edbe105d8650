#include "raystab.h"

#include "bandsdrawing.h"
#include "bandsmodel.h"
#include "chcoord.h"
#include "commandline.h"
#include "crystaldrawing.h"
#include "navigation.h"
#include "numberinput.h"
#include "plotgrid.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

struct RaysTab::Run
{
    std::shared_ptr<const RaysSubject> subject;
    RayTraceParams params;
    RayTrace result;
    double seconds = 0;
    int generation = 0;
};

namespace {

// The crystal list of a subject's own crystals.
CrystalList listOf(const RaysSubject &s)
{
    CrystalList list;
    list.reserve(s.crystals.size());
    for (const CrystalOptics &c : s.crystals)
        list.append(&c);
    return list;
}

// A view around [lo, hi] across and [0, top] up, with margins; a unit view when there is none.
QRectF viewAround(double lo, double hi, double top)
{
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return QRectF(0, 0, 1, 1);
    const double w = hi - lo;
    const double h = top > 0 && std::isfinite(top) ? top : 1.0;
    // Below 0 the room for the axis's title.
    return QRectF(lo - 0.05 * w, -0.16 * h, 1.1 * w, 1.33 * h);
}

// Below this many reflected rays a crystal's traced width is off by ten per cent and more.
constexpr qint64 kFewReflections = 2000;

enum Column {
    Number,
    Hits,
    Reflected,
    Fwhm,
    FwhmError,
    FwhmAnalytic,
    Peak,
    PeakError,
    PeakAnalytic,
    Photons,
    PhotonsError,
    PhotonsAnalytic,
    SpotFwhm,
    Columns
};

} // namespace

RaysTab::RaysTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RaysTab"));
    // Ten million rays give the crystals of a small array thousands of reflections each (a
    // second or two on two cores), enough for their widths to a few per cent.
    rays = new QLineEdit(QStringLiteral("10000000"), this);
    rays->setObjectName(QStringLiteral("RaysCount"));
    rays->setToolTip(tr("How many rays leave the source (1 to %1)").arg(kMaxRays));
    seed = new QLineEdit(QStringLiteral("1"), this);
    seed->setObjectName(QStringLiteral("RaysSeed"));
    seed->setToolTip(tr("The same seed traces the same rays"));
    for (QLineEdit *field : {rays, seed}) {
        field->setMaximumWidth(120);
        FieldGuard::guard(field, FieldKind::WholeNumber);
        connect(field, &QLineEdit::returnPressed, this, &RaysTab::run);
    }
    start = new QPushButton(tr("Trace Rays"), this);
    start->setObjectName(QStringLiteral("RaysRun"));
    reset = new QPushButton(tr("Scale Reset"), this);
    reset->setObjectName(QStringLiteral("RaysScaleReset"));
    status = new QLabel(tr("Trace rays from the source through the array to check the analytic "
                           "bands."),
                        this);
    status->setObjectName(QStringLiteral("RaysStatus"));
    status->setWordWrap(true);

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Rays:"), this));
    controls->addWidget(rays);
    controls->addWidget(new QLabel(tr("Seed:"), this));
    controls->addWidget(seed);
    controls->addWidget(start);
    controls->addWidget(status, 1);
    controls->addWidget(reset);

    energyPlot.setParent(this);
    energyPlot.setObjectName(QStringLiteral("RaysEnergies"));
    spotPlot.setParent(this);
    spotPlot.setObjectName(QStringLiteral("RaysSpot"));
    for (DispA *plot : {&energyPlot, &spotPlot})
        plot->setMinimumHeight(140);

    table = new QTableWidget(0, Columns, this);
    table->setObjectName(QStringLiteral("RaysTable"));
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalHeaderLabels({tr("No."),
                                      tr("Hits"),
                                      tr("Reflected"),
                                      tr("FWHM\n[eV]"),
                                      tr("±\n[eV]"),
                                      tr("Analytic\n[eV]"),
                                      tr("Peak\nefficiency"),
                                      tr("±"),
                                      tr("Analytic"),
                                      tr("Photons\n[eV]"),
                                      tr("±\n[eV]"),
                                      tr("Analytic\n[eV]"),
                                      tr("Spot FWHM")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(&energyPlot);
    split->addWidget(&spotPlot);
    split->addWidget(table);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(split, 1);

    energyView0 = energyView = QRectF(0, 0, 1, 1);
    spotView0 = spotView = QRectF(0, 0, 1, 1);
    connect(start, &QPushButton::clicked, this, &RaysTab::run);
    connect(reset, &QPushButton::clicked, this, &RaysTab::resetScale);
    connect(&energyPlot, &DispA::drawImage2, this, &RaysTab::drawEnergies);
    connect(&spotPlot, &DispA::drawImage2, this, &RaysTab::drawSpot);
    connect(&energyPlot.mc, &MouseC::mMoved, this, [this] {
        navigate(energyPlot, energyView, false, 0);
    });
    connect(&energyPlot.mc, &MouseC::wMoved, this, [this](int step) {
        navigate(energyPlot, energyView, true, step);
    });
    connect(
        &spotPlot.mc, &MouseC::mMoved, this, [this] { navigate(spotPlot, spotView, false, 0); });
    connect(&spotPlot.mc, &MouseC::wMoved, this, [this](int step) {
        navigate(spotPlot, spotView, true, step);
    });
}

RaysTab::~RaysTab()
{
    // The plots are members: out of the layout before it goes.
    energyPlot.setParent(nullptr);
    spotPlot.setParent(nullptr);
    if (auto *thread = qobject_cast<QThread *>(worker)) {
        thread->disconnect(this);
        thread->wait();
        delete thread;
    }
}

void RaysTab::setSubject(std::function<RaysSubject()> s)
{
    subject = std::move(s);
}

void RaysTab::setRealEnergies(bool real)
{
    if (real == realEnergies)
        return;
    realEnergies = real;
    showResult();
}

void RaysTab::run()
{
    if (worker || !subject)
        return;
    const std::optional<int> n = wholeNumber(rays->text());
    bool seedOk = false;
    const quint64 s = seed->text().trimmed().toULongLong(&seedOk, 10);
    if (!n || *n < 1 || *n > kMaxRays) {
        status->setText(tr("The number of rays is a whole number from 1 to %1.").arg(kMaxRays));
        return;
    }
    if (!seedOk || s > kMaxSeed) {
        status->setText(tr("The seed is a whole number from 0 to %1.").arg(kMaxSeed));
        return;
    }
    auto job = std::make_shared<Run>();
    job->subject = std::make_shared<const RaysSubject>(subject());
    job->params.rays = *n;
    job->params.seed = s;
    job->generation = generation;
    pending = job;
    QThread *thread = QThread::create([job] {
        QElapsedTimer clock;
        clock.start();
        job->result = traceRays(job->subject->analysis, listOf(*job->subject), job->params);
        job->seconds = clock.nsecsElapsed() * 1e-9;
    });
    worker = thread;
    connect(thread, &QThread::finished, this, &RaysTab::traceDone);
    start->setEnabled(false);
    status->setText(tr("Tracing %1 rays...").arg(*n));
    thread->start();
}

void RaysTab::traceDone()
{
    if (auto *thread = qobject_cast<QThread *>(worker)) {
        thread->wait();
        thread->deleteLater();
    }
    worker = nullptr;
    start->setEnabled(true);
    const std::shared_ptr<Run> job = std::move(pending);
    if (!job)
        return;
    if (job->generation != generation) {
        status->setText(tr("The design changed while the rays ran: trace them again."));
        emit finished();
        return;
    }
    traced = job->result;
    tracedSubject = job->subject;
    tracedParams = job->params;
    seconds = job->seconds;
    showResult();
    resetScale();
    emit finished();
}

void RaysTab::designChanged()
{
    ++generation;
    if (!traced)
        return;
    traced.reset();
    tracedSubject.reset();
    showResult();
    status->setText(tr("The design has changed since the last trace: trace the rays again."));
}

void RaysTab::showResult()
{
    table->setRowCount(0);
    if (!traced || !tracedSubject) {
        energyView0 = energyView = QRectF(0, 0, 1, 1);
        spotView0 = spotView = QRectF(0, 0, 1, 1);
        energyPlot.update();
        spotPlot.update();
        return;
    }
    const RayTrace &t = *traced;
    const BandsAnalysis &a = tracedSubject->analysis;
    if (t.rays == 0)
        status->setText(tr("No rays: the source lights no crystal that reflects (see the Bands "
                           "tab)."));
    else
        status->setText(tr("%1 rays, seed %2: %3 met a crystal, %4 were reflected (%5 s).")
                            .arg(t.rays)
                            .arg(tracedParams.seed)
                            .arg(t.hits)
                            .arg(t.reflected)
                            .arg(fixed(seconds, 2)));
    // Widths from a few hundred reflections are rough: say so.
    QVector<qint64> counts;
    for (int i = 0; i < t.crystals.size(); ++i) {
        if (a.crystals.at(i).effectiveBandLow)
            counts.append(t.crystals.at(i).reflected);
    }
    std::sort(counts.begin(), counts.end());
    if (t.rays > 0 && !counts.isEmpty() && counts.at(counts.size() / 2) < kFewReflections)
        status->setText(status->text() + QLatin1Char(' ')
                        + tr("Half the crystals reflected fewer than %1 rays: their traced widths "
                             "are rough; trace more rays.")
                              .arg(kFewReflections));
    // A source without size or divergence sends every ray along one line.
    if (t.rays > 0 && a.source.size == 0 && a.source.divergence == 0)
        status->setText(status->text() + QLatin1Char(' ')
                        + tr("The source has neither size nor divergence: every ray follows one "
                             "line. Give it a size to light the whole array."));

    table->setRowCount(t.crystals.size());
    for (int i = 0; i < t.crystals.size(); ++i) {
        const RayCrystal &r = t.crystals.at(i);
        const CrystalBand &c = a.crystals.at(i);
        const std::optional<double> analyticWidth
            = c.effectiveBandLow ? std::optional<double>(*c.effectiveBandHigh - *c.effectiveBandLow)
                                 : std::nullopt;
        const QString cells[Columns] = {QString::number(i + 1),
                                        QString::number(r.hits),
                                        QString::number(r.reflected),
                                        optionalFixed(r.fwhm, 3),
                                        optionalFixed(r.fwhmError, 3),
                                        optionalFixed(analyticWidth, 3),
                                        optionalFixed(r.peakEfficiency, 4),
                                        optionalFixed(r.peakEfficiencyError, 4),
                                        optionalFixed(c.peakEfficiency, 4),
                                        optionalFixed(r.bandPhotons, 4),
                                        optionalFixed(r.bandPhotonsError, 4),
                                        optionalFixed(c.bandPhotons, 4),
                                        optionalFixed(r.spotFwhm, 4)};
        for (int k = 0; k < Columns; ++k) {
            auto *item = new QTableWidgetItem(cells[k]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(i, k, item);
        }
    }

    // Energies: every histogram's bins; the efficiency up to its highest bin.
    double lo = qInf(), hi = -qInf(), top = 0;
    for (int i = 0; i < t.crystals.size(); ++i) {
        const RayCrystal &r = t.crystals.at(i);
        if (r.efficiency.isEmpty() || !(r.energies.step > 0))
            continue;
        const double shift = realEnergies ? a.crystals.at(i).latticeOffset : 0.0;
        lo = std::min(lo, r.energies.from + shift);
        hi = std::max(hi, r.energies.from + shift + r.efficiency.size() * r.energies.step);
        for (double e : r.efficiency)
            top = std::max(top, e);
    }
    energyView0 = viewAround(lo, hi, top);
    const Histogram &spot = t.all.spot;
    double most = 0;
    for (double n : spot.counts)
        most = std::max(most, n);
    spotView0 = viewAround(spot.from, spot.from + spot.counts.size() * spot.step, most);
    energyView = energyView0;
    spotView = spotView0;
    energyPlot.update();
    spotPlot.update();
}

void RaysTab::resetScale()
{
    energyView = energyView0;
    spotView = spotView0;
    energyPlot.update();
    spotPlot.update();
}

void RaysTab::navigate(DispA &plot, QRectF &view, bool wheel, int step)
{
    ChCoord &cc = plot.cc;
    setWorldFromView(cc, view);
    const MouseC &mc = plot.mc;
    if (wheel)
        view = zoomView(view, cc, mc.curPos, step);
    else if (mc.pressed && mc.pressButton == Qt::LeftButton)
        view = panView(view, cc, mc.curPos, mc.prevPos);
    plot.update();
}

void RaysTab::drawEnergies(QPainter *p)
{
    ChCoord &cc = energyPlot.cc;
    setWorldFromView(cc, energyView);
    const QRectF window(0, 0, energyPlot.width(), energyPlot.height());
    if (!traced || !tracedSubject || traced->rays == 0) {
        drawEmptyNote(p,
                      window,
                      tr("The traced efficiency of every crystal against the energy shows here "
                         "once the rays have run."));
        return;
    }
    if (!mapsToPixels(cc))
        return;
    drawPlotGrid(p, cc, gridLabels);
    const BandsAnalysis &a = tracedSubject->analysis;
    const int n = traced->crystals.size();
    for (int i = 0; i < n; ++i) {
        const RayCrystal &r = traced->crystals.at(i);
        const CrystalBand &c = a.crystals.at(i);
        const double shift = realEnergies ? c.latticeOffset : 0.0;
        drawSteps(p,
                  cc,
                  r.energies.from + shift,
                  r.energies.step,
                  r.efficiency,
                  crystalColour(i, n),
                  window);
        if (c.effectiveBandLow && c.peakEfficiency) {
            const double half = 0.5 * *c.peakEfficiency;
            fillWorldRect(p,
                          cc,
                          *c.effectiveBandLow + shift,
                          *c.effectiveBandHigh + shift,
                          half,
                          half,
                          QColor(40, 40, 40),
                          window);
        }
    }
    drawAxisTitles(p,
                   window,
                   realEnergies ? tr("Energy where a real crystal reflects [eV]")
                                : tr("Energy about the crystals' labels [eV]"),
                   tr("Efficiency"));
    drawLegend(p,
               window,
               {{LegendEntry::Line, crystalColour(0, std::max(n, 1)), tr("traced, per crystal")},
                {LegendEntry::Fill, QColor(40, 40, 40), tr("analytic band at half peak")}});
}

void RaysTab::drawSpot(QPainter *p)
{
    ChCoord &cc = spotPlot.cc;
    setWorldFromView(cc, spotView);
    const QRectF window(0, 0, spotPlot.width(), spotPlot.height());
    if (!traced || !tracedSubject || traced->all.spot.counts.isEmpty()) {
        drawEmptyNote(p,
                      window,
                      traced ? tr("No spot: the reflected rays have no least-squares focus.")
                             : tr("The spot of the reflected rays at the least-squares focus "
                                  "shows here once the rays have run."));
        return;
    }
    if (!mapsToPixels(cc))
        return;
    drawPlotGrid(p, cc, gridLabels);
    const Histogram &all = traced->all.spot;
    for (int k = 0; k < all.counts.size(); ++k)
        fillWorldRect(p,
                      cc,
                      all.from + k * all.step,
                      all.from + (k + 1) * all.step,
                      0.0,
                      all.counts[k],
                      QColor(150, 150, 150),
                      window);
    const int n = traced->crystals.size();
    for (int i = 0; i < n; ++i) {
        const Histogram &h = traced->crystals.at(i).spot;
        drawSteps(p, cc, h.from, h.step, h.counts, crystalColour(i, n), window);
    }
    drawAxisTitles(p,
                   window,
                   tr("Across the mean reflected ray at the least-squares focus [length unit]"),
                   tr("Reflected rays"));
    drawLegend(p,
               window,
               {{LegendEntry::Fill, QColor(150, 150, 150), tr("all crystals")},
                {LegendEntry::Line, crystalColour(0, std::max(n, 1)), tr("per crystal")}});
}
