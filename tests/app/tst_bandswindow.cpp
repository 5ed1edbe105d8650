// The Bands window as a user reaches it from the View menu: the summary, one table row per
// crystal, the picture of the bands, kept up to date while it is shown and made only then, in
// either language; and the red "d" field of a reflection that reflects nothing. The source group
// whose edits are the document's undo steps, the bars at the labels or where a real crystal
// reflects, the table as CSV, and the rays traced on request.
#include "bandstable.h"
#include "body.h"
#include "language.h"
#include "raystab.h"
#include "report.h"
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

QString cell(Body &b, int row, int column, int role = Qt::DisplayRole)
{
    return table(b)->data(table(b)->index(row, column), role).toString();
}

QLineEdit *sourceField(Body &b, const char *name)
{
    return child<QLineEdit>(&b.bandsWindow, name);
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
        QVERIFY(summary(b, "Lattice")
                    .startsWith("design 5.4301 Å, accepted 5.431020511 Å at 22.5 °C: a real "
                                "crystal reflects -1.355 eV off its label"));
        QVERIFY(
            summary(b, "Harmonics").contains("3 3 3 at 24000.0 eV: peak R 0.986, band 0.206 eV"));
        QVERIFY(summary(b, "EffectiveCoverage").endsWith("(a parallel beam, σ)"));
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
        QCOMPARE(summary(b, "Lattice"),
                 QString("design 5.4301 Å, accepted 5.431020511 Å at 22.5 °C"));
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
                     .contains("accepted 5.657816547 Å at 22.5 °C: a real crystal reflects +24.8"),
                 qPrintable(summary(b, "Lattice")));

        // The bars where a real crystal reflects: up by the offsets, 24.8 eV at 8000 eV down to
        // 24.4 eV at 7865 eV, and the view with them.
        BandsWindow &w = b.bandsWindow;
        const double labels = w.realC0.center().x();
        child<QCheckBox>(&w, "BandsAtRealEnergies")->click();
        QVERIFY(w.atRealEnergies());
        QVERIFY2(near(w.realC0.center().x() - labels, 24.6, 0.2),
                 qPrintable(QString::number(w.realC0.center().x() - labels)));

        // No lattice constant of Ge at 100 degrees C: nothing to show, and each place says why.
        type(sourceField(b, "SourceTemperature"), "100");
        QCOMPARE(b.doc.design().source.temperature, 100.0);
        QCOMPARE(cell(b, 0, 2), QString("no data"));
        const QString why = "the lattice constant of Ge is known from -23.15 to 76.85 °C, not at "
                            "100 °C";
        QVERIFY2(cell(b, 0, 2, Qt::ToolTipRole).contains(why),
                 qPrintable(cell(b, 0, 2, Qt::ToolTipRole)));
        QVERIFY(summary(b, "Lattice").contains(why));
        QVERIFY(!child<QPushButton>(&w, "UseAcceptedLattice")->isEnabled());
        QCOMPARE(pixels(b, QColor(0, 255, 0)) + pixels(b, QColor(96, 96, 96)), 0);
        QVERIFY(pixels(b, QColor(40, 60, 120)) > 20);
    }

    // The source group: what each field takes (an undo step of the document, the analysis made
    // again) and what it refuses (said below the fields, the field back to the design's value).
    void sourceGroup_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // the field afterwards
        QTest::addColumn<QString>("note");  // below the fields; empty: taken
        // Whether the summary's effective coverage changes: a parallel beam lights the crystals
        // as the design's beam does, whatever its distance and size.
        QTest::addColumn<bool>("effective");
        dataRow("divergence", "SourceDivergence", "1e2", "100", "", true);
        dataRow("distance", "SourceDistance", "2500", "2500", "", false);
        dataRow("size", "SourceSize", "0.5", "0.5", "", false);
        dataRow("degree", "SourceDegree", "-0.25", "-0.25", "", true);
        dataRow("temperature", "SourceTemperature", "30", "30", "", false);
        dataRow("distance 0",
                "SourceDistance",
                "0",
                "10000",
                "The distance is a number above 0, not 0.",
                false);
        dataRow("letters",
                "SourceSize",
                "wide",
                "0",
                "The size is a number from 0 up, not wide.",
                false);
        dataRow("degree 2",
                "SourceDegree",
                "2",
                "1",
                "The degree of polarisation is a number from -1 (π) to 1 (σ), not 2.",
                false);
        dataRow("a sign alone",
                "SourceTemperature",
                "-",
                "22.5",
                "The temperature is a number above -273.15 °C, not -.",
                false);
    }
    void sourceGroup()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, note);
        QFETCH(bool, effective);
        Body b;
        b.show();
        bandsAction(b)->trigger();
        const QString coverage = summary(b, "EffectiveCoverage");
        const QString before = b.doc.text();
        type(sourceField(b, qPrintable(field)), typed);
        QCOMPARE(sourceField(b, qPrintable(field))->text(), shown);
        QCOMPARE(summary(b, "SourceNote"), note);
        QCOMPARE(b.undoStack.count(), note.isEmpty() ? 1 : 0);
        if (!note.isEmpty()) {
            QCOMPARE(b.doc.text(), before);
            return;
        }
        // The window shows the analysis of the design with its new source.
        QCOMPARE(summary(b, "EffectiveCoverage") != coverage, effective);
        QCOMPARE(b.bandsWindow.analysis().crystals.first().effectiveBandLow,
                 designBands(b.doc.design()).crystals.first().effectiveBandLow);
        // Ctrl+Z in the window takes the step back, and the fields show it.
        QTest::keyClick(&b.bandsWindow, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(b.doc.text(), before);
        QCOMPARE(summary(b, "EffectiveCoverage"), coverage);
        QCOMPARE(sourceField(b, "SourceDivergence")->text()
                     + sourceField(b, "SourceDegree")->text(),
                 QString("01"));
    }

    // The polarisation list and the accepted lattice constant, each one undo step; the table's
    // columns with a source that lights only some crystals.
    void polarisationAndLattice()
    {
        Body b;
        b.show();
        bandsAction(b)->trigger();
        auto *list = child<QComboBox>(&b.bandsWindow, "SourcePolarisation");
        QCOMPARE(list->currentIndex(), 0);
        list->setCurrentIndex(2);
        emit list->activated(2);
        QCOMPARE(b.doc.design().source.polarisation.degree, 0.0);
        QCOMPARE(sourceField(b, "SourceDegree")->text(), QString("0"));
        type(sourceField(b, "SourceDegree"), "0.5");
        QCOMPARE(list->currentIndex(), 3);
        QCOMPARE(b.undoStack.count(), 2);

        auto *accepted = child<QPushButton>(&b.bandsWindow, "UseAcceptedLattice");
        QVERIFY(accepted->isEnabled());
        accepted->click();
        QCOMPARE(child<QLineEdit>(child<QWidget>(&b, "MC"), "LatticeC")->text(),
                 QString("5.431020511"));
        QCOMPARE(b.undoStack.count(), 3);
        QVERIFY(!accepted->isEnabled());
        // The offset left is the six-digit rounding of d: 8000 (3.1356 / 3.135601154 - 1).
        QVERIFY2(summary(b, "Lattice").contains("reflects -0.003 eV off its label"),
                 qPrintable(summary(b, "Lattice")));

        // A point source 100 units away with 1 mrad: crystals 1 to 5 are lit at most.
        type(sourceField(b, "SourceDistance"), "100");
        type(sourceField(b, "SourceDivergence"), "1000");
        QCOMPARE(table(b)->columnCount(), 19);
        QCOMPARE(table(b)->headerData(17, Qt::Horizontal).toString(), QString("Peak\nefficiency"));
        QCOMPARE(table(b)->headerData(16, Qt::Horizontal).toString(),
                 QString("Effective gap\n[eV]"));
        QVERIFY(cell(b, 9, 16).isEmpty());
        QVERIFY(!cell(b, 0, 13).isEmpty() && cell(b, 0, 13) != "not lit");
        QCOMPARE(cell(b, 9, 13), QString("not lit"));
        QVERIFY(cell(b, 9, 13, Qt::ToolTipRole).startsWith("Not lit: no ray of the source"));
        QCOMPARE(cell(b, 9, 9),
                 QString::number(
                     *b.bandsWindow.analysis().crystals.at(9).peakReflectivitySigma, 'f', 4));

        // A wide source far away lights them all, in bands about 31 eV wide and 15 eV apart: each
        // overlaps the next one up, and the top one has none above it.
        type(sourceField(b, "SourceDistance"), "10000");
        type(sourceField(b, "SourceSize"), "20");
        QVERIFY(cell(b, 0, 16).isEmpty());
        for (int row = 1; row < 10; ++row)
            QVERIFY2(cell(b, row, 16).startsWith('-'), qPrintable(cell(b, row, 16)));
    }

    // The table as CSV through the window's dialog, offered under the design's name.
    void exportTable()
    {
        QTemporaryDir dir;
        Body b;
        b.show();
        bandsAction(b)->trigger();
        QVERIFY(b.doc.save(dir.filePath("array.cfg")));
        b.bandsWindow.exportTable();
        auto *dialog = child<QFileDialog>(&b.bandsWindow, "bandsTableDialog");
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(),
                 QString("array-bands.csv"));
        emit dialog->fileSelected(dir.filePath("t.csv"));
        QFile f(dir.filePath("t.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bandsTableCsv(b.bandsWindow.analysis()));
    }

    // Rays on request: the table and both plots of the trace; a change of the design drops them.
    void rays()
    {
        Body b;
        b.show();
        bandsAction(b)->trigger();
        RaysTab *rays = b.bandsWindow.raysTab();
        child<QTabWidget>(&b.bandsWindow, "BandsTabs")->setCurrentWidget(rays);
        QVERIFY(!rays->result());
        // A beam 20 units wide lights all ten crystals.
        type(sourceField(b, "SourceSize"), "20");
        child<QLineEdit>(rays, "RaysCount")->setText("20000");
        QSignalSpy done(rays, &RaysTab::finished);
        child<QPushButton>(rays, "RaysRun")->click();
        QVERIFY(done.wait(20000));
        QVERIFY(rays->result() && rays->result()->rays == 20000);
        QVERIFY(child<QLabel>(rays, "RaysStatus")->text().startsWith("20000 rays, seed 1: "));
        auto *list = child<QTableWidget>(rays, "RaysTable");
        QCOMPARE(list->rowCount(), 10);
        QCOMPARE(list->item(0, 2)->text().toLongLong(), rays->result()->crystals.at(0).reflected);
        // Crystal 1's histogram in its pure green, the spot of all rays in grey.
        QVERIFY(QTest::qWaitForWindowExposed(&b.bandsWindow));
        int green = 0, grey = 0;
        const QImage energies = rays->energyPlot.grab().toImage();
        const QImage spot = rays->spotPlot.grab().toImage();
        for (int y = 0; y < energies.height(); ++y)
            for (int x = 0; x < energies.width(); ++x)
                green += energies.pixelColor(x, y) == QColor(0, 255, 0);
        for (int y = 0; y < spot.height(); ++y)
            for (int x = 0; x < spot.width(); ++x)
                grey += spot.pixelColor(x, y) == QColor(150, 150, 150);
        QVERIFY(green > 10 && grey > 100);

        type(sourceField(b, "SourceDivergence"), "5");
        QVERIFY(!rays->result());
        QCOMPARE(list->rowCount(), 0);
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
        QVERIFY2(summary(b, "EffectiveCoverage").endsWith("(平行ビーム、σ)"),
                 qPrintable(summary(b, "EffectiveCoverage")));
        QCOMPARE(child<QGroupBox>(&b.bandsWindow, "SourceGroup")->title(), QString("光源"));
        QCOMPARE(child<QPushButton>(&b.bandsWindow, "UseAcceptedLattice")->text(),
                 QString("標準格子定数を使う"));
        QCOMPARE(child<QTabWidget>(&b.bandsWindow, "BandsTabs")->tabText(1), QString("光線"));
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
