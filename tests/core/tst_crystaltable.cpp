// The crystal table as a CSV reader gets it back, its suggested name, and the names of the drawn
// shapes in either language.
#include "bragg.h"
#include "crystaltable.h"
#include "resources.h"
#include "shapenames.h"
#include "testsupport.h"

#include <QtTest>

#include <charconv>
#include <cstring>

using Crystals = QVector<CrystalOptics>;
Q_DECLARE_METATYPE(Crystals)

class tst_CrystalTable : public QObject
{
    Q_OBJECT

    static CrystalOptics edited(CrystalOptics c, void (CrystalOptics::*edit)(double), double v)
    {
        (c.*edit)(v);
        return c;
    }

private slots:
    void shortest_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        dataRow("a tenth", 0.1, QString("0.1"));
        dataRow("a third", 1.0 / 3, QString("0.3333333333333333"));
        dataRow("negative zero", -0.0, QString("-0"));
        dataRow("large", 1e300, QString("1e+300"));
        dataRow("17 digits", 123456789012345678.0, QString("123456789012345680"));
        dataRow("minus infinite", -qInf(), QString("-inf"));
        dataRow("not a number", qQNaN(), QString("nan"));
    }
    void shortest()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString(shortestNumber(value)), text);
    }

    void table_data()
    {
        QTest::addColumn<Crystals>("crystals");
        const CrystalOptics a(14.310229, 0, 0, 4), b(14.337686, 3.89468, 1, 4);
        dataRow("none", Crystals{});
        dataRow("a default pair", Crystals{a, b});
        dataRow("rotated by 123.456 degrees",
                Crystals{edited(a, &CrystalOptics::rotateAboutOrigin, 123.456),
                         edited(b, &CrystalOptics::rotateAboutOrigin, 123.456)});
        dataRow("no reflection, -1 degree",
                Crystals{edited(a, &CrystalOptics::turnTo, -1), CrystalOptics(-1, -5, 7, 4)});
        dataRow("flat, infinite energy", Crystals{CrystalOptics(0, 1, 2, 3)});
        dataRow("negative length", Crystals{edited(b, &CrystalOptics::changeLength, -3)});
        dataRow("huge, overflowing ends",
                Crystals{CrystalOptics(45, 1e300, -1e300, 1e300),
                         CrystalOptics(89.9, 1.7e308, 1.7e308, 1.7e308)});
        dataRow("tiny", Crystals{CrystalOptics(1e-300, 1e-310, -0.0, 1e-300)});
        dataRow("not a number", Crystals{edited(a, &CrystalOptics::turnTo, qQNaN())});
    }
    // Read back as CSV and as numbers, every value is the crystal's double bit for bit, whatever
    // Qt's locale; no byte order mark, CRLF after every record and nothing but the header and the
    // rows (there is nothing to quote).
    void table()
    {
        QFETCH(Crystals, crystals);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        CrystalList list;
        for (const CrystalOptics &c : qAsConst(crystals))
            list << &c;
        const QByteArray csv = crystalTableCsv(list, 3.13553);
        QLocale::setDefault(QLocale::c());
        QVERIFY(!csv.startsWith("\xEF\xBB\xBF") && csv.count('\n') == csv.count("\r\n"));
        const QStringList records = QString::fromUtf8(csv).split("\r\n");
        QCOMPARE(records.size(), crystals.size() + 2);
        QCOMPARE(records.first() + records.last(),
                 QString("no,x,y,angle_deg,energy_eV,length,in_beam_centre,beam_width,start_x,"
                         "start_y,end_x,end_y"));
        for (int i = 0; i < crystals.size(); ++i) {
            const CrystalOptics &c = crystals[i];
            const Point m = c.centre(), s = c.startPoint(), e = c.endPoint();
            QVector<double> want{double(i + 1), m.x, m.y, c.surface.deg};
            want << Bragg::energyEv(c.surface.deg, 3.13553) << c.surface.length << c.inBeamCentre()
                 << c.beamWidth() << s.x << s.y << e.x << e.y;
            const QStringList r = records[i + 1].split(',');
            QCOMPARE(r.size(), want.size());
            QCOMPARE(r[0], QString::number(i + 1));
            for (int k = 0; k < want.size(); ++k) {
                // The whole field one number, read without a locale.
                const QByteArray f = r[k].toLatin1();
                double v = 0;
                const auto read = std::from_chars(f.constData(), f.constData() + f.size(), v);
                const bool same = std::isnan(want[k]) ? std::isnan(v)
                                                      : std::memcmp(&v, &want[k], sizeof v) == 0;
                QVERIFY2(read.ec == std::errc() && read.ptr == f.constData() + f.size() && same,
                         qPrintable(records[0].section(',', k, k) + ": " + r[k]));
            }
        }
    }

    void suggestedName_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("table");
        dataRow("no design file", QString(), QString("crystals.csv"));
        dataRow("in a folder", QString("/data/run 7/si111.cfg"), QString("/data/run 7/si111.csv"));
        dataRow("relative", QString("design.cfg"), QString("design.csv"));
        dataRow("two dots", QString("/d/a.v2.cfg"), QString("/d/a.v2.csv"));
        dataRow("no suffix", QString("/d/design"), QString("/d/design.csv"));
        dataRow("only a suffix", QString("/d/.cfg"), QString("crystals.csv"));
    }
    void suggestedName()
    {
        QFETCH(QString, design);
        QFETCH(QString, table);
        QCOMPARE(suggestedTableName(design), table);
    }

    // The ten shapes of a crystal in drawing order in either language (the pens have no name),
    // and its number and energy: one decimal, exponent form where that would be too long.
    void shapeNames()
    {
        initLumivardResources();
        QTranslator catalogue;
        QVERIFY(catalogue.load(":lumivard_ja_JP"));
        QStringList tips{shapeToolTip(-1, 8000)};
        for (const bool japanese : {false, true}) {
            if (japanese)
                QCoreApplication::installTranslator(&catalogue);
            for (int i = 20; i < 30; ++i)
                tips << shapeToolTip(i, 7970.06).section(": ", 1);
            tips << shapeToolTip(23, 7970.06).section(": ", 0, 0)
                 << shapeToolTip(9999, qInf()).section(": ", 0, 0)
                 << shapeToolTip(35, -113284.4296).section(": ", 0, 0)
                 << shapeToolTip(5, 3.5e20).section(": ", 0, 0);
        }
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE(
            tips.join('|'),
            QString("||incident ray at the start point|incident centre ray|"
                    "incident ray at the end point||crystal surface||"
                    "reflected ray from the start point|reflected centre ray|"
                    "reflected ray from the end point|Crystal 3, 7970.1 eV|Crystal 1000, inf eV|"
                    "Crystal 4, -113284.4 eV|Crystal 1, 3.500000e+20 eV|"
                    "|始点の入射光線|中心の入射光線|終点の入射光線||結晶面||"
                    "始点からの反射光線|中心の反射光線|終点からの反射光線|"
                    "結晶 3, 7970.1 eV|結晶 1000, inf eV|結晶 4, -113284.4 eV|"
                    "結晶 1, 3.500000e+20 eV"));
    }
};

LUMIVARD_TEST_MAIN(tst_CrystalTable)
#include "tst_crystaltable.moc"
