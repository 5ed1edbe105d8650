// Memory over 10,000 regenerations (Return in "Start. Energy", the event loop's work done after
// each, "Rest CPs" every 100 so that the paints do not slow down with a pile of history points
// at the focus): the replaced crystals are really deleted, the number of widgets stays where it
// was, and the resident size grows by no more than a small constant. Under AddressSanitizer the
// resident size includes its quarantine of freed memory and is only printed; LeakSanitizer checks
// at exit that nothing unreachable is left. LUMIVARD_MEMORY_REGENERATIONS changes the count
// (default 10000).
#include "body.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LUMIVARD_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMIVARD_ASAN 1
#endif
#endif

namespace {

// Resident set size in bytes, from /proc/self/statm.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

int liveCrystals()
{
    int n = 0;
    for (QWidget *w : QApplication::allWidgets())
        if (qobject_cast<ACrystal *>(w))
            ++n;
    return n;
}

} // namespace

class soak_Memory : public QObject
{
    Q_OBJECT

public:
    // A soak runs far longer than QtTest's five minutes per test function.
    soak_Memory() { qputenv("QTEST_FUNCTION_TIMEOUT", "3600000"); }

private slots:
    void regenerationsFreeTheCrystals();
};

void soak_Memory::regenerationsFreeTheCrystals()
{
    bool ok = false;
    int regenerations = qEnvironmentVariableIntValue("LUMIVARD_MEMORY_REGENERATIONS", &ok);
    if (!ok || regenerations < 2000)
        regenerations = 10000;
    const int warmUp = 1000;

    Body body;
    // Small plot windows: each regeneration still paints all four.
    for (DispABase *v : {&body.overallView, &body.crystalsView, &body.focusView, &body.imagingView})
        v->resize(200, 150);
    body.show();
    QLineEdit *startE = child<QLineEdit>(child<QWidget>(&body, "CA"), "StartE");
    QPushButton *restCps = child<QPushButton>(&body, "ResetCPs");
    int done = 0;
    const auto regenerate = [&] {
        if (++done % 100 == 0)
            restCps->click();
        QTest::keyClick(startE, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    regenerate();
    // The ten crystals of the design and the column-title row.
    const int crystals = liveCrystals();
    QCOMPARE(crystals, body.crystals.size() + 1);
    for (int i = 1; i < warmUp; ++i)
        regenerate();
    const int widgets = QApplication::allWidgets().size();
    const qint64 before = residentBytes();

    for (int i = warmUp; i < regenerations; ++i) {
        regenerate();
        if (i % 1000 == 999) {
            qInfo("%d regenerations: resident %.1f MiB, %d widgets, %d crystal widgets",
                  i + 1,
                  residentBytes() / 1048576.0,
                  int(QApplication::allWidgets().size()),
                  liveCrystals());
            QCOMPARE(liveCrystals(), crystals);
            QCOMPARE(QApplication::allWidgets().size(), widgets);
        }
    }
    const qint64 after = residentBytes();
    QVERIFY(body.avrCps.points.size() <= 100);
    qInfo("resident after %d regenerations %.1f MiB, after %d %.1f MiB: %+.2f MiB",
          warmUp,
          before / 1048576.0,
          regenerations,
          after / 1048576.0,
          (after - before) / 1048576.0);
#ifndef LUMIVARD_ASAN
    QVERIFY2(after - before <= 4 * 1048576,
             qPrintable(QStringLiteral("grew by %1 bytes").arg(after - before)));
#endif
}

LUMIVARD_TEST_MAIN(soak_Memory)
#include "soak_memory.moc"
