#include "calign.h"

#include "designdocument.h"
#include "designfile.h"
#include "documentpanel.h"
#include "noreflectiontext.h"
#include "numberinput.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

namespace {

const QString usedField = QStringLiteral("background-color: rgb(255, 255, 255);");
const QString ignoredField = QStringLiteral("background-color: rgb(240, 240, 240);");

} // namespace

CAlign::CAlign(QWidget *parent) : QFrame(parent), own(std::make_unique<DesignDocument>())
{
    setupUi(this);

    helpText = new QTextEdit;
    // The help is read, not written: a stray key would change it until the program ends.
    helpText->setReadOnly(true);
    helpDialog = new QDialog;
    helpLayout = new QGridLayout;
    helpDialog->setLayout(helpLayout);
    helpLayout->addWidget(helpText);
    helpDialog->resize(600, 600);
    // One paragraph per line of the help; without the resource the window stays empty.
    QFile help(helpResource(interfaceLanguage()));
    if (help.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&help);
        in.setCodec("UTF-8");
        while (!in.atEnd())
            helpText->append(in.readLine());
        help.close();
        // Appending leaves the view at the last line; a reader starts at the heading.
        helpText->moveCursor(QTextCursor::Start);
    }
    connect(Help, &QPushButton::clicked, helpDialog, &QWidget::show);

    typeGroup = new QButtonGroup(this);
    typeGroup->setExclusive(true);
    // Each button's id is the arrangement type it selects (1..7).
    int id = 1;
    for (QRadioButton *type : {Type1, Type2, Type3, Type4, Type5, Type6, Type7})
        typeGroup->addButton(type, id++);
    // Only numbers finish an edit; "Num of C." takes whole ones.
    for (QLineEdit *field : {StartE, DE, DX, DY, Length, RotateAllDeg})
        FieldGuard::guard(field, FieldKind::Number);
    FieldGuard::guard(Num, FieldKind::WholeNumber);
    setDocument(own.get());

    connect(typeGroup,
            QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled),
            this,
            &CAlign::newType);
    for (QLineEdit *field : {StartE, DE, DX, DY, Num, Length, RotateAllDeg})
        connect(field, &QLineEdit::editingFinished, this, [this, field] { finishField(field); });
    connect(RotateAll, &QCheckBox::toggled, this, [this](bool on) {
        if (!doc || on == doc->design().rotateAll)
            return;
        doc->setRotateAll(on);
        emit newValue();
    });
}

void CAlign::setDocument(DesignDocument *d)
{
    attachDocument(this, doc, own, d, [this] { showDesign(); });
}

void CAlign::showDesign()
{
    const Design &d = doc->design();
    {
        // The buttons show the design's choices; only a click of the user's is handed on.
        const QSignalBlocker quietTypes(typeGroup);
        const QSignalBlocker quietRotation(RotateAll);
        if (QAbstractButton *type = typeGroup->button(d.type))
            type->setChecked(true);
        RotateAll->setChecked(d.rotateAll);
    }
    const QPair<QLineEdit *, const QString *> fields[] = {{StartE, &d.startEnergy},
                                                          {DE, &d.energyStep},
                                                          {Num, &d.count},
                                                          {DX, &d.dx},
                                                          {DY, &d.dy},
                                                          {Length, &d.length},
                                                          {RotateAllDeg, &d.rotateAllDeg}};
    for (const auto &f : fields) {
        // Set only where it differs: setting it again would move the cursor.
        if (f.first->text() != *f.second)
            f.first->setText(*f.second);
    }
    markType(d.type);
    // A start energy without a Bragg angle: crystal 1 cannot reflect.
    NoReflectionText::mark(
        StartE, NoReflectionText::reason(panelReflection(d, PanelField::StartE), d), usedField);
}

void CAlign::finishField(QLineEdit *field)
{
    if (!doc)
        return;
    const Design &d = doc->design();
    const QPair<QLineEdit *, QPair<PanelField, QString>> fields[]
        = {{StartE, {PanelField::StartE, d.startEnergy}},
           {DE, {PanelField::DE, d.energyStep}},
           {Num, {PanelField::Num, d.count}},
           {DX, {PanelField::DX, d.dx}},
           {DY, {PanelField::DY, d.dy}},
           {Length, {PanelField::Length, d.length}},
           {RotateAllDeg, {PanelField::RotateAllDeg, d.rotateAllDeg}}};
    // The field that finished, and any other holding a text the design does not (a program put it
    // in): all handed on at once, as the panel stands.
    QVector<QPair<PanelField, QString>> edits;
    for (const auto &f : fields) {
        if (f.first == field ? FieldGuard::handsOn(field, f.second.second)
                             : f.first->text() != f.second.second)
            edits.append({f.second.first, f.first->text()});
    }
    if (!edits.isEmpty() && doc->setPanelTexts(edits))
        emit newValue();
}

QString CAlign::helpResource(const QString &language)
{
    return language == QLatin1String("ja") ? QStringLiteral(":typeHelp.txt")
                                           : QStringLiteral(":typeHelp_en.txt");
}

QString CAlign::interfaceLanguage()
{
    // Not a text on screen: each catalogue translates it into the code of its own language.
    return tr("en");
}

CAlign::~CAlign()
{
    // A focused field reports editingFinished while the frame is being torn down, when this object
    // is no longer a CAlign: nothing inside may reach it then.
    const QList<QObject *> inside = findChildren<QObject *>();
    for (QObject *child : inside)
        child->disconnect(this);

    helpText->deleteLater();
    helpLayout->deleteLater();
    helpDialog->deleteLater();
}

void CAlign::newType()
{
    const int selected = typeGroup->checkedId(); // 1..7, -1 when none is checked
    // A switch reaches this slot twice, for the button turned off and for the one turned on; both
    // times the new button is already checked. Handed on and announced once.
    if (!doc || selected < 1 || selected == doc->design().type)
        return;
    doc->selectType(selected);
    emit newValue();
}

void CAlign::markType(int type)
{
    if (type == markedType)
        return;
    markedType = type;
    // Start energy, energy step and count are always used; type 1 also stands for "none".
    const bool usesDX = type == 5;
    const bool usesDY = type != 2;
    const bool usesLength = type >= 2;
    StartE->setStyleSheet(usedField);
    DE->setStyleSheet(usedField);
    Num->setStyleSheet(usedField);
    DX->setStyleSheet(usesDX ? usedField : ignoredField);
    DY->setStyleSheet(usesDY ? usedField : ignoredField);
    Length->setStyleSheet(usesLength ? usedField : ignoredField);
}

void CAlign::save(QTextStream &out)
{
    if (doc)
        out << DesignFile::arrangementBlock(doc->design());
}

void CAlign::load(QString line)
{
    if (doc)
        doc->storeLine(line);
}
