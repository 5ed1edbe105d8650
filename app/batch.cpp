#include "batch.h"

#include "bandanalysis.h"
#include "body.h"
#include "crystaltable.h"
#include "navigation.h"
#include "numberinput.h"
#include "plotexport.h"
#include "units.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

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

template <class T> T *widget(QObject *in, const QString &name)
{
    return in ? in->findChild<T *>(name) : nullptr;
}

QObject *panel(Body &body, const char *name)
{
    return body.findChild<QObject *>(QLatin1String(name));
}

// Return pressed in the field, as the keyboard delivers it.
void pressReturn(QLineEdit *field)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &release);
}

// The text typed into the field and Return pressed; false, with nothing typed, when the field
// refuses the text (it would put back its last accepted text).
bool typeInto(QLineEdit *field, const QString &text)
{
    if (const auto *guard = field->findChild<FieldGuard *>()) {
        if (!FieldGuard::refusal(text, guard->kind()).isEmpty())
            return false;
    }
    field->setText(text);
    pressReturn(field);
    return true;
}

QString refused(const Setting &s)
{
    return QStringLiteral("--set %1=%2: the field refuses this value").arg(s.name, s.value);
}

// The field that a numeric name stands for.
QLineEdit *numericField(Body &body, const QString &name)
{
    static const QHash<QString, QPair<const char *, const char *>> fields
        = {{QStringLiteral("StartE"), {"CA", "StartE"}},
           {QStringLiteral("DE"), {"CA", "DE"}},
           {QStringLiteral("Num"), {"CA", "Num"}},
           {QStringLiteral("DX"), {"CA", "DX"}},
           {QStringLiteral("DY"), {"CA", "DY"}},
           {QStringLiteral("Length"), {"CA", "Length"}},
           {QStringLiteral("LatticeC"), {"MC", "LatticeC"}}};
    const auto f = fields.find(name);
    if (f == fields.end())
        return nullptr;
    return widget<QLineEdit>(panel(body, f->first), QLatin1String(f->second));
}

double fieldNumber(Body &body, const char *panelName, const char *field)
{
    const QLineEdit *f = widget<QLineEdit>(panel(body, panelName), QLatin1String(field));
    return f ? f->text().toDouble() : 0.0;
}

QJsonObject panelsJson(Body &body)
{
    QObject *mc = panel(body, "MC");
    QObject *ca = panel(body, "CA");
    int type = 0;
    for (int t = 1; t <= 7 && type == 0; ++t) {
        const auto *b = widget<QRadioButton>(ca, QStringLiteral("Type%1").arg(t));
        if (b && b->isChecked())
            type = t;
    }
    const auto *combo = widget<QComboBox>(mc, QStringLiteral("SelCrystal"));
    const auto *rotate = widget<QCheckBox>(ca, QStringLiteral("RotateAll"));
    const auto *comment = widget<QLineEdit>(&body, QStringLiteral("Comment"));
    return QJsonObject{
        {QStringLiteral("material"), combo ? combo->currentText() : QString()},
        {QStringLiteral("latticeConstant"), number(fieldNumber(body, "MC", "LatticeC"))},
        {QStringLiteral("index"),
         QJsonArray{number(fieldNumber(body, "MC", "IndexH")),
                    number(fieldNumber(body, "MC", "IndexK")),
                    number(fieldNumber(body, "MC", "IndexL"))}},
        {QStringLiteral("spacing"), number(units.D)},
        {QStringLiteral("type"), type},
        {QStringLiteral("rotateAll"), rotate && rotate->isChecked()},
        {QStringLiteral("rotateAllDeg"), number(fieldNumber(body, "CA", "RotateAllDeg"))},
        {QStringLiteral("startEnergy"), number(fieldNumber(body, "CA", "StartE"))},
        {QStringLiteral("deltaEnergy"), number(fieldNumber(body, "CA", "DE"))},
        {QStringLiteral("numberOfCrystals"), number(fieldNumber(body, "CA", "Num"))},
        {QStringLiteral("dx"), number(fieldNumber(body, "CA", "DX"))},
        {QStringLiteral("dy"), number(fieldNumber(body, "CA", "DY"))},
        {QStringLiteral("length"), number(fieldNumber(body, "CA", "Length"))},
        {QStringLiteral("comment"), comment ? comment->text() : QString()}};
}

QJsonArray crystalsJson(Body &body)
{
    const QList<QByteArray> columns = crystalTableColumns();
    QJsonArray list;
    for (int i = 0; i < body.crystals.size(); ++i) {
        QJsonObject c{{QString::fromLatin1(columns.first()), i + 1}};
        const QVector<double> row = crystalTableRow(*body.crystals.at(i), units.D);
        for (int k = 0; k < row.size(); ++k)
            c.insert(QString::fromLatin1(columns.at(k + 1)), number(row.at(k)));
        list.append(c);
    }
    return list;
}

// A read-out as the main window shows it for the newest entry of a history, and its numbers.
QJsonObject readoutJson(const Points &history)
{
    const Point p = history.points.isEmpty() ? Point(0, 0) : history.points.last();
    return QJsonObject{{QStringLiteral("text"), positionReadout(p.x, p.y)},
                       {QStringLiteral("x"), number(p.x)},
                       {QStringLiteral("y"), number(p.y)},
                       {QStringLiteral("distance"), number(std::sqrt(p.x * p.x + p.y * p.y))}};
}

QJsonValue historyEntry(const Points &history)
{
    if (history.points.isEmpty())
        return QJsonValue();
    const Point &p = history.points.last();
    return QJsonObject{{QStringLiteral("x"), number(p.x)},
                       {QStringLiteral("y"), number(p.y)},
                       {QStringLiteral("label"), p.label}};
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

// One output: where it goes and what it holds.
struct Output
{
    QString path;
    QByteArray bytes;
};

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

bool deliver(const Output &o, QIODevice &out, QString *error)
{
    if (o.path != QLatin1String("-"))
        return writeBytes(o.path, o.bytes, error);
    if (out.write(o.bytes) == o.bytes.size())
        return true;
    *error = out.errorString();
    return false;
}

// A file made in the scratch folder by the window's own writers, read back.
bool readBack(const QString &path, QByteArray &bytes, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return false;
    }
    bytes = f.readAll();
    return true;
}

PlotView viewNamed(const QString &name)
{
    if (name == QLatin1String("crystals"))
        return PlotView::Crystals;
    if (name == QLatin1String("focus"))
        return PlotView::Focus;
    if (name == QLatin1String("imaging"))
        return PlotView::Imaging;
    return PlotView::Overall;
}

void writeLine(QIODevice &err, const QString &line)
{
    err.write(("lumivard: " + line + QLatin1Char('\n')).toUtf8());
}

} // namespace

QString applySetting(Body &body, const Setting &s)
{
    QObject *mc = panel(body, "MC");
    QObject *ca = panel(body, "CA");
    if (QLineEdit *f = numericField(body, s.name))
        return typeInto(f, s.value) ? QString() : refused(s);

    if (s.name == QLatin1String("Type")) {
        auto *b
            = widget<QAbstractButton>(ca, QStringLiteral("Type%1").arg(s.value.trimmed().toInt()));
        if (!b)
            return refused(s);
        if (!b->isChecked())
            b->click();
        return QString();
    }
    if (s.name == QLatin1String("RotateAll")) {
        auto *deg = widget<QLineEdit>(ca, QStringLiteral("RotateAllDeg"));
        auto *box = widget<QAbstractButton>(ca, QStringLiteral("RotateAll"));
        if (!deg || !box || !typeInto(deg, s.value))
            return refused(s);
        if (!box->isChecked())
            box->click();
        return QString();
    }
    if (s.name == QLatin1String("Material")) {
        auto *combo = widget<QComboBox>(mc, QStringLiteral("SelCrystal"));
        const int index = combo ? combo->findText(s.value) : -1;
        if (index < 0)
            return refused(s);
        combo->setCurrentIndex(index);
        return QString();
    }
    if (s.name == QLatin1String("Index")) {
        const QStringList hkl = s.value.split(QLatin1Char(','));
        const char *names[] = {"IndexH", "IndexK", "IndexL"};
        for (int i = 0; i < 3 && i < hkl.size(); ++i) {
            auto *f = widget<QLineEdit>(mc, QLatin1String(names[i]));
            if (!f || !typeInto(f, hkl.at(i).trimmed()))
                return refused(s);
        }
        return QString();
    }
    // crystal.N.FIELD, numbered as the rows are.
    const QStringList parts = s.name.split(QLatin1Char('.'));
    if (parts.size() == 3 && parts.first() == QLatin1String("crystal")) {
        const int n = parts.at(1).toInt();
        if (n < 1 || n > body.crystals.size())
            return QStringLiteral("--set %1=%2: there is no crystal %3 (the design has %4)")
                .arg(s.name, s.value)
                .arg(n)
                .arg(body.crystals.size());
        auto *f = widget<QLineEdit>(body.crystals.at(n - 1), parts.at(2));
        if (!f || !typeInto(f, s.value))
            return refused(s);
        return QString();
    }
    return QStringLiteral("--set %1=%2: no field named %1").arg(s.name, s.value);
}

QByteArray batchJson(Body &body, const QString &file)
{
    const QJsonObject doc{
        {QStringLiteral("file"), file.isEmpty() ? QJsonValue() : QJsonValue(file)},
        {QStringLiteral("panels"), panelsJson(body)},
        {QStringLiteral("crystals"), crystalsJson(body)},
        {QStringLiteral("readouts"),
         QJsonObject{{QStringLiteral("focus"), readoutJson(body.avrCps)},
                     {QStringLiteral("image"), readoutJson(body.avrIps)}}},
        {QStringLiteral("history"),
         QJsonObject{{QStringLiteral("focus"), historyEntry(body.avrCps)},
                     {QStringLiteral("image"), historyEntry(body.avrIps)}}},
        {QStringLiteral("bands"), bandsJson(body.bandsAnalysis())}};
    return QJsonDocument(doc).toJson(QJsonDocument::Indented);
}

QByteArray sweepHeader()
{
    return "value,focus_x,focus_y,image_x,image_y,lsq_focus_x,lsq_focus_y,lsq_rms,coverage,"
           "largest_gap_eV,reflecting\r\n";
}

QByteArray sweepRow(Body &body, const QString &value)
{
    QByteArray row = value.toUtf8();
    const auto add = [&row](const std::optional<double> &v) {
        row += ',';
        if (v)
            row += shortestNumber(*v);
    };
    // Without a crossing (fewer than two crystals) the design has no focus of its own.
    const bool focused = !body.crossPoints.points.isEmpty();
    const auto newest = [focused](const Points &h, bool x) -> std::optional<double> {
        if (!focused || h.points.isEmpty())
            return std::nullopt;
        return x ? h.points.last().x : h.points.last().y;
    };
    add(newest(body.avrCps, true));
    add(newest(body.avrCps, false));
    add(newest(body.avrIps, true));
    add(newest(body.avrIps, false));
    const BandsAnalysis a = body.bandsAnalysis();
    add(a.focus.focus ? std::optional<double>(a.focus.focus->x) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.focus->y) : std::nullopt);
    add(a.focus.focus ? std::optional<double>(a.focus.rms) : std::nullopt);
    add(a.coverage.fraction);
    add(a.coverage.bands > 0 ? std::optional<double>(a.coverage.largestGap) : std::nullopt);
    row += ',' + QByteArray::number(a.coverage.bands);
    return row + "\r\n";
}

int runBatch(const CommandLine &cl, QIODevice &out, QIODevice &err)
{
    const bool defaultDesign = cl.file == QLatin1String("-");
    if (!defaultDesign) {
        QFile design(cl.file);
        if (!design.open(QIODevice::ReadOnly)) {
            writeLine(err, QStringLiteral("cannot read %1: %2").arg(cl.file, design.errorString()));
            return BatchFileError;
        }
    }

    // A scripted run leaves the user's settings (recent files, window places) alone.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    Body body;
    // No event loop runs in a batch: what the widgets posted for later (polish, layout and paint
    // requests of every row) piles up, and each widget's destruction would search the whole pile.
    // The window goes away first thing at the end, so the pile is dropped before it does.
    struct DropPostedEvents
    {
        ~DropPostedEvents()
        {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::removePostedEvents(nullptr);
        }
    } dropPostedEvents;
    if (!defaultDesign) {
        QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, cl.file));
        // A load that took nothing (a text that is not a design) leaves no current file.
        if (body.currentFile().isEmpty()) {
            writeLine(err, QStringLiteral("%1 holds no design").arg(cl.file));
            return BatchFileError;
        }
    }
    for (const Setting &s : cl.settings) {
        const QString why = applySetting(body, s);
        if (!why.isEmpty()) {
            writeLine(err, why);
            return BatchRefused;
        }
    }
    const QString file = defaultDesign ? QString() : cl.file;

    // Everything that describes the design is made now, before a sweep changes it, and written
    // only once the whole run has succeeded.
    QTemporaryDir scratch;
    QVector<Output> outputs;
    QString why;
    const auto fileError = [&err](const QString &path, const QString &reason) {
        writeLine(err, QStringLiteral("cannot write %1: %2").arg(path, reason));
        return BatchFileError;
    };
    if (!scratch.isValid())
        return fileError(QStringLiteral("a scratch folder"), scratch.errorString());
    if (!cl.saveTo.isEmpty())
        outputs.append({cl.saveTo, body.designText().toUtf8()});
    if (!cl.csvTo.isEmpty() && !cl.sweeping)
        outputs.append({cl.csvTo, crystalTableCsv(body.crystalList(), units.D)});
    if (!cl.jsonTo.isEmpty())
        outputs.append({cl.jsonTo, batchJson(body, file)});
    for (int k = 0; k < cl.images.size(); ++k) {
        const QString target = cl.images.at(k).second;
        const PlotView which = viewNamed(cl.images.at(k).first);
        DispABase &w = body.plotWindow(which);
        w.realC = w.realC0;
        // By default the size the window has (900 x 600, 600 x 400, 400 x 400), not its surface.
        const QSize size = cl.imageSize.isValid() ? cl.imageSize : w.size();
        // On standard output a picture is PNG.
        const PlotFormat format = plotFormatOf(target, PlotFormat::Png);
        const QString made = scratch.filePath(QStringLiteral("picture%1").arg(k));
        Output o{target, {}};
        if (!exportPlotImage(body, which, made, format, size, 1.0, &why)
            || !readBack(made, o.bytes, &why))
            return fileError(target, why);
        outputs.append(o);
    }

    if (cl.sweeping) {
        QByteArray table = sweepHeader();
        for (const double v : sweepValues(cl.sweep)) {
            const QString text = sweepValueText(v);
            const QString why = applySetting(body, {cl.sweep.name, text});
            if (!why.isEmpty()) {
                writeLine(err, why);
                return BatchRefused;
            }
            table += sweepRow(body, text);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        outputs.append({cl.csvTo, table});
    }

    for (const Output &o : outputs) {
        if (!deliver(o, out, &why))
            return fileError(o.path, why);
    }
    return BatchOk;
}
