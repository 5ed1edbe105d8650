#include "bandanalysis.h"
#include "bragg.h"
#include "layout.h"
#include "reflection.h"
#include "testsupport.h"
#include "xraydata.h"

#include <QtTest>

#include <cmath>

using namespace Reflection;

// Physics the tests derive for themselves: the classical electron radius (CODATA 2018), the
// Darwin plateau and the FWHM of a crystal without absorption.
constexpr double kRe = 2.8179403262e-5;
const double kDarwinRatio = 3.0 / (2.0 * std::sqrt(2.0)); // FWHM / plateau width, no absorption

Q_DECLARE_METATYPE(HRay)

class tst_Physics : public QObject
{
    Q_OBJECT

    static double designA(const QString &m) { return m == "Si" ? 5.4301 : 5.6754; }
    // The spacing as the material panel shows it: six significant digits.
    static double shownSpacing(const QString &m, int h, int k, int l)
    {
        return QString::number(designA(m) / std::sqrt(h * h + k * k + l * l), 'g', 6).toDouble();
    }
    static DesignMaterial design(const QString &m, int h, int k, int l, double e0)
    {
        return DesignMaterial{
            m, double(h), double(k), double(l), designA(m), shownSpacing(m, h, k, l), e0};
    }
    // v within the relative tolerance r of w.
    static bool within(double v, double w, double r)
    {
        return std::fabs(v - w) <= r * std::fabs(w);
    }
    static QString text(std::optional<double> v) { return v ? QString::number(*v, 'g', 12) : "-"; }
    // A half-ray from (x, y) at deg degrees.
    static HRay ray(double x, double y, double deg) { return HRay(Point(x, y), Dir(deg)); }

private slots:
    // Diamond: F_H = 0 exactly when h, k, l are of mixed parity, or all even with h + k + l =
    // 4n + 2; every hkl with |h|, |k|, |l| <= 6, far from the threshold on either side.
    void allowedAgainstTheDiamondRule()
    {
        for (const char *material : {"Si", "Ge"}) {
            for (int i = 0; i < 13 * 13 * 13; ++i) {
                const int h = i / 169 - 6, k = i / 13 % 13 - 6, l = i % 13 - 6;
                const int odd = (h & 1) + (k & 1) + (l & 1);
                const bool rule = odd % 3 || (h + k + l + 24) % 4 == 2;
                const bool none = !h && !k && !l;
                const Check c = checkReflection(material, h, k, l);
                const bool ok = none ? c.status == Status::NoPlanes
                                     : c.status == (rule ? Status::Forbidden : Status::Allowed)
                                           && (rule ? c.relativeF < 1e-12 : c.relativeF > 1e-3);
                // The indices formatted only for a failure: for all 4394 they took a third of the
                // run.
                QVERIFY2(
                    ok,
                    ok ? ""
                       : qPrintable(QString("%1 %2 %3 %4").arg(material).arg(h).arg(k).arg(l)));
            }
        }
    }

    // Indices that name no planes, a material without data, energies without a Bragg angle or
    // where xraylib answers NaN or an error: a status or a message, never a number.
    void notAReflection()
    {
        for (const double h : {1.5, 100.0, qQNaN()})
            QCOMPARE(checkReflection("Si", h, 1, 1).status, Status::NotWhole);
        const Check none = checkReflection("", 1, 1, 1);
        QVERIFY(none.status == Status::NoData && !none.error.isEmpty());
        for (const double e : {1000.0, 0.0, -8000.0, qQNaN(), qInf()}) {
            const auto f = XrayData::structureFactor("Si", e, 1, 1, 1, 1.0);
            QVERIFY(!f.ok() && !f.error.isEmpty());
        }
        QVERIFY(!factors("Si", Miller{1, 1, 1}, 3.13507, 1977).ok()); // below hc / 2d
        QVERIFY(!factors("Xx", Miller{1, 1, 1}, 3.13507, 8000).ok());
        QVERIFY(analyseBands(design("Xx", 1, 1, 1, 8000), {}).crystals.isEmpty());
    }

    void darwinWithoutAbsorption_data()
    {
        QTest::addColumn<double>("thetaDeg");
        QTest::addColumn<double>("polarisation");
        dataRow("sigma 14 deg", 14.31, 1.0);
        dataRow("pi 14 deg", 14.31, std::fabs(std::cos(2 * 14.31 / 180 * M_PI)));
        dataRow("sigma 70 deg", 70.0, 1.0);
    }
    // Real susceptibilities: total reflection on the plateau |u| <= 1 of the reduced deviation
    // u = (dTheta sin 2theta + chi_0) / |P chi_h|, R = (|u| - sqrt(u^2 - 1))^2 outside, half of
    // it at u = 3 / (2 sqrt 2).
    void darwinWithoutAbsorption()
    {
        QFETCH(double, thetaDeg);
        QFETCH(double, polarisation);
        Factors f;
        f.theta = thetaDeg / 180 * M_PI;
        f.chi0 = -1.5e-5;
        f.chih = f.chihbar = -8e-6;
        const double s2 = std::sin(2 * f.theta);
        const double g = polarisation * 8e-6;
        const double outside = (2 - std::sqrt(3.0)) * (2 - std::sqrt(3.0));
        for (const double u : {-2.0, -0.999, -0.5, 0.0, 0.7, 1.0, 2.0}) {
            const double r = reflectivity(f, polarisation, (u * g - f.chi0.real()) / s2);
            QVERIFY(near(r, std::fabs(u) > 1 ? outside : 1.0, 1e-12));
        }
        const std::optional<Curve> c = rockingCurve(f, polarisation);
        QVERIFY(c && near(c->peak, 1.0, 1e-12));
        QVERIFY(within(c->fwhm, kDarwinRatio * 2 * g / s2, 1e-9));
        QVERIFY(near(c->centre, 1.5e-5 / s2, 1e-9 * c->fwhm));
        QVERIFY(!rockingCurve(f, 0.0)); // no coupling: nothing reflects
    }

    void widths_data()
    {
        // Material, h k l, energy; values of the field's general-purpose tools where given: sigma
        // FWHM in microradians, shift in eV. Weak absorption throughout (Im chi_0 below 6 % of
        // |chi_h|; Ge below its K edge).
        QTest::addColumn<QString>("given");
        dataRow("Si 111 8 keV", QString("Si 1 1 1 8000 36.0 1.0"));
        dataRow("Si 111 17.5 keV", QString("Si 1 1 1 17479"));
        dataRow("Si 220 8 keV", QString("Si 2 2 0 8000"));
        dataRow("Si 220 12 keV", QString("Si 2 2 0 12000"));
        dataRow("Si 400 10 keV", QString("Si 4 0 0 10000"));
        dataRow("Si 333 12 keV", QString("Si 3 3 3 12000"));
        dataRow("Ge 111 8 keV", QString("Ge 1 1 1 8000 80.4 2.1"));
        dataRow("Ge 220 8 keV", QString("Ge 2 2 0 8000"));
        dataRow("Ge 111 10 keV", QString("Ge 1 1 1 10000"));
    }
    void widths()
    {
        QFETCH(QString, given);
        const QStringList g = given.split(' ');
        const QString material = g[0];
        const int h = g[1].toInt(), k = g[2].toInt(), l = g[3].toInt();
        const double energy = g[4].toDouble();
        const double d = shownSpacing(material, h, k, l);
        const auto f = factors(material, Miller{h, k, l}, d, energy);
        QVERIFY(f.ok());
        const std::optional<Band> b = band(*f.value, energy);
        QVERIFY(b && b->fwhmPi);
        if (g.size() > 5)
            QVERIFY(within(b->fwhmSigma * 1e6, g[5].toDouble(), 0.02)
                    && within(b->shift, g[6].toDouble(), 0.05));

        // The plateau width 2 |chi_h| / sin 2theta from |F_H|, the temperature factor and the
        // accepted cell, all worked out here.
        const double lambda = 12398.424360387684 / energy;
        const double theta = std::asin(lambda / (2 * d));
        const double debye = std::exp(-(material == "Si" ? 0.4632 : 0.565) / (4 * d * d));
        const auto fh = XrayData::structureFactor(material, energy, h, k, l, 1.0);
        const auto f0 = XrayData::structureFactor(material, energy, 0, 0, 0, 1.0);
        const double gamma
            = kRe * lambda * lambda / (M_PI * XrayData::cell(material).value->volume);
        const double plateau = 2 * gamma * std::abs(*fh.value) * debye / std::sin(2 * theta);
        QVERIFY2(within(b->fwhmSigma, kDarwinRatio * plateau, 0.02),
                 qPrintable(QString::number(b->fwhmSigma / plateau)));
        // pi: the coupling times |cos 2theta|, so nearly the width times it.
        QVERIFY(within(*b->fwhmPi, b->fwhmSigma * std::fabs(std::cos(2 * theta)), 0.03));
        // The centre lies 2 delta / sin 2theta above the Bragg angle (refraction): in energy
        // E (2 delta / sin 2theta) / tan theta, a band centred above E.
        const double delta = 0.5 * gamma * f0.value->real();
        const double refraction = energy * (2 * delta / std::sin(2 * theta)) / std::tan(theta);
        QVERIFY(refraction > 0 && within(b->shift, refraction, 0.02));
        // The sigma band: E dTheta / tan theta wide, about E plus the shift.
        QVERIFY(within(b->high - b->low, energy * b->fwhmSigma / std::tan(theta), 1e-9));
        QVERIFY(near(0.5 * (b->low + b->high), energy + b->shift, 1e-9));
    }

    void coverageOfHandMadeBands_data()
    {
        QTest::addColumn<QString>("given");    // bands "low:high", "-" for a crystal without one
        QTest::addColumn<QString>("expected"); // gaps above each | covered | fraction | largest gap
        dataRow("apart", QString("0:1 2:3 5:6"), QString("1 2 -|3|0.5|2"));
        dataRow("falling", QString("5:6 2:3 0:1"), QString("- 2 1|3|0.5|2"));
        dataRow("overlap", QString("0:2 1:3"), QString("-1 -|3|1|0"));
        dataRow("touching", QString("0:1 1:2"), QString("0 -|2|1|0"));
        // By centres: 2:3 (2.5) lies below 0:10 (5).
        dataRow("nested", QString("0:10 2:3"), QString("- -3|10|1|0"));
        dataRow("no band between", QString("0:1 - 3:4"), QString("2 - -|2|0.5|2"));
        dataRow("one", QString("5:6"), QString("-|1|1|0"));
        dataRow("zero width", QString("5:5"), QString("-|0|-|0"));
        dataRow("none", QString("- -"), QString("- -|0|-|0"));
    }
    void coverageOfHandMadeBands()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QVector<std::optional<Interval>> bands;
        for (const QString &b : given.split(' '))
            bands << (b == "-" ? std::nullopt
                               : std::optional<Interval>({b.section(':', 0, 0).toDouble(),
                                                          b.section(':', 1).toDouble()}));
        const Coverage c = coverage(bands);
        QStringList gaps;
        for (const std::optional<double> &g : c.gapAbove)
            gaps << text(g);
        const QStringList shown{
            gaps.join(' '), text(c.covered), text(c.fraction), text(c.largestGap)};
        QCOMPARE(shown.join('|'), expected);
    }

    void leastSquaresFocus_data()
    {
        QTest::addColumn<QVector<HRay>>("rays");
        QTest::addColumn<QPointF>("focus"); // y NaN: none; x NaN: any
        QTest::addColumn<double>("rms");
        QTest::addColumn<int>("virtualPairs");
        QTest::addColumn<int>("parallelPairs");
        // Lines through (100, 50), from points before it, and two from beyond it.
        QVector<HRay> through;
        for (const double a : {10.0, 25.0, 40.0, 60.0})
            through << ray(
                100 - 80 * std::cos(a / 180 * M_PI), 50 - 80 * std::sin(a / 180 * M_PI), a);
        dataRow("through (100, 50)", through, QPointF(100, 50), 0.0, 0, 0);
        // 4 x 2 + 1 pairs meet behind a ray.
        const QVector<HRay> beyond{ray(150, 60, 11.309932474020215), ray(130, 80, 45)};
        dataRow("two beyond it", through + beyond, QPointF(100, 50), 0.0, 9, 0);
        // x = 0, y = 0 and x + y = 2: the point (1/2, 1/2), distances 1/2, 1/2, 1/sqrt 2.
        const QVector<HRay> triangle{ray(0, -5, 90), ray(-5, 0, 0), ray(3, -1, 135)};
        dataRow("triangle", triangle, QPointF(0.5, 0.5), std::sqrt(1.0 / 3), 0, 0);
        // A parallel pair counts at the origin in the average; the third line fixes the point.
        const QVector<HRay> pair{ray(0, 0, 30), ray(0, 5, 30), ray(10, -10, 90)};
        dataRow("a parallel pair", pair, QPointF(qQNaN(), 0), -1.0, 0, 1);
        const QVector<HRay> parallel{ray(0, 0, 30), ray(0, 5, 30), ray(3, 1, 30)};
        dataRow("all parallel", parallel, QPointF(qQNaN(), qQNaN()), -1.0, 0, 3);
        dataRow("one", QVector<HRay>{ray(1, 2, 3)}, QPointF(qQNaN(), qQNaN()), -1.0, 0, 0);
    }
    void leastSquaresFocus()
    {
        QFETCH(QVector<HRay>, rays);
        QFETCH(QPointF, focus);
        QFETCH(double, rms);
        QFETCH(int, virtualPairs);
        QFETCH(int, parallelPairs);
        const FocusQuality q = focusQuality(rays);
        QCOMPARE(q.virtualPairs, qint64(virtualPairs));
        QCOMPARE(q.parallelPairs, qint64(parallelPairs));
        QCOMPARE(bool(q.focus), !std::isnan(focus.y()));
        if (q.focus && !std::isnan(focus.x()))
            QVERIFY(near(q.focus->x, focus.x()) && near(q.focus->y, focus.y()) && near(q.rms, rms));
        QVERIFY(!q.focus || q.rms > 0 || rms == 0);
    }

    void arrays_data()
    {
        // Material, h k l, start energy, energy step, type, and a spacing other than the shown one.
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("states");    // B band, R no reflection, F forbidden
        QTest::addColumn<double>("fraction");   // NaN: none; negative: not checked
        QTest::addColumn<double>("largestGap"); // negative: not checked
        QTest::addColumn<double>("offset");     // at the start energy; NaN: none
        // The default design: ten bands of about 1.13 eV, 15 eV apart, cover 8 % of 136 eV with
        // gaps of 13.9 eV; the design's Si constant 5.4301 lies 0.0006 A below the accepted
        // 5.4307: 8000 (5.4301 / 5.4307 - 1) = -0.88 eV.
        dataRow("default", "Si 1 1 1 8000 -15 3", "BBBBBBBBBB", 11.3 / 136.1, 15 - 1.13, -0.88);
        // Ge: bands of about 2.63 eV; 5.6754 puts a real crystal 25.5 eV above its label.
        dataRow("Ge 111", "Ge 1 1 1 8000 -15 4", "BBBBBBBBBB", 26.3 / 137.6, 15 - 2.63, 25.52);
        dataRow("Si 200", "Si 2 0 0 8000 0 5", "FFFFFFFFFF", qQNaN(), 0.0, -0.88);
        // Below the cut-off at 1977 eV: the -1 degree marker, no band.
        dataRow("cut-off", "Si 1 1 1 1000 500 3", "RRBBBBBBBB", -2.0, -2.0, qQNaN());
        // Bands of 2.6 eV and more, 1 eV apart: they overlap and cover everything.
        dataRow("overlapping", "Ge 1 1 1 8000 1 6", "BBBBBBBBBB", 1.0, 0.0, 25.52);
        // No spacing (indices 0 0 0, or d NaN or 0 as a file may give it), or no data for the
        // material: no band, no number, no NaN. The crystals lie flat or at -1 degree, all
        // parallel.
        const double none = qQNaN();
        dataRow("0 0 0", "Si 0 0 0 8000 -15 1", "RRRRRRRRRR", none, 0.0, none);
        dataRow("d NaN", "Si 1 1 1 8000 -15 7 nan", "RRRRRRRRRR", none, 0.0, none);
        dataRow("d 0", "Si 1 1 1 8000 -15 5 0", "RRRRRRRRRR", none, 0.0, none);
        dataRow("no material", "Xx 1 1 1 8000 -15 3", "DDDDDDDDDD", none, 0.0, none);
    }
    void arrays()
    {
        QFETCH(QString, given);
        QFETCH(QString, states);
        QFETCH(double, fraction);
        QFETCH(double, largestGap);
        QFETCH(double, offset);
        const QStringList g = given.split(' ');
        const double e0 = g[4].toDouble();
        DesignMaterial m = design(g[0], g[1].toInt(), g[2].toInt(), g[3].toInt(), e0);
        m.spacing = g.value(7, QString::number(m.spacing, 'g', 17)).toDouble();
        const QVector<CrystalOptics> cs
            = layOut({g[6].toInt(), e0, g[5].toDouble(), 10, 4, 1, 4}, m.spacing);
        const BandsAnalysis a = analyseBands(m, crystalList(cs));
        QString got;
        for (const CrystalBand &c : a.crystals) {
            got += "BRFD"[int(c.state)];
            // Never a NaN among the numbers, band or none.
            for (const double v :
                 {c.fwhmSigma, c.low, c.high, c.shift, c.latticeOffset, c.energy.value_or(0)})
                QVERIFY(std::isfinite(v));
            if (c.state == BandState::Band)
                QVERIFY(c.low < *c.energy + c.shift && *c.energy + c.shift < c.high);
        }
        QCOMPARE(got, states);
        QCOMPARE(bool(a.fwhmSigmaAtStart), states[0] == 'B');
        const Coverage &c = a.coverage;
        QVERIFY(std::isnan(fraction)
                    ? !c.fraction && !c.bands
                    : fraction < 0 || near(c.fraction.value_or(0), fraction, 0.003));
        QVERIFY(largestGap < 0 || near(c.largestGap, largestGap, 0.05));
        QVERIFY(std::isnan(offset) ? !a.offsetAtStart
                                   : near(a.offsetAtStart.value_or(qQNaN()), offset, 0.01));
        // The accepted constant beside the design's: xraylib's own, not the design's.
        QVERIFY(a.acceptedLattice ? *a.acceptedLattice != m.latticeConstant
                                  : a.reflection.status == Status::NoData);

        // The averaged focus is the tracing's read-out to the last bit; its parallel pairs are
        // those the tracing counts at the origin, its virtual ones those crossPoint puts behind.
        PointList cps, centres;
        crossCentreRays(crystalList(cs), cps, centres);
        qint64 behind = 0, parallel = 0;
        for (int i = 0; i < cs.size(); ++i) {
            for (int j = i + 1; j < cs.size(); ++j) {
                Point p;
                behind += !crossPoint(cs[i].outCentre, cs[j].outCentre, p) && p.valid;
                parallel += !p.valid;
            }
        }
        QVERIFY(a.focus.averaged && a.focus.averaged->x == cps.center().x
                && a.focus.averaged->y == cps.center().y);
        QCOMPARE(a.focus.pairs, qint64(45));
        QCOMPARE(a.focus.parallelPairs, parallel);
        QCOMPARE(a.focus.virtualPairs, behind);
    }
};

QTEST_MAIN(tst_Physics)
#include "tst_physics.moc"
