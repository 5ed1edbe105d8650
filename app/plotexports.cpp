#include "plotexports.h"

#include "body.h"
#include "crystaltable.h"
#include "designfiles.h"
#include "filenames.h"
#include "notices.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>

#include <functional>

namespace {

// Reports the window that the user activates.
class ActivationWatch : public QObject
{
public:
    ActivationWatch(std::function<void(QObject *)> activated, QObject *parent)
        : QObject(parent), activated(std::move(activated))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate)
            activated(watched);
        return false;
    }

private:
    std::function<void(QObject *)> activated;
};

// The four plot windows by name, in PlotView order.
QComboBox *plotChooser(const char *objectName)
{
    auto *chooser = new QComboBox;
    chooser->setObjectName(QString::fromLatin1(objectName));
    for (PlotView v : kPlotViews)
        chooser->addItem(plotViewName(v));
    return chooser;
}

// The plot export's file types, in this order: what each writes and the suffix it adds.
struct PlotFileType
{
    PlotFormat format;
    double scale;
    const char *suffix;
};
constexpr PlotFileType kPlotFileTypes[] = {{PlotFormat::Png, 1.0, "png"},
                                           {PlotFormat::Png, 2.0, "png"},
                                           {PlotFormat::Svg, 1.0, "svg"},
                                           {PlotFormat::Pdf, 1.0, "pdf"}};

} // namespace

PlotExports::PlotExports(Body &window, DesignFiles &files)
    : QObject(&window), window(window), files(files)
{
    auto *watch = new ActivationWatch(
        [this](QObject *activated) {
            for (PlotView v : kPlotViews) {
                if (activated == &this->window.plotWindow(v))
                    lastActivePlot = v;
            }
        },
        this);
    for (PlotView v : kPlotViews)
        window.plotWindow(v).installEventFilter(watch);
}

void PlotExports::exportCrystalTable()
{
    if (!tableDialog) {
        tableDialog = new QFileDialog(&window, Body::tr("Export Crystal Table"));
        tableDialog->setObjectName(QStringLiteral("tableDialog"));
        tableDialog->setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filters{Body::tr("CSV table (*.csv)"), Body::tr("Any File (*)")};
        tableDialog->setNameFilters(filters);
        tableDialog->setDefaultSuffix(QStringLiteral("csv"));
        // A name typed without a suffix gets ".csv" under the CSV filter, and stays as typed
        // under "Any File".
        connect(tableDialog, &QFileDialog::filterSelected, this, [this, filters](const QString &f) {
            tableDialog->setDefaultSuffix(f == filters.first() ? QStringLiteral("csv") : QString());
        });
        files.followLastFolder(tableDialog);
        connect(tableDialog, &QFileDialog::fileSelected, this, &PlotExports::saveCrystalTable);
    }
    // The design's name, in the folder used last.
    tableDialog->selectFile(QFileInfo(suggestedTableName(window.doc.currentFile())).fileName());
    tableDialog->show();
    tableDialog->raise();
    tableDialog->activateWindow();
}

void PlotExports::saveCrystalTable(const QString &path)
{
    QString why;
    if (!writeCrystalTable(path, window.crystalList(), window.doc.design().spacing, &why)) {
        qDebug() << "Can't open" << path << "to export:" << why;
        tellUser(&window, Body::tr("Nothing was exported: \"%1\" cannot be written.").arg(path));
    }
}

void PlotExports::exportPlot()
{
    if (!plotDialog) {
        plotDialog = new QFileDialog(&window, Body::tr("Export Plot"));
        plotDialog->setObjectName(QStringLiteral("plotDialog"));
        // Qt's own dialog, so that it can hold the choice of the window.
        plotDialog->setOption(QFileDialog::DontUseNativeDialog);
        plotDialog->setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filters{Body::tr("PNG image (*.png)"),
                                  Body::tr("PNG image at twice the size (*.png)"),
                                  Body::tr("SVG drawing (*.svg)"),
                                  Body::tr("PDF document (*.pdf)")};
        plotDialog->setNameFilters(filters);
        plotDialog->setDefaultSuffix(QString::fromLatin1(kPlotFileTypes[0].suffix));
        connect(plotDialog, &QFileDialog::filterSelected, this, [this, filters](const QString &f) {
            const int type = std::max(0, int(filters.indexOf(f)));
            plotDialog->setDefaultSuffix(QString::fromLatin1(kPlotFileTypes[type].suffix));
        });
        if (auto *grid = qobject_cast<QGridLayout *>(plotDialog->layout())) {
            const int row = grid->rowCount();
            grid->addWidget(new QLabel(Body::tr("Plot window:")), row, 0);
            grid->addWidget(plotChooser("plotChooser"), row, 1);
        }
        files.followLastFolder(plotDialog);
        connect(plotDialog, &QFileDialog::fileSelected, this, &PlotExports::savePlot);
    }
    if (auto *chooser = plotDialog->findChild<QComboBox *>(QStringLiteral("plotChooser")))
        chooser->setCurrentIndex(int(lastActivePlot));
    plotDialog->show();
    plotDialog->raise();
    plotDialog->activateWindow();
}

void PlotExports::savePlot(const QString &path)
{
    const int type
        = std::max(0, int(plotDialog->nameFilters().indexOf(plotDialog->selectedNameFilter())));
    const auto *chooser = plotDialog->findChild<QComboBox *>(QStringLiteral("plotChooser"));
    const PlotView which = chooser ? PlotView(chooser->currentIndex()) : lastActivePlot;
    const PlotFileType &chosen = kPlotFileTypes[std::min(type, 3)];
    QString why;
    if (!exportPlotImage(window,
                         which,
                         path,
                         plotFormatOf(path, chosen.format),
                         window.plotWindow(which).disp.size(),
                         chosen.scale,
                         &why)) {
        qDebug() << "Can't export" << path << ":" << why;
        tellUser(&window, Body::tr("Nothing was exported: \"%1\" cannot be written.").arg(path));
    }
}

void PlotExports::printPlot()
{
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printDialog) {
        printDialog = new QPrintDialog(printer.get(), &window);
        printDialog->setObjectName(QStringLiteral("printDialog"));
        printDialog->setWindowTitle(Body::tr("Print Plot"));
        // The choice of the window in sight under the printer, as in the Export Plot dialog: an
        // option tab would stay folded away until "Options" is pressed.
        auto *choice = new QWidget;
        auto *row = new QHBoxLayout(choice);
        row->setContentsMargins(QMargins());
        row->addWidget(new QLabel(Body::tr("Plot window:")));
        row->addWidget(plotChooser("printChooser"), 1);
        if (auto *column = qobject_cast<QBoxLayout *>(printDialog->layout()))
            column->insertWidget(1, choice);
        else
            printDialog->setOptionTabs({choice});
        connect(printDialog,
                QOverload<QPrinter *>::of(&QPrintDialog::accepted),
                this,
                &PlotExports::printChosenPlot);
    }
    if (auto *chooser = printDialog->findChild<QComboBox *>(QStringLiteral("printChooser")))
        chooser->setCurrentIndex(int(lastActivePlot));
    // A wide window on a page turned to match, until the user turns it otherwise.
    const QSize size = window.plotWindow(lastActivePlot).disp.size();
    printer->setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    printDialog->show();
    printDialog->raise();
    printDialog->activateWindow();
}

void PlotExports::printChosenPlot(QPrinter *target)
{
    const auto *chooser = printDialog->findChild<QComboBox *>(QStringLiteral("printChooser"));
    const PlotView which = chooser ? PlotView(chooser->currentIndex()) : lastActivePlot;
    if (!printPlotPage(window, which, *target))
        tellUser(&window, Body::tr("Nothing was printed: the printer cannot be used."));
}

PlotExports::~PlotExports() = default;
