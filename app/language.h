#pragma once

class QTranslator;

// Loads the embedded Japanese catalogue; false (and an untouched, empty translator) when it is
// missing.
bool loadJapaneseCatalogue(QTranslator &translator);
