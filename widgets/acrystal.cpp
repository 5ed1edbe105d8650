#include "acrystal.h"

#include "matchkey.h"
#include "numberinput.h"
#include "units.h"

#include <QTextStream>

#include <cmath>
#include <iterator>

namespace {

const char *const kComputedStyle = "background-color: rgb(255, 255, 224);";
const char *const kHeaderStyle = "background-color: rgb(240, 240, 224);";

} // namespace

ACrystal::ACrystal(double angle, double x, double y, double length, QWidget *parent)
    : QFrame(parent), CrystalDrawing(CrystalOptics(angle, x, y, length))
{
    setUpRow();
}

ACrystal::ACrystal(const CrystalOptics &geometry, QWidget *parent)
    : QFrame(parent), CrystalDrawing(geometry)
{
    setUpRow();
}

ACrystal::~ACrystal()
{
    // A focused field emits editingFinished while the row is torn down; by then the slots
    // would run on a half-destroyed crystal.
    for (QLineEdit *field : {X, Y, Deg, Energy, Length, InBeamC, BeamW})
        field->disconnect(this);
}

void ACrystal::setUpRow()
{
    setupUi(this);
    // Every row is a grid of its own; a number column wide enough for the largest crystal number
    // keeps the fields of all rows, and of the title row, in the same columns.
    No->setMinimumWidth(No->fontMetrics().horizontalAdvance(QStringLiteral("0000.")));
    InBeamC->setStyleSheet(QString::fromLatin1(kComputedStyle));
    BeamW->setStyleSheet(QString::fromLatin1(kComputedStyle));
    // Only numbers finish an edit; the two band values are shown, not read.
    for (QLineEdit *field : {X, Y, Deg, Energy, Length})
        FieldGuard::guard(field, FieldKind::Number);
    connect(X, SIGNAL(editingFinished()), this, SLOT(newPos()));
    connect(Y, SIGNAL(editingFinished()), this, SLOT(newPos()));
    connect(Deg, SIGNAL(editingFinished()), this, SLOT(newAngle()));
    connect(Energy, SIGNAL(editingFinished()), this, SLOT(newEnergy()));
    connect(Length, SIGNAL(editingFinished()), this, SLOT(newLength()));
    showValues();
}

void ACrystal::takeGeometry(const CrystalOptics &geometry)
{
    // A crystal of a new layout starts with the pens of a new crystal.
    static_cast<CrystalDrawing &>(*this) = CrystalDrawing(geometry);
    loadedFields = 0;
    showValues();
}

void ACrystal::setStart(const Point &p)
{
    moveStart(p);
    showValues();
}

void ACrystal::showValues()
{
    const CrystalTexts t = texts(units.D);
    X->setText(t.x);
    Y->setText(t.y);
    Deg->setText(t.deg);
    Energy->setText(t.energy);
    Length->setText(t.length);
    InBeamC->setText(t.inBeamC);
    BeamW->setText(t.beamW);
}

void ACrystal::setFieldStyle(const QString &sheet)
{
    for (QLineEdit *field : {X, Y, Deg, Energy, Length, InBeamC, BeamW})
        field->setStyleSheet(sheet);
}

ACrystal *ACrystal::makeHeader()
{
    ACrystal *h = new ACrystal(0.0, 0.0, 0.0, 10.0, nullptr);
    h->No->setText(QString());
    h->X->setText(tr("Pos. X"));
    h->Y->setText(tr("Pos. Y"));
    h->Deg->setText(tr("Angle [deg]"));
    h->Length->setText(tr("Length"));
    h->Energy->setText(tr("Energy[eV]"));
    h->InBeamC->setText(tr("In Beam C."));
    h->BeamW->setText(tr("Beam W."));
    h->setFieldStyle(QString::fromLatin1(kHeaderStyle));
    return h;
}

void ACrystal::setNumber(int number)
{
    // Every trace numbers every row; a label given a text has its row laid out again.
    if (number == shownNumber)
        return;
    shownNumber = number;
    No->setText(QString::number(number));
}

QString ACrystal::energyText() const
{
    return Energy->text();
}

void ACrystal::newPos()
{
    moveCentreTo(X->text().toDouble(), Y->text().toDouble());
    showValues();
    emit updated();
}

void ACrystal::newAngle()
{
    turnTo(Deg->text().toDouble());
    showValues();
    emit updated();
}

void ACrystal::newEnergy()
{
    turnToEnergy(Energy->text().toDouble(), units.D);
    showValues();
    emit updated();
}

void ACrystal::newLength()
{
    changeLength(Length->text().toDouble());
    showValues();
    emit updated();
}

namespace {

const QString kCrystalKeys[] = {QStringLiteral("# Crystal Pos X      : "),
                                QStringLiteral("# Crystal Pos Y      : "),
                                QStringLiteral("# Crystal Deg        : "),
                                QStringLiteral("# Crystal Energy     : "),
                                QStringLiteral("# Crystal Length     : "),
                                QStringLiteral("# Crystal In Beam C  : "),
                                QStringLiteral("# Crystal Beam Width : ")};

// Bits of ACrystal::loadedFields, in file order.
enum LoadedField {
    PosX = 1,
    PosY = 2,
    Angle = 4,
    EnergyField = 8,
    LengthField = 16,
    InBeamField = 32,
    BeamWField = 64
};

// The text of a value a crystal was stood at: as the file stored it when that is the value's own
// text in the row's format (a zero keeping the minus sign of the tiny negative value it was
// saved from), else the value's own text.
QString shownAsStored(const QString &stored, const char *format, double value)
{
    const QString own = QString::asprintf(format, value);
    if (stored == own
        || (value == 0.0 && QString(stored).replace(QLatin1Char('-'), QLatin1Char(' ')) == own))
        return stored;
    return own;
}

} // namespace

QVector<QPair<QString, QLineEdit *>> ACrystal::fileFields() const
{
    return {{kCrystalKeys[0], X},
            {kCrystalKeys[1], Y},
            {kCrystalKeys[2], Deg},
            {kCrystalKeys[3], Energy},
            {kCrystalKeys[4], Length},
            {kCrystalKeys[5], InBeamC},
            {kCrystalKeys[6], BeamW}};
}

void ACrystal::save(int i, QTextStream &out)
{
    const QString prefix = QStringLiteral("%1 : ").arg(i);
    for (const auto &f : fileFields())
        out << f.first << prefix << f.second->text() << Qt::endl;
}

void ACrystal::load(int i, QString line)
{
    const QString prefix = QStringLiteral("%1 : ").arg(i);
    const auto fields = fileFields();
    for (int k = 0; k < fields.size(); ++k) {
        QString value;
        if (!matchKey(line, fields.at(k).first, value) || !value.startsWith(prefix))
            continue;
        fields.at(k).second->setText(value.mid(prefix.size()));
        loadedFields |= 1 << k;
    }
}

QStringList ACrystal::fileKeys()
{
    return QStringList(std::begin(kCrystalKeys), std::end(kCrystalKeys));
}

int ACrystal::lineIndex(const QString &line)
{
    // All the keys have the same length.
    const int keyLength = kCrystalKeys[0].size();
    bool isCrystalLine = false;
    for (const QString &key : kCrystalKeys)
        isCrystalLine = isCrystalLine || line.startsWith(key);
    if (!isCrystalLine)
        return -1;

    // Decimal digits as "%1" writes an index, then " : ". Ten digits or more name no crystal
    // that can exist.
    int end = keyLength;
    while (end < line.size() && end - keyLength < 9 && line.at(end) >= QLatin1Char('0')
           && line.at(end) <= QLatin1Char('9'))
        ++end;
    const int digits = end - keyLength;
    if (digits == 0 || (digits > 1 && line.at(keyLength) == QLatin1Char('0'))
        || line.midRef(end, 3) != QLatin1String(" : "))
        return -1;
    return line.midRef(keyLength, digits).toInt();
}

void ACrystal::restore()
{
    const int loaded = loadedFields;
    loadedFields = 0;
    if ((loaded & (PosX | PosY | Angle | EnergyField | LengthField)) == 0) {
        // Only the two shown-only fields: they stay as stored until the next showValues.
        return;
    }

    const QString storedX = X->text();
    const QString storedY = Y->text();
    const QString storedLength = Length->text();
    const QString storedInBeamC = InBeamC->text();
    const QString storedBeamW = BeamW->text();
    bool turned = false;

    const Point m = centre();
    const double x = (loaded & PosX) ? X->text().toDouble() : m.x;
    const double y = (loaded & PosY) ? Y->text().toDouble() : m.y;
    const double length = (loaded & LengthField) ? Length->text().toDouble() : surface.length;
    const double deg = (loaded & Angle) ? Deg->text().toDouble() : angleDeg();

    if (loaded & EnergyField) {
        // The file holds the angle to six decimals and the energy to four: where one angle shows
        // as both, that is the crystal's angle; otherwise the energy was typed in, and it turns
        // the crystal about its start point as an edit of the energy does.
        const double energy = Energy->text().toDouble();
        const std::optional<double> agreed = storedAngle(Deg->text().toDouble(), energy, units.D);
        standAt(agreed ? *agreed : deg, x, y, length);
        if (!agreed)
            turnToEnergy(energy, units.D);
        turned = !agreed;
    } else {
        standAt(deg, x, y, length);
    }
    showValues();

    // Shown as the file stores them, so that saving again writes the same file: the band values,
    // which a load only shows (recomputed from the rounded geometry they could come out one in
    // the last digit off), and the centre and length the crystal was stood at rather than the
    // centre derived back from its start point (off in the last digit for large coordinates, or a
    // zero that has lost its sign).
    if ((loaded & PosX) && !turned && std::isfinite(x))
        X->setText(shownAsStored(storedX, "%11.5f", x));
    if ((loaded & PosY) && !turned && std::isfinite(y))
        Y->setText(shownAsStored(storedY, "%11.5f", y));
    if ((loaded & LengthField) && std::isfinite(length))
        Length->setText(shownAsStored(storedLength, "%10.5f", length));
    if (loaded & InBeamField)
        InBeamC->setText(storedInBeamC);
    if (loaded & BeamWField)
        BeamW->setText(storedBeamW);
}
