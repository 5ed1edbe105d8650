#pragma once

// Finding a window's parts by their object names, as an outside script does: shared by the tests,
// the benchmark and the seed maker.

#include <QObject>

#include <cstdio>
#include <cstdlib>

// The descendant with this object name. A missing one ends the program with its name: every caller
// goes on to use what it found, and a crash on a null pointer would not say which part was missing.
template <class T> T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "no %s named %s\n", T::staticMetaObject.className(), name);
        std::abort();
    }
    return found;
}
