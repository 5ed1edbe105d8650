// The main window as a desktop program: its menus and shortcuts in both languages, the menus'
// entries doing what the buttons do, the current file in the title, the question about unsaved
// changes, the save dialog's suffix, the recent files, a file that holds no design, the command
// line, and input that is refused.
#include "body.h"
#include "filenames.h"
#include "language.h"
#include "resources.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Answers the modal windows as they come up, in order: a button of the question ("Save",
// "Discard", "Cancel") or a name for a modal save dialog ("" cancels it). A modal window beyond
// the answers is cancelled and recorded as unexpected.
class Answers : public QObject
{
public:
    explicit Answers(const QStringList &answers) : left(answers)
    {
        connect(&timer, &QTimer::timeout, this, &Answers::answer);
        timer.start(10);
    }
    QStringList seen; // object names of the windows answered

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        const QString a = left.isEmpty() ? QString("Cancel") : left.takeFirst();
        seen << modal->objectName();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->button(a == "Save"      ? QMessageBox::Save
                        : a == "Discard" ? QMessageBox::Discard
                                         : QMessageBox::Cancel)
                ->click();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            if (a.isEmpty() || a == "Cancel") {
                files->reject();
            } else {
                files->selectFile(a);
                static_cast<QDialog *>(files)->accept();
            }
        } else {
            modal->close();
        }
    }
    QStringList left;
    QTimer timer;
};

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
    // The title as the window system shows it, with the modified mark in place of "[*]".
    static QString title(Body &b) { return b.windowHandle()->title(); }
    static QString status(Body &b) { return b.statusBar()->currentMessage(); }
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
            QString(
                "menuFile &File: actionOpen &Open... Ctrl+O | actionSave &Save Ctrl+S | "
                "actionSaveAs Save &As... Ctrl+Shift+S | actionExportTable Export Crystal "
                "&Table... | "
                "actionExportPlot &Export Plot... | actionPrintPlot &Print Plot... | "
                "actionQuit &Quit Ctrl+Q; "
                "menuEdit &Edit: actionUndo &Undo Ctrl+Z | "
                "actionRedo &Redo Ctrl+Shift+Z, Ctrl+Y; "
                "menuView &View: actionShowGraph Show Graph | actionSquareGrid Square "
                "Grid | actionScaleReset Scale Reset | actionRestCPs Rest CPs | actionBands Bands; "
                "menuHelp &Help: actionSetupTypes Setup &Types F1 | "
                "actionAbout &About Lumivard"));
        dataRow(
            "Japanese",
            true,
            QString("menuFile ファイル: actionOpen 開く... Ctrl+O | actionSave 保存 Ctrl+S | "
                    "actionSaveAs 名前を付けて保存... Ctrl+Shift+S | "
                    "actionExportTable 結晶テーブルのエクスポート... | "
                    "actionExportPlot グラフのエクスポート... | actionPrintPlot グラフの印刷... | "
                    "actionQuit 終了 Ctrl+Q; "
                    "menuEdit 編集: actionUndo 元に戻す Ctrl+Z | "
                    "actionRedo やり直し Ctrl+Shift+Z, Ctrl+Y; "
                    "menuView 表示: actionShowGraph グラフ表示 | actionSquareGrid "
                    "グリッド正方化 | actionScaleReset スケールリセット | actionRestCPs "
                    "焦点軌跡リセット | actionBands バンド; menuHelp ヘルプ: actionSetupTypes "
                    "配置タイプの説明 F1 | "
                    "actionAbout Lumivard について"));
    }
    // The four menus in order with their entries and shortcuts; the recent files are listed
    // only once there are some; undo and redo are enabled only when there is a step.
    void menus()
    {
        QFETCH(bool, inJapanese);
        QFETCH(QString, listing);
        if (inJapanese)
            QCoreApplication::installTranslator(&japanese);
        Body b;
        QCOMPARE(menuListing(b), listing);
        QVERIFY(!action(b, "actionUndo")->isEnabled() && !action(b, "actionRedo")->isEnabled());
        type(child<QLineEdit>(&b, "StartE"), "8100");
        QVERIFY(action(b, "actionUndo")->isEnabled() && !action(b, "actionRedo")->isEnabled());
        call(b, "save", path("menus.cfg"));
        QCOMPARE(action(b, "actionRecent0")->text(), "&1 " + path("menus.cfg"));
        QVERIFY(action(b, "actionRecent0")->isVisible()
                && !action(b, "actionRecent1")->isVisible());
    }

    // The View entries are the buttons' clicks; Setup Types shows the help window, About a
    // window of its own that holds nothing up, once however often it is asked for.
    void viewAndHelp()
    {
        Body b;
        type(child<QLineEdit>(&b, "StartE"), "8100");
        action(b, "actionRestCPs")->trigger();
        QCOMPARE(b.avrCps.points.size(), 1);
        b.focusView.realC = QRectF(0, 0, 100, 10);
        action(b, "actionSquareGrid")->trigger();
        QVERIFY(near(b.focusView.realC.width() / b.focusView.disp.width(),
                     b.focusView.realC.height() / b.focusView.disp.height(),
                     1e-12));
        action(b, "actionScaleReset")->trigger();
        QCOMPARE(b.focusView.realC, b.focusView.realC0);
        b.crystalsView.close();
        action(b, "actionShowGraph")->trigger();
        QVERIFY(b.crystalsView.isVisible());

        action(b, "actionSetupTypes")->trigger();
        QTextEdit *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            help = w->isVisible() && w->findChild<QTextEdit *>() ? w->findChild<QTextEdit *>()
                                                                 : help;
        QVERIFY(help && !help->toPlainText().isEmpty());

        action(b, "actionAbout")->trigger();
        action(b, "actionAbout")->trigger();
        QCOMPARE(b.findChildren<QMessageBox *>("aboutLumivard").size(), 1);
        QMessageBox *about = child<QMessageBox>(&b, "aboutLumivard");
        QVERIFY(about->isVisible() && !QApplication::activeModalWidget());
        for (const QString &part : {QString(LUMIVARD_VERSION), QString("MIT"), QString(qVersion())})
            QVERIFY2(about->text().contains(part), qPrintable(about->text()));
    }

    // The current file names the window; the mark shows a change that a save would write until
    // it is saved or undone; a load's undo gives the previous file back.
    void title()
    {
        Body b;
        b.show();
        QCOMPARE(title(b), QString("Lumivard"));
        QVERIFY(!b.designModified() && b.currentFile().isEmpty());
        type(child<QLineEdit>(&b, "StartE"), "8100");
        QCOMPARE(title(b), QString("Lumivard*"));
        call(b, "save", path("design.cfg"));
        QCOMPARE(title(b), QString("design.cfg - Lumivard"));
        QCOMPARE(b.windowFilePath(), path("design.cfg"));
        type(child<QLineEdit>(&b, "DE"), "-10");
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        action(b, "actionUndo")->trigger();
        QCOMPARE(title(b), QString("design.cfg - Lumivard"));
        // The comment counts as it is typed.
        QTest::keyClicks(child<QLineEdit>(&b, "Comment"), "x");
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        QTest::keyClick(child<QLineEdit>(&b, "Comment"), Qt::Key_Return);
        const QString beforeLoad = b.designText();
        Body other;
        call(other, "save", path("other.cfg"));
        call(b, "load", path("other.cfg"));
        QCOMPARE(title(b), QString("other.cfg - Lumivard"));
        action(b, "actionUndo")->trigger();
        QCOMPARE(title(b), QString("design.cfg* - Lumivard"));
        QCOMPARE(b.designText(), beforeLoad);
        action(b, "actionRedo")->trigger();
        QCOMPARE(title(b), QString("other.cfg - Lumivard"));
    }

    void question_data()
    {
        QTest::addColumn<QString>("before"); // "edit", "save, edit", or nothing
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("written"); // the file that holds the design afterwards
        QTest::addColumn<QString>("asked");   // the modal windows that came up
        const QStringList none;
        dataRow("unchanged: closes", "", "close", none, false, "", "");
        dataRow("saved: closes", "save, edit, save", "close", none, false, "", "");
        dataRow("Cancel", "edit", "close", QStringList{"Cancel"}, true, "", "unsavedChanges");
        dataRow("Discard", "edit", "close", QStringList{"Discard"}, false, "", "unsavedChanges");
        dataRow("Save to the current file",
                "save, edit",
                "close",
                QStringList{"Save"},
                false,
                "current.cfg",
                "unsavedChanges");
        dataRow("Save under a new name",
                "edit",
                "close",
                QStringList{"Save", "named"},
                false,
                "named.cfg",
                "unsavedChanges saveBeforeLeaving");
        dataRow("Save, the dialog cancelled",
                "edit",
                "close",
                QStringList{"Save", ""},
                true,
                "",
                "unsavedChanges saveBeforeLeaving");
        dataRow("Quit, Cancel", "edit", "quit", QStringList{"Cancel"}, true, "", "unsavedChanges");
        dataRow(
            "Quit, Discard", "edit", "quit", QStringList{"Discard"}, false, "", "unsavedChanges");
        dataRow("Open, Cancel", "edit", "open", QStringList{"Cancel"}, true, "", "unsavedChanges");
        dataRow(
            "Open, Discard", "edit", "open", QStringList{"Discard"}, true, "", "unsavedChanges");
        dataRow("Open, unchanged", "", "open", none, true, "", "");
        dataRow("the Load button does not ask", "edit", "Load", none, true, "", "");
        dataRow("the save slot does not ask", "edit", "save", none, true, "slot.cfg", "");
        dataRow("the load slot does not ask", "save, edit", "load", none, true, "", "");
    }
    // Closing, Quit and Open ask once when the design has unsaved changes; Cancel keeps
    // everything as it was. Open shows its dialog only after the question.
    void question()
    {
        QFETCH(QString, before);
        QFETCH(QString, trigger);
        QFETCH(QStringList, answers);
        QFETCH(bool, staysOpen);
        QFETCH(QString, written);
        QFETCH(QString, asked);
        Body b;
        b.saveDialog.setDirectory(dir.path());
        b.show();
        QFile::remove(path(written));
        for (const QString &step : before.split(", ", Qt::SkipEmptyParts)) {
            if (step == "save")
                call(b, "save", path("current.cfg"));
            else
                type(child<QLineEdit>(&b, "StartE"), QString::number(8100 + b.undoStack.count()));
        }
        const QString design = b.designText();
        Answers answering(answers);
        if (trigger == "close")
            b.close();
        else if (trigger == "quit")
            action(b, "actionQuit")->trigger();
        else if (trigger == "open")
            action(b, "actionOpen")->trigger();
        else if (trigger == "Load")
            child<QPushButton>(&b, "Load")->click();
        else if (trigger == "save")
            call(b, "save", path("slot.cfg"));
        else
            call(b, "load", path("current.cfg"));
        QCOMPARE(answering.seen.join(' '), asked);
        QCOMPARE(b.isVisible(), staysOpen);
        QCOMPARE(b.loadDialog.isVisible(),
                 trigger == "Load" || (trigger == "open" && answers != QStringList{"Cancel"}));
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
        dataRow("already .cfg", 0, "keep.cfg", "keep.cfg");
        dataRow("any file", 1, "plain", "plain");
    }
    // The Save dialog appends ".cfg" to a name without a suffix only under the "*.cfg" filter.
    void suffix()
    {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QCOMPARE(defaultSuffixFor(filter ? "Any File (* *.*)" : "Configuration File (*.cfg)"),
                 filter ? QString() : QString("cfg"));
        Body b;
        b.saveDialog.setDirectory(dir.path());
        action(b, "actionSaveAs")->trigger();
        QVERIFY(b.saveDialog.isVisible() && !b.saveDialog.isModal());
        // The filter chosen as a user does, from the other one.
        auto *types = b.saveDialog.findChild<QComboBox *>("fileTypeCombo");
        types->setCurrentIndex(1 - filter);
        QTest::keyClick(types, filter ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(types->currentIndex(), filter);
        b.saveDialog.selectFile(typed);
        Answers none({});
        static_cast<QDialog &>(b.saveDialog).accept();
        QCOMPARE(none.seen, QStringList());
        QCOMPARE(b.currentFile(), path(saved));
        QCOMPARE(contents(saved), b.designText().toUtf8());
        // Save writes the current file again, without a dialog.
        type(child<QLineEdit>(&b, "StartE"), "8200");
        action(b, "actionSave")->trigger();
        QVERIFY(!b.saveDialog.isVisible());
        QCOMPARE(contents(saved), b.designText().toUtf8());
    }

    // The last eight files opened or saved, newest first; a file no longer there is dropped
    // when chosen, with a message; another is loaded, after the question when it is needed.
    void recentFiles()
    {
        QCOMPARE(withRecentFile({"a", "b", "c"}, "c", 3), QStringList({"c", "a", "b"}));
        QCOMPARE(withRecentFile({"a", "b", "c"}, "d", 3), QStringList({"d", "a", "b"}));
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
        QVERIFY(!child<QAction>(&b, "actionRecent8"));

        QFile::remove(path("r8.cfg"));
        action(b, "actionRecent1")->trigger();
        QVERIFY(shownMessage(b, path("r8.cfg")) && !QApplication::activeModalWidget());
        QCOMPARE(::recentFiles().size(), 7);
        QVERIFY(!::recentFiles().contains(path("r8.cfg")));
        QCOMPARE(b.currentFile(), path("r3.cfg"));

        type(child<QLineEdit>(&b, "StartE"), "8300");
        {
            Answers answering({"Cancel"});
            action(b, "actionRecent2")->trigger(); // r6.cfg, after the question
            QCOMPARE(answering.seen, QStringList("unsavedChanges"));
        }
        QCOMPARE(b.currentFile(), path("r3.cfg"));
        {
            Answers answering({"Discard"});
            action(b, "actionRecent2")->trigger();
        }
        QCOMPARE(b.currentFile(), path("r6.cfg"));
        QCOMPARE(::recentFiles().first(), path("r6.cfg"));
    }

    // A text file that is not a design changes nothing, and a window that holds nothing up names
    // it; one line with a key is a design.
    void noDesign()
    {
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("Si 111, 8 keV\n# Notes\n") > 0);
        notes.close();
        Body b;
        type(child<QLineEdit>(&b, "StartE"), "8100");
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

    void refused_data()
    {
        QTest::addColumn<bool>("inJapanese");
        QTest::addColumn<QString>("field"); // a panel field, or "r:i:Field" of crystal i's row
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        dataRow("letters", false, "StartE", "abc", "Not a number: abc");
        dataRow("nan in a row", false, "r:3:X", "nan", "Not a number: nan");
        dataRow("a fraction of crystals", false, "Num", "2.7", "Not a whole number: 2.7");
        dataRow("Japanese", true, "DE", "1e999", "数値ではありません: 1e999");
        dataRow("Japanese, a row", true, "r:0:Energy", "", "数値ではありません: (空欄)");
        dataRow("Japanese, a count", true, "Num", "7.5", "整数ではありません: 7.5");
    }
    // A refused text lays nothing out and adds no history entry, and the status bar says why.
    void refused()
    {
        QFETCH(bool, inJapanese);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        if (inJapanese)
            QCoreApplication::installTranslator(&japanese);
        Body b;
        const QVector<ACrystal *> crystals = b.crystals;
        const QString design = b.designText();
        const QStringList p = field.split(':');
        QObject *owner = p.size() == 3 ? b.crystals.at(p[1].toInt()) : static_cast<QObject *>(&b);
        QLineEdit *edit = owner->findChild<QLineEdit *>(p.last());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(status(b), message);
        QVERIFY(b.crystals == crystals && b.avrCps.points.size() == 1);
        QVERIFY(b.designText() == design && b.undoStack.count() == 0 && !b.designModified());
    }

    // "Num of C." lays out whole numbers however written; the spacing is shown, not typed.
    void countsAndSpacing()
    {
        Body b;
        for (const char *count : {"7.0", "7e0", "3", "12.000"}) {
            type(child<QLineEdit>(&b, "Num"), count);
            QCOMPARE(QString::number(b.crystals.size()),
                     QString::number(QString(count).toDouble()));
        }
        QLineEdit *spacing = child<QLineEdit>(&b, "Spacing");
        QVERIFY(spacing->isReadOnly());
        type(spacing, "9");
        QCOMPARE(spacing->text(), QString("3.13507"));
    }
};

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
