#include "bandswindow.h"

#include "bandsdrawing.h"
#include "bandsmodel.h"
#include "bandstable.h"
#include "chcoord.h"
#include "crystaldrawing.h"
#include "crystaltable.h"
#include "filenames.h"
#include "latticeconstants.h"
#include "navigation.h"
#include "numberinput.h"
#include "plotgrid.h"
#include "raystab.h"
#include "report.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString general(double v)
{
    return QString::number(v, 'g', 6);
}

// A number of the source as its field shows it: the shortest text that reads back as it.
QString shortest(double v)
{
    return QString::fromLatin1(shortestNumber(v));
}

// The polarisations of the list, in order; the last one is any other degree.
constexpr double kNamedDegrees[] = {1.0, -1.0, 0.0};

// The shift of a crystal's bars: none at the labels, the lattice offset where a real crystal
// reflects.
double barShift(const CrystalBand &c, bool real)
{
    return real && c.state == BandState::Band ? c.latticeOffset : 0.0;
}

// The effective bands (or, for a crystal without one, none) as intervals, shifted as drawn.
QVector<Interval> effectiveIntervals(const BandsAnalysis &a, bool real)
{
    QVector<Interval> bands;
    for (const CrystalBand &c : a.crystals) {
        if (c.effectiveBandLow && c.effectiveBandHigh) {
            const double s = barShift(c, real);
            bands.append(Interval{*c.effectiveBandLow + s, *c.effectiveBandHigh + s});
        }
    }
    return bands;
}

// The union of the intervals, in energy order.
QVector<Interval> unionOf(QVector<Interval> bands)
{
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

// Energies across every bar drawn (or the crystals' energies) with a margin, crystal rows 0 to
// n up.
QRectF defaultView(const BandsAnalysis &a, bool real)
{
    double lo = 0, hi = 0;
    bool any = false;
    const auto take = [&](double l, double h) {
        if (!std::isfinite(l) || !std::isfinite(h))
            return;
        lo = any ? std::min(lo, l) : l;
        hi = any ? std::max(hi, h) : h;
        any = true;
    };
    for (const CrystalBand &c : a.crystals) {
        const double s = barShift(c, real);
        if (c.state == BandState::Band) {
            take(c.low + s, c.high + s);
            if (c.lowPi && c.highPi)
                take(*c.lowPi + s, *c.highPi + s);
        }
        if (c.effectiveBandLow && c.effectiveBandHigh)
            take(*c.effectiveBandLow + s, *c.effectiveBandHigh + s);
    }
    if (!any) {
        for (const CrystalBand &c : a.crystals) {
            if (c.energy)
                take(*c.energy, *c.energy);
        }
    }
    if (!any)
        return QRectF(-10, -10, 20, 20);
    double width = hi - lo;
    if (!(width > 0))
        width = std::max(1.0, std::fabs(lo) * 1e-4);
    const double mid = 0.5 * (lo + hi);
    width *= 1.1;
    // Room below the coverage strip for the energy axis's title.
    const int n = a.crystals.size();
    return QRectF(mid - 0.5 * width, -2.0, width, n + 3.5);
}

QString coverageText(const Coverage &c, const QString &bands)
{
    const QString fraction = c.fraction ? fixed(100.0 * *c.fraction, 1) : QStringLiteral("-");
    const QString gap = c.largestGap > 0
                            ? BandsWindow::tr("largest gap %1 eV").arg(fixed(c.largestGap, 3))
                            : BandsWindow::tr("no gaps");
    return BandsWindow::tr("%1 % of %2 to %3 eV covered by %4 %5; %6")
        .arg(fraction, fixed(c.low, 3), fixed(c.high, 3))
        .arg(c.bands)
        .arg(bands, gap);
}

} // namespace

BandsWindow::BandsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("BandsWindow"));
    setWindowTitle(tr("Bands"));
    resize(1100, 860);

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
    addRow(3, tr("With the source:"), effectiveCoverage, "EffectiveCoverage");
    addRow(4, tr("Harmonics:"), harmonics, "Harmonics");
    addRow(5, tr("Lattice constant:"), lattice, "Lattice");
    addRow(6, tr("Focus:"), focus, "Focus");
    summary->setColumnStretch(1, 1);

    // The source group: the fields take a Return, or leaving them with a changed text.
    auto *source = new QGroupBox(tr("Source"), this);
    source->setObjectName(QStringLiteral("SourceGroup"));
    auto *form = new QGridLayout(source);
    const auto addField = [&](int row,
                              const QString &title,
                              const QString &unit,
                              const char *name,
                              SourceField field,
                              const QString &tip) {
        auto *edit = new QLineEdit(source);
        edit->setObjectName(QLatin1String(name));
        edit->setProperty("sourceField", int(field));
        edit->setToolTip(tip);
        edit->setMaximumWidth(110);
        FieldGuard::guard(edit, FieldKind::Text);
        connect(edit, &QLineEdit::editingFinished, this, &BandsWindow::sourceFieldFinished);
        form->addWidget(new QLabel(title, source), row, 0, Qt::AlignRight);
        form->addWidget(edit, row, 1);
        if (!unit.isEmpty())
            form->addWidget(new QLabel(unit, source), row, 2);
        return edit;
    };
    distance = addField(0,
                        tr("Distance:"),
                        tr("[length unit]"),
                        "SourceDistance",
                        SourceField::Distance,
                        tr("From crystal 1's centre upstream along the incident beam"));
    size = addField(1,
                    tr("Size:"),
                    tr("[length unit, FWHM]"),
                    "SourceSize",
                    SourceField::Size,
                    tr("Gaussian across the beam; 0 for a point source"));
    divergence = addField(2,
                          tr("Divergence:"),
                          tr("[µrad, FWHM]"),
                          "SourceDivergence",
                          SourceField::Divergence,
                          tr("Gaussian spread of the rays' directions; 0 for the parallel beam "
                             "of the design"));
    polarisation = new QComboBox(source);
    polarisation->setObjectName(QStringLiteral("SourcePolarisation"));
    polarisation->addItems({tr("σ"), tr("π"), tr("Unpolarised"), tr("Degree")});
    polarisation->setToolTip(tr("The linear polarisation of the incident beam: σ has its "
                                "electric field in the crystal surfaces"));
    form->addWidget(new QLabel(tr("Polarisation:"), source), 3, 0, Qt::AlignRight);
    form->addWidget(polarisation, 3, 1);
    degree = new QLineEdit(source);
    degree->setObjectName(QStringLiteral("SourceDegree"));
    degree->setProperty("sourceField", int(SourceField::Polarisation));
    degree->setToolTip(tr("The degree of linear polarisation: 1 σ, -1 π, 0 unpolarised; the "
                          "share (1 + degree) / 2 of the intensity is σ"));
    degree->setMaximumWidth(80);
    FieldGuard::guard(degree, FieldKind::Text);
    connect(degree, &QLineEdit::editingFinished, this, &BandsWindow::sourceFieldFinished);
    form->addWidget(degree, 3, 2);
    connect(polarisation,
            QOverload<int>::of(&QComboBox::activated),
            this,
            &BandsWindow::polarisationChosen);
    temperature = addField(4,
                           tr("Temperature:"),
                           tr("[°C]"),
                           "SourceTemperature",
                           SourceField::Temperature,
                           tr("Of the crystals: it sets the lattice constant of the real "
                              "crystals, and so their reflectivity"));
    acceptedLattice = new QPushButton(tr("Use Accepted Lattice Constant"), source);
    acceptedLattice->setObjectName(QStringLiteral("UseAcceptedLattice"));
    connect(acceptedLattice, &QPushButton::clicked, this, &BandsWindow::useAcceptedLattice);
    form->addWidget(acceptedLattice, 5, 0, 1, 3);
    sourceNote = new QLabel(source);
    sourceNote->setObjectName(QStringLiteral("SourceNote"));
    sourceNote->setWordWrap(true);
    sourceNote->setStyleSheet(QStringLiteral("color: rgb(180, 0, 0);"));
    form->addWidget(sourceNote, 6, 0, 1, 3);
    form->setRowStretch(7, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(summary, 1);
    top->addWidget(source);

    model = new BandsModel;
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("BandsTable"));
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto *pictureFrame = new QWidget(this);
    auto *pictureLayout = new QGridLayout(pictureFrame);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    picture.setParent(pictureFrame);
    picture.setObjectName(QStringLiteral("BandsPicture"));
    picture.setMinimumHeight(150);
    cursor = new QLabel(pictureFrame);
    cursor->setObjectName(QStringLiteral("BandsCursor"));
    realEnergies = new QCheckBox(tr("Where a real crystal reflects"), pictureFrame);
    realEnergies->setObjectName(QStringLiteral("BandsAtRealEnergies"));
    realEnergies->setToolTip(tr("Draws the bars where a real crystal at the temperature reflects "
                                "at the crystal's angle (the lattice offset added) instead of "
                                "about the design's labels"));
    exportButton = new QPushButton(tr("Export Table..."), pictureFrame);
    exportButton->setObjectName(QStringLiteral("BandsExport"));
    reset = new QPushButton(tr("Scale Reset"), pictureFrame);
    reset->setObjectName(QStringLiteral("BandsScaleReset"));
    pictureLayout->addWidget(&picture, 0, 0, 1, 4);
    pictureLayout->addWidget(cursor, 1, 0);
    pictureLayout->addWidget(realEnergies, 1, 1);
    pictureLayout->addWidget(exportButton, 1, 2);
    pictureLayout->addWidget(reset, 1, 3);
    pictureLayout->setColumnStretch(0, 1);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table);
    split->addWidget(pictureFrame);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    rays = new RaysTab(this);
    rays->setSubject([this] {
        RaysSubject s;
        s.analysis = analysis();
        if (doc) {
            for (const DesignCrystal &c : doc->design().crystals)
                s.crystals.append(c);
        }
        return s;
    });

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("BandsTabs"));
    tabs->addTab(split, tr("Bands"));
    tabs->addTab(rays, tr("Rays"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs, 1);

    realC0 = QRectF(-10, -10, 20, 20);
    realC = realC0;
    connect(&picture, &DispA::drawImage2, this, &BandsWindow::drawPicture);
    connect(&picture.mc, &MouseC::mMoved, this, &BandsWindow::pictureMouseMoved);
    connect(&picture.mc, &MouseC::wMoved, this, &BandsWindow::pictureWheel);
    connect(reset, &QPushButton::clicked, this, &BandsWindow::resetScale);
    connect(exportButton, &QPushButton::clicked, this, &BandsWindow::exportTable);
    connect(realEnergies, &QCheckBox::toggled, this, &BandsWindow::barsMoved);

    // The source's edits are undo steps of the design: the window takes the keys too.
    auto *undo = new QShortcut(QKeySequence::Undo, this);
    auto *redo = new QShortcut(QKeySequence::Redo, this);
    auto *redoY = new QShortcut(QKeySequence::fromString(QStringLiteral("Ctrl+Y")), this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (doc)
            doc->undoStack().undo();
    });
    for (QShortcut *r : {redo, redoY}) {
        connect(r, &QShortcut::activated, this, [this] {
            if (doc)
                doc->undoStack().redo();
        });
    }
    showSource();
}

BandsWindow::~BandsWindow()
{
    // The picture is a member: it goes after the layout that holds it, which must not delete
    // it. Taken out of its parent first.
    picture.setParent(nullptr);
    table->setModel(nullptr);
    delete model;
    // Qt 5 may emit editingFinished from a focused field while the window is torn down.
    for (QLineEdit *field : {distance, size, divergence, degree, temperature})
        field->disconnect(this);
    if (doc)
        doc->disconnect(this);
}

void BandsWindow::setDocument(DesignDocument *document)
{
    if (doc)
        doc->disconnect(this);
    doc = document;
    if (doc)
        connect(doc, &DesignDocument::changed, this, &BandsWindow::documentChanged);
    stale = true;
    rays->designChanged();
    showSource();
    if (isVisible())
        refresh();
}

const BandsAnalysis &BandsWindow::analysis()
{
    if (stale && doc) {
        current = designBands(doc->design());
        stale = false;
    }
    return current;
}

bool BandsWindow::atRealEnergies() const
{
    return realEnergies->isChecked();
}

void BandsWindow::documentChanged(DesignDocument::Changes what)
{
    if (what
        & (DesignDocument::DesignChanged | DesignDocument::Traced
           | DesignDocument::SourceChanged)) {
        rays->designChanged();
        showSource();
        designTraced();
    }
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

void BandsWindow::barsMoved()
{
    rays->setRealEnergies(atRealEnergies());
    realC0 = defaultView(current, atRealEnergies());
    realC = realC0;
    picture.update();
}

void BandsWindow::refresh()
{
    model->setAnalysis(nullptr);
    analysis();
    model->setAnalysis(&current);
    showSummary();
    showSource();
    realC0 = defaultView(current, atRealEnergies());
    realC = realC0;
    cursor->clear();
    picture.update();
}

// ---------------------------------------------------------------- the source group

void BandsWindow::showSource()
{
    const SourceParams s = doc ? doc->design().source : SourceParams();
    const std::pair<QLineEdit *, QString> texts[] = {{distance, shortest(s.distance)},
                                                     {size, shortest(s.size)},
                                                     {divergence, shortest(s.divergence)},
                                                     {degree, shortest(s.polarisation.degree)},
                                                     {temperature, shortest(s.temperature)}};
    for (const auto &t : texts) {
        // A field being typed into keeps what is typed.
        if (t.first->text() != t.second && !(t.first->hasFocus() && t.first->isModified()))
            t.first->setText(t.second);
    }
    int index = 3;
    for (int i = 0; i < 3; ++i) {
        if (s.polarisation.degree == kNamedDegrees[i])
            index = i;
    }
    {
        const QSignalBlocker quiet(polarisation);
        polarisation->setCurrentIndex(index);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{
             distance, size, divergence, polarisation, degree, temperature})
        w->setEnabled(doc);

    const std::optional<double> a = doc ? doc->acceptedLatticeConstant() : std::nullopt;
    if (!doc) {
        acceptedLattice->setEnabled(false);
        acceptedLattice->setToolTip(QString());
    } else if (!a) {
        const Design &d = doc->design();
        acceptedLattice->setEnabled(false);
        const std::optional<LatticeConstants::Range> r
            = LatticeConstants::validRange(d.materialName());
        acceptedLattice->setToolTip(
            r ? tr("The lattice constant of %1 is known from %2 to %3 °C, not at %4 °C")
                    .arg(d.materialName())
                    .arg(r->lowest, 0, 'f', 2)
                    .arg(r->highest, 0, 'f', 2)
                    .arg(general(s.temperature))
              : tr("No accepted lattice constant for this material"));
    } else {
        const QString text = DesignDocument::latticeConstantText(*a);
        acceptedLattice->setEnabled(doc->design().latticeConstant != text);
        acceptedLattice->setToolTip(tr("Sets Lattice C. to %1 Å, the lattice constant of a real "
                                       "%2 crystal at %3 °C (one undo step)")
                                        .arg(text, doc->design().materialName())
                                        .arg(general(s.temperature)));
    }
}

void BandsWindow::sourceFieldFinished()
{
    auto *field = qobject_cast<QLineEdit *>(sender());
    if (!field || !doc)
        return;
    const SourceField which = SourceField(field->property("sourceField").toInt());
    const SourceParams &s = doc->design().source;
    const double shownValues[]
        = {s.distance, s.size, s.divergence, s.polarisation.degree, s.temperature};
    const QString shown = shortest(shownValues[int(which)]);
    if (!FieldGuard::handsOn(field, shown))
        return;
    const QString typed = field->text();
    if (doc->setSourceText(which, typed)) {
        sourceNote->clear();
    } else {
        const QString t = typed.isEmpty() ? tr("(empty)") : typed;
        switch (which) {
        case SourceField::Distance:
            sourceNote->setText(tr("The distance is a number above 0, not %1.").arg(t));
            break;
        case SourceField::Size:
            sourceNote->setText(tr("The size is a number from 0 up, not %1.").arg(t));
            break;
        case SourceField::Divergence:
            sourceNote->setText(tr("The divergence is a number from 0 to %1 µrad, not %2.")
                                    .arg(kMaxDivergence, 0, 'f', 0)
                                    .arg(t));
            break;
        case SourceField::Polarisation:
            sourceNote->setText(
                tr("The degree of polarisation is a number from -1 (π) to 1 (σ), not %1.").arg(t));
            break;
        case SourceField::Temperature:
            sourceNote->setText(tr("The temperature is a number above -273.15 °C, not %1.").arg(t));
            break;
        }
    }
    field->setModified(false);
    showSource();
}

void BandsWindow::polarisationChosen(int index)
{
    if (!doc)
        return;
    if (index >= 0 && index < 3) {
        doc->setSourceText(SourceField::Polarisation, shortest(kNamedDegrees[index]));
        sourceNote->clear();
        showSource();
    } else {
        // Any other degree is typed beside the list, which shows it once it is finished.
        degree->setFocus();
        degree->selectAll();
    }
}

void BandsWindow::useAcceptedLattice()
{
    if (doc)
        doc->useAcceptedLatticeConstant();
}

// ---------------------------------------------------------------- the summary

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

    coverage->setText(a.coverage.bands == 0 ? tr("no bands")
                                            : coverageText(a.coverage, tr("bands")));
    const SourceParams &s = a.source;
    const QString polarised = s.polarisation.degree == 1.0    ? tr("σ")
                              : s.polarisation.degree == -1.0 ? tr("π")
                              : s.polarisation.degree == 0.0
                                  ? tr("unpolarised")
                                  : tr("degree %1").arg(shortest(s.polarisation.degree));
    const QString light
        = s.divergence == 0 ? tr("a parallel beam, %1").arg(polarised)
                            : tr("divergence %1 µrad, size %2 at %3, %4")
                                  .arg(general(s.divergence), general(s.size), general(s.distance))
                                  .arg(polarised);
    if (a.coverage.bands == 0)
        effectiveCoverage->setText(tr("no effective bands (%1)").arg(light));
    else if (a.effectiveCoverage.bands == 0)
        effectiveCoverage->setText(
            tr("no effective bands (%1): no crystal that reflects is lit").arg(light));
    else
        effectiveCoverage->setText(
            tr("%1 (%2)").arg(coverageText(a.effectiveCoverage, tr("effective bands")), light));

    harmonics->setToolTip(QString());
    if (a.harmonics.isEmpty()) {
        harmonics->setText(a.fwhmSigmaAtStart
                               ? tr("none up to %1 keV at %2 eV")
                                     .arg(general(Reflection::harmonicEnergyLimit / 1000.0), e0)
                               : tr("none"));
    } else {
        QStringList list;
        for (const Reflection::Harmonic &h : a.harmonics)
            list << tr("%1 %2 %3 at %4 eV: peak R %5, band %6 eV")
                        .arg(h.hkl.h)
                        .arg(h.hkl.k)
                        .arg(h.hkl.l)
                        .arg(fixed(h.energy, 1), fixed(h.curve.peak, 3))
                        .arg(fixed(h.curve.high - h.curve.low, 3));
        // The strongest come first; the rest, up to 100 keV, in the tooltip.
        const int shown = 3;
        QString text = list.mid(0, shown).join(tr("; "));
        if (list.size() > shown)
            text = tr("%1; and %2 more up to %3 keV")
                       .arg(text)
                       .arg(list.size() - shown)
                       .arg(general(Reflection::harmonicEnergyLimit / 1000.0));
        harmonics->setText(tr("at the angle of %1 eV: %2").arg(e0, text));
        harmonics->setToolTip(list.join(QLatin1Char('\n')));
    }

    const QString design = general(m.latticeConstant);
    const QString temperatureText = general(s.temperature);
    if (!a.acceptedLattice) {
        const std::optional<LatticeConstants::Range> range
            = LatticeConstants::validRange(m.material);
        lattice->setText(
            range ? tr("design %1 Å; the lattice constant of %2 is known from %3 to "
                       "%4 °C, not at %5 °C: no reflectivity")
                        .arg(design, m.material)
                        .arg(range->lowest, 0, 'f', 2)
                        .arg(range->highest, 0, 'f', 2)
                        .arg(temperatureText)
                  : tr("design %1 Å; no accepted value for \"%2\"").arg(design, m.material));
    } else if (!a.offsetAtStart || !a.shiftAtStart) {
        // Without a band at the start energy there is nothing the offset would move.
        lattice->setText(tr("design %1 Å, accepted %2 Å at %3 °C")
                             .arg(design, DesignDocument::latticeConstantText(*a.acceptedLattice))
                             .arg(temperatureText));
    } else {
        const double total = *a.offsetAtStart + *a.shiftAtStart;
        lattice->setText(tr("design %1 Å, accepted %2 Å at %6 °C: a real crystal reflects %3 eV "
                            "off its label at %4 eV, %5 eV with refraction")
                             .arg(design, DesignDocument::latticeConstantText(*a.acceptedLattice))
                             .arg(signedFixed(*a.offsetAtStart, 3), e0, signedFixed(total, 3))
                             .arg(temperatureText));
    }

    const FocusQuality &f = a.focus;
    const QString leastSquares
        = f.focus ? tr("least squares of the %4 crystals that reflect (%1, %2), RMS %3")
                        .arg(fixed(f.focus->x, 3), fixed(f.focus->y, 3), fixed(f.rms, 3))
                        .arg(f.lines)
                  : tr("least squares: none (the lines do not meet)");
    const QString averaged
        = f.averaged ? tr("averaged (%1, %2)").arg(fixed(f.averaged->x, 3), fixed(f.averaged->y, 3))
                     : tr("averaged: none");
    focus->setText(tr("%1; %2 (in the design's length unit); %3 of %4 pairs cross behind the "
                      "crystals, %5 parallel pairs counted at the origin")
                       .arg(leastSquares, averaged)
                       .arg(f.virtualPairs)
                       .arg(f.pairs)
                       .arg(f.parallelPairs));
}

// ---------------------------------------------------------------- the picture

QString BandsWindow::emptyReason() const
{
    if (current.crystals.isEmpty())
        return tr("No bands: the design has no crystals.");
    for (const CrystalBand &c : current.crystals) {
        if (c.state == BandState::Band)
            return QString();
    }
    return tr("No bands. %1").arg(BandsModel::explanation(current, current.crystals.first()));
}

void BandsWindow::drawPicture(QPainter *p)
{
    ChCoord &cc = picture.cc;
    setWorldFromView(cc, realC);
    const QRectF window(0, 0, picture.width(), picture.height());
    const QString empty = emptyReason();
    if (!empty.isEmpty()) {
        drawEmptyNote(p, window, empty);
        return;
    }
    if (!p || !mapsToPixels(cc))
        return;
    drawPlotGrid(p, cc, gridLabels);
    const bool real = atRealEnergies();

    // The coverage strip at row 0: the effective bands' union dark, the gaps light red.
    const QVector<Interval> covered = unionOf(effectiveIntervals(current, real));
    const QColor gapColour(255, 190, 190), coveredColour(96, 96, 96);
    for (int i = 0; i + 1 < covered.size(); ++i)
        fillWorldRect(p, cc, covered[i].high, covered[i + 1].low, -0.35, 0.35, gapColour, window);
    for (const Interval &b : covered)
        fillWorldRect(p, cc, b.low, b.high, -0.35, 0.35, coveredColour, window);

    // One row per crystal: the sigma band in its colour above, the pi band paler below, the
    // effective band outlined about both, the label (or real) energy as a thin dark mark.
    const int n = current.crystals.size();
    const QColor mark(64, 64, 64);
    for (int i = 0; i < n; ++i) {
        const CrystalBand &c = current.crystals.at(i);
        if (c.state != BandState::Band)
            continue;
        const double y = c.number;
        const double s = barShift(c, real);
        const QColor colour = crystalColour(i, n);
        fillWorldRect(p, cc, c.low + s, c.high + s, y - 0.02, y + 0.35, colour, window);
        if (c.lowPi && c.highPi)
            fillWorldRect(
                p, cc, *c.lowPi + s, *c.highPi + s, y - 0.35, y - 0.08, paler(colour), window);
        if (c.effectiveBandLow && c.effectiveBandHigh)
            outlineWorldRect(p,
                             cc,
                             *c.effectiveBandLow + s,
                             *c.effectiveBandHigh + s,
                             y - 0.42,
                             y + 0.42,
                             colour.darker(160),
                             window);
        const double e = real && c.realEnergy ? *c.realEnergy : *c.energy;
        fillWorldRect(p, cc, e, e, y - 0.45, y + 0.45, mark, window);
    }

    drawAxisTitles(p,
                   window,
                   real ? tr("Energy where a real crystal reflects [eV]")
                        : tr("Energy about the design's labels [eV]"),
                   tr("Crystal (0: coverage)"));
    const QColor sample = crystalColour(0, std::max(n, 2));
    drawLegend(p,
               window,
               {{LegendEntry::Fill, sample, tr("intrinsic σ band")},
                {LegendEntry::Fill, paler(sample), tr("intrinsic π band")},
                {LegendEntry::Outline, sample.darker(160), tr("effective band (source)")},
                {LegendEntry::Tick, mark, real ? tr("real crystal's energy") : tr("label energy")},
                {LegendEntry::Fill, coveredColour, tr("covered (effective)")},
                {LegendEntry::Fill, gapColour, tr("gap")}});
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
            const double s = barShift(c, atRealEnergies());
            text += QStringLiteral("   ")
                    + (c.effectiveBandLow ? tr("crystal %1: %2 to %3 eV, effective %4 to %5 eV")
                                                .arg(c.number)
                                                .arg(fixed(c.low + s, 3), fixed(c.high + s, 3))
                                                .arg(fixed(*c.effectiveBandLow + s, 3),
                                                     fixed(*c.effectiveBandHigh + s, 3))
                                          : tr("crystal %1: %2 to %3 eV")
                                                .arg(c.number)
                                                .arg(fixed(c.low + s, 3), fixed(c.high + s, 3)));
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

// ---------------------------------------------------------------- export

void BandsWindow::exportTable()
{
    if (!tableDialog) {
        tableDialog = new QFileDialog(this, tr("Export Bands Table"));
        tableDialog->setObjectName(QStringLiteral("bandsTableDialog"));
        tableDialog->setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filters{tr("CSV table (*.csv)"), tr("Any File (*)")};
        tableDialog->setNameFilters(filters);
        tableDialog->setDefaultSuffix(QStringLiteral("csv"));
        connect(tableDialog, &QFileDialog::filterSelected, this, [this, filters](const QString &f) {
            tableDialog->setDefaultSuffix(f == filters.first() ? QStringLiteral("csv") : QString());
        });
        connect(tableDialog, &QFileDialog::fileSelected, this, [](const QString &file) {
            setLastFolderOf(file);
        });
        connect(tableDialog, &QFileDialog::fileSelected, this, &BandsWindow::saveTable);
    }
    tableDialog->setDirectory(lastFolder());
    tableDialog->selectFile(
        QFileInfo(suggestedBandsTableName(doc ? doc->currentFile() : QString())).fileName());
    tableDialog->show();
    tableDialog->raise();
    tableDialog->activateWindow();
}

void BandsWindow::saveTable(const QString &path)
{
    QString why;
    if (!writeBandsTable(path, analysis(), &why)) {
        qDebug() << "Can't open" << path << "to export:" << why;
        auto *box = new QMessageBox(QMessageBox::Warning,
                                    tr("Bands"),
                                    tr("Nothing was exported: \"%1\" cannot be written.").arg(path),
                                    QMessageBox::Ok,
                                    this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
}
