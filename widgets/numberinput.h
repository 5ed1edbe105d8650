#pragma once

#include "numbers.h"

#include <QObject>
#include <QString>

class QLineEdit;

// What a field accepts from the keyboard.
enum class FieldKind {
    Text,       // anything (the comment)
    Number,     // a finite number
    WholeNumber // a finite number without a fraction
};

// Watches one field of the design: a Return or leaving the field with a text its kind refuses
// puts back the last accepted text (what the program last showed, or what the user last finished
// with) without announcing anything, and says why for 4 s in the status bar of the main window
// the field sits in. The field's own signals are untouched when the text is accepted.
//
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y go to the window's undo and redo of the design unless the field
// holds typing not yet finished, which they undo and redo as usual.
class FieldGuard : public QObject
{
    Q_OBJECT

public:
    // The guard lives as a child of the field.
    static FieldGuard *guard(QLineEdit *field, FieldKind kind);

    FieldKind kind() const { return fieldKind; }
    // The text the field goes back to when the next one is refused.
    QString acceptedText() const { return accepted; }

    // Why a text is refused, as the status bar says it; empty when the kind accepts it.
    static QString refusal(const QString &text, FieldKind kind);

    // Whether the edit the field just finished is one to hand on to the design: Return always
    // (an explicit request, also with the text unchanged), leaving the field only with a text
    // other than `applied`, the one the design holds. Call it from the field's editingFinished.
    static bool handsOn(QLineEdit *field, const QString &applied);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FieldGuard(QLineEdit *field, FieldKind kind);
    // True when the text may stand; otherwise the field is put back and the refusal shown.
    bool finish();

    QLineEdit *field;
    FieldKind fieldKind;
    QString accepted;
    // Return was pressed: the editingFinished that follows it is a request.
    bool returned = false;
};
