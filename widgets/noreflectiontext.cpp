#include "noreflectiontext.h"

#include <QLineEdit>

namespace {

// An energy as typed or laid out, without trailing zeros: "1000", "7950.5", "-113301.0515".
QString energyText(double e)
{
    return QString::number(e, 'g', 10);
}

// The cut-off to a tenth of an eV.
QString cutOffText(double e)
{
    return QString::number(e, 'f', 1);
}

QString lengthText(double v)
{
    return QString::number(v, 'g', 6);
}

// At most this many runs of crystals are listed; the rest are "others".
constexpr int kListedRuns = 5;

} // namespace

QString NoReflectionText::reflectionName(const Design &d)
{
    return QStringList{d.materialName(), d.indexH.trimmed(), d.indexK.trimmed(), d.indexL.trimmed()}
        .join(QLatin1Char(' '))
        .trimmed();
}

QString NoReflectionText::reason(const NoReflection &why, const Design &d)
{
    switch (why.kind) {
    case NoReflection::None:
        break;
    case NoReflection::BelowCutOff:
        return (why.energy < why.cutOff
                    ? tr("No Bragg reflection: %1 eV is below the %2 cut-off of %3 eV")
                    : tr("No Bragg reflection: %1 eV is at the %2 cut-off of %3 eV"))
            .arg(energyText(why.energy), reflectionName(d), cutOffText(why.cutOff));
    case NoReflection::ZeroEnergy:
        return tr("No Bragg reflection: an energy of 0 eV has no Bragg angle");
    case NoReflection::NegativeEnergy:
        return tr("No Bragg reflection: %1 eV is a negative energy").arg(energyText(why.energy));
    case NoReflection::InfiniteEnergy:
        return tr("No Bragg reflection: the energy of this angle is not finite");
    case NoReflection::UnknownEnergy:
        return tr("No Bragg reflection: the angle of -1° marks an energy below the %1 cut-off of "
                  "%2 eV")
            .arg(reflectionName(d), cutOffText(why.cutOff));
    case NoReflection::NoSpacing:
        return tr("No Bragg reflection: the planes have no spacing (d = %1 Å)")
            .arg(lengthText(why.value));
    case NoReflection::LatticeNotPositive:
        return tr("No crystal can reflect: a lattice constant of %1 Å gives the planes no spacing")
            .arg(lengthText(why.value));
    case NoReflection::NoPlanes:
        return tr("No crystal can reflect: 0 0 0 are no planes");
    case NoReflection::IndexNotWhole:
        return tr("No crystal can reflect: Miller indices are whole numbers, and %1 is not")
            .arg(lengthText(why.value));
    }
    return QString();
}

QString NoReflectionText::summary(const NoReflectionRuns &runs)
{
    if (runs.count == 0)
        return QString();
    QStringList items;
    for (int i = 0; i < runs.runs.size() && i < kListedRuns; ++i) {
        const QPair<int, int> &r = runs.runs.at(i);
        items << (r.first == r.second ? QString::number(r.first)
                                      : tr("%1 to %2").arg(r.first).arg(r.second));
    }
    QString list = items.takeFirst();
    for (int i = 0; i < items.size(); ++i) {
        const bool last = i + 1 == items.size() && runs.runs.size() <= kListedRuns;
        list = (last ? tr("%1 and %2") : tr("%1, %2")).arg(list, items.at(i));
    }
    if (runs.runs.size() > kListedRuns)
        list = tr("%1 and others").arg(list);

    const bool one = runs.count == 1;
    const QString which = one ? tr("Crystal %1 has no Bragg reflection").arg(list)
                              : tr("Crystals %1 have no Bragg reflection").arg(list);
    switch (runs.cause) {
    case NoReflection::BelowCutOff:
        return (one ? tr("%1: its energy falls below the %2 eV cut-off")
                    : tr("%1: their energies fall below the %2 eV cut-off"))
            .arg(which, cutOffText(runs.cutOff));
    case NoReflection::NoSpacing:
        return tr("%1: the planes have no spacing (d = %2 Å)").arg(which, lengthText(runs.spacing));
    default:
        break;
    }
    return which;
}

QString NoReflectionText::markStyle()
{
    return QStringLiteral("background-color: rgb(255, 160, 160);");
}

void NoReflectionText::mark(QLineEdit *field, const QString &reason, const QString &plain)
{
    const QString sheet = reason.isEmpty() ? plain : markStyle();
    if (field->styleSheet() != sheet)
        field->setStyleSheet(sheet);
    if (field->toolTip() != reason)
        field->setToolTip(reason);
}
