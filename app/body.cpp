#include "body.h"

#include <QCloseEvent>

Body::Body(QWidget *parent) : QMainWindow(parent)
{
    // The panels compute their first values here and announce them before anyone listens.
    setupUi(this);

    // Further construction, in this order: the column-title row in CL, the four plot windows, the
    // focus and image histories, the first layout, the default plot views, the connections of the
    // buttons, panels and plot windows, and the file dialogs.
}

Body::~Body()
{
    // Qt 5 emits editingFinished from a focused field while the window is being torn down, after
    // this destructor has run: nothing inside the window may reach this object's slots by then.
    // (Top-level windows held by value need the same before they go.)
    const QList<QObject *> inside = findChildren<QObject *>();
    for (QObject *child : inside)
        child->disconnect(this);
}

void Body::closeEvent(QCloseEvent *event)
{
    emit finishing();
    event->accept();
}
