#include "bandanalysis.h"
#include "bragg.h"
#include "layout.h"
#include "reflection.h"
#include "testsupport.h"
#include "xraydata.h"

#include <QtTest>

#include <cmath>

using namespace Reflection;

namespace {

// Physics the tests derive for themselves: the classical electron radius (CODATA 2018), the
// temperature factors, the Darwin plateau and the FWHM of a crystal without absorption.
constexpr double kRe = 2.8179403262e-5;
const double kDarwinRatio = 3.0 / (2.0 * std::sqrt(2.0)); // FWHM / plateau width, no absorption

double tempB(const QString &m)
{
    return m == "Si" ? 0.4632 : 0.565;
}

double designA(const QString &m)
{
    return m == "Si" ? 5.4301 : 5.6754;
}

// The spacing as the material panel shows it: six significant digits.
double shownSpacing(const QString &m, int h, int k, int l)
{
    return QString::number(designA(m) / std::sqrt(h * h + k * k + l * l), 'g', 6).toDouble();
}

bool within(double value, double expected, double relative)
{
    return std::fabs(value - expected) <= relative * std::fabs(expected);
}

// Bands "low:high" separated by blanks, "-" for a crystal without a band.
QVector<std::optional<Interval>> bands(const QString &s)
{
    QVector<std::optional<Interval>> r;
    for (const QString &b : s.split(' ', Qt::SkipEmptyParts)) {
        if (b == "-")
            r << std::nullopt;
        else
            r << Interval{b.section(':', 0, 0).toDouble(), b.section(':', 1, 1).toDouble()};
    }
    return r;
}

QString gaps(const QVector<std::optional<double>> &g)
{
    QStringList r;
    for (const std::optional<double> &v : g)
        r << (v ? QString::number(*v) : QStringLiteral("-"));
    return r.join(' ');
}

// A half-ray from (x, y) at deg degrees.
HRay ray(double x, double y, double deg)
{
    return HRay(Point(x, y), Dir(deg));
}

DesignMaterial design(const QString &m, int h, int k, int l, double e0)
{
    DesignMaterial d;
    d.material = m;
    d.h = h;
    d.k = k;
    d.l = l;
    d.latticeConstant = designA(m);
    d.spacing = shownSpacing(m, h, k, l);
    d.startEnergy = e0;
    return d;
}

CrystalList list(const QVector<CrystalOptics> &cs)
{
    CrystalList l;
    for (const CrystalOptics &c : cs)
        l << &c;
    return l;
}

} // namespace

Q_DECLARE_METATYPE(HRay)

class tst_Physics : public QObject
{
    Q_OBJECT

private slots:
    void allowedAgainstTheDiamondRule_data()
    {
        QTest::addColumn<QString>("material");
        dataRow("Si", QString("Si"));
        dataRow("Ge", QString("Ge"));
    }
    void allowedAgainstTheDiamondRule()
    {
        // Diamond: F_H = 0 exactly when h, k, l are of mixed parity, or all even with
        // h + k + l = 4n + 2. Every hkl with |h|, |k|, |l| <= 6.
        QFETCH(QString, material);
        int forbidden = 0;
        for (int h = -6; h <= 6; ++h) {
            for (int k = -6; k <= 6; ++k) {
                for (int l = -6; l <= 6; ++l) {
                    const Check c = checkReflection(material, h, k, l);
                    if (h == 0 && k == 0 && l == 0) {
                        QCOMPARE(c.status, Status::NoPlanes);
                        continue;
                    }
                    const int odd = (h & 1) + (k & 1) + (l & 1);
                    const bool mixed = odd == 1 || odd == 2;
                    const bool rule = mixed || (odd == 0 && ((h + k + l) % 4 + 4) % 4 == 2);
                    forbidden += rule;
                    QVERIFY2(c.status == (rule ? Status::Forbidden : Status::Allowed),
                             qPrintable(QString("%1 %2 %3").arg(h).arg(k).arg(l)));
                    // Far from the threshold on either side.
                    QVERIFY(rule ? c.relativeF < 1e-12 : c.relativeF > 1e-3);
                }
            }
        }
        QVERIFY(forbidden > 1000);
    }

    void notAReflection()
    {
        QCOMPARE(checkReflection("Si", 1.5, 1, 1).status, Status::NotWhole);
        QCOMPARE(checkReflection("Si", 100, 0, 0).status, Status::NotWhole);
        QCOMPARE(checkReflection("Si", qQNaN(), 1, 1).status, Status::NotWhole);
        QCOMPARE(checkReflection("Si", -1, 1, -1).status, Status::Allowed);
        const Check none = checkReflection("", 1, 1, 1);
        QVERIFY(none.status == Status::NoData && !none.error.isEmpty());
        // xraylib answers below the cut-off, at 0 eV and for NaN with NaN or an error: both
        // come back as a message, never as a number.
        for (const double e : {1000.0, 0.0, -8000.0, qQNaN(), qInf()}) {
            const auto f = XrayData::structureFactor("Si", e, 1, 1, 1, 1.0);
            QVERIFY(!f.ok() && !f.error.isEmpty());
        }
        QVERIFY(!factors("Si", Miller{1, 1, 1}, 3.13507, 1977).ok()); // below hc / 2d
        QVERIFY(!factors("Xx", Miller{1, 1, 1}, 3.13507, 8000).ok());
    }

    void darwinWithoutAbsorption_data()
    {
        QTest::addColumn<double>("thetaDeg");
        QTest::addColumn<double>("polarisation");
        dataRow("sigma 14 deg", 14.31, 1.0);
        dataRow("pi 14 deg", 14.31, std::fabs(std::cos(2 * 14.31 / 180 * M_PI)));
        dataRow("sigma 70 deg", 70.0, 1.0);
    }
    void darwinWithoutAbsorption()
    {
        // Real susceptibilities: total reflection on the plateau |u| <= 1 of the reduced
        // deviation u = (dTheta sin 2theta + chi_0) / |P chi_h|, R = (|u| - sqrt(u^2 - 1))^2
        // outside, half of it at u = 3 / (2 sqrt 2).
        QFETCH(double, thetaDeg);
        QFETCH(double, polarisation);
        Factors f;
        f.theta = thetaDeg / 180 * M_PI;
        f.chi0 = -1.5e-5;
        f.chih = f.chihbar = -8e-6;
        const double s2 = std::sin(2 * f.theta);
        const double g = polarisation * 8e-6;
        const auto angle = [&](double u) { return (u * g - f.chi0.real()) / s2; };
        for (const double u : {-0.999, -0.5, 0.0, 0.7, 1.0})
            QVERIFY(near(reflectivity(f, polarisation, angle(u)), 1.0, 1e-12));
        const double two = 2 - std::sqrt(3.0);
        QVERIFY(near(reflectivity(f, polarisation, angle(2)), two * two, 1e-12));
        QVERIFY(near(reflectivity(f, polarisation, angle(-2)), two * two, 1e-12));

        const std::optional<Curve> c = rockingCurve(f, polarisation);
        QVERIFY(c);
        QVERIFY(near(c->peak, 1.0, 1e-12));
        QVERIFY(within(c->fwhm, kDarwinRatio * 2 * g / s2, 1e-9));
        QVERIFY(near(c->centre, 1.5e-5 / s2, 1e-9 * c->fwhm));
        // No coupling: nothing reflects.
        QVERIFY(!rockingCurve(f, 0.0));
    }

    void widths_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("l");
        QTest::addColumn<double>("energy");
        // Weak absorption throughout (Im chi_0 below 6 % of |chi_h|; Ge below its K edge).
        dataRow("Si 111 8 keV", QString("Si"), 1, 1, 1, 8000.0);
        dataRow("Si 111 17.5 keV", QString("Si"), 1, 1, 1, 17479.0);
        dataRow("Si 220 8 keV", QString("Si"), 2, 2, 0, 8000.0);
        dataRow("Si 220 12 keV", QString("Si"), 2, 2, 0, 12000.0);
        dataRow("Si 400 10 keV", QString("Si"), 4, 0, 0, 10000.0);
        dataRow("Si 333 12 keV", QString("Si"), 3, 3, 3, 12000.0);
        dataRow("Ge 111 8 keV", QString("Ge"), 1, 1, 1, 8000.0);
        dataRow("Ge 220 8 keV", QString("Ge"), 2, 2, 0, 8000.0);
        dataRow("Ge 111 10 keV", QString("Ge"), 1, 1, 1, 10000.0);
    }
    void widths()
    {
        QFETCH(QString, material);
        QFETCH(int, h);
        QFETCH(int, k);
        QFETCH(int, l);
        QFETCH(double, energy);
        const double d = shownSpacing(material, h, k, l);
        const auto f = factors(material, Miller{h, k, l}, d, energy);
        QVERIFY(f.ok());
        const std::optional<Band> b = band(*f.value, energy);
        QVERIFY(b && b->fwhmPi);

        // The plateau width 2 |chi_h| / sin 2theta from |F_H|, the temperature factor and the
        // accepted cell, all worked out here.
        const double lambda = 12398.424360387684 / energy;
        const double theta = std::asin(lambda / (2 * d));
        const double debye = std::exp(-tempB(material) / (4 * d * d));
        const auto fh = XrayData::structureFactor(material, energy, h, k, l, 1.0);
        const auto f0 = XrayData::structureFactor(material, energy, 0, 0, 0, 1.0);
        const double volume = XrayData::cell(material).value->volume;
        const double gamma = kRe * lambda * lambda / (M_PI * volume);
        const double chih = gamma * std::abs(*fh.value) * debye;
        const double plateau = 2 * chih / std::sin(2 * theta);
        QVERIFY2(within(b->fwhmSigma, kDarwinRatio * plateau, 0.02),
                 qPrintable(QString::number(b->fwhmSigma / plateau)));
        // pi: the coupling times |cos 2theta|, so nearly the width times it.
        QVERIFY(within(*b->fwhmPi, b->fwhmSigma * std::fabs(std::cos(2 * theta)), 0.03));
        // The centre lies 2 delta / sin 2theta above the Bragg angle (refraction): in energy
        // E (2 delta / sin 2theta) / tan theta, a band centred above E.
        const double delta = 0.5 * gamma * f0.value->real();
        const double shift = energy * (2 * delta / std::sin(2 * theta)) / std::tan(theta);
        QVERIFY(shift > 0 && within(b->shift, shift, 0.02));
        // The sigma band: E dTheta / tan theta wide, about E plus the shift.
        QVERIFY(within(b->high - b->low, energy * b->fwhmSigma / std::tan(theta), 1e-9));
        QVERIFY(near(0.5 * (b->low + b->high), energy + b->shift, 1e-9));
    }

    void referenceWidths_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<double>("fwhm"); // sigma, microradians
        QTest::addColumn<double>("band"); // eV
        QTest::addColumn<double>("shift");
        // Values of the field's general-purpose tools for 111 at 8000 eV.
        dataRow("Si", QString("Si"), 36.0, 1.13, 1.0);
        dataRow("Ge", QString("Ge"), 80.4, 2.63, 2.1);
    }
    void referenceWidths()
    {
        QFETCH(QString, material);
        QFETCH(double, fwhm);
        QFETCH(double, band);
        QFETCH(double, shift);
        const auto f = factors(material, Miller{1, 1, 1}, shownSpacing(material, 1, 1, 1), 8000);
        const std::optional<Band> b = Reflection::band(*f.value, 8000);
        QVERIFY(within(b->fwhmSigma * 1e6, fwhm, 0.02));
        QVERIFY(within(b->high - b->low, band, 0.02));
        QVERIFY(within(b->shift, shift, 0.05));
    }

    void coverageOfHandMadeBands_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("gapsAbove");
        QTest::addColumn<double>("covered");
        QTest::addColumn<double>("fraction"); // -1: none
        QTest::addColumn<double>("largestGap");
        dataRow("apart", QString("0:1 2:3 5:6"), QString("1 2 -"), 3.0, 0.5, 2.0);
        dataRow("falling", QString("5:6 2:3 0:1"), QString("- 2 1"), 3.0, 0.5, 2.0);
        dataRow("overlap", QString("0:2 1:3"), QString("-1 -"), 3.0, 1.0, 0.0);
        dataRow("touching", QString("0:1 1:2"), QString("0 -"), 2.0, 1.0, 0.0);
        // By centres: 2:3 (2.5) lies below 0:10 (5).
        dataRow("nested", QString("0:10 2:3"), QString("- -3"), 10.0, 1.0, 0.0);
        dataRow("no band between", QString("0:1 - 3:4"), QString("2 - -"), 2.0, 0.5, 2.0);
        dataRow("one", QString("5:6"), QString("-"), 1.0, 1.0, 0.0);
        dataRow("zero width", QString("5:5"), QString("-"), 0.0, -1.0, 0.0);
        dataRow("none", QString("- -"), QString("- -"), 0.0, -1.0, 0.0);
    }
    void coverageOfHandMadeBands()
    {
        QFETCH(QString, given);
        QFETCH(QString, gapsAbove);
        QFETCH(double, covered);
        QFETCH(double, fraction);
        QFETCH(double, largestGap);
        const Coverage c = coverage(bands(given));
        QCOMPARE(gaps(c.gapAbove), gapsAbove);
        QCOMPARE(c.covered, covered);
        QCOMPARE(c.fraction.value_or(-1.0), fraction);
        QCOMPARE(c.largestGap, largestGap);
    }

    void leastSquaresFocus_data()
    {
        QTest::addColumn<QVector<HRay>>("rays");
        QTest::addColumn<QPointF>("focus"); // NaN: none
        QTest::addColumn<double>("rms");
        QTest::addColumn<int>("virtualPairs");
        QTest::addColumn<int>("parallelPairs");
        // Lines through (100, 50), from points before it, and two from beyond it.
        QVector<HRay> through;
        for (const double a : {10.0, 25.0, 40.0, 60.0})
            through << ray(
                100 - 80 * std::cos(a / 180 * M_PI), 50 - 80 * std::sin(a / 180 * M_PI), a);
        dataRow("through (100, 50)", through, QPointF(100, 50), 0.0, 0, 0);
        QVector<HRay> behind = through;
        behind << ray(150, 60, 11.309932474020215) << ray(130, 80, 45);
        // 4 x 2 + 1 pairs meet behind a ray.
        dataRow("two beyond it", behind, QPointF(100, 50), 0.0, 9, 0);
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
        QCOMPARE(q.pairs, qint64(rays.size()) * (rays.size() - 1) / 2);
        QCOMPARE(q.virtualPairs, qint64(virtualPairs));
        QCOMPARE(q.parallelPairs, qint64(parallelPairs));
        if (std::isnan(focus.y())) {
            QVERIFY(!q.focus);
        } else if (rms >= 0) {
            QVERIFY(q.focus && near(q.focus->x, focus.x(), 1e-9)
                    && near(q.focus->y, focus.y(), 1e-9));
            QVERIFY(near(q.rms, rms, 1e-9));
        } else {
            QVERIFY(q.focus && q.rms > 0);
        }
    }

    void averagedFocusAsTheTracingMakesIt_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("step");
        dataRow("type 3", 3, -15.0);
        dataRow("type 4", 4, -15.0);
        dataRow("type 5 dE 0", 5, 0.0);
        dataRow("type 1 dE 0", 1, 0.0);
        dataRow("type 6", 6, 20.0);
    }
    void averagedFocusAsTheTracingMakesIt()
    {
        // The average of the pairwise crossings is the read-out's focus to the last bit, its
        // parallel pairs are the tracing's, its virtual ones those crossPoint puts behind.
        QFETCH(int, type);
        QFETCH(double, step);
        const QVector<CrystalOptics> cs = layOut({type, 8000, step, 12, 4, 1, 4}, 3.13507);
        Points cps, centres;
        crossCentreRays(list(cs), cps, centres);
        QVector<HRay> rays;
        qint64 behind = 0, parallel = 0;
        for (int i = 0; i < cs.size(); ++i) {
            rays << cs[i].outCentre;
            for (int j = i + 1; j < cs.size(); ++j) {
                Point p;
                const bool ahead = crossPoint(cs[i].outCentre, cs[j].outCentre, p);
                behind += !ahead && p.valid;
                parallel += !p.valid;
            }
        }
        const FocusQuality q = focusQuality(rays);
        QVERIFY(q.averaged);
        QCOMPARE(q.averaged->x, cps.center().x);
        QCOMPARE(q.averaged->y, cps.center().y);
        QCOMPARE(q.parallelPairs, parallel);
        QCOMPARE(q.virtualPairs, behind);
    }

    void arrays_data()
    {
        QTest::addColumn<QString>("given");  // material, h k l, start energy, energy step
        QTest::addColumn<QString>("states"); // B band, R no reflection, F forbidden
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("largestGap");
        QTest::addColumn<double>("offset"); // at the start energy; NaN: none
        // The default design: ten bands of about 1.13 eV, 15 eV apart, cover 8 % of 136 eV with
        // gaps of 13.9 eV; the design's Si constant 5.4301 lies 0.0006 A below the accepted
        // 5.4307: 8000 (5.4301 / 5.4307 - 1) = -0.88 eV.
        dataRow("default", "Si 1 1 1 8000 -15", "BBBBBBBBBB", 11.3 / 136.1, 15 - 1.13, -0.88);
        // Ge: bands of about 2.63 eV; 5.6754 puts a real crystal 25.5 eV above its label.
        dataRow("Ge 111", "Ge 1 1 1 8000 -15", "BBBBBBBBBB", 26.3 / 137.6, 15 - 2.63, 25.52);
        dataRow("Si 200", "Si 2 0 0 8000 -15", "FFFFFFFFFF", -1.0, 0.0, -0.88);
        // Below the cut-off at 1977 eV: the -1 degree marker, no band.
        dataRow("cut-off", "Si 1 1 1 1000 500", "RRBBBBBBBB", -2.0, -2.0, qQNaN());
        // Bands of 2.6 eV and more, 1 eV apart: they overlap and cover everything.
        dataRow("overlapping", "Ge 1 1 1 8000 1", "BBBBBBBBBB", 1.0, 0.0, 25.52);
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
        const DesignMaterial m = design(g[0], g[1].toInt(), g[2].toInt(), g[3].toInt(), e0);
        const QVector<CrystalOptics> cs = layOut({3, e0, g[5].toDouble(), 10, 4, 1, 4}, m.spacing);
        const BandsAnalysis a = analyseBands(m, list(cs));
        QString got;
        for (const CrystalBand &c : a.crystals) {
            got += "BRFD"[int(c.state)];
            // Never a NaN among the numbers, band or none.
            for (const double v : {c.fwhmSigma, c.low, c.high, c.shift, c.latticeOffset})
                QVERIFY(std::isfinite(v));
            if (c.state == BandState::Band)
                QVERIFY(c.low < *c.energy + c.shift && *c.energy + c.shift < c.high);
        }
        QCOMPARE(got, states);
        if (fraction == -1.0)
            QVERIFY(!a.coverage.fraction && a.coverage.bands == 0);
        else if (fraction >= 0)
            QVERIFY2(near(*a.coverage.fraction, fraction, 0.003),
                     qPrintable(QString::number(*a.coverage.fraction)));
        if (largestGap >= 0)
            QVERIFY2(near(a.coverage.largestGap, largestGap, 0.05),
                     qPrintable(QString::number(a.coverage.largestGap)));
        QCOMPARE(bool(a.offsetAtStart), !std::isnan(offset));
        if (a.offsetAtStart)
            QVERIFY2(near(*a.offsetAtStart, offset, 0.01),
                     qPrintable(QString::number(*a.offsetAtStart)));
        // The accepted constant beside the design's: xraylib's own, not the design's.
        QVERIFY(a.acceptedLattice && *a.acceptedLattice != m.latticeConstant);
        QCOMPARE(a.focus.pairs, qint64(45));
    }

    void nothingToAnalyse()
    {
        // No spacing, no indices, no material: no numbers anywhere, and no NaN.
        DesignMaterial m = design("Si", 0, 0, 0, 8000);
        const QVector<CrystalOptics> cs = layOut({3, 8000, -15, 3, 4, 1, 4}, m.spacing);
        for (const double d : {m.spacing, qQNaN(), 0.0}) {
            m.spacing = d;
            const BandsAnalysis a = analyseBands(m, list(cs));
            QVERIFY(!a.fwhmSigmaAtStart && !a.offsetAtStart && a.coverage.bands == 0);
            for (const CrystalBand &c : a.crystals)
                QVERIFY(c.state != BandState::Band && (!c.energy || std::isfinite(*c.energy)));
        }
        m = design("Xx", 1, 1, 1, 8000);
        const BandsAnalysis a = analyseBands(m, list(layOut({}, m.spacing)));
        QVERIFY(a.reflection.status == Status::NoData && !a.acceptedLattice);
        QCOMPARE(a.crystals.value(0).state, BandState::NoData);
        QVERIFY(analyseBands(m, {}).crystals.isEmpty());
    }
};

QTEST_MAIN(tst_Physics)
#include "tst_physics.moc"
