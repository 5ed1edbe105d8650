#pragma once

#include "designdocument.h"
#include "ui_mcrystal.h"

#include <QFrame>
#include <QPointer>
#include <QString>

#include <memory>
class QTextStream;

// The material panel: crystal, Miller indices and lattice constant, and the spacing of the
// reflecting planes they give. It shows the design's texts and hands what the user types or
// chooses to the design, which computes the spacing and lays the crystals out; "d" shows the
// result with six significant digits. Until it is given a design it edits one of its own.
class MCrystal : public QFrame, private Ui_MCrystal
{
    Q_OBJECT

public:
    explicit MCrystal(QWidget *parent = nullptr);
    ~MCrystal() override;

    // The design shown and edited from now on.
    void setDocument(DesignDocument *doc);
    DesignDocument *document() const { return doc; }

signals:
    // After every change the panel handed on, also a Return in an unchanged field.
    void newValue();

    // The private slots come first so that the meta-object lists crystalSelected, calcSpacing,
    // save, load.
private slots:
    // The crystal chosen in the list.
    void crystalSelected();
    // A field finished: its text handed on, the spacing computed from the four.
    void calcSpacing();

public slots:
    // The material block of a design file.
    void save(QTextStream &out);
    void load(QString line);

private:
    // The design's texts and choice in the fields.
    void showDesign();
    // `Spacing` turns red, with a tooltip that says why, while the material and indices give
    // no reflection (forbidden by the structure, 0 0 0, indices that are not whole, planes too
    // close for the start energy); so do the lattice constant and the indices with which no
    // crystal can reflect.
    void markReflection();

    std::unique_ptr<DesignDocument> own;
    QPointer<DesignDocument> doc;
};
