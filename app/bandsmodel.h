#pragma once

#include "bandanalysis.h"

#include <QAbstractTableModel>
#include <QString>

#include <optional>

// The Bands window's numbers as text: with this many decimals; the same with its sign, so that an
// offset reads as a direction; empty for a value there is none of.
QString fixed(double v, int decimals);
QString signedFixed(double v, int decimals);
QString optionalFixed(const std::optional<double> &v, int decimals);

// The Bands window's table: one row per crystal, read straight from the analysis. The widths,
// bands and offsets of the intrinsic curves, then the peak and integrated reflectivities of both
// polarisations, then the crystal lit by the source: its effective band and the gap to the next
// one up, peak efficiency and the eV of a flat spectrum it passes. A crystal without a band says
// why in its first empty column, and at length in its tooltip.
class BandsModel : public QAbstractTableModel
{
public:
    enum Column {
        Number,
        Energy,
        FwhmSigma,
        FwhmPi,
        Low,
        High,
        Gap,
        Shift,
        Offset,
        PeakSigma,
        PeakPi,
        IntegratedSigma,
        IntegratedPi,
        EffectiveLow,
        EffectiveHigh,
        EffectiveCentre,
        EffectiveGap,
        PeakEfficiency,
        Photons,
        Columns
    };

    void setAnalysis(const BandsAnalysis *a);

    int rowCount(const QModelIndex &parent) const override;
    int columnCount(const QModelIndex &parent) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The short reason of a state without a band ("no reflection", "forbidden", "no data").
    static QString reason(BandState s);
    // Why the crystal has no band, or no effective band, in a sentence; empty when it has both.
    static QString explanation(const BandsAnalysis &a, const CrystalBand &c);

private:
    const BandsAnalysis *analysis = nullptr;
};
