// The main window: start-up in either language with its catalogue, resources and help, the
// design as the user edits and loads it, the buttons acting on every plot window, the design
// files, and a clean close.
#include "body.h"
#include "calign.h"
#include "language.h"
#include "mcrystal.h"
#include "resources.h"
#include "testsupport.h"
#include "units.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace {

// The main window's and panels' texts with their Japanese forms, "context|source|translation";
// the texts of later windows, menus and messages are read as shown by their own tests.
const char *const kPairText
    = "ACrystal|A Crystal|結晶; ACrystal|Angle [deg]|角度[deg]; ACrystal|Beam W.|ビーム幅; "
      "ACrystal|Energy[eV]|エネルギー[eV]; ACrystal|In Beam C.|入射高; ACrystal|Length|長さ; "
      "ACrystal|Pos. X|位置(X); ACrystal|Pos. Y|位置(Y); Body|      Current::|カーソル位置 : ; "
      "Body|Avr. Cross Points::|集光点 : ; Body|Avr. Img Point::|結像点 : ; "
      "Body|Comment:|コメント : ; Body|Crystals|結晶周辺; Body|Focus Point|焦点周辺; "
      "Body|Imaging Point|結像面周辺; Body|Load|ロード; Body|Meas. Length::|計測距離 : ; "
      "Body|Rest CPs|焦点軌跡リセット; Body|Save|セーブ; Body|Scale Reset|スケールリセット; "
      "Body|Show Graph|グラフ表示; Body|Square Grid|グリッド正方化; CAlign|Help|タイプとは; "
      "CAlign|Length|長さ; CAlign|Num of C.|結晶数; CAlign|Rotate All|全体回転; "
      "CAlign|Setup Type ::|配置タイプ; CAlign|Start. Energy|エネルギー(起点); "
      "CAlign|Type 1|タイプ1; CAlign|Type 2|タイプ2; CAlign|Type 3|タイプ3; "
      "CAlign|Type 4|タイプ4; CAlign|Type 5|タイプ5; CAlign|Type 6|タイプ6; "
      "CAlign|Type 7|タイプ7; CAlign|[eV]  dE|[eV]   ΔE; CAlign|dX|間隔(X); CAlign|dY|間隔(Y); "
      "MCrystal|Index|面指数; MCrystal|Lattice C.|格子定数; "
      "MCrystal|Monochro. Crystal:  |分光結晶; MCrystal|d|面間隔";
const QStringList kPairs = QString(kPairText).split("; ");

} // namespace
class tst_Body : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QTranslator japanese;

    // A file of the test's directory: its bytes, after writing them when given.
    QByteArray file(const char *name, const QByteArray &bytes = {})
    {
        QFile f(dir.filePath(name));
        if (!bytes.isEmpty() && (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()))
            return "<not written>";
        f.close();
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>";
    }
    // What the dialogs report once the user has chosen a file.
    void save(Body &b, const char *name) { emit b.saveDialog.fileSelected(dir.filePath(name)); }
    void load(Body &b, const char *name) { emit b.loadDialog.fileSelected(dir.filePath(name)); }
    // A field of the panels by object name, or "r:i:Field" of crystal i's row.
    static QLineEdit *edit(Body &b, const QString &name)
    {
        const QStringList p = name.split(':');
        QObject *owner = p.size() == 3 ? b.crystals.at(p[1].toInt()) : static_cast<QObject *>(&b);
        return owner->findChild<QLineEdit *>(p.last());
    }
    // Steps as a user takes them: "Field=text" typed with Return ("Comment" is set: there are no
    // Japanese keys), "SelCrystal=i" picks a material, "Name" clicks that button, "load=text"
    // loads a file holding the text. Checks: "?Field=text", "?Name" checked, "?rows=n"
    // crystals, "?cps=n" entries in each history, "?label=t" on the newest, "?seeded" (the
    // image entry twice the focus).
    void run(Body &b, const QString &steps)
    {
        for (const QString &s : steps.split("; ")) {
            const QString name = s.section('=', 0, 0), value = s.section('=', 1);
            const QVector<Point> &cps = b.avrCps.points, &ips = b.avrIps.points;
            if (name == "load") {
                file("step.cfg", value.toUtf8());
                load(b, "step.cfg");
            } else if (name == "?rows") {
                QCOMPARE(b.crystals.size(), value.toInt());
            } else if (name == "?cps") {
                QCOMPARE(cps.size() + ips.size(), 2 * value.toInt());
            } else if (name == "?label") {
                QCOMPARE(cps.last().label + ips.last().label, value + value);
            } else if (s == "?seeded") {
                QVERIFY(near(ips[0].x, 2 * cps[0].x) && near(ips[0].y, 2 * cps[0].y));
            } else if (s.startsWith('?') && s.contains('=')) {
                QCOMPARE(edit(b, name.mid(1))->text(), value);
            } else if (s.startsWith('?')) {
                QVERIFY2(b.findChild<QAbstractButton *>(s.mid(1))->isChecked(), qPrintable(s));
            } else if (!s.contains('=')) {
                b.findChild<QAbstractButton *>(s)->click();
            } else if (name == "SelCrystal") {
                b.findChild<QComboBox *>(name)->setCurrentIndex(value.toInt());
            } else if (name == "Comment") {
                edit(b, name)->setText(value);
            } else {
                type(edit(b, name), value);
            }
        }
    }

private slots:
    void initTestCase()
    {
        initLumivardResources();
        QVERIFY(loadJapaneseCatalogue(japanese));
        // Files are written and read as UTF-8 whatever the locale; this one has no Japanese.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Each listed text translates in its context and stands finished in the translators'
    // source, where nothing is left untranslated; the title has no translation. The help in
    // either language is stored compressed, the catalogue not.
    void catalogue()
    {
        QFile ts(QFINDTESTDATA("../../resources/lumivard_ja_JP.ts"));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(ts.readAll());
        QCOMPARE(source.count("<message>"),
                 source.count(QRegularExpression("<translation>[^<]+</translation>")));
        QVERIFY(!source.contains("unfinished"));
        for (const QString &pair : kPairs + QStringList{"Body|Lumivard|", "Body|Length|"}) {
            const QStringList p = pair.split('|');
            QCOMPARE(japanese.translate(qPrintable(p[0]), p[1].toUtf8().constData()), p[2]);
        }
        for (const char *help : {":/typeHelp.txt", ":/typeHelp_en.txt"})
            QCOMPARE(QResource(help).compressionAlgorithm(), QResource::ZlibCompression);
        QCOMPARE(QResource(":/lumivard_ja_JP.qm").compressionAlgorithm(), QResource::NoCompression);
    }

    void startUp_data()
    {
        QTest::addColumn<bool>("japaneseInterface");
        QTest::newRow("Japanese, closed as main() does") << true;
        QTest::newRow("English, destroyed while shown") << false;
    }
    void startUp()
    {
        QFETCH(bool, japaneseInterface);
        if (japaneseInterface)
            QCoreApplication::installTranslator(&japanese);
        auto b = new Body;
        QCoreApplication::removeTranslator(&japanese);
        QStringList shown{b->windowTitle(), child<QPushButton>(b, "ShowGraph")->text()};
        // The plot windows are up before the main window, each on its default view.
        for (DispABase *v : {&b->overallView, &b->crystalsView, &b->focusView, &b->imagingView}) {
            shown << QString("%1 %2x%3").arg(v->windowTitle()).arg(v->width()).arg(v->height());
            QVERIFY(v->isVisible() && v->realC == v->realC0 && !b->isVisible());
        }
        QCOMPARE(shown.join('|'),
                 QString(japaneseInterface
                             ? "Lumivard|グラフ表示| 900x600|結晶周辺 600x400|焦点周辺 400x400|"
                               "結像面周辺 400x400"
                             : "Lumivard|Show Graph| 900x600|Crystals 600x400|Focus Point 400x400|"
                               "Imaging Point 400x400"));

        // Fitted to its rows, their fields under the column titles.
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b) && b->size() == b->minimumSize());
        auto cl = b->findChild<QGridLayout *>("CL");
        const int x0 = child<QWidget>(cl->itemAtPosition(0, 0)->widget(), "X")->mapTo(b, {}).x();
        for (ACrystal *c : b->crystals)
            QCOMPARE(child<QWidget>(c, "X")->mapTo(b, {}).x(), x0);
        // The first design: type 3, 8000 eV down by 15 eV, dY 1, L 4, laid out with the spacing
        // the panel shows, 3.13507 (the design file holds every row).
        run(*b,
            "?Spacing=3.13507; ?Type3; ?r:0:Deg=  14.310229; ?r:0:BeamW=    0.98869; "
            "?r:9:X=   34.91094; ?r:9:Deg=  14.561238; ?r:9:Energy= 7865.0000; ?cps=1");

        // The help in the interface's language: a modeless, read-only 600 x 600 window, one
        // paragraph per line of the resource in file order, opened at its heading.
        child<QPushButton>(b, "Help")->click();
        QTextEdit *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            help = w->findChild<QTextEdit *>() ? w->findChild<QTextEdit *>() : help;
        QVERIFY(help && help->isVisible() && help->isReadOnly() && !help->window()->isModal());
        QCOMPARE(help->window()->size(), QSize(600, 600));
        QFile file(japaneseInterface ? ":typeHelp.txt" : ":typeHelp_en.txt");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(japaneseInterface ? "設定タイプ :\n" : "Setup type:\n"));
        QCOMPARE(text.count('\n'), 46);
        QTest::keyClicks(help, "typed");
        QCOMPARE(help->toPlainText() + '\n', text);
        QVERIFY(help->textCursor().position() == 0 && help->verticalScrollBar()->value() == 0);

        // Closing with the plot and help windows open and a field focused and edited.
        b->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(b));
        child<QLineEdit>(b, "IndexH")->setFocus();
        QTest::keyClicks(child<QLineEdit>(b, "IndexH"), "7");
        connect(b, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        QVERIFY(!japaneseInterface || b->close());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!japaneseInterface || !w->isVisible());
        // Nothing reaches the window once its teardown has begun, though a focused field still
        // finishes its edit then.
        int reached = 0;
        connect(b->findChild<MCrystal *>(), &MCrystal::newValue, b, [&] { ++reached; });
        connect(b->findChild<CAlign *>(), &CAlign::newValue, b, [&] { ++reached; });
        delete b;
        QCOMPARE(reached, 0);
    }

    // Each design, once reached, is saved, loaded into a program just started, and saved again
    // byte for byte.
    void design_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("a redraw per edit, only that crystal changed")
            << "r:2:Energy=7000; r:4:X=20; r:4:Length=   4.00000; ?cps=4; ?label=8000-7865[eV]; "
               "?r:2:Energy= 7000.0000; ?r:3:Deg=  14.392921";
        QTest::newRow("Rest CPs, one crystal") << "Num=1; ResetCPs; ?cps=0";
        QTest::newRow("Rest CPs, three crystals") << "Num=3; ResetCPs; ?cps=1; ?seeded; ?label=; "
                                                     "r:1:Deg=14; ?cps=2; ?label=8000-7970[eV]";
        QTest::newRow("StartE") << "StartE=9000; ?r:9:Energy= 8865.0000; ?label=9000-8865[eV]";
        QTest::newRow("crystal bound") << "Num=5000; ?rows=1000; ?Num=1000";
        QTest::newRow("Ge") << "SelCrystal=1; ?Spacing=3.27669; ?r:0:Deg=  13.679417";
        QTest::newRow("Si 2 2 0") << "IndexH=2; IndexK=2; IndexL=0; ?r:0:Deg=  23.805322";
        QTest::newRow("0 0 0") << "IndexH=0; IndexK=0; IndexL=0; ?r:0:Deg=   0.000000";
        QTest::newRow("a = 0") << "LatticeC=0; IndexH=0; IndexK=0; IndexL=0; ?r:0:Deg=  -1.000000";
        QTest::newRow("rotated, then hand edits")
            << "RotateAllDeg=90; RotateAll; ?r:1:Deg= 104.337686; ?r:0:Energy= 2040.6955; "
               "r:0:Deg=123.4567891; r:1:Energy=9000; r:2:Length=-3; r:3:X=-1";
        QTest::newRow("no crystals") << "Type6; Num=0; ?rows=0";
        QTest::newRow("Japanese comment") << "Comment=分光結晶 Si(111) ΔE";
        // Files written by hand.
        QTest::newRow("several 1s: the last one checked")
            << "load=# Selected Type 2    : 1\n# Selected Type 5    : 1\n; ?Type5";
        QString zeros;
        for (char t = '1'; t <= '7'; ++t)
            zeros += QStringLiteral("# Selected Type %1    : 0\n").arg(t);
        QTest::newRow("seven 0s keep the type") << "Type6; load=" + zeros + "; ?Type6";
        QTest::newRow("more groups than crystals")
            << "load=# Number of Crystals : 3\n# New Layout         : 0\n"
               "# Crystal Pos X      : 2 : 30\n# Crystal Pos X      : 3 : 40\n"
               "; ?rows=3; ?Num=3; ?r:2:X=   30.00000";
        QTest::newRow("no index prefix, other spacing or capitals: not keys")
            << "load=# Crystal Pos X      :     5.00000\n# Start Energy      : 9\n"
               "# start energy       : 9\n# Crystal pos X      : 0 : 5\n"
               "; ?StartE=8000; ?r:0:X=    0.00000";
        QTest::newRow("empty values")
            << "Comment=x; load=# Start Energy       : \n# Comment            : \n"
               "; ?StartE=; ?Comment=";
        QTest::newRow("only the rotation box, turned by 90")
            << "RotateAllDeg=90; load=# Rotate All         : 1\n; ?RotateAll; "
               "?r:1:Deg= 104.337686; ?r:0:Energy= 2040.6955";
        QTest::newRow("a type switch after the groups rebuilds them")
            << "load=# New Layout         : 0\n# Crystal Pos X      : 0 : 50\n"
               "# Selected Type 4    : 1\n# Crystal Pos Y      : 1 : 60\n"
               "; ?Type4; ?r:0:X=    0.00000; ?r:1:Y=   60.00000";
    }
    void design()
    {
        QFETCH(QString, steps);
        Body b, fresh;
        run(b, steps);
        // The rows and the shapes drawn are those of the current crystals.
        QCOMPARE(b.shapes.size(), 10 * b.crystals.size());
        QCOMPARE(b.findChild<QGridLayout *>("CL")->count(), b.crystals.size() + 1);
        save(b, "first.cfg");
        // The spacing every window shares, as another material would leave it: the file's own
        // spacing must lay it out.
        units.setD(3.27669);
        load(fresh, "first.cfg");
        save(fresh, "second.cfg");
        // A crystal at the origin keeps a residue of a rotation, shown "-0.00000"; the file
        // cannot carry its sign.
        const auto text = [&](const char *f) {
            return file(f).replace(" -0.00000\n", "  0.00000\n").split('\n');
        };
        QCOMPARE(text("second.cfg"), text("first.cfg"));
    }

    // What a change did that was not typed, in the status bar; the focus read-outs say what they
    // are: a mark and a tooltip on "Avr. Cross Points" where parallel pairs or crossings behind
    // the crystals are in its average, with the least-squares focus beside it, and no focus of a
    // design with fewer than two crystals that reflect (tst_render reads that one as painted).
    void notices_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("tip");    // how the tooltip of "Avr. Cross Points" starts
        QTest::addColumn<QString>("second"); // the least-squares line; "-" hidden
        const QString below = "Crystals 403 to 1000 have no Bragg reflection: their energies fall "
                              "below the 1977.4 eV cut-off";
        dataRow("as ever", "Num=10", "", "", "-");
        dataRow("1000 crystals", "Num=1000", below, "Includes", "(");
        dataRow("bounded", "Num=5000", "At most 1000 crystals \u2014 " + below, "Includes", "(");
        dataRow("count 0", "Num=0", "A count of 0 lays out one crystal", "", "-");
        dataRow("count < 0", "Num=-3", "A count of -3 lays out one crystal", "", "-");
        dataRow("one hand edit",
                "r:2:X=20; Num=10",
                "Laid out again: 1 crystal edited by hand was replaced (Ctrl+Z brings it back)",
                "",
                "-");
        dataRow("two hand edits",
                "r:2:X=20; r:3:X=30; StartE=8000",
                "Laid out again: 2 crystals edited by hand were replaced (Ctrl+Z brings them back)",
                "",
                "-");
        dataRow("taken down", "StartE=1000; StartE=8000", "", "", "-");
        dataRow("dE 0",
                "DE=0",
                "",
                "Includes 45 parallel pairs counted at (0, 0)",
                "none: the reflected lines do not meet");
    }
    void notices()
    {
        QFETCH(QString, steps);
        QFETCH(QString, status);
        QFETCH(QString, tip);
        QFETCH(QString, second);
        Body b;
        run(b, steps);
        QCOMPARE(b.statusBar()->currentMessage(), status.replace("\\u2014", QChar(0x2014)));
        const QLabel *avr = child<QLabel>(&b, "AvrCps"), *lsq = child<QLabel>(&b, "LsqFocus");
        QVERIFY2(tip.isEmpty() ? avr->toolTip().isEmpty() : avr->toolTip().startsWith(tip),
                 qPrintable(avr->toolTip()));
        QCOMPARE(avr->styleSheet().isEmpty(), tip.isEmpty());
        QCOMPARE(lsq->isHidden(), second == "-");
        if (second != "-")
            QVERIFY2(lsq->text().startsWith(second), qPrintable(lsq->text()));
    }

    // The design file of the first design, key by key.
    void defaultDesignFile()
    {
        Body b;
        QStringList lines;
        const auto add = [&](const QString &key, const QString &value) {
            lines << QString("# %1: %2").arg(key, -19).arg(value);
        };
        const auto addAll = [&](const QString &keysAndValues) {
            for (const QString &kv : keysAndValues.split('|'))
                add(kv.section('=', 0, 0), kv.section('=', 1));
        };
        addAll("Selected Crystal=0|Lattice Constant=5.4301|Lattice Index h=1|Lattice Index k=1|"
               "Lattice Index l=1|Lattice Spacing=3.13507");
        for (int t = 1; t <= 7; ++t)
            add(QString("Selected Type %1").arg(t), t == 3 ? "1" : "0");
        addAll("Rotate All=0|Ratate All [deg]=0|Start Energy=8000|Delta Energy=-15|"
               "Number of Crystals=10|Delta X=4|Delta Y=1|Length=4|New Layout=0");
        const char *const fields[] = {"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};
        const char *const keys[]
            = {"Pos X", "Pos Y", "Deg", "Energy", "Length", "In Beam C", "Beam Width"};
        for (int i = 0; i < 10 * 7; ++i)
            add(QString("Crystal ") + keys[i % 7],
                QString("%1 : ").arg(i / 7)
                    + edit(b, QString("r:%1:%2").arg(i / 7).arg(fields[i % 7]))->text());
        add("Comment", "");
        save(b, "default.cfg");
        QCOMPARE(file("default.cfg"), lines.join('\n').toUtf8() + '\n');
    }

    // A file that cannot be read or written: the exact debug message, a warning window that
    // does not block, the design and the previous file unchanged. A file of garbage, NUL bytes
    // and huge values leaves the program usable.
    void badFiles()
    {
        QByteArray garbage = "# Number of Crystals : 100000000\n# Delta Y            : inf\n"
                             "# New Layout         : 0\n# Crystal Deg        : 0 : nan\n";
        for (quint32 i = 0, x = 1; i < (1u << 20); ++i, x = x * 1664525u + 1013904223u)
            garbage += char(x >> 24);
        file("hostile.cfg", garbage);
        file("old.cfg", "the previous design\n");
        Body b;
        run(b, "Type5; Comment=kept");
        save(b, "before.cfg");
        load(b, "hostile.cfg");
        QVERIFY(b.crystals.size() <= 1000 && b.shapes.size() == 10 * b.crystals.size());
        load(b, "before.cfg");
        const QString missing = dir.filePath("missing.cfg"), old = dir.filePath("old.cfg");
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't open \"" + missing + "\" to load."));
        load(b, "missing.cfg");
        // As root a read-only file is no obstacle: a size limit fails the write itself.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limited{1000, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limited);
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't open \"" + old + "\" to save."));
        save(b, "old.cfg");
        setrlimit(RLIMIT_FSIZE, &saved);
        // The garbage loaded as far as it went, with a notice of what was not understood.
        const QList<QMessageBox *> boxes = b.findChildren<QMessageBox *>();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(std::any_of(boxes.begin(), boxes.end(), [](const QMessageBox *m) {
            // Its first ten notes and a count of the rest.
            return m->text().contains("hostile.cfg") && m->text().contains("line 5 (")
                   && m->text().count('\n') == 11 && m->text().endsWith(" more");
        }));
        QVERIFY(b.findChild<QMessageBox *>()->isVisible() && !QApplication::activeModalWidget());
        QCOMPARE(file("old.cfg"), QByteArray("the previous design\n"));
        save(b, "after.cfg");
        QCOMPARE(file("after.cfg"), file("before.cfg"));
    }
};

LUMIVARD_TEST_MAIN(tst_Body)
#include "tst_body.moc"
