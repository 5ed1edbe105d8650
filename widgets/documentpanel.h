#pragma once

#include <QPointer>

#include <functional>
#include <memory>

class DesignDocument;
class QObject;

// Points a panel at the design it shows and edits: the panel lets go of the one it had (and of its
// own, which it edits until it is given one), then shows the design at once and whenever the
// design changes.
void attachDocument(QObject *panel,
                    QPointer<DesignDocument> &doc,
                    std::unique_ptr<DesignDocument> &own,
                    DesignDocument *next,
                    const std::function<void()> &showDesign);
