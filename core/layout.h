#pragma once

#include "crystaloptics.h"

#include <QVector>

// Layout generation: the arrangement panel's parameters turned into crystal geometries, crystal
// i reflecting E0 + i dE (types 5 and 7 aim crystals 2 and up at the focus instead).

// More crystals than this are never laid out, whatever "Num of C." says.
inline constexpr int kMaxCrystals = 1000;

struct LayoutParams
{
    int type = 3;              // 1 to 7; anything else lays out as type 1
    double startEnergy = 8000; // E0, eV
    double energyStep = -15;   // dE, eV
    int count = 10;            // N
    double dx = 4;             // dX
    double dy = 1;             // dY
    double length = 4;         // L
};

// N as the layout uses it: at most kMaxCrystals.
int boundedCount(int n);

// Bragg angle in degrees of the energy for the spacing; -1 where nothing reflects it.
double braggAngle(double energyEv, double spacing);

// The crystals of the selected type, index 0 first, before any overall rotation.
QVector<CrystalOptics> layOut(const LayoutParams &params, double spacing);

// The energy E0 + i dE that crystal i was laid out for, when its angle is that energy's Bragg
// angle; NaN for a crystal aimed at the focus or turned with the others.
double
laidOutEnergy(const LayoutParams &params, int i, const CrystalOptics &crystal, double spacing);

// Turns every crystal rigidly about the origin by deg degrees (start point and surface angle);
// the incident beam stays along +x, so every energy changes with the new angle.
void rotateAll(QVector<CrystalOptics> &crystals, double deg);

// The crossing of the reflected centre rays of the first two crystals (the origin when they
// are parallel), taken whether or not it lies ahead of them.
Point focusOfFirstPair(const CrystalOptics &first, const CrystalOptics &second);

// Surface angle at q that sends the horizontal incident beam toward f when f lies up and to
// the right of q: half of |asin(v.y / |v|)| for v = f - q; 0 when q = f.
double aimAngle(const Point &q, const Point &f);
