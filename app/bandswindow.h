#pragma once

#include "bandanalysis.h"
#include "dispa.h"
#include "drawtext.h"

#include <QLabel>
#include <QRectF>
#include <QWidget>

#include <functional>

class QPainter;
class QPushButton;
class QTableView;
class BandsModel;

// The "Bands" window: the physics of the design's array. A summary (the reflection, the
// intrinsic widths at the start energy, how the bands cover the array's range, the lattice
// constant offset and the focus quality), a table with one row per crystal, and a picture of
// the bands as bars on an energy axis, one row per crystal in the crystal colours, with the
// plot windows' grid, pan (left drag) and zoom (wheel).
//
// The analysis is made only while the window is shown or when analysis() is asked for: a
// trace of the design while it is hidden only marks the shown one out of date.
class BandsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BandsWindow(QWidget *parent = nullptr);
    ~BandsWindow() override;

    // Where the analysis of the current design comes from.
    void setSource(std::function<BandsAnalysis()> source);
    // The analysis of the design as last traced, made now if it is out of date.
    const BandsAnalysis &analysis();

    // The picture: its surface and its default and current views (energy across, crystal
    // number up, the coverage strip at 0).
    DispA picture;
    QRectF realC0;
    QRectF realC;

public slots:
    // The design was traced again.
    void designTraced();
    // Shows the window in front, up to date.
    void showWindow();
    // The picture back to its default view.
    void resetScale();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void drawPicture(QPainter *p);
    void pictureMouseMoved();
    void pictureWheel(int step);

private:
    void refresh();
    void showSummary();

    std::function<BandsAnalysis()> source;
    BandsAnalysis current;
    bool stale = true;
    DrawText gridLabels;
    BandsModel *model = nullptr;
    QTableView *table = nullptr;
    QLabel *reflection = nullptr;
    QLabel *widths = nullptr;
    QLabel *coverage = nullptr;
    QLabel *lattice = nullptr;
    QLabel *focus = nullptr;
    QLabel *cursor = nullptr;
    QPushButton *reset = nullptr;
};
