#include "bandanalysis.h"
#include "bragg.h"
#include "latticeconstants.h"
#include "layout.h"
#include "reflection.h"
#include "testsupport.h"
#include "xraydata.h"

#include <QtTest>

#include <cmath>

using namespace Reflection;

// Physics the tests derive for themselves: the classical electron radius (CODATA 2018), the
// Darwin plateau and the FWHM of a crystal without absorption, the lattice constants of real
// crystals (CODATA 2018 for Si at 22.5 degrees C; Ge 5.6579 at 25 degrees C, 5.9e-6 / K) and the
// temperature factors B (Si 0.4632, Ge 0.565 Angstrom^2).
constexpr double kRe = 2.8179403262e-5;
const double kDarwinRatio = 3.0 / (2.0 * std::sqrt(2.0)); // FWHM / plateau width, no absorption
constexpr double kSiA = 5.431020511;
const double kGeA = 5.6579 * std::exp(5.9e-6 * (22.5 - 25.0));

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
    // Four lines through (100, 50), from points before it.
    static QVector<HRay> linesThrough()
    {
        QVector<HRay> through;
        for (const double a : {10.0, 25.0, 40.0, 60.0})
            through << ray(
                100 - 80 * std::cos(a / 180 * M_PI), 50 - 80 * std::sin(a / 180 * M_PI), a);
        return through;
    }

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
        QTest::addColumn<double>("degree"); // of polarisation
        QTest::addColumn<double>("coupling");
        dataRow("sigma 14 deg", 14.31, 1.0, 1.0);
        dataRow("pi 14 deg", 14.31, -1.0, std::fabs(std::cos(2 * 14.31 / 180 * M_PI)));
        dataRow("sigma 70 deg", 70.0, 1.0, 1.0);
        // Near backscattering the deviation is far from linear in the angle.
        dataRow("sigma 88.6 deg", 88.6, 1.0, 1.0);
        dataRow("sigma 89.4 deg", 89.4, 1.0, 1.0);
    }
    // Real susceptibilities: total reflection on the plateau |u| <= 1 of the reduced deviation
    // u = (x + chi_0) / |P chi_h| with x = 2 sin thetaB (sin theta - sin thetaB),
    // R = (|u| - sqrt(u^2 - 1))^2 outside, half of it at u = 3 / (2 sqrt 2); as angles
    // theta = asin(sin thetaB + x / (2 sin thetaB)).
    void darwinWithoutAbsorption()
    {
        QFETCH(double, thetaDeg);
        QFETCH(double, degree);
        QFETCH(double, coupling);
        Factors f;
        f.theta = thetaDeg / 180 * M_PI;
        f.spacing = 3.1356;
        f.energy = Bragg::hc / (2 * f.spacing * std::sin(f.theta));
        f.chi0 = -1.5e-5;
        f.chih = f.chihbar = -8e-6;
        const double sB = std::sin(f.theta);
        const double g = coupling * 8e-6;
        const auto angle = [&](double u) { return std::asin(sB + (u * g + 1.5e-5) / (2 * sB)); };
        const double outside = (2 - std::sqrt(3.0)) * (2 - std::sqrt(3.0));
        const Polarisation p{degree};
        for (const double u : {-2.0, -0.999, -0.5, 0.0, 0.7, 0.999, 2.0}) {
            const double r = reflectivity(f, p, angle(u) - f.theta);
            QVERIFY2(near(r, std::fabs(u) > 1 ? outside : 1.0, 1e-6),
                     qPrintable(QString::number(u)));
        }
        const std::optional<Curve> c = rockingCurve(f, p);
        QVERIFY(c && near(c->peak, 1.0, 1e-12));
        const double u = kDarwinRatio;
        QVERIFY(within(c->fwhm, angle(u) - angle(-u), 1e-7));
        QVERIFY(near(c->centre, 0.5 * (angle(u) + angle(-u)) - f.theta, 1e-7 * c->fwhm));
        // Near backscattering the linearised width 2 u g / sin 2 thetaB is too narrow.
        const double linear = 2 * u * g / std::sin(2 * f.theta);
        QVERIFY(thetaDeg > 85 ? c->fwhm > 1.01 * linear : within(c->fwhm, linear, 0.002));
    }
    // pi does not couple at 2 thetaB = 90 degrees: nothing is reflected, half of unpolarised light.
    void piAtFortyFive()
    {
        Factors f;
        f.theta = M_PI / 4;
        f.spacing = 3.1356;
        f.energy = Bragg::hc / (2 * f.spacing * std::sin(f.theta));
        f.chi0 = -1.5e-5;
        f.chih = f.chihbar = -8e-6;
        QVERIFY(!rockingCurve(f, Polarisation::pi()));
        const std::optional<Curve> unpolarised = rockingCurve(f, Polarisation::unpolarised());
        QVERIFY(unpolarised && near(unpolarised->peak, 0.5, 1e-12));
        QCOMPARE(unpolarised->fwhm, rockingCurve(f, Polarisation::sigma())->fwhm);
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
        const double a = material == "Si" ? kSiA : kGeA;
        const double d = a / std::sqrt(h * h + k * k + l * l);
        const auto f = factors(material, Miller{h, k, l}, d, energy);
        QVERIFY(f.ok());
        const std::optional<Band> b = band(*f.value);
        QVERIFY(b && b->pi);
        if (g.size() > 5)
            QVERIFY(within(b->sigma.fwhm * 1e6, g[5].toDouble(), 0.02)
                    && within(b->shift, g[6].toDouble(), 0.05));

        // The plateau width 2 |chi_h| / sin 2theta from |F_H| of the real cell, the temperature
        // factor and the cell's volume a^3, all worked out here.
        const double lambda = 12398.424360387684 / energy;
        const double theta = std::asin(lambda / (2 * d));
        const double debye = std::exp(-(material == "Si" ? 0.4632 : 0.565) / (4 * d * d));
        const auto sf = XrayData::realStructureFactors(material, a, energy, h, k, l, 1.0);
        const double gamma = kRe * lambda * lambda / (M_PI * a * a * a);
        const double plateau = 2 * gamma * std::abs(sf.value->fh) * debye / std::sin(2 * theta);
        QVERIFY2(within(b->sigma.fwhm, kDarwinRatio * plateau, 0.02),
                 qPrintable(QString::number(b->sigma.fwhm / plateau)));
        // pi: the coupling times |cos 2theta|, so nearly the width times it.
        QVERIFY(within(b->pi->fwhm, b->sigma.fwhm * std::fabs(std::cos(2 * theta)), 0.03));
        // The centre lies 2 delta / sin 2theta above the Bragg angle (refraction): in energy
        // E (2 delta / sin 2theta) / tan theta, a band centred above E.
        const double delta = 0.5 * gamma * sf.value->f0.real();
        const double refraction = energy * (2 * delta / std::sin(2 * theta)) / std::tan(theta);
        QVERIFY(refraction > 0 && within(b->shift, refraction, 0.02));
        // The sigma band: E dTheta / tan theta wide; the area under the curve the same way (to
        // the band's small offset from E).
        const Curve &c = b->sigma;
        QVERIFY(within(c.high - c.low, energy * c.fwhm / std::tan(theta), 2e-3));
        QVERIFY(within(c.integratedEnergy, energy * c.integrated / std::tan(theta), 2e-3));
        // Integrated reflectivity: below the 8/3 of the plateau's half-width of a crystal
        // without absorption, and above the part of it inside the FWHM.
        QVERIFY(c.integrated < 8.0 / 3 * plateau / 2 && c.integrated > c.peak * c.fwhm);
    }

    void referenceValues_data()
    {
        // An independent computation with xraylib's atomic data, a = 5.4307 A, B = 0.4632 A^2:
        // reflection, energy, polarisation, then FWHM (microradians), peak R and integral of R
        // (microradians) where given (- where not). 2 %.
        QTest::addColumn<QString>("given");
        dataRow("Si 111 8 keV sigma", QString("1 1 1 8000 sigma 36.01 0.938 40.81"));
        dataRow("Si 111 8 keV pi", QString("1 1 1 8000 pi 31.66 0.922 35.36"));
        dataRow("Si 111 8 keV unpolarised", QString("1 1 1 8000 unpolarised 34.31 - -"));
        // The exact deviation near backscattering, the crystal at 84.15, 86.93 and 88.93 degrees.
        dataRow("Si 444 84.15 deg", QString("4 4 4 84.15deg sigma 48.7 - -"));
        dataRow("Si 444 86.93 deg", QString("4 4 4 86.93deg sigma 93.2 - -"));
        dataRow("Si 444 88.93 deg", QString("4 4 4 88.93deg sigma 273.9 - -"));
    }
    void referenceValues()
    {
        QFETCH(QString, given);
        const QStringList g = given.split(' ');
        const int h = g[0].toInt(), k = g[1].toInt(), l = g[2].toInt();
        const double d = 5.4307 / std::sqrt(h * h + k * k + l * l);
        const double energy
            = g[3].endsWith("deg")
                  ? Bragg::hc / (2 * d * std::sin(g[3].chopped(3).toDouble() / 180 * M_PI))
                  : g[3].toDouble();
        const auto f = factors("Si", Miller{h, k, l}, d, energy);
        QVERIFY(f.ok());
        const std::optional<Curve> c = rockingCurve(*f.value, *parsePolarisation(g[4]));
        QVERIFY(c);
        QVERIFY2(within(c->fwhm * 1e6, g[5].toDouble(), 0.02),
                 qPrintable(QString::number(c->fwhm * 1e6)));
        QVERIFY(g[6] == "-" || within(c->peak, g[6].toDouble(), 0.02));
        QVERIFY(g[7] == "-" || within(c->integrated * 1e6, g[7].toDouble(), 0.02));
    }

    // The temperature factor of F_H is exp(-B / (4 d^2)) (sin theta / lambda = 1 / 2d) to the
    // last digits, with B of Si 0.4632 and of Ge 0.565 Angstrom^2.
    void debyeWallerFactor_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("h");
        dataRow("Si 111", QString("Si"), 0.4632, 1);
        dataRow("Si 444", QString("Si"), 0.4632, 4);
        dataRow("Ge 111", QString("Ge"), 0.565, 1);
        dataRow("Ge 333", QString("Ge"), 0.565, 3);
    }
    void debyeWallerFactor()
    {
        QFETCH(QString, material);
        QFETCH(double, b);
        QFETCH(int, h);
        const double a = material == "Si" ? kSiA : kGeA;
        const double d = a / std::sqrt(3.0 * h * h);
        const auto f = factors(material, Miller{h, h, h}, d, 1.2 * Bragg::hc / (2 * d));
        const auto bare
            = XrayData::realStructureFactors(material, a, f.value->energy, h, h, h, 1.0);
        QVERIFY(f.ok() && bare.ok());
        const double expected = std::exp(-b / (4 * d * d));
        QVERIFY(near(f.value->fh.real() / bare.value->fh.real(), expected, 1e-12));
        QVERIFY(near(f.value->fhbar.imag() / bare.value->fhbar.imag(), expected, 1e-12));
        QCOMPARE(f.value->f0, bare.value->f0);
    }

    void latticeConstants_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<double>("temperature");
        QTest::addColumn<double>("expected"); // NaN: none
        QTest::addColumn<double>("tolerance");
        // The published values at their own temperatures, exactly.
        dataRow("Si at 22.5", QString("Si"), 22.5, kSiA, 0.0);
        dataRow("Ge at 25", QString("Ge"), 25.0, 5.6579, 0.0);
        // Si expands by 2.6e-6 / K at room temperature, 3.2e-6 / K at 400 K (averaged over 100 K
        // here to within 10 %); Ge by 5.9e-6 / K.
        dataRow("Si at 122.5", QString("Si"), 122.5, kSiA * (1 + 100 * 2.9e-6), kSiA * 30e-6);
        dataRow("Ge at 75", QString("Ge"), 75.0, 5.6579 * (1 + 50 * 5.9e-6), 1e-6);
        // Outside the laws' ranges (Si 120 to 1500 K, Ge 250 to 350 K), no material, no number.
        dataRow("Si at -160", QString("Si"), -160.0, qQNaN(), 0.0);
        dataRow("Ge at 100", QString("Ge"), 100.0, qQNaN(), 0.0);
        dataRow("Xx", QString("Xx"), 22.5, qQNaN(), 0.0);
        dataRow("NaN", QString("Si"), qQNaN(), qQNaN(), 0.0);
    }
    void latticeConstants()
    {
        QFETCH(QString, material);
        QFETCH(double, temperature);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        const std::optional<double> a = LatticeConstants::at(material, temperature);
        QCOMPARE(bool(a), !std::isnan(expected));
        if (a && tolerance == 0) {
            // Printed as the value itself.
            QCOMPARE(QString::number(*a, 'g', QLocale::FloatingPointShortest),
                     QString::number(expected, 'g', QLocale::FloatingPointShortest));
        } else if (a) {
            QVERIFY2(near(*a, expected, tolerance), qPrintable(QString::number(*a, 'g', 12)));
        }
    }

    // Si 1 1 1 at 8 keV passes 3 3 3 at 24 keV (2 2 2 is forbidden), 4 4 4 at 32 keV, ..., up to
    // 100 keV; 3 3 3: peak R 0.986 and a band of 0.206 eV (a = 5.4307 A).
    void harmonics()
    {
        const double d = 5.4307 / std::sqrt(3.0);
        const QVector<Harmonic> list
            = Reflection::harmonics("Si", Miller{1, 1, 1}, d, 8000, Polarisation::sigma());
        QStringList orders;
        for (const Harmonic &h : list) {
            orders << QString::number(h.order);
            QVERIFY(h.hkl.h == h.order && h.hkl.k == h.order && h.hkl.l == h.order);
            QVERIFY(near(h.energy, 8000.0 * h.order, 1e-6) && h.energy <= 100000);
        }
        // The diamond rule: n = 2, 6, 10 (all even, sum 4m + 2) are forbidden.
        QCOMPARE(orders.join(' '), QString("3 4 5 7 8 9 11 12"));
        QVERIFY(within(list[0].curve.peak, 0.986, 0.02));
        QVERIFY(within(list[0].curve.high - list[0].curve.low, 0.206, 0.02));
    }

    void polarisationTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("degree"); // NaN: refused
        QTest::addColumn<QString>("shown");
        dataRow("sigma", QString(" Sigma "), 1.0, QString("sigma"));
        dataRow("pi", QString("pi"), -1.0, QString("pi"));
        dataRow("unpolarised", QString("unpolarised"), 0.0, QString("unpolarised"));
        dataRow("a number", QString("0.35"), 0.35, QString("0.35"));
        dataRow("1 is sigma", QString("1"), 1.0, QString("sigma"));
        dataRow("beyond 1", QString("1.5"), qQNaN(), QString());
        dataRow("nan", QString("nan"), qQNaN(), QString());
        dataRow("a word", QString("circular"), qQNaN(), QString());
    }
    void polarisationTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, degree);
        QFETCH(QString, shown);
        const std::optional<Polarisation> p = parsePolarisation(text);
        QCOMPARE(bool(p), !std::isnan(degree));
        if (p)
            QVERIFY(p->degree == degree && polarisationText(*p) == shown);
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
        const QVector<HRay> through = linesThrough();
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

    // A line left out of the least squares (a crystal that does not reflect) moves neither the
    // focus nor its RMS; the pairs still count it.
    void leastSquaresLeavesOut()
    {
        const QVector<HRay> lines = linesThrough() << ray(10, 0, 80);
        const FocusQuality all = focusQuality(lines);
        const FocusQuality some = focusQuality(lines, {true, true, true, true, false});
        QVERIFY(all.rms > 1 && some.focus && near(some.focus->x, 100) && near(some.focus->y, 50));
        QVERIFY(near(some.rms, 0) && some.lines == 4 && some.pairs == 10);
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
        // gaps of 13.9 eV; a real crystal sits at the design's spacing 3.13507 (5.4301 / sqrt 3
        // shown to six digits) against 5.431020511 / sqrt 3.
        const double siOffset = 8000 * (3.13507 / (kSiA / std::sqrt(3.0)) - 1);
        dataRow("default", "Si 1 1 1 8000 -15 3", "BBBBBBBBBB", 11.3 / 136.1, 15 - 1.13, siOffset);
        // Ge: bands of about 2.63 eV; the design's 5.6754 puts a real crystal above its label.
        const double geOffset = 8000 * (3.27669 / (kGeA / std::sqrt(3.0)) - 1);
        dataRow("Ge 111", "Ge 1 1 1 8000 -15 4", "BBBBBBBBBB", 26.3 / 137.6, 15 - 2.63, geOffset);
        dataRow("Si 200", "Si 2 0 0 8000 0 5", "FFFFFFFFFF", qQNaN(), 0.0, siOffset);
        // Below the cut-off at 1977 eV: the -1 degree marker, no band.
        dataRow("cut-off", "Si 1 1 1 1000 500 3", "RRBBBBBBBB", -2.0, -2.0, qQNaN());
        // Bands of 2.6 eV and more, 1 eV apart: they overlap and cover everything.
        dataRow("overlapping", "Ge 1 1 1 8000 1 6", "BBBBBBBBBB", 1.0, 0.0, geOffset);
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
        int reflecting = 0;
        for (const CrystalBand &c : a.crystals) {
            got += "BRFD"[int(c.state)];
            // Never a NaN among the numbers, band or none.
            for (const double v :
                 {c.fwhmSigma, c.low, c.high, c.shift, c.latticeOffset, c.energy.value_or(0)})
                QVERIFY(std::isfinite(v));
            QCOMPARE(c.reflects, c.state != BandState::NoReflection);
            reflecting += c.reflects;
            // Only a band has the optional numbers; with the parallel beam the effective band
            // is the intrinsic one.
            const bool band = c.state == BandState::Band;
            for (const auto &v : {c.realEnergy,
                                  c.peakReflectivitySigma,
                                  c.integratedReflectivitySigma,
                                  c.effectiveBandLow,
                                  c.peakEfficiency,
                                  c.bandPhotons})
                QCOMPARE(bool(v), band);
            if (band)
                QVERIFY(c.low < *c.energy + c.shift && *c.energy + c.shift < c.high
                        && *c.effectiveBandLow == c.low && *c.effectiveBandHigh == c.high
                        && *c.realEnergy == *c.energy + c.latticeOffset);
        }
        QCOMPARE(got, states);
        // The least-squares focus takes only the crystals that reflect.
        QCOMPARE(a.focus.lines, reflecting);
        QCOMPARE(bool(a.fwhmSigmaAtStart), states[0] == 'B');
        const Coverage &c = a.coverage;
        QVERIFY(std::isnan(fraction)
                    ? !c.fraction && !c.bands
                    : fraction < 0 || near(c.fraction.value_or(0), fraction, 0.003));
        QVERIFY(largestGap < 0 || near(c.largestGap, largestGap, 0.05));
        QVERIFY(std::isnan(offset) ? !a.offsetAtStart
                                   : near(a.offsetAtStart.value_or(qQNaN()), offset, 0.01));
        // The accepted constant beside the design's: the real crystal's at 22.5 degrees C.
        if (a.acceptedLattice)
            QVERIFY(near(*a.acceptedLattice, g[0] == "Si" ? kSiA : kGeA, 1e-12));
        else
            QVERIFY(a.reflection.status == Status::NoData);

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

LUMIVARD_TEST_MAIN(tst_Physics)
#include "tst_physics.moc"
