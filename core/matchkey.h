#pragma once

#include <QString>

// One line of a design file is a 23-character key followed by its value. True when `line` begins
// with `key` exactly (case and blanks included); `value` then gets the rest of the line, possibly
// empty. On false `value` is left as it was.
bool matchKey(const QString &line, const QString &key, QString &value);
