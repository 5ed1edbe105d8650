#pragma once

#include "designdocument.h"
#include "ui_calign.h"

#include <QFrame>
#include <QPointer>
#include <QString>

#include <memory>
class QAbstractButton;
class QButtonGroup;
class QDialog;
class QGridLayout;
class QTextEdit;
class QTextStream;

// The arrangement panel: setup type, start energy, energy step, number of crystals, spacings,
// crystal length and overall rotation. It shows the design's texts and choices, marks which fields
// the selected type uses, and hands what the user types or chooses to the design, which lays the
// crystals out again. Until it is given a design it edits one of its own.
class CAlign : public QFrame, private Ui_CAlign
{
    Q_OBJECT

public:
    explicit CAlign(QWidget *parent = nullptr);
    ~CAlign() override;

    // The design shown and edited from now on.
    void setDocument(DesignDocument *doc);
    DesignDocument *document() const { return doc; }
    // The setup-type help window (its Help button and the Help menu show it).
    QDialog *helpWindow() const { return helpDialog; }

    // The resource of the setup-type help in the interface's language: the Japanese text for
    // "ja", the English one for any other language.
    static QString helpResource(const QString &language);
    // The language of the interface as the installed catalogue gives it: "ja" with the Japanese
    // catalogue, "en" without one.
    static QString interfaceLanguage();
signals:
    // After every change the panel handed on, also a Return in an unchanged field.
    void newValue();

    // The private slot comes first so that the meta-object lists newType, save, load.
private slots:
    void newType();

public slots:
    // The arrangement block of a design file.
    void save(QTextStream &out);
    void load(QString line);

private:
    // The design's texts and choices in the fields and buttons; "Start. Energy" red, with the
    // reason as its tooltip, when it has no Bragg angle.
    void showDesign();
    // The fields the type uses white, the others grey.
    void markType(int type);
    // A field finished: its text handed on when the edit asks for it.
    void finishField(QLineEdit *field);

    std::unique_ptr<DesignDocument> own;
    QPointer<DesignDocument> doc;
    QButtonGroup *typeGroup;
    int markedType = 0; // the type the field colours show

    // The setup-type help: a top-level window without a parent, removed with deleteLater.
    QTextEdit *helpText;
    QDialog *helpDialog;
    QGridLayout *helpLayout;
};
