#include "designfiles.h"

#include "body.h"
#include "designnotices.h"
#include "filenames.h"
#include "notices.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QKeySequence keys(const char *portable)
{
    return QKeySequence::fromString(QLatin1String(portable), QKeySequence::PortableText);
}

void bringUp(QWidget *w)
{
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

DesignFiles::DesignFiles(Body &window) : QObject(&window), window(window)
{
    for (QFileDialog *dialog : {&window.saveDialog, &window.loadDialog}) {
        dialog->setNameFilters(
            {QStringLiteral("Configuration File (*.cfg)"), QStringLiteral("Any File (* *.*)")});
        followLastFolder(dialog);
    }
    window.saveDialog.setAcceptMode(QFileDialog::AcceptSave);
    window.loadDialog.setAcceptMode(QFileDialog::AcceptOpen);
    // ".cfg" is added to a name typed without a suffix only under the design files' filter.
    QFileDialog *save = &window.saveDialog;
    save->setDefaultSuffix(defaultSuffixFor(save->selectedNameFilter()));
    connect(save, &QFileDialog::filterSelected, this, [save](const QString &filter) {
        save->setDefaultSuffix(defaultSuffixFor(filter));
    });
}

void DesignFiles::addTo(QMenu *file)
{
    const auto action = [this](const char *name, const QString &text, const char *shortcut) {
        auto *a = new QAction(text, &window);
        a->setObjectName(QLatin1String(name));
        if (shortcut)
            a->setShortcut(keys(shortcut));
        return a;
    };
    QAction *open = action("actionOpen", Body::tr("&Open..."), "Ctrl+O");
    connect(open, &QAction::triggered, this, &DesignFiles::openDesign);
    QAction *save = action("actionSave", Body::tr("&Save"), "Ctrl+S");
    connect(save, &QAction::triggered, this, &DesignFiles::saveDesign);
    QAction *saveAs = action("actionSaveAs", Body::tr("Save &As..."), "Ctrl+Shift+S");
    connect(saveAs, &QAction::triggered, this, &DesignFiles::saveDesignAs);
    file->addActions({open, save, saveAs});
    recentSeparator = file->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction *recent = action(qPrintable(QStringLiteral("actionRecent%1").arg(i)), {}, nullptr);
        connect(recent, &QAction::triggered, this, [this, recent] {
            openRecent(recent->data().toString());
        });
        file->addAction(recent);
        recentActions.append(recent);
    }
    // Another instance may have opened or saved files meanwhile.
    connect(file, &QMenu::aboutToShow, this, &DesignFiles::showRecentFiles);
    showRecentFiles();
}

void DesignFiles::followLastFolder(QFileDialog *dialog)
{
    dialog->setDirectory(lastFolder());
    connect(dialog, &QFileDialog::fileSelected, this, &DesignFiles::rememberFolder);
    folderFollowers.append(dialog);
}

bool DesignFiles::write(const QString &path)
{
    DesignDocument &doc = window.doc;
    // A comment typed and not yet finished is part of what the user sees and saves.
    if (window.Comment->text() != doc.design().comment)
        doc.setComment(window.Comment->text());
    QString why;
    if (!doc.save(path, &why)) {
        qDebug() << "Can't open" << path << "to save.";
        tellUser(&window, Body::tr("Nothing was saved: \"%1\" cannot be written.").arg(path));
        return false;
    }
    rememberRecentFile(doc.currentFile());
    updateTitle();
    return true;
}

void DesignFiles::load(const QString &path)
{
    DesignDocument &doc = window.doc;
    const ReadResult r = doc.load(path);
    switch (r.status) {
    case ReadResult::CannotRead:
        qDebug() << "Can't open" << path << "to load.";
        tellUser(&window, Body::tr("Nothing was loaded: \"%1\" cannot be read.").arg(path));
        return;
    case ReadResult::NoDesign:
        tellUserOnce(noDesignBox,
                     Body::tr("Nothing was loaded: \"%1\" holds no design.")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    case ReadResult::Read:
        break;
    }
    {
        // The comment field shows the file's comment: not an edit of the user's.
        const QSignalBlocker quiet(window.Comment);
        window.Comment->setText(doc.design().comment);
    }
    rememberRecentFile(doc.currentFile());
    updateTitle();
    // Loaded as far as it could be; what was not understood is told, without holding anything up.
    if (!r.notes.isEmpty())
        tellUserOnce(notesBox, DesignNotices::loadNotice(path, r.notes));
}

void DesignFiles::openAtStart(const QString &path)
{
    QMetaObject::invokeMethod(&window, "load", Qt::QueuedConnection, Q_ARG(QString, path));
}

bool DesignFiles::modified() const
{
    return window.doc.isModified() || window.Comment->text() != window.doc.design().comment;
}

void DesignFiles::updateTitle()
{
    const bool changed = modified();
    const QString path = window.doc.currentFile();
    // "[*]" is where the platform puts its modified mark; without a file the title stays
    // "Lumivard" until something changes.
    if (path.isEmpty())
        window.setWindowTitle(changed ? Body::tr("Lumivard") + QStringLiteral("[*]")
                                      : Body::tr("Lumivard"));
    else
        window.setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] - ")
                              + Body::tr("Lumivard"));
    window.setWindowFilePath(path);
    window.setWindowModified(changed);
}

bool DesignFiles::settleUnsavedChanges()
{
    if (!modified())
        return true;
    QMessageBox box(QMessageBox::Warning,
                    Body::tr("Lumivard"),
                    Body::tr("The design has changed since it was last saved."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    &window);
    box.setObjectName(QStringLiteral("unsavedChanges"));
    box.setInformativeText(Body::tr("Save the changes?"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    // Qt's own catalogue is not installed: the standard buttons take the program's words.
    box.button(QMessageBox::Save)->setText(Body::tr("Save"));
    box.button(QMessageBox::Discard)->setText(Body::tr("Discard"));
    box.button(QMessageBox::Cancel)->setText(Body::tr("Cancel"));
    switch (box.exec()) {
    case QMessageBox::Save:
        return saveBeforeLeaving();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool DesignFiles::saveBeforeLeaving()
{
    const QString current = window.doc.currentFile();
    if (!current.isEmpty())
        return write(current);
    // The answer is awaited, so this one save dialog waits too.
    const QFileDialog &save = window.saveDialog;
    QFileDialog dialog(&window);
    dialog.setObjectName(QStringLiteral("saveBeforeLeaving"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(save.directory());
    dialog.setNameFilters(save.nameFilters());
    dialog.setDefaultSuffix(save.defaultSuffix());
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(defaultSuffixFor(filter));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return write(dialog.selectedFiles().constFirst());
}

void DesignFiles::openDesign()
{
    if (settleUnsavedChanges())
        bringUp(&window.loadDialog);
}

void DesignFiles::saveDesign()
{
    const QString current = window.doc.currentFile();
    if (current.isEmpty())
        saveDesignAs();
    else
        write(current);
}

void DesignFiles::saveDesignAs()
{
    const QString current = window.doc.currentFile();
    if (!current.isEmpty())
        window.saveDialog.selectFile(current);
    bringUp(&window.saveDialog);
}

void DesignFiles::openRecent(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        QStringList files = recentFiles();
        files.removeAll(path);
        setRecentFiles(files);
        showRecentFiles();
        tellUserOnce(missingFileBox,
                     Body::tr("\"%1\" no longer exists; it was removed from the recent files.")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (settleUnsavedChanges())
        load(path);
}

void DesignFiles::showRecentFiles()
{
    const QStringList files = recentFiles();
    for (int i = 0; i < recentActions.size(); ++i) {
        QAction *action = recentActions.at(i);
        const QString path = files.value(i);
        action->setVisible(!path.isEmpty());
        action->setData(path);
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    }
    if (recentSeparator)
        recentSeparator->setVisible(!files.isEmpty());
}

void DesignFiles::rememberRecentFile(const QString &path)
{
    setRecentFiles(withRecentFile(recentFiles(), path));
    showRecentFiles();
}

void DesignFiles::rememberFolder(const QString &file)
{
    setLastFolderOf(file);
    const QString folder = QFileInfo(file).absolutePath();
    for (const QPointer<QFileDialog> &dialog : qAsConst(folderFollowers)) {
        if (dialog)
            dialog->setDirectory(folder);
    }
}

void DesignFiles::tellUserOnce(QPointer<QMessageBox> &box, const QString &text)
{
    if (!box) {
        box = new QMessageBox(
            QMessageBox::Warning, Body::tr("Lumivard"), QString(), QMessageBox::Ok, &window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
    }
    box->setText(text);
    box->show();
    box->raise();
}
