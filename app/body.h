#pragma once

#include "ui_body.h"

#include <QMainWindow>

class QCloseEvent;

// The main window: the material and arrangement panels, the crystal rows, the read-outs and the
// buttons of the design. Closing it ends the program (main() connects finishing() to
// closeAllWindows).
class Body : public QMainWindow, private Ui_Body
{
    Q_OBJECT

public:
    explicit Body(QWidget *parent = nullptr);
    ~Body() override;

signals:
    // The window is asked to close.
    void finishing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Value members besides the form go here, in the order they are built before the form: the
    // grid-label painter, the four plot windows, the crystals and traced data, the measurement
    // line, then the two file dialogs.
};
