#include "mcrystal.h"

#include "designdocument.h"
#include "designfile.h"
#include "numberinput.h"
#include "reflection.h"

#include <QSignalBlocker>
#include <QTextStream>

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
    if (doc)
        doc->disconnect(this);
    doc = d;
    if (doc != own.get())
        own.reset();
    if (!doc)
        return;
    connect(doc, &DesignDocument::changed, this, [this](DesignDocument::Changes what) {
        if (what & DesignDocument::DesignChanged)
            showDesign();
    });
    showDesign();
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
    const Reflection::Check c = Reflection::checkReflection(
        material, d.indexH.toDouble(), d.indexK.toDouble(), d.indexL.toDouble());
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
