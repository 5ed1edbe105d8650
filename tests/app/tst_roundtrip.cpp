// Save, load, save: a design file read back into another main window and saved again is the same
// file, byte for byte, for a thousand random designs made as a user makes them (type, material,
// "Rotate All", the arrangement's fields, hand edits of crystal rows, a comment), odd texts
// included. The reading window always holds the previous design, so nothing carries over
// unnoticed. LUMIVARD_ROUNDTRIP_SEED and LUMIVARD_ROUNDTRIP_DESIGNS change the seed (default 1)
// and the number of designs (default 1000).
#include "body.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

const char *const kArrangementFields[]
    = {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"};
const char *const kCrystalFields[] = {"X", "Y", "Deg", "Energy", "Length"};

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Designer
{
public:
    explicit Designer(quint64 seed) : rng(seed) {}

    // A new random design in the window, built through its widgets; returns a short description.
    QString make(Body &body)
    {
        QWidget *ca = child<QWidget>(&body, "CA");
        QStringList said;
        const int kind = 1 + pick(7);
        child<QRadioButton>(ca, qPrintable(QStringLiteral("Type%1").arg(kind)))->click();
        said << QStringLiteral("type %1").arg(kind);
        QComboBox *material = child<QComboBox>(&body, "SelCrystal");
        material->setCurrentIndex(pick(material->count()));
        child<QCheckBox>(ca, "RotateAll")->setChecked(pick(3) == 0);

        const QString values[] = {QString::number(uniform(2500, 20000), 'f', pick(3)),
                                  QString::number(uniform(-60, 60), 'f', pick(3)),
                                  QString::number(1 + pick(12)),
                                  QString::number(uniform(0.1, 10), 'f', 1 + pick(3)),
                                  QString::number(uniform(0.1, 5), 'f', 1 + pick(3)),
                                  QString::number(uniform(0.5, 10), 'f', 1 + pick(3)),
                                  QString::number(uniform(-180, 180), 'f', pick(4))};
        for (int f = 0; f < 7; ++f) {
            const QString text = pick(12) == 0 ? oddText() : values[f];
            child<QLineEdit>(ca, kArrangementFields[f])->setText(text);
            said << QStringLiteral("%1=\"%2\"").arg(kArrangementFields[f], text);
        }
        // One layout with every field as it stands now, as the panel announces a finished
        // edit (a Return in a field holding one of the texts that are not numbers is refused).
        QMetaObject::invokeMethod(ca, "newValue");

        const int edits = pick(4);
        for (int e = 0; e < edits && !body.crystals.isEmpty(); ++e) {
            const int i = pick(body.crystals.size());
            const char *field = kCrystalFields[pick(5)];
            const QString text
                = pick(8) == 0 ? oddText() : QString::number(uniform(-30, 30), 'f', pick(6));
            type(child<QLineEdit>(body.crystals[i], field), text);
            said << QStringLiteral("row %1 %2=\"%3\"").arg(i).arg(field, text);
        }
        const QString comments[]
            = {QString(),
               QStringLiteral("first try"),
               QStringLiteral("  blanks  "),
               QString::fromUtf8("\xe5\x88\x86\xe5\x85\x89\xe7\xb5\x90\xe6\x99\xb6 Ge(111)"),
               QStringLiteral("# Start Energy       : 1")};
        child<QLineEdit>(&body, "Comment")->setText(comments[pick(5)]);
        return said.join(QStringLiteral(", "));
    }

private:
    int pick(int n) { return n <= 1 ? 0 : int(rng() % quint64(n)); }
    double uniform(double lo, double hi)
    {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    }

    // Texts a user may leave in a field that still give a finite design: empty, not a number,
    // blanks, zeros of both signs, a tiny number, an int that overflows "Num of C.", "nan". (An
    // infinite value makes positions that a file cannot give back: the centre comes out as
    // inf - inf.)
    QString oddText()
    {
        const char *const odd[]
            = {"", "nan", "abc", " 12", "0", "-0", "-1e-300", "1e-7", "2147483648"};
        return QString::fromLatin1(odd[pick(9)]);
    }

    std::mt19937_64 rng;
};

} // namespace

class tst_RoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void saveLoadSaveIsIdentical();
};

void tst_RoundTrip::saveLoadSaveIsIdentical()
{
    bool ok = false;
    quint64 seed = qEnvironmentVariable("LUMIVARD_ROUNDTRIP_SEED").toULongLong(&ok);
    if (!ok)
        seed = 1;
    int designs = qEnvironmentVariableIntValue("LUMIVARD_ROUNDTRIP_DESIGNS", &ok);
    if (!ok || designs <= 0)
        designs = 1000;

    QTemporaryDir dir;
    const QString first = dir.filePath("first.cfg");
    const QString second = dir.filePath("second.cfg");
    Body maker;
    Body reader;
    // Nothing here is looked at: without its plot windows on screen a design is not painted at
    // every step (the histories of a thousand designs would make each paint slower).
    for (Body *b : {&maker, &reader})
        for (DispABase *v : {&b->overallView, &b->crystalsView, &b->focusView, &b->imagingView})
            v->hide();
    Designer designer(seed);
    for (int d = 0; d < designs; ++d) {
        const QString design = designer.make(maker);
        QVERIFY(QMetaObject::invokeMethod(&maker, "save", Q_ARG(QString, first)));
        QVERIFY(QMetaObject::invokeMethod(&reader, "load", Q_ARG(QString, first)));
        QVERIFY(QMetaObject::invokeMethod(&reader, "save", Q_ARG(QString, second)));
        settle();
        const QByteArray saved = contents(first);
        QVERIFY(!saved.isEmpty());
        const QByteArray again = contents(second);
        if (again != saved) {
            const QList<QByteArray> a = saved.split('\n');
            const QList<QByteArray> b = again.split('\n');
            int line = 0;
            while (line < a.size() && line < b.size() && a[line] == b[line])
                ++line;
            QFAIL(qPrintable(
                QStringLiteral(
                    "seed %1, design %2 (%3): line %4 saved as\n  %5\nreads back as\n  %6")
                    .arg(seed)
                    .arg(d)
                    .arg(design)
                    .arg(line + 1)
                    .arg(QString::fromUtf8(a.value(line)), QString::fromUtf8(b.value(line)))));
        }
    }
}

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
