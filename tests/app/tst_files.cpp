#include "body.h"
#include "bragg.h"
#include "units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace {

const char *const kRowFields[] = {"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};

template <class T> T *child(QObject *parent, const QString &name)
{
    T *w = parent->findChild<T *>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

// Types over a field's text and presses Return, as a user does.
void type(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Puts a window into a state the way a user would. Each action is "name=value": a field of the
// panels typed over ("StartE=9000"), "Type=5", "Crystal=1" (the material), "Rotate=90" (angle
// typed, box ticked), "Comment=..." or "row:i:Field=text" for a crystal row.
void apply(Body &body, const QStringList &actions)
{
    for (const QString &action : actions) {
        const QString name = action.section(QLatin1Char('='), 0, 0);
        const QString value = action.section(QLatin1Char('='), 1);
        if (name == QLatin1String("Type")) {
            child<QRadioButton>(&body, QLatin1String("Type") + value)->click();
        } else if (name == QLatin1String("Crystal")) {
            child<QComboBox>(&body, QStringLiteral("SelCrystal"))->setCurrentIndex(value.toInt());
        } else if (name == QLatin1String("Rotate")) {
            type(child<QLineEdit>(&body, QStringLiteral("RotateAllDeg")), value);
            child<QCheckBox>(&body, QStringLiteral("RotateAll"))->setChecked(true);
        } else if (name == QLatin1String("Comment")) {
            // Typed text would go through the keyboard, which has no Japanese keys.
            child<QLineEdit>(&body, name)->setText(value);
        } else if (name.startsWith(QLatin1String("row:"))) {
            ACrystal *c = body.crystals.at(name.section(QLatin1Char(':'), 1, 1).toInt());
            type(child<QLineEdit>(c, name.section(QLatin1Char(':'), 2)), value);
        } else {
            type(child<QLineEdit>(&body, name), value);
        }
    }
}

// The dialogs' selection reaches the window's slots.
void save(Body &body, const QString &path)
{
    QVERIFY(QMetaObject::invokeMethod(&body.saveDialog, "fileSelected", Q_ARG(QString, path)));
}

void load(Body &body, const QString &path)
{
    QVERIFY(QMetaObject::invokeMethod(&body.loadDialog, "fileSelected", Q_ARG(QString, path)));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString rowText(ACrystal *c, const char *field)
{
    return child<QLineEdit>(c, QLatin1String(field))->text();
}

QList<QMessageBox *> warnings()
{
    QList<QMessageBox *> found;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (auto box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            found << box;
    }
    return found;
}

// A crystal centred on the origin keeps a residue of about 1e-16 after a rotation, shown as
// "-0.00000"; the file cannot carry its sign, so read back it shows as "0.00000".
QByteArray withoutSignOfZero(QByteArray bytes)
{
    return bytes.replace(" -0.00000\n", "  0.00000\n");
}

QStringList debugMessages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        debugMessages << text;
}

// Lines of the file as written: the key's 23 characters and the value after them.
QStringList fileLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class tst_Files : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dialogs();
    void defaultDesignFile();
    void roundTrip_data();
    void roundTrip();
    void loadEdgeCases_data();
    void loadEdgeCases();
    void unreadable_data();
    void unreadable();
    void failedSave_data();
    void failedSave();
    void encoding();
    void hostile_data();
    void hostile();

private:
    QString path(const QString &name) const { return dir->filePath(name); }

    QScopedPointer<QTemporaryDir> dir;
};

void tst_Files::init()
{
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
    debugMessages.clear();
}

void tst_Files::cleanup()
{
    for (QMessageBox *box : warnings())
        box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dir.reset();
}

void tst_Files::dialogs()
{
    const QString startDir = QDir::currentPath();
    Body body;
    QCOMPARE(body.saveDialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(body.loadDialog.acceptMode(), QFileDialog::AcceptOpen);
    for (QFileDialog *d : {&body.saveDialog, &body.loadDialog}) {
        QCOMPARE(d->nameFilters(), QStringList({"Configuration File (*.cfg)", "Any File (* *.*)"}));
        QCOMPARE(d->directory().absolutePath(), QDir(startDir).absolutePath());
        // Any name is taken, also one that does not exist yet, exactly as chosen.
        QCOMPARE(d->fileMode(), QFileDialog::AnyFile);
        QVERIFY(!d->parent());
        QVERIFY(!d->isVisible());
    }

    body.show();
    QTest::mouseClick(child<QPushButton>(&body, QStringLiteral("Save")), Qt::LeftButton);
    QVERIFY(body.saveDialog.isVisible());
    QVERIFY(!body.saveDialog.isModal());
    QVERIFY(!body.loadDialog.isVisible());
    QTest::mouseClick(child<QPushButton>(&body, QStringLiteral("Load")), Qt::LeftButton);
    QVERIFY(body.loadDialog.isVisible());
    QVERIFY(!body.loadDialog.isModal());
    // Both open at once: neither blocks the main window.
    QVERIFY(body.saveDialog.isVisible());
    QVERIFY(!QApplication::activeModalWidget());

    // The selection of either dialog reaches the window: a design written, then read.
    const QString file = path(QStringLiteral("picked.cfg"));
    save(body, file);
    QVERIFY(QFile::exists(file));
    apply(body, {"Comment=changed"});
    load(body, file);
    QCOMPARE(child<QLineEdit>(&body, QStringLiteral("Comment"))->text(), QString());
}

void tst_Files::defaultDesignFile()
{
    Body body;
    const QString file = path(QStringLiteral("default.cfg"));
    save(body, file);
    const QByteArray bytes = contents(file);
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(bytes.endsWith('\n'));

    QStringList expected{"# Selected Crystal   : 0",   "# Lattice Constant   : 5.4301",
                         "# Lattice Index h    : 1",   "# Lattice Index k    : 1",
                         "# Lattice Index l    : 1",   "# Lattice Spacing    : 3.13507",
                         "# Selected Type 1    : 0",   "# Selected Type 2    : 0",
                         "# Selected Type 3    : 1",   "# Selected Type 4    : 0",
                         "# Selected Type 5    : 0",   "# Selected Type 6    : 0",
                         "# Selected Type 7    : 0",   "# Rotate All         : 0",
                         "# Ratate All [deg]   : 0",   "# Start Energy       : 8000",
                         "# Delta Energy       : -15", "# Number of Crystals : 10",
                         "# Delta X            : 4",   "# Delta Y            : 1",
                         "# Length             : 4",   "# New Layout         : 0"};
    const char *const keys[] = {"# Crystal Pos X      : ",
                                "# Crystal Pos Y      : ",
                                "# Crystal Deg        : ",
                                "# Crystal Energy     : ",
                                "# Crystal Length     : ",
                                "# Crystal In Beam C  : ",
                                "# Crystal Beam Width : "};
    QCOMPARE(body.crystals.size(), 10);
    for (int i = 0; i < body.crystals.size(); ++i) {
        for (int k = 0; k < 7; ++k)
            expected << QLatin1String(keys[k]) + QString::number(i) + QLatin1String(" : ")
                            + rowText(body.crystals.at(i), kRowFields[k]);
    }
    expected << "# Comment            : ";

    const QStringList lines = fileLines(bytes);
    QCOMPARE(lines.size(), 22 + 7 * 10 + 1);
    QCOMPARE(lines, expected);
    // The first crystal as the row shows it: blanks of the fixed widths included.
    QCOMPARE(lines.at(22), QStringLiteral("# Crystal Pos X      : 0 :     0.00000"));
    QCOMPARE(lines.at(26), QStringLiteral("# Crystal Length     : 0 :    4.00000"));
    for (const QString &line : lines) {
        QVERIFY(line.size() >= 23);
        QVERIFY(line.startsWith(QLatin1String("# ")));
        QCOMPARE(line.mid(21, 2), QStringLiteral(": "));
    }

    // Saving leaves the design as it was.
    save(body, file);
    QCOMPARE(contents(file), bytes);
}

void tst_Files::roundTrip_data()
{
    QTest::addColumn<QStringList>("design");
    QTest::addColumn<QStringList>("otherState"); // of the program that loads it

    QTest::newRow("start-up design into a fresh program") << QStringList() << QStringList();
    for (int t = 1; t <= 7; ++t) {
        QTest::newRow(qPrintable(QStringLiteral("type %1").arg(t)))
            << QStringList{QStringLiteral("Type=%1").arg(t), "Num=6", "DX=3.5", "Comment=t"}
            << QStringList{t == 3 ? "Type=6" : "Type=3", "Crystal=1"};
    }
    QTest::newRow("Si 2 2 0 into Si 1 1 1")
        << QStringList{"IndexH=2", "IndexK=2", "IndexL=0"} << QStringList();
    QTest::newRow("Si 1 1 1 into Ge 3 1 1")
        << QStringList() << QStringList{"Crystal=1", "IndexH=3", "IndexL=1"};
    QTest::newRow("rotated 90") << QStringList{"Rotate=90"} << QStringList();
    QTest::newRow("rotated 180, type 1")
        << QStringList{"Type=1", "Rotate=180"} << QStringList{"Rotate=-30"};
    QTest::newRow("rotated -137.5, type 5")
        << QStringList{"Type=5", "Rotate=-137.5", "Num=12"} << QStringList{"Type=2"};
    QTest::newRow("rotated 270, type 7, Ge 2 2 0")
        << QStringList{"Type=7", "Rotate=270", "Crystal=1", "IndexH=2", "IndexK=2", "IndexL=0"}
        << QStringList{"Num=30"};
    QTest::newRow("hand edits") << QStringList{"row:0:Deg=123.4567891",
                                               "row:1:Energy=9000",
                                               "row:2:Length=-3",
                                               "row:3:X=-10.123456",
                                               "row:4:Y=7.5",
                                               "row:5:Deg=-200",
                                               "row:6:Energy=0",
                                               "row:7:Deg=0"}
                                << QStringList{"Type=4", "StartE=6000"};
    QTest::newRow("hand edits on a rotated design") << QStringList{"Type=6",
                                                                   "Rotate=100",
                                                                   "row:1:Deg=30",
                                                                   "row:2:Energy=7000",
                                                                   "row:3:Length=-5"}
                                                    << QStringList{"Rotate=45"};
    QTest::newRow("below the cut-off energy")
        << QStringList{"StartE=1500", "DE=300", "Type=2"} << QStringList();
    QTest::newRow("many crystals into few")
        << QStringList{"Num=120", "Type=1", "DY=0.5"} << QStringList{"Num=2"};
    QTest::newRow("Japanese comment")
        << QStringList{QString::fromUtf8("Comment=分光結晶 Si(111) テスト ΔE")}
        << QStringList{"Comment=old"};
}

void tst_Files::roundTrip()
{
    QFETCH(QStringList, design);
    QFETCH(QStringList, otherState);

    const QString first = path(QStringLiteral("first.cfg"));
    const QString second = path(QStringLiteral("second.cfg"));
    const QString third = path(QStringLiteral("third.cfg"));

    Body source;
    apply(source, design);
    save(source, first);
    const QByteArray saved = withoutSignOfZero(contents(first));

    Body target;
    apply(target, otherState);
    load(target, first);
    save(target, second);
    QCOMPARE(fileLines(withoutSignOfZero(contents(second))), fileLines(saved));
    QCOMPARE(withoutSignOfZero(contents(second)), saved);

    // The same design, not only the same texts: every crystal where it was.
    QCOMPARE(target.crystals.size(), source.crystals.size());
    QCOMPARE(units.D, child<QLineEdit>(&source, QStringLiteral("Spacing"))->text().toDouble());
    for (int i = 0; i < source.crystals.size(); ++i) {
        const ACrystal *a = source.crystals.at(i);
        const ACrystal *b = target.crystals.at(i);
        QVERIFY2(std::abs(a->centre().x - b->centre().x) <= 5e-6, qPrintable(QString::number(i)));
        QVERIFY(std::abs(a->centre().y - b->centre().y) <= 5e-6);
        QVERIFY2(std::abs(a->angleDeg() - b->angleDeg()) <= 1e-6,
                 qPrintable(QStringLiteral("%1: %2 / %3")
                                .arg(i)
                                .arg(a->angleDeg(), 0, 'f', 9)
                                .arg(b->angleDeg(), 0, 'f', 9)));
        QVERIFY(std::abs(a->surface.length - b->surface.length) <= 5e-6);
    }

    // Read back into the program that wrote it, too.
    load(source, first);
    save(source, third);
    QCOMPARE(withoutSignOfZero(contents(third)), saved);
}

void tst_Files::loadEdgeCases_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("file");
    // Checks: "rows=n", "checked=Type5", a field "Name=text" or "row:i:Field=text".
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("several 1s: the last one checked") << QStringList()
                                                      << QStringList{"# Selected Type 2    : 1",
                                                                     "# Selected Type 5    : 1",
                                                                     "# Selected Type 7    : 0",
                                                                     "# New Layout         : 0"}
                                                      << QStringList{"checked=Type5", "rows=10"};
    QTest::newRow("seven 0s keep the type") << QStringList{"Type=6"}
                                            << QStringList{"# Selected Type 1    : 0",
                                                           "# Selected Type 2    : 0",
                                                           "# Selected Type 3    : 0",
                                                           "# Selected Type 4    : 0",
                                                           "# Selected Type 5    : 0",
                                                           "# Selected Type 6    : 0",
                                                           "# Selected Type 7    : 0",
                                                           "# New Layout         : 0"}
                                            << QStringList{"checked=Type6"};
    QTest::newRow("more groups than crystals")
        << QStringList()
        << QStringList{"# Number of Crystals : 3",
                       "# New Layout         : 0",
                       "# Crystal Pos X      : 1 :    20.00000",
                       "# Crystal Pos X      : 2 :    30.00000",
                       "# Crystal Pos X      : 3 :    40.00000",
                       "# Crystal Pos X      : 17 :    50.00000"}
        << QStringList{"rows=3", "row:1:X=   20.00000", "row:2:X=   30.00000", "Num=3"};
    QTest::newRow("index prefix missing")
        << QStringList()
        << QStringList{"# Crystal Pos X      :     5.00000", "# Crystal Pos X      : 5.00000"}
        << QStringList{"row:0:X=    0.00000", "rows=10"};
    QTest::newRow("other spacing or capitals")
        << QStringList()
        << QStringList{"# Start Energy      : 9000",
                       "# start energy       : 9000",
                       "#  Start Energy      : 9000",
                       "Start Energy         : 9000",
                       "# Crystal pos X      : 0 : 5",
                       " # Comment            : x"}
        << QStringList{"StartE=8000", "row:0:X=    0.00000", "Comment="};
    QTest::newRow("empty values") << QStringList{"Comment=before"}
                                  << QStringList{"# Start Energy       : ",
                                                 "# Lattice Constant   : ",
                                                 "# Comment            : "}
                                  << QStringList{"StartE=", "LatticeC=", "Comment="};
    QTest::newRow("values are verbatim")
        << QStringList()
        << QStringList{"# Delta X            :  7 ", "# Comment            :   two  blanks "}
        << QStringList{"DX= 7 ", "Comment=  two  blanks "};
    QTest::newRow("stored spacing lays out at the marker")
        << QStringList()
        << QStringList{"# Lattice Spacing    : 1.92015", "# New Layout         : 0"}
        << QStringList{"Spacing=1.92015",
                       "IndexH=1",
                       "row:0:Deg=" + QString::asprintf("%11.6f", Bragg::angleDeg(8000, 1.92015))};
    QTest::newRow("without a marker only the fields change")
        << QStringList()
        << QStringList{"# Start Energy       : 9000", "# Crystal Pos X      : 0 : 12.5"}
        << QStringList{"StartE=9000", "row:0:X=   12.50000", "row:0:Energy= 8000.0000", "rows=10"};
    QTest::newRow("a new crystal choice lays out at once")
        << QStringList() << QStringList{"# Selected Crystal   : 1", "# Lattice Index h    : 2"}
        << QStringList{"LatticeC=5.6754",
                       "IndexH=2",
                       "Spacing=3.27669",
                       "row:0:Deg=" + QString::asprintf("%11.6f", Bragg::angleDeg(8000, 3.27669))};
    QTest::newRow("crystal index outside the table")
        << QStringList() << QStringList{"# Selected Crystal   : 7", "# New Layout         : 0"}
        << QStringList{"LatticeC=0", "Spacing=0", "row:0:Deg=  -1.000000"};
    QTest::newRow("a type switch after the groups rebuilds them")
        << QStringList()
        << QStringList{"# New Layout         : 0",
                       "# Crystal Pos X      : 0 : 50",
                       "# Selected Type 4    : 1",
                       "# Crystal Pos Y      : 1 : 60"}
        << QStringList{"checked=Type4",
                       "row:0:X=    0.00000",
                       "row:1:X=   -0.22953",
                       "row:1:Y=   60.00000"};
    QTest::newRow("a type line that changes nothing keeps the groups")
        << QStringList()
        << QStringList{"# New Layout         : 0",
                       "# Crystal Pos X      : 0 : 50",
                       "# Selected Type 3    : 1",
                       "# Selected Type 3    : 0",
                       "# Crystal Pos Y      : 1 : 60"}
        << QStringList{"checked=Type3", "row:0:X=   50.00000", "row:1:Y=   60.00000"};
    QTest::newRow("the last marker counts")
        << QStringList()
        << QStringList{"# New Layout         : 0",
                       "# Crystal Pos X      : 0 : 50",
                       "# Number of Crystals : 2",
                       "# New Layout         : 0",
                       "# Crystal Pos Y      : 0 : 60"}
        << QStringList{"rows=2", "row:0:X=    0.00000", "row:0:Y=   60.00000"};
    QTest::newRow("rotation ticked after the marker")
        << QStringList()
        << QStringList{"# Ratate All [deg]   : 90",
                       "# New Layout         : 0",
                       "# Rotate All         : 1"}
        << QStringList{"row:0:Deg= 104.310229", "row:1:X=   -1.00000"};
    QTest::newRow("a hand-typed energy turns the crystal")
        << QStringList()
        << QStringList{"# New Layout         : 0", "# Crystal Energy     : 0 :  9000.0000"}
        << QStringList{"row:0:Energy= 9000.0000",
                       "row:0:Deg=" + QString::asprintf("%11.6f", Bragg::angleDeg(9000, 3.13507))};
    QTest::newRow("Windows line endings")
        << QStringList()
        << QStringList{"# Start Energy       : 9000\r", "# Comment            : x\r"}
        << QStringList{"StartE=9000", "Comment=x"};
}

void tst_Files::loadEdgeCases()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, file);
    QFETCH(QStringList, expected);

    Body body;
    apply(body, before);
    const QString name = path(QStringLiteral("edge.cfg"));
    QVERIFY(write(name, file.join(QLatin1Char('\n')).toUtf8() + '\n'));
    load(body, name);

    for (const QString &check : expected) {
        const QString what = check.section(QLatin1Char('='), 0, 0);
        const QString text = check.section(QLatin1Char('='), 1);
        if (what == QLatin1String("rows")) {
            QCOMPARE(body.crystals.size(), text.toInt());
        } else if (what == QLatin1String("checked")) {
            QVERIFY2(child<QRadioButton>(&body, text)->isChecked(), qPrintable(text));
        } else if (what.startsWith(QLatin1String("row:"))) {
            ACrystal *c = body.crystals.at(what.section(QLatin1Char(':'), 1, 1).toInt());
            QCOMPARE(child<QLineEdit>(c, what.section(QLatin1Char(':'), 2))->text(), text);
        } else {
            QCOMPARE(child<QLineEdit>(&body, what)->text(), text);
        }
    }
    // The rows and the shapes drawn follow the crystals that are there.
    QCOMPARE(body.shapes.size(), 10 * body.crystals.size());
}

void tst_Files::unreadable_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("no such file") << "missing.cfg";
    QTest::newRow("no such directory") << "nowhere/missing.cfg";
    QTest::newRow("a directory") << "";
}

void tst_Files::unreadable()
{
    QFETCH(QString, name);
    const QString fname = name.isEmpty() ? dir->path() : path(name);

    Body body;
    apply(body, {"Type=5", "Comment=kept"});
    const QString before = path(QStringLiteral("before.cfg"));
    save(body, before);

    qInstallMessageHandler(collect);
    load(body, fname);
    qInstallMessageHandler(nullptr);
    QCOMPARE(debugMessages, QStringList{QStringLiteral("Can't open \"%1\" to load.").arg(fname)});

    // The user is told, in a window that does not block, and the design is unchanged.
    const QList<QMessageBox *> shown = warnings();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first()->text().contains(fname));
    QCOMPARE(shown.first()->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    const QString after = path(QStringLiteral("after.cfg"));
    save(body, after);
    QCOMPARE(contents(after), contents(before));

    // Closing the window frees it.
    QPointer<QMessageBox> box = shown.first();
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box.isNull());
}

void tst_Files::failedSave_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("sizeLimit"); // writes beyond 1000 bytes fail

    QTest::newRow("in a directory that does not exist") << "nowhere/design.cfg" << false;
    QTest::newRow("a directory") << "adir" << false;
    QTest::newRow("disk full while writing") << "old.cfg" << true;
}

void tst_Files::failedSave()
{
    QFETCH(QString, target);
    QFETCH(bool, sizeLimit);
    const QString fname = path(target);

    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("adir")));
    QVERIFY(write(path(QStringLiteral("adir/inside.cfg")), "inside\n"));
    const QByteArray old("# Comment            : the previous design\n");
    QVERIFY(write(path(QStringLiteral("old.cfg")), old));
    const QStringList filesBefore = QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden);

    Body body;
    apply(body, {"Num=40"});

    rlimit saved{};
    if (sizeLimit) {
        // As root a read-only file is no obstacle; a file-size limit fails the write itself.
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    qInstallMessageHandler(collect);
    save(body, fname);
    qInstallMessageHandler(nullptr);
    if (sizeLimit)
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);

    QCOMPARE(debugMessages, QStringList{QStringLiteral("Can't open \"%1\" to save.").arg(fname)});
    QCOMPARE(warnings().size(), 1);
    QVERIFY(warnings().first()->text().contains(fname));

    // Nothing was replaced and no half-written file is left behind.
    QCOMPARE(contents(path(QStringLiteral("old.cfg"))), old);
    QCOMPARE(contents(path(QStringLiteral("adir/inside.cfg"))), QByteArray("inside\n"));
    QVERIFY(QFileInfo(path(QStringLiteral("adir"))).isDir());
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden), filesBefore);

    // A later save to a good place works.
    save(body, path(QStringLiteral("good.cfg")));
    QCOMPARE(fileLines(contents(path(QStringLiteral("good.cfg")))).size(), 22 + 7 * 40 + 1);
}

void tst_Files::encoding()
{
    // A locale whose encoding has no Japanese, as LANG=C gives.
    QTextCodec *const localeCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));

    const QString comment = QString::fromUtf8("結晶の配置 ΔE=15 eV — Ångström");
    Body source;
    apply(source, {QStringLiteral("Comment=") + comment});
    const QString name = path(QStringLiteral("japanese.cfg"));
    save(source, name);
    QVERIFY(contents(name).endsWith("# Comment            : " + comment.toUtf8() + '\n'));

    Body target;
    load(target, name);
    QCOMPARE(child<QLineEdit>(&target, QStringLiteral("Comment"))->text(), comment);

    // A file that is not UTF-8 came from elsewhere: read in the locale's encoding.
    const QString latin = path(QStringLiteral("latin1.cfg"));
    QVERIFY(write(latin, QByteArray("# Comment            : \xc5ngstr\xf6m 1\xb0\n")));
    load(target, latin);
    QCOMPARE(child<QLineEdit>(&target, QStringLiteral("Comment"))->text(),
             QString::fromUtf8("Ångström 1°"));

    QTextCodec::setCodecForLocale(localeCodec);
}

void tst_Files::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("maxRows");

    QByteArray garbage;
    quint32 x = 2463534242u;
    for (int i = 0; i < (1 << 20); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        garbage += char(x & 0xff);
    }
    QTest::newRow("binary garbage") << garbage << 10;

    static const char nulBytes[] = "# Start\0Energy       : 5\n# Comment            : a\0b\n"
                                   "# Number of Crystals : 4\0\n# New Layout         : 0\n"
                                   "# Crystal Pos X      : 0\0: 5\n\0\0\0\n";
    QTest::newRow("NUL bytes") << QByteArray(nulBytes, sizeof(nulBytes) - 1) << 10;

    const QByteArray longValue(8 << 20, '7');
    QTest::newRow("very long lines")
        << QByteArray("# Comment            : " + longValue + "\n" + longValue + "\n"
                      + "# Start Energy       : " + longValue + "\n# New Layout         : 0\n"
                      + "# Crystal Deg        : 0 : " + longValue + "\n")
        << 10;

    QByteArray huge;
    for (const char *line : {"# Selected Crystal   : 2147483648",
                             "# Lattice Spacing    : 1e-320",
                             "# Selected Type 5    : 1e308",
                             "# Selected Type 6    : 1",
                             "# Rotate All         : 1",
                             "# Ratate All [deg]   : 1e308",
                             "# Start Energy       : 1e308",
                             "# Delta Energy       : -1e308",
                             "# Number of Crystals : 99999999999999999999",
                             "# Number of Crystals : 3",
                             "# Delta X            : nan",
                             "# Delta Y            : inf",
                             "# Length             : -1e308",
                             "# New Layout         : 1e308",
                             "# Crystal Pos X      : 0 : 1e308",
                             "# Crystal Pos Y      : 0 : -inf",
                             "# Crystal Deg        : 0 : 1e300",
                             "# Crystal Energy     : 0 : nan",
                             "# Crystal Length     : 0 : 1e308",
                             "# Crystal Deg        : 1 : nan",
                             "# Crystal Energy     : 1 : 1e-320"})
        huge += QByteArray(line) + '\n';
    QTest::newRow("huge and non-numeric values") << huge << 10;

    QTest::newRow("crystal count far above the bound")
        << QByteArray("# Number of Crystals : 100000000\n# New Layout         : 0\n") << 1000;

    QByteArray groups("# Number of Crystals : 1000\n# Selected Type 1    : 1\n"
                      "# New Layout         : 0\n");
    for (int i = 0; i < 5000; ++i) {
        for (const char *key : {"# Crystal Pos X      : ",
                                "# Crystal Deg        : ",
                                "# Crystal Energy     : ",
                                "# Crystal Beam Width : "})
            groups += key + QByteArray::number(i) + " : " + QByteArray::number(i % 97) + '\n';
    }
    QTest::newRow("thousands of crystal groups") << groups << 1000;

    QByteArray relayouts("# Number of Crystals : 1000\n");
    for (int i = 0; i < 20000; ++i) {
        relayouts += QByteArray("# New Layout         : 0\n# Crystal Pos X      : 3 : 1\n")
                     + (i % 2 ? "# Selected Type 2    : 1\n" : "# Selected Type 5    : 1\n")
                     + (i % 3 ? "# Selected Crystal   : 1\n" : "# Selected Crystal   : 0\n")
                     + "# Rotate All         : " + QByteArray::number(i % 2) + '\n';
    }
    QTest::newRow("thousands of layout changes") << relayouts << 1000;
}

void tst_Files::hostile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxRows);

    Body body;
    const QString good = path(QStringLiteral("good.cfg"));
    save(body, good);

    const QString name = path(QStringLiteral("hostile.cfg"));
    QVERIFY(write(name, bytes));
    load(body, name);
    QVERIFY(body.crystals.size() <= maxRows);
    QCOMPARE(body.shapes.size(), 10 * body.crystals.size());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Still usable: a good design loads over it and saves as it was.
    load(body, good);
    const QString again = path(QStringLiteral("again.cfg"));
    save(body, again);
    QCOMPARE(contents(again), contents(good));
}

QTEST_MAIN(tst_Files)
#include "tst_files.moc"
