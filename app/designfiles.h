#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class Body;
class QAction;
class QFileDialog;
class QMenu;
class QMessageBox;

// The main window's design files: Open, Save, Save As and the recent files of the File menu, the
// Save and Load buttons' dialogs, the window title with its modified mark, the question about
// unsaved changes, and the folder every file dialog starts in. The design itself is the
// document's; this only asks, shows and tells.
class DesignFiles : public QObject
{
    Q_OBJECT

public:
    explicit DesignFiles(Body &window);

    // Open, Save, Save As and the recent files, added to the File menu.
    void addTo(QMenu *file);
    // A dialog that starts in the folder of the last file chosen in any of them, now and at the
    // next start.
    void followLastFolder(QFileDialog *dialog);

    // Writes the design to path, which becomes the current file; false, with the message, when it
    // cannot be written.
    bool write(const QString &path);
    // Load: the file becomes the current design, or a message says why not.
    void load(const QString &path);
    // Opens the design named on the command line once the event loop runs with the window up.
    void openAtStart(const QString &path);

    // The design differs from the current file's (finished edits, and the comment as typed).
    bool modified() const;
    // Save, Discard or Cancel when the design has unsaved changes; false to stay (Cancel, or a
    // save that did not happen).
    bool settleUnsavedChanges();
    // The title names the current file and marks unsaved changes.
    void updateTitle();

public slots:
    // Open asks about unsaved changes first; Save writes the current file without a dialog when
    // there is one.
    void openDesign();
    void saveDesign();
    void saveDesignAs();

private:
    void openRecent(const QString &path);
    void showRecentFiles();
    void rememberRecentFile(const QString &path);
    void rememberFolder(const QString &file);
    bool saveBeforeLeaving();
    // Tells the user in a window of its own that does not hold anything up, one per kind.
    void tellUserOnce(QPointer<QMessageBox> &box, const QString &text);

    Body &window;
    QVector<QPointer<QFileDialog>> folderFollowers;
    QVector<QAction *> recentActions;
    QAction *recentSeparator = nullptr;
    QPointer<QMessageBox> noDesignBox;
    QPointer<QMessageBox> missingFileBox;
    QPointer<QMessageBox> notesBox;
};
