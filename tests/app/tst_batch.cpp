// The batch mode as a user scripts it: the program run without a display, as tables of command
// lines with their exit status, their one line of error and the files they write; and the numbers
// of a batch run held bit for bit against the same design made in the windows.
#include "bandanalysis.h"
#include "batch.h"
#include "body.h"
#include "crystaltable.h"
#include "designdocument.h"
#include "navigation.h"
#include "testsupport.h"
#include "units.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QString err;
};

// The installed program, run as a script would: no display, no platform chosen for it; with the
// variables given.
Run lumivard(const QStringList &args,
             const QString &folder,
             const QVector<QPair<QString, QString>> &variables = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const auto &v : variables)
        env.insert(v.first, v.second);
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(qEnvironmentVariable("LUMIVARD_EXE"), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QByteArray> csvRows(const QByteArray &csv)
{
    QList<QByteArray> rows = csv.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    for (QByteArray &r : rows)
        r = r.trimmed();
    return rows;
}

// A JSON number as the batch wrote it; NaN where it wrote null.
double num(const QJsonValue &v)
{
    return v.isNull() ? qQNaN() : v.toDouble();
}

bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

class tst_Batch : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(qEnvironmentVariable("LUMIVARD_EXE")).isExecutable());
        // A design saved by the windows: Ge 2 2 0, type 5, seven crystals, one edited by hand.
        QFile f(path("ge220.cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const Run r = lumivard({"--batch",
                                "-",
                                "--set",
                                "Material=Ge",
                                "--set",
                                "Index=2,2,0",
                                "--set",
                                "Type=5",
                                "--set",
                                "Num=7",
                                "--set",
                                "crystal.3.Deg=20",
                                "--save",
                                "-"},
                               dir.path());
        QCOMPARE(r.status, 0);
        f.write(r.out);
    }

    void commandLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");    // what stderr's one line names; empty: nothing
        QTest::addColumn<QStringList>("made"); // files written, "name:first bytes"
        const QString ok;
        dataRow("design file",
                "--batch ge220.cfg --save a.cfg",
                0,
                ok,
                QStringList{"a.cfg:# Selected Crystal   : 1\n# Lattice Constant   : 5.6754"});
        dataRow("table",
                "--batch - --csv t.csv",
                0,
                ok,
                QStringList{"t.csv:no,x,y,angle_deg,energy_eV,length,in_beam_centre"});
        dataRow("json", "--batch - --json j.json", 0, ok, QStringList{"j.json:{"});
        dataRow("pictures",
                "--batch - --image overall=o.png --image focus=f.svg --image imaging=i.pdf",
                0,
                ok,
                QStringList{"o.png:", "f.svg:<?xml", "i.pdf:%PDF"});
        dataRow("sweep",
                "--batch - --set Num=4 --csv s.csv --sweep DE=-5:-7:-1",
                0,
                ok,
                QStringList{
                    "s.csv:value,focus_x,focus_y,image_x,image_y,lsq_focus_x,lsq_focus_y,lsq_rms,"
                    "coverage,largest_gap_eV,reflecting,effective_coverage,"
                    "effective_largest_gap_eV\r\n-5,"});
        dataRow("a source and rays",
                "--batch - --set Source.Divergence=20 --set Polarisation=pi --rays 5000 --seed 3 "
                "--json j.json --save a.cfg",
                0,
                ok,
                QStringList{"j.json:{", "a.cfg:# Selected Crystal"});
        dataRow("a source refused",
                "--batch - --set Source.Distance=-5 --json j.json",
                1,
                "--set Source.Distance=-5: the distance is a number above 0",
                QStringList());
        // A design file with a line the program does not know: loaded, and said once.
        dataRow("not all understood",
                "--batch odd.cfg --save a.cfg",
                0,
                "warning: odd.cfg was not all understood: line 2 (",
                QStringList{"a.cfg:# Selected Crystal   : 1\n"});
        dataRow("strict", "--batch odd.cfg --strict --save a.cfg", 2, "line 2", QStringList());
        // The names and values the windows take.
        dataRow("lower-case material",
                "--batch - --set Material=ge --save a.cfg",
                0,
                ok,
                QStringList{"a.cfg:# Selected Crystal   : 1\n"});
        dataRow("type as a real number",
                "--batch - --set Type=3.0 --save a.cfg",
                0,
                ok,
                QStringList{"a.cfg:# Selected Crystal   : 0\n"});
        dataRow("unreadable design",
                "--batch missing.cfg --json j.json",
                2,
                "missing.cfg",
                QStringList());
        dataRow("not a design", "--batch notes.txt --json j.json", 2, "notes.txt", QStringList());
        dataRow("refused value",
                "--batch - --set StartE=abc --json j.json --save a.cfg",
                1,
                "StartE=abc",
                QStringList());
        dataRow("not whole", "--batch - --set Num=2.5 --csv t.csv", 1, "Num=2.5", QStringList());
        dataRow("the last crystal",
                "--batch - --set crystal.10.X=1 --csv t.csv",
                0,
                ok,
                QStringList{"t.csv:no,x,y"});
        dataRow("no such crystal",
                "--batch - --set crystal.11.X=1 --json j.json",
                1,
                "crystal.11.X",
                QStringList());
        dataRow("refused in a sweep",
                "--batch - --csv s.csv --sweep Num=1:2:0.5",
                1,
                "Num=1.5",
                QStringList());
        dataRow("unknown option",
                "--batch - --bogus --json j.json",
                1,
                "unknown option --bogus",
                QStringList());
        dataRow("the windows without a display", "-e ge220.cfg", 1, "no display", QStringList());
        dataRow("unwritable",
                "--batch - --json no/such/folder/j.json",
                2,
                "no/such/folder/j.json",
                QStringList());
    }
    // Exit status, the one line of error naming what is at fault, and the files written: all of
    // them when the run succeeds, none when it fails.
    void commandLines()
    {
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QStringList, made);
        for (const QString &stale :
             QDir(dir.path())
                 .entryList({"a.cfg", "t.csv", "j.json", "s.csv", "*.png", "*.svg", "*.pdf"}))
            QFile::remove(path(stale));
        QFile odd(path("odd.cfg"));
        QVERIFY(odd.open(QIODevice::WriteOnly)
                && odd.write("# Selected Crystal   : 1\n# Colour             : red\n") > 0);
        odd.close();
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a design\n") > 0);
        notes.close();

        const Run r = lumivard(line.split(' '), dir.path());
        QCOMPARE(r.status, status);
        if (error.isEmpty()) {
            QCOMPARE(r.err, QString());
        } else {
            QCOMPARE(r.err.count('\n'), 1);
            QVERIFY2(r.err.startsWith("lumivard: ") && r.err.contains(error), qPrintable(r.err));
        }
        QStringList written = QDir(dir.path()).entryList(QDir::Files);
        written.removeAll("ge220.cfg");
        written.removeAll("notes.txt");
        written.removeAll("odd.cfg");
        QStringList expected;
        for (const QString &m : made)
            expected << m.section(':', 0, 0);
        written.sort();
        expected.sort();
        QCOMPARE(written, expected);
        for (const QString &m : made)
            QVERIFY2(readFile(path(m.section(':', 0, 0))).startsWith(m.section(':', 1).toUtf8()),
                     qPrintable(m));
    }

    void platforms_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("loaded");
        dataRow("report", "--batch - --json -", false);
        dataRow("table and design", "--batch fuzz/corpus/type5.cfg --csv - --save s.cfg", false);
        dataRow("sweep", "--batch - --set Num=4 --csv - --sweep DE=-5:-7:-1", false);
        dataRow("help", "--help", false);
        dataRow("a picture", "--batch - --image focus=-", true);
    }
    // What needs no picture runs on the design alone: no window, and no platform plugin is even
    // loaded (the dynamic loader's own record of the files it opened says so); a picture takes the
    // offscreen one.
    void platforms()
    {
        QFETCH(QString, line);
        QFETCH(bool, loaded);
        const QString record = path("loader");
        for (const QString &old : QDir(dir.path()).entryList({"loader*"}))
            QFile::remove(path(old));
        const QStringList args
            = line.replace("fuzz/", QStringLiteral(LUMIVARD_SOURCE_DIR "/fuzz/")).split(' ');
        const Run r
            = lumivard(args, dir.path(), {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", record}});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(!r.out.isEmpty());
        QByteArray opened;
        for (const QString &name : QDir(dir.path()).entryList({"loader*"}))
            opened += readFile(path(name));
        QVERIFY(opened.contains("libQt5Core"));
        QCOMPARE(opened.contains("/platforms/"), loaded);
    }

    // What the files hold: the crystal table and the design as the windows write them, pictures
    // of the asked size (by default the window's own, 900 x 600 for the overall one), one sweep
    // row per value as typed.
    void outputs()
    {
        const Run r = lumivard({"--batch",
                                "ge220.cfg",
                                "--save",
                                "a.cfg",
                                "--csv",
                                "t.csv",
                                "--image",
                                "crystals=c.png",
                                "--image",
                                "focus=f.png",
                                "--size",
                                "321x123",
                                "--image",
                                "overall=o.png"},
                               dir.path());
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(path("a.cfg")), readFile(path("ge220.cfg")));
        QCOMPARE(csvRows(readFile(path("t.csv"))).size(), 1 + 7);
        QCOMPARE(QImage(path("f.png")).size(), QSize(321, 123));
        QCOMPARE(QImage(path("o.png")).size(), QSize(321, 123));

        const Run plain = lumivard({"--batch", "-", "--image", "overall=o.png"}, dir.path());
        QCOMPARE(plain.status, 0);
        QCOMPARE(QImage(path("o.png")).size(), QSize(900, 600));

        const Run sweep = lumivard(
            {"--batch", "-", "--csv", "-", "--sweep", "StartE=8000:8000.3:0.1"}, dir.path());
        QCOMPARE(sweep.status, 0);
        const QList<QByteArray> rows = csvRows(sweep.out);
        QCOMPARE(rows.size(), 1 + 4);
        QByteArrayList values;
        for (const QByteArray &row : rows.mid(1)) {
            QCOMPARE(row.count(','), 12);
            values << row.left(row.indexOf(','));
            QCOMPARE(row.split(',').at(10), QByteArray("10"));
        }
        QCOMPARE(values, QByteArrayList({"8000", "8000.1", "8000.2", "8000.3"}));

        // Rays with a seed: the same report twice.
        const QStringList traced{"--batch",
                                 "-",
                                 "--set",
                                 "Source.Divergence=20",
                                 "--rays",
                                 "3000",
                                 "--seed",
                                 "3",
                                 "--json",
                                 "-"};
        const Run once = lumivard(traced, dir.path());
        QCOMPARE(once.status, 0);
        QCOMPARE(lumivard(traced, dir.path()).out, once.out);
        const QJsonObject report = QJsonDocument::fromJson(once.out).object();
        QCOMPARE(report["rays"].toObject()["seed"].toInt(), 3);
        QCOMPARE(report["bands"].toObject()["source"].toObject()["divergence_urad"].toDouble(),
                 20.0);
    }

    // A batch run and the windows given the same design and the same typing: every number of the
    // JSON equals the windows' own, bit for bit.
    void windowsAgree()
    {
        const QStringList sets{"DE=-7.5", "Num=12", "RotateAll=3", "crystal.5.Energy=7950"};
        QStringList args{"--batch", "ge220.cfg", "--json", "-"};
        for (const QString &s : sets)
            args << "--set" << s;
        const Run r = lumivard(args, dir.path());
        QCOMPARE(r.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(r.out).object();

        Body b;
        QMetaObject::invokeMethod(&b, "load", Q_ARG(QString, path("ge220.cfg")));
        QWidget *ca = child<QWidget>(&b, "CA");
        type(child<QLineEdit>(ca, "DE"), "-7.5");
        type(child<QLineEdit>(ca, "Num"), "12");
        type(child<QLineEdit>(ca, "RotateAllDeg"), "3");
        child<QCheckBox>(ca, "RotateAll")->click();
        type(rowField<QLineEdit>(b.crystals.at(4), "Energy"), "7950");
        b.overallView.disp.grab();

        const QJsonArray crystals = json["crystals"].toArray();
        QCOMPARE(crystals.size(), b.crystals.size());
        const QList<QByteArray> columns = crystalTableColumns();
        for (int i = 0; i < crystals.size(); ++i) {
            // Numbered as the rows show them.
            QCOMPARE(crystals[i].toObject()["no"].toInt(), b.crystals.at(i)->number());
            const QVector<double> row = crystalTableRow(*b.crystals.at(i), units.D);
            for (int k = 0; k < row.size(); ++k)
                QVERIFY2(same(num(crystals[i].toObject()[columns[k + 1]]), row[k]),
                         qPrintable(
                             QString("crystal %1 %2").arg(i + 1).arg(columns[k + 1].constData())));
        }
        const QJsonObject focus = json["readouts"].toObject()["focus"].toObject();
        QCOMPARE(focus["text"].toString(), child<QLabel>(&b, "AvrCps")->text());
        QCOMPARE(json["readouts"].toObject()["image"].toObject()["text"].toString(),
                 child<QLabel>(&b, "AvrIps")->text());
        QVERIFY(same(num(focus["x"]), b.avrCps.points.last().x));
        QVERIFY(same(num(focus["y"]), b.avrCps.points.last().y));
        QCOMPARE(json["history"].toObject()["focus"].toObject()["label"].toString(),
                 b.avrCps.points.last().label);

        const BandsAnalysis a = b.bandsAnalysis();
        const QJsonObject bands = json["bands"].toObject();
        QCOMPARE(bands["reflection"].toObject()["status"].toString(), QString("allowed"));
        QVERIFY(same(num(bands["fwhmSigmaAtStart_urad"]), *a.fwhmSigmaAtStart));
        const QJsonObject cover = bands["coverage"].toObject();
        QVERIFY(same(num(cover["fraction"]), *a.coverage.fraction));
        QVERIFY(same(num(cover["largestGap_eV"]), a.coverage.largestGap));
        const QJsonObject quality = bands["focus"].toObject();
        QVERIFY(same(num(quality["rms"]), a.focus.rms));
        QVERIFY(same(num(quality["leastSquares"].toObject()["x"]), a.focus.focus->x));
        const QJsonArray perCrystal = bands["crystals"].toArray();
        QCOMPARE(perCrystal.size(), a.crystals.size());
        for (int i = 0; i < perCrystal.size(); ++i) {
            const QJsonObject c = perCrystal[i].toObject();
            const CrystalBand &e = a.crystals.at(i);
            if (e.state != BandState::Band)
                continue;
            QVERIFY(same(num(c["low_eV"]), e.low) && same(num(c["high_eV"]), e.high));
            QVERIFY(same(num(c["fwhmSigma_urad"]), e.fwhmSigma));
            QVERIFY(same(num(c["latticeOffset_eV"]), e.latticeOffset));
        }
        QCOMPARE(json["panels"].toObject()["numberOfCrystals"].toDouble(), 12.0);
        QCOMPARE(json["panels"].toObject()["material"].toString(), QString("Ge"));
    }
};

LUMIVARD_TEST_MAIN(tst_Batch)
#include "tst_batch.moc"
