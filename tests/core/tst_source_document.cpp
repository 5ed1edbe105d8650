// The source and the crystals' temperature as part of the design document: the keys a design
// file stores after the comment (and a file without them loads and saves byte for byte as
// before), what a load makes of them, the --set names with the command line's refusals, undo
// steps, and "Use accepted lattice constant".
#include "designdocument.h"
#include "testsupport.h"

#include <QtTest>

namespace {

// The lines a design's file holds after its comment line.
QString afterComment(const QString &text)
{
    const int comment = text.indexOf(QStringLiteral("# Comment            : "));
    return comment < 0 ? QString() : text.mid(text.indexOf(QLatin1Char('\n'), comment) + 1);
}

// Applies "NAME=VALUE NAME=VALUE ..." in order; the first refusal's message, or empty.
QString applyAll(DesignDocument &doc, const QString &settings)
{
    for (const QString &s : settings.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const EditError why = doc.apply(s.section(QLatin1Char('='), 0, 0), s.section('=', 1));
        if (why)
            return why.message;
    }
    return QString();
}

QString sourceFields(const SourceParams &s)
{
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(s.distance)
        .arg(s.size)
        .arg(s.divergence)
        .arg(s.polarisation.degree)
        .arg(s.temperature);
}

} // namespace

class tst_SourceDocument : public QObject
{
    Q_OBJECT

private slots:
    // Designs the program saved before it knew of a source: the same bytes after a load and a
    // save, and no source key among them.
    void filesWithoutSourceKeys_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(LUMIVARD_SOURCE_DIR "/fuzz/corpus"));
        const QStringList names = corpus.entryList({"*.cfg"}, QDir::Files);
        QVERIFY(names.size() >= 9);
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void filesWithoutSourceKeys()
    {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        DesignDocument doc;
        // A source set before the load does not survive it: the file has the default one.
        QCOMPARE(applyAll(doc, "Source.Divergence=50 Temperature=30"), QString());
        QCOMPARE(doc.load(path).notes.size(), 0);
        QVERIFY(doc.design().source == SourceParams());
        QCOMPARE(doc.text().toUtf8(), bytes);
        QCOMPARE(afterComment(doc.text()), QString());
    }

    // What a save writes after the comment, and the same source read back from it.
    void sourceKeys_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("lines");
        dataRow("defaults", "Source.Distance=10000 Polarisation=sigma Temperature=22.5", "");
        dataRow("distance", "Source.Distance=2500", "# Source Distance    : 2500\n");
        dataRow("every key",
                "Temperature=30 Polarisation=pi Source.Divergence=100 Source.Size=0.5 "
                "Source.Distance=2500",
                "# Source Distance    : 2500\n# Source Size        : 0.5\n"
                "# Source Divergence  : 100\n# Polarisation       : pi\n"
                "# Temperature        : 30\n");
        dataRow("a degree", "Polarisation=0.25", "# Polarisation       : 0.25\n");
        dataRow(
            "unpolarised as a number", "Polarisation=-0", "# Polarisation       : unpolarised\n");
        dataRow("written short",
                "Source.Divergence=1e2 Temperature=-0.10",
                "# Source Divergence  : 100\n# Temperature        : -0.1\n");
        dataRow("a digit more than six",
                "Source.Size=0.1234567890123",
                "# Source Size        : 0.1234567890123\n");
        dataRow("back to the default", "Source.Divergence=100 Source.Divergence=0", "");
        dataRow("a size of minus zero", "Source.Size=-0", "");
    }
    void sourceKeys()
    {
        QFETCH(QString, settings);
        QFETCH(QString, lines);
        DesignDocument doc;
        QCOMPARE(applyAll(doc, settings), QString());
        QCOMPARE(afterComment(doc.text()), lines);
        DesignDocument reader;
        QCOMPARE(reader.read(doc.text()).notes.size(), 0);
        QVERIFY(reader.design().source == doc.design().source);
        QCOMPARE(reader.text(), doc.text());
    }

    // A load takes the keys wherever they stand; a value a field would refuse is noted and the
    // default stays.
    void reader_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("source"); // distance size divergence degree temperature
        QTest::addColumn<QString>("notes");  // kinds and lines
        dataRow("read",
                "# Source Size        : 2\n# Polarisation       : PI\n",
                "10000 2 0 -1 22.5",
                "");
        dataRow("before the design", "#0# Temperature        : 80\n", "10000 0 0 1 80", "");
        dataRow("blanks", "# Source Divergence  :  7.5 \n", "10000 0 7.5 1 22.5", "");
        dataRow("distance 0", "# Source Distance    : 0\n", "10000 0 0 1 22.5", "Refused");
        dataRow("not a number", "# Source Size        : abc\n", "10000 0 0 1 22.5", "NotANumber");
        dataRow(
            "no polarisation", "# Polarisation       : circular\n", "10000 0 0 1 22.5", "Refused");
        dataRow(
            "below absolute zero", "# Temperature        : -300\n", "10000 0 0 1 22.5", "Refused");
        dataRow("the last one counts",
                "# Source Divergence  : 5\n# Source Divergence  : 6\n",
                "10000 0 6 1 22.5",
                "");
    }
    void reader()
    {
        QFETCH(QString, lines);
        QFETCH(QString, source);
        QFETCH(QString, notes);
        const QString design = DesignDocument().text();
        // "#0" puts the lines before the design instead of after it.
        const QString text = lines.startsWith("#0") ? lines.mid(2) + design : design + lines;
        DesignDocument doc;
        const ReadResult r = doc.read(text);
        QCOMPARE(r.status, ReadResult::Read);
        QCOMPARE(sourceFields(doc.design().source), source);
        QStringList kinds;
        for (const DesignFile::Note &n : r.notes)
            kinds << (n.kind == DesignFile::Note::Refused      ? "Refused"
                      : n.kind == DesignFile::Note::NotANumber ? "NotANumber"
                                                               : "other");
        QCOMPARE(kinds.join(' '), notes);
        if (!r.notes.isEmpty())
            QVERIFY(DesignFile::describe(r.notes).startsWith(
                QStringLiteral("line %1 (# ").arg(design.count('\n') + 1)));
    }

    // --set names through the document: what each takes, and the command line's words for what
    // it refuses (the design unchanged, no undo step).
    void setNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // empty: taken
        QTest::addColumn<QString>("source");  // after the change
        const QString start = "10000 0 0 1 22.5";
        dataRow("distance", "Source.Distance", "1e3", "", "1000 0 0 1 22.5");
        dataRow("size 0", "Source.Size", "0", "", start);
        dataRow(
            "divergence at its bound", "Source.Divergence", "1000000", "", "10000 0 1e+06 1 22.5");
        dataRow("sigma any case", "Polarisation", " Sigma ", "", start);
        dataRow("unpolarised", "Polarisation", "unpolarised", "", "10000 0 0 0 22.5");
        dataRow("degree", "Polarisation", "-0.5", "", "10000 0 0 -0.5 22.5");
        dataRow("temperature", "Temperature", "-40", "", "10000 0 0 1 -40");
        dataRow("distance 0",
                "Source.Distance",
                "0",
                "--set Source.Distance=0: the distance is a number above 0",
                start);
        dataRow("negative size",
                "Source.Size",
                "-1",
                "--set Source.Size=-1: the size is a number from 0 up",
                start);
        dataRow("divergence beyond a radian",
                "Source.Divergence",
                "1000001",
                "--set Source.Divergence=1000001: the divergence is a number from 0 to 1000000 "
                "(microradians)",
                start);
        dataRow("divergence nan",
                "Source.Divergence",
                "nan",
                "--set Source.Divergence=nan: the divergence is a number from 0 to 1000000 "
                "(microradians)",
                start);
        dataRow("degree beyond 1",
                "Polarisation",
                "1.5",
                "--set Polarisation=1.5: the polarisation is sigma, pi, unpolarised or a number "
                "from -1 to 1",
                start);
        dataRow("circular",
                "Polarisation",
                "circular",
                "--set Polarisation=circular: the polarisation is sigma, pi, unpolarised or a "
                "number from -1 to 1",
                start);
        dataRow("absolute zero",
                "Temperature",
                "-273.15",
                "--set Temperature=-273.15: the temperature is a number above -273.15 (degrees "
                "C)",
                start);
        dataRow("empty temperature",
                "Temperature",
                "",
                "--set Temperature=: the temperature is a number above -273.15 (degrees C)",
                start);
        dataRow("lower case name",
                "source.distance",
                "5",
                "--set source.distance=5: no field named source.distance",
                start);
        dataRow("no such field", "Colour", "1", "--set Colour=1: no field named Colour", start);
        dataRow("no such crystal",
                "crystal.11.X",
                "1",
                "--set crystal.11.X=1: there is no crystal 11 (the design has 10)",
                start);
        dataRow("refused text",
                "StartE",
                "abc",
                "--set StartE=abc: the field refuses this value",
                start);
    }
    void setNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, source);
        DesignDocument doc;
        const QString before = doc.text();
        QCOMPARE(DesignDocument::check(name, value).message,
                 message.contains("no crystal") ? QString() : message);
        QCOMPARE(doc.apply(name, value).message, message);
        QCOMPARE(sourceFields(doc.design().source), source);
        if (!message.isEmpty()) {
            QCOMPARE(doc.text(), before);
            QCOMPARE(doc.undoStack().count(), 0);
        }
    }

    // Each change of the source is one undo step that gives back the design exactly; the same
    // value again is none, and the crystals are not laid out again.
    void undoSource()
    {
        DesignDocument doc;
        DesignDocument::Changes changes;
        connect(&doc, &DesignDocument::changed, this, [&changes](DesignDocument::Changes what) {
            changes |= what;
        });
        const QString start = doc.text();
        const int entries = doc.focusHistory().points.size();
        QCOMPARE(applyAll(doc, "Source.Divergence=100 Source.Divergence=100 Polarisation=0.3"),
                 QString());
        QCOMPARE(doc.undoStack().count(), 2);
        QCOMPARE(doc.focusHistory().points.size(), entries);
        // Only the bands' physics: the crystals stay as they were laid out and traced.
        QCOMPARE(
            changes,
            DesignDocument::Changes(DesignDocument::SourceChanged | DesignDocument::FileChanged));
        const QString both = doc.text();
        QVERIFY(doc.isModified());
        doc.undoStack().undo();
        QCOMPARE(sourceFields(doc.design().source), QString("10000 0 100 1 22.5"));
        doc.undoStack().undo();
        QCOMPARE(doc.text(), start);
        QVERIFY(doc.design().source == SourceParams());
        QVERIFY(!doc.isModified());
        doc.undoStack().redo();
        doc.undoStack().redo();
        QCOMPARE(doc.text(), both);
        QCOMPARE(doc.design().source.polarisation.degree, 0.3);
    }

    // "Use accepted lattice constant": Lattice C. takes the real crystal's constant at the
    // temperature as one undo step, and the crystals are laid out with it; none where the
    // material has no constant at that temperature.
    void acceptedLatticeConstant_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("typed"); // Lattice C. afterwards; empty: nothing happens
        QTest::addColumn<QString>("spacing");
        // CODATA 2018 at its reference temperature, 22.5 degrees C.
        dataRow("Si at 22.5", "", "5.431020511", "3.1356");
        // Okada and Tokumaru's expansion coefficient integrated from 22.5 to 100 degrees C
        // (Simpson's rule): a grows by 2.186e-4.
        dataRow("Si at 100", "Temperature=100", "5.432207639", "3.13629");
        // Baker and Hart's 5.65790 at 25 degrees C.
        dataRow("Ge at 25", "Material=Ge Temperature=25", "5.6579", "3.26659");
        dataRow("Ge at 100 has none", "Material=Ge Temperature=100", "", "3.27669");
    }
    void acceptedLatticeConstant()
    {
        QFETCH(QString, settings);
        QFETCH(QString, typed);
        QFETCH(QString, spacing);
        DesignDocument doc;
        QCOMPARE(applyAll(doc, settings), QString());
        const QString before = doc.text();
        const int steps = doc.undoStack().count();
        QCOMPARE(doc.useAcceptedLatticeConstant(), !typed.isEmpty());
        QCOMPARE(doc.design().spacingText, spacing);
        if (typed.isEmpty()) {
            QCOMPARE(doc.text(), before);
            return;
        }
        QCOMPARE(doc.design().latticeConstant, typed);
        QCOMPARE(doc.undoStack().count(), steps + 1);
        QCOMPARE(doc.design().crystals.first().texts.deg,
                 QString::asprintf("%11.6f",
                                   qRadiansToDegrees(std::asin(
                                       12398.424360387684 / (2 * spacing.toDouble() * 8000)))));
        doc.undoStack().undo();
        QCOMPARE(doc.text(), before);
    }
};

LUMIVARD_TEST_MAIN(tst_SourceDocument)
#include "tst_source_document.moc"
