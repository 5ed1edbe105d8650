#pragma once

#include "crystaldrawing.h"
#include "designdocument.h"
#include "ui_acrystal.h"

#include <QFrame>
#include <QPointer>
#include <QString>
struct DesignCrystal;
class QTextStream;

// One analyser crystal of the design: its optics (surface, beam rays, pens) as the plots draw it,
// and the row in which the user reads and edits its position, angle, energy and length. The row
// shows the design's texts and hands what the user types to the design. Its editor fields are
// built only when the row is first seen: a design of a thousand crystals costs a thousand empty
// frames until they scroll into view.
class ACrystal : public QFrame, public CrystalDrawing, private Ui_ACrystal
{
    Q_OBJECT

public:
    // A row of its own, built at once, showing a crystal at the angle in degrees, centred at
    // (x, y), for the shared lattice spacing `units.D` (the title row is one).
    ACrystal(double angle, double x, double y, double length, QWidget *parent = nullptr);
    // Crystal `number` (from 1) of the design, its fields built when it is first seen.
    ACrystal(DesignDocument *doc, int number, QWidget *parent = nullptr);
    ~ACrystal() override;

    // The crystal as the design holds it now: its optics, its texts and its number; its Angle and
    // Energy fields marked, with the reason as their tooltip, where it reflects nothing.
    void showCrystal(const DesignCrystal &crystal, int number);
    // Builds the editor fields if they are not there yet; they show the crystal's texts.
    void buildRow();
    bool rowBuilt() const { return built; }
    // The row's fields in the order of a design file (X, Y, Deg, Energy, Length, InBeamC,
    // BeamW); empty before the row is built.
    QVector<QLineEdit *> fields() const;

    // P := p, angle and length kept; rays and fields follow.
    void setStart(const Point &p);
    // Writes the seven values derived from the optics into the fields.
    void showValues();
    // One style sheet for the seven fields.
    void setFieldStyle(const QString &sheet);
    // The column-title row above the crystal list (not a crystal of the design).
    static ACrystal *makeHeader();

    // The crystal number shown at the start of the row.
    void setNumber(int number);
    int number() const { return shownNumber; }
    // The text of "Energy[eV]" as shown.
    QString energyText() const { return texts.energy; }
    // Why the crystal reflects nothing, as the design last traced it (None where it reflects).
    const NoReflection &noReflection() const { return why; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // After each of the four edits the row handed on.
    void updated();

    // Private slots first: the meta-object lists newPos, newAngle, newEnergy, newLength,
    // then save and load.
private slots:
    void newPos();
    void newAngle();
    void newEnergy();
    void newLength();

public slots:
    // The crystal's block of a design file, crystal index i. load() takes a line of it for this
    // crystal as an edit of that field.
    void save(int i, QTextStream &out);
    void load(int i, QString line);

private:
    // The texts in the fields of a built row, and the mark of a crystal that reflects nothing.
    void showTexts();
    // A field finished: its text handed on when the edit asks for it.
    void finish(QLineEdit *field, CrystalField which);

    QPointer<DesignDocument> doc;
    // The seven texts as the design holds them (or as this row shows them without a design).
    CrystalTexts texts;
    NoReflection why;
    bool built = false;
    // The number "No" shows; 0 before the first setNumber.
    int shownNumber = 0;
};
