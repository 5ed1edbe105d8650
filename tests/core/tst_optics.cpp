#include "bragg.h"
#include "layout.h"
#include "testsupport.h"
#include "trace.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

using Pts = QVector<QPointF>;
Q_DECLARE_METATYPE(LayoutParams)

class tst_Optics : public QObject
{
    Q_OBJECT

    static constexpr double kD = 3.13553;
    // Arrangement parameters; dX 4, dY 1 and L 4 throughout.
    static LayoutParams P(int type, double de = -15, double e0 = 8000, int n = 10)
    {
        return {type, e0, de, n, 4, 1, 4};
    }
    // A crystal as its row shows it: centre, angle, energy, length.
    static QString shown(const CrystalOptics &c)
    {
        const CrystalTexts t = c.texts(kD);
        return QStringList{t.x, t.y, t.deg, t.energy, t.length}.replaceInStrings(" ", "").join(' ');
    }
    // The points of both lists, one after the other.
    static Pts pts(const PointList &a, const PointList &b = PointList())
    {
        Pts r;
        for (const Point &p : a.points + b.points)
            r << QPointF(p.x, p.y);
        return r;
    }

private slots:
    void bragg()
    {
        // pi is 3.1415926535 in the energy/angle relation; the full value misses by 4e-10 degrees.
        QVERIFY(near(Bragg::angleDeg(8000, kD), 14.308084449070329, 1e-12));
        QVERIFY(near(Bragg::energyEv(14.308084449070329, kD), 8000, 1e-8));
        QVERIFY(near(Bragg::angleDeg(1977.09, kD), 89.8834425301352, 1e-12));
        // Below 1977.0859 eV, and at 0 eV, nothing reflects: -1 degree, with these radians,
        // cosine and sine.
        QCOMPARE(Bragg::angleDeg(1977.08, kD), -1.0);
        QCOMPARE(Bragg::angleDeg(0, kD), Bragg::noReflectionDeg);
        const double rad = -1.0 / 180 * M_PI;
        QVERIFY(near(Bragg::noReflectionRad, rad, 1e-18)
                && near(Bragg::noReflectionSin, std::sin(rad), 1e-17)
                && near(Bragg::noReflectionCos, std::cos(rad), 1e-16));
        // Spacing 0 or NaN reflects nothing; an infinite one (indices 0 0 0) gives flat crystals.
        for (const double d : {0.0, qQNaN(), qInf()}) {
            for (int type = 1; type <= 7; ++type) {
                const QVector<CrystalOptics> cs = layOut(P(type), d);
                QCOMPARE(cs.size(), 10);
                QCOMPARE(cs[0].angleDeg(), std::isinf(d) ? 0.0 : -1.0);
            }
        }
    }

    void layout_data()
    {
        QTest::addColumn<LayoutParams>("p");
        QTest::addColumn<double>("turn"); // Rotate All [deg]
        QTest::addColumn<int>("i");       // the crystal shown, or the number of crystals
        QTest::addColumn<QString>("crystal");
        dataRow("t1 #0", P(1), 0.0, 0, "0.00000 0.00000 14.308084 8000.0000 4.04636");
        dataRow("t1 #2", P(1), 0.0, 2, "7.82603 2.00000 14.363097 7970.0000 4.03119");
        dataRow("t2 #2", P(2), 0.0, 2, "7.75090 1.98080 14.363097 7970.0000 4.00000");
        dataRow("t3 #2", P(3), 0.0, 2, "7.78605 2.00000 14.363097 7970.0000 4.00000");
        dataRow("t4 #2", P(4), 0.0, 2, "-0.46279 2.00000 14.363097 7970.0000 4.00000");
        // Types 5 and 7: crystals 2 and up aim at the focus and miss their nominal energies.
        dataRow("t5 #1", P(5), 0.0, 1, "4.00000 1.00000 14.335537 7985.0000 4.00000");
        dataRow("t5 #2", P(5), 0.0, 2, "8.00000 2.00000 14.363193 7969.9477 4.00000");
        // Types 6 and 7 start crystal i at i dY along the surface of crystal 0.
        dataRow("t6 #0", P(6), 0.0, 0, "1.93796 0.49427 14.308084 8000.0000 4.00000");
        dataRow("t6 #2", P(6), 0.0, 2, "3.87545 0.99040 14.363097 7970.0000 4.00000");
        dataRow("t7 #1", P(7), 0.0, 1, "2.90671 0.74234 14.335537 7985.0000 4.00000");
        dataRow("t7 #2", P(7), 0.0, 2, "3.87573 0.98932 14.330976 7987.4881 4.00000");
        // dE 0: the first two reflected rays are parallel, the focus is the origin.
        dataRow("t5 dE 0", P(5, 0), 0.0, 2, "8.00000 2.00000 7.018122 16181.3153 4.00000");
        // Turned rigidly about the origin: (x, y) -> (-y, x), every angle 90 degrees more.
        dataRow("t3 #2 90", P(3), 90.0, 2, "-2.00000 7.78605 104.363097 2040.8773 4.00000");
        // Below the cut-off: -1 degree; type 1's dY / sin(-1 degree) taken as a size.
        dataRow(
            "cut", P(1, -15, 1977), 0.0, 0, "57.28996 -1.00000 -1.000000 -113284.4296 57.29869");
        dataRow("bound", P(3, -15, 8000, 5000), 0.0, kMaxCrystals, "");
        const char *const sizes[] = {"112", "112", "112", "112", "222", "012", "222"}; // N 0, 1, 2
        for (int t = 1; t <= 7; ++t) {
            for (int n = 0; n < 3; ++n)
                QTest::addRow("t%d N %d", t, n)
                    << P(t, -15, 8000, n) << 0.0 << sizes[t - 1][n] - '0' << "";
        }
    }
    void layout()
    {
        QFETCH(LayoutParams, p);
        QFETCH(double, turn);
        QFETCH(int, i);
        QFETCH(QString, crystal);
        QVector<CrystalOptics> cs = layOut(p, kD);
        rotateAll(cs, turn);
        if (crystal.isEmpty())
            QCOMPARE(cs.size(), i);
        else
            QCOMPARE(shown(cs[i]), crystal);
        // Type 5 aims crystals 2 and up at the crossing of the first two reflected centre rays.
        if (p.type == 5 && p.energyStep < 0)
            QVERIFY(near(focusOfFirstPair(cs[0], cs[1]).x, 954.29555, 5e-6)
                    && near(focusOfFirstPair(cs[0], cs[1]).y, 520.64824, 5e-6));
    }

    void storedAngleOnEveryBranch()
    {
        // Angles with all their digits, as layouts and rotations leave them: the saved texts give
        // back an angle that shows as both, on either side of 90 degrees and whole turns round.
        for (const double from : {-359.0, -90.0, 5.0, 85.0, 170.0, 700.0}) {
            for (int k = 0; k < 2000; ++k) {
                const CrystalTexts saved = CrystalOptics(from + k * 0.0500123, 0, 0, 4).texts(kD);
                const auto a = storedAngle(saved.deg.toDouble(), saved.energy.toDouble(), kD);
                const CrystalTexts again = CrystalOptics(a.value_or(qQNaN()), 0, 0, 4).texts(kD);
                QCOMPARE(again.deg + again.energy, saved.deg + saved.energy);
            }
        }
    }

    void focus_data()
    {
        QTest::addColumn<QVector<QLineF>>("crystals");
        QTest::addColumn<Pts>("crossings"); // pairs (0, 1), (0, 2), (1, 2)
        QTest::addColumn<Pts>("focus");     // F and the image I, none without crossings
        // Reflections at 45, 90 and 0 degrees: the lines y = x, x = 10 and y = 4.
        QTest::newRow("three") << QVector<QLineF>{{0, 0, 1, 1}, {10, 0, 10, 1}, {0, 4, 1, 4}}
                               << Pts{{10, 10}, {4, 4}, {10, 4}}
                               << Pts{{8, 6}, {38 / 3.0, 32 / 3.0}};
        // A parallel pair counts as the origin.
        QTest::newRow("parallel") << QVector<QLineF>{{0, 0, 2, 1}, {0, 5, 2, 6}, {10, 0, 10, 1}}
                                  << Pts{{0, 0}, {10, 5}, {10, 10}}
                                  << Pts{{20 / 3.0, 5}, {10, 25 / 3.0}};
        QTest::newRow("one") << QVector<QLineF>{{3, 4, 5, 6}} << Pts() << Pts();
    }
    void focus()
    {
        QFETCH(QVector<QLineF>, crystals);
        QFETCH(Pts, crossings);
        QFETCH(Pts, focus);
        // Each crystal centred on p1, its reflected centre ray heading for p2.
        QVector<CrystalOptics> cs;
        for (const QLineF &l : crystals)
            cs << CrystalOptics(std::atan2(l.dy(), l.dx()) / M_PI * 90.0, l.x1(), l.y1(), 1.0);
        PointList cps, centres, avrCps, avrIps;
        crossCentreRays(crystalList(cs), cps, centres);
        QCOMPARE(pts(cps), crossings);
        QCOMPARE(addFocus(cps, centres, energyRangeLabel(8000, 8090), avrCps, avrIps),
                 !focus.isEmpty());
        QCOMPARE(pts(avrCps, avrIps), focus);
    }

    // Tracing crosses every pair as crossPoint does, bit for bit, point by point, sum and all,
    // also when the lists held other points before: crystals at any angle and place; at
    // repeated, opposite and right angles; not reflecting (-1 degree); at huge, tiny and
    // non-finite places; layouts of every type.
    void crossingsAsCrossPoint()
    {
        std::mt19937_64 rng(1234);
        const auto uniform
            = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
        const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        // The same points to the last bit (so also -0 and 0 apart, and any NaN like itself).
        const auto one = [](const Point &p, const Point &q) {
            return std::memcmp(&p.x, &q.x, sizeof p.x) == 0
                   && std::memcmp(&p.y, &q.y, sizeof p.y) == 0
                   && std::memcmp(&p.t, &q.t, sizeof p.t) == 0 && p.valid == q.valid
                   && p.type == q.type && p.label.isNull() && q.label.isNull();
        };
        const auto same = [&](const PointList &a, const PointList &b) {
            bool all = a.points.size() == b.points.size() && one(a.sum, b.sum);
            for (int k = 0; all && k < a.points.size(); ++k)
                all = one(a.points[k], b.points[k]);
            return all;
        };
        QVector<double> places{1e300, -1e300, 1e154, -3e160, 1e-300, -4.9e-324, 0.0, -0.0, 1e15};
        places << 7.5 << qInf() << -qInf() << qQNaN();
        PointList cps, centres;
        for (int k = 0; k < 5; ++k)
            cps.add(Point(k, -k, QStringLiteral("left over")));
        cps.points[2].valid = false;
        cps.points[3].t = 9;
        for (int design = 0; design < 300; ++design) {
            const int kind = design % 5;
            QVector<CrystalOptics> cs;
            if (kind == 4)
                cs = layOut(P(1 + pick(7), uniform(-60, 60), uniform(1500, 20000), pick(40)), kD);
            const double base = uniform(-180, 180);
            for (int i = 0, n = kind == 4 ? 0 : pick(40); i < n; ++i) {
                const double angle = kind == 1 ? base + 45 * pick(5) : uniform(-180, 180);
                const double x = kind == 3 ? places[pick(13)] : uniform(-100, 100);
                const double y = kind == 3 && pick(2) ? places[pick(13)] : uniform(-100, 100);
                cs << CrystalOptics(angle, x, y, uniform(0.1, 10));
                if (kind == 2 || (kind == 1 && pick(4) == 0))
                    cs.last().turnToEnergy(pick(2) ? 1000 : 0, kD);
            }
            crossCentreRays(crystalList(cs), cps, centres);
            PointList expected, expectedCentres;
            for (int i = 0; i < cs.size(); ++i) {
                for (int j = i + 1; j < cs.size(); ++j) {
                    Point p;
                    crossPoint(cs[i].outCentre, cs[j].outCentre, p);
                    expected.add(p);
                }
                expectedCentres.add(surfaceCentre(cs[i]));
            }
            QVERIFY2(same(cps, expected) && same(centres, expectedCentres),
                     qPrintable(QStringLiteral("design %1").arg(design)));
        }
    }

    void labels()
    {
        // Six significant digits, as %g writes them.
        QCOMPARE(energyRangeLabel(8012.3456, -113284.4296), QStringLiteral("8012.35--113284[eV]"));
        QCOMPARE(energyRangeLabel(0, 1e7), QStringLiteral("0-1e+07[eV]"));
    }

    void boxes()
    {
        // The points' bounding box with 10 % margins; its start values when there are none.
        const QRectF none(1.2e300, 1.2e300, -2.4e300, -2.4e300);
        QCOMPARE(marginBox({}), none);
        QCOMPARE(crystalsExtent({}), none);
        QVERIFY(
            near(marginBox({Point(0, 0), Point(10, -5), Point(5, 15)}), QRectF(-1, -7, 12, 24)));
        // Both ends of every surface: (0, -1), (0, 1), (8, 5), (12, 5).
        const CrystalOptics up(90, 0, 0, 2), flat(0, 10, 5, 4);
        QVERIFY(near(crystalsExtent({&up, &flat}), QRectF(-1.2, -1.6, 14.4, 7.2)));
        // The rays start at x 9, 10, 11 on y 10, the focus is (12, 20).
        const CrystalOptics c(0, 10, 10, 2);
        QVERIFY(near(overallExtent({&c}, Point(12, 20)), QRectF(8.7, 9, 3.6, 12)));
    }
};

LUMIVARD_TEST_MAIN(tst_Optics)
#include "tst_optics.moc"
