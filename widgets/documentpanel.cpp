#include "documentpanel.h"

#include "designdocument.h"

void attachDocument(QObject *panel,
                    QPointer<DesignDocument> &doc,
                    std::unique_ptr<DesignDocument> &own,
                    DesignDocument *next,
                    const std::function<void()> &showDesign)
{
    if (doc)
        doc->disconnect(panel);
    doc = next;
    if (doc != own.get())
        own.reset();
    if (!doc)
        return;
    QObject::connect(
        doc, &DesignDocument::changed, panel, [showDesign](DesignDocument::Changes what) {
            if (what & DesignDocument::DesignChanged)
                showDesign();
        });
    showDesign();
}
