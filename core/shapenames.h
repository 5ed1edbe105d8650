#pragma once

#include <QString>

// What a shape of the drawn list is. The list holds ten shapes per crystal, in the order that
// appendShapes() gives: incident pen and rays, crystal pen and surface, reflected pen and rays.
// "Start" and "end" are the surface's start point P and end point E, the rays' starting points.
enum class CrystalPart {
    None, // a pen, or an index outside the list
    IncidentStartRay,
    IncidentCentreRay,
    IncidentEndRay,
    Surface,
    ReflectedStartRay,
    ReflectedCentreRay,
    ReflectedEndRay
};

constexpr int kShapesPerCrystal = 10;

// The part that shape `index` of the list draws (None for the pens and negative indices).
CrystalPart crystalPart(int index);

// The hover text of shape `index`, whose crystal reflects energyEv: "Crystal 7, 7910.0 eV:
// reflected centre ray" (the crystal number is index / 10 + 1, the energy with one decimal).
// Empty for a pen or a negative index. Translated in the context "CrystalPart".
QString shapeToolTip(int index, double energyEv);
