#pragma once

#include "ui_mcrystal.h"

#include <QFrame>
#include <QString>
#include <QStringList>

class QTextStream;

// The material panel: crystal, Miller indices and lattice constant, and the spacing of the
// reflecting planes they give. Its state is its fields; `Spacing` shows the result with six
// significant digits.
class MCrystal : public QFrame, private Ui_MCrystal
{
    Q_OBJECT
    // The main window copies the shown spacing into `units`.
    friend class Body;

public:
    explicit MCrystal(QWidget *parent = nullptr);
    ~MCrystal() override;

    // Keys of the panel's block of a design file, in file order. The crystal choice switches the
    // spacing the layout uses; the file reader looks ahead at it.
    static QStringList fileKeys();
    static const QString &selectedCrystalKey();

signals:
    // After every computation of the spacing, also when nothing changed.
    void newValue();

    // The private slots come first so that the meta-object lists crystalSelected, calcSpacing,
    // save, load.
private slots:
    void crystalSelected();
    void calcSpacing();

public slots:
    // The material block of a design file.
    void save(QTextStream &out);
    void load(QString line);

private:
    // `Spacing` turns red, with a tooltip that says why, while the material and indices give
    // no reflection (forbidden by the structure, 0 0 0, or indices that are not whole).
    void markReflection();
};
