// The design as a document: the current file and the window title, the undo steps, and the
// question about unsaved changes.
#include "body.h"
#include "filenames.h"
#include "undo.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

void Body::recordChange()
{
    if (!recording)
        return;
    const QString text = designText();
    if (text != recordedText)
        pushStep(text, packDesignText(text));
    recordedComment = Comment->text();
    updateTitle();
}

void Body::pushStep(const QString &text,
                    const QByteArray &packed,
                    const FileState *before,
                    const FileState *after)
{
    auto *step
        = new DesignChange(recordedPacked, packed, [this](const QByteArray &p, const FileState *f) {
              restoreDesign(p, f);
          });
    if (before && after)
        step->setFiles(*before, *after);
    undoStack.push(step);
    recordedText = text;
    recordedPacked = packed;
    recordedComment = Comment->text();
}

void Body::restoreDesign(const QByteArray &packed, const FileState *file)
{
    // Read back as a file is, the design is traced at its marker and again once its rows are
    // restored; the histories take the step as one analysis, the last.
    const int entries = avrCps.points.size();
    const QString text = unpackDesignText(packed);
    applyDesign(text);
    for (Points *history : {&avrCps, &avrIps}) {
        if (history->points.size() > entries + 1)
            history->points.remove(entries, history->points.size() - entries - 1);
    }
    if (file) {
        currentPath = file->path;
        savedText = unpackDesignText(file->savedPacked);
    }
    // What the step restored is what the next change is measured from; a design that does not
    // come back exactly (an infinite position reads back as nan) is taken as it came back.
    recordedText = designText();
    recordedPacked = recordedText == text ? packed : packDesignText(recordedText);
    recordedComment = Comment->text();
    updateTitle();
}

bool Body::designModified() const
{
    return recordedText != savedText || Comment->text() != recordedComment;
}

void Body::commentEdited()
{
    updateTitle();
}

void Body::updateTitle()
{
    const bool modified = designModified();
    // "[*]" is where the platform puts its modified mark; without a file the title stays
    // "Lumivard" until something changes.
    if (currentPath.isEmpty())
        setWindowTitle(modified ? tr("Lumivard") + QStringLiteral("[*]") : tr("Lumivard"));
    else
        setWindowTitle(QFileInfo(currentPath).fileName() + QStringLiteral("[*] - ")
                       + tr("Lumivard"));
    setWindowFilePath(currentPath);
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
    if (!currentPath.isEmpty())
        return writeDesign(currentPath);
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
