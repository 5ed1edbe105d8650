#pragma once

#include "ui_calign.h"

#include <QFrame>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;
class QDialog;
class QGridLayout;
class QTextEdit;
class QTextStream;

// The arrangement panel: setup type, start energy, energy step, number of crystals, spacings,
// crystal length and overall rotation, kept as the texts of its fields. It marks which fields the
// selected type uses and announces every change; the layout generation reads the fields afresh each
// time.
class CAlign : public QFrame, private Ui_CAlign
{
    Q_OBJECT
    // The main window's layout generation reads the fields.
    friend class Body;

public:
    explicit CAlign(QWidget *parent = nullptr);
    ~CAlign() override;

    // The resource of the setup-type help in the interface's language: the Japanese text for
    // "ja", the English one for any other language.
    static QString helpResource(const QString &language);
    // The language of the interface as the installed catalogue gives it: "ja" with the Japanese
    // catalogue, "en" without one.
    static QString interfaceLanguage();
    // Keys of the panel's block of a design file, in file order. The keys of the type (1 to 7)
    // and of the rotation box switch what the layout does; the file reader looks ahead at them.
    static QStringList fileKeys();
    static const QString &typeKey(int type);
    static const QString &rotateAllKey();

signals:
    // A field was finished (also unchanged), the rotation box or the setup type changed.
    void newValue();

    // The private slot comes first so that the meta-object lists newType, save, load.
private slots:
    void newType();

public slots:
    // The arrangement block of a design file.
    void save(QTextStream &out);
    void load(QString line);

private:
    QButtonGroup *typeGroup;
    QAbstractButton *markedType = nullptr; // the type the field colours show

    // The setup-type help: a top-level window without a parent, removed with deleteLater.
    QTextEdit *helpText;
    QDialog *helpDialog;
    QGridLayout *helpLayout;
};
