// What a script reads of the array lit by its source: the JSON report's bands and rays, the
// sweep's columns and the Bands table as CSV, against the reference values of an independent
// computation (xraylib data, a = 5.4307 A; the program's real crystal differs by 6e-5).
#include "bandstable.h"
#include "crystaltable.h"
#include "designdocument.h"
#include "report.h"
#include "testsupport.h"

#include <QtTest>

namespace {

void applyAll(DesignDocument &doc, const QString &settings)
{
    for (const QString &s : settings.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        QVERIFY2(!doc.apply(s.section('=', 0, 0), s.section('=', 1)), qPrintable(s));
}

// The value at "a/b/0/c" in the object.
QJsonValue at(const QJsonObject &o, const QString &path)
{
    QJsonValue v = o;
    for (const QString &part : path.split('/')) {
        bool index = false;
        const int i = part.toInt(&index);
        v = index ? v.toArray().at(i) : v.toObject().value(part);
    }
    return v;
}

// The keys the issue adds to every bands.crystals entry, null where a crystal does not reflect.
const QStringList kNewCrystalKeys = {"peakReflectivitySigma",
                                     "peakReflectivityPi",
                                     "integratedReflectivitySigma_urad",
                                     "integratedReflectivityPi_urad",
                                     "effectiveBandLow_eV",
                                     "effectiveBandHigh_eV",
                                     "effectiveCentre_eV",
                                     "peakEfficiency",
                                     "bandPhotons_eV"};

} // namespace

class tst_Report : public QObject
{
    Q_OBJECT

private slots:
    void referenceValues_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("tolerance"); // relative
        const QString first = "bands/crystals/0/";
        // Si 1 1 1 at 8 keV, crystal 1 of the default design.
        dataRow("peak R sigma", "", first + "peakReflectivitySigma", 0.938, 0.02);
        dataRow("peak R pi", "", first + "peakReflectivityPi", 0.922, 0.02);
        dataRow("integrated sigma", "", first + "integratedReflectivitySigma_urad", 40.81, 0.02);
        dataRow("integrated pi", "", first + "integratedReflectivityPi_urad", 35.36, 0.02);
        dataRow(
            "unpolarised", "Polarisation=unpolarised", first + "fwhmPolarised_urad", 34.31, 0.02);
        // 8000 x 40.81e-6 / tan 14.3086 degrees.
        dataRow("photons", "", first + "bandPhotons_eV", 1.280, 0.03);
        // A source so wide that crystal 1 sees the divergence alone.
        const QString wide = "Source.Divergence=100 Source.Size=1e6 ";
        dataRow("100 urad band", wide, first + "effectiveFwhm_urad", 108.4, 0.03);
        dataRow("100 urad peak", wide, first + "peakEfficiency", 0.342, 0.03);
        dataRow("photons whatever the spread", wide, first + "bandPhotons_eV", 1.280, 0.03);
        // Si 3 3 3 passes at the Si 1 1 1 angle of 8 keV.
        dataRow("harmonic energy", "", "bands/harmonics/0/energy_eV", 24000.0, 0.0);
        dataRow("harmonic h", "", "bands/harmonics/0/hkl/0", 3.0, 0.0);
        dataRow("harmonic l", "", "bands/harmonics/0/hkl/2", 3.0, 0.0);
        dataRow("harmonic R", "", "bands/harmonics/0/peakReflectivity", 0.986, 0.02);
        dataRow("harmonic band", "", "bands/harmonics/0/band_eV", 0.206, 0.02);
        // CODATA 2018 at 22.5 degrees C.
        dataRow("accepted", "", "bands/latticeConstant/accepted", 5.431020511, 0.0);
        dataRow("source", wide, "bands/source/divergence_urad", 100.0, 0.0);
        dataRow("temperature", "Temperature=30", "bands/source/temperature_C", 30.0, 0.0);
        dataRow("degree", "Polarisation=-0.5", "bands/source/polarisationDegree", -0.5, 0.0);
        // The parallel beam's effective bands are the intrinsic ones: 1.13 eV of 136.
        dataRow("effective coverage", "", "bands/effectiveCoverage/fraction", 0.0826, 0.02);
        dataRow("intrinsic coverage", wide, "bands/coverage/fraction", 0.0826, 0.02);
    }
    void referenceValues()
    {
        QFETCH(QString, settings);
        QFETCH(QString, path);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        DesignDocument doc;
        applyAll(doc, settings);
        const QJsonValue v = at(designReportObject(doc, QString()), path);
        QVERIFY2(v.isDouble(), qPrintable(path));
        QVERIFY2(near(v.toDouble(), expected, tolerance * std::fabs(expected)),
                 qPrintable(QString::number(v.toDouble(), 'g', 17)));
    }

    // The report as text: the accepted constant as the number itself, the rays null unless
    // asked for; a crystal without a Bragg angle reflects nothing and has no new field, in the
    // bands and among the crystals.
    void keys()
    {
        DesignDocument doc;
        const QByteArray text = designReport(doc, QString());
        QVERIFY(text.contains("\"accepted\": 5.431020511,"));
        QJsonObject o = designReportObject(doc, QString());
        QVERIFY(o.value("rays").isNull());
        QVERIFY(at(o, "crystals/9/reflects").toBool());
        QVERIFY(at(o, "bands/crystals/9/reflects").toBool());
        for (const QString &key : kNewCrystalKeys)
            QVERIFY2(at(o, "bands/crystals/9/" + key).isDouble(), qPrintable(key));

        applyAll(doc, "crystal.3.Energy=1000");
        o = designReportObject(doc, QString());
        QVERIFY(!at(o, "crystals/2/reflects").toBool() && at(o, "crystals/3/reflects").toBool());
        const QJsonObject c = at(o, "bands/crystals/2").toObject();
        QCOMPARE(c.value("reflects"), QJsonValue(false));
        QCOMPARE(c.value("state").toString(), QString("no reflection"));
        for (const QString &key : kNewCrystalKeys)
            QVERIFY2(c.value(key).isNull(), qPrintable(key));
        QCOMPARE(at(o, "bands/focus/lines").toInt(), 9);
    }

    // The sweep counts the crystals that reflect, and ends with the effective coverage.
    void sweepColumns_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("reflecting");
        dataRow("all", "", "10");
        dataRow("one without a Bragg angle", "crystal.3.Energy=1000", "9");
        dataRow("below the cut-off", "StartE=1900", "0");
        // Forbidden planes still have a Bragg angle.
        dataRow("forbidden", "Index=2,0,0", "10");
    }
    void sweepColumns()
    {
        QFETCH(QString, settings);
        QFETCH(QString, reflecting);
        DesignDocument doc;
        applyAll(doc, settings);
        const QList<QByteArray> header = sweepHeader().trimmed().split(',');
        const QList<QByteArray> row = sweepRow(doc, "1").trimmed().split(',');
        QCOMPARE(row.size(), header.size());
        QCOMPARE(
            header.mid(10),
            QList<QByteArray>({"reflecting", "effective_coverage", "effective_largest_gap_eV"}));
        QCOMPARE(QString(row.at(10)), reflecting);
        const QJsonObject o = designReportObject(doc, QString());
        const QJsonValue fraction = at(o, "bands/effectiveCoverage/fraction");
        QCOMPARE(row.at(11),
                 fraction.isNull() ? QByteArray() : shortestNumber(fraction.toDouble()));
    }

    // The same seed traces the same rays, another seed others; what they find agrees with the
    // analytic bands within the counting error. A parallel beam 20 units wide lights every
    // crystal.
    void rays()
    {
        DesignDocument doc;
        applyAll(doc, "Source.Size=20");
        RayTraceParams p;
        p.rays = 40000;
        p.seed = 7;
        const QJsonObject a = designReportObject(doc, QString(), p);
        p.threads = 1;
        QCOMPARE(designReportObject(doc, QString(), p), a);
        p.seed = 8;
        const QJsonObject other = designReportObject(doc, QString(), p);
        QVERIFY(at(other, "rays/crystals/0/reflected") != at(a, "rays/crystals/0/reflected"));
        QCOMPARE(at(a, "rays/seed").toInt(), 7);
        QCOMPARE(at(a, "rays/rays").toInt(), 40000);
        QCOMPARE(at(a, "rays/crystals").toArray().size(), 10);
        QVERIFY(at(a, "rays/spot/fwhm").isDouble());
        for (int i = 0; i < 10; ++i) {
            const QString r = QString("rays/crystals/%1/").arg(i);
            const double photons = at(a, r + "bandPhotons_eV").toDouble();
            const double error = at(a, r + "bandPhotonsError_eV").toDouble();
            const double analytic
                = at(a, QString("bands/crystals/%1/bandPhotons_eV").arg(i)).toDouble();
            QVERIFY2(error > 0 && std::fabs(photons - analytic) < 4 * error,
                     qPrintable(QString("crystal %1: %2 +- %3 against %4")
                                    .arg(i + 1)
                                    .arg(photons)
                                    .arg(error)
                                    .arg(analytic)));
            QCOMPARE(at(a, r + "efficiency").toArray().size(),
                     at(a, r + "energies/counts").toArray().size());
        }
    }

    // The Bands table as CSV: the documented header, one row per crystal, every number reading
    // back as the analysis's, nothing where a crystal has no band.
    void bandsCsv()
    {
        DesignDocument doc;
        applyAll(doc, "crystal.2.Energy=1000 Source.Divergence=10 Source.Size=1e6");
        const BandsAnalysis a = designBands(doc.design());
        const QList<QByteArray> rows = bandsTableCsv(a).split('\n');
        QCOMPARE(rows.size(), 1 + 10 + 1);
        QVERIFY(rows.last().isEmpty() && rows.first().endsWith('\r'));
        QCOMPARE(rows.first().trimmed(),
                 QByteArray("no,energy_eV,state,reflects,fwhm_sigma_urad,fwhm_pi_urad,low_eV,"
                            "high_eV,gap_above_eV,refraction_shift_eV,lattice_offset_eV,"
                            "peak_reflectivity_sigma,peak_reflectivity_pi,"
                            "integrated_reflectivity_sigma_urad,integrated_reflectivity_pi_urad,"
                            "effective_band_low_eV,effective_band_high_eV,effective_centre_eV,"
                            "peak_efficiency,band_photons_eV,effective_gap_above_eV"));
        const QList<QByteArray> first = rows.at(1).trimmed().split(',');
        QCOMPARE(first.size(), 21);
        QCOMPARE(first.at(2) + first.at(3), QByteArray("band1"));
        QCOMPARE(first.at(4).toDouble(), a.crystals.at(0).fwhmSigma);
        QCOMPARE(first.at(15).toDouble(), *a.crystals.at(0).effectiveBandLow);
        QCOMPARE(first.at(19).toDouble(), *a.crystals.at(0).bandPhotons);
        // Crystal 1 has the top band; crystal 3's next effective band up is crystal 1's, since
        // crystal 2 does not reflect.
        QVERIFY(first.at(20).isEmpty());
        const QList<QByteArray> third = rows.at(3).trimmed().split(',');
        QCOMPARE(third.at(20).toDouble(),
                 *a.crystals.at(0).effectiveBandLow - *a.crystals.at(2).effectiveBandHigh);
        // Turned to the -1 degrees of "no reflection", with the energy that angle gives.
        QCOMPARE(rows.at(2).trimmed(),
                 "2," + shortestNumber(*a.crystals.at(1).energy) + ",no reflection,0"
                     + QByteArray(17, ','));
    }
};

LUMIVARD_TEST_MAIN(tst_Report)
#include "tst_report.moc"
