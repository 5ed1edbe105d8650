#include "bandanalysis.h"
#include "bragg.h"
#include "layout.h"
#include "raytrace.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

// The Monte-Carlo ray trace against the analytic bands it checks, and what makes it a check:
// the same rays for the same seed, however many threads trace them.
class tst_RayTrace : public QObject
{
    Q_OBJECT

    // A type 3 design of Si 1 1 1 from 8000 eV down by 15 eV, with its analysis.
    struct Design
    {
        QVector<CrystalOptics> crystals;
        BandsAnalysis analysis;
    };
    static Design design(int count, double dy, double length, const SourceParams &source)
    {
        LayoutParams p;
        p.count = count;
        p.dy = dy;
        p.length = length;
        const double d = 3.13507;
        Design out{layOut(p, d), {}};
        out.analysis = analyseBands(
            DesignMaterial{"Si", 1, 1, 1, 5.4301, d, 8000}, crystalList(out.crystals), source);
        return out;
    }
    static SourceParams source(double size, double divergence)
    {
        SourceParams s;
        s.distance = 1000;
        s.size = size;
        s.divergence = divergence;
        return s;
    }

private slots:
    void agreesWithTheBands_data()
    {
        // Crystals, their spacing in height and length, source size and divergence (FWHM).
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("dy");
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("divergence");
        // One crystal takes the whole beam: the divergence alone.
        dataRow("whole beam", 1, 1.0, 40.0, 0.0, 100.0);
        // Each crystal takes a slice of a point source's wide beam: the slice's angular size, and
        // the beam's tilt toward the higher crystals.
        dataRow("slices of a point source", 3, 1.0, 4.0, 0.0, 2000.0);
        // A wide source with a divergence like its size seen from the crystals.
        dataRow("slices of a wide source", 3, 1.0, 4.0, 2.0, 1500.0);
    }
    // Bin by bin the traced efficiency is the analytic one (chi-square per bin near 1), and so is
    // what each crystal passes of the rays' flat spectrum (within four standard deviations and
    // 1 %).
    void agreesWithTheBands()
    {
        QFETCH(int, count);
        QFETCH(double, dy);
        QFETCH(double, length);
        QFETCH(double, size);
        QFETCH(double, divergence);
        const Design d = design(count, dy, length, source(size, divergence));
        RayTraceParams p;
        p.rays = 3000000;
        p.energyMargin = 6; // the curves' wings beyond the rays' energies: about 0.5 %
        const RayTrace t = traceRays(d.analysis, crystalList(d.crystals), p);
        QCOMPARE(t.rays, p.rays);
        for (int i = 0; i < count; ++i) {
            const CrystalBand &b = d.analysis.crystals[i];
            const RayCrystal &r = t.crystals[i];
            QVERIFY(r.hits > 10000 && r.bandPhotons && r.fwhm);
            const CrystalOptics &c = d.crystals[i];
            const std::optional<AngleSpread> spread
                = angleSpread(d.analysis.source,
                              *d.analysis.sourcePosition,
                              {c.startPoint().x, c.startPoint().y},
                              {c.endPoint().x, c.endPoint().y});
            QVERIFY(spread);
            const double surface = c.angleDeg() / 180 * Bragg::pi;
            // Rays of one bin's energies that met the crystal; a bin's reflected count is nearly
            // Poisson with the expected efficiency times that.
            const double n = r.hits * r.energies.step / (t.energyHigh - t.energyLow);
            double chi2 = 0;
            int bins = 0;
            for (int k = 0; k < r.efficiency.size(); ++k) {
                // The analytic efficiency averaged over the bin.
                double expected = 0;
                for (int j = 0; j < 8; ++j) {
                    const double e = r.energies.from + (k + (j + 0.5) / 8) * r.energies.step;
                    expected += efficiencyAt(*b.factors,
                                             d.analysis.source.polarisation,
                                             surface,
                                             *spread,
                                             e + b.latticeOffset)
                                / 8;
                }
                if (expected < 0.02 * *b.peakEfficiency || n * expected < 10)
                    continue;
                chi2 += std::pow(r.efficiency[k] - expected, 2) * n / expected;
                ++bins;
            }
            const QString what = QString("crystal %1: chi-square %2 over %3 bins, photons %4 +- %5 "
                                         "against %6")
                                     .arg(i + 1)
                                     .arg(chi2)
                                     .arg(bins)
                                     .arg(*r.bandPhotons)
                                     .arg(*r.bandPhotonsError)
                                     .arg(*b.bandPhotons);
            // Chi-square of k bins exceeds k + 4.5 sqrt(2k) by chance in about 1e-4 of runs.
            QVERIFY2(bins >= 10 && chi2 < bins + 4.5 * std::sqrt(2.0 * bins), qPrintable(what));
            QVERIFY2(std::fabs(*r.bandPhotons - *b.bandPhotons)
                         <= 4 * *r.bandPhotonsError + 0.01 * *b.bandPhotons,
                     qPrintable(what));
        }
    }

    // The same seed gives the same rays with one thread or two; another seed other rays.
    void reproducible()
    {
        const Design d = design(3, 1.0, 4.0, source(1.0, 1000.0));
        RayTraceParams p;
        p.rays = 200000;
        p.threads = 1;
        const RayTrace one = traceRays(d.analysis, crystalList(d.crystals), p);
        p.threads = 2;
        const RayTrace two = traceRays(d.analysis, crystalList(d.crystals), p);
        p.seed = 2;
        const RayTrace other = traceRays(d.analysis, crystalList(d.crystals), p);
        QVERIFY(one.reflected > 1000);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(two.crystals[i].energies.counts, one.crystals[i].energies.counts);
            QCOMPARE(two.crystals[i].spot.counts, one.crystals[i].spot.counts);
            QCOMPARE(two.crystals[i].spotCentre, one.crystals[i].spotCentre);
        }
        QVERIFY(other.crystals[0].energies.counts != one.crystals[0].energies.counts);
    }

    // A parallel beam keeps its width through a flat crystal: the spot of a Gaussian profile of
    // FWHM 0.5, whichever energies the crystal picks.
    void spotOfAParallelBeam()
    {
        const Design d = design(2, 20.0, 40.0, source(0.5, 0.0));
        QVERIFY(d.analysis.focus.focus);
        RayTraceParams p;
        p.rays = 1000000;
        const RayTrace t = traceRays(d.analysis, crystalList(d.crystals), p);
        const RayCrystal &r = t.crystals[0];
        QVERIFY(r.reflected > 5000 && r.spotFwhm && t.crystals[1].hits == 0);
        QVERIFY2(std::fabs(*r.spotFwhm - 0.5) < 0.02, qPrintable(QString::number(*r.spotFwhm)));
    }

    // Nothing to trace without a band.
    void noBands()
    {
        LayoutParams p;
        const QVector<CrystalOptics> cs = layOut(p, 3.13507);
        const BandsAnalysis a
            = analyseBands(DesignMaterial{"Si", 2, 0, 0, 5.4301, 2.71505, 8000}, crystalList(cs));
        const RayTrace t = traceRays(a, crystalList(cs));
        QVERIFY(t.rays == 0 && t.crystals.size() == cs.size());
    }
};

LUMIVARD_TEST_MAIN(tst_RayTrace)
#include "tst_raytrace.moc"
