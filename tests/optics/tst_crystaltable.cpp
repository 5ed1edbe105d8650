// The crystal table as a CSV reader gets it back, the names of the drawn shapes, and the help in
// the interface's language.
#include "bragg.h"
#include "calign.h"
#include "crystaltable.h"
#include "resources.h"
#include "shapenames.h"
#include "testsupport.h"

#include <QtTest>

#include <charconv>
#include <cstring>
#include <optional>

namespace {

constexpr double kD = 3.13553;
using Crystals = QVector<CrystalOptics>;

// The records of an RFC 4180 text: fields split at commas outside quotes, "" a quote inside
// them, CRLF ending a record (a last record may lack it). A bare CR or LF is field data.
QVector<QStringList> readCsv(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (quoted && c == '"' && next == '"') {
            field += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            record << field;
            field.clear();
        } else if (!quoted && c == '\r' && next == '\n') {
            records << (record << field);
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field);
    return records;
}

// The double a field reads as, locale-free, when the whole field is one number.
std::optional<double> number(const QString &field)
{
    const QByteArray f = field.toLatin1();
    double v = 0;
    const auto r = std::from_chars(f.constData(), f.constData() + f.size(), v);
    if (r.ec != std::errc() || r.ptr != f.constData() + f.size())
        return std::nullopt;
    return v;
}

bool sameBits(double a, double b)
{
    return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
}

CrystalOptics turned(CrystalOptics c, void (CrystalOptics::*edit)(double), double v)
{
    (c.*edit)(v);
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Crystals)

class tst_CrystalTable : public QObject
{
    Q_OBJECT

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
        dataRow("infinite", qInf(), QString("inf"));
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
                Crystals{turned(a, &CrystalOptics::rotateAboutOrigin, 123.456),
                         turned(b, &CrystalOptics::rotateAboutOrigin, 123.456)});
        dataRow("no reflection, -1 degree",
                Crystals{turned(a, &CrystalOptics::turnTo, -1), CrystalOptics(-1, -5, 7, 4)});
        dataRow("flat, infinite energy", Crystals{CrystalOptics(0, 1, 2, 3)});
        dataRow("negative length", Crystals{turned(b, &CrystalOptics::changeLength, -3)});
        dataRow("huge, overflowing ends",
                Crystals{CrystalOptics(45, 1e300, -1e300, 1e300),
                         CrystalOptics(89.9, 1.7e308, 1.7e308, 1.7e308)});
        dataRow("tiny", Crystals{CrystalOptics(1e-300, 1e-310, -0.0, 1e-300)});
        dataRow("not a number", Crystals{turned(a, &CrystalOptics::turnTo, qQNaN())});
    }
    // Read back as RFC 4180 and as numbers, every value is the crystal's double bit for bit,
    // whatever Qt's locale; records end in CRLF and there is nothing but the header and the rows.
    void table()
    {
        QFETCH(Crystals, crystals);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        CrystalList list;
        for (const CrystalOptics &c : qAsConst(crystals))
            list << &c;
        const QByteArray csv = crystalTableCsv(list, kD);
        QLocale::setDefault(QLocale::c());
        QVERIFY(csv.endsWith("\r\n") && !csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.count('\n'), csv.count("\r\n"));

        const QVector<QStringList> records = readCsv(csv);
        QCOMPARE(records.size(), crystals.size() + 1);
        QCOMPARE(records[0].join(','),
                 QString("no,x,y,angle_deg,energy_eV,length,in_beam_centre,beam_width,start_x,"
                         "start_y,end_x,end_y"));
        for (int i = 0; i < crystals.size(); ++i) {
            const CrystalOptics &c = crystals[i];
            const QStringList &r = records[i + 1];
            QCOMPARE(r.size(), 12);
            QCOMPARE(r[0], QString::number(i + 1));
            const double want[] = {c.centre().x,
                                   c.centre().y,
                                   c.surface.deg,
                                   Bragg::energyEv(c.surface.deg, kD),
                                   c.surface.length,
                                   c.inBeamCentre(),
                                   c.beamWidth(),
                                   c.startPoint().x,
                                   c.startPoint().y,
                                   c.endPoint().x,
                                   c.endPoint().y};
            for (int k = 0; k < 11; ++k) {
                const std::optional<double> v = number(r[k + 1]);
                QVERIFY2(v && sameBits(*v, want[k]),
                         qPrintable(QString("%1: %2").arg(records[0][k + 1], r[k + 1])));
            }
        }
    }

    // What the columns mean, on a crystal of 30 degrees about the origin, 2 long.
    void columns()
    {
        const CrystalOptics c(30, 0, 0, 2);
        const QStringList r = readCsv(crystalTableCsv({&c}, kD)).value(1);
        const double want[] = {1, 0, 0, 30, 3954.1718, 2, 0, 1, -0.8660254, -0.5, 0.8660254, 0.5};
        for (int k = 0; k < 12; ++k)
            QVERIFY2(near(number(r.value(k)).value_or(qQNaN()), want[k], 1e-4), qPrintable(r[k]));
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

    void shapeNames_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("energy");
        QTest::addColumn<QString>("tips"); // English|Japanese
        dataRow("pens", 4, 8000.0, QString("|"));
        dataRow("no shape", -1, 8000.0, QString("|"));
        dataRow("1: incident, start",
                1,
                8000.0,
                QString("Crystal 1, 8000.0 eV: incident ray at the start point|"
                        "結晶 1, 8000.0 eV: 始点の入射光線"));
        dataRow(
            "2: incident centre",
            12,
            7985.04,
            QString("Crystal 2, 7985.0 eV: incident centre ray|結晶 2, 7985.0 eV: 中心の入射光線"));
        dataRow("3: incident, end",
                23,
                7970.06,
                QString("Crystal 3, 7970.1 eV: incident ray at the end point|"
                        "結晶 3, 7970.1 eV: 終点の入射光線"));
        dataRow("4: surface, no reflection",
                35,
                -113284.4296,
                QString("Crystal 4, -113284.4 eV: crystal surface|結晶 4, -113284.4 eV: 結晶面"));
        dataRow("5: reflected, start",
                47,
                7940.0,
                QString("Crystal 5, 7940.0 eV: reflected ray from the start point|"
                        "結晶 5, 7940.0 eV: 始点からの反射光線"));
        dataRow(
            "7: reflected centre",
            68,
            7910.0,
            QString(
                "Crystal 7, 7910.0 eV: reflected centre ray|結晶 7, 7910.0 eV: 中心の反射光線"));
        dataRow("1000: reflected, end, flat",
                9999,
                qInf(),
                QString("Crystal 1000, inf eV: reflected ray from the end point|"
                        "結晶 1000, inf eV: 終点からの反射光線"));
        dataRow(
            "a huge energy in exponent form",
            5,
            3.5e20,
            QString("Crystal 1, 3.500000e+20 eV: crystal surface|結晶 1, 3.500000e+20 eV: 結晶面"));
    }
    void shapeNames()
    {
        QFETCH(int, index);
        QFETCH(double, energy);
        QFETCH(QString, tips);
        QString shown = shapeToolTip(index, energy) + '|';
        QTranslator catalogue;
        initLumivardResources();
        QVERIFY(catalogue.load(":lumivard_ja_JP"));
        QCoreApplication::installTranslator(&catalogue);
        shown += shapeToolTip(index, energy);
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE(shown, tips);
    }

    // The Japanese help with the Japanese catalogue, the English one without it (and for any
    // other language); both are there, compressed.
    void help()
    {
        initLumivardResources();
        QCOMPARE(CAlign::interfaceLanguage(), QString("en"));
        QTranslator catalogue;
        QVERIFY(catalogue.load(":lumivard_ja_JP"));
        QCoreApplication::installTranslator(&catalogue);
        const QString japanese = CAlign::interfaceLanguage();
        QCoreApplication::removeTranslator(&catalogue);
        QCOMPARE(japanese, QString("ja"));
        QStringList shown;
        for (const char *language : {"ja", "en", "", "de"}) {
            QFile help(CAlign::helpResource(language));
            QVERIFY(help.open(QIODevice::ReadOnly));
            shown << QString::fromUtf8(help.readLine()).trimmed();
            QCOMPARE(QResource(help.fileName()).compressionAlgorithm(), QResource::ZlibCompression);
        }
        QCOMPARE(shown.join('|'), QString("設定タイプ :|Setup type:|Setup type:|Setup type:"));
    }
};

QTEST_MAIN(tst_CrystalTable)
#include "tst_crystaltable.moc"
