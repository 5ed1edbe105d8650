#pragma once

#include "design.h"

#include <QPair>
#include <QVector>

// Why a crystal, or a value of the panels, gives no Bragg reflection: codes and numbers, which
// the windows put into words. A crystal that reflects nothing keeps the values the layout and the
// file give it (the -1 degree marker, a negative energy); this only says why it is not real.
// Energies in eV, spacings and lattice constants in Angstrom.
struct NoReflection
{
    enum Kind {
        None,               // it reflects; or the value is not at fault
        BelowCutOff,        // 0 < energy at or below the cut-off hc / 2d
        ZeroEnergy,         // an energy of 0
        NegativeEnergy,     // an energy below 0
        InfiniteEnergy,     // an angle (0 degrees, say) whose energy is not finite
        UnknownEnergy,      // the no-reflection angle, from an energy no longer known
        NoSpacing,          // the design's spacing is not a finite positive length
        LatticeNotPositive, // "Lattice C." at or below 0
        NoPlanes,           // indices 0 0 0
        IndexNotWhole       // a Miller index with a fraction
    };
    Kind kind = None;
    double energy = 0; // the energy at fault (BelowCutOff, NegativeEnergy)
    double cutOff = 0; // hc / 2d where the spacing is a length
    double value = 0;  // the spacing, lattice constant or index at fault

    explicit operator bool() const { return kind != None; }
};

// Why an energy has no Bragg angle for the spacing (None when it has one).
NoReflection energyReflection(double energyEv, double spacing);

// Why the crystal reflects nothing as it stands: the energy of its angle, explained by the energy
// it was asked for where that left it at the no-reflection angle. None when it reflects.
NoReflection crystalReflection(const DesignCrystal &crystal, double spacing);

// One per crystal of the design, in order.
QVector<NoReflection> crystalReflections(const Design &design);

// Why no crystal can reflect with the value a panel field holds (None where that value is not at
// fault): Lattice C. at or below 0, indices 0 0 0 or with a fraction, a start energy without a
// Bragg angle. Values are read as the layout reads them (a text that is not a number is 0).
NoReflection panelReflection(const Design &design, PanelField field);

// The crystals that reflect nothing, as runs of consecutive numbers (from 1), and the one cause
// they share.
struct NoReflectionRuns
{
    QVector<QPair<int, int>> runs; // first and last crystal number of each run
    int count = 0;
    // BelowCutOff when every energy at fault falls below the cut-off (zero and negative energies,
    // and lost ones at the no-reflection angle, too); NoSpacing when the spacing is at fault;
    // None for causes that differ.
    NoReflection::Kind cause = NoReflection::None;
    double cutOff = 0;
    double spacing = 0; // NoSpacing: the spacing
};
NoReflectionRuns noReflectionRuns(const QVector<NoReflection> &reasons);
