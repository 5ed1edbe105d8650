#pragma once

#include "bandanalysis.h"
#include "dispa.h"
#include "drawtext.h"
#include "raytrace.h"

#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// What a ray trace runs on: the analysis and a copy of the crystals it was made from, so that
// the design may change while the rays run.
struct RaysSubject
{
    BandsAnalysis analysis;
    QVector<CrystalOptics> crystals;
};

// The Bands window's "Rays" tab: the Monte-Carlo check on the analytic bands, run on request in
// the background with the number of rays and the seed typed (the same seed gives the same rays).
// Below the fields, the traced efficiency of every crystal against the energy with its analytic
// effective band at half peak, the spot of the reflected rays at the least-squares focus, and a
// table of both side by side. A change of the design or the source drops the results, which
// would no longer describe it.
class RaysTab : public QWidget
{
    Q_OBJECT

public:
    explicit RaysTab(QWidget *parent = nullptr);
    // Waits for a trace still running.
    ~RaysTab() override;

    // Where a run takes its design from.
    void setSubject(std::function<RaysSubject()> subject);
    // The energies where a real crystal reflects (true) or about the labels.
    void setRealEnergies(bool real);

    // The last finished trace of the design as it stands, none before one or after a change.
    const std::optional<RayTrace> &result() const { return traced; }
    bool running() const { return worker != nullptr; }

    // The two plots and their views (energy across, efficiency up; position across, rays up).
    DispA energyPlot;
    DispA spotPlot;
    QRectF energyView0, energyView;
    QRectF spotView0, spotView;

public slots:
    // Traces the rays typed; nothing when a trace is running or the fields are refused.
    void run();
    // The design or its source changed.
    void designChanged();
    void resetScale();

signals:
    void finished();

private slots:
    void drawEnergies(QPainter *p);
    void drawSpot(QPainter *p);

private:
    void traceDone();
    void showResult();
    void navigate(DispA &plot, QRectF &view, bool wheel, int step);

    struct Run;
    std::function<RaysSubject()> subject;
    std::shared_ptr<Run> pending;
    QObject *worker = nullptr;
    int generation = 0;
    std::optional<RayTrace> traced;
    std::shared_ptr<const RaysSubject> tracedSubject;
    RayTraceParams tracedParams;
    double seconds = 0;
    bool realEnergies = false;
    DrawText gridLabels;
    QLineEdit *rays = nullptr;
    QLineEdit *seed = nullptr;
    QPushButton *start = nullptr;
    QPushButton *reset = nullptr;
    QLabel *status = nullptr;
    QTableWidget *table = nullptr;
};
