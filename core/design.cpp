#include "design.h"

#include "bragg.h"
#include "numbers.h"

const QVector<Material> &materials()
{
    static const QVector<Material> list{{QStringLiteral("Si"), 5.4301},
                                        {QStringLiteral("Ge"), 5.6754}};
    return list;
}

DesignCrystal::DesignCrystal(const CrystalOptics &optics, double spacing) : CrystalOptics(optics)
{
    showValues(spacing);
}

void DesignCrystal::showValues(double spacing)
{
    texts = CrystalOptics::texts(spacing);
    showsOptics = true;
}

Design::Design()
{
    latticeConstant = QString::number(materials().first().latticeConstant, 'g', 6);
    spacingText = computedSpacingText();
    spacing = spacingText.toDouble();
}

QString Design::materialName() const
{
    return material >= 0 && material < materials().size() ? materials().at(material).name
                                                          : QString();
}

QString Design::computedSpacingText() const
{
    // Texts that are not numbers count as 0; all indices 0 give a non-finite spacing, shown as
    // QString::number writes it.
    const double d = Bragg::latticeSpacing(
        latticeConstant.toDouble(), indexH.toDouble(), indexK.toDouble(), indexL.toDouble());
    return QString::number(d, 'g', 6);
}

LayoutParams Design::layoutParams() const
{
    LayoutParams p;
    p.type = type;
    p.startEnergy = startEnergy.toDouble();
    p.energyStep = energyStep.toDouble();
    p.count = boundedCount(wholeNumber(count).value_or(0));
    p.dx = dx.toDouble();
    p.dy = dy.toDouble();
    p.length = length.toDouble();
    return p;
}

CrystalList Design::crystalList() const
{
    CrystalList list;
    list.reserve(crystals.size());
    for (const DesignCrystal &c : crystals)
        list.append(&c);
    return list;
}

DesignMaterial Design::bandsMaterial() const
{
    DesignMaterial m;
    m.material = materialName();
    m.h = indexH.toDouble();
    m.k = indexK.toDouble();
    m.l = indexL.toDouble();
    m.latticeConstant = latticeConstant.toDouble();
    m.spacing = spacing;
    m.startEnergy = startEnergy.toDouble();
    return m;
}
