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
    dataRow("-e", QStringLiteral("-e"), false, QString());
    dataRow("-e -j", QStringLiteral("-e -j"), true, QString());
    dataRow("-j -e", QStringLiteral("-j -e"), false, QString());
    dataRow("-E ignored", QStringLiteral("-E"), true, QString());
    dataRow("-english ignored", QStringLiteral("-english"), true, QString());
    dataRow("unknown ignored", QStringLiteral("--frob -e"), false, QString());
    dataRow("file", QStringLiteral("design.cfg"), true, QStringLiteral("design.cfg"));
    dataRow("-e file", QStringLiteral("-e design.cfg"), false, QStringLiteral("design.cfg"));
    dataRow("first file only", QStringLiteral("a.cfg -e b.cfg"), false, QStringLiteral("a.cfg"));
    dataRow("a dash is no file", QStringLiteral("- -x a.cfg -j"), true, QStringLiteral("a.cfg"));
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
            QStringLiteral("--batch -"),
            QStringLiteral("-"),
            QStringList(),
            QStringList{QString(), QString(), QString()},
            QSize());
    dataRow("sets in order",
            QStringLiteral("--batch d.cfg --set StartE=7000 --set crystal.3.Deg=20 --set "
                           "Index=2,2,0 --set Type=5"),
            QStringLiteral("d.cfg"),
            QStringList{QStringLiteral("StartE=7000"),
                        QStringLiteral("crystal.3.Deg=20"),
                        QStringLiteral("Index=2,2,0"),
                        QStringLiteral("Type=5")},
            QStringList{QString(), QString(), QString()},
            QSize());
    dataRow("outputs",
            QStringLiteral("--batch=d.cfg --save o.cfg --csv - --json o.json --image focus=f.svg "
                           "--image overall=o.PNG "
                           "--size 300x200"),
            QStringLiteral("d.cfg"),
            QStringList(),
            QStringList{QStringLiteral("o.cfg"),
                        QStringLiteral("-"),
                        QStringLiteral("o.json"),
                        QStringLiteral("focus=f.svg"),
                        QStringLiteral("overall=o.PNG")},
            QSize(300, 200));
    dataRow("value with equals",
            QStringLiteral("--batch - --set DE=-15"),
            QStringLiteral("-"),
            QStringList{QStringLiteral("DE=-15")},
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
    dataRow("batch option without batch", QStringLiteral("--save o.cfg"), QStringLiteral("--save"));
    dataRow("unknown option", QStringLiteral("--batch - --frob"), QStringLiteral("frob"));
    dataRow("stray argument", QStringLiteral("--batch - extra.cfg"), QStringLiteral("extra.cfg"));
    dataRow("missing value", QStringLiteral("--batch"), QStringLiteral("batch"));
    dataRow("set without =", QStringLiteral("--batch - --set StartE"), QStringLiteral("StartE"));
    dataRow("unknown field", QStringLiteral("--batch - --set Energy=1"), QStringLiteral("Energy"));
    dataRow("crystal 0",
            QStringLiteral("--batch - --set crystal.0.X=1"),
            QStringLiteral("crystal.0.X"));
    dataRow("crystal field",
            QStringLiteral("--batch - --set crystal.2.Colour=1"),
            QStringLiteral("crystal.2.Colour"));
    dataRow("type 8", QStringLiteral("--batch - --set Type=8"), QStringLiteral("Type=8"));
    dataRow(
        "material", QStringLiteral("--batch - --set Material=Cu"), QStringLiteral("Material=Cu"));
    dataRow("index", QStringLiteral("--batch - --set Index=1,1"), QStringLiteral("Index=1,1"));
    dataRow("window", QStringLiteral("--batch - --image side=a.png"), QStringLiteral("side"));
    dataRow("picture suffix",
            QStringLiteral("--batch - --image focus=a.jpg"),
            QStringLiteral("focus=a.jpg"));
    dataRow("size", QStringLiteral("--batch - --size 0x10"), QStringLiteral("0x10"));
    dataRow("huge size", QStringLiteral("--batch - --size 100000x10"), QStringLiteral("100000x10"));
    dataRow("two stdout", QStringLiteral("--batch - --csv - --json -"), QStringLiteral("-"));
    dataRow("twice", QStringLiteral("--batch - --csv a --csv b"), QStringLiteral("--csv"));
    dataRow("zero step",
            QStringLiteral("--batch - --csv a --sweep DE=-10:-20:0"),
            QStringLiteral("DE=-10:-20:0"));
    dataRow("wrong sign",
            QStringLiteral("--batch - --csv a --sweep DE=-10:-20:1"),
            QStringLiteral("DE=-10:-20:1"));
    dataRow("too many",
            QStringLiteral("--batch - --csv a --sweep DE=0:10001:1"),
            QStringLiteral("DE=0:10001:1"));
    dataRow("not a number",
            QStringLiteral("--batch - --csv a --sweep DE=0:x:1"),
            QStringLiteral("DE=0:x:1"));
    dataRow("not numeric",
            QStringLiteral("--batch - --csv a --sweep Material=0:1:1"),
            QStringLiteral("Material"));
    dataRow(
        "sweep without csv", QStringLiteral("--batch - --sweep DE=0:1:1"), QStringLiteral("--csv"));
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

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
