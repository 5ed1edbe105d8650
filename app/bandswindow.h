#pragma once

#include "bandanalysis.h"
#include "designdocument.h"
#include "dispa.h"
#include "drawtext.h"

#include <QLabel>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPainter;
class QPushButton;
class QTabWidget;
class QTableView;
class BandsModel;
class RaysTab;

// The "Bands" window: the physics of the design's array lit by its source. The source group
// (distance, size, divergence, polarisation, the crystals' temperature and "Use Accepted
// Lattice Constant") hands its edits to the document as undo steps; a summary gives the
// reflection, the intrinsic widths at the start energy, how the intrinsic and the effective
// bands cover the array's range, the harmonics, the lattice constant offset and the focus
// quality. The "Bands" tab has a table with one row per crystal (exported as CSV) and a picture
// of the bands as bars on an energy axis, one row per crystal in the crystal colours, with the
// plot windows' grid, pan (left drag) and zoom (wheel), drawn at the design's labels or where a
// real crystal reflects; the "Rays" tab runs the Monte-Carlo check on request.
//
// The analysis is made only while the window is shown or when analysis() is asked for: a change
// of the design while it is hidden only marks the shown one out of date.
class BandsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BandsWindow(QWidget *parent = nullptr);
    ~BandsWindow() override;

    // The document whose design is shown and whose source the fields change.
    void setDocument(DesignDocument *document);
    // The analysis of the design as last changed, made now if it is out of date.
    const BandsAnalysis &analysis();

    // The picture: its surface and its default and current views (energy across, crystal
    // number up, the coverage strip at 0).
    DispA picture;
    QRectF realC0;
    QRectF realC;
    // Whether the bars stand where a real crystal reflects (lattice offset included) rather than
    // at the design's labels.
    bool atRealEnergies() const;
    RaysTab *raysTab() const { return rays; }

public slots:
    // The design was traced again, or its source changed.
    void designTraced();
    // Shows the window in front, up to date.
    void showWindow();
    // The picture back to its default view.
    void resetScale();
    // "Export Table...": the table as CSV through a file dialog.
    void exportTable();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void drawPicture(QPainter *p);
    void pictureMouseMoved();
    void pictureWheel(int step);
    void documentChanged(DesignDocument::Changes what);
    void sourceFieldFinished();
    void polarisationChosen(int index);
    void useAcceptedLattice();
    void barsMoved();

private:
    void refresh();
    void showSummary();
    void showSource();
    // Why the picture has no bar, or empty when it has.
    QString emptyReason() const;
    void saveTable(const QString &path);

    QPointer<DesignDocument> doc;
    BandsAnalysis current;
    bool stale = true;
    DrawText gridLabels;
    BandsModel *model = nullptr;
    QTableView *table = nullptr;
    QTabWidget *tabs = nullptr;
    RaysTab *rays = nullptr;
    QLabel *reflection = nullptr;
    QLabel *widths = nullptr;
    QLabel *coverage = nullptr;
    QLabel *effectiveCoverage = nullptr;
    QLabel *harmonics = nullptr;
    QLabel *lattice = nullptr;
    QLabel *focus = nullptr;
    QLabel *cursor = nullptr;
    QPushButton *reset = nullptr;
    QPushButton *exportButton = nullptr;
    QCheckBox *realEnergies = nullptr;
    QPointer<QFileDialog> tableDialog;
    // The source group.
    QLineEdit *distance = nullptr;
    QLineEdit *size = nullptr;
    QLineEdit *divergence = nullptr;
    QComboBox *polarisation = nullptr;
    QLineEdit *degree = nullptr;
    QLineEdit *temperature = nullptr;
    QPushButton *acceptedLattice = nullptr;
    QLabel *sourceNote = nullptr;
};
