// The design document without any window: edits of crystal rows as the fields take them, the
// names and refusals of --set, a design file's crystal groups and what a load does not understand,
// exact undo, packed designs, one announcement per change.
#include "designdocument.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <random>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every double of every crystal and of the histories' newest entries, as text of its bits.
QString exactly(const DesignDocument &doc)
{
    QStringList bits;
    const auto add = [&bits](double v) {
        quint64 b;
        std::memcpy(&b, &v, sizeof b);
        bits << QString::number(b, 16);
    };
    for (const DesignCrystal &c : doc.design().crystals) {
        const Line &s = c.surface;
        for (double v : {s.Point::x, s.Point::y, s.deg, s.rad, s.Dir::x, s.Dir::y, s.length})
            add(v);
    }
    add(doc.design().spacing);
    return bits.join(' ') + '|' + doc.text();
}

// A design of one crystal at 30 degrees centred on (0, 0), length 2, with d = 3.13553.
QString oneCrystal()
{
    DesignDocument doc;
    doc.apply("Num", "1");
    QString text = doc.text();
    text.replace("Spacing    : 3.13507", "Spacing    : 3.13553");
    const int at = text.indexOf("# Crystal Pos X");
    const int end = text.indexOf("# Comment");
    return text.left(at)
           + "# Crystal Pos X      : 0 :     0.00000\n# Crystal Pos Y      : 0 :     0.00000\n"
             "# Crystal Deg        : 0 :   30.000000\n# Crystal Energy     : 0 :  3954.1718\n"
             "# Crystal Length     : 0 :    2.00000\n"
           + text.mid(end);
}

QString shownTexts(const DesignCrystal &c)
{
    const CrystalTexts &t = c.texts;
    return QStringList{t.x, t.y, t.deg, t.energy, t.length, t.beamW}.replaceInStrings(" ", "").join(
        '|');
}

} // namespace

class tst_Document : public QObject
{
    Q_OBJECT

private slots:
    void crystalEdits_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        // Taken | Pos. X | Pos. Y | Angle | Energy | Length | Beam W.
        QTest::addColumn<QString>("expected");
        dataRow("X", "X", "5", "1|5.00000|0.00000|30.000000|3954.1718|2.00000|1.00000");
        dataRow("Y", "Y", "-3.5", "1|0.00000|-3.50000|30.000000|3954.1718|2.00000|1.00000");
        // Angle and energy turn about the start point P = (-0.86603, -0.5).
        dataRow("deg", "Deg", "90", "1|-0.86603|0.50000|90.000000|1977.0859|2.00000|2.00000");
        dataRow("deg 0", "Deg", "0", "1|0.13397|-0.50000|0.000000|inf|2.00000|0.00000");
        dataRow(
            "E", "Energy", "7964.1234", "1|0.10267|-0.25175|14.373923|7964.1234|2.00000|0.49650");
        dataRow("E 0", "Energy", "0", "1|0.13382|-0.51745|-1.000000|-113284.4296|2.00000|-0.03490");
        // Length about the centre.
        dataRow("L", "Length", "4", "1|0.00000|0.00000|30.000000|3954.1718|4.00000|2.00000");
        dataRow("L -2", "Length", "-2", "1|0.00000|0.00000|30.000000|3954.1718|-2.00000|-1.00000");
        // Refused; the band values only keep what is typed: the crystal as built.
        const QString built = "|0.00000|0.00000|30.000000|3954.1718|2.00000|1.00000";
        dataRow("InBeamC", "InBeamC", "7", "1" + built);
        dataRow("Y empty", "Y", "", "0" + built);
        dataRow("angle inf", "Deg", "inf", "0" + built);
        dataRow("length 1e999", "Length", "1e999", "0" + built);
    }
    // A crystal row's field finished with a text: the crystal moves from its texts.
    void crystalEdits()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        DesignDocument doc;
        QCOMPARE(doc.read(oneCrystal()).status, ReadResult::Read);
        const QStringList fields{"X", "Y", "Deg", "Energy", "Length", "InBeamC", "BeamW"};
        const bool taken = doc.setCrystalText(0, CrystalField(fields.indexOf(field)), text);
        const DesignCrystal &c = doc.design().crystals.at(0);
        QCOMPARE(QString::number(taken) + '|' + shownTexts(c), expected);
        QCOMPARE(c.outCentre.deg, 2 * c.angleDeg());
        if (field == "InBeamC")
            QCOMPARE(c.texts.inBeamC, QString("7"));
    }

    // Editing X re-reads Y from its text; what an edit does not read keeps full precision. An
    // energy typed into a file turns the crystal about its stored start point.
    void editsReadTheShownTexts()
    {
        DesignDocument doc;
        doc.apply("RotateAll", "10");
        const DesignCrystal &second = doc.design().crystals[1];
        const double y = second.centre().y, angle = second.angleDeg();
        QVERIFY(QString::number(y, 'f', 5).toDouble() != y);
        doc.setCrystalText(1, CrystalField::X, "2");
        QCOMPARE(second.centre().y, QString::number(y, 'f', 5).toDouble());
        QVERIFY(sameBits(second.angleDeg(), angle));

        DesignDocument typed;
        typed.read(QString(oneCrystal()).replace(" 3954.1718", " 7000.0000"));
        const DesignCrystal &c = typed.design().crystals[0];
        QCOMPARE(c.texts.energy, QString(" 7000.0000"));
        QVERIFY(near(c.startPoint().x, -0.86603, 1e-5) && near(c.startPoint().y, -0.5, 1e-5));
        QVERIFY(c.editedByHand);
    }

    // The crystal a line names: its index as written, without a leading zero, at most nine digits
    // (ten name no crystal that can exist, and would overflow).
    void crystalIndex_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("index");
        const QString key = "# Crystal Deg        : ";
        dataRow("twelve", key + "12 : 1", 12);
        dataRow("nine digits", key + "999999999 : ", 999999999);
        dataRow("ten digits", key + "1000000000 : 1", -1);
        dataRow("twenty digits", key + "99999999999999999999 : 1", -1);
        dataRow("leading zero", key + "03 : 1", -1);
        dataRow("negative", key + "-1 : 1", -1);
        dataRow("no blank after", key + "3 :1", -1);
        dataRow("no prefix", key + "5", -1);
        dataRow("another key", "# Length             : 3 : 1", -1);
    }
    void crystalIndex()
    {
        QFETCH(QString, line);
        QFETCH(int, index);
        QCOMPARE(DesignFile::crystalIndex(line), index);
    }

    void settings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // empty when the design takes it
        dataRow("start energy", "StartE", "9000", "");
        dataRow("count written 7.0", "Num", "7.0", "");
        dataRow("type written 3.0", "Type", "3.0", "");
        dataRow("material in small letters", "Material", "ge", "");
        dataRow("the last crystal", "crystal.10.X", "1", "");
        dataRow("no such field", "Colour", "1", "--set Colour=1: no field named Colour");
        dataRow("a row field not typed",
                "crystal.1.InBeamC",
                "1",
                "--set crystal.1.InBeamC=1: no field named crystal.1.InBeamC");
        dataRow("no such crystal",
                "crystal.11.X",
                "1",
                "--set crystal.11.X=1: there is no crystal 11 (the design has 10)");
        dataRow("refused text", "StartE", "abc", "--set StartE=abc: the field refuses this value");
        dataRow("not whole", "Num", "2.5", "--set Num=2.5: the field refuses this value");
        dataRow("type 8", "Type", "8", "--set Type=8: the type is 1 to 7");
        dataRow("type 2.5", "Type", "2.5", "--set Type=2.5: the type is 1 to 7");
        dataRow("no material", "Material", "C", "--set Material=C: the material is Si or Ge");
        dataRow("two indices", "Index", "1,1", "--set Index=1,1: the index is h,k,l");
        dataRow("index not a number",
                "Index",
                "1,x,1",
                "--set Index=1,x,1: the field refuses this value");
        dataRow("rotation not a number",
                "RotateAll",
                "nan",
                "--set RotateAll=nan: the field refuses this value");
    }
    // --set NAME=VALUE: taken as the field takes it, or refused with the command line's message,
    // nothing changed.
    void settings()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, message);
        DesignDocument doc;
        const QString before = doc.text();
        const EditError e = doc.apply(name, value);
        QCOMPARE(e.message, message);
        QCOMPARE(bool(e), !message.isEmpty());
        if (e)
            QCOMPARE(doc.text(), before);
        // A check before anything runs refuses what does not depend on the design.
        if (e.kind != EditError::NoSuchCrystal)
            QCOMPARE(DesignDocument::check(name, value).message, message);
    }

    // Undo and redo give back the exact doubles of every step, not the file's rounding.
    void undoIsExact()
    {
        DesignDocument doc;
        std::mt19937_64 rng(17);
        const auto number = [&rng](double lo, double hi) {
            return QString::number(std::uniform_real_distribution<double>(lo, hi)(rng), 'g', 17);
        };
        QStringList states{exactly(doc)};
        const QString firstFocus = QString::number(doc.focusHistory().points.last().y, 'g', 17);
        for (int step = 0; step < 30; ++step) {
            const int n = doc.design().crystals.size();
            switch (step % 4) {
            case 0:
                doc.apply("DE", number(-30, -1));
                break;
            case 1:
                doc.apply(QString("crystal.%1.Deg").arg(1 + int(rng() % n)), number(10, 20));
                break;
            case 2:
                doc.apply("LatticeC", number(5.3, 5.5));
                break;
            default:
                doc.apply("Material", step % 8 == 3 ? "Ge" : "Si");
                break;
            }
            states << exactly(doc);
        }
        const int steps = doc.undoStack().count();
        QVERIFY(steps > 20);
        for (int i = steps; i > 0; --i) {
            doc.undoStack().undo();
            QVERIFY(states.contains(exactly(doc)));
        }
        QCOMPARE(exactly(doc), states.first());
        // The focus read-out as it started, to the last digit.
        QCOMPARE(QString::number(doc.focusHistory().points.last().y, 'g', 17), firstFocus);
        for (int i = 0; i < steps; ++i)
            doc.undoStack().redo();
        QCOMPARE(exactly(doc), states.last());
    }

    // Packed and unpacked, a design is the same to the last bit, crystals edited or not.
    void packedDesigns()
    {
        std::mt19937_64 rng(5);
        for (int d = 0; d < 40; ++d) {
            DesignDocument doc;
            doc.apply("Type", QString::number(1 + d % 7));
            doc.apply("Num", QString::number(1 + int(rng() % 40)));
            if (d % 3 == 0)
                doc.apply("RotateAll", "12.5");
            for (int e = int(rng() % 4); e > 0; --e)
                doc.apply(
                    QString("crystal.%1.Length").arg(1 + int(rng() % doc.design().crystals.size())),
                    QString::number(rng() % 100 / 7.0, 'g', 17));
            const Design back = unpackDesign(packDesign(doc.design()));
            QCOMPARE(back.crystals.size(), doc.design().crystals.size());
            for (int i = 0; i < back.crystals.size(); ++i) {
                const DesignCrystal &a = back.crystals[i], &b = doc.design().crystals[i];
                QVERIFY(sameBits(a.surface.Point::x, b.surface.Point::x)
                        && sameBits(a.surface.deg, b.surface.deg)
                        && sameBits(a.outEdgeEnd.Point::y, b.outEdgeEnd.Point::y)
                        && a.texts.x == b.texts.x && a.editedByHand == b.editedByHand);
            }
            QCOMPARE(DesignFile::text(back), doc.text());
        }
    }

    void notes_data()
    {
        QTest::addColumn<QString>("edit"); // "from=>to" replaced, "+line" appended, "-line" cut at
        QTest::addColumn<QString>("expected");
        dataRow("a design as saved", "", "");
        dataRow("an unknown line", "+hello", "line 94 (hello): unknown key");
        dataRow("a number that is not",
                "Start Energy       : 8000=>Start Energy       : x",
                "line 16 (# Start Energy): not a number");
        // Laid out as one crystal: the groups of the other nine name no crystal.
        dataRow(
            "a count not whole",
            "Crystals : 10=>Crystals : 2.5",
            "line 18 (# Number of Crystals): not a number; line 30 (# Crystal Pos X): no such "
            "crystal; line 37 (# Crystal Pos X): no such crystal; line 44 (# Crystal Pos X): no "
            "such crystal; line 51 (# Crystal Pos X): no such crystal; line 58 (# Crystal Pos "
            "X): no such crystal; line 65 (# Crystal Pos X): no such crystal; line 72 (# "
            "Crystal Pos X): no such crystal; line 79 (# Crystal Pos X): no such crystal; line "
            "86 (# Crystal Pos X): no such crystal");
        dataRow("a crystal that does not exist",
                "+# Crystal Pos X      : 10 : 1",
                "line 94 (# Crystal Pos X): no such crystal");
        dataRow("a crystal line without its index",
                "+# Crystal Pos X      : 1",
                "line 94 (# Crystal Pos X): unknown key");
        dataRow("no marker",
                "# New Layout         : 0=># Old Layout",
                "line 22 (# Old Layout): unknown key; the file ends before \"# New Layout\"");
        dataRow(
            "cut short", "-# Crystal Pos X      : 8 :", "the file ends before crystals 9 to 10");
    }
    // A load says what it did not understand, and still loads.
    void notes()
    {
        QFETCH(QString, edit);
        QFETCH(QString, expected);
        DesignDocument doc;
        QString text = doc.text();
        if (edit.startsWith('+')) {
            text += edit.mid(1) + '\n';
        } else if (edit.startsWith('-')) {
            QVERIFY(text.contains(edit.mid(1)));
            text.truncate(text.indexOf(edit.mid(1)));
        } else if (!edit.isEmpty()) {
            const QString from = edit.section("=>", 0, 0), to = edit.section("=>", 1);
            QVERIFY(text.contains(from));
            text.replace(from, to);
        }
        DesignDocument reader;
        const ReadResult r = reader.read(text);
        QCOMPARE(r.status, ReadResult::Read);
        QCOMPARE(DesignFile::describe(r.notes), expected);
    }

    // One announcement per change, however many steps it takes; a refused edit announces
    // nothing.
    void announcements()
    {
        DesignDocument doc;
        QSignalSpy spy(&doc, &DesignDocument::changed);
        doc.apply("Index", "2,2,0");
        QCOMPARE(spy.count(), 1);
        doc.apply("RotateAll", "3");
        QCOMPARE(spy.count(), 2);
        doc.apply("StartE", "x");
        doc.apply("Type", "3");
        QCOMPARE(spy.count(), 2);
        doc.read(doc.text());
        QCOMPARE(spy.count(), 3);
        doc.undoStack().undo();
        QCOMPARE(spy.count(), 4);
    }
};

LUMIVARD_TEST_MAIN(tst_Document)
#include "tst_document.moc"
