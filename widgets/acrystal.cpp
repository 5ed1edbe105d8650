#include "acrystal.h"

#include "designdocument.h"
#include "designfile.h"
#include "matchkey.h"
#include "noreflectiontext.h"
#include "numberinput.h"
#include "units.h"

#include <QTextStream>

namespace {

const char *const kComputedStyle = "background-color: rgb(255, 255, 224);";
const char *const kHeaderStyle = "background-color: rgb(240, 240, 224);";

// The size of a built row, the same for every row: what an unbuilt one stands in for.
QSize &builtRowSize()
{
    static QSize size;
    return size;
}

} // namespace

ACrystal::ACrystal(double angle, double x, double y, double length, QWidget *parent)
    : QFrame(parent), CrystalDrawing(CrystalOptics(angle, x, y, length)), Ui_ACrystal()
{
    texts = CrystalOptics::texts(units.D);
    buildRow();
}

ACrystal::ACrystal(DesignDocument *doc, int number, QWidget *parent)
    : QFrame(parent), Ui_ACrystal(), doc(doc)
{
    const QVector<DesignCrystal> &crystals = doc->design().crystals;
    if (number >= 1 && number <= crystals.size())
        showCrystal(crystals.at(number - 1), number);
    if (!builtRowSize().isValid())
        buildRow();
}

ACrystal::~ACrystal()
{
    // A focused field emits editingFinished while the row is torn down; by then the slots
    // would run on a half-destroyed crystal.
    for (QLineEdit *field : fields())
        field->disconnect(this);
}

QVector<QLineEdit *> ACrystal::fields() const
{
    if (!built)
        return {};
    return {X, Y, Deg, Energy, Length, InBeamC, BeamW};
}

void ACrystal::buildRow()
{
    if (built)
        return;
    built = true;
    // The form sizes the frame as Designer drew it; a row in the table keeps the place it has.
    const QRect place = geometry();
    const bool placed = parentWidget() != nullptr;
    setupUi(this);
    if (placed)
        setGeometry(place);
    // Every row is a grid of its own; a number column wide enough for the largest crystal number
    // keeps the fields of all rows, and of the title row, in the same columns.
    No->setMinimumWidth(No->fontMetrics().horizontalAdvance(QStringLiteral("0000.")));
    InBeamC->setStyleSheet(QString::fromLatin1(kComputedStyle));
    BeamW->setStyleSheet(QString::fromLatin1(kComputedStyle));
    // Only numbers finish an edit; the two band values are shown, not read.
    for (QLineEdit *field : {X, Y, Deg, Energy, Length})
        FieldGuard::guard(field, FieldKind::Number);
    connect(X, &QLineEdit::editingFinished, this, &ACrystal::newPos);
    connect(Y, &QLineEdit::editingFinished, this, &ACrystal::newPos);
    connect(Deg, &QLineEdit::editingFinished, this, &ACrystal::newAngle);
    connect(Energy, &QLineEdit::editingFinished, this, &ACrystal::newEnergy);
    connect(Length, &QLineEdit::editingFinished, this, &ACrystal::newLength);
    for (QLineEdit *field : {InBeamC, BeamW}) {
        const CrystalField which = field == InBeamC ? CrystalField::InBeamC : CrystalField::BeamW;
        connect(field, &QLineEdit::editingFinished, this, [this, field, which] {
            finish(field, which);
        });
    }
    if (shownNumber > 0)
        No->setText(QString::number(shownNumber));
    showTexts();
    if (!builtRowSize().isValid())
        builtRowSize() = QFrame::sizeHint();
    // The fields show and take their places in the row at once: a row built as it scrolls into
    // view is seen, and found by its fields' places, before the event loop runs again.
    if (isVisible()) {
        for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            w->show();
    }
    layout()->activate();
}

QSize ACrystal::sizeHint() const
{
    return built ? QFrame::sizeHint() : builtRowSize();
}

QSize ACrystal::minimumSizeHint() const
{
    return built ? QFrame::minimumSizeHint() : builtRowSize();
}

void ACrystal::showCrystal(const DesignCrystal &crystal, int number)
{
    static_cast<CrystalOptics &>(*this) = crystal;
    texts = crystal.texts;
    why = doc ? doc->crystalReflections().value(number - 1) : NoReflection();
    setNumber(number);
    showTexts();
}

void ACrystal::showTexts()
{
    if (!built)
        return;
    const QVector<QLineEdit *> row = fields();
    for (int k = 0; k < row.size(); ++k) {
        // Set only where it differs: setting it again would move the cursor.
        const QString &t = texts[CrystalField(k)];
        if (row[k]->text() != t)
            row[k]->setText(t);
    }
    // Rows of a design only: the title row keeps its own style.
    if (!doc)
        return;
    const QString reason = NoReflectionText::reason(why, doc->design());
    NoReflectionText::mark(Deg, reason);
    NoReflectionText::mark(Energy, reason);
}

void ACrystal::setStart(const Point &p)
{
    moveStart(p);
    showValues();
}

void ACrystal::showValues()
{
    texts = CrystalOptics::texts(doc ? doc->design().spacing : units.D);
    showTexts();
}

void ACrystal::setFieldStyle(const QString &sheet)
{
    for (QLineEdit *field : fields())
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
    if (built)
        No->setText(QString::number(number));
}

void ACrystal::finish(QLineEdit *field, CrystalField which)
{
    if (!doc || shownNumber < 1)
        return;
    if (!FieldGuard::handsOn(field, texts[which]))
        return;
    const bool moves = which != CrystalField::InBeamC && which != CrystalField::BeamW;
    if (doc->setCrystalText(shownNumber - 1, which, field->text()) && moves)
        emit updated();
}

void ACrystal::newPos()
{
    finish(qobject_cast<QLineEdit *>(sender()) == Y ? Y : X,
           qobject_cast<QLineEdit *>(sender()) == Y ? CrystalField::Y : CrystalField::X);
}

void ACrystal::newAngle()
{
    finish(Deg, CrystalField::Deg);
}

void ACrystal::newEnergy()
{
    finish(Energy, CrystalField::Energy);
}

void ACrystal::newLength()
{
    finish(Length, CrystalField::Length);
}

void ACrystal::save(int i, QTextStream &out)
{
    out << DesignFile::crystalBlock(texts, i);
}

void ACrystal::load(int i, QString line)
{
    const QString prefix = QStringLiteral("%1 : ").arg(i);
    const QStringList &keys = DesignFile::crystalKeys();
    for (int k = 0; k < keys.size(); ++k) {
        QString value;
        if (!matchKey(line, keys.at(k), value) || !value.startsWith(prefix))
            continue;
        const QString text = value.mid(prefix.size());
        if (doc && shownNumber >= 1) {
            // As if typed into the field and finished.
            if (doc->setCrystalText(shownNumber - 1, CrystalField(k), text) && k < 5)
                emit updated();
        } else {
            texts[CrystalField(k)] = text;
            showTexts();
        }
    }
}
