#include "numberinput.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalBlocker>
#include <QStatusBar>

FieldGuard *FieldGuard::guard(QLineEdit *field, FieldKind kind)
{
    return new FieldGuard(field, kind);
}

FieldGuard::FieldGuard(QLineEdit *field, FieldKind kind)
    : QObject(field), field(field), fieldKind(kind), accepted(field->text())
{
    // A text the program puts in (setText clears the modified flag) is accepted as it stands:
    // the loader and the rows' own read-outs are not the keyboard.
    connect(field, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!this->field->isModified())
            accepted = text;
    });
    connect(field, &QLineEdit::returnPressed, this, [this] { returned = true; });
    field->installEventFilter(this);
}

bool FieldGuard::handsOn(QLineEdit *field, const QString &applied)
{
    auto *guard = field->findChild<FieldGuard *>(QString(), Qt::FindDirectChildrenOnly);
    const bool returned = guard && guard->returned;
    if (guard)
        guard->returned = false;
    return returned || field->text() != applied;
}

QString FieldGuard::refusal(const QString &text, FieldKind kind)
{
    if (kind == FieldKind::Text)
        return QString();
    const QString shown = text.isEmpty() ? tr("(empty)") : text;
    if (!finiteNumber(text))
        return tr("Not a number: %1").arg(shown);
    if (kind == FieldKind::WholeNumber && !wholeNumber(text))
        return tr("Not a whole number: %1").arg(shown);
    return QString();
}

bool FieldGuard::finish()
{
    const QString why = refusal(field->text(), fieldKind);
    if (why.isEmpty()) {
        accepted = field->text();
        // Finished: the undo keys now belong to the design again.
        field->setModified(false);
        return true;
    }
    field->setText(accepted);
    if (auto *window = qobject_cast<QMainWindow *>(field->window())) {
        if (auto *bar = window->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly))
            bar->showMessage(why, 4000);
    }
    return false;
}

bool FieldGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return !finish();
        return false;
    }
    case QEvent::FocusOut:
        if (finish())
            return false;
        {
            // The field loses the focus as usual, but finishes nothing: the text is the one
            // already in force.
            const QSignalBlocker quiet(field);
            static_cast<QObject *>(field)->event(event);
        }
        return true;
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const bool ctrl = mods == Qt::ControlModifier;
        const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
        const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
                             || (key->key() == Qt::Key_Z && (ctrl || ctrlShift))
                             || (key->key() == Qt::Key_Y && ctrl);
        if (undoKey && !field->isModified()) {
            event->ignore();
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}
