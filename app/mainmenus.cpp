#include "mainmenus.h"

#include "body.h"
#include "calign.h"
#include "designfiles.h"
#include "plotexports.h"

#include <QAction>
#include <QDialog>
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

MainMenus::MainMenus(Body &window, DesignFiles &files, PlotExports &exports)
    : QObject(&window), window(window)
{
    QMenuBar *bar = window.menubar;
    QMenu *file = menuNamed(bar, "menuFile", Body::tr("&File"));
    files.addTo(file);
    file->addSeparator();
    QAction *exportTable
        = newAction(&window, "actionExportTable", Body::tr("Export Crystal &Table..."));
    connect(exportTable, &QAction::triggered, &exports, &PlotExports::exportCrystalTable);
    QAction *exportPicture = newAction(&window, "actionExportPlot", Body::tr("&Export Plot..."));
    connect(exportPicture, &QAction::triggered, &exports, &PlotExports::exportPlot);
    QAction *print = newAction(&window, "actionPrintPlot", Body::tr("&Print Plot..."));
    connect(print, &QAction::triggered, &exports, &PlotExports::printPlot);
    file->addActions({exportTable, exportPicture, print});
    file->addSeparator();
    QAction *quit = newAction(&window, "actionQuit", Body::tr("&Quit"));
    quit->setShortcut(keys("Ctrl+Q"));
    // As the close box: the question about unsaved changes, then every window closes.
    connect(quit, &QAction::triggered, &window, &QWidget::close);
    file->addAction(quit);

    QMenu *edit = menuNamed(bar, "menuEdit", Body::tr("&Edit"));
    UndoStack &steps = window.undoStack;
    QAction *undo = newAction(&window, "actionUndo", Body::tr("&Undo"));
    undo->setShortcut(keys("Ctrl+Z"));
    undo->setEnabled(steps.canUndo());
    connect(undo, &QAction::triggered, &steps, &UndoStack::undo);
    connect(&steps, &UndoStack::canUndoChanged, undo, &QAction::setEnabled);
    QAction *redo = newAction(&window, "actionRedo", Body::tr("&Redo"));
    redo->setShortcuts({keys("Ctrl+Shift+Z"), keys("Ctrl+Y")});
    redo->setEnabled(steps.canRedo());
    connect(redo, &QAction::triggered, &steps, &UndoStack::redo);
    connect(&steps, &UndoStack::canRedoChanged, redo, &QAction::setEnabled);
    edit->addActions({undo, redo});

    // The buttons' own clicks, so the menu does whatever the buttons do.
    QMenu *view = menuNamed(bar, "menuView", Body::tr("&View"));
    const struct
    {
        const char *name;
        QPushButton *button;
    } buttons[] = {{"actionShowGraph", window.ShowGraph},
                   {"actionSquareGrid", window.SquareG},
                   {"actionScaleReset", window.ScaleReset},
                   {"actionRestCPs", window.ResetCPs}};
    for (const auto &b : buttons) {
        QAction *action = newAction(&window, b.name, b.button->text());
        connect(action, &QAction::triggered, b.button, &QPushButton::click);
        view->addAction(action);
    }

    QMenu *help = menuNamed(bar, "menuHelp", Body::tr("&Help"));
    QAction *types = newAction(&window, "actionSetupTypes", Body::tr("Setup &Types"));
    types->setShortcut(keys("F1"));
    QDialog *helpWindow = window.CA->helpWindow();
    connect(types, &QAction::triggered, helpWindow, [helpWindow] {
        helpWindow->show();
        helpWindow->raise();
        helpWindow->activateWindow();
    });
    help->addAction(types);
    help->addSeparator();
    QAction *about = newAction(&window, "actionAbout", Body::tr("&About Lumivard"));
    connect(about, &QAction::triggered, this, &MainMenus::showAbout);
    help->addAction(about);
}

void MainMenus::showAbout()
{
    if (!aboutBox) {
        aboutBox = new QMessageBox(
            QMessageBox::Information,
            Body::tr("About Lumivard"),
            Body::tr("<h3>Lumivard %1</h3><p>Design of flat analyser crystal arrays "
                     "that split a broadband X-ray beam into energy bands.</p>"
                     "<p>Licence: MIT<br>Qt %2</p>")
                .arg(QStringLiteral(LUMIVARD_VERSION), QString::fromLatin1(qVersion())),
            QMessageBox::Ok,
            &window);
        aboutBox->setObjectName(QStringLiteral("aboutLumivard"));
        aboutBox->setTextFormat(Qt::RichText);
        aboutBox->setAttribute(Qt::WA_DeleteOnClose);
        aboutBox->setWindowModality(Qt::NonModal);
    }
    aboutBox->show();
    aboutBox->raise();
    aboutBox->activateWindow();
}
