// A sweep run on threads gives the rows of the command line's one-after-the-other run, leaves the
// design as it was and refuses before it runs; a document without undo steps still knows
// whether it was changed.
#include "designdocument.h"
#include "report.h"
#include "sweep.h"
#include "testsupport.h"

#include <QtTest>

class tst_Sweep : public QObject
{
    Q_OBJECT

    // The rows as a sweep made them before it ran on threads: every value typed in turn into
    // one document.
    static QVector<QByteArray>
    oneAfterTheOther(const DesignDocument &design, const QString &name, const QStringList &values)
    {
        DesignDocument doc;
        doc.copyFrom(design);
        QVector<QByteArray> rows;
        for (const QString &v : values) {
            if (doc.apply(name, v))
                return {};
            rows.append(sweepRow(doc, v));
        }
        return rows;
    }

    static QStringList texts(double from, double to, double step)
    {
        QStringList out;
        for (const double v : sweepValues({QString(), from, to, step}))
            out.append(sweepValueText(v));
        return out;
    }

private slots:
    void rows_data()
    {
        QTest::addColumn<QString>("file"); // a design of fuzz/corpus, or the default one
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("values");
        dataRow("DE", QString(), QString("DE"), texts(-0.5, -15, -0.5));
        dataRow("StartE", QString("type5.cfg"), QString("StartE"), texts(7000, 9000, 100));
        dataRow("Num, from 0 to above the bound",
                QString("type2.cfg"),
                QString("Num"),
                QStringList{"0",
                            "1",
                            "2",
                            "7",
                            "30",
                            "1200",
                            "3",
                            "5",
                            "9",
                            "12",
                            "15",
                            "20",
                            "2",
                            "4",
                            "6",
                            "8",
                            "10"});
        dataRow("LatticeC", QString("type7.cfg"), QString("LatticeC"), texts(5.3, 5.7, 0.02));
        dataRow("RotateAll", QString("type4.cfg"), QString("RotateAll"), texts(-20, 20, 2));
        dataRow("DY", QString("type6.cfg"), QString("DY"), texts(0.5, 10, 0.5));
        // Run in order: Type changes nothing for the type shown (here the file's, after others,
        // at the start of a thread's block), a crystal's edit changes it as the one before left it.
        dataRow("Type back to the file's",
                QString("type3-200.cfg"),
                QString("Type"),
                QStringList{"2", "3", "4", "5", "6", "7", "2", "4", "3", "4", "5"});
        dataRow("crystal.3.Length",
                QString("type3.cfg"),
                QString("crystal.3.Length"),
                texts(1, 20, 0.37));
    }
    void rows()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QStringList, values);
        DesignDocument design;
        if (!file.isEmpty())
            QCOMPARE(design.load(QStringLiteral(LUMIVARD_SOURCE_DIR "/fuzz/corpus/") + file).status,
                     ReadResult::Read);
        const QString before = design.text();
        const int entries = design.focusHistory().points.size();

        const QVector<QByteArray> expected = oneAfterTheOther(design, name, values);
        QCOMPARE(expected.size(), values.size());
        for (const int threads : {1, 2, 3}) {
            const SweepRun run = runSweep(design, name, values, threads);
            QVERIFY(!run.error);
            QVERIFY(!run.stopped);
            QCOMPARE(run.rows, expected);
        }
        QCOMPARE(design.text(), before);
        QCOMPARE(design.focusHistory().points.size(), entries);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        dataRow("a value late in the list",
                QString("DE"),
                QStringList{"-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "x"},
                int(EditError::Refused),
                QString("--set DE=x: the field refuses this value"));
        dataRow("a type beyond 7",
                QString("Type"),
                QStringList{"1", "8"},
                int(EditError::Refused),
                QString("--set Type=8: the type is 1 to 7"));
        dataRow("no such field",
                QString("Bogus"),
                QStringList{"1"},
                int(EditError::UnknownName),
                QString("--set Bogus=1: no field named Bogus"));
        dataRow("no such crystal",
                QString("crystal.11.X"),
                QStringList{"1", "2"},
                int(EditError::NoSuchCrystal),
                QString("--set crystal.11.X=1: there is no crystal 11 (the design has 10)"));
    }
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, values);
        QFETCH(int, kind);
        QFETCH(QString, message);
        const DesignDocument design;
        int asked = 0;
        const SweepRun run = runSweep(design, name, values, 2, [&asked] { return ++asked > 0; });
        QCOMPARE(int(run.error.kind), kind);
        QCOMPARE(run.error.message, message);
        QVERIFY(run.rows.isEmpty());
        // A value the checks refuse stops the run before it starts.
        if (kind != EditError::NoSuchCrystal)
            QCOMPARE(asked, 0);
    }

    void stopped()
    {
        const DesignDocument design;
        int asked = 0;
        const SweepRun run = runSweep(
            design, QStringLiteral("DE"), texts(-1, -100, -1), 1, [&asked] { return ++asked < 3; });
        QVERIFY(run.stopped);
        QVERIFY(run.rows.isEmpty());
        QCOMPARE(asked, 3);
    }

    void withoutUndoSteps()
    {
        DesignDocument doc;
        QVERIFY(doc.apply(QStringLiteral("DE"), QStringLiteral("-5")).kind == EditError::None);
        QVERIFY(doc.undoStack().canUndo());
        doc.setKeepsUndoSteps(false);
        QVERIFY(!doc.undoStack().canUndo());
        QVERIFY(doc.isModified());
        QVERIFY(doc.apply(QStringLiteral("DE"), QStringLiteral("-15")).kind == EditError::None);
        QVERIFY(!doc.undoStack().canUndo());
        QVERIFY(!doc.isModified()); // back to the design it started with

        // Kept again, an undo step starts from the design as it then is.
        doc.setKeepsUndoSteps(true);
        const QString kept = doc.text();
        QVERIFY(doc.apply(QStringLiteral("Num"), QStringLiteral("4")).kind == EditError::None);
        doc.undoStack().undo();
        QCOMPARE(doc.text(), kept);

        // A copy of a document without steps keeps its own steps from the copied design on.
        DesignDocument other;
        other.setKeepsUndoSteps(false);
        QVERIFY(other.apply(QStringLiteral("Type"), QStringLiteral("5")).kind == EditError::None);
        DesignDocument copy;
        copy.copyFrom(other);
        QVERIFY(copy.apply(QStringLiteral("DX"), QStringLiteral("9")).kind == EditError::None);
        copy.undoStack().undo();
        QCOMPARE(copy.text(), other.text());
    }
};

LUMIVARD_TEST_MAIN(tst_Sweep)
#include "tst_sweep.moc"
