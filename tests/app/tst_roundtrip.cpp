// Save, load, save: a design file read back into another main window and saved again is the same
// file, byte for byte, for random designs made as a user makes them (every type with either
// material in turn, "Rotate All", the arrangement's fields, hand edits of crystal rows, a
// comment), odd texts included. The reading window always holds the previous design, so nothing
// carries over unnoticed. LUMIVARD_ROUNDTRIP_SEED and LUMIVARD_ROUNDTRIP_DESIGNS change the seed
// (default 1) and the number of designs (default 140: ten of each type and material).
#include "body.h"
#include "designfile.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

#include <random>

class tst_RoundTrip : public QObject
{
    Q_OBJECT

    std::mt19937_64 rng;
    int edits = 0; // crystal rows edited so far
    int pick(int n) { return int(rng() % quint64(n)); }
    QString number(double lo, double hi, int decimals)
    {
        return QString::number(std::uniform_real_distribution<double>(lo, hi)(rng), 'f', decimals);
    }
    // Texts a user may leave in a field that still give a finite design: empty, not a number,
    // blanks, zeros of both signs, a tiny number, an int that overflows "Num of C.", "nan". (An
    // infinite value makes positions that a file cannot give back: the centre comes out as
    // inf - inf.) Every field meets each of them in turn.
    static QString odd(int k)
    {
        return QList<const char *>{
            "", "nan", "abc", " 12", "0", "-0", "-1e-300", "1e-7", "2147483648"}[k % 9];
    }

    // Design d in the window, built through its widgets (and, for the texts the fields refuse,
    // through its design as a file stores them); returns a short description.
    QString make(Body &body, int d)
    {
        QWidget *ca = child<QWidget>(&body, "CA");
        QStringList said{QString("type %1").arg(1 + d % 7)};
        child<QRadioButton>(ca, qPrintable(QString("Type%1").arg(1 + d % 7)))->click();
        child<QComboBox>(&body, "SelCrystal")->setCurrentIndex(d / 7 % 2);
        child<QCheckBox>(ca, "RotateAll")->setChecked(pick(3) == 0);
        const QString values[] = {number(2500, 20000, pick(3)),
                                  number(-60, 60, pick(3)),
                                  QString::number(1 + pick(12)),
                                  number(0.1, 10, 1 + pick(3)),
                                  number(0.1, 5, 1 + pick(3)),
                                  number(0.5, 10, 1 + pick(3)),
                                  number(-180, 180, pick(4))};
        const char *const fields[] = {"StartE", "DE", "Num", "DX", "DY", "Length", "RotateAllDeg"};
        // The arrangement block's keys of these fields.
        const int keys[] = {9, 10, 11, 12, 13, 14, 8};
        for (int f = 0, k = d * 7; f < 7; ++f, ++k) {
            const QString text = k % 8 ? values[f] : odd(k / 8);
            body.doc.storeLine(DesignFile::arrangementKeys().at(keys[f]) + text);
            said << QString("%1=\"%2\"").arg(fields[f], text);
        }
        // One layout with every field as it stands now.
        body.doc.layOutAgain();
        for (int e = pick(5); e > 0 && !body.crystals.isEmpty(); --e, ++edits) {
            const int i = pick(body.crystals.size());
            const char *field = QList<const char *>{"X", "Y", "Deg", "Energy", "Length"}[edits % 5];
            const QString text = edits % 4 ? number(-30, 30, pick(6)) : odd(edits / 4);
            type(rowField<QLineEdit>(body.crystals[i], field), text);
            said << QString("row %1 %2=\"%3\"").arg(i).arg(field, text);
        }
        const QString comments[] = {
            QString(), "first try", "  blanks  ", "分光結晶 Ge(111)", "# Start Energy       : 1"};
        child<QLineEdit>(&body, "Comment")->setText(comments[pick(5)]);
        return said.join(", ");
    }

private slots:
    void saveLoadSaveIsIdentical()
    {
        bool seeded = false, counted = false;
        const quint64 seed = qEnvironmentVariable("LUMIVARD_ROUNDTRIP_SEED").toULongLong(&seeded);
        const int asked = qEnvironmentVariableIntValue("LUMIVARD_ROUNDTRIP_DESIGNS", &counted);
        rng.seed(seeded ? seed : 1);
        QTemporaryDir dir;
        const QString first = dir.filePath("first.cfg"), second = dir.filePath("second.cfg");
        Body maker, reader;
        // Nothing here is looked at: without its plot windows on screen a design is not painted
        // at every step (the histories of many designs would make each paint slower).
        for (Body *b : {&maker, &reader})
            for (DispABase *v : {&b->overallView, &b->crystalsView, &b->focusView, &b->imagingView})
                v->hide();
        for (int d = 0; d < (counted && asked > 0 ? asked : 140); ++d) {
            const QString design = make(maker, d);
            QVERIFY(QMetaObject::invokeMethod(&maker, "save", Q_ARG(QString, first)));
            QVERIFY(QMetaObject::invokeMethod(&reader, "load", Q_ARG(QString, first)));
            QVERIFY(QMetaObject::invokeMethod(&reader, "save", Q_ARG(QString, second)));
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QFile a(first), b(second);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            const QList<QByteArray> saved = a.readAll().split('\n'),
                                    again = b.readAll().split('\n');
            if (saved != again || saved.size() < 2)
                qWarning("seed %llu, design %d: %s", seeded ? seed : 1, d, qPrintable(design));
            QVERIFY(saved.size() > 2);
            QCOMPARE(again, saved);
        }
    }
};

LUMIVARD_TEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
