#include "report.h"

#include "bandanalysis.h"
#include "crystaltable.h"
#include "designdocument.h"
#include "readouts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

QJsonObject bandsJson(const BandsAnalysis &a)
{
    QJsonArray crystals;
    for (const CrystalBand &c : a.crystals) {
        const bool band = c.state == BandState::Band;
        crystals.append(QJsonObject{
            {QStringLiteral("no"), c.number},
            {QStringLiteral("state"), bandStateName(c.state)},
            {QStringLiteral("energy"), number(c.energy)},
            {QStringLiteral("fwhmSigma_urad"), band ? number(c.fwhmSigma) : QJsonValue()},
            {QStringLiteral("fwhmPi_urad"), band ? number(c.fwhmPi) : QJsonValue()},
            {QStringLiteral("low_eV"), band ? number(c.low) : QJsonValue()},
            {QStringLiteral("high_eV"), band ? number(c.high) : QJsonValue()},
            {QStringLiteral("gapAbove_eV"), band ? number(c.gapAbove) : QJsonValue()},
            {QStringLiteral("refractionShift_eV"), band ? number(c.shift) : QJsonValue()},
            {QStringLiteral("latticeOffset_eV"), band ? number(c.latticeOffset) : QJsonValue()}});
    }
    const Reflection::Check &r = a.reflection;
    const FocusQuality &f = a.focus;
    return QJsonObject{
        {QStringLiteral("reflection"),
         QJsonObject{{QStringLiteral("material"), a.design.material},
                     {QStringLiteral("hkl"), QJsonArray{r.hkl.h, r.hkl.k, r.hkl.l}},
                     {QStringLiteral("status"), statusName(r.status)},
                     {QStringLiteral("fhAtStart"), number(a.fhAtStart)}}},
        {QStringLiteral("fwhmSigmaAtStart_urad"), number(a.fwhmSigmaAtStart)},
        {QStringLiteral("fwhmPiAtStart_urad"), number(a.fwhmPiAtStart)},
        {QStringLiteral("refractionShiftAtStart_eV"), number(a.shiftAtStart)},
        {QStringLiteral("latticeConstant"),
         QJsonObject{{QStringLiteral("design"), number(a.design.latticeConstant)},
                     {QStringLiteral("accepted"), number(a.acceptedLattice)},
                     {QStringLiteral("offsetAtStart_eV"), number(a.offsetAtStart)}}},
        {QStringLiteral("coverage"),
         QJsonObject{
             {QStringLiteral("bands"), a.coverage.bands},
             {QStringLiteral("low_eV"), a.coverage.bands ? number(a.coverage.low) : QJsonValue()},
             {QStringLiteral("high_eV"), a.coverage.bands ? number(a.coverage.high) : QJsonValue()},
             {QStringLiteral("covered_eV"), number(a.coverage.covered)},
             {QStringLiteral("fraction"), number(a.coverage.fraction)},
             {QStringLiteral("largestGap_eV"), number(a.coverage.largestGap)}}},
        {QStringLiteral("focus"),
         QJsonObject{{QStringLiteral("leastSquares"), point(f.focus)},
                     {QStringLiteral("rms"), f.focus ? number(f.rms) : QJsonValue()},
                     {QStringLiteral("averaged"), point(f.averaged)},
                     {QStringLiteral("pairs"), double(f.pairs)},
                     {QStringLiteral("virtualPairs"), double(f.virtualPairs)},
                     {QStringLiteral("parallelPairs"), double(f.parallelPairs)}}},
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

QJsonArray crystalsJson(const Design &d)
{
    const QList<QByteArray> columns = crystalTableColumns();
    QJsonArray list;
    for (int i = 0; i < d.crystals.size(); ++i) {
        QJsonObject c{{QString::fromLatin1(columns.first()), i + 1}};
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

QByteArray designReport(const DesignDocument &doc, const QString &file)
{
    return QJsonDocument(designReportObject(doc, file)).toJson(QJsonDocument::Indented);
}

QJsonObject designReportObject(const DesignDocument &doc, const QString &file)
{
    const Design &d = doc.design();
    const FocusState &f = doc.focusState();
    return QJsonObject{
        {QStringLiteral("file"), file.isEmpty() ? QJsonValue() : QJsonValue(file)},
        {QStringLiteral("panels"), panelsJson(d)},
        {QStringLiteral("crystals"), crystalsJson(d)},
        {QStringLiteral("readouts"),
         QJsonObject{{QStringLiteral("focus"), readoutJson(doc.focusHistory(), f)},
                     {QStringLiteral("image"), readoutJson(doc.imageHistory(), f)}}},
        {QStringLiteral("history"),
         QJsonObject{{QStringLiteral("added"), f.entryAdded},
                     {QStringLiteral("focus"), historyEntry(doc.focusHistory(), f)},
                     {QStringLiteral("image"), historyEntry(doc.imageHistory(), f)}}},
        {QStringLiteral("bands"), bandsJson(analyseBands(d.bandsMaterial(), d.crystalList()))}};
}

QByteArray sweepHeader()
{
    return "value,focus_x,focus_y,image_x,image_y,lsq_focus_x,lsq_focus_y,lsq_rms,coverage,"
           "largest_gap_eV,reflecting\r\n";
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
    const BandsAnalysis a = analyseBands(d.bandsMaterial(), d.crystalList());
    add(a.focus.focus ? std::optional<double>(a.focus.focus->x) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.focus->y) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.rms) : std::nullopt);
    add(a.coverage.fraction);
    add(a.coverage.bands > 0 ? std::optional<double>(a.coverage.largestGap) : std::nullopt);
    row += ',' + QByteArray::number(a.coverage.bands);
    return row + "\r\n";
}
