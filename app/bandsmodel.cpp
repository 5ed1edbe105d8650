#include "bandsmodel.h"

#include "bandswindow.h"
#include "bragg.h"
#include "latticeconstants.h"

QString fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString signedFixed(double v, int decimals)
{
    const QString s = fixed(v, decimals);
    return s.startsWith(QLatin1Char('-')) ? s : QLatin1Char('+') + s;
}

QString optionalFixed(const std::optional<double> &v, int decimals)
{
    return v ? fixed(*v, decimals) : QString();
}

void BandsModel::setAnalysis(const BandsAnalysis *a)
{
    beginResetModel();
    analysis = a;
    endResetModel();
}

int BandsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !analysis ? 0 : analysis->crystals.size();
}

int BandsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant BandsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case Gap:
            return BandsWindow::tr(
                "The gap (positive) or overlap (negative) to the next band up in energy");
        case PeakSigma:
        case PeakPi:
            return BandsWindow::tr("The highest reflectivity of the intrinsic curve");
        case IntegratedSigma:
        case IntegratedPi:
            return BandsWindow::tr("The integral of the reflectivity over the angle");
        case EffectiveLow:
        case EffectiveHigh:
        case EffectiveCentre:
            return BandsWindow::tr(
                "The half-peak energies of the efficiency with the source's spread of angles, "
                "and their middle (refraction included), about the crystal's label");
        case EffectiveGap:
            return BandsWindow::tr("The gap (positive) or overlap (negative) to the next "
                                   "effective band up in energy");
        case PeakEfficiency:
            return BandsWindow::tr(
                "The highest share of the photons of one energy that meet the crystal and are "
                "reflected");
        case Photons:
            return BandsWindow::tr("The eV of a flat spectrum the crystal passes: the integral "
                                   "of its efficiency over the energy");
        default:
            return QVariant();
        }
    }
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
    case PeakSigma:
        return BandsWindow::tr("Peak R σ");
    case PeakPi:
        return BandsWindow::tr("Peak R π");
    case IntegratedSigma:
        return BandsWindow::tr("∫R σ\n[µrad]");
    case IntegratedPi:
        return BandsWindow::tr("∫R π\n[µrad]");
    case EffectiveLow:
        return BandsWindow::tr("Effective low\n[eV]");
    case EffectiveHigh:
        return BandsWindow::tr("Effective high\n[eV]");
    case EffectiveCentre:
        return BandsWindow::tr("Effective centre\n[eV]");
    case EffectiveGap:
        return BandsWindow::tr("Effective gap\n[eV]");
    case PeakEfficiency:
        return BandsWindow::tr("Peak\nefficiency");
    case Photons:
        return BandsWindow::tr("Photons\n[eV]");
    }
    return QVariant();
}

QVariant BandsModel::data(const QModelIndex &index, int role) const
{
    if (!analysis || !index.isValid() || index.row() >= analysis->crystals.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    const CrystalBand &c = analysis->crystals.at(index.row());
    if (role == Qt::ToolTipRole) {
        const QString why = explanation(*analysis, c);
        return why.isEmpty() ? QVariant() : QVariant(why);
    }
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
    case PeakSigma:
        return optionalFixed(c.peakReflectivitySigma, 4);
    case PeakPi:
        return optionalFixed(c.peakReflectivityPi, 4);
    case IntegratedSigma:
        return optionalFixed(c.integratedReflectivitySigma, 3);
    case IntegratedPi:
        return optionalFixed(c.integratedReflectivityPi, 3);
    case EffectiveLow:
        if (c.effectiveBandLow)
            return fixed(*c.effectiveBandLow, 3);
        return c.fwhmPolarised ? BandsWindow::tr("not lit") : BandsWindow::tr("none");
    case EffectiveHigh:
        return optionalFixed(c.effectiveBandHigh, 3);
    case EffectiveCentre:
        return optionalFixed(c.effectiveCentre, 3);
    case EffectiveGap:
        return optionalFixed(c.effectiveGapAbove, 3);
    case PeakEfficiency:
        return optionalFixed(c.peakEfficiency, 4);
    case Photons:
        return optionalFixed(c.bandPhotons, 4);
    }
    return QVariant();
}

QString BandsModel::reason(BandState s)
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

QString BandsModel::explanation(const BandsAnalysis &a, const CrystalBand &c)
{
    const QString material = a.design.material;
    switch (c.state) {
    case BandState::NoReflection:
        if (!c.energy || !(*c.energy > 0))
            return BandsWindow::tr("No reflection: the crystal's angle gives no positive photon "
                                   "energy.");
        return BandsWindow::tr("No reflection: %1 eV has no Bragg angle for d = %2 Å (it lies "
                               "below the cut-off %3 eV, or the angle is the -1° of \"no "
                               "reflection\").")
            .arg(fixed(*c.energy, 4))
            .arg(a.design.spacing, 0, 'g', 6)
            .arg(fixed(Bragg::hc / (2.0 * a.design.spacing), 3));
    case BandState::Forbidden:
        return BandsWindow::tr("Forbidden: the structure factor of %1 %2 %3 %4 is zero, so no "
                               "crystal of this cut reflects.")
            .arg(material)
            .arg(a.reflection.hkl.h)
            .arg(a.reflection.hkl.k)
            .arg(a.reflection.hkl.l);
    case BandState::NoData:
        if (a.reflection.status == Reflection::Status::NoPlanes)
            return BandsWindow::tr("No data: 0 0 0 is no reflection.");
        if (a.reflection.status == Reflection::Status::NotWhole)
            return BandsWindow::tr("No data: the Miller indices are not whole numbers up to 99.");
        if (!a.acceptedLattice) {
            const std::optional<LatticeConstants::Range> r = LatticeConstants::validRange(material);
            if (!r)
                return BandsWindow::tr(
                           "No data: there is no lattice constant of a real \"%1\" crystal.")
                    .arg(material);
            return BandsWindow::tr("No data: the lattice constant of %1 is known from %2 to "
                                   "%3 °C, not at %4 °C; change the temperature in the Source "
                                   "group.")
                .arg(material)
                .arg(r->lowest, 0, 'f', 2)
                .arg(r->highest, 0, 'f', 2)
                .arg(a.source.temperature, 0, 'g', 6);
        }
        if (a.reflection.status == Reflection::Status::NoData)
            return BandsWindow::tr("No data: xraylib has no X-ray data for \"%1\" (%2).")
                .arg(material, a.reflection.error);
        return BandsWindow::tr("No data: the real crystal has no Bragg angle at this energy, or "
                               "its reflectivity could not be evaluated.");
    case BandState::Band:
        break;
    }
    if (!c.effectiveBandLow && c.fwhmPolarised)
        return BandsWindow::tr("Not lit: no ray of the source meets this crystal (within 6 "
                               "standard deviations of its size and 7 of its divergence), or "
                               "it does not lie wholly downstream of the source.");
    if (!c.fwhmPolarised)
        return BandsWindow::tr("No effective band: the chosen polarisation does not reflect "
                               "here (π at 2θ = 90°).");
    return QString();
}
