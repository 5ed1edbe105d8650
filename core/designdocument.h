#pragma once

#include "design.h"
#include "designfile.h"
#include "geometry.h"
#include "noreflection.h"
#include "undostack.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QVector>

// The fields of the Bands window's source group, in file order.
enum class SourceField { Distance, Size, Divergence, Polarisation, Temperature };

// The source with one field set from a text as the field takes it, or none for a text it
// refuses: the distance a number above 0, the size from 0, the divergence from 0 to
// kMaxDivergence microradians, the polarisation sigma, pi, unpolarised or a degree from -1 to 1,
// the temperature above absolute zero (-273.15 degrees C). Whether a material has a lattice
// constant at that temperature is the analysis's question, not the field's.
std::optional<SourceParams>
sourceWith(const SourceParams &source, SourceField field, const QString &text);
// A divergence of one radian FWHM: beyond it rays would leave backwards.
inline constexpr double kMaxDivergence = 1e6;

// Why an edit was not made.
struct EditError
{
    enum Kind {
        None,
        UnknownName,  // no field has that name
        Refused,      // the field refuses the value (not a number, not whole, not a choice)
        NoSuchCrystal // crystal N does not exist
    };
    Kind kind = None;
    QString message; // as the command line says it: "--set NAME=VALUE: ..."

    explicit operator bool() const { return kind != None; }
};

// The outcome of reading a design file.
struct ReadResult
{
    enum Status {
        Read,       // the design is the file's
        CannotRead, // the file cannot be opened (error says why); nothing changed
        NoDesign    // the file holds no design; nothing changed
    };
    Status status = Read;
    QString error;
    // What the load did not understand, in line order.
    QVector<DesignFile::Note> notes;
};

// What the focus read-outs stand on, as the last tracing left it.
struct FocusState
{
    int reflecting = 0;      // crystals with a Bragg reflection
    bool entryAdded = false; // the tracing added an entry to both histories
    // Pairs the averaged focus takes although no beams meet there.
    PairCounts pairs;
    // Of the reflected centre lines of the crystals that reflect (the Bands window's).
    std::optional<Point> leastSquares;
    double rms = 0;

    // The design has a focus of its own: two crystals or more reflect.
    bool hasFocus() const { return reflecting >= 2; }
};

// A design and what was done to it: the design as its file holds it, the crossings and centres of
// its last tracing, the histories of the focus and the image point, the current file, and the
// undo steps. Every change goes through here exactly as typing into a field and pressing Return,
// clicking a choice or loading a file does in the windows; the windows show what this holds and
// hand it what the user did. No widget in sight: batch runs and scripts use it alone.
class DesignDocument : public QObject
{
    Q_OBJECT

public:
    // What a change touched, so that a view refreshes only that.
    enum Change {
        DesignChanged = 1,    // texts, choices, crystals or comment
        Traced = 2,           // the crystals were traced again: crossings, centres, a new entry
        HistoriesChanged = 4, // the histories restarted ("Rest CPs")
        FileChanged = 8,      // the current file, or whether the design differs from it
        SourceChanged = 16    // the source or the temperature: only the bands' physics
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // The design the program starts with, laid out and traced once.
    explicit DesignDocument(QObject *parent = nullptr);
    ~DesignDocument() override;

    // The same design with the same traced points, histories and current file, and no undo steps.
    void copyFrom(const DesignDocument &other);

    const Design &design() const { return current; }
    // The crossing of the reflected centre rays of every pair (i, j), i < j, in pair order, and
    // the middle of every surface, as the last tracing left them.
    const PointList &crossings() const { return crossPoints; }
    const PointList &centres() const { return centrePoints; }
    // One entry per tracing with two crystals or more (and per restart).
    const PointList &focusHistory() const { return avrCps; }
    const PointList &imageHistory() const { return avrIps; }
    // Why each crystal reflects nothing (None where it reflects), and the focus read-outs' state,
    // as the last tracing left them.
    const QVector<NoReflection> &crystalReflections() const { return reflections; }
    const FocusState &focusState() const { return focus; }

    // --set NAME=VALUE: typing VALUE into the field NAME and pressing Return, or clicking the
    // choice (Type 1 to 7, Material Si or Ge in any case, RotateAll=deg types the angle and ticks
    // the box, Index=h,k,l types the three indices), or crystal.N.FIELD for crystal N (from 1);
    // the source's fields Source.Distance, Source.Size, Source.Divergence, Polarisation and
    // Temperature. Nothing changes when it is refused.
    EditError apply(const QString &name, const QString &value);
    // Whether apply() knows the name and, for names whose values are choices, why the value is
    // not one; an empty message when the value may be typed.
    static EditError check(const QString &name, const QString &value);

    // A panel field finished with text (Return, or leaving it changed): the crystals are laid
    // out again. False, with nothing changed, for a text the field refuses.
    bool setPanelText(PanelField field, const QString &text);
    // Several panel fields finished at once (texts put in by a program, then a Return): the
    // texts the fields take, then one layout. False when the fields refused every text.
    bool setPanelTexts(const QVector<QPair<PanelField, QString>> &edits);
    // Material i of materials(); choosing the material shown changes nothing.
    void selectMaterial(int index);
    // Type 1 to 7; choosing the type shown changes nothing.
    void selectType(int type);
    void setRotateAll(bool on);
    // The crystals laid out afresh from the panels as they stand.
    void layOutAgain();
    // The spacing shown (a file's, say) taken for the layout, and the crystals laid out again.
    void useShownSpacing();
    // The crystals traced again as they stand: one more entry in the histories.
    void traceAgain();
    // A field of crystal `index`'s row finished with text: the crystal is moved, turned or
    // resized from its texts and the design traced again; "In Beam C." and "Beam W." only keep
    // the text. False, with nothing changed, for a text the field refuses or no such crystal.
    bool setCrystalText(int index, CrystalField field, const QString &text);
    // The comment as finished.
    void setComment(const QString &text);
    // A field of the source group finished with text: one undo step when the value changed.
    // False, with nothing changed, for a text the field refuses (see sourceWith).
    bool setSourceText(SourceField field, const QString &text);
    // The whole source at once; false, with nothing changed, when it is not valid.
    bool setSource(const SourceParams &source);
    // The lattice constant of a real crystal of the design's material at the source's
    // temperature (Angstrom), none for a material or temperature without one.
    std::optional<double> acceptedLatticeConstant() const;
    // "Use accepted lattice constant": Lattice C. set to that value as typed into the field
    // (its ten significant digits, the published precision) and the crystals laid out again:
    // one undo step. False, with nothing changed, when there is none.
    bool useAcceptedLatticeConstant();
    // The text useAcceptedLatticeConstant() types.
    static QString latticeConstantText(double a);
    // "Rest CPs": both histories start again from the current focus.
    void restartHistories();

    // What a save writes now.
    QString text() const;
    // One line of a design file's material or arrangement block (or the comment) taken as a load
    // takes it: the texts and choices as stored, nothing laid out.
    void storeLine(const QString &line);
    // Reads a design file's text as Load does: the panels as stored, the crystals laid out at the
    // marker and then stood as stored. One undo step; the current file does not change.
    ReadResult read(const QString &text);
    // Load: reads the file, which becomes the current one (one undo step, which also gives
    // back the current file).
    ReadResult load(const QString &path);
    // Save: writes the file whole or not at all; it becomes the current one. False, with the
    // reason in *error, when it cannot be written.
    bool save(const QString &path, QString *error = nullptr);

    // The design file last saved or loaded (absolute), empty when none.
    QString currentFile() const { return currentPath; }
    // The design differs from what a save to the current file last wrote (or from the design at
    // the start or after the last load).
    bool isModified() const { return recordedText != savedText; }

    // One step per change of the design, at most kUndoSteps.
    UndoStack &undoStack() { return steps; }
    // Whether changes are kept as undo steps (they are unless turned off). A run that nobody
    // undoes, such as a sweep, turns them off: a change then skips packing the design for its
    // step. Turning them off drops the steps kept.
    void setKeepsUndoSteps(bool keep);
    static constexpr int kUndoSteps = 200;

signals:
    void changed(DesignDocument::Changes what);
    // The crossings and centres are about to be made anew: a view sharing them lets go now, so that
    // they are written in place rather than copied (half a million crossings at 1000 crystals).
    void aboutToTrace();
    // "Num of C." above the bound was laid out as kMaxCrystals crystals.
    void countBounded(int asked);
    // "Num of C." below 1 was laid out as `laidOut` crystals (one, none for type 6, two for
    // types 5 and 7).
    void countRaised(int asked, int laidOut);
    // A new layout of the user's replaced `count` crystals edited by hand (not sent for the
    // layout of a load or an undo, which replace the whole design).
    void handEditsReplaced(int count);

private:
    // Lays the crystals out from the panels, then traces.
    void layOut();
    // Crosses the reflected centre rays, adds the focus and the image point to the histories,
    // records an undo step when the design changed.
    void trace();
    // The material panel computed its spacing: shown to six digits, then used for the layout.
    void computeSpacing();
    void recordChange();
    // The steps of a change are one: at most one announcement, at its end.
    void announce(Changes what);
    ReadResult readText(const QString &text);
    // A line of the panels' blocks stored as read; true when the line has a panel's key. What is
    // not a number where one belongs is noted, with the line's number.
    bool storePanelLine(const QString &line, int lineNumber, QVector<DesignFile::Note> *notes);
    void restore(const QByteArray &packed, const UndoStack::FileState *file);

    Design current;
    PointList crossPoints;
    PointList centrePoints;
    PointList avrCps;
    PointList avrIps;
    QVector<NoReflection> reflections;
    FocusState focus;

    QString currentPath;
    // The design as the last undo step left it (and packed), and what the current file holds.
    QString recordedText;
    QByteArray recordedPacked;
    QString savedText;
    bool recording = false; // off while starting, reading and undoing
    bool keepsSteps = true;
    UndoStack steps;

    // Changes made since the outermost operation began; announced when it ends.
    int depth = 0;
    Changes pending;
    friend class ChangeScope;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DesignDocument::Changes)
Q_DECLARE_METATYPE(DesignDocument::Changes)

// A design packed for keeping: the panels, and only those crystals that differ from what the
// layout gives for them (a design as laid out packs to a few hundred bytes), compressed. Unpacked,
// it is the same design to the last bit.
QByteArray packDesign(const Design &design);
Design unpackDesign(const QByteArray &packed);
