// Undo and redo of the design: random edits made through the interface, undone back to the start
// and redone to the end, each step giving back exactly what a save wrote at that point; the
// limit of steps; a load's undo with its current file; the focus history; the undo keys in a
// field.
#include "body.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

#include <random>

class tst_Undo : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::mt19937_64 rng{20240611};
    int pick(int n) { return int(rng() % quint64(n)); }
    QString number(double lo, double hi)
    {
        return QString::number(std::uniform_real_distribution<double>(lo, hi)(rng), 'f', pick(4));
    }
    static QAction *action(Body &b, const char *name) { return child<QAction>(&b, name); }
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // One random change as a user makes it; some change nothing a save would write, some are
    // refused.
    QString edit(Body &body)
    {
        const int kind = pick(9);
        if (kind < 2) {
            const QString name = QString("StartE DE Num DX DY Length RotateAllDeg LatticeC IndexH")
                                     .split(' ')[pick(9)];
            const QString text = name == "Num"        ? QString::number(1 + pick(6))
                                 : name == "IndexH"   ? QString::number(1 + pick(2))
                                 : name == "LatticeC" ? QString("5.%1").arg(4 + pick(3))
                                                      : number(-20, 20);
            type(child<QLineEdit>(&body, qPrintable(name)), text);
            return name + " <- " + text;
        }
        if (kind == 2) {
            const QString t = QString("Type%1").arg(1 + pick(7));
            child<QRadioButton>(&body, qPrintable(t))->click();
            return t;
        }
        if (kind == 3) {
            child<QComboBox>(&body, "SelCrystal")->setCurrentIndex(pick(2));
            return "material";
        }
        if (kind == 4) {
            child<QCheckBox>(&body, "RotateAll")->click();
            return "Rotate All";
        }
        if (kind < 7) {
            if (body.crystals.isEmpty())
                return "no row";
            const int i = pick(body.crystals.size());
            const QString name = QString("X Y Deg Energy Length").split(' ')[pick(5)];
            const QString text = pick(6) == 0 ? QString("abc") : number(-30, 30);
            type(rowField<QLineEdit>(body.crystals[i], qPrintable(name)), text);
            return QString("row %1 %2 <- %3").arg(i).arg(name, text);
        }
        if (kind == 7) {
            const QString text = QString("note %1").arg(pick(3));
            type(child<QLineEdit>(&body, "Comment"), text);
            return "comment " + text;
        }
        // One of three files, now and then written anew by another window.
        const QString file = dir.filePath(QString("%1.cfg").arg(pick(3)));
        if (!QFile::exists(file) || pick(2)) {
            Body other;
            type(child<QLineEdit>(&other, "Num"), QString::number(1 + pick(5)));
            QMetaObject::invokeMethod(&other, "save", Q_ARG(QString, file));
        }
        QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, file));
        return "load " + file;
    }

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
        QStringList texts{b.designText()}, files{b.currentFile()}, did{"start"};
        for (int i = 0; i < 60; ++i) {
            const int steps = b.undoStack.count();
            const QString what = edit(b);
            settle();
            const bool changed = b.designText() != texts.last() || b.currentFile() != files.last();
            QVERIFY2(b.undoStack.count() - steps == int(changed), qPrintable(what));
            if (changed) {
                texts << b.designText();
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

    // Ctrl+Z and Ctrl+Y in a field after its edit was finished undo and redo the design; while
    // the field holds unfinished typing they undo the typing. An undo is an analysis like any
    // other: the focus history grows by one entry, the first design's focus again (from the rows
    // as a save writes them, to five decimals).
    void keysInAField()
    {
        Body b;
        b.show();
        b.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&b));
        QLineEdit *start = child<QLineEdit>(&b, "StartE");
        type(start, "8100");
        const QVector<Point> &cps = b.avrCps.points;
        QTest::keyClick(start, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(start->text() == "8000" && b.undoStack.index() == 0);
        QVERIFY(cps.size() == 3 && b.avrIps.points.size() == 3 && near(cps[2].x, cps[0].x, 1e-3));
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

LUMIVARD_TEST_MAIN(tst_Undo)
#include "tst_undo.moc"
