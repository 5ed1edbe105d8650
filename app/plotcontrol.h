#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QThreadPool>

#include <map>

class Body;
class DispABase;
class QPainter;

// The main window's plot windows at work: painting the scene (from a kept picture where only the
// cursor or the measurement moved), the read-outs of the window painted last, and the mouse: the
// shape under a still button highlighted and named in a tooltip, left drag pans, right drag
// measures, the wheel zooms about the cursor.
class PlotControl : public QObject
{
    Q_OBJECT

public:
    explicit PlotControl(Body &window);

    // The scene of window w into p, as its paint asks for it, and the read-outs.
    void draw(DispABase *w, QPainter *p);
    // A mouse move or a wheel turn recorded by window w.
    void mouseMoved(DispABase *w);
    void wheelMoved(DispABase *w, int step);
    // The design or its traced points changed: no kept picture shows it.
    void sceneChanged();
    // Whether a new scene's pictures may be drawn on a second thread (by default where the machine
    // has two cores; off, every picture is drawn on the GUI thread, as for counting instructions).
    static void setSecondThread(bool on);
    // The focus read-outs after a tracing: "Avr. Cross Points" marked, with a tooltip, when its
    // average takes in parallel pairs or crossings behind the crystals, and then the least-squares
    // focus of the crystals that reflect shown beside it.
    void showFocusState();
    // What the focus and image read-outs say of a design with fewer than two crystals that reflect.
    static QString noFocusText();
    // How often a kept picture was drawn anew (a paint that could reuse one did not).
    int picturesDrawn() const { return drawnAnew; }

private:
    // Names the highlighted shape of window w in a tooltip at the cursor, or hides the tooltip.
    void showShapeToolTip(DispABase *w);
    // Draws the scene's first part into w's kept picture unless the picture already shows it,
    // then the picture into p; false where p does not paint into an image.
    bool drawKept(DispABase *w, QPainter *p);

    // How a window's paint starts: its surface's format, size and resolution, the painter's
    // state.
    struct PaintStart
    {
        QImage::Format format = QImage::Format_Invalid;
        qreal ratio = 1;
        QSize size;            // the window's, in its own pixels
        int dotsPerMeterX = 0; // texts are laid out at the window's resolution
        int dotsPerMeterY = 0;
        QPen pen;
        QBrush brush;
        QFont font;
        QBrush background;
        QPainter::RenderHints hints;

        bool operator==(const PaintStart &o) const
        {
            return format == o.format && ratio == o.ratio && size == o.size
                   && dotsPerMeterX == o.dotsPerMeterX && dotsPerMeterY == o.dotsPerMeterY
                   && pen == o.pen && brush == o.brush && font == o.font
                   && background == o.background && hints == o.hints;
        }
    };
    // What a kept picture shows: the scene as it was, through a view, at a size, from a start.
    struct Kept
    {
        QImage picture;
        PaintStart start;
        quint64 scene = 0;
        QRectF view;
        int selected = -1;
        bool fastPaths = true;
        bool drawn = false; // false when the view showed nothing
    };
    PaintStart startOf(const DispABase *w, const QImage &device, const QPainter *p) const;
    bool shows(const Kept &k, const DispABase *w, const PaintStart &start) const;
    // Draws w's picture anew from start; safe on another thread while the GUI thread waits.
    void drawPicture(DispABase *w, Kept &k, const PaintStart &start);
    // Draws w's picture and those of the other shown windows that a new scene left behind (they
    // are painted next), on two threads where the machine has two cores.
    void drawNewScene(DispABase *w, const PaintStart &start);

    Body &window;
    std::map<const DispABase *, Kept> kept;
    QThreadPool helper; // one thread, kept: it draws with its own disc masks
    quint64 scene = 1;
    int drawnAnew = 0;
};
