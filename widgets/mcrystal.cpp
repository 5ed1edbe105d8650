#include "mcrystal.h"

#include "bragg.h"
#include "designdocument.h"
#include "designfile.h"
#include "documentpanel.h"
#include "noreflectiontext.h"
#include "numberinput.h"
#include "reflection.h"

#include <QSignalBlocker>
#include <QTextStream>

#include <cmath>

namespace {

// A text set only where it differs: setting it again would move the cursor and restyle.
void showText(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

} // namespace

MCrystal::MCrystal(QWidget *parent) : QFrame(parent), own(std::make_unique<DesignDocument>())
{
    setupUi(this);
    for (const Material &m : materials())
        SelCrystal->addItem(m.name, m.latticeConstant);

    // Only numbers finish an edit; the spacing is the panel's result and is not typed.
    for (QLineEdit *field : {LatticeC, IndexH, IndexK, IndexL})
        FieldGuard::guard(field, FieldKind::Number);
    setDocument(own.get());

    connect(SelCrystal,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            &MCrystal::crystalSelected);
    connect(LatticeC, &QLineEdit::editingFinished, this, &MCrystal::calcSpacing);
    connect(IndexH, &QLineEdit::editingFinished, this, &MCrystal::calcSpacing);
    connect(IndexK, &QLineEdit::editingFinished, this, &MCrystal::calcSpacing);
    connect(IndexL, &QLineEdit::editingFinished, this, &MCrystal::calcSpacing);
}

MCrystal::~MCrystal()
{
    // A focused field reports editingFinished while the frame is being torn down, when this object
    // is no longer an MCrystal: its slots must not run then.
    SelCrystal->disconnect(this);
    for (QLineEdit *field : {LatticeC, IndexH, IndexK, IndexL})
        field->disconnect(this);
}

void MCrystal::setDocument(DesignDocument *d)
{
    attachDocument(this, doc, own, d, [this] { showDesign(); });
}

void MCrystal::showDesign()
{
    const Design &d = doc->design();
    {
        // The list shows the design's choice; only a choice of the user's is handed on.
        const QSignalBlocker quiet(SelCrystal);
        SelCrystal->setCurrentIndex(d.material);
    }
    showText(LatticeC, d.latticeConstant);
    showText(IndexH, d.indexH);
    showText(IndexK, d.indexK);
    showText(IndexL, d.indexL);
    showText(Spacing, d.spacingText);
    markReflection();
}

void MCrystal::crystalSelected()
{
    if (!doc)
        return;
    const int chosen = SelCrystal->currentIndex();
    if (chosen == doc->design().material)
        return;
    doc->selectMaterial(chosen);
    emit newValue();
}

void MCrystal::calcSpacing()
{
    if (!doc)
        return;
    const Design &d = doc->design();
    QLineEdit *const fields[] = {LatticeC, IndexH, IndexK, IndexL};
    const PanelField names[]
        = {PanelField::LatticeC, PanelField::IndexH, PanelField::IndexK, PanelField::IndexL};
    const QString applied[] = {d.latticeConstant, d.indexH, d.indexK, d.indexL};
    // The field that finished, and any other holding a text the design does not; all taken
    // before the first is handed on, which shows the design's texts again.
    QLineEdit *finished = qobject_cast<QLineEdit *>(sender());
    QVector<QPair<PanelField, QString>> edits;
    for (int k = 0; k < 4; ++k) {
        if (fields[k] == finished ? FieldGuard::handsOn(fields[k], applied[k])
                                  : fields[k]->text() != applied[k])
            edits.append({names[k], fields[k]->text()});
    }
    if (!edits.isEmpty() && doc->setPanelTexts(edits))
        emit newValue();
}

void MCrystal::save(QTextStream &out)
{
    if (doc)
        out << DesignFile::materialBlock(doc->design());
}

void MCrystal::load(QString line)
{
    if (doc)
        doc->storeLine(line);
}

void MCrystal::markReflection()
{
    const Design &d = doc->design();
    const QString material = d.materialName();
    const double h = d.indexH.toDouble(), k = d.indexK.toDouble(), l = d.indexL.toDouble();
    const Reflection::Check c = Reflection::checkReflection(material, h, k, l);
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
    case Reflection::Status::NotWhole: {
        const double e0 = d.startEnergy.toDouble();
        if (h != std::floor(h) || k != std::floor(k) || l != std::floor(l)) {
            why = tr("The Miller indices are not whole numbers: a crystal of this cut reflects "
                     "nothing.");
        } else if (e0 > 0 && !Bragg::reflects(e0, d.spacing)) {
            // Whole indices beyond the tables: planes so close that the start energy's wavelength
            // is too long for them.
            why = tr("The spacing %1 Å is below half the wavelength at the start energy (%2 Å at "
                     "%3 eV): no crystal of this cut reflects it.")
                      .arg(QString::number(d.spacing, 'g', 3),
                           QString::number(Bragg::hc / e0 / 2.0, 'g', 4),
                           QString::number(e0, 'g', 10));
        } else {
            why = tr("Indices beyond %1 are outside the tables of the Bands window: it gives this "
                     "reflection no band.")
                      .arg(Reflection::maxIndex);
        }
        break;
    }
    case Reflection::Status::Allowed:
    case Reflection::Status::NoData:
        break;
    }
    NoReflectionText::mark(Spacing, why);

    // The fields whose values no crystal can reflect with.
    const QPair<QLineEdit *, PanelField> fields[] = {{LatticeC, PanelField::LatticeC},
                                                     {IndexH, PanelField::IndexH},
                                                     {IndexK, PanelField::IndexK},
                                                     {IndexL, PanelField::IndexL}};
    for (const auto &f : fields)
        NoReflectionText::mark(f.first, NoReflectionText::reason(panelReflection(d, f.second), d));
}
