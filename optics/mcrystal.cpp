#include "mcrystal.h"

#include "bragg.h"
#include "matchkey.h"
#include "reflection.h"

#include <QTextStream>

namespace {

const QString keySelectedCrystal = QStringLiteral("# Selected Crystal   : ");
const QString keyLatticeConstant = QStringLiteral("# Lattice Constant   : ");
const QString keyIndexH = QStringLiteral("# Lattice Index h    : ");
const QString keyIndexK = QStringLiteral("# Lattice Index k    : ");
const QString keyIndexL = QStringLiteral("# Lattice Index l    : ");
const QString keySpacing = QStringLiteral("# Lattice Spacing    : ");

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
    out << keySelectedCrystal << SelCrystal->currentIndex() << Qt::endl;
    out << keyLatticeConstant << LatticeC->text() << Qt::endl;
    out << keyIndexH << IndexH->text() << Qt::endl;
    out << keyIndexK << IndexK->text() << Qt::endl;
    out << keyIndexL << IndexL->text() << Qt::endl;
    out << keySpacing << Spacing->text() << Qt::endl;
}

void MCrystal::load(QString line)
{
    // Texts are restored as stored; only a change of crystal recomputes (through its signal).
    QString value;
    if (matchKey(line, keySelectedCrystal, value))
        SelCrystal->setCurrentIndex(value.toInt());
    if (matchKey(line, keyLatticeConstant, value))
        LatticeC->setText(value);
    bool indices = false;
    if (matchKey(line, keyIndexH, value)) {
        IndexH->setText(value);
        indices = true;
    }
    if (matchKey(line, keyIndexK, value)) {
        IndexK->setText(value);
        indices = true;
    }
    if (matchKey(line, keyIndexL, value)) {
        IndexL->setText(value);
        indices = true;
    }
    if (matchKey(line, keySpacing, value))
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
