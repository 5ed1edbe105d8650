#pragma once

#include "noreflection.h"

#include <QCoreApplication>
#include <QString>

class QLineEdit;

// The words for a crystal or a panel value that reflects nothing, in the interface's language, and
// the mark on its field: the tooltip of a crystal's Angle and Energy fields and of a panel field,
// and the status bar's summary after a change.
class NoReflectionText
{
    Q_DECLARE_TR_FUNCTIONS(NoReflectionText)

public:
    // "No Bragg reflection: 1000 eV is below the Si 1 1 1 cut-off of 1977.4 eV" and the like;
    // empty for None.
    static QString reason(const NoReflection &why, const Design &design);
    // "Crystals 403 to 1000 have no Bragg reflection: their energies fall below the 1977.4 eV
    // cut-off"; empty when every crystal reflects.
    static QString summary(const NoReflectionRuns &runs);
    // The reflection as the panels show it: "Si 1 1 1".
    static QString reflectionName(const Design &design);

    // The style sheet of a field that shows no reflection: a red background.
    static QString markStyle();
    // The field marked with the reason as its tooltip, or unmarked (style sheet `plain`) without
    // one; each set only on a change, as setting one again restyles the field.
    static void mark(QLineEdit *field, const QString &reason, const QString &plain = QString());
};
