// Layout generation: the crystals laid out afresh from the panels.
#include "body.h"
#include "calign.h"
#include "layout.h"
#include "mcrystal.h"
#include "numberinput.h"
#include "units.h"

void Body::newCrystal()
{
    units.setD(MC->Spacing->text().toDouble());
    newLayout();
}

void Body::newLayout()
{
    // shapes points into the crystals about to go.
    shapes.clear();
    for (ACrystal *c : qAsConst(crystals)) {
        disconnect(c, nullptr, this, nullptr);
        // Out of the table now, so that the window can shrink to the new rows at once; the
        // object itself goes once control is back in the event loop.
        c->hide();
        CL->removeWidget(c);
        c->deleteLater();
    }
    crystals.clear();

    LayoutParams p;
    p.startEnergy = CA->StartE->text().toDouble();
    p.energyStep = CA->DE->text().toDouble();
    // A whole number however written ("7.0" is 7); anything else counts as 0.
    p.count = wholeNumber(CA->Num->text()).value_or(0);
    p.dx = CA->DX->text().toDouble();
    p.dy = CA->DY->text().toDouble();
    p.length = CA->Length->text().toDouble();
    if (p.count > kMaxCrystals) {
        // Say on screen what is built.
        p.count = kMaxCrystals;
        CA->Num->setText(QString::number(kMaxCrystals));
    }
    // Type 1 also when no button is checked.
    p.type = 1;
    const QRadioButton *types[]
        = {CA->Type1, CA->Type2, CA->Type3, CA->Type4, CA->Type5, CA->Type6, CA->Type7};
    for (int t = 0; t < 7; ++t) {
        if (types[t]->isChecked()) {
            p.type = t + 1;
            break;
        }
    }

    const QVector<CrystalOptics> geometries = layOut(p, units.D);
    for (const CrystalOptics &g : geometries)
        crystals.append(new ACrystal(g, nullptr));
    for (ACrystal *c : qAsConst(crystals))
        connect(c, SIGNAL(updated()), this, SLOT(drawEverything()));
    if (CA->RotateAll->isChecked())
        rotateAll();
    drawEverything();
}

void Body::rotateAll()
{
    const double a = CA->RotateAllDeg->text().toDouble();
    for (ACrystal *c : qAsConst(crystals)) {
        c->rotateAboutOrigin(a);
        c->showValues();
    }
}
