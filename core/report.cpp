#include "report.h"

#include "bandanalysis.h"
#include "crystaltable.h"
#include "designdocument.h"
#include "readouts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

QJsonValue number(const std::optional<double> &v)
{
    return v ? number(*v) : QJsonValue();
}

QJsonValue point(const std::optional<Point> &p)
{
    if (!p)
        return QJsonValue();
    return QJsonObject{{QStringLiteral("x"), number(p->x)}, {QStringLiteral("y"), number(p->y)}};
}

QString statusName(Reflection::Status s)
{
    switch (s) {
    case Reflection::Status::Allowed:
        return QStringLiteral("allowed");
    case Reflection::Status::Forbidden:
        return QStringLiteral("forbidden");
    case Reflection::Status::NoPlanes:
        return QStringLiteral("no planes");
    case Reflection::Status::NotWhole:
        return QStringLiteral("indices not whole");
    case Reflection::Status::NoData:
        break;
    }
    return QStringLiteral("no data");
}

QString bandStateName(BandState s)
{
    switch (s) {
    case BandState::Band:
        return QStringLiteral("band");
    case BandState::NoReflection:
        return QStringLiteral("no reflection");
    case BandState::Forbidden:
        return QStringLiteral("forbidden");
    case BandState::NoData:
        break;
    }
    return QStringLiteral("no data");
}

QJsonObject coverageJson(const Coverage &c)
{
    return QJsonObject{{QStringLiteral("bands"), c.bands},
                       {QStringLiteral("low_eV"), c.bands ? number(c.low) : QJsonValue()},
                       {QStringLiteral("high_eV"), c.bands ? number(c.high) : QJsonValue()},
                       {QStringLiteral("covered_eV"), number(c.covered)},
                       {QStringLiteral("fraction"), number(c.fraction)},
                       {QStringLiteral("largestGap_eV"), number(c.largestGap)}};
}

QJsonArray hklJson(const Reflection::Miller &m)
{
    return QJsonArray{m.h, m.k, m.l};
}

QJsonObject crystalBandJson(const CrystalBand &c)
{
    const bool band = c.state == BandState::Band;
    return QJsonObject{
        {QStringLiteral("no"), c.number},
        {QStringLiteral("state"), bandStateName(c.state)},
        {QStringLiteral("reflects"), c.reflects},
        {QStringLiteral("energy"), number(c.energy)},
        {QStringLiteral("realEnergy_eV"), number(c.realEnergy)},
        {QStringLiteral("fwhmSigma_urad"), band ? number(c.fwhmSigma) : QJsonValue()},
        {QStringLiteral("fwhmPi_urad"), band ? number(c.fwhmPi) : QJsonValue()},
        {QStringLiteral("fwhmPolarised_urad"), number(c.fwhmPolarised)},
        {QStringLiteral("peakReflectivitySigma"), number(c.peakReflectivitySigma)},
        {QStringLiteral("peakReflectivityPi"), number(c.peakReflectivityPi)},
        {QStringLiteral("integratedReflectivitySigma_urad"), number(c.integratedReflectivitySigma)},
        {QStringLiteral("integratedReflectivityPi_urad"), number(c.integratedReflectivityPi)},
        {QStringLiteral("low_eV"), band ? number(c.low) : QJsonValue()},
        {QStringLiteral("high_eV"), band ? number(c.high) : QJsonValue()},
        {QStringLiteral("gapAbove_eV"), band ? number(c.gapAbove) : QJsonValue()},
        {QStringLiteral("refractionShift_eV"), band ? number(c.shift) : QJsonValue()},
        {QStringLiteral("latticeOffset_eV"), band ? number(c.latticeOffset) : QJsonValue()},
        {QStringLiteral("effectiveBandLow_eV"), number(c.effectiveBandLow)},
        {QStringLiteral("effectiveBandHigh_eV"), number(c.effectiveBandHigh)},
        {QStringLiteral("effectiveCentre_eV"), number(c.effectiveCentre)},
        {QStringLiteral("effectiveFwhm_urad"), number(c.effectiveFwhm)},
        {QStringLiteral("effectiveGapAbove_eV"), number(c.effectiveGapAbove)},
        {QStringLiteral("peakEfficiency"), number(c.peakEfficiency)},
        {QStringLiteral("bandPhotons_eV"), number(c.bandPhotons)},
        {QStringLiteral("illumination"), number(c.illumination)}};
}

QJsonObject sourceJson(const BandsAnalysis &a)
{
    const SourceParams &s = a.source;
    return QJsonObject{
        {QStringLiteral("distance"), number(s.distance)},
        {QStringLiteral("size"), number(s.size)},
        {QStringLiteral("divergence_urad"), number(s.divergence)},
        {QStringLiteral("polarisation"), Reflection::polarisationText(s.polarisation)},
        {QStringLiteral("polarisationDegree"), number(s.polarisation.degree)},
        {QStringLiteral("temperature_C"), number(s.temperature)},
        {QStringLiteral("position"),
         a.sourcePosition ? point(Point(a.sourcePosition->x, a.sourcePosition->y)) : QJsonValue()}};
}

QJsonObject bandsJson(const BandsAnalysis &a)
{
    QJsonArray crystals;
    for (const CrystalBand &c : a.crystals)
        crystals.append(crystalBandJson(c));
    QJsonArray harmonics;
    for (const Reflection::Harmonic &h : a.harmonics)
        harmonics.append(
            QJsonObject{{QStringLiteral("hkl"), hklJson(h.hkl)},
                        {QStringLiteral("energy_eV"), number(h.energy)},
                        {QStringLiteral("peakReflectivity"), number(h.curve.peak)},
                        {QStringLiteral("band_eV"), number(h.curve.high - h.curve.low)}});
    const Reflection::Check &r = a.reflection;
    const FocusQuality &f = a.focus;
    return QJsonObject{{QStringLiteral("reflection"),
                        QJsonObject{{QStringLiteral("material"), a.design.material},
                                    {QStringLiteral("hkl"), hklJson(r.hkl)},
                                    {QStringLiteral("status"), statusName(r.status)},
                                    {QStringLiteral("fhAtStart"), number(a.fhAtStart)}}},
                       {QStringLiteral("source"), sourceJson(a)},
                       {QStringLiteral("fwhmSigmaAtStart_urad"), number(a.fwhmSigmaAtStart)},
                       {QStringLiteral("fwhmPiAtStart_urad"), number(a.fwhmPiAtStart)},
                       {QStringLiteral("refractionShiftAtStart_eV"), number(a.shiftAtStart)},
                       {QStringLiteral("latticeConstant"),
                        QJsonObject{{QStringLiteral("design"), number(a.design.latticeConstant)},
                                    {QStringLiteral("accepted"), number(a.acceptedLattice)},
                                    {QStringLiteral("realSpacing"), number(a.realSpacing)},
                                    {QStringLiteral("offsetAtStart_eV"), number(a.offsetAtStart)}}},
                       {QStringLiteral("coverage"), coverageJson(a.coverage)},
                       {QStringLiteral("effectiveCoverage"), coverageJson(a.effectiveCoverage)},
                       {QStringLiteral("focus"),
                        QJsonObject{{QStringLiteral("leastSquares"), point(f.focus)},
                                    {QStringLiteral("rms"), f.focus ? number(f.rms) : QJsonValue()},
                                    {QStringLiteral("lines"), f.lines},
                                    {QStringLiteral("averaged"), point(f.averaged)},
                                    {QStringLiteral("pairs"), double(f.pairs)},
                                    {QStringLiteral("virtualPairs"), double(f.virtualPairs)},
                                    {QStringLiteral("parallelPairs"), double(f.parallelPairs)}}},
                       {QStringLiteral("harmonics"), harmonics},
                       {QStringLiteral("crystals"), crystals}};
}

QJsonObject histogramJson(const Histogram &h, const char *unit)
{
    QJsonArray counts;
    for (double v : h.counts)
        counts.append(number(v));
    const QString suffix = QString::fromLatin1(unit);
    return QJsonObject{{QStringLiteral("from") + suffix, number(h.from)},
                       {QStringLiteral("step") + suffix, number(h.step)},
                       {QStringLiteral("counts"), counts}};
}

QJsonArray numbersJson(const QVector<double> &values)
{
    QJsonArray list;
    for (double v : values)
        list.append(number(v));
    return list;
}

QJsonObject spotJson(const RayCrystal &c)
{
    return QJsonObject{{QStringLiteral("centre"), number(c.spotCentre)},
                       {QStringLiteral("fwhm"), number(c.spotFwhm)},
                       {QStringLiteral("profile"), histogramJson(c.spot, "")}};
}

QJsonObject raysJson(const RayTrace &t, const RayTraceParams &params)
{
    QJsonArray crystals;
    for (int i = 0; i < t.crystals.size(); ++i) {
        const RayCrystal &c = t.crystals.at(i);
        crystals.append(
            QJsonObject{{QStringLiteral("no"), i + 1},
                        {QStringLiteral("hits"), double(c.hits)},
                        {QStringLiteral("reflected"), double(c.reflected)},
                        {QStringLiteral("low_eV"), number(c.low)},
                        {QStringLiteral("high_eV"), number(c.high)},
                        {QStringLiteral("fwhm_eV"), number(c.fwhm)},
                        {QStringLiteral("fwhmError_eV"), number(c.fwhmError)},
                        {QStringLiteral("peakEfficiency"), number(c.peakEfficiency)},
                        {QStringLiteral("peakEfficiencyError"), number(c.peakEfficiencyError)},
                        {QStringLiteral("bandPhotons_eV"), number(c.bandPhotons)},
                        {QStringLiteral("bandPhotonsError_eV"), number(c.bandPhotonsError)},
                        {QStringLiteral("energies"), histogramJson(c.energies, "_eV")},
                        {QStringLiteral("efficiency"), numbersJson(c.efficiency)},
                        {QStringLiteral("efficiencyError"), numbersJson(c.efficiencyError)},
                        {QStringLiteral("spot"), spotJson(c)}});
    }
    return QJsonObject{
        {QStringLiteral("rays"), double(params.rays)},
        {QStringLiteral("seed"), double(params.seed)},
        {QStringLiteral("hits"), double(t.hits)},
        {QStringLiteral("reflected"), double(t.reflected)},
        {QStringLiteral("energyLow_eV"), t.rays > 0 ? number(t.energyLow) : QJsonValue()},
        {QStringLiteral("energyHigh_eV"), t.rays > 0 ? number(t.energyHigh) : QJsonValue()},
        {QStringLiteral("focus"), t.focus ? point(Point(t.focus->x, t.focus->y)) : QJsonValue()},
        {QStringLiteral("spot"), spotJson(t.all)},
        {QStringLiteral("crystals"), crystals}};
}

QJsonObject panelsJson(const Design &d)
{
    return QJsonObject{{QStringLiteral("material"), d.materialName()},
                       {QStringLiteral("latticeConstant"), number(d.latticeConstant.toDouble())},
                       {QStringLiteral("index"),
                        QJsonArray{number(d.indexH.toDouble()),
                                   number(d.indexK.toDouble()),
                                   number(d.indexL.toDouble())}},
                       {QStringLiteral("spacing"), number(d.spacing)},
                       {QStringLiteral("type"), d.type},
                       {QStringLiteral("rotateAll"), d.rotateAll},
                       {QStringLiteral("rotateAllDeg"), number(d.rotateAllDeg.toDouble())},
                       {QStringLiteral("startEnergy"), number(d.startEnergy.toDouble())},
                       {QStringLiteral("deltaEnergy"), number(d.energyStep.toDouble())},
                       {QStringLiteral("numberOfCrystals"), number(d.count.toDouble())},
                       {QStringLiteral("dx"), number(d.dx.toDouble())},
                       {QStringLiteral("dy"), number(d.dy.toDouble())},
                       {QStringLiteral("length"), number(d.length.toDouble())},
                       {QStringLiteral("comment"), d.comment}};
}

QJsonArray crystalsJson(const Design &d, const BandsAnalysis &a)
{
    const QList<QByteArray> columns = crystalTableColumns();
    QJsonArray list;
    for (int i = 0; i < d.crystals.size(); ++i) {
        QJsonObject c{{QString::fromLatin1(columns.first()), i + 1}};
        c.insert(QStringLiteral("reflects"), i < a.crystals.size() && a.crystals.at(i).reflects);
        const QVector<double> row = crystalTableRow(d.crystals.at(i), d.spacing);
        for (int k = 0; k < row.size(); ++k)
            c.insert(QString::fromLatin1(columns.at(k + 1)), number(row.at(k)));
        list.append(c);
    }
    return list;
}

// A read-out as the main window shows it for the newest entry of a history, and its numbers; null
// for a design without a focus of its own (fewer than two crystals that reflect).
QJsonValue readoutJson(const PointList &history, const FocusState &focus)
{
    if (!focus.hasFocus())
        return QJsonValue();
    const Point p = history.points.isEmpty() ? Point(0, 0) : history.points.last();
    return QJsonObject{{QStringLiteral("text"), positionReadout(p.x, p.y)},
                       {QStringLiteral("x"), number(p.x)},
                       {QStringLiteral("y"), number(p.y)},
                       {QStringLiteral("distance"), number(std::sqrt(p.x * p.x + p.y * p.y))}};
}

// The entry the last tracing added to a history; null when it added none.
QJsonValue historyEntry(const PointList &history, const FocusState &focus)
{
    if (!focus.entryAdded || history.points.isEmpty())
        return QJsonValue();
    const Point &p = history.points.last();
    return QJsonObject{{QStringLiteral("x"), number(p.x)},
                       {QStringLiteral("y"), number(p.y)},
                       {QStringLiteral("label"), p.label}};
}

} // namespace

BandsAnalysis designBands(const Design &d)
{
    return analyseBands(d.bandsMaterial(), d.crystalList(), d.source);
}

QByteArray designReport(const DesignDocument &doc,
                        const QString &file,
                        const std::optional<RayTraceParams> &rays)
{
    return QJsonDocument(designReportObject(doc, file, rays)).toJson(QJsonDocument::Indented);
}

QJsonObject designReportObject(const DesignDocument &doc,
                               const QString &file,
                               const std::optional<RayTraceParams> &rays)
{
    const Design &d = doc.design();
    const FocusState &f = doc.focusState();
    const BandsAnalysis bands = designBands(d);
    return QJsonObject{
        {QStringLiteral("file"), file.isEmpty() ? QJsonValue() : QJsonValue(file)},
        {QStringLiteral("panels"), panelsJson(d)},
        {QStringLiteral("crystals"), crystalsJson(d, bands)},
        {QStringLiteral("readouts"),
         QJsonObject{{QStringLiteral("focus"), readoutJson(doc.focusHistory(), f)},
                     {QStringLiteral("image"), readoutJson(doc.imageHistory(), f)}}},
        {QStringLiteral("history"),
         QJsonObject{{QStringLiteral("added"), f.entryAdded},
                     {QStringLiteral("focus"), historyEntry(doc.focusHistory(), f)},
                     {QStringLiteral("image"), historyEntry(doc.imageHistory(), f)}}},
        {QStringLiteral("bands"), bandsJson(bands)},
        {QStringLiteral("rays"),
         rays ? QJsonValue(raysJson(traceRays(bands, d.crystalList(), *rays), *rays))
              : QJsonValue()}};
}

QByteArray sweepHeader()
{
    return "value,focus_x,focus_y,image_x,image_y,lsq_focus_x,lsq_focus_y,lsq_rms,coverage,"
           "largest_gap_eV,reflecting,effective_coverage,effective_largest_gap_eV\r\n";
}

QByteArray sweepRow(const DesignDocument &doc, const QString &value)
{
    QByteArray row = value.toUtf8();
    const auto add = [&row](const std::optional<double> &v) {
        row += ',';
        if (v)
            row += shortestNumber(*v);
    };
    // With fewer than two crystals that reflect the design has no focus of its own.
    const bool focused = doc.focusState().hasFocus();
    const auto newest = [focused](const PointList &h, bool x) -> std::optional<double> {
        if (!focused || h.points.isEmpty())
            return std::nullopt;
        return x ? h.points.last().x : h.points.last().y;
    };
    add(newest(doc.focusHistory(), true));
    add(newest(doc.focusHistory(), false));
    add(newest(doc.imageHistory(), true));
    add(newest(doc.imageHistory(), false));
    const Design &d = doc.design();
    const BandsAnalysis a = designBands(d);
    add(a.focus.focus ? std::optional<double>(a.focus.focus->x) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.focus->y) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.rms) : std::nullopt);
    add(a.coverage.fraction);
    add(a.coverage.bands > 0 ? std::optional<double>(a.coverage.largestGap) : std::nullopt);
    const auto reflecting = std::count_if(
        a.crystals.cbegin(), a.crystals.cend(), [](const CrystalBand &c) { return c.reflects; });
    row += ',' + QByteArray::number(qint64(reflecting));
    add(a.effectiveCoverage.fraction);
    add(a.effectiveCoverage.bands > 0 ? std::optional<double>(a.effectiveCoverage.largestGap)
                                      : std::nullopt);
    return row + "\r\n";
}
