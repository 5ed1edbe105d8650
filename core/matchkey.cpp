#include "matchkey.h"

bool matchKey(const QString &line, const QString &key, QString &value)
{
    if (!line.startsWith(key, Qt::CaseSensitive))
        return false;
    value = line.mid(key.length());
    return true;
}
