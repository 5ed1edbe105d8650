// The main window as a desktop program: its menus and shortcuts in both languages, the View
// entries and the buttons they stand for, the current file in the title, the question about
// unsaved changes, the save dialog's suffix, the recent files, a file that holds no design, and
// input that is refused.
#include "body.h"
#include "filenames.h"
#include "language.h"
#include "resources.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Types a name into a file dialog and accepts it, as a user does (selectFile leaves the name
// field alone while the field has the keyboard focus).
void chooseFile(QFileDialog *dialog, const QString &name)
{
    dialog->findChild<QLineEdit *>("fileNameEdit")->setText(name);
    static_cast<QDialog *>(dialog)->accept();
}

// Does what act does while answering the modal windows as they come up, in order: a button of
// the question by its text, or a name for a modal save dialog ("Cancel" closes it); a modal
// window beyond the answers is cancelled. Returns the object names of the windows answered.
QStringList answering(QStringList answers, const std::function<void()> &act)
{
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        const QString a = answers.isEmpty() ? QString("Cancel") : answers.takeFirst();
        seen << modal->objectName();
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            for (QAbstractButton *button : box->buttons())
                if (button->text() == a)
                    button->click();
        } else if (files && a != "Cancel") {
            chooseFile(files, a);
        } else {
            modal->close();
        }
    });
    timer.start(10);
    act();
    return seen;
}

QString menuListing(Body &b)
{
    QStringList menus;
    for (QAction *m : b.menuBar()->actions()) {
        QStringList entries;
        for (QAction *a : m->menu()->actions()) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            QStringList keys;
            for (const QKeySequence &k : a->shortcuts())
                keys << k.toString(QKeySequence::PortableText);
            entries << (a->objectName() + ' ' + a->text() + ' ' + keys.join(", ")).trimmed();
        }
        menus << m->menu()->objectName() + ' ' + m->text() + ": " + entries.join(" | ");
    }
    return menus.join("; ");
}

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QTranslator japanese;

    QString path(const QString &name) { return dir.filePath(name); }
    QByteArray contents(const QString &name)
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static QAction *action(Body &b, const char *name) { return child<QAction>(&b, name); }
    static void call(Body &b, const char *slot, const QString &file)
    {
        QVERIFY(QMetaObject::invokeMethod(&b, slot, Q_ARG(QString, file)));
    }
    static void edit(Body &b, const QString &startEnergy)
    {
        type(child<QLineEdit>(&b, "StartE"), startEnergy);
    }
    // The title as the window system shows it, with the modified mark in place of "[*]".
    static QString title(Body &b) { return b.windowHandle()->title(); }
    static QMessageBox *shownMessage(Body &b, const QString &containing)
    {
        for (QMessageBox *box : b.findChildren<QMessageBox *>())
            if (box->isVisible() && box->text().contains(containing))
                return box;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        initLumivardResources();
        QVERIFY(loadJapaneseCatalogue(japanese));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    }
    void init() { setRecentFiles({}); }
    void cleanup()
    {
        QCoreApplication::removeTranslator(&japanese);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void menus_data()
    {
        QTest::addColumn<bool>("inJapanese");
        QTest::addColumn<QString>("listing");
        dataRow(
            "English",
            false,
            QString("menuFile &File: actionOpen &Open... Ctrl+O | actionSave &Save Ctrl+S | "
                    "actionSaveAs Save &As... Ctrl+Shift+S | actionExportTable Export Crystal "
                    "&Table... | actionExportPlot &Export Plot... | actionPrintPlot &Print "
                    "Plot... | actionQuit &Quit Ctrl+Q; menuEdit &Edit: actionUndo &Undo Ctrl+Z "
                    "| actionRedo &Redo Ctrl+Shift+Z, Ctrl+Y; menuView &View: actionShowGraph "
                    "Show Graph | actionSquareGrid Square Grid | actionScaleReset Scale Reset "
                    "| actionRestCPs Rest CPs | actionBands Bands; menuHelp &Help: "
                    "actionSetupTypes Setup &Types F1 | actionAbout &About Lumivard"));
        dataRow(
            "Japanese",
            true,
            QString("menuFile ファイル: actionOpen 開く... Ctrl+O | actionSave 保存 Ctrl+S | "
                    "actionSaveAs 名前を付けて保存... Ctrl+Shift+S | actionExportTable "
                    "結晶テーブルのエクスポート... | actionExportPlot グラフのエクスポート... | "
                    "actionPrintPlot グラフの印刷... | actionQuit 終了 Ctrl+Q; menuEdit 編集: "
                    "actionUndo 元に戻す Ctrl+Z | actionRedo やり直し Ctrl+Shift+Z, Ctrl+Y; "
                    "menuView 表示: actionShowGraph グラフ表示 | actionSquareGrid "
                    "グリッド正方化 | actionScaleReset スケールリセット | actionRestCPs "
                    "焦点軌跡リセット | actionBands バンド; menuHelp ヘルプ: actionSetupTypes "
                    "配置タイプの説明 F1 | actionAbout Lumivard について"));
    }
    // The four menus in order with their entries and shortcuts; the recent files are listed
    // only once there are some; undo and redo are enabled only when there is a step. About is a
    // window of its own that holds nothing up, once however often it is asked for.
    void menus()
    {
        QFETCH(bool, inJapanese);
        QFETCH(QString, listing);
        if (inJapanese)
            QCoreApplication::installTranslator(&japanese);
        Body b;
        QCOMPARE(menuListing(b), listing);
        QVERIFY(!action(b, "actionUndo")->isEnabled() && !action(b, "actionRedo")->isEnabled());
        edit(b, "8100");
        QVERIFY(action(b, "actionUndo")->isEnabled() && !action(b, "actionRedo")->isEnabled());
        call(b, "save", path("menus.cfg"));
        QCOMPARE(action(b, "actionRecent0")->text(), "&1 " + path("menus.cfg"));
        QVERIFY(action(b, "actionRecent0")->isVisible()
                && !action(b, "actionRecent1")->isVisible());

        action(b, "actionAbout")->trigger();
        action(b, "actionAbout")->trigger();
        QCOMPARE(b.findChildren<QMessageBox *>("aboutLumivard").size(), 1);
        QMessageBox *about = child<QMessageBox>(&b, "aboutLumivard");
        QVERIFY(about->isVisible() && !QApplication::activeModalWidget());
        for (const QString &part : {QString(LUMIVARD_VERSION), QString("MIT"), QString(qVersion())})
            QVERIFY2(about->text().contains(part), qPrintable(about->text()));
    }

    void viewEntries_data()
    {
        QTest::addColumn<QString>(
            "entries"); // Rest CPs, Square Grid, Scale Reset, Show Graph, help
        dataRow("buttons", "ResetCPs SquareG ScaleReset ShowGraph Help");
        dataRow("menus",
                "actionRestCPs actionSquareGrid actionScaleReset actionShowGraph actionSetupTypes");
    }
    // "Rest CPs" restarts the histories; "Square Grid" grows the short side about the centre,
    // once, in every plot window; "Scale Reset"; "Show Graph"; the help window.
    void viewEntries()
    {
        QFETCH(QString, entries);
        const QStringList e = entries.split(' ');
        Body b;
        const auto press = [&](int i) {
            if (QAction *a = b.findChild<QAction *>(e[i]))
                a->trigger();
            else
                child<QAbstractButton>(&b, qPrintable(e[i]))->click();
        };
        edit(b, "8100");
        press(0);
        QCOMPARE(b.avrCps.points.size(), 1);
        const QList<DispABase *> views{
            &b.overallView, &b.crystalsView, &b.focusView, &b.imagingView};
        for (const QRectF view : {QRectF(0, 0, 100, 10), QRectF(-5, 0, 10, 100)}) {
            for (DispABase *v : views)
                v->realC = view;
            press(1);
            press(1);
            for (DispABase *v : views) {
                const QRectF r = v->realC;
                QVERIFY(r.center() == view.center() && (r.width() == 100 || r.height() == 100));
                QVERIFY(near(r.width() / v->disp.width(), r.height() / v->disp.height(), 1e-12));
            }
        }
        b.crystalsView.close();
        press(2);
        press(3);
        for (DispABase *v : views)
            QVERIFY(v->realC == v->realC0 && v->isVisible());
        press(4);
        QTextEdit *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            help = w->isVisible() && w->findChild<QTextEdit *>() ? w->findChild<QTextEdit *>()
                                                                 : help;
        QVERIFY(help && !help->toPlainText().isEmpty());
        help->window()->close();
    }

    // The current file names the window; the mark shows a change that a save would write until
    // it is saved or undone, or a comment being typed; a load's undo gives the previous file
    // back.
    void title()
    {
        Body b, other;
        b.show();
        QVERIFY(title(b) == "Lumivard" && !b.designModified() && b.currentFile().isEmpty());
        edit(b, "8100");
        QCOMPARE(title(b), QString("Lumivard*"));
        call(b, "save", path("design.cfg"));
        QCOMPARE(title(b), QString("design.cfg - Lumivard"));
        QCOMPARE(b.windowFilePath(), path("design.cfg"));
        type(child<QLineEdit>(&b, "DE"), "-10");
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        action(b, "actionUndo")->trigger();
        QCOMPARE(title(b), QString("design.cfg - Lumivard"));
        QTest::keyClicks(child<QLineEdit>(&b, "Comment"), "x");
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        QTest::keyClick(child<QLineEdit>(&b, "Comment"), Qt::Key_Return);
        call(other, "save", path("other.cfg"));
        call(b, "load", path("other.cfg"));
        QCOMPARE(title(b), QString("other.cfg - Lumivard"));
        action(b, "actionUndo")->trigger();
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        action(b, "actionRedo")->trigger();
        QCOMPARE(title(b), QString("other.cfg - Lumivard"));
    }

    void question_data()
    {
        QTest::addColumn<QString>("before"); // "edit", "save", in order
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answers"); // to the question, then to its save dialog
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("written"); // the file that holds the design afterwards
        dataRow("unchanged: closes", "", "close", "", false, "");
        dataRow("saved: closes", "save edit save", "close", "", false, "");
        dataRow("Cancel", "edit", "close", "Cancel", true, "");
        dataRow("Discard", "edit", "close", "Discard", false, "");
        dataRow("Save to the current file", "save edit", "close", "Save", false, "current.cfg");
        dataRow("Save under a new name", "edit", "close", "Save named", false, "named.cfg");
        dataRow("Save, the dialog cancelled", "edit", "close", "Save Cancel", true, "");
        dataRow("Quit, Cancel", "edit", "actionQuit", "Cancel", true, "");
        dataRow("Quit, Discard", "edit", "actionQuit", "Discard", false, "");
        dataRow("Open, Cancel", "edit", "actionOpen", "Cancel", true, "");
        dataRow("Open, Discard", "edit", "actionOpen", "Discard", true, "");
        dataRow("Open, unchanged", "", "actionOpen", "", true, "");
        dataRow("the Load button does not ask", "edit", "Load", "", true, "");
        dataRow("the save slot does not ask", "edit", "save", "", true, "slot.cfg");
        dataRow("the load slot does not ask", "save edit", "load", "", true, "");
    }
    // Closing, Quit and Open ask once when the design has unsaved changes, and a save under a
    // new name asks for the name; Cancel keeps everything as it was. Open shows its dialog only
    // after the question.
    void question()
    {
        QFETCH(QString, before);
        QFETCH(QString, trigger);
        QFETCH(QString, answers);
        QFETCH(bool, staysOpen);
        QFETCH(QString, written);
        Body b;
        b.saveDialog.setDirectory(dir.path());
        b.show();
        QFile::remove(path(written));
        for (const QString &step : before.split(' ', Qt::SkipEmptyParts)) {
            if (step == "save")
                call(b, "save", path("current.cfg"));
            else
                edit(b, QString::number(8100 + b.undoStack.count()));
        }
        const QString design = b.designText();
        const QStringList given = answers.split(' ', Qt::SkipEmptyParts);
        const QStringList seen = answering(given, [&] {
            if (trigger == "close")
                b.close();
            else if (trigger.startsWith("action"))
                action(b, qPrintable(trigger))->trigger();
            else if (trigger == "Load")
                child<QPushButton>(&b, "Load")->click();
            else
                call(b, qPrintable(trigger), path(trigger == "save" ? "slot.cfg" : "current.cfg"));
        });
        QCOMPARE(seen, QStringList({"unsavedChanges", "saveBeforeLeaving"}).mid(0, given.size()));
        QCOMPARE(b.isVisible(), staysOpen);
        QCOMPARE(b.loadDialog.isVisible(),
                 trigger == "Load" || (trigger == "actionOpen" && answers != "Cancel"));
        QCOMPARE(b.designText(),
                 trigger == "load" ? QString::fromUtf8(contents("current.cfg")) : design);
        if (!written.isEmpty())
            QCOMPARE(contents(written), design.toUtf8());
        b.loadDialog.close();
    }

    void suffix_data()
    {
        QTest::addColumn<int>("filter"); // 0 design files, 1 any file
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        dataRow("no suffix", 0, "suffixless", "suffixless.cfg");
        dataRow("a suffix of its own", 0, "design.txt", "design.txt");
        dataRow("any file", 1, "plain", "plain");
    }
    // The Save dialog, not modal, appends ".cfg" to a name without a suffix only under the
    // "*.cfg" filter; Save then writes the current file again, without a dialog.
    void suffix()
    {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        Body b;
        b.saveDialog.setDirectory(dir.path());
        action(b, "actionSaveAs")->trigger();
        QVERIFY(b.saveDialog.isVisible() && !b.saveDialog.isModal());
        // The filter chosen as a user does, from the other one.
        auto *types = b.saveDialog.findChild<QComboBox *>("fileTypeCombo");
        types->setCurrentIndex(1 - filter);
        QTest::keyClick(types, filter ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(types->currentIndex(), filter);
        QCOMPARE(answering({}, [&] { chooseFile(&b.saveDialog, typed); }), QStringList());
        QCOMPARE(b.currentFile(), path(saved));
        QCOMPARE(contents(saved), b.designText().toUtf8());
        edit(b, "8200");
        action(b, "actionSave")->trigger();
        QVERIFY(!b.saveDialog.isVisible());
        QCOMPARE(contents(saved), b.designText().toUtf8());
    }

    // The last eight files opened or saved, newest first; a file no longer there is dropped
    // when chosen, with a message; another is loaded, after the question when it is needed.
    void recentFiles()
    {
        Body b;
        for (int i = 0; i < 9; ++i)
            call(b, "save", path(QString("r%1.cfg").arg(i)));
        call(b, "load", path("r3.cfg"));
        QStringList shown;
        for (int i = 0; i < kRecentFiles; ++i)
            shown << action(b, qPrintable(QString("actionRecent%1").arg(i)))->text();
        QCOMPARE(shown.join(' ').remove(dir.path() + '/'),
                 QString("&1 r3.cfg &2 r8.cfg &3 r7.cfg &4 r6.cfg &5 r5.cfg &6 r4.cfg &7 r2.cfg "
                         "&8 r1.cfg"));
        QVERIFY(!b.findChild<QAction *>("actionRecent8"));

        QFile::remove(path("r8.cfg"));
        action(b, "actionRecent1")->trigger();
        QVERIFY(shownMessage(b, path("r8.cfg")) && !QApplication::activeModalWidget());
        QVERIFY(::recentFiles().size() == 7 && !::recentFiles().contains(path("r8.cfg")));
        QCOMPARE(b.currentFile(), path("r3.cfg"));

        edit(b, "8300");
        for (const char *answer : {"Cancel", "Discard"}) { // r6.cfg, after the question
            QCOMPARE(answering({answer}, [&] { action(b, "actionRecent2")->trigger(); }),
                     QStringList("unsavedChanges"));
            QCOMPARE(b.currentFile(), path(answer[0] == 'C' ? "r3.cfg" : "r6.cfg"));
        }
        QCOMPARE(::recentFiles().first(), path("r6.cfg"));
    }

    void lastFolder_data()
    {
        QTest::addColumn<QString>("dialog"); // where a file is chosen
        QTest::addColumn<QString>("name");
        dataRow("Save", QString("saveDialog"), QString("saved.cfg"));
        dataRow("Open", QString("loadDialog"), QString("opened.cfg"));
        dataRow("Export Crystal Table", QString("tableDialog"), QString("table.csv"));
        dataRow("Export Plot", QString("plotDialog"), QString("plot.png"));
    }
    // The open, save and export dialogs start in the folder where a file was last chosen in any
    // of them, in this run and after a restart.
    void lastFolder()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, name);
        const QString folder = path("folder of " + dialog);
        QVERIFY(QDir().mkpath(folder));
        const auto files = [](Body &b, const QString &d) {
            return d == "saveDialog"   ? &b.saveDialog
                   : d == "loadDialog" ? &b.loadDialog
                                       : child<QFileDialog>(&b, qPrintable(d));
        };
        const auto startFolders = [&](Body &b) {
            action(b, "actionExportTable")->trigger();
            action(b, "actionExportPlot")->trigger();
            QStringList folders;
            for (const char *d : {"saveDialog", "loadDialog", "tableDialog", "plotDialog"}) {
                folders << files(b, d)->directory().absolutePath();
                files(b, d)->close();
            }
            return folders;
        };
        {
            Body b;
            call(b, "save", folder + "/opened.cfg");
            startFolders(b);
            files(b, dialog)->show();
            chooseFile(files(b, dialog), folder + '/' + name);
            QVERIFY(QFileInfo::exists(folder + '/' + name));
            QCOMPARE(startFolders(b), QStringList({folder, folder, folder, folder}));
        }
        Body restarted;
        QCOMPARE(startFolders(restarted), QStringList({folder, folder, folder, folder}));
    }

    void startFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // the warning shown; empty: the design is opened
        dataRow("a design", QString("start.cfg"), QString());
        dataRow("missing", QString("missing.cfg"), QString("cannot be read"));
        dataRow("not a design", QString("notes.txt"), QString("holds no design"));
    }
    // The design named on the command line is opened once the window is up, as Load opens it,
    // and what Load would say about it is shown in the window.
    void startFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("Si 111, 8 keV\n") > 0);
        notes.close();
        {
            Body writer;
            edit(writer, "8100");
            call(writer, "save", path("start.cfg"));
        }
        Body b;
        b.show();
        if (file == "missing.cfg")
            QTest::ignoreMessage(QtDebugMsg,
                                 qPrintable("Can't open \"" + path(file) + "\" to load."));
        b.openAtStart(path(file));
        if (message.isEmpty()) {
            QTRY_COMPARE(b.currentFile(), path(file));
            QCOMPARE(child<QLineEdit>(&b, "StartE")->text(), QString("8100"));
        } else {
            QTRY_VERIFY(shownMessage(b, message));
            QVERIFY(shownMessage(b, QDir::toNativeSeparators(path(file)))->isVisible());
            QVERIFY(b.currentFile().isEmpty());
        }
    }

    // A text file that is not a design changes nothing, and a window that holds nothing up names
    // it; one line with a key is a design.
    void noDesign()
    {
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("Si 111, 8 keV\n# Notes\n") > 0);
        notes.close();
        Body b;
        edit(b, "8100");
        const QString design = b.designText();
        const int steps = b.undoStack.count();
        call(b, "load", path("notes.txt"));
        call(b, "load", path("notes.txt"));
        QCOMPARE(b.designText(), design);
        QVERIFY(b.currentFile().isEmpty() && b.undoStack.count() == steps);
        QMessageBox *box = shownMessage(b, QDir::toNativeSeparators(path("notes.txt")));
        QVERIFY(box && !box->isModal() && b.findChildren<QMessageBox *>().size() == 1);

        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("# Comment            : x\n") > 0);
        notes.close();
        call(b, "load", path("notes.txt"));
        QCOMPARE(child<QLineEdit>(&b, "Comment")->text(), QString("x"));
        QCOMPARE(b.currentFile(), path("notes.txt"));
    }

    void longNumber_data()
    {
        QTest::addColumn<bool>("inJapanese");
        dataRow("English", false);
        dataRow("Japanese", true);
    }
    // 1e300 typed into Pos. X keeps its text, which scrolls inside its field; the row fields keep
    // their widths, and the read-outs of the design, now of numbers near 1e301, ask for no more
    // room than those of the first design, so the window does not grow with them.
    void longNumber()
    {
        QFETCH(bool, inJapanese);
        if (inJapanese)
            QCoreApplication::installTranslator(&japanese);
        Body b;
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QMap<QString, int> room;
        for (const char *name : {"AvrCps", "AvrIps", "MPos"})
            room[name] = child<QLabel>(&b, name)->minimumSizeHint().width();
        const QList<QLineEdit *> fields = b.crystals.at(0)->findChildren<QLineEdit *>();
        QList<int> widths;
        for (QLineEdit *f : fields)
            widths << f->width();
        QLineEdit *x = child<QLineEdit>(b.crystals.at(0), "X");
        type(x, "1e300");
        for (DispABase *v : {&b.overallView, &b.crystalsView, &b.focusView, &b.imagingView})
            v->disp.grab();
        QCoreApplication::processEvents();
        QCOMPARE(x->text(), QString::asprintf("%11.5f", 1e300));
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(fields[i]->width(), widths[i]);
        for (const char *name : {"AvrCps", "AvrIps", "MPos"}) {
            auto *readout = child<QLabel>(&b, name);
            QVERIFY2(readout->text().contains("e+301"), qPrintable(readout->text()));
            QVERIFY2(readout->minimumSizeHint().width() <= room[name], name);
        }
    }

    void typed_data()
    {
        QTest::addColumn<bool>("inJapanese");
        QTest::addColumn<QString>("field"); // a panel field, or "r:i:Field" of crystal i's row
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("crystals"); // 10: the design as it was
        dataRow("letters", false, "StartE", "abc", "Not a number: abc", 10);
        dataRow("nan in a row", false, "r:3:X", "nan", "Not a number: nan", 10);
        dataRow("Japanese", true, "DE", "1e999", "数値ではありません: 1e999", 10);
        dataRow("Japanese, a row", true, "r:0:Energy", "", "数値ではありません: (空欄)", 10);
        dataRow("Japanese, a count", true, "Num", "7.5", "整数ではありません: 7.5", 10);
        dataRow("7.0 crystals", false, "Num", "7.0", "", 7);
        dataRow("12.000 crystals", false, "Num", "12.000", "", 12);
        dataRow("the spacing is shown, not typed", false, "Spacing", "9", "", 10);
    }
    // "Num of C." lays out whole numbers however written. A refused text lays nothing out and
    // adds no history entry, and the status bar says why.
    void typed()
    {
        QFETCH(bool, inJapanese);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, crystals);
        if (inJapanese)
            QCoreApplication::installTranslator(&japanese);
        Body b;
        const QVector<ACrystal *> before = b.crystals;
        const QString design = b.designText();
        const QStringList p = field.split(':');
        QObject *owner = p.size() == 3 ? b.crystals.at(p[1].toInt()) : static_cast<QObject *>(&b);
        QLineEdit *edit = owner->findChild<QLineEdit *>(p.last());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(b.statusBar()->currentMessage(), message);
        QCOMPARE(b.crystals.size(), crystals);
        QVERIFY(crystals != 10 || (b.crystals == before && b.avrCps.points.size() == 1));
        QVERIFY(crystals != 10 || (b.designText() == design && b.undoStack.count() == 0));
        QVERIFY(crystals != 10 || !b.designModified());
    }
};

LUMIVARD_TEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
