#include "designdocument.h"

#include "changescope.h"
#include "latticeconstants.h"
#include "layout.h"
#include "numbers.h"
#include "trace.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace {

// Undo steps and the saved text they restore are compressed fast: they are made at every edit and
// every load, and only held in memory.
constexpr int kPackLevel = 1;

QString refusedMessage(const QString &name, const QString &value)
{
    return QStringLiteral("--set %1=%2: the field refuses this value").arg(name, value);
}

EditError refused(const QString &name, const QString &value)
{
    return {EditError::Refused, refusedMessage(name, value)};
}

// The numeric names of --set and the panel fields they type into.
const QVector<QPair<QString, PanelField>> &panelNames()
{
    static const QVector<QPair<QString, PanelField>> names{
        {QStringLiteral("StartE"), PanelField::StartE},
        {QStringLiteral("DE"), PanelField::DE},
        {QStringLiteral("Num"), PanelField::Num},
        {QStringLiteral("DX"), PanelField::DX},
        {QStringLiteral("DY"), PanelField::DY},
        {QStringLiteral("Length"), PanelField::Length},
        {QStringLiteral("LatticeC"), PanelField::LatticeC}};
    return names;
}

std::optional<PanelField> panelFieldNamed(const QString &name)
{
    for (const auto &n : panelNames()) {
        if (n.first == name)
            return n.second;
    }
    return std::nullopt;
}

// The --set names of the source group's fields, in SourceField order.
const QStringList &sourceNames()
{
    static const QStringList names{QStringLiteral("Source.Distance"),
                                   QStringLiteral("Source.Size"),
                                   QStringLiteral("Source.Divergence"),
                                   QStringLiteral("Polarisation"),
                                   QStringLiteral("Temperature")};
    return names;
}

std::optional<SourceField> sourceFieldNamed(const QString &name)
{
    const int i = sourceNames().indexOf(name);
    if (i < 0)
        return std::nullopt;
    return SourceField(i);
}

// What a source field takes, after "--set NAME=VALUE: ".
QString sourceRange(SourceField field)
{
    switch (field) {
    case SourceField::Distance:
        return QStringLiteral("the distance is a number above 0");
    case SourceField::Size:
        return QStringLiteral("the size is a number from 0 up");
    case SourceField::Divergence:
        return QStringLiteral("the divergence is a number from 0 to %1 (microradians)")
            .arg(kMaxDivergence, 0, 'f', 0);
    case SourceField::Polarisation:
        return QStringLiteral(
            "the polarisation is sigma, pi, unpolarised or a number from -1 to 1");
    case SourceField::Temperature:
        break;
    }
    return QStringLiteral("the temperature is a number above -273.15 (degrees C)");
}

// A source the fields could have made: valid, within the divergence's bound, above absolute
// zero.
bool sourceTaken(const SourceParams &s)
{
    return s.isValid() && s.divergence <= kMaxDivergence && s.temperature > -273.15;
}

// crystal.N.FIELD: N from 1 without leading zeros (at most nine digits), a field whose edit moves
// the crystal.
bool crystalSetting(const QString &name, int &number, CrystalField &field)
{
    const QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() != 3 || parts.at(0) != QLatin1String("crystal"))
        return false;
    const QString &n = parts.at(1);
    if (n.isEmpty() || n.size() > 9 || n.at(0) == QLatin1Char('0'))
        return false;
    for (const QChar c : n) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    number = n.toInt();
    static const QStringList fields{QStringLiteral("X"),
                                    QStringLiteral("Y"),
                                    QStringLiteral("Deg"),
                                    QStringLiteral("Energy"),
                                    QStringLiteral("Length")};
    const int f = fields.indexOf(parts.at(2));
    if (f < 0)
        return false;
    field = CrystalField(f);
    return true;
}

// The material list's index of a name in any case, -1 for none.
int materialNamed(const QString &name)
{
    for (int i = 0; i < materials().size(); ++i) {
        if (materials().at(i).name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// A panel field's text as the field takes it: a finite number, for "Num of C." a whole one.
bool panelAccepts(PanelField field, const QString &text)
{
    return field == PanelField::Num ? wholeNumber(text).has_value()
                                    : finiteNumber(text).has_value();
}

QString &panelText(Design &d, PanelField field)
{
    switch (field) {
    case PanelField::LatticeC:
        return d.latticeConstant;
    case PanelField::IndexH:
        return d.indexH;
    case PanelField::IndexK:
        return d.indexK;
    case PanelField::IndexL:
        return d.indexL;
    case PanelField::StartE:
        return d.startEnergy;
    case PanelField::DE:
        return d.energyStep;
    case PanelField::Num:
        return d.count;
    case PanelField::DX:
        return d.dx;
    case PanelField::DY:
        return d.dy;
    case PanelField::Length:
        return d.length;
    case PanelField::RotateAllDeg:
        break;
    }
    return d.rotateAllDeg;
}

} // namespace

std::optional<SourceParams>
sourceWith(const SourceParams &source, SourceField field, const QString &text)
{
    SourceParams s = source;
    if (field == SourceField::Polarisation) {
        const std::optional<Reflection::Polarisation> p = Reflection::parsePolarisation(text);
        if (!p)
            return std::nullopt;
        // A degree of -0 is the unpolarised beam of 0, and is stored so.
        s.polarisation.degree = p->degree + 0.0;
    } else {
        const std::optional<double> v = finiteNumber(text);
        if (!v)
            return std::nullopt;
        double *const values[] = {&s.distance, &s.size, &s.divergence, nullptr, &s.temperature};
        *values[int(field)] = *v + 0.0;
    }
    if (!sourceTaken(s))
        return std::nullopt;
    return s;
}

DesignDocument::DesignDocument(QObject *parent)
    : QObject(parent), steps([this](const QByteArray &packed, const UndoStack::FileState *file) {
          restore(packed, file);
      })
{
    // The changes travel by queued connections and signal spies too.
    static const int registered = qRegisterMetaType<DesignDocument::Changes>();
    Q_UNUSED(registered)
    steps.setUndoLimit(kUndoSteps);
    ChangeScope scope(this);
    layOut();
    // The design as it starts is the first undo step's starting point, and needs no saving.
    recordedText = text();
    recordedPacked = packDesign(current);
    savedText = recordedText;
    recording = true;
    pending = {};
}

DesignDocument::~DesignDocument() = default;

void DesignDocument::copyFrom(const DesignDocument &other)
{
    ChangeScope scope(this);
    current = other.current;
    crossPoints = other.crossPoints;
    centrePoints = other.centrePoints;
    avrCps = other.avrCps;
    avrIps = other.avrIps;
    reflections = other.reflections;
    focus = other.focus;
    currentPath = other.currentPath;
    recordedText = other.recordedText;
    recordedPacked = other.recordedPacked;
    // A document without undo steps has not kept its packed design up to date.
    if (keepsSteps && !other.keepsSteps)
        recordedPacked = packDesign(current);
    savedText = other.savedText;
    steps.clear();
    announce(DesignChanged | Traced | FileChanged);
}

void DesignDocument::announce(Changes what)
{
    pending |= what;
}

// ---------------------------------------------------------------- edits

EditError DesignDocument::check(const QString &name, const QString &value)
{
    if (const auto field = panelFieldNamed(name)) {
        if (!panelAccepts(*field, value))
            return refused(name, value);
        return {};
    }
    if (const auto field = sourceFieldNamed(name)) {
        if (!sourceWith(SourceParams(), *field, value))
            return {EditError::Refused,
                    QStringLiteral("--set %1=%2: %3").arg(name, value, sourceRange(*field))};
        return {};
    }
    if (name == QLatin1String("Type")) {
        const std::optional<int> t = wholeNumber(value);
        if (!t || *t < 1 || *t > 7)
            return {EditError::Refused,
                    QStringLiteral("--set Type=%1: the type is 1 to 7").arg(value)};
        return {};
    }
    if (name == QLatin1String("RotateAll")) {
        if (!finiteNumber(value))
            return refused(name, value);
        return {};
    }
    if (name == QLatin1String("Material")) {
        if (materialNamed(value) < 0)
            return {EditError::Refused,
                    QStringLiteral("--set Material=%1: the material is Si or Ge").arg(value)};
        return {};
    }
    if (name == QLatin1String("Index")) {
        const QStringList hkl = value.split(QLatin1Char(','));
        if (hkl.size() != 3)
            return {EditError::Refused,
                    QStringLiteral("--set Index=%1: the index is h,k,l").arg(value)};
        for (const QString &i : hkl) {
            if (!finiteNumber(i.trimmed()))
                return refused(name, value);
        }
        return {};
    }
    int number = 0;
    CrystalField field = CrystalField::X;
    if (crystalSetting(name, number, field)) {
        if (!finiteNumber(value))
            return refused(name, value);
        return {};
    }
    return {EditError::UnknownName,
            QStringLiteral("--set %1=%2: no field named %1").arg(name, value)};
}

EditError DesignDocument::apply(const QString &name, const QString &value)
{
    const EditError wrong = check(name, value);
    if (wrong)
        return wrong;
    ChangeScope scope(this);
    if (const auto field = panelFieldNamed(name)) {
        setPanelText(*field, value);
    } else if (const auto source = sourceFieldNamed(name)) {
        setSourceText(*source, value);
    } else if (name == QLatin1String("Type")) {
        selectType(*wholeNumber(value));
    } else if (name == QLatin1String("RotateAll")) {
        // The angle typed, then the box ticked: each lays the crystals out.
        setPanelText(PanelField::RotateAllDeg, value);
        setRotateAll(true);
    } else if (name == QLatin1String("Material")) {
        selectMaterial(materialNamed(value));
    } else if (name == QLatin1String("Index")) {
        const QStringList hkl = value.split(QLatin1Char(','));
        const PanelField fields[] = {PanelField::IndexH, PanelField::IndexK, PanelField::IndexL};
        for (int i = 0; i < 3; ++i)
            setPanelText(fields[i], hkl.at(i).trimmed());
    } else {
        int number = 0;
        CrystalField field = CrystalField::X;
        crystalSetting(name, number, field);
        if (number > current.crystals.size())
            return {EditError::NoSuchCrystal,
                    QStringLiteral("--set %1=%2: there is no crystal %3 (the design has %4)")
                        .arg(name, value)
                        .arg(number)
                        .arg(current.crystals.size())};
        setCrystalText(number - 1, field, value);
    }
    return {};
}

bool DesignDocument::setPanelText(PanelField field, const QString &text)
{
    return setPanelTexts({{field, text}});
}

bool DesignDocument::setPanelTexts(const QVector<QPair<PanelField, QString>> &edits)
{
    ChangeScope scope(this);
    bool taken = false;
    bool material = false;
    for (const auto &e : edits) {
        if (!panelAccepts(e.first, e.second))
            continue;
        taken = true;
        panelText(current, e.first) = e.second;
        material = material || e.first == PanelField::LatticeC || e.first == PanelField::IndexH
                   || e.first == PanelField::IndexK || e.first == PanelField::IndexL;
    }
    if (!taken)
        return false;
    announce(DesignChanged);
    // A field of the material panel has the panel compute its spacing, which the layout takes.
    if (material)
        computeSpacing();
    layOut();
    return true;
}

void DesignDocument::computeSpacing()
{
    current.spacingText = current.computedSpacingText();
    current.spacing = current.spacingText.toDouble();
    announce(DesignChanged);
}

void DesignDocument::selectMaterial(int index)
{
    if (index == current.material || index < 0 || index >= materials().size())
        return;
    ChangeScope scope(this);
    current.material = index;
    current.latticeConstant = QString::number(materials().at(index).latticeConstant, 'g', 6);
    computeSpacing();
    layOut();
}

void DesignDocument::selectType(int type)
{
    if (type == current.type || type < 1 || type > 7)
        return;
    ChangeScope scope(this);
    current.type = type;
    announce(DesignChanged);
    layOut();
}

void DesignDocument::setRotateAll(bool on)
{
    if (on == current.rotateAll)
        return;
    ChangeScope scope(this);
    current.rotateAll = on;
    announce(DesignChanged);
    layOut();
}

void DesignDocument::layOutAgain()
{
    ChangeScope scope(this);
    layOut();
}

void DesignDocument::useShownSpacing()
{
    ChangeScope scope(this);
    current.spacing = current.spacingText.toDouble();
    announce(DesignChanged);
    layOut();
}

void DesignDocument::traceAgain()
{
    ChangeScope scope(this);
    trace();
}

bool DesignDocument::setCrystalText(int index, CrystalField field, const QString &text)
{
    if (index < 0 || index >= current.crystals.size())
        return false;
    const bool moves = field != CrystalField::InBeamC && field != CrystalField::BeamW;
    if (moves && !finiteNumber(text))
        return false;
    ChangeScope scope(this);
    DesignCrystal &c = current.crystals[index];
    c.texts[field] = text;
    announce(DesignChanged);
    if (!moves) {
        c.showsOptics = false;
        return true;
    }
    // Every edit works from the texts the row shows, with only the decimals shown: a change of
    // position reads both coordinates.
    const double d = current.spacing;
    switch (field) {
    case CrystalField::X:
    case CrystalField::Y:
        c.moveCentreTo(c.texts.x.toDouble(), c.texts.y.toDouble());
        break;
    case CrystalField::Deg:
        c.turnTo(c.texts.deg.toDouble());
        c.askedEnergy = c.energyEv(d);
        break;
    case CrystalField::Energy:
        c.turnToEnergy(c.texts.energy.toDouble(), d);
        c.askedEnergy = c.texts.energy.toDouble();
        break;
    case CrystalField::Length:
        c.changeLength(c.texts.length.toDouble());
        break;
    case CrystalField::InBeamC:
    case CrystalField::BeamW:
        break;
    }
    c.showValues(d);
    c.editedByHand = true;
    trace();
    return true;
}

void DesignDocument::setComment(const QString &text)
{
    ChangeScope scope(this);
    if (text != current.comment) {
        current.comment = text;
        announce(DesignChanged);
    }
    recordChange();
}

bool DesignDocument::setSourceText(SourceField field, const QString &text)
{
    const std::optional<SourceParams> s = sourceWith(current.source, field, text);
    return s && setSource(*s);
}

bool DesignDocument::setSource(const SourceParams &source)
{
    if (!sourceTaken(source))
        return false;
    // Zeros without a sign, so that the design and its file agree on what is the default.
    SourceParams s = source;
    for (double *v : {&s.distance, &s.size, &s.divergence, &s.polarisation.degree, &s.temperature})
        *v += 0.0;
    if (s == current.source)
        return true;
    ChangeScope scope(this);
    current.source = s;
    announce(SourceChanged);
    recordChange();
    return true;
}

std::optional<double> DesignDocument::acceptedLatticeConstant() const
{
    return LatticeConstants::at(current.materialName(), current.source.temperature);
}

QString DesignDocument::latticeConstantText(double a)
{
    return QString::number(a, 'g', 10);
}

bool DesignDocument::useAcceptedLatticeConstant()
{
    const std::optional<double> a = acceptedLatticeConstant();
    return a && setPanelText(PanelField::LatticeC, latticeConstantText(*a));
}

void DesignDocument::restartHistories()
{
    ChangeScope scope(this);
    ::restartHistories(crossPoints, avrCps, avrIps);
    announce(HistoriesChanged);
}

// ---------------------------------------------------------------- layout and tracing

void DesignDocument::layOut()
{
    LayoutParams p = current.layoutParams();
    const std::optional<int> asked = wholeNumber(current.count);
    if (asked && *asked > kMaxCrystals) {
        // Say on screen what is built.
        current.count = QString::number(kMaxCrystals);
        emit countBounded(*asked);
    }
    QVector<CrystalOptics> optics = ::layOut(p, current.spacing);
    if (current.rotateAll)
        rotateAll(optics, current.rotateAllDeg.toDouble());
    if (recording) {
        int replaced = 0;
        for (const DesignCrystal &c : qAsConst(current.crystals))
            replaced += c.editedByHand ? 1 : 0;
        if (replaced > 0)
            emit handEditsReplaced(replaced);
    }
    current.crystals.resize(optics.size());
    for (int i = 0; i < optics.size(); ++i) {
        DesignCrystal &c = current.crystals[i];
        c = DesignCrystal(optics.at(i), current.spacing);
        c.askedEnergy = laidOutEnergy(p, i, c, current.spacing);
    }
    if (asked && *asked < 1)
        emit countRaised(*asked, optics.size());
    announce(DesignChanged);
    trace();
}

void DesignDocument::trace()
{
    emit aboutToTrace();
    focus = FocusState();
    crossCentreRays(current.crystalList(), crossPoints, centrePoints, &focus.pairs);
    if (!crossPoints.points.isEmpty()) {
        const QString label = energyRangeLabel(current.crystals.first().texts.energy.toDouble(),
                                               current.crystals.last().texts.energy.toDouble());
        focus.entryAdded = addFocus(crossPoints, centrePoints, label, avrCps, avrIps);
    }
    // The least-squares focus of the crystals that reflect, as the Bands window finds it.
    reflections = ::crystalReflections(current);
    QVector<HRay> rays;
    QVector<bool> reflecting;
    rays.reserve(current.crystals.size());
    reflecting.reserve(current.crystals.size());
    for (int i = 0; i < current.crystals.size(); ++i) {
        rays.append(current.crystals.at(i).outCentre);
        reflecting.append(!reflections.at(i));
        focus.reflecting += reflections.at(i) ? 0 : 1;
    }
    const LeastSquaresFocus l = leastSquaresFocus(rays, reflecting);
    focus.leastSquares = l.focus;
    focus.rms = l.rms;
    announce(Traced);
    // Every change of the design ends here: one undo step if what a save writes changed.
    recordChange();
}

void DesignDocument::recordChange()
{
    if (!recording)
        return;
    const QString t = text();
    if (t == recordedText)
        return;
    if (keepsSteps) {
        const QByteArray packed = packDesign(current);
        steps.push({recordedPacked, packed, std::nullopt, std::nullopt});
        recordedPacked = packed;
    }
    recordedText = t;
    announce(FileChanged);
}

void DesignDocument::setKeepsUndoSteps(bool keep)
{
    if (keep == keepsSteps)
        return;
    keepsSteps = keep;
    if (keep)
        recordedPacked = packDesign(current); // the starting point of the next step
    else
        steps.clear();
}

void DesignDocument::restore(const QByteArray &packed, const UndoStack::FileState *file)
{
    ChangeScope scope(this);
    const bool wasRecording = recording;
    recording = false;
    current = unpackDesign(packed);
    announce(DesignChanged);
    // The step is one analysis of the restored design.
    trace();
    if (file) {
        currentPath = file->path;
        savedText = QString::fromUtf8(qUncompress(file->saved));
    }
    recordedText = text();
    recordedPacked = packed;
    recording = wasRecording;
    announce(FileChanged);
}

// ---------------------------------------------------------------- files

QString DesignDocument::text() const
{
    return DesignFile::text(current);
}

ReadResult DesignDocument::read(const QString &text)
{
    if (!DesignFile::holdsDesign(DesignFile::lines(text)))
        return {ReadResult::NoDesign, QString(), {}};
    ChangeScope scope(this);
    const ReadResult r = readText(text);
    recordChange();
    return r;
}

ReadResult DesignDocument::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {ReadResult::CannotRead, file.errorString(), {}};
    const QString text = DesignFile::decode(file.readAll());
    file.close();
    if (!DesignFile::holdsDesign(DesignFile::lines(text)))
        return {ReadResult::NoDesign, QString(), {}};

    ChangeScope scope(this);
    const UndoStack::FileState before{currentPath, qCompress(savedText.toUtf8(), kPackLevel)};
    const ReadResult r = readText(text);
    // The file is now the current one; the design as loaded is what it holds.
    currentPath = QFileInfo(path).absoluteFilePath();
    savedText = this->text();
    if (keepsSteps && (savedText != recordedText || currentPath != before.path)) {
        const UndoStack::FileState after{currentPath, qCompress(savedText.toUtf8(), kPackLevel)};
        const QByteArray packed = packDesign(current);
        steps.push({recordedPacked, packed, before, after});
        recordedPacked = packed;
    }
    recordedText = savedText;
    announce(FileChanged);
    return r;
}

bool DesignDocument::save(const QString &path, QString *error)
{
    // Written beside the target and put in its place only once complete, so a failed save
    // leaves the previous file as it was.
    const QString t = text();
    const QByteArray bytes = t.toUtf8();
    QSaveFile file(path);
    // The write only fills a buffer: the flush is what reaches the disk, and may fail.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Text)
                         && file.write(bytes) == bytes.size() && file.flush() && file.commit();
    if (!written) {
        if (error)
            *error = file.errorString();
        return false;
    }
    ChangeScope scope(this);
    currentPath = QFileInfo(path).absoluteFilePath();
    savedText = t;
    announce(FileChanged);
    return true;
}

// ---------------------------------------------------------------- packing

namespace {

constexpr quint32 kPackVersion = 2;

// The surface to the last bit; the rays follow from it.
void writeSurface(QDataStream &out, const Line &s)
{
    out << s.Point::x << s.Point::y << s.deg << s.rad << s.Dir::x << s.Dir::y << s.vx << s.vy
        << s.length;
}

void readSurface(QDataStream &in, Line &s)
{
    in >> s.Point::x >> s.Point::y >> s.deg >> s.rad >> s.Dir::x >> s.Dir::y >> s.vx >> s.vy
        >> s.length;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameSurface(const Line &a, const Line &b)
{
    return sameBits(a.Point::x, b.Point::x) && sameBits(a.Point::y, b.Point::y)
           && sameBits(a.deg, b.deg) && sameBits(a.rad, b.rad) && sameBits(a.Dir::x, b.Dir::x)
           && sameBits(a.Dir::y, b.Dir::y) && sameBits(a.vx, b.vx) && sameBits(a.vy, b.vy)
           && sameBits(a.length, b.length);
}

// The crystals the panels lay out, as layOut() makes them (their texts not yet made).
QVector<CrystalOptics> laidOut(const Design &d)
{
    QVector<CrystalOptics> optics = layOut(d.layoutParams(), d.spacing);
    if (d.rotateAll)
        rotateAll(optics, d.rotateAllDeg.toDouble());
    return optics;
}

// Two energies that may be none (NaN).
bool sameEnergy(double a, double b)
{
    return sameBits(a, b) || (std::isnan(a) && std::isnan(b));
}

} // namespace

QByteArray packDesign(const Design &d)
{
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << kPackVersion << qint32(d.material) << d.latticeConstant << d.indexH << d.indexK
        << d.indexL << d.spacingText << d.spacing << qint32(d.type) << d.rotateAll << d.rotateAllDeg
        << d.startEnergy << d.energyStep << d.count << d.dx << d.dy << d.length << d.comment
        << d.source.distance << d.source.size << d.source.divergence << d.source.polarisation.degree
        << d.source.temperature << qint32(d.crystals.size());
    const LayoutParams p = d.layoutParams();
    const QVector<CrystalOptics> layout = laidOut(d);
    for (int i = 0; i < d.crystals.size(); ++i) {
        const DesignCrystal &c = d.crystals.at(i);
        // The same surface shows the same texts for the same spacing.
        const bool asLaidOut
            = i < layout.size() && c.showsOptics && sameSurface(c.surface, layout.at(i).surface)
              && sameEnergy(c.askedEnergy, laidOutEnergy(p, i, layout.at(i), d.spacing));
        out << quint8((asLaidOut ? 1 : 0) | (c.editedByHand ? 2 : 0));
        if (asLaidOut)
            continue;
        writeSurface(out, c.surface);
        const CrystalTexts &t = c.texts;
        out << t.x << t.y << t.deg << t.energy << t.length << t.inBeamC << t.beamW;
        out << c.askedEnergy;
    }
    return qCompress(raw, kPackLevel);
}

Design unpackDesign(const QByteArray &packed)
{
    Design d;
    const QByteArray raw = qUncompress(packed);
    QDataStream in(raw);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 version = 0;
    qint32 material = 0, type = 0, count = 0;
    in >> version >> material >> d.latticeConstant >> d.indexH >> d.indexK >> d.indexL
        >> d.spacingText >> d.spacing >> type >> d.rotateAll >> d.rotateAllDeg >> d.startEnergy
        >> d.energyStep >> d.count >> d.dx >> d.dy >> d.length >> d.comment >> d.source.distance
        >> d.source.size >> d.source.divergence >> d.source.polarisation.degree
        >> d.source.temperature >> count;
    d.material = material;
    d.type = type;
    if (in.status() != QDataStream::Ok || version != kPackVersion || count < 0)
        return Design();
    const LayoutParams p = d.layoutParams();
    const QVector<CrystalOptics> layout = laidOut(d);
    d.crystals.resize(count);
    for (int i = 0; i < count; ++i) {
        quint8 flags = 0;
        in >> flags;
        DesignCrystal &c = d.crystals[i];
        if ((flags & 1) && i < layout.size()) {
            c = DesignCrystal(layout.at(i), d.spacing);
            c.askedEnergy = laidOutEnergy(p, i, c, d.spacing);
        } else {
            readSurface(in, c.surface);
            c.computeRays();
            CrystalTexts &t = c.texts;
            in >> t.x >> t.y >> t.deg >> t.energy >> t.length >> t.inBeamC >> t.beamW;
            c.showsOptics = t == c.CrystalOptics::texts(d.spacing);
            in >> c.askedEnergy;
        }
        c.editedByHand = flags & 2;
    }
    return d;
}
