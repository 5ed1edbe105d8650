#include "bandstable.h"

#include "crystaltable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QByteArray stateName(BandState s)
{
    switch (s) {
    case BandState::Band:
        return "band";
    case BandState::NoReflection:
        return "no reflection";
    case BandState::Forbidden:
        return "forbidden";
    case BandState::NoData:
        break;
    }
    return "no data";
}

} // namespace

QList<QByteArray> bandsTableColumns()
{
    return {"no",
            "energy_eV",
            "state",
            "reflects",
            "fwhm_sigma_urad",
            "fwhm_pi_urad",
            "low_eV",
            "high_eV",
            "gap_above_eV",
            "refraction_shift_eV",
            "lattice_offset_eV",
            "peak_reflectivity_sigma",
            "peak_reflectivity_pi",
            "integrated_reflectivity_sigma_urad",
            "integrated_reflectivity_pi_urad",
            "effective_band_low_eV",
            "effective_band_high_eV",
            "effective_centre_eV",
            "peak_efficiency",
            "band_photons_eV",
            "effective_gap_above_eV"};
}

QByteArray bandsTableCsv(const BandsAnalysis &a)
{
    QByteArray csv = bandsTableColumns().join(',') + "\r\n";
    for (const CrystalBand &c : a.crystals) {
        const bool band = c.state == BandState::Band;
        const auto add = [&csv](const std::optional<double> &v) {
            csv += ',';
            if (v)
                csv += shortestNumber(*v);
        };
        const auto onBand
            = [band](double v) { return band ? std::optional<double>(v) : std::nullopt; };
        csv += QByteArray::number(c.number);
        add(c.energy);
        csv += ',' + stateName(c.state) + ',' + (c.reflects ? '1' : '0');
        add(onBand(c.fwhmSigma));
        add(band ? c.fwhmPi : std::nullopt);
        add(onBand(c.low));
        add(onBand(c.high));
        add(band ? c.gapAbove : std::nullopt);
        add(onBand(c.shift));
        add(onBand(c.latticeOffset));
        for (const std::optional<double> &v : {c.peakReflectivitySigma,
                                               c.peakReflectivityPi,
                                               c.integratedReflectivitySigma,
                                               c.integratedReflectivityPi,
                                               c.effectiveBandLow,
                                               c.effectiveBandHigh,
                                               c.effectiveCentre,
                                               c.peakEfficiency,
                                               c.bandPhotons,
                                               c.effectiveGapAbove})
            add(v);
        csv += "\r\n";
    }
    return csv;
}

bool writeBandsTable(const QString &path, const BandsAnalysis &analysis, QString *error)
{
    const QByteArray csv = bandsTableCsv(analysis);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

QString suggestedBandsTableName(const QString &designFile)
{
    if (designFile.isEmpty())
        return QStringLiteral("bands.csv");
    const QFileInfo design(designFile);
    return design.dir().filePath(design.completeBaseName() + QStringLiteral("-bands.csv"));
}
