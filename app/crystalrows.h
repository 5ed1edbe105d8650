#pragma once

#include <QObject>

class Body;

// The crystal rows of the main window: one per crystal of the design, numbered, in the table
// under the column titles, each showing its crystal as the design holds it. A row builds its
// fields only once it scrolls into view (with one beyond either end, where Tab and the scroll
// bar's arrows go next). The window is fitted to the rows, as tall as its screen allows.
class CrystalRows : public QObject
{
    Q_OBJECT

public:
    explicit CrystalRows(Body &window);

    // As many rows as the design has crystals, each showing its crystal; the new ones go into
    // the table, the ones left over go.
    void show();
    // The rows in view build their fields.
    void buildInView();
    // The window's layouts take in a changed table; the rows get the height the screen leaves.
    void fit();
    // Fits again when the row count changed since the last fit.
    void fitIfCountChanged();
    // The window fitted again when its screen, the screen's free area or the window's frame
    // (known only once a window manager has framed it) leaves the rows another height.
    void refitWhenScreenChanged();

private:
    // The height the rows may take on the window's screen, the layouts being up to date.
    int heightLimit() const;

    Body &window;
    // The number of rows the window was last fitted to; -1 before the first fit.
    int fittedRows = -1;
};
