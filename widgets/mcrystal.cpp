#include "mcrystal.h"

#include "bragg.h"
#include "matchkey.h"
#include "numberinput.h"
#include "reflection.h"

#include <QTextStream>

#include <iterator>

namespace {

// The material block of a design file, in file order.
enum BlockKey {
    KeySelectedCrystal,
    KeyLatticeConstant,
    KeyIndexH,
    KeyIndexK,
    KeyIndexL,
    KeySpacing
};
const QString kKeys[] = {QStringLiteral("# Selected Crystal   : "),
                         QStringLiteral("# Lattice Constant   : "),
                         QStringLiteral("# Lattice Index h    : "),
                         QStringLiteral("# Lattice Index k    : "),
                         QStringLiteral("# Lattice Index l    : "),
                         QStringLiteral("# Lattice Spacing    : ")};

} // namespace

MCrystal::MCrystal(QWidget *parent) : QFrame(parent)
{
    setupUi(this);

    // Lattice constants in Angstrom, exactly as the designs have always used them.
    SelCrystal->addItem(QStringLiteral("Si"), 5.4301);
    SelCrystal->addItem(QStringLiteral("Ge"), 5.6754);

    // Not connected yet, so the first values are computed by hand.
    SelCrystal->setCurrentIndex(0);
    crystalSelected();

    // Only numbers finish an edit; the spacing is the panel's result and is not typed.
    for (QLineEdit *field : {LatticeC, IndexH, IndexK, IndexL})
        FieldGuard::guard(field, FieldKind::Number);

    connect(SelCrystal, SIGNAL(currentIndexChanged(int)), this, SLOT(crystalSelected()));
    connect(LatticeC, SIGNAL(editingFinished()), this, SLOT(calcSpacing()));
    connect(IndexH, SIGNAL(editingFinished()), this, SLOT(calcSpacing()));
    connect(IndexK, SIGNAL(editingFinished()), this, SLOT(calcSpacing()));
    connect(IndexL, SIGNAL(editingFinished()), this, SLOT(calcSpacing()));
}

MCrystal::~MCrystal()
{
    // A focused field reports editingFinished while the frame is being torn down, when this object
    // is no longer an MCrystal: its slots must not run then.
    SelCrystal->disconnect(this);
    LatticeC->disconnect(this);
    IndexH->disconnect(this);
    IndexK->disconnect(this);
    IndexL->disconnect(this);
}

void MCrystal::crystalSelected()
{
    // Without a current item (an index from a file outside the table) the constant becomes 0.
    const double a = SelCrystal->currentData(Qt::UserRole).toDouble();
    LatticeC->setText(QString::number(a, 'g', 6));
    calcSpacing();
}

void MCrystal::calcSpacing()
{
    // Texts that are not numbers count as 0; all indices 0 show the non-finite spacing as it is.
    const double d = Bragg::latticeSpacing(LatticeC->text().toDouble(),
                                           IndexH->text().toDouble(),
                                           IndexK->text().toDouble(),
                                           IndexL->text().toDouble());
    Spacing->setText(QString::number(d, 'g', 6));
    markReflection();
    emit newValue();
}

void MCrystal::save(QTextStream &out)
{
    out << kKeys[KeySelectedCrystal] << SelCrystal->currentIndex() << Qt::endl;
    out << kKeys[KeyLatticeConstant] << LatticeC->text() << Qt::endl;
    out << kKeys[KeyIndexH] << IndexH->text() << Qt::endl;
    out << kKeys[KeyIndexK] << IndexK->text() << Qt::endl;
    out << kKeys[KeyIndexL] << IndexL->text() << Qt::endl;
    out << kKeys[KeySpacing] << Spacing->text() << Qt::endl;
}

void MCrystal::load(QString line)
{
    // Texts are restored as stored; only a change of crystal recomputes (through its signal).
    QString value;
    if (matchKey(line, kKeys[KeySelectedCrystal], value))
        SelCrystal->setCurrentIndex(value.toInt());
    if (matchKey(line, kKeys[KeyLatticeConstant], value))
        LatticeC->setText(value);
    bool indices = false;
    if (matchKey(line, kKeys[KeyIndexH], value)) {
        IndexH->setText(value);
        indices = true;
    }
    if (matchKey(line, kKeys[KeyIndexK], value)) {
        IndexK->setText(value);
        indices = true;
    }
    if (matchKey(line, kKeys[KeyIndexL], value)) {
        IndexL->setText(value);
        indices = true;
    }
    if (matchKey(line, kKeys[KeySpacing], value))
        Spacing->setText(value);
    // A change of crystal has already been checked through calcSpacing.
    if (indices)
        markReflection();
}

void MCrystal::markReflection()
{
    const QString material = SelCrystal->currentText();
    const Reflection::Check c = Reflection::checkReflection(
        material, IndexH->text().toDouble(), IndexK->text().toDouble(), IndexL->text().toDouble());
    QString why;
    switch (c.status) {
    case Reflection::Status::Forbidden:
        why = tr("%1 %2 %3 is a forbidden reflection of %4: its structure factor is zero, so a "
                 "crystal of this cut reflects nothing.")
                  .arg(c.hkl.h)
                  .arg(c.hkl.k)
                  .arg(c.hkl.l)
                  .arg(material);
        break;
    case Reflection::Status::NoPlanes:
        why = tr("0 0 0 is no reflection: a crystal of this cut reflects nothing.");
        break;
    case Reflection::Status::NotWhole:
        why = tr("The Miller indices are not whole numbers up to 99: a crystal of this cut "
                 "reflects nothing.");
        break;
    case Reflection::Status::Allowed:
    case Reflection::Status::NoData:
        break;
    }
    // Set only on a change: a style sheet set again restyles the field.
    const QString sheet
        = why.isEmpty() ? QString() : QStringLiteral("background-color: rgb(255, 160, 160);");
    if (Spacing->styleSheet() != sheet)
        Spacing->setStyleSheet(sheet);
    if (Spacing->toolTip() != why)
        Spacing->setToolTip(why);
}

QStringList MCrystal::fileKeys()
{
    return QStringList(std::begin(kKeys), std::end(kKeys));
}

const QString &MCrystal::selectedCrystalKey()
{
    return kKeys[KeySelectedCrystal];
}
