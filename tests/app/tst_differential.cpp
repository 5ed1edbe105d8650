// The main window and the design document alone, given the same files and the same typing, hold
// the same design: the same saved text, the same crystals to the last bit, the same crossings and
// the same histories. The files: the fuzzing seeds, hand-made hostile files and random saved
// designs (LUMIVARD_DIFFERENTIAL_DESIGNS of them, default 1000); the typing: random edits of
// every field, choice and crystal row.
#include "body.h"
#include "designdocument.h"
#include "testsupport.h"
#include "units.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>
#include <random>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool samePoints(const PointList &a, const PointList &b, bool labels)
{
    if (a.points.size() != b.points.size() || !sameBits(a.sum.x, b.sum.x)
        || !sameBits(a.sum.y, b.sum.y))
        return false;
    for (int i = 0; i < a.points.size(); ++i) {
        const Point &p = a.points.at(i), &q = b.points.at(i);
        if (!sameBits(p.x, q.x) || !sameBits(p.y, q.y) || p.valid != q.valid
            || (labels && p.label != q.label))
            return false;
    }
    return true;
}

bool sameSurface(const CrystalOptics &a, const CrystalOptics &b)
{
    const Line &s = a.surface, &t = b.surface;
    return sameBits(s.Point::x, t.Point::x) && sameBits(s.Point::y, t.Point::y)
           && sameBits(s.deg, t.deg) && sameBits(s.Dir::x, t.Dir::x) && sameBits(s.Dir::y, t.Dir::y)
           && sameBits(s.length, t.length) && sameBits(a.outCentre.Dir::x, b.outCentre.Dir::x)
           && sameBits(a.outCentre.Point::y, b.outCentre.Point::y);
}

// What differs between the window and the document, or empty. The window's histories hold
// entries from before (its own start); compared from the end.
QString difference(Body &body, const DesignDocument &doc)
{
    if (body.designText() != doc.text())
        return QStringLiteral("saved text");
    if (!sameBits(units.D, doc.design().spacing))
        return QStringLiteral("spacing");
    const Design &d = doc.design();
    if (body.crystals.size() != d.crystals.size())
        return QStringLiteral("crystal count");
    for (int i = 0; i < d.crystals.size(); ++i) {
        if (!sameSurface(*body.crystals.at(i), d.crystals.at(i)))
            return QStringLiteral("crystal %1").arg(i + 1);
    }
    if (!samePoints(body.crossPoints, doc.crossings(), false)
        || !samePoints(body.centres, doc.centres(), false))
        return QStringLiteral("crossings");
    for (const auto &h : {qMakePair(&body.avrCps, &doc.focusHistory()),
                          qMakePair(&body.avrIps, &doc.imageHistory())}) {
        const QVector<Point> &w = h.first->points, &c = h.second->points;
        if (w.size() != c.size())
            return QStringLiteral("history length %1 against %2").arg(w.size()).arg(c.size());
        for (int i = 0; i < w.size(); ++i) {
            if (!sameBits(w[i].x, c[i].x) || !sameBits(w[i].y, c[i].y) || w[i].label != c[i].label)
                return QStringLiteral("history entry %1").arg(i);
        }
    }
    return QString();
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_Differential : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::mt19937_64 rng{20261206};
    int pick(int n) { return int(rng() % quint64(n)); }
    QString number(double lo, double hi)
    {
        return QString::number(std::uniform_real_distribution<double>(lo, hi)(rng), 'f', pick(5));
    }

    // One random --set change: every name, values of every kind, a few that are refused.
    QPair<QString, QString> randomSetting(int crystals)
    {
        switch (pick(12)) {
        case 0:
            return {"StartE", pick(8) ? number(1500, 20000) : QString("1000")};
        case 1:
            return {"DE", pick(8) ? number(-40, 40) : QString("0")};
        case 2:
            return {"Num", QString::number(pick(9) ? pick(14) : 1100 + pick(5))};
        case 3:
            return {QString("DX DY Length").split(' ')[pick(3)], number(-5, 10)};
        case 4:
            return {"Type", QString::number(1 + pick(7))};
        case 5:
            return {"RotateAll", number(-180, 180)};
        case 6:
            return {"Material", pick(2) ? "Si" : "Ge"};
        case 7:
            return {"Index", QString("%1,%2,%3").arg(pick(4)).arg(pick(4)).arg(pick(3))};
        case 8:
            return {"LatticeC", pick(6) ? number(5, 6) : QString("0")};
        default: {
            const QString field = QString("X Y Deg Energy Length").split(' ')[pick(5)];
            const QString text = field == "Energy" ? number(1000, 20000) : number(-30, 30);
            return {QString("crystal.%1.%2").arg(1 + pick(qMax(1, crystals))).arg(field),
                    pick(12) ? text : QString("abc")};
        }
        }
    }

    // The same change in the window, as a user makes it: typed with Return, clicked, chosen.
    static void inWindow(Body &body, const QString &name, const QString &value)
    {
        QWidget *ca = child<QWidget>(&body, "CA");
        QWidget *mc = child<QWidget>(&body, "MC");
        if (name == "Type") {
            auto *b = child<QRadioButton>(ca, qPrintable("Type" + value));
            if (!b->isChecked())
                b->click();
        } else if (name == "RotateAll") {
            type(child<QLineEdit>(ca, "RotateAllDeg"), value);
            if (!child<QCheckBox>(ca, "RotateAll")->isChecked())
                child<QCheckBox>(ca, "RotateAll")->click();
        } else if (name == "Material") {
            auto *combo = child<QComboBox>(mc, "SelCrystal");
            combo->setCurrentIndex(combo->findText(value));
        } else if (name == "Index") {
            const QStringList hkl = value.split(',');
            type(child<QLineEdit>(mc, "IndexH"), hkl[0]);
            type(child<QLineEdit>(mc, "IndexK"), hkl[1]);
            type(child<QLineEdit>(mc, "IndexL"), hkl[2]);
        } else if (name.startsWith("crystal.")) {
            const QStringList parts = name.split('.');
            const int n = parts[1].toInt();
            if (n <= body.crystals.size())
                type(rowField<QLineEdit>(body.crystals.at(n - 1), qPrintable(parts[2])), value);
        } else {
            type(child<QLineEdit>(name == "LatticeC" ? mc : ca, qPrintable(name)), value);
        }
        settle();
    }

    // A fresh window whose histories are those of a fresh document: both start the same.
    void check(Body &body, const DesignDocument &doc, const QString &what)
    {
        const QString d = difference(body, doc);
        QVERIFY2(d.isEmpty(), qPrintable(what + ": " + d));
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void startsAlike()
    {
        Body body;
        DesignDocument doc;
        check(body, doc, "start");
    }

    void filesAgree_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QDir corpus(QStringLiteral(LUMIVARD_SOURCE_DIR "/fuzz/corpus"));
        for (const QString &name : corpus.entryList({"*.cfg"}, QDir::Files)) {
            QFile f(corpus.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(name)) << f.readAll();
        }
        DesignDocument maker;
        maker.apply("Num", "4");
        maker.apply("crystal.2.Deg", "20");
        const QByteArray four = maker.text().toUtf8();
        const QList<QByteArray> lines = four.split('\n');
        const auto joined = [](const QList<QByteArray> &l) { return l.mid(0).join('\n'); };
        // Every hand-made file differs from the design it starts from where the row says.
        const auto edited = [](QByteArray bytes, const char *from, const char *to) {
            if (!bytes.contains(from))
                qFatal("no \"%s\" in the design", from);
            return bytes.replace(from, to);
        };
        dataRow("no marker", joined(lines.mid(0, 21) + lines.mid(22)));
        dataRow("ends in the crystals", joined(lines.mid(0, 30)));
        dataRow("ends at the marker", joined(lines.mid(0, 22)));
        dataRow("two markers", joined(lines.mid(0, 22) + lines.mid(21)));
        dataRow("material outside the list", edited(four, "Crystal   : 0", "Crystal   : 7"));
        dataRow("material not a number", edited(four, "Crystal   : 0", "Crystal   : x"));
        dataRow("Ge after the marker", four + "# Selected Crystal   : 1\n");
        dataRow("type after the crystals", four + "# Selected Type 5    : 1\n");
        dataRow("all types 0", edited(four, "Type 3    : 1", "Type 3    : 0"));
        dataRow("two types", edited(four, "Type 6    : 0", "Type 6    : 1"));
        dataRow("rotation after the marker", four + "# Rotate All         : 1\n");
        dataRow("count too large", edited(four, "Crystals : 4", "Crystals : 5000"));
        dataRow("count not whole", edited(four, "Crystals : 4", "Crystals : 2.5"));
        dataRow("count written 3.0", edited(four, "Crystals : 4", "Crystals : 3.0"));
        dataRow("crystal beyond the count", four + "# Crystal Pos X      : 9 : 1.0\n");
        dataRow("index without prefix", four + "# Crystal Pos X      : 1.0\n");
        dataRow("index with zeros", four + "# Crystal Pos Y      : 01 : 3.0\n");
        dataRow("energy typed",
                edited(four, "Energy     : 2 :  7970.0000", "Energy     : 2 :  7000.0000"));
        dataRow("field not a number", edited(four, "Pos Y      : 2 :", "Pos Y      : 2 : x"));
        dataRow("empty value",
                edited(four, "# Start Energy       : 8000", "# Start Energy       : "));
        dataRow("indices 0 0 0",
                edited(four, "Index h    : 1", "Index h    : 0")
                    .replace("Index k    : 1", "Index k    : 0")
                    .replace("Index l    : 1", "Index l    : 0"));
        dataRow("spacing changed by hand", edited(four, "Spacing    : 3.13507", "Spacing    : 2"));
        dataRow("unknown lines", "hello\n" + four + "# Something else     : 3\n\n");
        dataRow("crystal lines only", joined(lines.mid(22)));
        dataRow("carriage returns", QByteArray(four).replace('\n', "\r\n"));
        dataRow("not UTF-8", four + "# Comment            : caf\xe9\n");
    }
    // A file loaded into a fresh window and into a fresh document.
    void filesAgree()
    {
        QFETCH(QByteArray, bytes);
        const QString path = write("file.cfg", bytes);
        Body body;
        DesignDocument doc;
        QVERIFY(QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, path)));
        doc.load(path);
        settle();
        check(body, doc, QTest::currentDataTag());
    }

    // Random designs saved by the document, loaded into one window and one document after
    // another (each holds the previous design when the next is read).
    void randomDesignsAgree()
    {
        const int count = qEnvironmentVariableIsSet("LUMIVARD_DIFFERENTIAL_DESIGNS")
                              ? qEnvironmentVariableIntValue("LUMIVARD_DIFFERENTIAL_DESIGNS")
                              : 1000;
        Body body;
        for (DispABase *v :
             {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView})
            v->hide();
        DesignDocument reader;
        for (int n = 0; n < count; ++n) {
            DesignDocument maker;
            for (int e = 1 + pick(6); e > 0; --e) {
                const auto s = randomSetting(maker.design().crystals.size());
                maker.apply(s.first, s.second);
            }
            maker.setComment(pick(3) ? QString() : QString("design %1").arg(n));
            const QString path = write("random.cfg", maker.text().toUtf8());
            QVERIFY(QMetaObject::invokeMethod(&body, "load", Q_ARG(QString, path)));
            reader.load(path);
            settle();
            // The window's histories began with its own start, as the reader's did.
            const QString d = difference(body, reader);
            QVERIFY2(d.isEmpty(), qPrintable(QString("design %1: %2").arg(n).arg(d)));
        }
    }

    // The same random typing in a window and through --set names on a document, compared after
    // every change.
    void editsAgree()
    {
        Body body;
        DesignDocument doc;
        for (int e = 0; e < 400; ++e) {
            const auto s = randomSetting(doc.design().crystals.size());
            const EditError why = doc.apply(s.first, s.second);
            if (why.kind == EditError::Refused || why.kind == EditError::NoSuchCrystal)
                continue;
            inWindow(body, s.first, s.second);
            const QString d = difference(body, doc);
            QVERIFY2(d.isEmpty(),
                     qPrintable(QString("edit %1, %2=%3: %4").arg(e).arg(s.first, s.second, d)));
        }
    }
};

LUMIVARD_TEST_MAIN(tst_Differential)
#include "tst_differential.moc"
