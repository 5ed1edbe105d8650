#include "noreflection.h"

#include "bragg.h"

#include <cmath>

namespace {

bool isLength(double spacing)
{
    return spacing > 0 && std::isfinite(spacing);
}

NoReflection noSpacing(double spacing)
{
    NoReflection r;
    r.kind = NoReflection::NoSpacing;
    r.value = spacing;
    return r;
}

// Within the rounding of the row's six decimals of the no-reflection angle.
bool showsMarker(double deg)
{
    return std::abs(deg - Bragg::noReflectionDeg) < 5e-7;
}

bool fallsBelowCutOff(NoReflection::Kind k)
{
    return k == NoReflection::BelowCutOff || k == NoReflection::ZeroEnergy
           || k == NoReflection::NegativeEnergy || k == NoReflection::UnknownEnergy;
}

} // namespace

NoReflection energyReflection(double energyEv, double spacing)
{
    if (!isLength(spacing))
        return noSpacing(spacing);
    NoReflection r;
    r.energy = energyEv;
    r.cutOff = Bragg::cutOffEnergy(spacing);
    if (!std::isfinite(energyEv))
        r.kind = NoReflection::InfiniteEnergy;
    else if (energyEv == 0)
        r.kind = NoReflection::ZeroEnergy;
    else if (energyEv < 0)
        r.kind = NoReflection::NegativeEnergy;
    else if (!Bragg::reflects(energyEv, spacing))
        r.kind = NoReflection::BelowCutOff;
    return r;
}

NoReflection crystalReflection(const DesignCrystal &crystal, double spacing)
{
    if (!isLength(spacing))
        return noSpacing(spacing);
    const double own = crystal.energyEv(spacing);
    if (Bragg::reflects(own, spacing))
        return {};
    // The energy it was asked for says why where it has no Bragg angle itself: the angle is then
    // the marker, whose own energy (-113301 eV for Si 1 1 1) explains nothing.
    if (!std::isnan(crystal.askedEnergy)) {
        const NoReflection asked = energyReflection(crystal.askedEnergy, spacing);
        if (asked)
            return asked;
    }
    NoReflection r = energyReflection(own, spacing);
    if (showsMarker(crystal.angleDeg())) {
        r.kind = NoReflection::UnknownEnergy;
        r.energy = 0;
    }
    return r;
}

QVector<NoReflection> crystalReflections(const Design &design)
{
    QVector<NoReflection> reasons;
    reasons.reserve(design.crystals.size());
    for (const DesignCrystal &c : design.crystals)
        reasons.append(crystalReflection(c, design.spacing));
    return reasons;
}

NoReflection panelReflection(const Design &design, PanelField field)
{
    NoReflection r;
    switch (field) {
    case PanelField::LatticeC:
        r.value = design.latticeConstant.toDouble();
        if (!(r.value > 0))
            r.kind = NoReflection::LatticeNotPositive;
        return r;
    case PanelField::IndexH:
    case PanelField::IndexK:
    case PanelField::IndexL: {
        const double h = design.indexH.toDouble();
        const double k = design.indexK.toDouble();
        const double l = design.indexL.toDouble();
        if (h == 0 && k == 0 && l == 0) {
            r.kind = NoReflection::NoPlanes;
            return r;
        }
        r.value = field == PanelField::IndexH ? h : field == PanelField::IndexK ? k : l;
        if (r.value != std::floor(r.value))
            r.kind = NoReflection::IndexNotWhole;
        return r;
    }
    case PanelField::StartE:
        // Without a spacing the fault is the material panel's, not the energy's.
        if (!isLength(design.spacing))
            return r;
        return energyReflection(design.startEnergy.toDouble(), design.spacing);
    case PanelField::DE:
    case PanelField::Num:
    case PanelField::DX:
    case PanelField::DY:
    case PanelField::Length:
    case PanelField::RotateAllDeg:
        break;
    }
    return r;
}

NoReflectionRuns noReflectionRuns(const QVector<NoReflection> &reasons)
{
    NoReflectionRuns runs;
    bool first = true;
    for (int i = 0; i < reasons.size(); ++i) {
        const NoReflection &r = reasons.at(i);
        if (!r)
            continue;
        const int number = i + 1;
        if (!runs.runs.isEmpty() && runs.runs.last().second == number - 1)
            runs.runs.last().second = number;
        else
            runs.runs.append({number, number});
        ++runs.count;
        const NoReflection::Kind cause
            = fallsBelowCutOff(r.kind) ? NoReflection::BelowCutOff : r.kind;
        if (first) {
            runs.cause = cause;
            runs.cutOff = r.cutOff;
            runs.spacing = r.value;
            first = false;
        } else if (cause != runs.cause) {
            runs.cause = NoReflection::None;
        }
    }
    if (runs.cause != NoReflection::BelowCutOff && runs.cause != NoReflection::NoSpacing)
        runs.cause = NoReflection::None;
    return runs;
}
