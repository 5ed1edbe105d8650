// The menus of the main window and their shortcuts: files, undo and redo, the plot windows'
// buttons, the help.
#include "body.h"
#include "calign.h"
#include "filenames.h"
#include "numberinput.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace {

QKeySequence keys(const char *portable)
{
    return QKeySequence::fromString(QLatin1String(portable), QKeySequence::PortableText);
}

QAction *newAction(QWidget *owner, const char *name, const QString &text)
{
    auto *action = new QAction(text, owner);
    action->setObjectName(QLatin1String(name));
    return action;
}

// The menu of that object name in the bar, made when no one has made it yet; so other parts of
// the program can add entries to the same menu whichever comes first.
QMenu *menuNamed(QMenuBar *bar, const char *name, const QString &title)
{
    auto *menu = bar->findChild<QMenu *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!menu) {
        menu = new QMenu(bar);
        menu->setObjectName(QLatin1String(name));
    }
    menu->setTitle(title);
    // File, Edit, View, Help in this order after anything already there.
    bar->removeAction(menu->menuAction());
    bar->addAction(menu->menuAction());
    return menu;
}

} // namespace

void Body::setUpMenus()
{
    QMenu *file = menuNamed(menubar, "menuFile", tr("&File"));
    QAction *open = newAction(this, "actionOpen", tr("&Open..."));
    open->setShortcut(keys("Ctrl+O"));
    connect(open, SIGNAL(triggered()), this, SLOT(openDesign()));
    QAction *save = newAction(this, "actionSave", tr("&Save"));
    save->setShortcut(keys("Ctrl+S"));
    connect(save, SIGNAL(triggered()), this, SLOT(saveDesign()));
    QAction *saveAs = newAction(this, "actionSaveAs", tr("Save &As..."));
    saveAs->setShortcut(keys("Ctrl+Shift+S"));
    connect(saveAs, SIGNAL(triggered()), this, SLOT(saveDesignAs()));
    file->addActions({open, save, saveAs});
    recentSeparator = file->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction *recent = newAction(this, qPrintable(QStringLiteral("actionRecent%1").arg(i)), {});
        connect(recent, SIGNAL(triggered()), this, SLOT(openRecent()));
        file->addAction(recent);
        recentActions.append(recent);
    }
    // Another instance may have opened or saved files meanwhile.
    connect(file, &QMenu::aboutToShow, this, &Body::showRecentFiles);
    showRecentFiles();
    file->addSeparator();
    QAction *exportTable = newAction(this, "actionExportTable", tr("Export Crystal &Table..."));
    connect(exportTable, SIGNAL(triggered()), this, SLOT(exportCrystalTable()));
    QAction *exportPicture = newAction(this, "actionExportPlot", tr("&Export Plot..."));
    connect(exportPicture, SIGNAL(triggered()), this, SLOT(exportPlot()));
    QAction *print = newAction(this, "actionPrintPlot", tr("&Print Plot..."));
    connect(print, SIGNAL(triggered()), this, SLOT(printPlot()));
    file->addActions({exportTable, exportPicture, print});
    file->addSeparator();
    QAction *quit = newAction(this, "actionQuit", tr("&Quit"));
    quit->setShortcut(keys("Ctrl+Q"));
    // As the close box: the question about unsaved changes, then every window closes.
    connect(quit, SIGNAL(triggered()), this, SLOT(close()));
    file->addAction(quit);

    QMenu *edit = menuNamed(menubar, "menuEdit", tr("&Edit"));
    QAction *undo = newAction(this, "actionUndo", tr("&Undo"));
    undo->setShortcut(keys("Ctrl+Z"));
    undo->setEnabled(undoStack.canUndo());
    connect(undo, SIGNAL(triggered()), &undoStack, SLOT(undo()));
    connect(&undoStack, SIGNAL(canUndoChanged(bool)), undo, SLOT(setEnabled(bool)));
    QAction *redo = newAction(this, "actionRedo", tr("&Redo"));
    redo->setShortcuts({keys("Ctrl+Shift+Z"), keys("Ctrl+Y")});
    redo->setEnabled(undoStack.canRedo());
    connect(redo, SIGNAL(triggered()), &undoStack, SLOT(redo()));
    connect(&undoStack, SIGNAL(canRedoChanged(bool)), redo, SLOT(setEnabled(bool)));
    edit->addActions({undo, redo});

    // The buttons' own clicks, so the menu does whatever the buttons do.
    QMenu *view = menuNamed(menubar, "menuView", tr("&View"));
    const struct
    {
        const char *name;
        QPushButton *button;
    } buttons[] = {{"actionShowGraph", ShowGraph},
                   {"actionSquareGrid", SquareG},
                   {"actionScaleReset", ScaleReset},
                   {"actionRestCPs", ResetCPs}};
    for (const auto &b : buttons) {
        QAction *action = newAction(this, b.name, b.button->text());
        connect(action, SIGNAL(triggered()), b.button, SLOT(click()));
        view->addAction(action);
    }

    QMenu *help = menuNamed(menubar, "menuHelp", tr("&Help"));
    QAction *types = newAction(this, "actionSetupTypes", tr("Setup &Types"));
    types->setShortcut(keys("F1"));
    QDialog *helpWindow = CA->helpDialog;
    connect(types, &QAction::triggered, helpWindow, [helpWindow] {
        helpWindow->show();
        helpWindow->raise();
        helpWindow->activateWindow();
    });
    help->addAction(types);
    help->addSeparator();
    QAction *about = newAction(this, "actionAbout", tr("&About Lumivard"));
    connect(about, SIGNAL(triggered()), this, SLOT(showAbout()));
    help->addAction(about);

    // ".cfg" is added to a name typed without a suffix only under the design files' filter.
    saveDialog.setDefaultSuffix(defaultSuffixFor(saveDialog.selectedNameFilter()));
    connect(&saveDialog, SIGNAL(filterSelected(const QString &)), this, SLOT(useSuffixOf(QString)));

    // The comment is part of the design: its finished edits are undo steps, and the title marks
    // it as changed while it is typed.
    FieldGuard::guard(Comment, FieldKind::Text);
    connect(Comment, SIGNAL(textEdited(const QString &)), this, SLOT(commentEdited()));
    connect(Comment, SIGNAL(editingFinished()), this, SLOT(recordChange()));
}

void Body::openDesign()
{
    if (!settleUnsavedChanges())
        return;
    loadDialog.show();
    loadDialog.raise();
    loadDialog.activateWindow();
}

void Body::saveDesign()
{
    if (doc.currentFile().isEmpty())
        saveDesignAs();
    else
        writeDesign(doc.currentFile());
}

void Body::saveDesignAs()
{
    if (!doc.currentFile().isEmpty())
        saveDialog.selectFile(doc.currentFile());
    saveDialog.show();
    saveDialog.raise();
    saveDialog.activateWindow();
}

void Body::useSuffixOf(const QString &nameFilter)
{
    saveDialog.setDefaultSuffix(defaultSuffixFor(nameFilter));
}

void Body::rememberRecentFile(const QString &path)
{
    setRecentFiles(withRecentFile(recentFiles(), path));
    showRecentFiles();
}

void Body::rememberFolder(const QString &file)
{
    setLastFolderOf(file);
    const QString folder = QFileInfo(file).absolutePath();
    for (QFileDialog *dialog : {&saveDialog, &loadDialog, tableDialog.data(), plotDialog.data()}) {
        if (dialog)
            dialog->setDirectory(folder);
    }
}

void Body::showRecentFiles()
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

void Body::openRecent()
{
    const auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString path = action->data().toString();
    if (!QFileInfo::exists(path)) {
        QStringList files = recentFiles();
        files.removeAll(path);
        setRecentFiles(files);
        showRecentFiles();
        tellUserOnce(missingFileBox,
                     tr("\"%1\" no longer exists; it was removed from the recent files.")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (settleUnsavedChanges())
        load(path);
}

void Body::showAbout()
{
    if (!aboutBox) {
        aboutBox = new QMessageBox(
            QMessageBox::Information,
            tr("About Lumivard"),
            tr("<h3>Lumivard %1</h3><p>Design of flat analyser crystal arrays "
               "that split a broadband X-ray beam into energy bands.</p>"
               "<p>Licence: MIT<br>Qt %2</p>")
                .arg(QStringLiteral(LUMIVARD_VERSION), QString::fromLatin1(qVersion())),
            QMessageBox::Ok,
            this);
        aboutBox->setObjectName(QStringLiteral("aboutLumivard"));
        aboutBox->setTextFormat(Qt::RichText);
        aboutBox->setAttribute(Qt::WA_DeleteOnClose);
        aboutBox->setWindowModality(Qt::NonModal);
    }
    aboutBox->show();
    aboutBox->raise();
    aboutBox->activateWindow();
}
