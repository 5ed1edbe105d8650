#include "acrystal.h"
#include "units.h"

#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTextStream>
#include <QtTest>

#include <memory>

namespace {

const QStringList kFields{"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};

QLineEdit *field(QWidget *row, const QString &name)
{
    return row->findChild<QLineEdit *>(name);
}

QStringList shown(QWidget *row)
{
    QStringList t;
    for (const QString &f : kFields)
        t << field(row, f)->text();
    return t;
}

// Types over the field's text and presses Return, as a user does.
void type(QWidget *row, const QString &name, const QString &text)
{
    QLineEdit *f = field(row, name);
    f->selectAll();
    QTest::keyClicks(f, text);
    QTest::keyClick(f, Qt::Key_Return);
}

} // namespace

class tst_ACrystal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void construction();
    void fromGeometry();
    void edits_data();
    void edits();
    void editReadsShownDecimals();
    void energyRoundTrip_data();
    void energyRoundTrip();
    void setStartShows();
    void header();
    void saveBlock();
    void loadLines_data();
    void loadLines();
    void metaObjectOrder();
    void deleteWithFocusedField();
};

void tst_ACrystal::init()
{
    units.D = 3.13553;
}

void tst_ACrystal::construction()
{
    ACrystal c(30.0, 0.0, 0.0, 2.0);
    QCOMPARE(shown(&c),
             QStringList({"    0.00000",
                          "    0.00000",
                          "  30.000000",
                          " 3954.1718",
                          "   2.00000",
                          "    0.00000",
                          "    1.00000"}));
    QCOMPARE(c.outCentre.deg, 60.0);
    QCOMPARE(field(&c, "InBeamC")->styleSheet(), QString("background-color: rgb(255, 255, 224);"));
    QCOMPARE(field(&c, "BeamW")->styleSheet(), QString("background-color: rgb(255, 255, 224);"));
    QCOMPARE(field(&c, "X")->styleSheet(), QString());
    QCOMPARE(c.parent(), nullptr);

    // The energy follows the shared spacing.
    units.D = 3.13507;
    ACrystal other(30.0, 0.0, 0.0, 2.0);
    QCOMPARE(other.energyText(), QString(" 3954.7520"));
}

void tst_ACrystal::fromGeometry()
{
    CrystalOptics g(14.0, 3.0, 1.0, 4.0);
    g.moveStart(Point(1.25, 0.5));
    ACrystal c(g);
    QCOMPARE(c.surface.Point::x, 1.25);
    QCOMPARE(c.surface.deg, g.surface.deg);
    QCOMPARE(c.surface.Dir::y, g.surface.Dir::y);
    QCOMPARE(c.outEdgeEnd.Point::y, g.outEdgeEnd.Point::y);
    const CrystalTexts t = g.texts(units.D);
    QCOMPARE(shown(&c), QStringList({t.x, t.y, t.deg, t.energy, t.length, t.inBeamC, t.beamW}));
}

void tst_ACrystal::edits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("emitted");

    // From a crystal at 30 degrees, centre (0, 0), length 2. Columns: Pos. X | Pos. Y |
    // Angle | Energy | Length | In Beam C. | Beam W.
    const auto row = [](const char *name, const char *text, const char *after) {
        QTest::newRow(qPrintable(QStringLiteral("%1 <- %2").arg(name, text)))
            << name << text << QString(after).split('|') << 1;
    };
    row("X",
        "5",
        "    5.00000|    0.00000|  30.000000| 3954.1718|   2.00000|    0.00000|    1.00000");
    row("Y",
        "-3.5",
        "    0.00000|   -3.50000|  30.000000| 3954.1718|   2.00000|   -3.50000|    1.00000");
    // Angle and energy turn about the start point.
    row("Deg",
        "90",
        "   -0.86603|    0.50000|  90.000000| 1977.0859|   2.00000|    0.50000|    2.00000");
    row("Energy",
        "0",
        "    0.13382|   -0.51745|  -1.000000|-113284.4296|   2.00000|   -0.51745|   -0.03490");
    // Non-numbers count as 0: 0 degrees reflects no finite energy.
    row("Deg",
        "abc",
        "    0.13397|   -0.50000|   0.000000|       inf|   2.00000|   -0.50000|    0.00000");
    // Length about the centre; a negative one swaps the ends.
    row("Length",
        "4",
        "    0.00000|    0.00000|  30.000000| 3954.1718|   4.00000|    0.00000|    2.00000");
    row("Length",
        "-2",
        "    0.00000|    0.00000|  30.000000| 3954.1718|  -2.00000|    0.00000|   -1.00000");
    // The two computed fields are not inputs.
    QTest::newRow("InBeamC <- 7") << "InBeamC"
                                  << "7" << QStringList() << 0;
    QTest::newRow("BeamW <- 7") << "BeamW"
                                << "7" << QStringList() << 0;
}

void tst_ACrystal::edits()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QStringList, after);
    QFETCH(int, emitted);

    ACrystal c(30.0, 0.0, 0.0, 2.0);
    const QStringList before = shown(&c);
    const double px = c.surface.Point::x;
    QSignalSpy spy(&c, SIGNAL(updated()));
    type(&c, name, text);
    QCOMPARE(spy.count(), emitted);
    if (emitted == 0) {
        // Geometry untouched; the typed text stays until the next showValues overwrites it.
        QCOMPARE(c.surface.Point::x, px);
        QCOMPARE(field(&c, name)->text(), text);
        c.showValues();
        QCOMPARE(shown(&c), before);
        return;
    }
    QCOMPARE(shown(&c), after);
    // Rays follow every edit.
    QCOMPARE(c.outCentre.Point::x, c.centre().x);
    QCOMPARE(c.outCentre.deg, 2.0 * c.surface.deg);
}

void tst_ACrystal::editReadsShownDecimals()
{
    // Editing X re-reads Y from its text: the centre's y becomes the five-decimal value shown.
    ACrystal c(14.308084, 0.0, 1.0 / 3.0, 4.0);
    QCOMPARE(field(&c, "Y")->text(), QString("    0.33333"));
    type(&c, "X", "2");
    QCOMPARE(c.centre().y, 0.33333);
    // Values not read keep full precision.
    QCOMPARE(c.surface.deg, 14.308084);
}

void tst_ACrystal::energyRoundTrip_data()
{
    QTest::addColumn<QString>("energy");
    QTest::newRow("8000") << " 8000.0000";
    QTest::newRow("7964.1234") << " 7964.1234";
    QTest::newRow("19999.9999") << "19999.9999";
    QTest::newRow("2500.5") << " 2500.5000";
}

void tst_ACrystal::energyRoundTrip()
{
    QFETCH(QString, energy);
    ACrystal c(30.0, 1.0, 2.0, 2.0);
    const double px = c.surface.Point::x;
    const double py = c.surface.Point::y;
    type(&c, "Energy", energy.trimmed());
    QCOMPARE(c.energyText(), energy);
    // Turned about the start point.
    QCOMPARE(c.surface.Point::x, px);
    QCOMPARE(c.surface.Point::y, py);
}

void tst_ACrystal::setStartShows()
{
    ACrystal c(0.0, 0.0, 0.0, 2.0);
    QSignalSpy spy(&c, SIGNAL(updated()));
    c.setStart(Point(10.0, 5.0));
    QCOMPARE(field(&c, "X")->text(), QString("   11.00000"));
    QCOMPARE(field(&c, "Y")->text(), QString("    5.00000"));
    QCOMPARE(c.inEdgeEnd.Point::x, 12.0);
    QCOMPARE(spy.count(), 0);
}

void tst_ACrystal::header()
{
    std::unique_ptr<ACrystal> h(ACrystal::makeHeader());
    QCOMPARE(h->parent(), nullptr);
    QCOMPARE(h->findChild<QLabel *>("No")->text(), QString());
    QCOMPARE(
        shown(h.get()),
        QStringList(
            {"Pos. X", "Pos. Y", "Angle [deg]", "Energy[eV]", "Length", "In Beam C.", "Beam W."}));
    for (const QString &f : kFields)
        QCOMPARE(field(h.get(), f)->styleSheet(), QString("background-color: rgb(240, 240, 224);"));

    ACrystal c(10.0, 0.0, 0.0, 1.0);
    c.setNumber(7);
    QCOMPARE(c.findChild<QLabel *>("No")->text(), QString("7"));
}

void tst_ACrystal::saveBlock()
{
    ACrystal c(30.0, 0.0, 0.0, 2.0);
    QString text;
    QTextStream out(&text);
    c.save(3, out);
    QCOMPARE(text.split('\n'),
             QStringList({"# Crystal Pos X      : 3 :     0.00000",
                          "# Crystal Pos Y      : 3 :     0.00000",
                          "# Crystal Deg        : 3 :   30.000000",
                          "# Crystal Energy     : 3 :  3954.1718",
                          "# Crystal Length     : 3 :    2.00000",
                          "# Crystal In Beam C  : 3 :     0.00000",
                          "# Crystal Beam Width : 3 :     1.00000",
                          ""}));
}

void tst_ACrystal::loadLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("emitted");

    QTest::newRow("position") << 3 << "# Crystal Pos X      : 3 :     5.00000"
                              << "X"
                              << "    5.00000" << 0;
    QTest::newRow("angle") << 3 << "# Crystal Deg        : 3 :   90.000000"
                           << "Deg"
                           << "  90.000000" << 0;
    QTest::newRow("energy") << 3 << "# Crystal Energy     : 3 :  8000.0000"
                            << "Energy"
                            << " 8000.0000" << 0;
    QTest::newRow("length") << 3 << "# Crystal Length     : 3 :    4.00000"
                            << "Length"
                            << "   4.00000" << 0;
    QTest::newRow("beam width only shown") << 3 << "# Crystal Beam Width : 3 : 17"
                                           << "BeamW"
                                           << "17" << 0;
    QTest::newRow("empty value") << 3 << "# Crystal In Beam C  : 3 : "
                                 << "InBeamC"
                                 << "" << 0;
    QTest::newRow("other crystal") << 2 << "# Crystal Pos X      : 3 :     5.00000"
                                   << "X"
                                   << "    0.00000" << 0;
    QTest::newRow("index 1 is not 10") << 1 << "# Crystal Pos X      : 10 :     5.00000"
                                       << "X"
                                       << "    0.00000" << 0;
    QTest::newRow("no index") << 3 << "# Crystal Pos X      :     5.00000"
                              << "X"
                              << "    0.00000" << 0;
    QTest::newRow("other spacing") << 3 << "# Crystal Pos X     : 3 :     5.00000"
                                   << "X"
                                   << "    0.00000" << 0;
}

void tst_ACrystal::loadLines()
{
    QFETCH(int, index);
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(int, emitted);

    ACrystal c(30.0, 0.0, 0.0, 2.0);
    QSignalSpy spy(&c, SIGNAL(updated()));
    c.load(index, line);
    QCOMPARE(field(&c, name)->text(), shown);
    QCOMPARE(spy.count(), emitted);
}

void tst_ACrystal::metaObjectOrder()
{
    const QMetaObject &mo = ACrystal::staticMetaObject;
    QStringList methods;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
        methods << QString::fromLatin1(mo.method(i).methodSignature());
    QCOMPARE(methods,
             QStringList({"updated()",
                          "newPos()",
                          "newAngle()",
                          "newEnergy()",
                          "newLength()",
                          "save(int,QTextStream&)",
                          "load(int,QString)"}));
}

void tst_ACrystal::deleteWithFocusedField()
{
    QWidget top;
    auto *c = new ACrystal(30.0, 0.0, 0.0, 2.0, &top);
    top.show();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    field(c, "Energy")->setFocus();
    field(c, "Energy")->setText("1234");
    QVERIFY(field(c, "Energy")->hasFocus());
    delete c;
    QCOMPARE(top.findChildren<ACrystal *>().size(), 0);
}

QTEST_MAIN(tst_ACrystal)
#include "tst_acrystal.moc"
