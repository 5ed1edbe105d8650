#pragma once

#include <QStringList>

class QTranslator;

// Interface language from the arguments that QApplication leaves (the program first): Japanese
// unless the last "-j" or "-e" after the program is "-e". Other arguments, also "-E" or "-english",
// are ignored.
bool japaneseInterface(const QStringList &args);

// Loads the embedded Japanese catalogue; false (and an untouched, empty translator) when it is
// missing.
bool loadJapaneseCatalogue(QTranslator &translator);
