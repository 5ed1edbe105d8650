#pragma once

#include "crystaldrawing.h"
#include "ui_acrystal.h"

#include <QFrame>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class QTextStream;

// One analyser crystal: its optics (surface, beam rays, pens) and the row in which the user
// reads and edits its position, angle, energy and length. The row shows the geometry and
// edits it through the fields' texts; the lattice spacing is the shared `units.D`.
class ACrystal : public QFrame, public CrystalDrawing, private Ui_ACrystal
{
    Q_OBJECT

public:
    // Angle in degrees, (x, y) the centre.
    ACrystal(double angle, double x, double y, double length, QWidget *parent = nullptr);
    // A crystal with a geometry computed elsewhere (a layout), taken over bit for bit.
    explicit ACrystal(const CrystalOptics &geometry, QWidget *parent = nullptr);
    ~ACrystal() override;

    // The row made a crystal of a new layout: the geometry taken over bit for bit, the pens as a
    // new crystal has them, the fields shown again, nothing that load() set still pending. The
    // number and the connections stay.
    void takeGeometry(const CrystalOptics &geometry);
    // P := p, angle and length kept; rays and fields follow.
    void setStart(const Point &p);
    // Writes the seven derived values into the fields.
    void showValues();
    // One style sheet for the seven fields.
    void setFieldStyle(const QString &sheet);
    // The column-title row above the crystal list (not a crystal of the design).
    static ACrystal *makeHeader();

    // The crystal number shown at the start of the row.
    void setNumber(int number);
    // The text of "Energy[eV]" as shown.
    QString energyText() const;

    // Keys of a crystal's block of a design file, in file order (each followed by "i : ").
    static QStringList fileKeys();
    // The crystal index that a line of a crystal block names, or -1 when the line is not one
    // ("# Crystal Deg        : 3 : ..." names 3; the index is written without blanks or zeros).
    static int lineIndex(const QString &line);
    // Makes the crystal what the lines given to load() since the last restore stored: centre,
    // angle and signed length, and an energy that agrees with the angle or else turns the
    // crystal to its Bragg angle about the start point. What no line stored stays as it is.
    // Shows the fields again; emits nothing.
    void restore();

signals:
    // After each of the four edits.
    void updated();

    // Private slots first: the meta-object lists newPos, newAngle, newEnergy, newLength,
    // then save and load.
private slots:
    void newPos();
    void newAngle();
    void newEnergy();
    void newLength();

public slots:
    // The crystal's block of a design file, crystal index i. load() only sets the field of a
    // line for this crystal; restore() then applies the whole block at once.
    void save(int i, QTextStream &out);
    void load(int i, QString line);

private:
    void setUpRow();
    // The row's fields with their design-file keys, in file order.
    QVector<QPair<QString, QLineEdit *>> fileFields() const;

    // Which of the fields, as bits in file order, load() has set since the last restore().
    int loadedFields = 0;
    // The number "No" shows; 0 before the first setNumber.
    int shownNumber = 0;
};
