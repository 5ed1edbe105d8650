// The command line as tables: what the windows take, what a batch run takes and refuses, sweeps.
#include "commandline.h"
#include "testsupport.h"

#include <QtTest>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void windows_data();
    void windows();
    void batch_data();
    void batch();
    void refused_data();
    void refused();
    void sweep_data();
    void sweep();
    void rays_data();
    void rays();
};

namespace {

QStringList argsOf(const QString &line)
{
    QStringList args{QStringLiteral("lumivard")};
    if (!line.isEmpty())
        args += line.split(QLatin1Char(' '));
    return args;
}

} // namespace

void tst_CommandLine::windows_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QString>("file");
    dataRow("nothing", QString(), true, QString());
    dataRow("-e", "-e", false, QString());
    dataRow("-e -j", "-e -j", true, QString());
    dataRow("-j -e", "-j -e", false, QString());
    dataRow("-E ignored", "-E", true, QString());
    dataRow("-english ignored", "-english", true, QString());
    dataRow("unknown ignored", "--frob -e", false, QString());
    dataRow("file", "design.cfg", true, "design.cfg");
    dataRow("-e file", "-e design.cfg", false, "design.cfg");
    dataRow("first file only", "a.cfg -e b.cfg", false, "a.cfg");
    dataRow("a dash is no file", "- -x a.cfg -j", true, "a.cfg");
}

void tst_CommandLine::windows()
{
    QFETCH(QString, line);
    QFETCH(bool, japanese);
    QFETCH(QString, file);
    const CommandLine cl = parseCommandLine(argsOf(line));
    QVERIFY2(cl.error.isEmpty(), qPrintable(cl.error));
    QVERIFY(!cl.batch && !cl.help && !cl.version);
    QCOMPARE(cl.japanese, japanese);
    QCOMPARE(cl.file, file);
}

void tst_CommandLine::batch_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("outputs"); // save, csv, json, then window=out per image
    QTest::addColumn<QSize>("size");
    dataRow("default design",
            "--batch -",
            "-",
            QStringList(),
            QStringList{QString(), QString(), QString()},
            QSize());
    dataRow("sets in order",
            QStringLiteral("--batch d.cfg --set StartE=7000 --set crystal.3.Deg=20 --set "
                           "Index=2,2,0 --set Type=5"),
            "d.cfg",
            QStringList{"StartE=7000", "crystal.3.Deg=20", "Index=2,2,0", "Type=5"},
            QStringList{QString(), QString(), QString()},
            QSize());
    dataRow("outputs",
            QStringLiteral("--batch=d.cfg --save o.cfg --csv - --json o.json --image focus=f.svg "
                           "--image overall=o.PNG "
                           "--size 300x200"),
            "d.cfg",
            QStringList(),
            QStringList{"o.cfg", "-", "o.json", "focus=f.svg", "overall=o.PNG"},
            QSize(300, 200));
    dataRow("value with equals",
            "--batch - --set DE=-15",
            "-",
            QStringList{"DE=-15"},
            QStringList{QString(), QString(), QString()},
            QSize());
    dataRow("the source",
            QStringLiteral("--batch - --set Source.Distance=500 --set Source.Size=0.2 --set "
                           "Source.Divergence=30 --set Polarisation=pi --set Temperature=40"),
            "-",
            QStringList{"Source.Distance=500",
                        "Source.Size=0.2",
                        "Source.Divergence=30",
                        "Polarisation=pi",
                        "Temperature=40"},
            QStringList{QString(), QString(), QString()},
            QSize());
}

void tst_CommandLine::batch()
{
    QFETCH(QString, line);
    QFETCH(QString, file);
    QFETCH(QStringList, settings);
    QFETCH(QStringList, outputs);
    QFETCH(QSize, size);
    const CommandLine cl = parseCommandLine(argsOf(line));
    QVERIFY2(cl.error.isEmpty(), qPrintable(cl.error));
    QVERIFY(cl.batch);
    QCOMPARE(cl.file, file);
    QStringList gotSettings;
    for (const Setting &s : cl.settings)
        gotSettings << s.name + QLatin1Char('=') + s.value;
    QCOMPARE(gotSettings, settings);
    QStringList gotOutputs{cl.saveTo, cl.csvTo, cl.jsonTo};
    for (const auto &image : cl.images)
        gotOutputs << image.first + QLatin1Char('=') + image.second;
    QCOMPARE(gotOutputs, outputs);
    QCOMPARE(cl.imageSize, size);
}

void tst_CommandLine::refused_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("named"); // what the one-line error must name
    dataRow("batch option without batch", "--save o.cfg", "--save");
    dataRow("strict without batch", "--strict", "--strict needs --batch");
    dataRow("unknown option", "--batch - --frob", "unknown option --frob");
    dataRow("unknown option, one dash", "--batch - -frob", "unknown option -frob");
    dataRow("unknown option with a value", "--batch - --frob=1", "unknown option --frob");
    dataRow("stray argument", "--batch - extra.cfg", "extra.cfg");
    dataRow("missing value", "--batch", "batch");
    dataRow("set without =", "--batch - --set StartE", "StartE");
    dataRow("unknown field", "--batch - --set Energy=1", "Energy");
    dataRow("crystal 0", "--batch - --set crystal.0.X=1", "crystal.0.X");
    dataRow("crystal field", "--batch - --set crystal.2.Colour=1", "crystal.2.Colour");
    dataRow("type 8", "--batch - --set Type=8", "Type=8");
    dataRow("material", "--batch - --set Material=Cu", "Material=Cu");
    dataRow("index", "--batch - --set Index=1,1", "Index=1,1");
    dataRow("window", "--batch - --image side=a.png", "side");
    dataRow("picture suffix", "--batch - --image focus=a.jpg", "focus=a.jpg");
    dataRow("size", "--batch - --size 0x10", "0x10");
    dataRow("huge size", "--batch - --size 100000x10", "100000x10");
    dataRow("two stdout", "--batch - --csv - --json -", "-");
    dataRow("twice", "--batch - --csv a --csv b", "--csv");
    dataRow("zero step", "--batch - --csv a --sweep DE=-10:-20:0", "DE=-10:-20:0");
    dataRow("wrong sign", "--batch - --csv a --sweep DE=-10:-20:1", "DE=-10:-20:1");
    dataRow("too many", "--batch - --csv a --sweep DE=0:10001:1", "DE=0:10001:1");
    dataRow("not a number", "--batch - --csv a --sweep DE=0:x:1", "DE=0:x:1");
    dataRow("not numeric", "--batch - --csv a --sweep Material=0:1:1", "Material");
    dataRow("sweep without csv", "--batch - --sweep DE=0:1:1", "--csv");
    dataRow("source name", "--batch - --set Source.Distanc=1", "Source.Distanc");
    dataRow("no rays", "--batch - --json a --rays 0", "--rays 0");
    dataRow("rays not whole", "--batch - --json a --rays 1.5", "--rays 1.5");
    dataRow("too many rays", "--batch - --json a --rays 100000001", "--rays 100000001");
    dataRow("rays without json", "--batch - --rays 10 --csv a", "--json");
    dataRow("rays twice", "--batch - --json a --rays 10 --rays 20", "--rays");
    dataRow("negative seed", "--batch - --json a --rays 10 --seed -1", "--seed -1");
    dataRow("seed beyond 2^53", "--batch - --json a --rays 10 --seed 9007199254740993", "--seed");
    dataRow("seed without rays", "--batch - --json a --seed 4", "--rays");
    dataRow("rays without batch", "--rays 10", "--rays");
}

void tst_CommandLine::refused()
{
    QFETCH(QString, line);
    QFETCH(QString, named);
    const CommandLine cl = parseCommandLine(argsOf(line));
    QVERIFY(!cl.error.isEmpty());
    QVERIFY2(!cl.error.contains(QLatin1Char('\n')), qPrintable(cl.error));
    QVERIFY2(cl.error.contains(named), qPrintable(cl.error));
}

void tst_CommandLine::sweep_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<QStringList>("typed");
    dataRow("up", 0.0, 1.0, 0.25, QStringList{"0", "0.25", "0.5", "0.75", "1"});
    dataRow("down", 8000.0, 7955.0, -15.0, QStringList{"8000", "7985", "7970", "7955"});
    dataRow("to missed", 0.0, 0.99, 0.25, QStringList{"0", "0.25", "0.5", "0.75"});
    dataRow("to within a thousandth", 0.0, 0.29995, 0.1, QStringList{"0", "0.1", "0.2", "0.3"});
    dataRow("decimals typed short",
            8000.0,
            8000.3,
            0.1,
            QStringList{"8000", "8000.1", "8000.2", "8000.3"});
    dataRow("one value", 5.0, 5.0, 1.0, QStringList{"5"});
    dataRow("wrong sign", 0.0, 1.0, -1.0, QStringList());
    dataRow("zero step", 0.0, 1.0, 0.0, QStringList());
}

void tst_CommandLine::sweep()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(QStringList, typed);
    QStringList got;
    for (double v : sweepValues({QStringLiteral("DE"), from, to, step}))
        got << sweepValueText(v);
    QCOMPARE(got, typed);
}

void tst_CommandLine::rays_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint64>("rays"); // 0: none
    QTest::addColumn<quint64>("seed");
    dataRow("none", "--batch - --json a", qint64(0), quint64(1));
    dataRow("default seed", "--batch - --json a --rays 1000", qint64(1000), quint64(1));
    dataRow("written with an exponent",
            "--batch - --rays=1e6 --json a --seed 0",
            qint64(1000000),
            quint64(0));
    dataRow("largest",
            "--batch - --json a --rays 100000000 --seed 9007199254740992",
            qint64(100000000),
            quint64(9007199254740992ULL));
    // Sweeps over the source's numbers.
    dataRow("sweep of the divergence",
            "--batch - --csv a --sweep Source.Divergence=0:100:10",
            qint64(0),
            quint64(1));
    dataRow("sweep of the polarisation",
            "--batch - --csv a --sweep Polarisation=-1:1:0.5",
            qint64(0),
            quint64(1));
}

void tst_CommandLine::rays()
{
    QFETCH(QString, line);
    QFETCH(qint64, rays);
    QFETCH(quint64, seed);
    const CommandLine cl = parseCommandLine(argsOf(line));
    QVERIFY2(cl.error.isEmpty(), qPrintable(cl.error));
    QCOMPARE(cl.rays, rays);
    QCOMPARE(cl.seed, seed);
    QVERIFY(commandLineHelp().contains("--rays <N>") && commandLineHelp().contains("Temperature"));
}

LUMIVARD_TEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
