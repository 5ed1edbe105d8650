// Crystals and panel values that give no Bragg reflection, and the focus a design has of its own:
// which crystals are told apart and why, what the least-squares focus leaves out, and what the
// report says of a design with fewer than two crystals that reflect.
#include "bandanalysis.h"
#include "designdocument.h"
#include "report.h"
#include "testsupport.h"

#include <QJsonObject>
#include <QtTest>

namespace {

// The document after the settings "Name=value; ..." (none for an empty text), each as --set
// makes it.
void applyAll(DesignDocument &doc, const QString &settings)
{
    for (const QString &s : settings.split("; ", Qt::SkipEmptyParts)) {
        const EditError why = doc.apply(s.section('=', 0, 0), s.section('=', 1));
        QVERIFY2(!why, qPrintable(why.message));
    }
}

QString causeName(NoReflection::Kind k)
{
    switch (k) {
    case NoReflection::None:
        return "other";
    case NoReflection::BelowCutOff:
        return "below";
    case NoReflection::NoSpacing:
        return "no spacing";
    default:
        return QString::number(int(k));
    }
}

// "403-1000|below|1970": the runs of crystals without a reflection, their shared cause, and the
// energy the first of them was asked for.
QString described(const QVector<NoReflection> &reasons)
{
    const NoReflectionRuns runs = noReflectionRuns(reasons);
    QStringList list;
    for (const QPair<int, int> &r : runs.runs)
        list << (r.first == r.second ? QString::number(r.first)
                                     : QString("%1-%2").arg(r.first).arg(r.second));
    double energy = 0;
    for (const NoReflection &r : reasons) {
        if (r) {
            energy = r.energy;
            break;
        }
    }
    return list.join(',') + '|' + causeName(runs.cause) + '|' + QString::number(energy);
}

} // namespace

class tst_Reflects : public QObject
{
    Q_OBJECT

private slots:
    void crystals_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("expected");
        dataRow("every crystal reflects", QString(), QString("|other|0"));
        // 8000 - 15 i eV against hc / 2d = 1977.37 eV for Si 1 1 1 (d = 3.13507): crystal 403
        // (i = 402) is the first below.
        dataRow("below the cut-off", QString("Num=1000"), QString("403-1000|below|1970"));
        dataRow("start below", QString("StartE=1000"), QString("1-10|below|1000"));
        dataRow("start at 0", QString("StartE=0"), QString("1-10|below|0"));
        dataRow("one typed", QString("Num=4; crystal.3.Energy=1000"), QString("3|below|1000"));
        dataRow("two apart",
                QString("Num=5; crystal.2.Energy=-40; crystal.5.Energy=1977"),
                QString("2,5|below|-40"));
        dataRow("an angle of 0", QString("Num=3; crystal.2.Deg=0"), QString("2|other|inf"));
        dataRow("no spacing", QString("Num=3; LatticeC=0"), QString("1-3|no spacing|0"));
    }
    // The crystals without a reflection and why; an undo and a redo give the same, and so do a
    // save and a load, but for an energy typed in, which the file does not keep.
    void crystals()
    {
        QFETCH(QString, settings);
        QFETCH(QString, expected);
        DesignDocument doc;
        applyAll(doc, settings);
        QCOMPARE(described(doc.crystalReflections()), expected);
        DesignDocument loaded;
        loaded.read(doc.text());
        // The file keeps the marker angle, not the energy typed: the cause stays.
        QCOMPARE(described(loaded.crystalReflections()).section('|', 0, 1),
                 expected.section('|', 0, 1));
        if (!settings.isEmpty()) {
            doc.undoStack().undo();
            doc.undoStack().redo();
            QCOMPARE(described(doc.crystalReflections()), expected);
        }
        // The marked crystals keep the values the layout gives them.
        const int reflecting = doc.focusState().reflecting;
        QCOMPARE(reflecting,
                 int(std::count_if(doc.crystalReflections().begin(),
                                   doc.crystalReflections().end(),
                                   [](const NoReflection &r) { return !r; })));
    }

    void panels_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("kind");
        const int h = int(PanelField::IndexH), k = int(PanelField::IndexK);
        const int a = int(PanelField::LatticeC), e = int(PanelField::StartE);
        dataRow("as ever", QString(), e, int(NoReflection::None));
        dataRow("lattice 0", QString("LatticeC=0"), a, int(NoReflection::LatticeNotPositive));
        dataRow("lattice < 0", QString("LatticeC=-5.43"), a, int(NoReflection::LatticeNotPositive));
        dataRow("0 0 0", QString("Index=0,0,0"), k, int(NoReflection::NoPlanes));
        dataRow("fraction", QString("Index=1.5,1,1"), h, int(NoReflection::IndexNotWhole));
        dataRow("fraction elsewhere", QString("Index=1.5,1,1"), k, int(NoReflection::None));
        // Whole indices: d = 5.4301 / sqrt(30000) = 0.0314 A, below half of 1.55 A at 8000 eV. The
        // start energy is at fault, not the indices.
        dataRow("100 100 100 whole", QString("Index=100,100,100"), h, int(NoReflection::None));
        dataRow(
            "100 100 100 energy", QString("Index=100,100,100"), e, int(NoReflection::BelowCutOff));
        dataRow("start < 0", QString("StartE=-5"), e, int(NoReflection::NegativeEnergy));
        dataRow("start 0", QString("StartE=0"), e, int(NoReflection::ZeroEnergy));
    }
    void panels()
    {
        QFETCH(QString, settings);
        QFETCH(int, field);
        QFETCH(int, kind);
        DesignDocument doc;
        applyAll(doc, settings);
        QCOMPARE(int(panelReflection(doc.design(), PanelField(field)).kind), kind);
    }

    void focus_data()
    {
        QTest::addColumn<QString>("settings");
        // Crystals that reflect | a focus of its own | an entry added | parallel pairs | pairs
        // crossing behind | a least-squares focus
        QTest::addColumn<QString>("expected");
        dataRow("ten crystals", QString(), QString("10|1|1|0|0|1"));
        // Ten parallel beams: 45 pairs, and no point nearest to all of them.
        dataRow("dE 0", QString("DE=0"), QString("10|1|1|45|0|0"));
        dataRow("one crystal", QString("Num=1"), QString("1|0|0|0|0|0"));
        // Every crystal at the no-reflection angle: all beams parallel.
        dataRow("none reflects", QString("StartE=1000"), QString("0|0|1|45|0|0"));
        // At the marker angle crystal 2 sends its beam down at 2 degrees, crossing that of
        // crystal 1 behind it.
        dataRow("one of two", QString("Num=2; crystal.2.Energy=1000"), QString("1|0|1|0|1|0"));
        // Beams from x = 0 at 60 degrees and from x = 10 at 40 degrees spread apart.
        dataRow("diverging",
                QString("Num=2; crystal.1.X=0; crystal.1.Y=0; crystal.1.Deg=30; crystal.2.X=10; "
                        "crystal.2.Y=0; crystal.2.Deg=20"),
                QString("2|1|1|0|1|1"));
    }
    // The state the read-outs stand on, and the report's focus and history of it.
    void focus()
    {
        QFETCH(QString, settings);
        QFETCH(QString, expected);
        DesignDocument doc;
        applyAll(doc, settings);
        const FocusState &f = doc.focusState();
        QCOMPARE(QStringList({QString::number(f.reflecting),
                              QString::number(f.hasFocus()),
                              QString::number(f.entryAdded),
                              QString::number(f.pairs.parallel),
                              QString::number(f.pairs.behind),
                              QString::number(f.leastSquares.has_value())})
                     .join('|'),
                 expected);
        const QJsonObject report = designReportObject(doc, QString());
        const QJsonObject readouts = report["readouts"].toObject();
        const QJsonObject history = report["history"].toObject();
        QCOMPARE(readouts["focus"].isNull(), !f.hasFocus());
        QCOMPARE(readouts["image"].isNull(), !f.hasFocus());
        QCOMPARE(history["added"].toBool(), f.entryAdded);
        QCOMPARE(history["focus"].isNull(), !f.entryAdded);
        // A sweep's row: the focus and image columns empty without a focus.
        const QString row = QString::fromUtf8(sweepRow(doc, "v"));
        QCOMPARE(row.section(',', 1, 4) == ",,,", !f.hasFocus());
    }

    // A crystal below the cut-off stays out of the least-squares focus: that of four crystals
    // with the third at 1000 eV is the focus of the four as laid out (909.817, 496.471), not
    // (5.613, 1.556) as it was with the third in it.
    void leastSquaresLeavesOut()
    {
        DesignDocument doc;
        applyAll(doc, "Num=4; crystal.3.Energy=1000");
        const std::optional<Point> p = doc.focusState().leastSquares;
        QVERIFY(p);
        QVERIFY2(near(p->x, 909.817, 0.5) && near(p->y, 496.471, 0.5),
                 qPrintable(QString("%1, %2").arg(p->x).arg(p->y)));
        const FocusQuality q = focusQuality({doc.design().crystals[0].outCentre,
                                             doc.design().crystals[1].outCentre,
                                             doc.design().crystals[3].outCentre});
        QVERIFY(q.focus && near(q.focus->x, p->x) && near(q.focus->y, p->y));
        QVERIFY(near(q.rms, doc.focusState().rms));
    }
};

LUMIVARD_TEST_MAIN(tst_Reflects)
#include "tst_reflects.moc"
