#pragma once

#include "designdocument.h"

// Everything one operation changes is announced once, when the outermost operation ends.
class ChangeScope
{
public:
    explicit ChangeScope(DesignDocument *doc) : doc(doc) { ++doc->depth; }
    ~ChangeScope()
    {
        if (--doc->depth == 0 && doc->pending) {
            const DesignDocument::Changes what = doc->pending;
            doc->pending = {};
            emit doc->changed(what);
        }
    }
    ChangeScope(const ChangeScope &) = delete;
    ChangeScope &operator=(const ChangeScope &) = delete;

private:
    DesignDocument *doc;
};
