#pragma once

#include "crystaldrawing.h"
#include "drawtext.h"
#include "picture.h"
#include "shapes.h"
#include "trace.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

class ChCoord;
class DesignDocument;
class QPainter;

// The four plot windows, in the order they are set up.
enum class PlotView { Overall, Crystals, Focus, Imaging };
constexpr PlotView kPlotViews[]
    = {PlotView::Overall, PlotView::Crystals, PlotView::Focus, PlotView::Imaging};

// A plot window's name on the command line and in the settings: "overall", "crystals", "focus",
// "imaging".
QString plotViewKey(PlotView which);
// The window whose key this is; false for any other text.
bool plotViewFromKey(const QString &key, PlotView *which);
// The window's name where the user chooses one ("Overall", "Crystals", "Focus Point",
// "Imaging Point"), translated in the context "Body".
QString plotViewName(PlotView which);
// The title of a plot window: its name, but the overall window has none.
QString plotWindowTitle(PlotView which);
// The size a plot window opens at: 900 x 600, 600 x 400, 400 x 400, 400 x 400.
QSize plotWindowSize(PlotView which);

// What every plot window shows of a design, each through its own view: the grid, every crystal
// with its beams (ten shapes each, one of them perhaps highlighted), the crossings, the histories
// of the focus and the image point with their labels and tracks, the measuring line and the middle
// of the array.
struct SceneContent
{
    const QVector<Shape *> &shapes;
    int selectedShape;
    const Points &crossPoints;
    const Points &centres;
    const Points &avrCps;
    const Points &avrIps;
    const Line &measLine;
    const DrawText &gridLabels;
};

// Paints the scene through cc, whose screen side the caller has set, with cc's world set from
// view (x, y the lower left corner). A view that maps to no finite pixels shows nothing.
void drawScene(QPainter *p, ChCoord *cc, const QRectF &view, const SceneContent &scene);
// The same in two parts, drawn one after the other: the grid, the shapes, the crossings and the
// histories (false, with nothing drawn, for a view that maps to no finite pixels), then the
// measuring line and the middle of the array over them. A picture of the first part, kept, serves
// a window whose cursor or measurement alone moves.
bool drawSceneBase(QPainter *p, ChCoord *cc, const QRectF &view, const SceneContent &scene);
void drawSceneTop(QPainter *p, ChCoord *cc, const SceneContent &scene);

// The focus history in its dashed purple track, the image history in blue, both labelled.
void styleHistories(Points &avrCps, Points &avrIps);

// The measuring line as a window starts with it: the unit segment along +x from the origin.
Line startingMeasLine();

// A design's scene without a window: the crystals coloured and listed, the traced points and the
// histories as the document holds them, the views each window starts with.
class DesignScene
{
public:
    explicit DesignScene(const DesignDocument &doc);

    SceneContent content() const;
    // The view window `which` shows after "Scale Reset": the whole design, the crystals, or the
    // newest focus or image point in the middle of a 20 x 20 view.
    QRectF defaultView(PlotView which) const;

private:
    QVector<CrystalDrawing> crystals;
    QVector<Shape *> shapes;
    Points crossPoints, centres, avrCps, avrIps;
    Line measLine;
    DrawText gridLabels;
};

// Window `which`'s picture at its default view, as the window paints it, its texts laid out at the
// primary screen's resolution (96 dpi without a screen). It draws `scene`, which must outlive it.
PlotPicture defaultViewPicture(const DesignScene &scene, PlotView which);

// The view that fits the whole design (every beam's start, every surface's middle, the focus).
QRectF designView(const CrystalList &crystals, const PointList &crossings);
// The views of the Focus Point and Imaging Point windows keep their size and follow the newest
// entry of their history (the origin while it is empty).
QRectF followingView(const QRectF &view, const PointList &history);
