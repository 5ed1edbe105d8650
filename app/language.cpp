#include "language.h"

#include <QCoreApplication>
#include <QTranslator>

bool loadJapaneseCatalogue(QTranslator &translator)
{
    // The search directory does not apply to a resource path; ".qm" is appended by load().
    return translator.load(QStringLiteral(":lumivard_ja_JP"),
                           QCoreApplication::applicationDirPath());
}
