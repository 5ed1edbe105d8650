#pragma once

#include <QObject>

// The lattice spacing that every crystal and the layout generation work with. There is one
// instance, `units`; only the main window writes it, from the material panel's shown spacing.
class Units : public QObject
{
    Q_OBJECT

public:
    explicit Units(QObject *parent = nullptr);

    double D; // Angstrom

public slots:
    void setD(double D);
};

extern Units units;
