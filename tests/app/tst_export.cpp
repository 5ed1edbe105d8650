// Exports and printing of the plot windows and the crystal table, the tooltip naming the
// highlighted beam, and the windows' places on the screen.
#include "body.h"
#include "crystaltable.h"
#include "plotexport.h"
#include "shapenames.h"
#include "testsupport.h"
#include "units.h"
#include "windowplaces.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QSvgRenderer>
#include <QtTest>
#include <QtWidgets>

namespace {

// Frames of the four plot windows at their start-up sizes.
const QVector<QSize> kPlotFrames{QSize(900, 600).grownBy(kFrameAllowance),
                                 QSize(600, 400).grownBy(kFrameAllowance),
                                 QSize(400, 400).grownBy(kFrameAllowance),
                                 QSize(400, 400).grownBy(kFrameAllowance)};

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

} // namespace

class tst_Export : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QScopedPointer<Body> body;

    QString path(const char *name) const { return dir.filePath(name); }
    QByteArray file(const QString &name) const
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QImage grab(DispABase &w) const
    {
        return w.disp.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static void send(DispABase &w, QEvent &&e) { QApplication::sendEvent(&w.disp, &e); }
    static void move(DispABase &w, QPoint p)
    {
        send(w, QMouseEvent(QEvent::MouseMove, p, Qt::NoButton, {}, {}));
    }
    static QPoint screenOf(DispABase &w, const Point &p)
    {
        return QPoint(int(w.disp.cc.toScreenX(p.x)), int(w.disp.cc.toScreenY(p.y)));
    }
    // Everything an export leaves as it was: the design as saved, the histories, every view and
    // mapping, the highlight, the measurement and the read-outs.
    QString state()
    {
        emit body->saveDialog.fileSelected(path("state.cfg"));
        QStringList s{QString::fromUtf8(file(path("state.cfg")))};
        s << QString::number(body->avrCps.points.size()) << QString::number(body->selectedShape);
        s << QString::number(body->measLine.length, 'g', 17);
        for (PlotView v :
             {PlotView::Overall, PlotView::Crystals, PlotView::Focus, PlotView::Imaging}) {
            const DispABase &w = body->plotWindow(v);
            const ChCoord &cc = w.disp.cc;
            for (double d :
                 {w.realC.x(), w.realC.width(), w.realC0.y(), cc.wx0, cc.wy1, cc.sx1, cc.sy0})
                s << QString::number(d, 'g', 17);
        }
        for (const char *label : {"MPos", "AvrCps", "AvrIps", "MeasLength"})
            s << child<QLabel>(body.data(), label)->text();
        return s.join('|');
    }
    // The warning a failed export shows, if one is up.
    static QString warning()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                return box->isModal() ? "modal" : box->text();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        // Remembered places go to a scratch folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    }
    void init() { body.reset(new Body); }
    void cleanup()
    {
        body.reset();
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void plotImage_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("action");
        dataRow("overall, a beam highlighted", int(PlotView::Overall), QString("hover"));
        dataRow("crystals, a measurement", int(PlotView::Crystals), QString("measure"));
        dataRow("focus, zoomed in", int(PlotView::Focus), QString("zoom"));
        dataRow("imaging, as it starts", int(PlotView::Imaging), QString());
    }
    // The PNG is the window's surface pixel for pixel, and at twice the size twice the pixels;
    // SVG and PDF are vector pictures of the surface's size. No export changes anything shown.
    void plotImage()
    {
        QFETCH(int, view);
        QFETCH(QString, action);
        DispABase &w = body->plotWindow(PlotView(view));
        grab(w);
        const QPoint middle(w.disp.width() / 2, w.disp.height() / 2), to = middle + QPoint(60, -40);
        if (action == "hover")
            move(w, screenOf(w, body->crystals[4]->centre()));
        QVERIFY(action != "hover" || body->selectedShape >= 0);
        if (action == "measure") {
            move(w, middle);
            send(w, QMouseEvent(QEvent::MouseButtonPress, middle, Qt::RightButton, {}, {}));
            move(w, to);
            send(w, QMouseEvent(QEvent::MouseButtonRelease, to, Qt::RightButton, {}, {}));
            QVERIFY(!near(body->measLine.length, 1.0)); // the length before any measurement
        }
        for (int i = 0; action == "zoom" && i < 5; ++i)
            send(w, QWheelEvent(middle, middle, {}, {0, 120}, {}, {}, {}, false));
        const QImage shown = grab(w);
        const QString before = state();

        QString why;
        QVERIFY2(exportPlotImage(*body, PlotView(view), path("p.png"), 1.0, &why), qPrintable(why));
        QCOMPARE(QImage(path("p.png")).convertToFormat(QImage::Format_RGB32), shown);
        QVERIFY(exportPlotImage(*body, PlotView(view), path("p2.PNG"), 2.0));
        QCOMPARE(QImage(path("p2.PNG")).size(), shown.size() * 2);

        QVERIFY(exportPlotImage(*body, PlotView(view), path("p.svg"), 1.0));
        const QByteArray svg = file(path("p.svg"));
        QVERIFY(svg.startsWith("<?xml") && svg.contains("<svg") && svg.contains("<path"));
        QCOMPARE(QSvgRenderer(svg).viewBox(), QRect(QPoint(), shown.size()));

        QVERIFY(exportPlotImage(*body, PlotView(view), path("p.pdf"), 1.0));
        const QByteArray pdf = file(path("p.pdf"));
        const QRegularExpressionMatch box
            = QRegularExpression("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]")
                  .match(QString::fromLatin1(pdf.constData(), pdf.size()));
        const double points = 72.0 / w.disp.logicalDpiY();
        QVERIFY(pdf.startsWith("%PDF-") && pdf.size() > 2000 && box.hasMatch());
        QVERIFY(near(box.captured(1).toDouble(), shown.width() * points, 1));
        QVERIFY(near(box.captured(2).toDouble(), shown.height() * points, 1));

        QCOMPARE(state(), before);
    }

    // Nothing is written where the folder is missing or the suffix names no format.
    void plotFailures()
    {
        QString why;
        QVERIFY(!exportPlotImage(*body, PlotView::Overall, path("none/f.png"), 1.0, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!exportPlotImage(*body, PlotView::Overall, path("f.xyz"), 1.0, &why));
        QVERIFY(!exportPlotImage(*body, PlotView::Overall, path("f.png"), 1e6, &why));
        QVERIFY(!QFile::exists(path("f.xyz")) && !QFile::exists(path("f.png")));
    }

    // The table's dialog offers the design file's name, writes what a CSV reader reads back as
    // the crystals' doubles, and says so in a non-modal warning when it cannot write.
    void tableDialog()
    {
        body->exportCrystalTable();
        auto *dialog = child<QFileDialog>(body.data(), "tableDialog");
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), QString("crystals.csv"));
        emit body->saveDialog.fileSelected(path("si111.cfg"));
        body->exportCrystalTable();
        QCOMPARE(dialog->selectedFiles().value(0), path("si111.csv"));
        emit dialog->fileSelected(path("si111.csv"));
        const CrystalList list(body->crystals.begin(), body->crystals.end());
        QCOMPARE(file(path("si111.csv")), crystalTableCsv(list, units.D));
        QCOMPARE(warning(), QString());
        emit dialog->fileSelected(path("none/t.csv"));
        QCOMPARE(warning(),
                 "Nothing was exported: \"" + path("none/t.csv") + "\" cannot be written.");
    }

    // The plot dialog preselects the window activated last; its file type decides the format of
    // a name without a known suffix, and the scale of a PNG.
    void plotDialog()
    {
        QApplication::setActiveWindow(&body->crystalsView);
        QApplication::setActiveWindow(body.data());
        body->exportPlot();
        auto *dialog = child<QFileDialog>(body.data(), "plotDialog");
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        auto *chooser = child<QComboBox>(dialog, "plotChooser");
        QCOMPARE(chooser->currentIndex(), int(PlotView::Crystals));
        QCOMPARE(chooser->currentText(), QString("Crystals"));
        const QStringList types = dialog->nameFilters();
        QCOMPARE(types.size(), 4);
        chooser->setCurrentIndex(int(PlotView::Focus));
        dialog->selectNameFilter(types[2]);
        emit dialog->fileSelected(path("focus.v2"));
        QVERIFY(file(path("focus.v2")).startsWith("<?xml"));
        dialog->selectNameFilter(types[1]);
        emit dialog->fileSelected(path("focus.png"));
        QCOMPARE(QImage(path("focus.png")).size(), body->focusView.disp.size() * 2);
        QCOMPARE(warning(), QString());
    }

    // Printed from the print dialog's choice of window, offered as the export dialog offers it with
    // the one activated last chosen, on a page as a PDF printer does it here; nothing shown
    // changes.
    void printDialog()
    {
        grab(body->imagingView);
        const QString before = state();
        QApplication::setActiveWindow(&body->imagingView);
        body->printPlot();
        auto *dialog = child<QPrintDialog>(body.data(), "printDialog");
        QVERIFY(dialog && !dialog->isModal());
        // The same choice as the export dialog's, in sight without unfolding the options.
        auto *chooser = child<QComboBox>(dialog, "printChooser");
        QVERIFY(chooser->isVisible());
        QCOMPARE(chooser->currentIndex(), int(PlotView::Imaging));
        body->exportPlot();
        auto *exportChooser = child<QComboBox>(body.data(), "plotChooser");
        QCOMPARE(chooser->count(), exportChooser->count());
        for (int i = 0; i < chooser->count(); ++i)
            QCOMPARE(chooser->itemText(i), exportChooser->itemText(i));
        QPrinter *printer = dialog->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path("dialog.pdf"));
        printer->setPageSize(QPageSize(QPageSize::A4));
        emit dialog->accepted(printer);
        const QByteArray pdf = file(path("dialog.pdf"));
        QVERIFY(pdf.startsWith("%PDF-") && pdf.contains("/MediaBox [0 0 595"));
        QCOMPARE(state(), before);
    }

    // The tooltip names the highlighted shape and goes with the highlight.
    void toolTip()
    {
        DispABase &w = body->crystalsView;
        grab(w);
        move(w, screenOf(w, body->crystals[6]->centre()));
        const int shape = body->selectedShape;
        QCOMPARE(shape / kShapesPerCrystal, 6);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), shapeToolTip(shape, body->crystals[6]->energyEv(units.D)));
        QVERIFY(QToolTip::text().startsWith("Crystal 7, 7910.0 eV: "));
        w.realC = QRectF(1000, -1000, 20, 20); // far from every beam
        grab(w);
        move(w, QPoint(2, 2));
        QCOMPARE(body->selectedShape, -1);
        QTRY_VERIFY(!QToolTip::isVisible()); // Qt lets a tip go within 0.3 s
    }

    void places_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<int>("apart"); // 2: no window covers another, 1: no plot window, 0: some
        QTest::addColumn<QString>("first"); // where the overall and the crystals window go
        const QRect main(0, 0, 1217, 635), small(0, 0, 700, 400), second(2048, 100, 2560, 1400);
        dataRow("2560 x 1440: beside, below", QRect(0, 0, 2560, 1400), main, 2, "1217,0 0,635");
        dataRow("a second screen", second, small.translated(2048, 100), 2, "2748,100 3656,100");
        dataRow("1920 x 1080: a corner covered", QRect(0, 0, 1920, 1080), main, 1, "");
        dataRow("1920 x 1080, a panel", QRect(0, 30, 1920, 1050), main.translated(0, 30), 0, "");
        dataRow("1366 x 768", QRect(0, 0, 1366, 740), main, 0, "");
        // The main window's frames in English and Japanese as the program makes them.
        const QRect english(0, 0, 1179, 679), japanese(0, 0, 1185, 676);
        dataRow("1366 x 768, no panel", QRect(0, 0, 1366, 768), english, 0, "");
        dataRow("1366 x 768, a panel below", QRect(0, 0, 1366, 740), english, 0, "");
        dataRow(
            "1366 x 768, a bar above", QRect(0, 27, 1366, 741), english.translated(0, 27), 0, "");
        dataRow("1366 x 768, Japanese", QRect(0, 0, 1366, 740), japanese, 0, "");
        dataRow(
            "800 x 600: too small for the overall window", QRect(0, 0, 800, 600), small, 0, "0,0");
    }
    // Sizes kept, inside the screen's free area where they fit (title bars on the screen), apart
    // where there is room, the first two beside and below the main window then; where there is
    // not, no plot window is hidden: a piece of 64 x 16 pixels of each shows, the main window
    // lying above them and each plot window above those shown before it.
    void places()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, main);
        QFETCH(int, apart);
        QFETCH(QString, first);
        const QVector<QPoint> at = windowPlaces(available, {main}, kPlotFrames);
        QCOMPARE(at.size(), 4);
        qint64 plots = 0, all = 0;
        for (int i = 0; i < 4; ++i) {
            const QRect r(at[i], kPlotFrames[i]);
            QVERIFY(available.contains(QRect(at[i], r.size().boundedTo(available.size()))));
            all += overlap(r, main);
            for (int j = i + 1; j < 4; ++j)
                plots += overlap(r, QRect(at[j], kPlotFrames[j]));
        }
        QCOMPARE(plots == 0, apart > 0);
        QCOMPARE(plots + all == 0, apart > 1);
        for (int i = 0; i < 4; ++i) {
            QRegion shown(QRect(at[i], kPlotFrames[i]));
            shown -= main;
            for (int j = i + 1; j < 4; ++j)
                shown -= QRect(at[j], kPlotFrames[j]);
            qint64 area = 0;
            for (const QRect &piece : shown)
                area += qint64(piece.width()) * piece.height();
            QVERIFY2(area >= 64 * 16, qPrintable(QString("plot window %1 hidden").arg(i)));
        }
        const QStringList p = first.split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < p.size(); ++i)
            QCOMPARE(at[i], QPoint(p[i].section(',', 0, 0).toInt(), p[i].section(',', 1).toInt()));
    }

    void reachable_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<bool>("used");
        dataRow("on the first screen", QRect(100, 100, 408, 436), true);
        dataRow("on the second screen", QRect(2500, 700, 408, 436), true);
        dataRow("across both", QRect(1700, 0, 408, 436), true);
        dataRow("far away", QRect(50000, 50000, 408, 436), false);
        dataRow("title bar above the screen", QRect(100, -10, 408, 436), false);
        dataRow("a sliver at the left", QRect(-380, 100, 408, 436), false);
        dataRow("grip of 64 at the left", QRect(-344, 100, 408, 436), true);
        dataRow("below the second screen's bottom", QRect(2500, 1020, 408, 436), false);
        dataRow("no size", QRect(100, 100, 0, 0), false);
    }
    // A remembered place is used only where its title bar can be grabbed on some screen.
    void reachable()
    {
        QFETCH(QRect, frame);
        QFETCH(bool, used);
        QCOMPARE(reachableOnScreens(frame, {QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)}),
                 used);
    }

    // At the first start every frame lies on the screen's free area as far as it fits, title bar
    // included, the main window's at its top left. Each later start puts every window exactly where
    // it was left, contents and frame, with its size, however often the program starts again; a
    // window left off every screen comes back onto it.
    void remembered()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Lumivard", "Lumivard").clear();
        body->show();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(body->frameGeometry().topLeft(), screen.topLeft());
        QWidget *const windows[]
            = {body.data(), &body->overallView, &body->crystalsView, &body->imagingView};
        // The offscreen screen is 800 x 600: larger windows are aligned to its top left edges.
        for (QWidget *w : windows) {
            const QRect frame = w->frameGeometry();
            QVERIFY(screen.contains(QRect(frame.topLeft(), frame.size().boundedTo(screen.size()))));
        }
        body->crystalsView.move(123, 45);
        body->crystalsView.resize(500, 300);
        body->imagingView.setGeometry(640, 300, 300, 200);
        body->focusView.move(50000, 50000);
        body->move(7, 8);
        QStringList left;
        for (QWidget *w : windows)
            left << QString("%1 %2").arg(toString(w->geometry()), toString(w->frameGeometry()));
        for (int start = 1; start <= 3; ++start) {
            QMetaObject::invokeMethod(qApp, "aboutToQuit");
            body.reset(new Body);
            body->show();
            QWidget *const again[]
                = {body.data(), &body->overallView, &body->crystalsView, &body->imagingView};
            QStringList found;
            for (QWidget *w : again)
                found << QString("%1 %2").arg(toString(w->geometry()),
                                              toString(w->frameGeometry()));
            QCOMPARE(found, left);
            QVERIFY(screen.contains(body->focusView.frameGeometry()));
            QCOMPARE(body->focusView.size(), QSize(400, 400));
        }
    }

private:
    static QString toString(const QRect &r)
    {
        return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
};

LUMIVARD_TEST_MAIN(tst_Export)
#include "tst_export.moc"
