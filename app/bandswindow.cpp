#include "bandswindow.h"

#include "chcoord.h"
#include "crystaldrawing.h"
#include "navigation.h"
#include "plotgrid.h"
#include "trace.h"

#include <QAbstractTableModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

// With its sign, so that an offset reads as a direction.
QString signedFixed(double v, int decimals)
{
    const QString s = fixed(v, decimals);
    return s.startsWith(QLatin1Char('-')) ? s : QLatin1Char('+') + s;
}

QString general(double v)
{
    return QString::number(v, 'g', 6);
}

QString optionalFixed(const std::optional<double> &v, int decimals)
{
    return v ? fixed(*v, decimals) : QString();
}

void setWorldFromView(ChCoord &cc, const QRectF &view)
{
    cc.setWorld(view.x(), view.y(), view.x() + view.width(), view.y() + view.height());
}

// A view that maps the world to finite, distinct pixels.
bool mapsToPixels(const ChCoord &cc)
{
    const double kx = (cc.sx1 - cc.sx0) / (cc.wx1 - cc.wx0);
    const double ky = (cc.sy1 - cc.sy0) / (cc.wy1 - cc.wy0);
    return std::isfinite(kx) && std::isfinite(ky) && kx != 0 && ky != 0;
}

// The world rectangle x0...x1, y0...y1 filled, at least one pixel wide and high so that a band
// narrower than a pixel still shows; clipped to the window first, so that far-off coordinates
// never reach the painter.
void fillBar(QPainter *p,
             const ChCoord &cc,
             double x0,
             double x1,
             double y0,
             double y1,
             const QColor &colour,
             const QRectF &window)
{
    const double sx0 = cc.toScreenX(x0), sx1 = cc.toScreenX(x1);
    const double sy0 = cc.toScreenY(y0), sy1 = cc.toScreenY(y1);
    if (!std::isfinite(sx0) || !std::isfinite(sx1) || !std::isfinite(sy0) || !std::isfinite(sy1))
        return;
    // At least one pixel either way.
    const auto span = [](double a, double b) {
        double lo = std::min(a, b);
        double hi = std::max(a, b);
        if (hi - lo < 1.0) {
            const double mid = 0.5 * (lo + hi);
            lo = mid - 0.5;
            hi = mid + 0.5;
        }
        return std::make_pair(lo, hi);
    };
    const auto x = span(sx0, sx1);
    const auto y = span(sy0, sy1);
    const QRectF bar(QPointF(x.first, y.first), QPointF(x.second, y.second));
    const QRectF shown = bar.intersected(window.adjusted(-2, -2, 2, 2));
    if (!shown.isEmpty())
        p->fillRect(shown, colour);
}

// The union of the bands, in energy order.
QVector<Interval> coveredRanges(const BandsAnalysis &a)
{
    QVector<Interval> bands;
    for (const CrystalBand &c : a.crystals) {
        if (c.state == BandState::Band)
            bands.append(Interval{c.low, c.high});
    }
    std::sort(bands.begin(), bands.end(), [](const Interval &x, const Interval &y) {
        return x.low < y.low;
    });
    QVector<Interval> merged;
    for (const Interval &b : bands) {
        if (!merged.isEmpty() && b.low <= merged.last().high)
            merged.last().high = std::max(merged.last().high, b.high);
        else
            merged.append(b);
    }
    return merged;
}

// Energies across the bands (or the crystals' energies) with a margin, crystal rows 0 to n up.
QRectF defaultView(const BandsAnalysis &a)
{
    double lo = 0, hi = 0;
    bool any = false;
    if (a.coverage.bands > 0) {
        lo = a.coverage.low;
        hi = a.coverage.high;
        any = true;
    } else {
        for (const CrystalBand &c : a.crystals) {
            if (!c.energy)
                continue;
            lo = any ? std::min(lo, *c.energy) : *c.energy;
            hi = any ? std::max(hi, *c.energy) : *c.energy;
            any = true;
        }
    }
    if (!any)
        return QRectF(-10, -10, 20, 20);
    double width = hi - lo;
    if (!(width > 0))
        width = std::max(1.0, std::fabs(lo) * 1e-4);
    const double mid = 0.5 * (lo + hi);
    width *= 1.1;
    const int n = a.crystals.size();
    return QRectF(mid - 0.5 * width, -1.0, width, n + 2.0);
}

} // namespace

// The per-crystal table, read straight from the analysis.
class BandsModel : public QAbstractTableModel
{
public:
    enum Column { Number, Energy, FwhmSigma, FwhmPi, Low, High, Gap, Shift, Offset, Columns };

    void setAnalysis(const BandsAnalysis *a)
    {
        beginResetModel();
        analysis = a;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() || !analysis ? 0 : analysis->crystals.size();
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : Columns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal)
            return QVariant();
        if (role == Qt::ToolTipRole && section == Gap)
            return BandsWindow::tr("The gap (positive) or overlap (negative) to the next band up "
                                   "in energy");
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (section) {
        case Number:
            return BandsWindow::tr("No.");
        case Energy:
            return BandsWindow::tr("Energy\n[eV]");
        case FwhmSigma:
            return BandsWindow::tr("FWHM σ\n[µrad]");
        case FwhmPi:
            return BandsWindow::tr("FWHM π\n[µrad]");
        case Low:
            return BandsWindow::tr("Band low\n[eV]");
        case High:
            return BandsWindow::tr("Band high\n[eV]");
        case Gap:
            return BandsWindow::tr("Gap above\n[eV]");
        case Shift:
            return BandsWindow::tr("Refraction\n[eV]");
        case Offset:
            return BandsWindow::tr("Lattice offset\n[eV]");
        }
        return QVariant();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!analysis || !index.isValid() || index.row() >= analysis->crystals.size())
            return QVariant();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        const CrystalBand &c = analysis->crystals.at(index.row());
        if (role == Qt::ToolTipRole && c.state != BandState::Band)
            return reason(c.state);
        if (role != Qt::DisplayRole)
            return QVariant();
        if (index.column() == Number)
            return QString::number(c.number);
        if (index.column() == Energy)
            return optionalFixed(c.energy, 4);
        if (c.state != BandState::Band)
            return index.column() == FwhmSigma ? reason(c.state) : QString();
        switch (index.column()) {
        case FwhmSigma:
            return fixed(c.fwhmSigma, 3);
        case FwhmPi:
            return optionalFixed(c.fwhmPi, 3);
        case Low:
            return fixed(c.low, 3);
        case High:
            return fixed(c.high, 3);
        case Gap:
            return optionalFixed(c.gapAbove, 3);
        case Shift:
            return signedFixed(c.shift, 3);
        case Offset:
            return signedFixed(c.latticeOffset, 3);
        }
        return QVariant();
    }

    static QString reason(BandState s)
    {
        switch (s) {
        case BandState::NoReflection:
            return BandsWindow::tr("no reflection");
        case BandState::Forbidden:
            return BandsWindow::tr("forbidden");
        case BandState::NoData:
            return BandsWindow::tr("no data");
        case BandState::Band:
            break;
        }
        return QString();
    }

private:
    const BandsAnalysis *analysis = nullptr;
};

BandsWindow::BandsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("BandsWindow"));
    setWindowTitle(tr("Bands"));
    resize(900, 760);

    auto *summary = new QGridLayout;
    const auto addRow = [&](int row, const QString &title, QLabel *&value, const char *name) {
        auto *t = new QLabel(title, this);
        t->setAlignment(Qt::AlignRight | Qt::AlignTop);
        value = new QLabel(this);
        value->setObjectName(QLatin1String(name));
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        summary->addWidget(t, row, 0);
        summary->addWidget(value, row, 1);
    };
    addRow(0, tr("Reflection:"), reflection, "Reflection");
    addRow(1, tr("Width at start energy:"), widths, "Widths");
    addRow(2, tr("Coverage:"), coverage, "Coverage");
    addRow(3, tr("Lattice constant:"), lattice, "Lattice");
    addRow(4, tr("Focus:"), focus, "Focus");
    summary->setColumnStretch(1, 1);

    model = new BandsModel;
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("BandsTable"));
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto *pictureFrame = new QWidget(this);
    auto *pictureLayout = new QGridLayout(pictureFrame);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    picture.setParent(pictureFrame);
    picture.setObjectName(QStringLiteral("BandsPicture"));
    picture.setMinimumHeight(150);
    cursor = new QLabel(pictureFrame);
    cursor->setObjectName(QStringLiteral("BandsCursor"));
    reset = new QPushButton(tr("Scale Reset"), pictureFrame);
    reset->setObjectName(QStringLiteral("BandsScaleReset"));
    pictureLayout->addWidget(&picture, 0, 0, 1, 2);
    pictureLayout->addWidget(cursor, 1, 0);
    pictureLayout->addWidget(reset, 1, 1);
    pictureLayout->setColumnStretch(0, 1);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table);
    split->addWidget(pictureFrame);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(summary);
    layout->addWidget(split, 1);

    realC0 = QRectF(-10, -10, 20, 20);
    realC = realC0;
    connect(&picture, SIGNAL(drawImage2(QPainter *)), this, SLOT(drawPicture(QPainter *)));
    connect(&picture.mc, SIGNAL(mMoved()), this, SLOT(pictureMouseMoved()));
    connect(&picture.mc, SIGNAL(wMoved(int)), this, SLOT(pictureWheel(int)));
    connect(reset, SIGNAL(clicked()), this, SLOT(resetScale()));
}

BandsWindow::~BandsWindow()
{
    // The picture is a member: it goes after the layout that holds it, which must not delete
    // it. Taken out of its parent first.
    picture.setParent(nullptr);
    table->setModel(nullptr);
    delete model;
}

void BandsWindow::setSource(std::function<BandsAnalysis()> s)
{
    source = std::move(s);
    stale = true;
}

const BandsAnalysis &BandsWindow::analysis()
{
    if (stale && source) {
        current = source();
        stale = false;
    }
    return current;
}

void BandsWindow::designTraced()
{
    stale = true;
    if (isVisible())
        refresh();
}

void BandsWindow::showWindow()
{
    show();
    raise();
    activateWindow();
}

void BandsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (stale)
        refresh();
}

void BandsWindow::resetScale()
{
    realC = realC0;
    picture.update();
}

void BandsWindow::refresh()
{
    model->setAnalysis(nullptr);
    analysis();
    model->setAnalysis(&current);
    showSummary();
    realC0 = defaultView(current);
    realC = realC0;
    cursor->clear();
    picture.update();
}

void BandsWindow::showSummary()
{
    using Reflection::Status;
    const BandsAnalysis &a = current;
    const DesignMaterial &m = a.design;
    const Reflection::Check &r = a.reflection;
    const QString e0 = general(m.startEnergy);

    switch (r.status) {
    case Status::Allowed:
        reflection->setText(a.fhAtStart ? tr("%1 %2 %3 %4, allowed: |F_H| = %5 at %6 eV")
                                              .arg(m.material)
                                              .arg(r.hkl.h)
                                              .arg(r.hkl.k)
                                              .arg(r.hkl.l)
                                              .arg(fixed(*a.fhAtStart, 2), e0)
                                        : tr("%1 %2 %3 %4, allowed")
                                              .arg(m.material)
                                              .arg(r.hkl.h)
                                              .arg(r.hkl.k)
                                              .arg(r.hkl.l));
        break;
    case Status::Forbidden:
        reflection->setText(
            tr("%1 %2 %3 %4, forbidden: the structure factor is zero, no crystal of this cut "
               "reflects")
                .arg(m.material)
                .arg(r.hkl.h)
                .arg(r.hkl.k)
                .arg(r.hkl.l));
        break;
    case Status::NoPlanes:
        reflection->setText(tr("0 0 0 is no reflection"));
        break;
    case Status::NotWhole:
        reflection->setText(tr("the Miller indices are not whole numbers up to 99: no reflection"));
        break;
    case Status::NoData:
        reflection->setText(tr("no X-ray data for \"%1\": %2").arg(m.material, r.error));
        break;
    }

    if (a.fwhmSigmaAtStart) {
        const QString pi = a.fwhmPiAtStart ? fixed(*a.fwhmPiAtStart, 3) : tr("none");
        widths->setText(tr("FWHM σ %1 µrad, π %2 µrad at %3 eV; refraction shift %4 eV")
                            .arg(fixed(*a.fwhmSigmaAtStart, 3), pi, e0)
                            .arg(signedFixed(a.shiftAtStart.value_or(0.0), 3)));
    } else {
        widths->setText(tr("no band at %1 eV").arg(e0));
    }

    const Coverage &c = a.coverage;
    if (c.bands == 0) {
        coverage->setText(tr("no bands"));
    } else {
        const QString fraction = c.fraction ? fixed(100.0 * *c.fraction, 1) : QStringLiteral("-");
        const QString gap = c.largestGap > 0 ? tr("largest gap %1 eV").arg(fixed(c.largestGap, 3))
                                             : tr("no gaps");
        coverage->setText(tr("%1 % of %2 to %3 eV covered by %4 bands; %5")
                              .arg(fraction, fixed(c.low, 3), fixed(c.high, 3))
                              .arg(c.bands)
                              .arg(gap));
    }

    const QString design = general(m.latticeConstant);
    if (!a.acceptedLattice) {
        lattice->setText(tr("design %1 Å; no accepted value for \"%2\"").arg(design, m.material));
    } else if (!a.offsetAtStart || !a.shiftAtStart) {
        // Without a band at the start energy there is nothing the offset would move.
        lattice->setText(tr("design %1 Å, accepted %2 Å at %3 °C")
                             .arg(design, general(*a.acceptedLattice))
                             .arg(a.source.temperature));
    } else {
        const double total = *a.offsetAtStart + *a.shiftAtStart;
        lattice->setText(tr("design %1 Å, accepted %2 Å at %6 °C: a real crystal reflects %3 eV "
                            "off its label at %4 eV, %5 eV with refraction")
                             .arg(design, general(*a.acceptedLattice))
                             .arg(signedFixed(*a.offsetAtStart, 3), e0, signedFixed(total, 3))
                             .arg(a.source.temperature));
    }

    const FocusQuality &f = a.focus;
    const QString leastSquares
        = f.focus ? tr("least squares (%1, %2), RMS %3")
                        .arg(fixed(f.focus->x, 3), fixed(f.focus->y, 3), fixed(f.rms, 3))
                  : tr("least squares: none (the lines do not meet)");
    const QString averaged
        = f.averaged ? tr("averaged (%1, %2)").arg(fixed(f.averaged->x, 3), fixed(f.averaged->y, 3))
                     : tr("averaged: none");
    focus->setText(tr("%1; %2; %3 of %4 pairs cross behind the crystals, %5 parallel pairs "
                      "counted at the origin")
                       .arg(leastSquares, averaged)
                       .arg(f.virtualPairs)
                       .arg(f.pairs)
                       .arg(f.parallelPairs));
}

void BandsWindow::drawPicture(QPainter *p)
{
    ChCoord &cc = picture.cc;
    setWorldFromView(cc, realC);
    if (!p || !mapsToPixels(cc))
        return;
    drawPlotGrid(p, cc, gridLabels);
    const QRectF window(0, 0, picture.width(), picture.height());

    // The coverage strip at row 0: the bands' union dark, the gaps between them light red.
    const QVector<Interval> covered = coveredRanges(current);
    for (int i = 0; i + 1 < covered.size(); ++i)
        fillBar(
            p, cc, covered[i].high, covered[i + 1].low, -0.35, 0.35, QColor(255, 190, 190), window);
    for (const Interval &b : covered)
        fillBar(p, cc, b.low, b.high, -0.35, 0.35, QColor(96, 96, 96), window);

    // One row per crystal: its band in its colour, its label energy as a thin dark mark.
    const int n = current.crystals.size();
    for (int i = 0; i < n; ++i) {
        const CrystalBand &c = current.crystals.at(i);
        if (c.state != BandState::Band)
            continue;
        const double y = c.number;
        fillBar(p, cc, c.low, c.high, y - 0.35, y + 0.35, crystalColour(i, n), window);
        fillBar(p, cc, *c.energy, *c.energy, y - 0.45, y + 0.45, QColor(64, 64, 64), window);
    }
}

void BandsWindow::pictureMouseMoved()
{
    ChCoord &cc = picture.cc;
    setWorldFromView(cc, realC);
    const MouseC &mc = picture.mc;
    if (mc.pressed && mc.pressButton == Qt::LeftButton
        && (mc.pressModifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0)
        realC = panView(realC, cc, mc.curPos, mc.prevPos);

    const double e = cc.toWorldX(mc.curPos.x());
    const double row = cc.toWorldY(mc.curPos.y());
    QString text;
    if (std::isfinite(e))
        text = tr("%1 eV").arg(fixed(e, 3));
    if (std::isfinite(row) && std::fabs(row) < 1e9) {
        const int i = static_cast<int>(std::lround(row)) - 1;
        if (i >= 0 && i < current.crystals.size()
            && current.crystals.at(i).state == BandState::Band) {
            const CrystalBand &c = current.crystals.at(i);
            text += QStringLiteral("   ")
                    + tr("crystal %1: %2 to %3 eV")
                          .arg(c.number)
                          .arg(fixed(c.low, 3), fixed(c.high, 3));
        }
    }
    cursor->setText(text);
    picture.update();
}

void BandsWindow::pictureWheel(int step)
{
    ChCoord &cc = picture.cc;
    setWorldFromView(cc, realC);
    realC = zoomView(realC, cc, picture.mc.curPos, step);
    picture.update();
}
