#pragma once

#include "bandanalysis.h"
#include "crystaloptics.h"
#include "layout.h"
#include "trace.h"

#include <QString>
#include <QVector>
#include <QtNumeric>

// The fields of the panels that take typed numbers.
enum class PanelField {
    LatticeC,
    IndexH,
    IndexK,
    IndexL,
    StartE,
    DE,
    Num,
    DX,
    DY,
    Length,
    RotateAllDeg
};

// A material of the material panel's list, with the lattice constant its designs use.
struct Material
{
    QString name;
    double
        latticeConstant; // Angstrom, exactly as designs have always used it (Si 5.4301, Ge 5.6754)
};

// The materials in list order: the index a design file stores is into this list.
const QVector<Material> &materials();

// One crystal of a design: its optics to the last bit and the seven texts its row shows and a
// design file stores (leading blanks included). The texts are mostly the optics formatted, but a
// loaded crystal shows some as the file stored them, and an edit reads the texts, not the bits.
struct DesignCrystal : CrystalOptics
{
    DesignCrystal() = default;
    // A crystal of a layout, showing its optics for the spacing.
    DesignCrystal(const CrystalOptics &optics, double spacing);

    // The texts made again from the optics.
    void showValues(double spacing);

    CrystalTexts texts;
    // The texts are the optics formatted, nothing stored apart from them.
    bool showsOptics = true;
    // Changed in its row since the crystals were last laid out.
    bool editedByHand = false;
    // The energy its angle was made for: laid out (E0 + i dE), typed into "Energy[eV]", or that
    // of an angle typed into "Angle [deg]". It says what a crystal left at the no-reflection angle
    // was asked to reflect. None where the angle was set otherwise (turned with the others, aimed
    // at the focus, read from a file edited by hand): NaN.
    double askedEnergy = qQNaN();
};

// Everything a design file holds: the panels' texts as shown and stored, the choices, every
// crystal, the comment, the source; and the lattice spacing the crystals are laid out with, which
// the shown spacing gives when the material panel last computed it (a file may show another).
struct Design
{
    // The design the program starts with: Si 1 1 1, ten type-3 crystals from 8000 eV down in steps
    // of 15 eV (the crystals are laid out by the document).
    Design();

    // Material panel.
    int material = 0; // index into materials(); -1 for none (a file's index outside the list)
    QString latticeConstant;
    QString indexH = QStringLiteral("1");
    QString indexK = QStringLiteral("1");
    QString indexL = QStringLiteral("1");
    QString spacingText; // "d" as shown: the computed spacing to six significant digits
    double spacing = 0;  // Angstrom: what the layout and the crystals' energies use

    // Arrangement panel.
    int type = 3; // 1 to 7
    bool rotateAll = false;
    QString rotateAllDeg = QStringLiteral("0");
    QString startEnergy = QStringLiteral("8000");
    QString energyStep = QStringLiteral("-15");
    QString count = QStringLiteral("10");
    QString dx = QStringLiteral("4");
    QString dy = QStringLiteral("1");
    QString length = QStringLiteral("4");

    QVector<DesignCrystal> crystals;
    QString comment;

    // The source in front of the array and the crystals' temperature: what the Bands window's
    // physics takes. Stored after the comment, and only where they differ from the defaults.
    SourceParams source;

    // "Si", "Ge", or empty without a material.
    QString materialName() const;
    // The spacing the material panel computes from its lattice constant and indices, as it shows
    // it (six significant digits).
    QString computedSpacingText() const;
    // The arrangement as the layout reads it: texts that are not numbers count as 0, a count that
    // is not whole as 0, at most kMaxCrystals crystals.
    LayoutParams layoutParams() const;
    // The crystals in list order, as the tracing sees them.
    CrystalList crystalList() const;
    // The material as the physics of the bands reads it.
    DesignMaterial bandsMaterial() const;
};
