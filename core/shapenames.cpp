#include "shapenames.h"

#include <QCoreApplication>

#include <cmath>

CrystalPart crystalPart(int index)
{
    if (index < 0)
        return CrystalPart::None;
    static const CrystalPart parts[kShapesPerCrystal] = {CrystalPart::None,
                                                         CrystalPart::IncidentStartRay,
                                                         CrystalPart::IncidentCentreRay,
                                                         CrystalPart::IncidentEndRay,
                                                         CrystalPart::None,
                                                         CrystalPart::Surface,
                                                         CrystalPart::None,
                                                         CrystalPart::ReflectedStartRay,
                                                         CrystalPart::ReflectedCentreRay,
                                                         CrystalPart::ReflectedEndRay};
    return parts[index % kShapesPerCrystal];
}

QString shapeToolTip(int index, double energyEv)
{
    const char *name = nullptr;
    switch (crystalPart(index)) {
    case CrystalPart::None:
        return QString();
    case CrystalPart::IncidentStartRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "incident ray at the start point");
        break;
    case CrystalPart::IncidentCentreRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "incident centre ray");
        break;
    case CrystalPart::IncidentEndRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "incident ray at the end point");
        break;
    case CrystalPart::Surface:
        name = QT_TRANSLATE_NOOP("CrystalPart", "crystal surface");
        break;
    case CrystalPart::ReflectedStartRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "reflected ray from the start point");
        break;
    case CrystalPart::ReflectedCentreRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "reflected centre ray");
        break;
    case CrystalPart::ReflectedEndRay:
        name = QT_TRANSLATE_NOOP("CrystalPart", "reflected ray from the end point");
        break;
    }
    // One decimal as in "7910.0 eV"; an energy too large to print that way short goes in exponent
    // form, so that the tip stays one short line.
    const QString energy = std::fabs(energyEv) < 1e15 ? QString::number(energyEv, 'f', 1)
                                                      : QString::number(energyEv, 'e', 6);
    return QCoreApplication::translate("CrystalPart", "Crystal %1, %2 eV: %3")
        .arg(QString::number(index / kShapesPerCrystal + 1),
             energy,
             QCoreApplication::translate("CrystalPart", name));
}
