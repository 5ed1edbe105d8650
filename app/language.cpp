#include "language.h"

#include <QCoreApplication>
#include <QTranslator>

bool japaneseInterface(const QStringList &args)
{
    bool japanese = true;
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("-j"))
            japanese = true;
        else if (args.at(i) == QLatin1String("-e"))
            japanese = false;
    }
    return japanese;
}

bool loadJapaneseCatalogue(QTranslator &translator)
{
    // The search directory does not apply to a resource path; ".qm" is appended by load().
    return translator.load(QStringLiteral(":lumivard_ja_JP"),
                           QCoreApplication::applicationDirPath());
}
