#include "units.h"

// The first design after start-up is laid out with this spacing: the material panel's own value
// reaches `units` only at its first change.
Units units;

Units::Units(QObject *parent) : QObject(parent), D(3.13553) {}

void Units::setD(double D)
{
    this->D = D;
}
