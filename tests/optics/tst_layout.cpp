#include "layout.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr double kD = 3.13553;

LayoutParams params(int type, int count)
{
    LayoutParams p;
    p.type = type;
    p.count = count;
    return p; // E0 8000, dE -15, dX 4, dY 1, L 4
}

QString shown(const CrystalOptics &c)
{
    const CrystalTexts t = c.texts(kD);
    return QStringLiteral("(%1, %2) %3 %4 L%5")
        .arg(t.x.trimmed(), t.y.trimmed(), t.deg.trimmed(), t.energy.trimmed(), t.length.trimmed());
}

// Perpendicular distance of p from the infinite line of r.
double offLine(const Ray &r, const Point &p)
{
    return std::fabs((p.x - r.Point::x) * r.Dir::y - (p.y - r.Point::y) * r.Dir::x);
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void firstThree_data();
    void firstThree();
    void counts_data();
    void counts();
    void type3DefaultsStack();
    void type1BandsStack();
    void type2Touching();
    void type5AimsAtFocus();
    void type6OnPlane();
    void type7AimsFromSlotMiddle();
    void aimAngleIgnoresSide_data();
    void aimAngleIgnoresSide();
    void parallelFirstPair();
    void belowCutOff_data();
    void belowCutOff();
    void degenerateSpacing_data();
    void degenerateSpacing();
    void rotation();
};

void tst_Layout::firstThree_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("crystals");

    QTest::newRow("type 1") << 1
                            << QStringList{"(0.00000, 0.00000) 14.308084 8000.0000 L4.04636",
                                           "(3.91693, 1.00000) 14.335537 7985.0000 L4.03877",
                                           "(7.82603, 2.00000) 14.363097 7970.0000 L4.03119"};
    QTest::newRow("type 2") << 2
                            << QStringList{"(0.00000, 0.00000) 14.308084 8000.0000 L4.00000",
                                           "(3.87569, 0.98947) 14.335537 7985.0000 L4.00000",
                                           "(7.75090, 1.98080) 14.363097 7970.0000 L4.00000"};
    QTest::newRow("type 3") << 3
                            << QStringList{"(0.00000, 0.00000) 14.308084 8000.0000 L4.00000",
                                           "(3.89498, 1.00000) 14.335537 7985.0000 L4.00000",
                                           "(7.78605, 2.00000) 14.363097 7970.0000 L4.00000"};
    QTest::newRow("type 4") << 4
                            << QStringList{"(0.00000, 0.00000) 14.308084 8000.0000 L4.00000",
                                           "(-0.22919, 1.00000) 14.335537 7985.0000 L4.00000",
                                           "(-0.46279, 2.00000) 14.363097 7970.0000 L4.00000"};
}

void tst_Layout::firstThree()
{
    QFETCH(int, type);
    QFETCH(QStringList, crystals);

    const QVector<CrystalOptics> cs = layOut(params(type, 10), kD);
    QCOMPARE(cs.size(), 10);
    QStringList got;
    for (int i = 0; i < 3; ++i)
        got << shown(cs[i]);
    QCOMPARE(got, crystals);
}

void tst_Layout::counts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");

    for (int type = 1; type <= 4; ++type) {
        QTest::addRow("type %d, N -3", type) << type << -3 << 1;
        QTest::addRow("type %d, N 0", type) << type << 0 << 1;
        QTest::addRow("type %d, N 1", type) << type << 1 << 1;
        QTest::addRow("type %d, N 2", type) << type << 2 << 2;
    }
    QTest::newRow("type 5, N 0") << 5 << 0 << 2;
    QTest::newRow("type 5, N 1") << 5 << 1 << 2;
    QTest::newRow("type 5, N 3") << 5 << 3 << 3;
    QTest::newRow("type 6, N 0") << 6 << 0 << 0;
    QTest::newRow("type 6, N 1") << 6 << 1 << 1;
    QTest::newRow("type 6, N 2") << 6 << 2 << 2;
    QTest::newRow("type 7, N 0") << 7 << 0 << 2;
    QTest::newRow("type 7, N 2") << 7 << 2 << 2;
    QTest::newRow("no type selected lays out type 1") << 0 << 2 << 2;
    QTest::newRow("N above the bound") << 3 << 5000 << kMaxCrystals;
    QTest::newRow("N at the bound") << 6 << kMaxCrystals << kMaxCrystals;
}

void tst_Layout::counts()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, expected);
    const QVector<CrystalOptics> cs = layOut(params(type, count), kD);
    QCOMPARE(cs.size(), expected);
    if (!cs.isEmpty())
        QCOMPARE(cs[0].texts(kD).energy, QString(" 8000.0000"));
}

void tst_Layout::type3DefaultsStack()
{
    const QVector<CrystalOptics> cs = layOut(params(3, 10), kD);
    double previousAngle = 0.0;
    for (int i = 0; i < cs.size(); ++i) {
        QCOMPARE(cs[i].texts(kD).y, QString::asprintf("%11.5f", double(i)));
        QCOMPARE(cs[i].texts(kD).energy, QString::asprintf("%10.4f", 8000.0 - 15 * i));
        QVERIFY(cs[i].angleDeg() > previousAngle);
        previousAngle = cs[i].angleDeg();
        if (i > 0) {
            // Start point on the downstream edge of the previous reflected beam.
            QVERIFY(offLine(cs[i - 1].outEdgeEnd, cs[i].startPoint()) < 1e-12);
        }
    }

    // Type 4: the end point on the upstream edge, centre heights kept.
    const QVector<CrystalOptics> up = layOut(params(4, 10), kD);
    for (int i = 1; i < up.size(); ++i) {
        QVERIFY(offLine(up[i - 1].outEdgeStart, up[i].endPoint()) < 1e-12);
        QCOMPARE(up[i].texts(kD).y, QString::asprintf("%11.5f", double(i)));
    }
}

void tst_Layout::type1BandsStack()
{
    const QVector<CrystalOptics> cs = layOut(params(1, 10), kD);
    for (int i = 0; i < cs.size(); ++i) {
        QCOMPARE(cs[i].texts(kD).beamW, QString("    1.00000"));
        QVERIFY(std::fabs(cs[i].startPoint().y - (i - 0.5)) < 1e-12);
        QVERIFY(std::fabs(cs[i].endPoint().y - (i + 0.5)) < 1e-12);
    }
}

void tst_Layout::type2Touching()
{
    const QVector<CrystalOptics> cs = layOut(params(2, 6), kD);
    for (int i = 1; i < cs.size(); ++i) {
        QCOMPARE(cs[i].startPoint().x, cs[i - 1].endPoint().x);
        QCOMPARE(cs[i].startPoint().y, cs[i - 1].endPoint().y);
        QCOMPARE(cs[i].texts(kD).length, QString("   4.00000"));
    }
}

void tst_Layout::type5AimsAtFocus()
{
    const QVector<CrystalOptics> cs = layOut(params(5, 5), kD);
    QCOMPARE(cs.size(), 5);
    const Point f = focusOfFirstPair(cs[0], cs[1]);
    QVERIFY(std::fabs(f.x - 954.29555) < 5e-6);
    QVERIFY(std::fabs(f.y - 520.64824) < 5e-6);

    const QStringList expected{"(0.00000, 0.00000) 14.308084 8000.0000 L4.00000",
                               "(4.00000, 1.00000) 14.335537 7985.0000 L4.00000",
                               "(8.00000, 2.00000) 14.363193 7969.9477 L4.00000",
                               "(12.00000, 3.00000) 14.391054 7954.8429 L4.00000",
                               "(16.00000, 4.00000) 14.419122 7939.6853 L4.00000"};
    QStringList got;
    for (const CrystalOptics &c : cs)
        got << shown(c);
    QCOMPARE(got, expected);
    // Centres fixed, so every centre ray passes through the focus.
    for (const CrystalOptics &c : cs)
        QVERIFY(offLine(c.outCentre, f) < 1e-9);
}

void tst_Layout::type6OnPlane()
{
    LayoutParams p = params(6, 3);
    p.dy = 2.5;
    const QVector<CrystalOptics> cs = layOut(p, kD);
    QCOMPARE(cs.size(), 3);
    const Dir u(cs[0].angleDeg());
    QCOMPARE(cs[0].startPoint().x, 0.0);
    QCOMPARE(cs[0].startPoint().y, 0.0);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(std::fabs(cs[i].startPoint().x - i * 2.5 * u.x) < 1e-12);
        QVERIFY(std::fabs(cs[i].startPoint().y - i * 2.5 * u.y) < 1e-12);
        QCOMPARE(cs[i].texts(kD).energy, QString::asprintf("%10.4f", 8000.0 - 15 * i));
        QCOMPARE(cs[i].surface.length, 4.0);
    }
}

void tst_Layout::type7AimsFromSlotMiddle()
{
    const QVector<CrystalOptics> cs = layOut(params(7, 4), kD);
    QCOMPARE(cs.size(), 4);
    // Crystal 0 is centred on the origin; crystal 1 starts dY along the plane.
    QCOMPARE(shown(cs[0]), QString("(0.00000, 0.00000) 14.308084 8000.0000 L4.00000"));
    QVERIFY(std::fabs(cs[1].startPoint().x - 0.9689808701372283) < 1e-12);
    QVERIFY(std::fabs(cs[1].startPoint().y - 0.2471357386298062) < 1e-12);

    const Point f = focusOfFirstPair(cs[0], cs[1]);
    QVERIFY(std::fabs(f.x - 680.8779510592) < 1e-6);
    QVERIFY(std::fabs(f.y - 371.4760096962) < 1e-6);
    QCOMPARE(shown(cs[2]), QString("(3.87573, 0.98932) 14.330976 7987.4881 L4.00000"));
    QCOMPARE(shown(cs[3]), QString("(4.84463, 1.23676) 14.340173 7982.4728 L4.00000"));
    // Aimed from the middle of the slot, not from the crystal's own centre: the centre ray
    // misses the focus.
    QVERIFY(offLine(cs[2].outCentre, f) > 0.3);
    QVERIFY(offLine(cs[1].outCentre, f) < 1e-9);
}

void tst_Layout::aimAngleIgnoresSide_data()
{
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<double>("angle");
    QTest::newRow("up and right") << 1.0 << 1.0 << 22.5;
    QTest::newRow("up and left") << -1.0 << 1.0 << 22.5;
    QTest::newRow("down and left") << -1.0 << -1.0 << 22.5;
    QTest::newRow("straight up") << 0.0 << 3.0 << 45.0;
    QTest::newRow("behind") << -2.0 << 0.0 << 0.0;
    QTest::newRow("on the point") << 0.0 << 0.0 << 0.0;
}

void tst_Layout::aimAngleIgnoresSide()
{
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(double, angle);
    QVERIFY(std::fabs(aimAngle(Point(0.0, 0.0), Point(fx, fy)) - angle) < 1e-12);
}

void tst_Layout::parallelFirstPair()
{
    // dE = 0: the first two centre rays are parallel, the focus is the origin and the others
    // aim at it.
    LayoutParams p = params(5, 3);
    p.energyStep = 0.0;
    const QVector<CrystalOptics> cs = layOut(p, kD);
    const Point f = focusOfFirstPair(cs[0], cs[1]);
    QCOMPARE(f.x, 0.0);
    QCOMPARE(f.y, 0.0);
    QCOMPARE(f.valid, false);
    QCOMPARE(shown(cs[2]), QString("(8.00000, 2.00000) 7.018122 16181.3153 L4.00000"));
}

void tst_Layout::belowCutOff_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("length");
    // 1977.0859 eV is the lowest energy d = 3.13553 reflects.
    QTest::newRow("type 1: negative dY / sin stored as its size") << 1 << "  57.29869";
    QTest::newRow("type 3") << 3 << "   4.00000";
    QTest::newRow("type 6") << 6 << "   4.00000";
    QTest::newRow("type 7") << 7 << "   4.00000";
}

void tst_Layout::belowCutOff()
{
    QFETCH(int, type);
    QFETCH(QString, length);
    LayoutParams p = params(type, 3);
    p.startEnergy = 1977.0;
    p.energyStep = 100.0;
    const QVector<CrystalOptics> cs = layOut(p, kD);
    QCOMPARE(cs[0].texts(kD).deg, QString("  -1.000000"));
    QCOMPARE(cs[0].texts(kD).energy, QString("-113284.4296"));
    QCOMPARE(cs[0].texts(kD).length, length);
    QVERIFY(cs[1].angleDeg() > 60.0);
    if (type >= 6) {
        // The plane tilts to -1 degree too.
        QVERIFY(cs[1].startPoint().y < 0.0);
    }
}

void tst_Layout::degenerateSpacing_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("angle");
    QTest::newRow("zero") << 0.0 << -1.0;
    QTest::newRow("not a number") << std::nan("") << -1.0;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 0.0;
}

void tst_Layout::degenerateSpacing()
{
    QFETCH(double, spacing);
    QFETCH(double, angle);
    for (int type = 1; type <= 7; ++type) {
        const QVector<CrystalOptics> cs = layOut(params(type, 10), spacing);
        QCOMPARE(cs.size(), 10);
        for (const CrystalOptics &c : cs) {
            if (type != 5 && type != 7)
                QCOMPARE(c.angleDeg(), angle);
            c.texts(spacing); // formats whatever comes out
        }
    }
}

void tst_Layout::rotation()
{
    QVector<CrystalOptics> cs = layOut(params(3, 10), kD);
    const QVector<CrystalOptics> before = cs;
    rotateAll(cs, 90.0);
    for (int i = 0; i < cs.size(); ++i) {
        QVERIFY(std::fabs(cs[i].startPoint().x + before[i].startPoint().y) < 1e-12);
        QVERIFY(std::fabs(cs[i].startPoint().y - before[i].startPoint().x) < 1e-12);
        QVERIFY(std::fabs(cs[i].angleDeg() - (before[i].angleDeg() + 90.0)) < 1e-12);
        QCOMPARE(cs[i].outCentre.Point::x, cs[i].centre().x);
    }
    rotateAll(cs, 0.0);
    QCOMPARE(cs[3].angleDeg(), before[3].angleDeg() + 90.0);
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
