// The Bands window as a user reaches it from the View menu: the summary, one table row per
// crystal, the picture of the bands, kept up to date while it is shown and made only then, in
// either language; and the red "d" field of a reflection that reflects nothing.
#include "body.h"
#include "language.h"
#include "resources.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// "Bands" of the View menu.
QAction *bandsAction(Body &b)
{
    QAction *bands = b.findChild<QAction *>("actionBands");
    return b.findChild<QMenu *>("menuView")->actions().contains(bands) ? bands : nullptr;
}

QString summary(Body &b, const char *name)
{
    return child<QLabel>(&b.bandsWindow, name)->text();
}

const QAbstractItemModel *table(Body &b)
{
    return child<QTableView>(&b.bandsWindow, "BandsTable")->model();
}

QString cell(Body &b, int row, int column)
{
    return table(b)->data(table(b)->index(row, column)).toString();
}

void typeInto(Body &b, const char *panel, const QString &actions)
{
    for (const QString &a : actions.split(' '))
        type(child<QLineEdit>(child<QWidget>(&b, panel), qPrintable(a.section('=', 0, 0))),
             a.section('=', 1));
}

// How many pixels of the picture have this colour.
int pixels(Body &b, const QColor &colour)
{
    const QImage image = b.bandsWindow.picture.grab().toImage();
    int n = 0;
    for (int i = 0; i < image.width() * image.height(); ++i)
        n += image.pixelColor(i % image.width(), i / image.width()) == colour;
    return n;
}

} // namespace

class tst_BandsWindow : public QObject
{
    Q_OBJECT

    QTranslator japanese;

private slots:
    void initTestCase()
    {
        initLumivardResources();
        QVERIFY(loadJapaneseCatalogue(japanese));
    }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Shown from the View menu, not modal: the picture, the summary and the table of the default
    // design; traced again at once while shown, and made only when shown or asked for.
    void fromTheViewMenu()
    {
        Body b;
        b.show();
        QAction *bands = bandsAction(b);
        QVERIFY(bands && bands->text() == "Bands" && !b.bandsWindow.isVisible());
        bands->trigger();
        QVERIFY(b.bandsWindow.isVisible() && !b.bandsWindow.isModal());
        QCOMPARE(b.bandsWindow.windowTitle(), QString("Bands"));
        BandsWindow &w = b.bandsWindow;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Every band in its crystal's colour (the first pure green), the covered energies dark
        // and the gaps light red in the strip at row 0.
        QVERIFY(pixels(b, QColor(0, 255, 0)) > 0);
        QVERIFY(pixels(b, QColor(96, 96, 96)) > 0);
        QVERIFY(pixels(b, QColor(255, 190, 190)) > 100);
        QVERIFY(near(w.realC, w.realC0) && w.realC0.contains(7865, 10)
                && w.realC0.contains(8001, 0));

        // The cursor's energy below the picture; the wheel zooms about the cursor as in the
        // plot windows; the button resets.
        const QPoint middle = w.picture.rect().center();
        QMouseEvent move(QEvent::MouseMove, middle, Qt::NoButton, {}, {});
        QApplication::sendEvent(&w.picture, &move);
        QVERIFY(child<QLabel>(&w, "BandsCursor")->text().endsWith(" eV"));
        QWheelEvent wheel(middle, w.picture.mapToGlobal(middle), {}, {0, 120}, {}, {}, {}, false);
        QApplication::sendEvent(&w.picture, &wheel);
        QVERIFY(near(w.realC.width(), 0.9 * w.realC0.width(), 1e-6 * w.realC0.width()));
        child<QPushButton>(&w, "BandsScaleReset")->click();
        QVERIFY(near(w.realC, w.realC0));

        // The default design: Si 1 1 1 at 8000 eV down by 15 eV, bands of 1.13 eV.
        QVERIFY(summary(b, "Reflection").startsWith("Si 1 1 1, allowed: |F_H| = "));
        QVERIFY(summary(b, "Widths").startsWith("FWHM σ 36.0"));
        QVERIFY(summary(b, "Coverage").contains(" covered by 10 bands; largest gap 13.8"));
        QVERIFY(summary(b, "Lattice").startsWith("design 5.4301 Å, accepted 5.43102 Å at 22.5 °C"));
        QCOMPARE(table(b)->rowCount(), 10);
        QCOMPARE(cell(b, 0, 0) + " " + cell(b, 9, 1), QString("1 7865.0000"));
        // The top band has nothing above it; each other one a gap of about 15 - 1.13 eV.
        QVERIFY(cell(b, 0, 6).isEmpty() && cell(b, 1, 6).startsWith("13.8"));
        // The summary's averaged focus is the main window's read-out.
        const Point f = b.avrCps.points.last();
        QVERIFY(
            summary(b, "Focus")
                .contains(QString("averaged (%1, %2)").arg(f.x, 0, 'f', 3).arg(f.y, 0, 'f', 3)));

        // Traced again while shown: at once.
        typeInto(b, "CA", "Num=4");
        QCOMPARE(table(b)->rowCount(), 4);
        // Hidden: the table keeps what it showed until the window is shown again ...
        b.bandsWindow.close();
        typeInto(b, "CA", "Num=6");
        QCOMPARE(table(b)->rowCount(), 4);
        bands->trigger();
        QCOMPARE(table(b)->rowCount(), 6);
        // ... unless the data is asked for.
        b.bandsWindow.close();
        typeInto(b, "CA", "Num=3");
        QCOMPARE(b.bandsWindow.analysis().crystals.size(), 3);
    }

    // A reflection that reflects nothing, then an allowed one again, then another material.
    void reflections()
    {
        Body b;
        b.show();
        QLineEdit *d = child<QLineEdit>(child<QWidget>(&b, "MC"), "Spacing");
        QVERIFY(d->toolTip().isEmpty() && d->styleSheet().isEmpty());
        typeInto(b, "MC", "IndexH=2 IndexK=0 IndexL=0");
        // Still laid out as asked; only the field says that nothing reflects.
        QCOMPARE(b.crystals.size(), 10);
        QCOMPARE(d->toolTip(),
                 QString("2 0 0 is a forbidden reflection of Si: its structure "
                         "factor is zero, so a crystal of this cut reflects "
                         "nothing."));
        QCOMPARE(d->styleSheet(), QString("background-color: rgb(255, 160, 160);"));
        bandsAction(b)->trigger();
        QVERIFY(summary(b, "Reflection").startsWith("Si 2 0 0, forbidden"));
        QCOMPARE(summary(b, "Coverage"), QString("no bands"));
        QCOMPARE(summary(b, "Lattice"), QString("design 5.4301 Å, accepted 5.43102 Å at 22.5 °C"));
        QCOMPARE(cell(b, 0, 2) + "|" + cell(b, 9, 2) + "|" + cell(b, 0, 4),
                 QString("forbidden|forbidden|"));
        // No band, no bar: only the grid is drawn.
        QCOMPARE(pixels(b, QColor(0, 255, 0)) + pixels(b, QColor(96, 96, 96)), 0);

        // Back to an allowed reflection: the field as before.
        typeInto(b, "MC", "IndexH=4");
        QVERIFY(d->toolTip().isEmpty() && d->styleSheet().isEmpty());
        QVERIFY(summary(b, "Reflection").startsWith("Si 4 0 0, allowed"));

        // Ge 2 2 0: 5.6754 against the accepted 5.65782 at 22.5 degrees C, 8000 * 0.0031 =
        // 24.8 eV above the label.
        child<QComboBox>(child<QWidget>(&b, "MC"), "SelCrystal")->setCurrentIndex(1);
        typeInto(b, "MC", "IndexH=2 IndexK=2 IndexL=0");
        QVERIFY(summary(b, "Reflection").startsWith("Ge 2 2 0, allowed"));
        QVERIFY2(summary(b, "Lattice")
                     .contains("accepted 5.65782 Å at 22.5 °C: a real crystal reflects +24.8"),
                 qPrintable(summary(b, "Lattice")));
    }

    void japaneseInterface()
    {
        // The catalogue installed for the whole run, as main() does.
        QCoreApplication::installTranslator(&japanese);
        Body b;
        b.show();
        QCOMPARE(bandsAction(b)->text(), QString("バンド"));
        QCOMPARE(b.bandsWindow.windowTitle(), QString("バンド"));
        bandsAction(b)->trigger();
        QVERIFY(summary(b, "Reflection").startsWith("Si 1 1 1 : 許容反射、8000 eV で |F_H| = "));
        QVERIFY(summary(b, "Coverage").contains("本のバンドが被覆。最大の隙間 13.8"));
        QVERIFY(summary(b, "Focus").contains("組が結晶の後方で交差"));
        QCOMPARE(table(b)->headerData(2, Qt::Horizontal).toString(), QString("半値幅 σ\n[µrad]"));
        QCOMPARE(child<QPushButton>(&b.bandsWindow, "BandsScaleReset")->text(),
                 QString("スケールリセット"));

        QLineEdit *d = child<QLineEdit>(child<QWidget>(&b, "MC"), "Spacing");
        typeInto(b, "MC", "IndexH=0 IndexK=0 IndexL=0");
        const QString none = d->toolTip();
        typeInto(b, "MC", "IndexH=2 IndexK=2 IndexL=2");
        const QString forbidden = d->toolTip();
        const QString reason = cell(b, 0, 2);
        QCoreApplication::removeTranslator(&japanese);
        QCOMPARE(
            none,
            QString("0 0 0 は反射ではありません : この面で切り出した結晶は何も反射しません。"));
        QVERIFY(forbidden.startsWith("2 2 2 は Si の禁制反射です"));
        QCOMPARE(reason, QString("禁制反射"));
    }
};

LUMIVARD_TEST_MAIN(tst_BandsWindow)
#include "tst_bandswindow.moc"
