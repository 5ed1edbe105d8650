#include "bandanalysis.h"
#include "bragg.h"
#include "layout.h"
#include "source.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

using namespace Reflection;

// The source's rays are Gaussian in start (sigma0) and direction (sigmaA), independent; what the
// tests derive for themselves from that: a crystal that takes the whole beam sees sigmaA; a thin
// slice at distance L sees the rays from the whole source, spread by
// 1 / sigma^2 = 1 / sigmaA^2 + 1 / (sigma0 / L)^2 about the direction y L sigmaA^2 / sigmaY^2
// (sigmaY^2 = sigma0^2 + L^2 sigmaA^2, y its height); a point source's rays to a slice span its
// angular size.
class tst_Source : public QObject
{
    Q_OBJECT

    static bool within(double v, double w, double r)
    {
        return std::fabs(v - w) <= r * std::fabs(w);
    }
    static double phi(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }
    // Si 1 1 1 at 8 keV, a = 5.4307 A as the reference values take it.
    static Factors si111()
    {
        const double d = 5.4307 / std::sqrt(3.0);
        return *factors("Si", Miller{1, 1, 1}, d, 8000).value;
    }

private slots:
    void effectiveReferenceValues_data()
    {
        // The sigma curve of Si 1 1 1 at 8 keV convolved with a Gaussian divergence (FWHM,
        // microradians): an independent computation gives FWHM (microradians, eV) and peak; 3 %.
        QTest::addColumn<double>("divergence");
        QTest::addColumn<double>("fwhm");
        QTest::addColumn<double>("band");
        QTest::addColumn<double>("peak");
        dataRow("parallel", 0.0, 36.01, 1.130, 0.938);
        dataRow("10 urad", 10.0, 38.02, 1.192, 0.925);
        dataRow("100 urad", 100.0, 108.4, 3.399, 0.342);
        dataRow("1 mrad", 1000.0, 1006.0, 31.56, 0.038);
    }
    void effectiveReferenceValues()
    {
        QFETCH(double, divergence);
        QFETCH(double, fwhm);
        QFETCH(double, band);
        QFETCH(double, peak);
        const Factors f = si111();
        const Curve sigma = *rockingCurve(f, Polarisation::sigma());
        const std::optional<EffectiveBand> e = effectiveBand(
            f, sigma, Polarisation::sigma(), f.theta, gaussianSpread(divergence * 1e-6));
        QVERIFY(e);
        QVERIFY2(within(e->fwhm * 1e6, fwhm, 0.03), qPrintable(QString::number(e->fwhm * 1e6)));
        QVERIFY(within(e->high - e->low, band, 0.03) && within(e->peak, peak, 0.03));
        // What the crystal passes of a flat spectrum does not depend on the divergence:
        // 8000 x 40.81e-6 / tan 14.3086 deg = 1.280 eV.
        QVERIFY(within(e->photons, 8000 * 40.81e-6 / std::tan(14.3086 / 180 * M_PI), 0.02));
        // The band's middle: refraction (about +1 eV here) for a beam along +x.
        QVERIFY(near(e->centre, 0.5 * (sigma.low + sigma.high), 0.02 * (e->high - e->low)));
    }

    // A beam tilted by alpha meets the crystal at the glancing angle thetaB - alpha: the band
    // moves up by E alpha / tan thetaB.
    void tiltedBeam()
    {
        const Factors f = si111();
        const Curve sigma = *rockingCurve(f, Polarisation::sigma());
        AngleSpread tilted = gaussianSpread(100e-6);
        const double alpha = 300e-6;
        tilted.from += alpha;
        tilted.mean += alpha;
        const auto straight
            = effectiveBand(f, sigma, Polarisation::sigma(), f.theta, gaussianSpread(100e-6));
        const auto moved = effectiveBand(f, sigma, Polarisation::sigma(), f.theta, tilted);
        QVERIFY(straight && moved);
        QVERIFY(within(moved->centre - straight->centre, 8000 * alpha / std::tan(f.theta), 0.01));
        QVERIFY(within(moved->high - moved->low, straight->high - straight->low, 0.01));
    }

    void spreads_data()
    {
        // Source size (FWHM) and divergence (FWHM, microradians) at distance 1000; the surface
        // from (1000, y0) to (1000, y1); expected mean and rms (microradians), illumination; NaN:
        // not checked; mean NaN and rms NaN: no spread at all; rms 0: parallel.
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("divergence");
        QTest::addColumn<double>("y0");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("rms");
        QTest::addColumn<double>("illumination");
        const double f = kFwhmPerSigma;
        dataRow("whole beam", 0.0, 100.0, -5.0, 5.0, 0.0, 100 / f, 1.0);
        // A point source's rays to the slice 1 to 1.2 span 1 to 1.2 mrad, evenly for a wide
        // divergence.
        const double sA = 20000 / f;
        dataRow("point source, slice",
                0.0,
                20000.0,
                1.0,
                1.2,
                1100.0,
                200 / std::sqrt(12.0),
                phi(1200 / sA) - phi(1000 / sA));
        // A thin slice of a source whose size seen from it equals its divergence: sigma / sqrt 2.
        const double s = 42.5;
        dataRow(
            "thin slice on the axis", 0.1, s * f, -5e-5, 5e-5, 0.0, s / std::sqrt(2.0), qQNaN());
        // Off the axis the rays that reach it lean toward it.
        const double sigmaY = std::hypot(0.1 / f, 1000 * s * 1e-6);
        const double lean = 0.1 * 1000 * s * s * 1e-6 / (sigmaY * sigmaY);
        dataRow("thin slice off the axis",
                0.1,
                s * f,
                0.1 - 5e-5,
                0.1 + 5e-5,
                lean,
                s / std::sqrt(2.0),
                qQNaN());
        // A parallel beam: every direction along +x, the profile's share meets the surface.
        dataRow(
            "parallel", 2.0, 0.0, -0.3, 0.5, 0.0, 0.0, phi(0.5 / (2 / f)) - phi(-0.3 / (2 / f)));
        // Nothing reaches a surface far out of a narrow beam.
        dataRow("out of the beam", 0.1, 10.0, 100.0, 101.0, qQNaN(), qQNaN(), qQNaN());
    }
    void spreads()
    {
        QFETCH(double, size);
        QFETCH(double, divergence);
        QFETCH(double, y0);
        QFETCH(double, y1);
        QFETCH(double, mean);
        QFETCH(double, rms);
        QFETCH(double, illumination);
        SourceParams p;
        p.size = size;
        p.divergence = divergence;
        const std::optional<AngleSpread> s
            = angleSpread(p, PlanePoint{0, 0}, PlanePoint{1000, y0}, PlanePoint{1000, y1});
        QCOMPARE(bool(s), !std::isnan(rms));
        if (!s)
            return;
        QCOMPARE(s->parallel, rms == 0);
        QVERIFY(std::isnan(illumination) || within(s->illumination, illumination, 0.01));
        if (rms == 0)
            return;
        QVERIFY2(near(s->mean * 1e6, mean, 0.01 * rms), qPrintable(QString::number(s->mean * 1e6)));
        QVERIFY2(within(s->rms * 1e6, rms, 0.02), qPrintable(QString::number(s->rms * 1e6)));
        double sum = 0;
        for (const double w : s->weights)
            sum += w;
        QVERIFY(near(sum, 1.0, 1e-12));
    }

    // A surface that does not lie wholly downstream of the source sees none of its rays.
    void behindTheSource()
    {
        SourceParams p;
        p.divergence = 100;
        QVERIFY(!angleSpread(p, PlanePoint{0, 0}, PlanePoint{-1, 0}, PlanePoint{1, 1}));
        QVERIFY(!SourceParams{-1.0}.isValid());
        SourceParams nan;
        nan.size = qQNaN();
        QVERIFY(!nan.isValid() && p.isValid() && SourceParams() == SourceParams());
    }

    // The default design lit by a real source: the crystals' bands widen, what each
    // passes stays, and the coverage grows.
    void arrayWithSource()
    {
        const double d = 3.13507;
        const QVector<CrystalOptics> cs = layOut(LayoutParams(), d);
        const DesignMaterial m{"Si", 1, 1, 1, 5.4301, d, 8000};
        SourceParams source;
        source.size = 20;
        source.divergence = 100;
        const BandsAnalysis parallel = analyseBands(m, crystalList(cs));
        const BandsAnalysis lit = analyseBands(m, crystalList(cs), source);
        QVERIFY(lit.sourcePosition && near(lit.sourcePosition->x, cs[0].centre().x - 10000));
        for (int i = 0; i < cs.size(); ++i) {
            const CrystalBand &a = parallel.crystals[i];
            const CrystalBand &b = lit.crystals[i];
            QVERIFY(b.effectiveBandLow && b.illumination && *b.illumination > 0);
            // 100 urad at 14 to 15 degrees: about 3 eV against the intrinsic 1.1 eV.
            QVERIFY(*b.effectiveBandHigh - *b.effectiveBandLow > 2.5 * (a.high - a.low));
            QVERIFY(within(*b.bandPhotons, *a.bandPhotons, 0.01));
            QCOMPARE(b.fwhmSigma, a.fwhmSigma);
        }
        QVERIFY(*lit.effectiveCoverage.fraction > 2.5 * *parallel.coverage.fraction);
        QCOMPARE(*lit.coverage.fraction, *parallel.coverage.fraction);
    }
};

LUMIVARD_TEST_MAIN(tst_Source)
#include "tst_source.moc"
