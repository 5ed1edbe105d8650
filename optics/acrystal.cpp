#include "acrystal.h"

#include "matchkey.h"
#include "units.h"

#include <QTextStream>

namespace {

const char *const kComputedStyle = "background-color: rgb(255, 255, 224);";
const char *const kHeaderStyle = "background-color: rgb(240, 240, 224);";

} // namespace

ACrystal::ACrystal(double angle, double x, double y, double length, QWidget *parent)
    : QFrame(parent), CrystalOptics(angle, x, y, length)
{
    setUpRow();
}

ACrystal::ACrystal(const CrystalOptics &geometry, QWidget *parent)
    : QFrame(parent), CrystalOptics(geometry)
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
    InBeamC->setStyleSheet(QString::fromLatin1(kComputedStyle));
    BeamW->setStyleSheet(QString::fromLatin1(kComputedStyle));
    connect(X, SIGNAL(editingFinished()), this, SLOT(newPos()));
    connect(Y, SIGNAL(editingFinished()), this, SLOT(newPos()));
    connect(Deg, SIGNAL(editingFinished()), this, SLOT(newAngle()));
    connect(Energy, SIGNAL(editingFinished()), this, SLOT(newEnergy()));
    connect(Length, SIGNAL(editingFinished()), this, SLOT(newLength()));
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

QVector<QPair<QString, QLineEdit *>> ACrystal::fileFields() const
{
    return {{QStringLiteral("# Crystal Pos X      : "), X},
            {QStringLiteral("# Crystal Pos Y      : "), Y},
            {QStringLiteral("# Crystal Deg        : "), Deg},
            {QStringLiteral("# Crystal Energy     : "), Energy},
            {QStringLiteral("# Crystal Length     : "), Length},
            {QStringLiteral("# Crystal In Beam C  : "), InBeamC},
            {QStringLiteral("# Crystal Beam Width : "), BeamW}};
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
    for (const auto &f : fileFields()) {
        QString value;
        if (!matchKey(line, f.first, value) || !value.startsWith(prefix))
            continue;
        f.second->setText(value.mid(prefix.size()));
        // The stored text is re-read exactly as an edit would be; the two computed fields
        // are only shown.
        if (f.second == X || f.second == Y)
            newPos();
        else if (f.second == Deg)
            newAngle();
        else if (f.second == Energy)
            newEnergy();
        else if (f.second == Length)
            newLength();
    }
}
