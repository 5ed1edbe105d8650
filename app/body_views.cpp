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

// Where the windows were, kept between runs.
std::unique_ptr<QSettings> placesSettings()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat,
                                                QSettings::UserScope,
                                                QStringLiteral("Lumivard"),
                                                QStringLiteral("Lumivard"));
    settings->beginGroup(QStringLiteral("Windows"));
    return settings;
}

const char *const kPlotKeys[] = {"overall", "crystals", "focus", "imaging"};

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
    connect(ShowGraph, SIGNAL(clicked()), &overallView, SLOT(show()));

    crystalsView.setWindowTitle(tr("Crystals"));
    crystalsView.resize(600, 400);
    crystalsView.show();
    connect(ShowGraph, SIGNAL(clicked()), &crystalsView, SLOT(show()));

    for (ReadoutLabel *readout : {AvrCps, AvrIps, MPos})
        readout->setOrdinaryText(ordinaryPosition());
    MeasLength->setOrdinaryText(ordinaryMeasure());

    focusView.setWindowTitle(tr("Focus Point"));
    focusView.resize(400, 400);
    focusView.show();
    connect(ShowGraph, SIGNAL(clicked()), &focusView, SLOT(show()));

    imagingView.setWindowTitle(tr("Imaging Point"));
    imagingView.resize(400, 400);
    imagingView.show();
    connect(ShowGraph, SIGNAL(clicked()), &imagingView, SLOT(show()));
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
    const QSize mainFrame = size().expandedTo(minimumSizeHint()).grownBy(kFrameAllowance);
    for (int i = 0; i < 4; ++i)
        readouts[i]->setText(texts.at(i));
    layout()->activate();

    // The main window where it was, else at the top left of the primary screen's free area; the
    // plot windows where they were, else beside and below it on its screen.
    QPoint mainPos = settings->value(QStringLiteral("main")).toPoint();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (settings->contains(QStringLiteral("main"))
        && reachableOnScreens(QRect(mainPos, mainFrame), screens))
        screen = QGuiApplication::screenAt(mainPos) ? QGuiApplication::screenAt(mainPos) : screen;
    else
        mainPos = screen->availableGeometry().topLeft();
    move(mainPos);

    QVector<QRect> taken{QRect(mainPos, mainFrame)};
    QVector<DispABase *> unplaced;
    QVector<QSize> frames;
    DispABase *const views[] = {&overallView, &crystalsView, &focusView, &imagingView};
    for (int i = 0; i < 4; ++i) {
        const QRect was = settings->value(QString::fromLatin1(kPlotKeys[i])).toRect();
        if (was.isValid())
            views[i]->resize(was.size());
        const QRect frame(was.topLeft(), views[i]->size().grownBy(kFrameAllowance));
        if (was.isValid() && reachableOnScreens(frame, screens)) {
            views[i]->move(was.topLeft());
            taken << frame;
        } else {
            unplaced << views[i];
            frames << frame.size();
        }
    }
    const QVector<QPoint> places = windowPlaces(screen->availableGeometry(), taken, frames);
    for (int i = 0; i < unplaced.size(); ++i)
        unplaced[i]->move(places[i]);
}

void Body::rememberWindowPlaces()
{
    const auto settings = placesSettings();
    settings->setValue(QStringLiteral("main"), pos());
    DispABase *const views[] = {&overallView, &crystalsView, &focusView, &imagingView};
    for (int i = 0; i < 4; ++i)
        settings->setValue(QString::fromLatin1(kPlotKeys[i]),
                           QRect(views[i]->pos(), views[i]->size()));
}
