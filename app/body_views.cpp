// The four plot windows of the main window: set-up, places on the screen, repaint, default views
// and square grid.
#include "body.h"
#include "navigation.h"
#include "views.h"
#include "windowplaces.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QSettings>

#include <memory>

namespace {

// Where the windows were, kept between runs: the rectangle of each window's contents, without
// the frame. Earlier runs kept frame positions under "Windows"; those are no longer read.
std::unique_ptr<QSettings> placesSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat,
                                       QSettings::UserScope,
                                       QStringLiteral("Lumivard"),
                                       QStringLiteral("Lumivard"));
}
const QString kPlacesGroup = QStringLiteral("WindowGeometry/");
const QString kOldPlacesGroup = QStringLiteral("Windows");

// Read-outs as long as the first paint of the default design makes them: the main window is
// placed for these, and read-outs of huge numbers take no more room.
QString ordinaryPosition()
{
    return positionReadout(888.888, 888.888);
}
QString ordinaryMeasure()
{
    return measureReadout(Line(Point(888.888, 888.888), Dir(0.0), 888.888));
}

} // namespace

void Body::setUpPlotWindows()
{
    // The overall window keeps the plot window's own size and has no title of its own.
    overallView.show();
    connect(ShowGraph, &QPushButton::clicked, &overallView, &QWidget::show);

    crystalsView.setWindowTitle(tr("Crystals"));
    crystalsView.resize(600, 400);
    crystalsView.show();
    connect(ShowGraph, &QPushButton::clicked, &crystalsView, &QWidget::show);

    for (ReadoutLabel *readout : {AvrCps, AvrIps, MPos})
        readout->setOrdinaryText(ordinaryPosition());
    LsqFocus->setOrdinaryText(ordinaryPosition() + QStringLiteral(", RMS ")
                              + readoutNumber(0.888, 8, 3));
    MeasLength->setOrdinaryText(ordinaryMeasure());

    focusView.setWindowTitle(tr("Focus Point"));
    focusView.resize(400, 400);
    focusView.show();
    connect(ShowGraph, &QPushButton::clicked, &focusView, &QWidget::show);

    imagingView.setWindowTitle(tr("Imaging Point"));
    imagingView.resize(400, 400);
    imagingView.show();
    connect(ShowGraph, &QPushButton::clicked, &imagingView, &QWidget::show);
}

void Body::updates()
{
    overallView.update();
    crystalsView.update();
    focusView.update();
    imagingView.update();
}

void Body::resetScale()
{
    for (DispABase *v : {&overallView, &crystalsView, &focusView, &imagingView})
        v->realC = v->realC0;
    updates();
}

void Body::squareG()
{
    for (DispABase *v : {&overallView, &crystalsView, &focusView, &imagingView})
        v->realC = squaredView(v->realC, v->disp.width(), v->disp.height());
    updates();
}

void Body::placeWindows()
{
    QVector<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (screens.isEmpty())
        return;
    const auto settings = placesSettings();

    // The main window's size as it will show: in the style's fonts and metrics, with the read-outs
    // as long as the first paint makes them (their texts are put back; the paint rewrites them
    // anyway).
    QLabel *const readouts[] = {AvrCps, AvrIps, MPos, MeasLength};
    QStringList texts;
    for (QLabel *label : readouts)
        texts << label->text();
    for (QLabel *label : {AvrCps, AvrIps, MPos})
        label->setText(ordinaryPosition());
    MeasLength->setText(ordinaryMeasure());
    // The window's layout, menu bar and status bar included, gives the size it is fitted to.
    layout()->activate();
    const QSize mainSize = size().expandedTo(minimumSizeHint());
    for (int i = 0; i < 4; ++i)
        readouts[i]->setText(texts.at(i));
    layout()->activate();

    // The main window where it was, else with its frame at the top left of the primary screen's
    // free area; the plot windows where they were, else beside and below it on its screen. Each
    // window is given the place of its contents, as it was kept: a window manager frames a window
    // only once it shows, so a frame's place given before it would be taken for the contents'
    // (the windows crept up by a title bar at every start).
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect mainWas = settings->value(kPlacesGroup + QStringLiteral("main")).toRect();
    const QMargins mainMargins = frameMarginsOf(frameGeometry(), geometry());
    QPoint mainAt = contentsAt(screen->availableGeometry().topLeft(), mainMargins);
    if (mainWas.isValid()
        && reachableOnScreens(frameAround(QRect(mainWas.topLeft(), mainSize), mainMargins),
                              screens)) {
        mainAt = mainWas.topLeft();
        if (QScreen *there = QGuiApplication::screenAt(mainAt))
            screen = there;
    }
    setGeometry(QRect(mainAt, size()));

    QVector<QRect> taken{frameAround(QRect(mainAt, mainSize), mainMargins)};
    QVector<DispABase *> unplaced;
    QVector<QMargins> unplacedMargins;
    QVector<QSize> frames;
    DispABase *const views[] = {&overallView, &crystalsView, &focusView, &imagingView};
    for (int i = 0; i < 4; ++i) {
        const QRect was = settings->value(kPlacesGroup + plotViewKey(kPlotViews[i])).toRect();
        if (was.isValid())
            views[i]->resize(was.size());
        const QMargins margins = frameMarginsOf(views[i]->frameGeometry(), views[i]->geometry());
        const QRect contents(was.topLeft(), views[i]->size());
        if (was.isValid() && reachableOnScreens(frameAround(contents, margins), screens)) {
            views[i]->setGeometry(contents);
            taken << frameAround(contents, margins);
        } else {
            unplaced << views[i];
            unplacedMargins << margins;
            frames << frameAround(contents, margins).size();
        }
    }
    const QVector<QPoint> places = windowPlaces(screen->availableGeometry(), taken, frames);
    for (int i = 0; i < unplaced.size(); ++i)
        unplaced[i]->setGeometry(
            QRect(contentsAt(places[i], unplacedMargins[i]), unplaced[i]->size()));
}

void Body::rememberWindowPlaces()
{
    const auto settings = placesSettings();
    settings->remove(kOldPlacesGroup);
    settings->setValue(kPlacesGroup + QStringLiteral("main"), normalGeometry());
    DispABase *const views[] = {&overallView, &crystalsView, &focusView, &imagingView};
    for (int i = 0; i < 4; ++i)
        settings->setValue(kPlacesGroup + plotViewKey(kPlotViews[i]), views[i]->normalGeometry());
}

DispABase &Body::plotWindow(PlotView which)
{
    switch (which) {
    case PlotView::Overall:
        break;
    case PlotView::Crystals:
        return crystalsView;
    case PlotView::Focus:
        return focusView;
    case PlotView::Imaging:
        return imagingView;
    }
    return overallView;
}
