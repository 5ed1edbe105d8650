#include "calign.h"

#include "matchkey.h"
#include "numberinput.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

#include <algorithm>
#include <iterator>

namespace {

const QString usedField = QStringLiteral("background-color: rgb(255, 255, 255);");
const QString ignoredField = QStringLiteral("background-color: rgb(240, 240, 240);");

// The arrangement block of a design file, in file order: the seven types, the rotation box,
// then the fields. "Ratate" is misspelt in every design file ever written; kept so that they
// still load.
enum BlockKey {
    KeyType1,
    KeyRotateAll = KeyType1 + 7,
    KeyRotateAllDeg,
    KeyStartE,
    KeyDE,
    KeyNum,
    KeyDX,
    KeyDY,
    KeyLength,
    KeyCount
};
const QString kKeys[KeyCount] = {QStringLiteral("# Selected Type 1    : "),
                                 QStringLiteral("# Selected Type 2    : "),
                                 QStringLiteral("# Selected Type 3    : "),
                                 QStringLiteral("# Selected Type 4    : "),
                                 QStringLiteral("# Selected Type 5    : "),
                                 QStringLiteral("# Selected Type 6    : "),
                                 QStringLiteral("# Selected Type 7    : "),
                                 QStringLiteral("# Rotate All         : "),
                                 QStringLiteral("# Ratate All [deg]   : "),
                                 QStringLiteral("# Start Energy       : "),
                                 QStringLiteral("# Delta Energy       : "),
                                 QStringLiteral("# Number of Crystals : "),
                                 QStringLiteral("# Delta X            : "),
                                 QStringLiteral("# Delta Y            : "),
                                 QStringLiteral("# Length             : ")};

} // namespace

CAlign::CAlign(QWidget *parent) : QFrame(parent)
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
    connect(Help, SIGNAL(clicked()), helpDialog, SLOT(show()));

    typeGroup = new QButtonGroup(this);
    typeGroup->setExclusive(true);
    typeGroup->addButton(Type1);
    typeGroup->addButton(Type2);
    typeGroup->addButton(Type3);
    typeGroup->addButton(Type4);
    typeGroup->addButton(Type5);
    typeGroup->addButton(Type6);
    typeGroup->addButton(Type7);
    connect(typeGroup, SIGNAL(buttonToggled(int, bool)), this, SLOT(newType()));
    Type3->setChecked(true);

    // Only numbers finish an edit; "Num of C." takes whole ones.
    for (QLineEdit *field : {StartE, DE, DX, DY, Length, RotateAllDeg})
        FieldGuard::guard(field, FieldKind::Number);
    FieldGuard::guard(Num, FieldKind::WholeNumber);

    connect(StartE, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(DE, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(DX, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(DY, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(Num, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(Length, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(RotateAllDeg, SIGNAL(editingFinished()), this, SIGNAL(newValue()));
    connect(RotateAll, SIGNAL(toggled(bool)), this, SIGNAL(newValue()));
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
    QRadioButton *const types[] = {Type1, Type2, Type3, Type4, Type5, Type6, Type7};
    int selected = 0; // 1..7, 0 when none is checked
    for (int i = 0; i < 7 && selected == 0; ++i) {
        if (types[i]->isChecked())
            selected = i + 1;
    }

    // A switch reaches this slot twice, for the button turned off and for the one turned on; both
    // times the new button is already checked. Mark and announce the switch once.
    QAbstractButton *const checked = selected > 0 ? types[selected - 1] : nullptr;
    if (checked == markedType)
        return;
    markedType = checked;

    // Start energy, energy step and count are always used; type 1 also stands for "none".
    const bool usesDX = selected == 5;
    const bool usesDY = selected != 2;
    const bool usesLength = selected >= 2;
    StartE->setStyleSheet(usedField);
    DE->setStyleSheet(usedField);
    Num->setStyleSheet(usedField);
    DX->setStyleSheet(usesDX ? usedField : ignoredField);
    DY->setStyleSheet(usesDY ? usedField : ignoredField);
    Length->setStyleSheet(usesLength ? usedField : ignoredField);
    emit newValue();
}

void CAlign::save(QTextStream &out)
{
    QRadioButton *const types[] = {Type1, Type2, Type3, Type4, Type5, Type6, Type7};
    for (int i = 0; i < 7; ++i)
        out << kKeys[KeyType1 + i] << (types[i]->isChecked() ? 1 : 0) << Qt::endl;
    out << kKeys[KeyRotateAll] << (RotateAll->isChecked() ? 1 : 0) << Qt::endl;
    const QLineEdit *const fields[]
        = {RotateAllDeg, StartE, DE, Num, DX, DY, Length}; // KeyRotateAllDeg to KeyLength
    for (int i = 0; i < 7; ++i)
        out << kKeys[KeyRotateAllDeg + i] << fields[i]->text() << Qt::endl;
}

void CAlign::load(QString line)
{
    // A 0 cannot uncheck the checked type (the group is exclusive), so only 1s change the type.
    QRadioButton *const types[] = {Type1, Type2, Type3, Type4, Type5, Type6, Type7};
    QString value;
    for (int i = 0; i < 7; ++i) {
        if (matchKey(line, kKeys[KeyType1 + i], value))
            types[i]->setChecked(value.toInt() == 1);
    }
    if (matchKey(line, kKeys[KeyRotateAll], value))
        RotateAll->setChecked(value.toInt() == 1);
    QLineEdit *const fields[] = {RotateAllDeg, StartE, DE, Num, DX, DY, Length};
    for (int i = 0; i < 7; ++i) {
        if (matchKey(line, kKeys[KeyRotateAllDeg + i], value))
            fields[i]->setText(value);
    }
}

const QString &CAlign::typeKey(int type)
{
    return kKeys[KeyType1 + std::clamp(type, 1, 7) - 1];
}

const QString &CAlign::rotateAllKey()
{
    return kKeys[KeyRotateAll];
}

QStringList CAlign::fileKeys()
{
    return QStringList(std::begin(kKeys), std::end(kKeys));
}
