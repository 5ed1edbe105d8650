#pragma once

#include <QObject>
#include <QPointer>

class Body;
class DesignFiles;
class PlotExports;
class QMessageBox;

// The main window's menu bar and shortcuts: File (the design files, the exports, Quit), Edit (undo
// and redo of the design), View (the plot windows' buttons) and Help (the setup types, About).
// Every entry does what its button or dialog does; the menus hold no state of their own.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    MainMenus(Body &window, DesignFiles &files, PlotExports &exports);

public slots:
    void showAbout();

private:
    Body &window;
    QPointer<QMessageBox> aboutBox;
};
