// The design as a document: the current file and the window title, the comment's undo steps, and
// the question about unsaved changes.
#include "body.h"
#include "filenames.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

void Body::recordChange()
{
    doc.setComment(Comment->text());
    updateTitle();
}

bool Body::designModified() const
{
    return doc.isModified() || Comment->text() != doc.design().comment;
}

void Body::commentEdited()
{
    updateTitle();
}

void Body::updateTitle()
{
    const bool modified = designModified();
    const QString path = doc.currentFile();
    // "[*]" is where the platform puts its modified mark; without a file the title stays
    // "Lumivard" until something changes.
    if (path.isEmpty())
        setWindowTitle(modified ? tr("Lumivard") + QStringLiteral("[*]") : tr("Lumivard"));
    else
        setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] - ") + tr("Lumivard"));
    setWindowFilePath(path);
    setWindowModified(modified);
}

void Body::closeEvent(QCloseEvent *event)
{
    if (!settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    emit finishing();
    event->accept();
}

bool Body::settleUnsavedChanges()
{
    if (!designModified())
        return true;
    QMessageBox box(QMessageBox::Warning,
                    tr("Lumivard"),
                    tr("The design has changed since it was last saved."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    this);
    box.setObjectName(QStringLiteral("unsavedChanges"));
    box.setInformativeText(tr("Save the changes?"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    // Qt's own catalogue is not installed: the standard buttons take the program's words.
    box.button(QMessageBox::Save)->setText(tr("Save"));
    box.button(QMessageBox::Discard)->setText(tr("Discard"));
    box.button(QMessageBox::Cancel)->setText(tr("Cancel"));
    switch (box.exec()) {
    case QMessageBox::Save:
        return saveBeforeLeaving();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool Body::saveBeforeLeaving()
{
    if (!doc.currentFile().isEmpty())
        return writeDesign(doc.currentFile());
    // The answer is awaited, so this one save dialog waits too.
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("saveBeforeLeaving"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(saveDialog.directory());
    dialog.setNameFilters(saveDialog.nameFilters());
    dialog.setDefaultSuffix(saveDialog.defaultSuffix());
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(defaultSuffixFor(filter));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return writeDesign(dialog.selectedFiles().constFirst());
}

void Body::tellUserOnce(QPointer<QMessageBox> &box, const QString &text)
{
    if (!box) {
        box = new QMessageBox(
            QMessageBox::Warning, tr("Lumivard"), QString(), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setText(text);
    box->show();
    box->raise();
}
