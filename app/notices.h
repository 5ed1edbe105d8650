#pragma once

#include <QString>

class QWidget;

// Tells the user that something did not happen (a file not written, a printer not usable) in a
// warning window of its own that holds nothing up; it goes away when closed or with its parent.
void tellUser(QWidget *parent, const QString &text);
