// Undo and redo of the design: random edits made through the interface, undone back to the start
// and redone to the end, each step giving back exactly what a save wrote at that point; the
// limit of steps; a load's undo with its current file; the focus history; the undo keys in a
// field.
#include "body.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

#include <random>

namespace {

const char *const kPanelFields[]
    = {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg", "LatticeC", "IndexH"};
const char *const kRowFields[] = {"X", "Y", "Deg", "Energy", "Length"};

// One random change as a user makes it; some change nothing a save would write, some are
// refused.
class Editor
{
public:
    Editor(Body &body, const QString &folder) : body(body), folder(folder) {}

    QString edit()
    {
        switch (pick(9)) {
        case 0:
        case 1: {
            const char *name = kPanelFields[pick(9)];
            const QString text = QByteArray(name) == "Num"        ? QString::number(1 + pick(6))
                                 : QByteArray(name) == "IndexH"   ? QString::number(1 + pick(2))
                                 : QByteArray(name) == "LatticeC" ? QString("5.%1").arg(4 + pick(3))
                                                                  : number(-20, 20);
            type(child<QLineEdit>(&body, name), text);
            return QString("%1 <- %2").arg(name, text);
        }
        case 2: {
            const int t = 1 + pick(7);
            child<QRadioButton>(&body, qPrintable(QString("Type%1").arg(t)))->click();
            return QString("type %1").arg(t);
        }
        case 3:
            child<QComboBox>(&body, "SelCrystal")->setCurrentIndex(pick(2));
            return "material";
        case 4:
            child<QCheckBox>(&body, "RotateAll")->click();
            return "Rotate All";
        case 5:
        case 6: {
            if (body.crystals.isEmpty())
                return "no row";
            const int i = pick(body.crystals.size());
            const char *name = kRowFields[pick(5)];
            const QString text = pick(6) == 0 ? QString("abc") : number(-30, 30);
            type(child<QLineEdit>(body.crystals[i], name), text);
            return QString("row %1 %2 <- %3").arg(i).arg(name, text);
        }
        case 7: {
            const QString text = QString("note %1").arg(pick(3));
            type(child<QLineEdit>(&body, "Comment"), text);
            return "comment " + text;
        }
        default: {
            // One of three files, now and then written anew by another window.
            const QString file = QString("%1/%2.cfg").arg(folder).arg(pick(3));
            if (!QFile::exists(file) || pick(2)) {
                Body other;
                type(child<QLineEdit>(&other, "Num"), QString::number(1 + pick(5)));
                QMetaObject::invokeMethod(&other, "save", Q_ARG(QString, file));
            }
            QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, file));
            return "load " + file;
        }
        }
    }

private:
    int pick(int n) { return int(rng() % quint64(n)); }
    QString number(double lo, double hi)
    {
        return QString::number(std::uniform_real_distribution<double>(lo, hi)(rng), 'f', pick(4));
    }

    Body &body;
    QString folder;
    std::mt19937_64 rng{20240611};
};

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_Undo : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    static QAction *action(Body &b, const char *name) { return child<QAction>(&b, name); }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    }
    void cleanup() { settle(); }

    // Each edit that changes what a save writes is one step (a load also when it only changes
    // the file); undo walks back through exactly the saved texts, redo forward again.
    void randomEdits()
    {
        Body b;
        for (DispABase *v : {&b.overallView, &b.crystalsView, &b.focusView, &b.imagingView})
            v->hide();
        Editor editor(b, dir.path());
        QStringList texts{b.designText()}, files{b.currentFile()}, did{"start"};
        for (int i = 0; i < 60; ++i) {
            const int steps = b.undoStack.count();
            const QString what = editor.edit();
            settle();
            const QString text = b.designText();
            const int added = b.undoStack.count() - steps;
            const bool changed = text != texts.last() || b.currentFile() != files.last();
            QVERIFY2(added == (changed ? 1 : 0), qPrintable(QString("%1: %2").arg(i).arg(what)));
            if (added) {
                texts << text;
                files << b.currentFile();
                did << what;
            }
        }
        QVERIFY(texts.size() > 30);
        for (int k = texts.size() - 2; k >= 0; --k) {
            action(b, "actionUndo")->trigger();
            QVERIFY2(b.designText() == texts[k] && b.currentFile() == files[k],
                     qPrintable("undoing " + did[k + 1]));
        }
        QVERIFY(!b.undoStack.canUndo() && !b.designModified());
        for (int k = 1; k < texts.size(); ++k) {
            action(b, "actionRedo")->trigger();
            QVERIFY2(b.designText() == texts[k] && b.currentFile() == files[k],
                     qPrintable("redoing " + did[k]));
        }
        QVERIFY(!b.undoStack.canRedo());
    }

    // At most 200 steps are kept: the oldest go first.
    void limit()
    {
        Body b;
        type(child<QLineEdit>(&b, "Num"), "1");
        for (int i = 1; i <= Body::kUndoSteps + 5; ++i)
            type(child<QLineEdit>(&b, "StartE"), QString::number(8000 + i));
        QCOMPARE(b.undoStack.count(), Body::kUndoSteps);
        while (b.undoStack.canUndo())
            action(b, "actionUndo")->trigger();
        QCOMPARE(child<QLineEdit>(&b, "StartE")->text(), QString::number(8000 + 5));
    }

    // An undo is an analysis like any other: the focus history grows by one entry.
    void historyRecordsUndo()
    {
        Body b;
        type(child<QLineEdit>(&b, "StartE"), "8100");
        const int entries = b.avrCps.points.size();
        action(b, "actionUndo")->trigger();
        QCOMPARE(b.avrCps.points.size(), entries + 1);
        QCOMPARE(b.avrIps.points.size(), entries + 1);
        // The first design's focus again, from the rows as a save writes them (five decimals).
        QVERIFY(near(b.avrCps.points.last().x, b.avrCps.points.first().x, 1e-3));
    }

    // Ctrl+Z and Ctrl+Y in a field after its edit was finished undo and redo the design; while
    // the field holds unfinished typing they undo the typing.
    void keysInAField()
    {
        Body b;
        b.show();
        b.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&b));
        QLineEdit *start = child<QLineEdit>(&b, "StartE");
        type(start, "8100");
        QTest::keyClick(start, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(start->text() == "8000" && b.undoStack.index() == 0);
        QTest::keyClick(start, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(start->text() == "8100" && b.undoStack.index() == 1);
        QTest::keyClick(start, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(start, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(b.crystals.first()->energyText(), QString(" 8100.0000"));
        QTest::keyClicks(start, "5");
        QTest::keyClick(start, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(start->text() == "8100" && b.undoStack.index() == 1 && !b.undoStack.canRedo());
    }
};

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
